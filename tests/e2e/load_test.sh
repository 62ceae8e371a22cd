# Load through lighttpd: 8 clients at once, 250 counted requests each, all on
# one counter. Every request must be answered with the redirect, and the hit
# log must hold exactly one whole, well-formed line per request.
# Run by CTest as: bash load_test.sh COUNTER DATA_ROOT HOME_URL WORK_DIR (see e2e_init).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
need lighttpd lighttpd
need curl curl
reset_data_root
start_site

clients=8
requests=250
letters=(a b c d e f g h)
# Each client sends a referer of its own, 1,000 bytes long, so a line torn or
# mixed with another client's cannot pass for a whole one.
referer() { printf 'http://client%d.example/%s' "$1" "$(printf "${letters[$1]}%.0s" $(seq 1000))"; }

program=$(counted)
for client in $(seq 0 $((clients - 1))); do
  # One curl per client, its requests one after another on one connection.
  config=$WORK_DIR/client$client.curl
  for request in $(seq "$requests"); do
    printf 'url = "%s?http://target.example/%d/%d+load"\noutput = "/dev/null"\n' \
      "$program" "$client" "$request"
  done >"$config"
  curl -sS --max-time 300 -e "$(referer "$client")" -w '%{http_code} %{redirect_url}\n' \
    -K "$config" >"$WORK_DIR/client$client.out" 2>&1 &
  pids[client]=$!
done
for client in $(seq 0 $((clients - 1))); do
  status=0
  wait "${pids[client]}" || status=$?
  check "curl's exit status for client $client" 0 "$status"
  expected=$(for request in $(seq "$requests"); do
               echo "302 http://target.example/$client/$request"
             done)
  check "answers to client $client" "$expected" "$(cat "$WORK_DIR/client$client.out")"
done

log=${DATA_ROOT}counters/load.log
check "hit lines" $((clients * requests)) "$(wc -l <"$log")"
check "last byte of the hit log" "0a" "$(tail -c 1 "$log" | od -An -tx1 | tr -d ' ')"
for client in $(seq 0 $((clients - 1))); do
  line="^${HIT_HEAD}A:127\.0\.0\.1 {7}H:\(null\) {10}IP:\(null\) {10}FROM:$(referer "$client")\$"
  check "whole lines of client $client" "$requests" "$(grep -cE "$line" "$log" || true)"
done
check "journal" "" "$(ls "${DATA_ROOT}allerror")"

finish
