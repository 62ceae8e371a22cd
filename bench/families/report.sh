#!/usr/bin/env bash
# The report benchmark: counter-report over generated hit logs (10 million
# lines in 100 counters, about 1.4 GB, one year of days) against a gawk script
# computing the same per-counter totals and per-day counts (bench/report/per_day.awk,
# run with LC_ALL=C, the way to read single-byte Windows-1251 text). First both
# are checked to give the same figures; then each runs three times, in
# alternating order, on logs already in the page cache; medians are compared.
#
# Environment: BENCH_BUILD, the benchmarks' build directory (cmake -S bench);
# CHECKOUT, the repository; REPORT_BENCH_LINES, the hit lines to generate
# (default 10000000; fewer are generated when the disk cannot hold them, and the
# rows say how many). Progress goes to standard error, the rows to standard output:
#   row|FIGURE|MEDIAN|BASELINE|RATIO|TARGET|RESULT
# The exit status is 1 when a target is missed.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
lines=${REPORT_BENCH_LINES:-10000000}
counters=100
rounds=3
report=$BENCH_BUILD/korvelin/counter-report
generator=$BENCH_BUILD/generate_hits
awk_script=$CHECKOUT/bench/report/per_day.awk
work=$BENCH_BUILD/report
logs=$work/counters
say() { progress "== report: $*"; }

for tool in gawk /usr/bin/time; do
  command -v "$tool" >/dev/null || {
    echo "report benchmark: $tool is missing (scripts/install-deps bench installs gawk and time)" >&2
    fail "report benchmark: $tool is missing"
    bench_finish
  }
done
say "building counter-report and the log generator"
cmake --build "$BENCH_BUILD" --target counter_report generate_hits -j 2 >/dev/null

# About 160 bytes a line; keep 2 GB free beside the logs.
avail_kb=$(df -Pk "$BENCH_BUILD" | awk 'NR == 2 { print $4 }')
fit=$(( (avail_kb - 2 * 1024 * 1024) * 1024 / 160 ))
if [ "$fit" -lt "$lines" ]; then
  [ "$fit" -lt 100000 ] && { fail "report benchmark: no disk space for the logs"; bench_finish; }
  say "only room for $fit lines, not $lines"
  lines=$fit
fi
size=$(awk -v n="$lines" 'BEGIN { printf (n >= 1e6 ? "%gM" : "%d"), (n >= 1e6 ? n / 1e6 : n) }')

rm -rf "$work"
mkdir -p "$logs"
trap 'rm -rf "$work"' EXIT
say "generating $lines hit lines in $counters counters"
"$generator" "$logs" "$lines" "$counters"
say "$(du -sh "$logs" | cut -f1) of logs; reading them once into the page cache"
cat "$logs"/*.log >/dev/null

# --- The same figures: per-counter totals, and every day of one counter.
say "checking that both give the same figures"
LC_ALL=C gawk -f "$awk_script" "$logs"/*.log >"$work/gawk.txt"
"$report" --csv "$logs" | awk -F, 'NR > 1 { print $1 " total " $2 }' >"$work/report-totals.txt"
"$report" --csv --counter c000 "$logs" |
  awk -F, 'NR > 1 && $3 > 0 { split($2, d, "-"); print $1 " " d[3] "." d[2] "." d[1] " " $3 }' |
  tr -d '\r' | sort >"$work/report-days.txt"
grep ' total ' "$work/gawk.txt" | diff - "$work/report-totals.txt" >&2 ||
  { fail "report benchmark: counter-report and gawk count different totals"; bench_finish; }
grep '^c000 [0-9]' "$work/gawk.txt" | sort | diff - "$work/report-days.txt" >&2 ||
  { fail "report benchmark: counter-report and gawk count different days"; bench_finish; }

# --- Timing: wall and CPU seconds, peak memory.
# timed NAME COMMAND...: one run; appends "wall cpu kb" to $work/NAME.
timed() {
  local name=$1
  shift
  /usr/bin/time -o "$work/time.txt" -f '%e %U %S %M' "$@" >/dev/null
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$work/time.txt" >>"$work/$name"
}
for round in $(seq "$rounds"); do
  say "round $round of $rounds"
  if [ $((round % 2)) -eq 1 ]; then
    timed report "$report" "$logs"
    timed gawk env LC_ALL=C gawk -f "$awk_script" "$logs"/*.log
  else
    timed gawk env LC_ALL=C gawk -f "$awk_script" "$logs"/*.log
    timed report "$report" "$logs"
  fi
done
column() { median $(awk -v c="$2" '{ print $c }' "$work/$1"); }
gawk_wall=$(column gawk 1) report_wall=$(column report 1)
gawk_cpu=$(column gawk 2) report_cpu=$(column report 2)
peak_mb=$(awk '$3 > m { m = $3 } END { printf "%.1f", m / 1024 }' "$work/report")
say "counter-report: $(tr '\n' ';' <"$work/report")  gawk: $(tr '\n' ';' <"$work/gawk")"

row "Seconds over $size hit lines in $counters counters: gawk totals and days vs counter-report" \
  "$gawk_wall" "$report_wall" "$(ratio "$gawk_wall" "$report_wall")" ">= 3"
row "CPU seconds, the same runs: gawk vs counter-report" \
  "$gawk_cpu" "$report_cpu" "$(ratio "$gawk_cpu" "$report_cpu")" -
row "Peak memory (MB): counter-report over $size hit lines" "$peak_mb" - - "< 64" "$peak_mb"
bench_finish
