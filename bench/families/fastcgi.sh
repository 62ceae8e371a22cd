#!/usr/bin/env bash
# Served throughput of the FastCGI counter: requests per second through lighttpd
# (mod_fastcgi, which spawns the program) and through nginx (fastcgi_pass to the
# standing program on a Unix socket), for
#   counter.fcgi   the counter
#   answer_fcgi    a libfcgi program that only answers a fixed Location (the floor)
#   counter.cgi    the CGI counter, a process per hit (lighttpd only)
#   redirect       the server's own redirect, with its access log
# wrk -t2 -c8 for a fixed short time per run, the configurations in alternating
# order over 3 rounds, medians compared. Every request a server answered for a
# counter must have left one whole hit line, and none may fail.
# Prints the table rows as "row|FIGURE|MEDIAN|BASELINE|RATIO|TARGET|RESULT" and
# exits with status 1 when a target is missed.
#   bench/families/fastcgi.sh [seconds-per-run]   (default 5)
set -euo pipefail
cd "$(dirname "$0")/../.."
checkout=$PWD
seconds=${1:-5}
rounds=3
connections=8

scripts/install-deps bench >&2
build=$checkout/build/bench
run=$build/run
echo "== building (build/bench)" >&2
cmake -S bench -B "$build" >/dev/null
cmake --build "$build" -j 2 -t counter counter_fcgi answer_fcgi >/dev/null
counter_cgi=$build/korvelin/counter.cgi
counter_fcgi=$build/korvelin/counter.fcgi
answer_fcgi=$build/answer_fcgi
data_root=$run/counter/
source web/site.sh

referer='https://www.example.org/articles/2026/03/counted-links.html?from=feed'
query='?http://example.com/+bench'
hit_log=${data_root}counters/bench.log
whole_line="^Date: [0-9]{2}\\.[0-9]{2}\\.[0-9]{4} Time: [0-9]{2}:[0-9]{2}:[0-9]{2} A:127\\.0\\.0\\.1 {7}H:\\(null\\) {10}IP:\\(null\\) {10}FROM:$(sed 's/[.?]/\\&/g' <<<"$referer")\$"
work=$build/fastcgi
rm -rf "$work"
mkdir -p "$work"

trap site_stop EXIT
# The server's own redirect, added to the site of each server.
lighttpd_redirect='server.modules += ( "mod_redirect" )
url.redirect = ( "^/redirect$" => "http://example.com/" )
url.redirect-code = 302'
nginx_redirect='location = /redirect { return 302 http://example.com/; }'

