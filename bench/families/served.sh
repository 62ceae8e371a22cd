#!/usr/bin/env bash
# Served throughput: requests per second through lighttpd, counter.cgi against
# the static C program, both served by the site of web/site.sh at
# /cgi-bin/counter.cgi, in alternating rounds; every answered request must have
# left one whole line in the hit log.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
# The end-to-end tests' helpers start and stop lighttpd with that site.
source "$CHECKOUT/tests/e2e/lib.sh"

same_job counter c
rounds=5
progress "== served throughput: wrk -t$SERVED_THREADS -c$SERVED_CONNECTIONS -d${SERVED_SECONDS}s," \
  "$rounds rounds of each program"
declare -A rates=() problems=([counter.cgi]=0 [hit_static]=0)
# serve PROGRAM DATA_ROOT ROUND
serve() {
  local program=$1 data_root=$2 round=$3 name
  name=$(basename "$program")
  e2e_init "$program" "$data_root" http://localhost/ "$BENCH_BUILD/served/$name"
  start_site
  served_round "$name round $round" "$(counted "?$BENCH_QUERY")" "${data_root}counters/bench.log" \
    "$SITE/logs/access.log" "$SITE/logs/stderr.log" stop_site
  rates[$round,$name]=$SERVED_RATE
  problems[$name]=$((problems[$name] + SERVED_WRONG))
}
# The order alternates (counter first, then the baseline first) so that a
# drift in the machine's load weighs on both alike.
for round in $(seq "$rounds"); do
  if [ $((round % 2)) -eq 1 ]; then
    serve "$BENCH_COUNTER" "$BENCH_RUN/counter/" "$round"
    serve "$BENCH_C_HIT" "$BENCH_RUN/c/" "$round"
  else
    serve "$BENCH_C_HIT" "$BENCH_RUN/c/" "$round"
    serve "$BENCH_COUNTER" "$BENCH_RUN/counter/" "$round"
  fi
done
counter_rate=$(median $(for r in $(seq "$rounds"); do echo "${rates[$r,counter.cgi]}"; done))
c_rate=$(median $(for r in $(seq "$rounds"); do echo "${rates[$r,hit_static]}"; done))
row "Requests/s through lighttpd: counter.cgi vs static C" \
  "$counter_rate" "$c_rate" "$(ratio "$counter_rate" "$c_rate")" ">= 0.95"
for name in counter.cgi hit_static; do
  row "Failed requests, missing or torn hit lines: $name" "${problems[$name]}" - - "<= 0" "${problems[$name]}"
done
bench_finish
