#!/usr/bin/env bash
# Process cost: the CPU time of one counter.cgi run against static C and Perl
# programs doing the same job, and against a static C program that only exits.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

same_job counter c perl
runs=1000
progress "== process cost: $runs interleaved runs of each program"
reset_roots
costs=$(env -i "${BENCH_HIT_ENV[@]}" "$BENCH_BUILD/spawn_cost" "$runs" 50 \
  counter "$BENCH_COUNTER" -- c "$BENCH_C_HIT" -- exit "$BENCH_C_EXIT" -- perl "${BENCH_PERL_HIT[@]}")
sed 's/^/   /' <<<"$costs" >&2
cost() { awk -v p="$1" '$1 == p { print $2 }' <<<"$costs"; }
# cost_row WHAT PROGRAM BASELINE TARGET
cost_row() {
  row "CPU per run (us): $1" "$(cost "$2")" "$(cost "$3")" "$(ratio "$(cost "$2")" "$(cost "$3")")" "$4"
}
cost_row "counter.cgi vs static C doing the same job" counter c "<= 1.10"
cost_row "counter.cgi vs static C that only exits" counter exit -
cost_row "Perl doing the same job vs counter.cgi" perl counter ">= 8"
# No program on the system's C library starts for less than the floor: this bounds the ratio above.
cost_row "Perl doing the same job vs static C that only exits" perl exit -
bench_finish
