# A real browser on the demo page: headless chromium clicks the counted link
# to the page on the same server, ends on that page, and the hit line names
# the demo page as the referer.
# Run by CTest as: bash browser_test.sh COUNTER DATA_ROOT HOME_URL WORK_DIR (see e2e_init).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
need lighttpd lighttpd
need /usr/bin/python3 python3
# Debian's own interpreter, where python3-selenium is installed: skips or fails
# here when chromium, chromium-driver or selenium is missing.
/usr/bin/python3 "$(dirname "$0")/../common/browser.py" || exit $?
reset_data_root
start_site

status=0
arrived=$(/usr/bin/python3 "$(dirname "$0")/click.py" "$WORK_DIR/browser" "$SITE_URL/" '#local') ||
  status=$?
check "the browser's visit" 0 "$status"
check "the page the browser ends on" "$SITE_URL/arrived.html" "$arrived"
check "hit log of the demo link" \
  "$(printf 'A:%-15s H:%-15s IP:%-15s FROM:%s' 127.0.0.1 '(null)' '(null)' "$SITE_URL/")" \
  "$(sed -E "s/^$HIT_HEAD//" "${DATA_ROOT}counters/demo.log" 2>&1)"

finish
