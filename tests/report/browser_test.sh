# The report page in a real browser: counter-report writes the page for the
# fixture logs, and headless chromium draws it (page_check.py says what is
# checked). The screenshot is left as WORK_DIR/report.png.
#   bash browser_test.sh COUNTER_REPORT FIXTURES WORK_DIR
set -euo pipefail
report=$1 fixtures=$2 work=$3
here=$(dirname "$0")
rm -rf "$work"
mkdir -p "$work"
if ! [ -x /usr/bin/python3 ]; then
  echo "/usr/bin/python3 is missing: install the Debian package python3"
  [ -n "${KORVELIN_E2E_REQUIRED:-}" ] && exit 1
  exit 77
fi
# Debian's own interpreter, where python3-selenium is installed: skips or fails
# here when chromium, chromium-driver or selenium is missing.
/usr/bin/python3 "$here/../common/browser.py" || exit $?

# From inside the fixtures, so the page (and the screenshot in the README) names
# the directories as server1 and server2, not by where the checkout is.
(cd "$fixtures" && "$report" --today 2026-03-01 --html "$work/report.html" server1 server2 \
  2>"$work/stderr.log")
# The charts in page order: the counter with the hostile name (2024, a leap
# year: 29 February without hits), then demo (from 31 January to 1 March 2026).
demo="1,1$(printf ',0%.0s' $(seq 13)),1$(printf ',0%.0s' $(seq 12)),1,3"
/usr/bin/python3 "$here/page_check.py" "$work/report.html" "$work/report.png" "$work" \
  "3,0,1,2" "$demo"
