#!/usr/bin/env bash
# Served throughput of the FastCGI counter: requests per second through lighttpd
# (mod_fastcgi, which spawns the program) and through nginx (fastcgi_pass to the
# standing program on a Unix socket), for
#   counter.fcgi   the counter
#   answer_fcgi    a libfcgi program that only answers a fixed Location (the floor)
#   counter.cgi    the CGI counter, a process per hit (lighttpd only)
#   redirect       the server's own redirect, with its access log
# Each program runs as the shipped recipes run it: lighttpd spawns as many processes
# as deploy/lighttpd/20-korvelin-fastcgi.conf says (max-procs), nginx passes to one
# standing process (as the systemd units start it).
# wrk -t2 -c8 for a fixed short time per run (FASTCGI_SECONDS, 5 by default), the
# configurations in alternating order over 3 rounds, medians compared. Every
# request a server answered for a counter must have left one whole hit line, and
# none may fail. Also reports each FastCGI program's own CPU time per request.
# A family of scripts/bench (see lib.sh); alone, after scripts/bench has built:
#   BENCH_BUILD=build/bench CHECKOUT=$PWD bash bench/families/fastcgi.sh
set -euo pipefail
source "$(dirname "$0")/lib.sh"
source "$CHECKOUT/web/site.sh"
seconds=${FASTCGI_SECONDS:-5}
rounds=3
connections=8

counter_cgi=$BENCH_COUNTER
counter_fcgi=$BENCH_BUILD/korvelin/counter.fcgi
answer_fcgi=$BENCH_BUILD/answer_fcgi
for program in "$counter_fcgi" "$answer_fcgi"; do
  [ -x "$program" ] || { fail "FastCGI benchmark: $program was not built (libfcgi-dev)"; bench_finish; }
done
data_root=$BENCH_RUN/counter/
referer=$BENCH_REFERER
query="?$BENCH_QUERY"
hit_log=${data_root}counters/bench.log
whole_line="^Date: [0-9]{2}\\.[0-9]{2}\\.[0-9]{4} Time: [0-9]{2}:[0-9]{2}:[0-9]{2} A:127\\.0\\.0\\.1 {7}H:\\(null\\) {10}IP:\\(null\\) {10}FROM:$(sed 's/[.?]/\\&/g' <<<"$referer")\$"
work=$BENCH_BUILD/fastcgi
SITE_FASTCGI_PROCESSES=$(sed -nE 's/.*"max-procs" *=> *([0-9]+).*/\1/p' \
  "$CHECKOUT/deploy/lighttpd/20-korvelin-fastcgi.conf")
[ -n "$SITE_FASTCGI_PROCESSES" ] ||
  { fail "FastCGI benchmark: no max-procs in the lighttpd recipe"; bench_finish; }
export SITE_FASTCGI_PROCESSES
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
    progress "FAILED: $server did not start for $name"
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
  # The FastCGI programs' own CPU time (user + system, in clock ticks, summed over
  # every process serving), which bounds what they can serve on this machine's cores.
  local pids ticks=0
  pids=${SITE_PROGRAM_PID:-$(pgrep -P "$SITE_SERVER_PID" || true)}
  if [ -n "$pids" ] && [ "$program" != redirect ] && [ "$program" != "$counter_cgi" ]; then
    ticks=$(for pid in $pids; do cat "/proc/$pid/stat" 2>/dev/null; done |
      awk '{ n += $14 + $15 } END { print n + 0 }')
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
  progress "$(printf '   %-22s round %d: %6s req/s, %6s requests, %s failed, %6s answered, %6s hit lines (%s whole), program CPU %s us/request' \
    "$key" "$round" "${rates[$round,$key]}" "$requests" "$errors" "$answered" "$lines" "$whole" \
    "${cpu[$round,$key]}")"
}

configurations=(
  "lighttpd counter.fcgi $counter_fcgi" "lighttpd answer_fcgi $answer_fcgi"
  "lighttpd counter.cgi $counter_cgi" "lighttpd redirect redirect"
  "nginx counter.fcgi $counter_fcgi" "nginx answer_fcgi $answer_fcgi" "nginx redirect redirect"
)
progress "== FastCGI served throughput: wrk -t2 -c$connections -d${seconds}s, $rounds rounds, order alternating; lighttpd spawns $SITE_FASTCGI_PROCESSES processes"
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

rate() { median $(for r in $(seq "$rounds"); do echo "${rates[$r,$1]:-0}"; done); }
cpu_of() { median $(for r in $(seq "$rounds"); do echo "${cpu[$r,$1]:-0}"; done); }
# compare FIGURE KEY BASELINE_KEY TARGET [FIGURES]: the medians of two keys (rates, or
# the CPU times with FIGURES=cpu_of) and their ratio against TARGET.
compare() {
  local of=${5:-rate} a b
  a=$($of "$2") b=$($of "$3")
  row "$1" "$a" "$b" "$(awk -v a="$a" -v b="$b" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')" "$4"
}
for server in lighttpd nginx; do
  compare "Requests/s through $server: counter.fcgi vs answer-only FastCGI" \
    "$server/counter.fcgi" "$server/answer_fcgi" ">= 0.85"
  compare "Requests/s through $server: counter.fcgi vs $server's own redirect with access log" \
    "$server/counter.fcgi" "$server/redirect" -
done
for server in lighttpd nginx; do
  compare "Program CPU per request (us) behind $server: counter.fcgi vs answer-only FastCGI" \
    "$server/counter.fcgi" "$server/answer_fcgi" - cpu_of
done
compare "Requests/s through lighttpd: counter.fcgi vs counter.cgi" \
  lighttpd/counter.fcgi lighttpd/counter.cgi ">= 5"
for key in lighttpd/counter.fcgi lighttpd/counter.cgi lighttpd/answer_fcgi lighttpd/redirect \
           nginx/counter.fcgi nginx/answer_fcgi nginx/redirect; do
  row "Failed requests, missing or torn hit lines: $key" "${problems[$key]:-0}" - - "<= 0" \
    "${problems[$key]:-0}"
done
bench_finish
