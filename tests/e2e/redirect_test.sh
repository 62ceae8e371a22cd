# The counter behind lighttpd, asked by curl: redirects, hit lines, the error
# journal, and counter names that try to leave the counters directory.
# Run by CTest as: bash redirect_test.sh COUNTER DATA_ROOT HOME_URL WORK_DIR (see e2e_init).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
need lighttpd lighttpd
need curl curl
reset_data_root
start_site

# fetch QUERY [CURL_ARGS...]: requests the program with QUERY appended to its
# address; sets STATUS and LOCATION (the header's value as sent).
fetch() {
  local url headers
  url=$(counted "$1")
  shift
  if ! headers=$(curl -sS --max-time 10 -o /dev/null -D - "$@" "$url"); then
    STATUS="curl failed" LOCATION=
    return
  fi
  STATUS=$(sed -n '1s/^HTTP\/[0-9.]* \([0-9]*\).*/\1/p' <<<"$headers")
  LOCATION=$(sed -n 's/^Location: \(.*\)\r$/\1/p' <<<"$headers")
}

# A file's bytes with the date and time of its first line masked, and a dot
# after the last byte so that trailing line feeds count.
masked() { sed -E "1s/$1/<time>/" "$2" 2>&1; echo .; }

# A counted link answers 302 with the target exactly as written, and the hit
# line shows the client's address and the referer and forwarded-for that curl sent.
target='http://target.example/a%20b/?x=1&y=%2B2'
referer='http://ref.example/links.html?from=e2e'
fetch "?$target+news" -e "$referer" -H "X-Forwarded-For: 203.0.113.9"
check "status of a counted link" 302 "$STATUS"
check "Location of a counted link" "$target" "$LOCATION"
check "hit log of the counted link" \
  "$(printf '<time>A:%-15s H:%-15s IP:%-15s FROM:%s\n.' 127.0.0.1 '(null)' 203.0.113.9 "$referer")" \
  "$(masked "^$HIT_HEAD" "${DATA_ROOT}counters/news.log")"

# No query, or an empty one: the home page, and nothing is logged.
for query in "" "?"; do
  fetch "$query"
  check "status for the query '$query'" 302 "$STATUS"
  check "Location for the query '$query'" "$HOME_URL" "$LOCATION"
done
check "hit logs after the home-page redirects" "news.log" "$(ls "${DATA_ROOT}counters")"

# Without the counters directory the visitor is still redirected, and the
# journal named after the script gets one entry.
rm -r "${DATA_ROOT}counters"
fetch "?http://target.example/+gone"
check "status without the counters directory" 302 "$STATUS"
check "Location without the counters directory" "http://target.example/" "$LOCATION"
check "journal entry for the lost hit" \
  "$(printf '<time>\nA=127.0.0.1  H=(null)  IP=(null)\nCan'\''t open file %s ("a")\n\n.' \
     "${DATA_ROOT}counters/gone.log")" \
  "$(masked '^[0-9]{2}\.[0-9]{2}\.[0-9]{4}, [0-9]{2}:[0-9]{2}:[0-9]{2}$' "${DATA_ROOT}allerror/counter.txt")"
check "files in allerror/" "counter.txt" "$(ls "${DATA_ROOT}allerror")"

# Counter names with slashes: the visitor is redirected, and no file appears
# where the name would lead out of the counters directory.
reset_data_root
up_to_root=$(printf '../%.0s' {1..10})
for name in ../escape ../allerror/forged ../../../escape "${up_to_root}tmp/korvelin-e2e-$$"; do
  fetch "?http://target.example/+$name"
  check "status for the counter name $name" 302 "$STATUS"
  check "Location for the counter name $name" "http://target.example/" "$LOCATION"
  escaped=$(realpath -m "${DATA_ROOT}counters/$name.log")
  check "a file at $escaped" "absent" "$([ -e "$escaped" ] && echo present || echo absent)"
  rm -f "$escaped"
done

finish
