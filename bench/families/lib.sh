# shellcheck shell=bash
# Shared by the benchmark families (sourced). A family is one script in this
# folder, run by scripts/bench after it has built build/bench as
#   BENCH_BUILD=<build/bench> CHECKOUT=<repository root> bash bench/families/NAME.sh
# It writes its progress on standard error and one line per figure of the table
# on standard output,
#   row|FIGURE|MEDIAN|BASELINE|RATIO|TARGET|RESULT
# and exits with status 1 when a target is missed (bench_finish does both).
: "${BENCH_BUILD:?BENCH_BUILD must name the benchmarks build directory}"
: "${CHECKOUT:?CHECKOUT must name the repository root}"

# The programs measured, each built against a data root of its own under run/
# (bench/CMakeLists.txt): run/counter/, run/c/, run/perl/.
BENCH_RUN=$BENCH_BUILD/run
BENCH_COUNTER=$BENCH_BUILD/korvelin/counter.cgi
BENCH_C_HIT=$BENCH_BUILD/hit_static
BENCH_C_EXIT=$BENCH_BUILD/exit_static
BENCH_PERL_HIT=(/usr/bin/perl "$CHECKOUT/bench/baseline/hit.pl" "$BENCH_RUN/perl/")

# The environment of a typical hit, as lighttpd hands it to the program.
BENCH_QUERY='http://example.com/+bench'
BENCH_REFERER='https://www.example.org/articles/2026/03/counted-links.html?from=feed'
BENCH_HIT_ENV=(
  GATEWAY_INTERFACE=CGI/1.1 SERVER_SOFTWARE=lighttpd/1.4.69 SERVER_NAME=www.example.org
  SERVER_ADDR=192.0.2.1 SERVER_PORT=80 SERVER_PROTOCOL=HTTP/1.1 REQUEST_METHOD=GET
  REQUEST_URI="/cgi-bin/counter.cgi?$BENCH_QUERY" QUERY_STRING="$BENCH_QUERY"
  SCRIPT_NAME=/cgi-bin/counter.cgi SCRIPT_FILENAME=/usr/lib/cgi-bin/counter.cgi
  DOCUMENT_ROOT=/var/www/html REDIRECT_STATUS=200 REMOTE_ADDR=198.51.100.23 REMOTE_PORT=52814
  HTTP_HOST=www.example.org HTTP_REFERER="$BENCH_REFERER" HTTP_ACCEPT='text/html,*/*;q=0.8'
  HTTP_USER_AGENT='Mozilla/5.0 (X11; Linux x86_64; rv:128.0) Gecko/20100101 Firefox/128.0'
  HTTP_ACCEPT_LANGUAGE='ru-RU,ru;q=0.9,en;q=0.5' PATH=/usr/bin:/bin
)
BENCH_FAILED=0

progress() { echo "$*" >&2; }