declare -A rates=() problems=() cpu=()
# measure SERVER NAME PROGRAM ROUND: one wrk run; records the rate and the problems.
measure() {
  local server=$1 name=$2 program=$3 round=$4
  local key=$server/$name site=$work/$server-$name port=$((20000 + RANDOM % 20000))
  rm -rf "$data_root"
  mkdir -p "${data_root}counters" "${data_root}allerror"
  local served=$program extra=$nginx_redirect
  [ "$program" = redirect ] && served=
  [ "$server" = lighttpd ] && extra=$lighttpd_redirect
  if ! site_start "$server" "$site" "$port" "$served" "$data_root" "$extra"; then
    echo "FAILED: $server did not start for $name" >&2
    cat "$site/logs/error.log" >&2
    problems[$key]=$((${problems[$key]:-0} + 1))
    return
  fi
  local path=/cgi-bin/counter.cgi$query
  [ "$program" = redirect ] && path=/redirect
  local url=http://127.0.0.1:$port$path
  local location totals
  location=$(curl -s -o /dev/null -w '%{http_code} %{redirect_url}' -e "$referer" "$url")
  totals=$(wrk -t2 -c"$connections" -d"${seconds}s" -s bench/served.lua -H "Referer: $referer" "$url" |
    tail -n 1)
  sleep 1  # requests still running when wrk stopped are answered and logged
  # The FastCGI program's own CPU time (user + system, in clock ticks), which bounds
  # what it can serve on this machine's cores.
  local pid ticks=0
  pid=${SITE_PROGRAM_PID:-$(pgrep -P "$SITE_SERVER_PID" | head -n 1 || true)}
  if [ -n "$pid" ] && [ "$program" != redirect ] && [ "$program" != "$counter_cgi" ]; then
    ticks=$(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || echo 0)
  fi
  site_stop
  local requests duration errors answered abandoned others lines=0 whole=0 wrong=0
  requests=$(sed -E 's/.*requests=([0-9]+).*/\1/' <<<"$totals")
  duration=$(sed -E 's/.*duration_us=([0-9]+).*/\1/' <<<"$totals")
  errors=$(awk '{ n = 0; for (i = 3; i <= NF; ++i) { split($i, kv, "="); n += kv[2] } print n }' <<<"$totals")
  # The server's access log: every request to the measured address (curl's first one
  # included) was answered with the redirect, or abandoned by wrk as it stopped (nginx
  # logs those 499); anything else is a failure.
  read -r answered abandoned others < <(awk -v p="\"GET $path " '
    index($0, p) { if ($0 ~ /" 302 /) a++; else if ($0 ~ /" 499 /) b++; else c++ }
    END { print a + 0, b + 0, c + 0 }' "$site/logs/access.log")
  wrong=$((wrong + others))
  [ "$location" = "302 http://example.com/" ] || wrong=$((wrong + 1))
  [ -s "$site/logs/stderr.log" ] && wrong=$((wrong + 1))
  if [ "$program" != redirect ] && [ "$program" != "$answer_fcgi" ]; then
    lines=$(wc -l <"$hit_log")
    whole=$(grep -cE "$whole_line" "$hit_log" || true)
    # A whole line for every answered request; at most the abandoned ones besides.
    wrong=$((wrong + lines - whole))
    [ "$lines" -ge "$answered" ] && [ "$lines" -le $((answered + abandoned)) ] || wrong=$((wrong + 1))
  fi
  wrong=$((wrong + errors))
  rates[$round,$key]=$(awk -v n="$requests" -v us="$duration" 'BEGIN { printf "%.0f", n / (us / 1e6) }')
  cpu[$round,$key]=$(awk -v t="$ticks" -v hz="$(getconf CLK_TCK)" -v n="$answered" \
    'BEGIN { printf "%.1f", (n > 0 ? t / hz * 1e6 / n : 0) }')
  problems[$key]=$((${problems[$key]:-0} + wrong))
  printf '   %-22s round %d: %6s req/s, %6s requests, %s failed, %6s answered, %6s hit lines (%s whole), program CPU %s us/request\n' \
    "$key" "$round" "${rates[$round,$key]}" "$requests" "$errors" "$answered" "$lines" "$whole" \
    "${cpu[$round,$key]}" >&2
}

configurations=(
  "lighttpd counter.fcgi $counter_fcgi" "lighttpd answer_fcgi $answer_fcgi"
  "lighttpd counter.cgi $counter_cgi" "lighttpd redirect redirect"
  "nginx counter.fcgi $counter_fcgi" "nginx answer_fcgi $answer_fcgi" "nginx redirect redirect"
)
echo "== served throughput: wrk -t2 -c$connections -d${seconds}s, $rounds rounds, order alternating" >&2
for round in $(seq "$rounds"); do
  order=("${configurations[@]}")
  if [ $((round % 2)) -eq 0 ]; then
    order=()
    for ((i = ${#configurations[@]} - 1; i >= 0; --i)); do order+=("${configurations[i]}"); done
  fi
  for configuration in "${order[@]}"; do
    # shellcheck disable=SC2086
    measure $configuration "$round"
  done
done

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
rate() { median $(for r in $(seq "$rounds"); do echo "${rates[$r,$1]:-0}"; done); }
cpu_of() { median $(for r in $(seq "$rounds"); do echo "${cpu[$r,$1]:-0}"; done); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
failed=0
# row FIGURE MEDIAN BASELINE TARGET [VALUE]: the ratio (or VALUE) against "<= X", ">= X" or "-".
row() {
  local value=${5:-$(ratio "$2" "$3")} ratio=- result=-
  [ "$3" != - ] && ratio=$(ratio "$2" "$3")
  if [ "$4" != - ]; then
    result=$(awk -v r="$value" -v op="${4%% *}" -v x="${4#* }" \
      'BEGIN { ok = op == "<=" ? r <= x : r >= x; print ok ? "pass" : "FAIL" }')
  fi
  [ "$result" = FAIL ] && failed=1
  echo "row|$1|$2|$3|$ratio|$4|$result"
}
for server in lighttpd nginx; do
  row "Requests/s through $server: counter.fcgi vs answer-only FastCGI" \
    "$(rate "$server/counter.fcgi")" "$(rate "$server/answer_fcgi")" ">= 0.85"
  row "Requests/s through $server: counter.fcgi vs $server's own redirect with access log" \
    "$(rate "$server/counter.fcgi")" "$(rate "$server/redirect")" -
done
for server in lighttpd nginx; do
  row "Program CPU per request (us) behind $server: counter.fcgi vs answer-only FastCGI" \
    "$(cpu_of "$server/counter.fcgi")" "$(cpu_of "$server/answer_fcgi")" -
done
row "Requests/s through lighttpd: counter.fcgi vs counter.cgi" \
  "$(rate lighttpd/counter.fcgi)" "$(rate lighttpd/counter.cgi)" ">= 5"
for key in lighttpd/counter.fcgi lighttpd/counter.cgi lighttpd/answer_fcgi lighttpd/redirect \
           nginx/counter.fcgi nginx/answer_fcgi nginx/redirect; do
  row "Failed requests, missing or torn hit lines: $key" "${problems[$key]:-0}" - "<= 0" \
    "${problems[$key]:-0}"
done
exit "$failed"
