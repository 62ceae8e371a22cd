# Shared by the end-to-end tests (sourced): each test is run by CTest as
#   bash <test>.sh COUNTER DATA_ROOT HOME_URL WORK_DIR
# with the test build's counter.cgi, the private data root it was built
# against, its home-page address and a directory of the test's own.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../web/site.sh"

COUNTER=$1 DATA_ROOT=$2 HOME_URL=$3 WORK_DIR=$4
rm -rf "$WORK_DIR"
mkdir -p "$WORK_DIR"
SKIPPED=77
FAILURES=0

# need COMMAND PACKAGE: skips the test when COMMAND is not installed, or fails
# it where KORVELIN_E2E_REQUIRED is set (in CI, which installs everything).
need() {
  command -v "$1" >/dev/null && return
  echo "$1 is missing: install the Debian package $2 (scripts/install-deps ${DEPS_TASK:-web} does)"
  [ -n "${KORVELIN_E2E_REQUIRED:-}" ] && exit 1
  exit "$SKIPPED"
}

# check WHAT EXPECTED ACTUAL: records a failure when the two differ.
check() {
  if [ "$2" != "$3" ]; then
    printf 'FAILED: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    FAILURES=$((FAILURES + 1))
  fi
}

# The data root as the program expects it: empty counters/ and allerror/.
reset_data_root() {
  rm -rf "$DATA_ROOT"
  mkdir -p "$DATA_ROOT/counters" "$DATA_ROOT/allerror"
}

# start_site: runs lighttpd with the site of web/site.sh on a free loopback
# port; sets SITE (the site's directory), SITE_URL and SERVER_PID. A port that
# turns out to be taken is given up for another. The program is served as
# /cgi-bin/$CGI_NAME when CGI_NAME is set, else as /cgi-bin/counter.cgi.
start_site() {
  SITE=$WORK_DIR/site
  local attempt
  for attempt in 1 2 3 4 5 6 7 8; do
    local port=$((10000 + RANDOM % 20000))
    rm -rf "$SITE"
    site_write "$SITE" "$port" "$COUNTER" "$DATA_ROOT" "${CGI_NAME:-counter.cgi}"
    # The programs that lighttpd starts write their standard error to its own.
    lighttpd -D -f "$SITE/lighttpd.conf" </dev/null 2>"$SITE/logs/stderr.log" &
    SERVER_PID=$!
    trap stop_site EXIT
    if wait_for_server; then
      SITE_URL=http://127.0.0.1:$port
      return 0
    fi
    stop_site
    grep -q "Address already in use" "$SITE/logs/error.log" || break
  done
  echo "FAILED: lighttpd did not start:"
  cat "$SITE/logs/error.log"
  exit 1
}

# Waits up to ten seconds for lighttpd to report that it listens.
wait_for_server() {
  local tick
  for tick in $(seq 100); do
    grep -q "server started" "$SITE/logs/error.log" 2>/dev/null && return 0
    kill -0 "$SERVER_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

stop_site() {
  if [ -n "${SERVER_PID:-}" ]; then
    kill "$SERVER_PID" 2>/dev/null || true
    wait "$SERVER_PID" 2>/dev/null || true
    SERVER_PID=
  fi
}

# counted URL: the program's address with a query.
counted() { printf '%s/cgi-bin/counter.cgi%s' "$SITE_URL" "${1-}"; }

# The date and time that open every hit line, as an extended regular expression.
HIT_HEAD='Date: [0-9]{2}\.[0-9]{2}\.[0-9]{4} Time: [0-9]{2}:[0-9]{2}:[0-9]{2} '

# finish: fails the test on any recorded failure, on anything the program
# wrote on its standard error (where sanitizer reports go), and on any
# complaint of lighttpd beyond starting and stopping.
finish() {
  stop_site
  if [ -s "$SITE/logs/stderr.log" ]; then
    echo "FAILED: the program wrote on its standard error:"
    cat "$SITE/logs/stderr.log"
    FAILURES=$((FAILURES + 1))
  fi
  if grep -v -e "server started" -e "graceful shutdown started" -e "server stopped by" \
       "$SITE/logs/error.log"; then
    echo "FAILED: lighttpd logged the errors above"
    FAILURES=$((FAILURES + 1))
  fi
  if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}
