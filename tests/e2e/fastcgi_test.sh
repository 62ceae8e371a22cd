# counter.fcgi behind a web server: spawned by lighttpd (mod_fastcgi), or standing
# on a Unix socket that nginx passes requests to (fastcgi_pass). Run by CTest as
#   bash fastcgi_test.sh COUNTER_FCGI DATA_ROOT HOME_URL WORK_DIR lighttpd|nginx
# Load leaves exactly one whole line per request; a request whose hit cannot be
# logged costs that hit, not the process; SIGTERM under load loses no answered hit.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${@:1:4}"
SERVER=${5:-}
need curl curl
case $SERVER in
  lighttpd) need lighttpd lighttpd ;;
  nginx) need nginx nginx ;;
  *) echo "fastcgi_test: unknown server '$SERVER'"; exit 2 ;;
esac
reset_data_root
SITE=$(realpath -m "$WORK_DIR/site")

# A socket path longer than a Unix socket can take is refused by name, with the
# program's own usage status.
if [ "$SERVER" = nginx ]; then
  long=$SITE/$(printf 'd%.0s' $(seq 110))/counter.sock
  status=0
  message=$("$COUNTER" --listen "$long" 2>&1) || status=$?
  check "exit status for a socket path too long" 2 "$status"
  check "message for a socket path too long" \
    "$COUNTER: the socket path $long is ${#long} bytes long; a Unix socket path has at most 107" \
    "$message"
fi
# Starts the server (and, for nginx, the standing program) on a free loopback port;
# sets URL, the program's address.
start() {
  local attempt port
  for attempt in 1 2 3 4 5 6 7 8; do
    port=$((10000 + RANDOM % 20000))
    trap site_stop EXIT
    if site_start "$SERVER" "$SITE" "$port" "$COUNTER" "$DATA_ROOT"; then
      URL=http://127.0.0.1:$port/cgi-bin/counter.cgi
      return 0
    fi
    grep -q "in use" "$SITE/logs/error.log" 2>/dev/null || break
  done
  echo "FAILED: $SERVER did not start:"
  cat "$SITE/logs/error.log" "$SITE/logs/stderr.log"
  exit 1
}

# The pid of the counter.fcgi answering now (lighttpd's child, or the standing one).
program_pid() {
  if [ "$SERVER" = lighttpd ]; then
    pgrep -P "$SITE_SERVER_PID" -x counter.fcgi | head -n 1
  else
    echo "$SITE_PROGRAM_PID"
  fi
}

# requests CLIENT COUNT COUNTER: a curl config asking COUNT counted requests one after
# another, each with a referer of its own and its answer written out.
requests() {
  local n
  for n in $(seq "$2"); do
    [ "$n" -gt 1 ] && echo next
    printf 'url = "%s?http://target.example/%s/%d+%s"\nreferer = "http://client%s.example/%d"\n' \
      "$URL" "$1" "$n" "$3" "$1" "$n"
    printf 'output = "/dev/null"\nwrite-out = "%%{http_code} %%{redirect_url}\\n"\n'
  done
}

# The standing program keeps the time zone of its own environment while requests
# stand in for the environment: 14 hours east of UTC, far from any server's zone.
[ "$SERVER" = nginx ] && export TZ=UTC-14
start
log_of() { echo "${DATA_ROOT}counters/$1.log"; }
line_of() {  # the hit line a request of client $1, number $2 leaves, as a regular expression
  echo "^${HIT_HEAD}A:127\\.0\\.0\\.1 {7}H:\\(null\\) {10}IP:\\(null\\) {10}FROM:http://client$1\\.example/$2\$"
}

# --- 8 clients x 2,500 requests: exactly 20,000 whole lines.
clients=8 count=2500
first_pid=$(program_pid)
for client in $(seq "$clients"); do
  requests "$client" "$count" load >"$WORK_DIR/load$client.curl"
  curl -sS --max-time 300 -K "$WORK_DIR/load$client.curl" >"$WORK_DIR/load$client.out" 2>&1 &
  pids[client]=$!
done
for client in $(seq "$clients"); do
  status=0
  wait "${pids[client]}" || status=$?
  check "curl's exit status for client $client" 0 "$status"
  check "answers to client $client" "$count" \
    "$(grep -c "^302 http://target.example/$client/[0-9]*\$" "$WORK_DIR/load$client.out" || true)"
