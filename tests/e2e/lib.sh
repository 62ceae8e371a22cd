# shellcheck shell=bash
# Helpers of the end-to-end tests, also used by the install tests and the
# served benchmarks. Sourcing this file only defines functions; a caller then
# runs e2e_init before anything else.

# e2e_init COUNTER DATA_ROOT HOME_URL WORK_DIR
#   COUNTER    the program under test (served at /cgi-bin/$CGI_NAME, by
#              default /cgi-bin/counter.cgi)
#   DATA_ROOT  the data root it was built against, ending with a slash
#   HOME_URL   its home-page address (empty for a program without one)
#   WORK_DIR   a directory of the caller's own: emptied here, and holding the
#              site and everything else the caller writes
e2e_init() {
  [ $# -eq 4 ] || { echo "usage: e2e_init COUNTER DATA_ROOT HOME_URL WORK_DIR" >&2; return 2; }
  [ -n "$4" ] && [ "$4" != / ] || { echo "e2e_init: no work directory given" >&2; return 2; }
  COUNTER=$1 DATA_ROOT=$2 HOME_URL=$3 WORK_DIR=$4
  rm -rf "$WORK_DIR"
  mkdir -p "$WORK_DIR"
  SKIPPED=77
  FAILURES=0
  SERVER_PID='' SITE=''
  # The date and time that open every hit line, as an extended regular expression.
  HIT_HEAD='Date: [0-9]{2}\.[0-9]{2}\.[0-9]{4} Time: [0-9]{2}:[0-9]{2}:[0-9]{2} '
  source "$(dirname "${BASH_SOURCE[0]}")/../../web/site.sh"
}

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
  rm -rf "${DATA_ROOT:?reset_data_root needs the data root of e2e_init}"
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

# finish: fails the test on any recorded failure and, when it served a site,
# on anything the program wrote on its standard error (where sanitizer reports
# go) and on any complaint of lighttpd beyond starting and stopping.
finish() {
  stop_site
  if [ -n "${SITE:-}" ]; then
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
  fi
  if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}