# row FIGURE MEDIAN BASELINE RATIO TARGET [VALUE]: one row of the table. TARGET
# is "<= X", "< X", ">= X" or "-" (reported only); VALUE, the ratio unless given,
# is compared with X.
row() {
  local result=-
  if [ "$5" != - ]; then
    result=$(awk -v r="${6:-$4}" -v op="${5%% *}" -v x="${5#* }" \
      'BEGIN { ok = op == "<=" ? r <= x : op == "<" ? r < x : r >= x; print ok ? "pass" : "FAIL" }')
  fi
  [ "$result" = FAIL ] && BENCH_FAILED=1
  echo "row|$1|$2|$3|$4|$5|$result"
}
# fail WHAT: a measurement that could not be made counts as a missed target.
fail() {
  progress "FAILED: $*"
  echo "row|$*|-|-|-|-|FAIL"
  BENCH_FAILED=1
}
bench_finish() { exit "$BENCH_FAILED"; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Empty counters/ directories in every program's data root.
reset_roots() {
  rm -rf "$BENCH_RUN"
  mkdir -p "$BENCH_RUN/counter/counters" "$BENCH_RUN/counter/allerror" \
    "$BENCH_RUN/c/counters" "$BENCH_RUN/perl/counters"
}

# same_job PROGRAM...: the programs named (counter, c, perl) give the same
# answer and append the same hit line for the typical hit, so the figures
# compare equal work; stops the family when they do not.
same_job() {
  progress "== checking that the programs ($*) do the same job"
  reset_roots
  local program command answer expected
  expected=$(printf 'Location: http://example.com/\n\n' | od -An -c | tr -s ' \n' ' ')
  for program in "$@"; do
    case $program in
      counter) command=("$BENCH_COUNTER") ;;
      c) command=("$BENCH_C_HIT") ;;
      perl) command=("${BENCH_PERL_HIT[@]}") ;;
    esac
    answer=$(env -i "${BENCH_HIT_ENV[@]}" "${command[@]}" | od -An -c | tr -s ' \n' ' ')
    [ "$answer" = "$expected" ] || { progress "$program answered:$answer"; exit 1; }
    # The hit line less its date and time (the first 32 bytes).
    cut -c33- "$BENCH_RUN/$program/counters/bench.log" >"$BENCH_RUN/$program.line"
  done
  for program in "$@"; do
    cmp -s "$BENCH_RUN/$1.line" "$BENCH_RUN/$program.line" || {
      progress "the hit lines differ:"
      cat "$BENCH_RUN"/*.line >&2
      exit 1
    }
  done
}

# Load of the served rounds: wrk's threads, connections and seconds.
SERVED_THREADS=2
SERVED_CONNECTIONS=8
SERVED_SECONDS=10

# served_round LABEL URL HIT_LOG ACCESS_LOG STDERR_LOG STOP
#   One round against a server already answering URL (a counted link of the
#   counter "bench"): one request with curl, then wrk for SERVED_SECONDS with
#   the typical referer; then the command STOP stops the server, which writes
#   out ACCESS_LOG as it stops. Sets SERVED_RATE (requests per second) and
#   SERVED_WRONG: failed requests, missing or torn lines in HIT_LOG, answers in
#   ACCESS_LOG that are not the redirect or left no line, and anything the
#   program wrote to STDERR_LOG. The progress line names the round LABEL.
#   Needs HIT_HEAD (e2e_init of tests/e2e/lib.sh).
served_round() {
  local label=$1 url=$2 log=$3 access=$4 stderr=$5 stop=$6
  local location totals
  location=$(curl -s -o /dev/null -w '%{http_code} %{redirect_url}' "$url")
  rm -f "$log"
  totals=$(wrk -t"$SERVED_THREADS" -c"$SERVED_CONNECTIONS" -d"${SERVED_SECONDS}s" \
    -s "$CHECKOUT/bench/served.lua" -H "Referer: $BENCH_REFERER" "$url" | tail -n 1)
  # Requests still running when wrk stopped finish and are logged.
  sleep 1
  "$stop"
  local requests duration errors lines=0 whole=0 answered
  requests=$(sed -E 's/.*requests=([0-9]+).*/\1/' <<<"$totals")
  duration=$(sed -E 's/.*duration_us=([0-9]+).*/\1/' <<<"$totals")
  errors=$(awk '{ n = 0; for (i = 3; i <= NF; ++i) { split($i, kv, "="); n += kv[2] } print n }' <<<"$totals")
  local pattern whole_line
  pattern=$(sed 's/[.?]/\\&/g' <<<"$BENCH_REFERER")
  whole_line="^${HIT_HEAD:?}A:127\\.0\\.0\\.1 {7}H:\\(null\\) {10}IP:\\(null\\) {10}FROM:$pattern\$"
  if [ -f "$log" ]; then
    lines=$(wc -l <"$log")
    whole=$(grep -cE "$whole_line" "$log" || true)
  fi
  # Every answer the server logged was a redirect, the first one curl's.
  answered=$(($(grep -c '" 302 ' "$access" || true) - 1))
  [ "$(wc -l <"$access")" -eq $((answered + 1)) ] || answered=-1
  SERVED_RATE=$(awk -v n="$requests" -v us="$duration" 'BEGIN { printf "%.0f", n / (us / 1e6) }')
  printf '   %-19s %5s req/s, %6s requests, %s failed, %6s hit lines (%s whole), %6s answered\n' \
    "$label" "$SERVED_RATE" "$requests" "$errors" "$lines" "$whole" "$answered" >&2
  # Each request that the server answered left one whole line. wrk counts the
  # answers it saw, which leaves out at most one request per connection still
  # running when it stopped.
  SERVED_WRONG=$((errors + lines - whole))
  [ "$location" = "302 http://example.com/" ] || SERVED_WRONG=$((SERVED_WRONG + 1))
  [ "$lines" -eq "$answered" ] || SERVED_WRONG=$((SERVED_WRONG + 1))
  [ -s "$stderr" ] && SERVED_WRONG=$((SERVED_WRONG + 1))  # the program complained
  [ "$lines" -ge "$requests" ] && [ "$lines" -le $((requests + SERVED_CONNECTIONS)) ] ||
    SERVED_WRONG=$((SERVED_WRONG + 1))
}