done
check "hit lines" $((clients * count)) "$(wc -l <"$(log_of load)")"
check "whole hit lines" $((clients * count)) \
  "$(grep -cE "^${HIT_HEAD}A:127\\.0\\.0\\.1 {7}H:\\(null\\) {10}IP:\\(null\\) {10}FROM:http://client[1-8]\\.example/[0-9]+\$" "$(log_of load)" || true)"
check "last byte of the hit log" "0a" "$(tail -c 1 "$(log_of load)" | od -An -tx1 | tr -d ' ')"
check "journal after the load" "" "$(ls "${DATA_ROOT}allerror")"
check "the program after the load" "$first_pid" "$(program_pid)"

# --- A hit that cannot be logged costs that hit only: both answered, same process.
mkdir "$(log_of jammed)"
check "answer with an unwritable hit log" "302 http://target.example/j" \
  "$(curl -s -o /dev/null -w '%{http_code} %{redirect_url}' "$URL?http://target.example/j+jammed")"
check "answer after it" "302 http://target.example/g" \
  "$(curl -s -o /dev/null -w '%{http_code} %{redirect_url}' -e http://client0.example/1 \
       "$URL?http://target.example/g+good")"
check "hit after it" 1 "$(grep -cE "$(line_of 0 1)" "$(log_of good)" || true)"
if [ "$SERVER" = nginx ]; then
  stamp=$(sed -nE 's/^Date: ([0-9]{2})\.([0-9]{2})\.([0-9]{4}) Time: ([0-9:]{8}) .*/\3-\2-\1 \4/p' \
    "$(log_of good)")
  skew=$(($(date -d "$stamp" +%s) - $(date +%s)))
  check "the hit stamped in the program's time zone" "within 2 minutes" \
    "$([ "${skew#-}" -le 120 ] && echo "within 2 minutes" || echo "$skew seconds off")"
fi
check "journal entry" 1 \
  "$(grep -c "^Can't open file $(log_of jammed) (\"a\")\$" "${DATA_ROOT}allerror/counter.txt" || true)"
check "journal client line" 1 \
  "$(grep -c '^A=127\.0\.0\.1  H=(null)  IP=(null)$' "${DATA_ROOT}allerror/counter.txt" || true)"
check "the program after the failed hit" "$first_pid" "$(program_pid)"

# --- SIGTERM under load: every answered request's line is in the log.
for client in 1 2 3 4; do
  requests "$client" 3000 term >"$WORK_DIR/term$client.curl"
  curl -sS --max-time 120 -K "$WORK_DIR/term$client.curl" >"$WORK_DIR/term$client.out" 2>&1 &
  pids[client]=$!
done
sleep 1
kill -TERM "$first_pid"
program_status=
if [ "$SERVER" = nginx ]; then
  program_status=0
  wait "$SITE_PROGRAM_PID" || program_status=$?
  SITE_PROGRAM_PID=
  check "the standing program's exit status after SIGTERM" 0 "$program_status"
fi
for client in 1 2 3 4; do wait "${pids[client]}" || true; done
# Each answered request as "client/number", and each hit line's referer the same way.
for client in 1 2 3 4; do
  sed -n "s|^302 http://target.example/\\($client/[0-9]*\\)\$|\\1|p" "$WORK_DIR/term$client.out"
done | sort >"$WORK_DIR/term.answered"
sed -n 's|.* FROM:http://client\([1-4]\)\.example/\([0-9]*\)$|\1/\2|p' "$(log_of term)" |
  sort >"$WORK_DIR/term.logged"
answered=$(wc -l <"$WORK_DIR/term.answered")
missing=$(comm -23 "$WORK_DIR/term.answered" "$WORK_DIR/term.logged" | wc -l)
echo "SIGTERM under load: $answered requests answered, $(wc -l <"$(log_of term)") hit lines"
check "answered requests whose hit line is missing" 0 "$missing"
[ "$answered" -gt 0 ] || check "requests answered before SIGTERM" "some" "none"
check "whole lines after SIGTERM" "$(wc -l <"$(log_of term)")" \
  "$(grep -cE "^${HIT_HEAD}A:127\\.0\\.0\\.1 {7}H:\\(null\\) {10}IP:\\(null\\) {10}FROM:http://client[1-4]\\.example/[0-9]+\$" "$(log_of term)" || true)"

site_stop
# Where sanitizer reports would go. lighttpd's own log is not held against the test:
# the SIGTERM above makes it report the program's exit and the requests it cut off.
check "what the program and the server wrote on standard error" "" "$(cat "$SITE/logs/stderr.log")"
SITE=
finish
