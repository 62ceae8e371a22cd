#!/usr/bin/env bash
# Library throughput: the form input functions (Google Benchmark) against
# memcpy and memmem over the same bytes, and their growth on worst-case inputs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

progress "== library throughput (Google Benchmark, medians of 5 repetitions)"
csv=$BENCH_BUILD/library.csv
"$BENCH_BUILD/library_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv >"$csv" 2>"$BENCH_BUILD/library.err" || { cat "$BENCH_BUILD/library.err" >&2; exit 1; }
if grep -q ',true,' "$csv"; then
  fail "a library benchmark reported an error: $(grep ',true,' "$csv" | head -1)"
fi
# mbs NAME: the median MB/s of benchmark NAME (on CPU time).
mbs() {
  awk -F, -v n="\"$1_median\"" '$1 == n { printf "%.0f", $6 / 1048576 }' "$csv"
}
library_row() {  # library_row FIGURE BENCHMARK BASELINE TARGET
  local a b
  a=$(mbs "$2") b=$(mbs "$3")
  row "$1" "$a" "$b" "$(ratio "$a" "$b")" "$4"
}
library_row "MB/s: CoderEnviroment, 64 KB form vs memcpy" CoderEnviroment64K Memcpy64K -
library_row "MB/s: SubStrUserPos, last of 1,000 records vs memmem" SubStrUserPos1000 Memmem1000 -
library_row "MB/s: NameValuePtrZero, last of 1,000 records vs memmem" NameValuePtrZero1000 Memmem1000 -
library_row "MB/s: NameValueFormdata, field after a 10 MB upload vs memmem" \
  NameValueFormdata10MB/10 MemmemTextHeader10MB/10 ">= 0.5"
library_row "MB/s: FileValueFormdata, 10 MB upload vs memmem" \
  FileValueFormdata10MB/10 MemmemFileEnd10MB/10 ">= 0.5"
# Worst cases: the time per MB at 10 MB against that at 1 MB (the inverse of the MB/s).
growth_row() {  # growth_row FIGURE BENCHMARK
  local small large
  small=$(mbs "$2/1") large=$(mbs "$2/10")
  row "$1" "$(awk -v v="$large" 'BEGIN { printf "%.1f", 1e6 / v }')" \
    "$(awk -v v="$small" 'BEGIN { printf "%.1f", 1e6 / v }')" \
    "$(awk -v a="$small" -v b="$large" 'BEGIN { printf "%.2f", (a > b ? a / b : b / a) }')" "<= 1.5"
}
growth_row "us per MB at 10 MB vs 1 MB: FileValueFormdata, near-boundary upload" FileValueFormdataNearBoundary
growth_row "us per MB at 10 MB vs 1 MB: NameValueFormdata after it" NameValueFormdataNearBoundary
growth_row "us per MB at 10 MB vs 1 MB: SubAbsStrPos, 70 'a' + 'b' in 'a's" SubAbsStrPosA70B
bench_finish
