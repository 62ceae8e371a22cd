# The feedback example built against the installed package and driven under
# lighttpd with curl. Run by CTest as
#   bash feedback_test.sh WAY PREFIX EXAMPLE_DIR CXX WORK_DIR
# where WAY is cmake (find_package) or pkgconfig (the example's Makefile).
set -euo pipefail
WAY=$1 PREFIX=$2 EXAMPLE=$3 CXX=$4
STORE=$5/store/
CGI_NAME=feedback.cgi
# The end-to-end tests' helpers: the program, its store as the data root, no
# home page, and the work directory, which e2e_init empties.
source "$(dirname "$0")/../e2e/lib.sh"
e2e_init "$5/build/feedback.cgi" "$STORE" "" "$5"
need lighttpd lighttpd
need curl curl
[ "$WAY" = pkgconfig ] && need pkg-config pkg-config

libdir=$(dirname "$(dirname "$(find "$PREFIX" -name korvelin.pc)")")
mkdir -p "$WORK_DIR/build"
if [ "$WAY" = cmake ]; then
  cmake -S "$EXAMPLE" -B "$WORK_DIR/build" -DCMAKE_PREFIX_PATH="$PREFIX" \
    -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_CXX_FLAGS=-Werror -DFEEDBACK_STORE_DIR="$STORE" >/dev/null
  cmake --build "$WORK_DIR/build" >/dev/null
else
  PKG_CONFIG_PATH=$libdir/pkgconfig make -s -C "$EXAMPLE" OUT="$WORK_DIR/build" \
    CXX="$CXX" CXXFLAGS="-O2 -Werror" STORE_DIR="$STORE"
fi
mkdir -p "$STORE"
start_site
URL=$SITE_URL/cgi-bin/feedback.cgi

# Texts of the pages as Windows-1251, written here in UTF-8.
cp1251() { printf '%s' "$1" | iconv -f UTF-8 -t WINDOWS-1251; }

# post CURL_ARGS...: posts to the program; sets STATUS, TYPE (the Content-Type
# header) and PAGE (the body).
post() {
  local headers
  if ! headers=$(curl -sS --max-time 20 -o "$WORK_DIR/page" -D - "$@" "$URL"); then
    STATUS="curl failed" TYPE= PAGE=
    return
  fi
  STATUS=$(sed -n '1s/^HTTP\/[0-9.]* \([0-9]*\).*/\1/p' <<<"$headers")
  TYPE=$(sed -n 's/^Content-Type: \(.*\)\r$/\1/p' <<<"$headers")
  PAGE=$(cat "$WORK_DIR/page")
}

# The library's error page with TITLE, HINT and the back link, without its header.
error_page() {
  printf '<html>\n<head>\n%s\n</head>\n<body>\n<br><center>\n' "$(cp1251 '<title>Ошибка</title>')"
  printf '<font size=5 color="#808000"><b>%s</b></font><br><br>\n' "$1"
  printf '<font size=4 color="#808000">%s</font><br><br><br><br>\n' "$2"
  printf '%s</center>\n</body>\n</html>' \
    "$(cp1251 '<a href="JavaScript:history.back();">Назад</a>&nbsp; &nbsp; &nbsp; ')"
}
PATH_ERROR=$(error_page "$(cp1251 'Произошла ошибка при передаче параметров')" \
  "$(cp1251 'Попробуйте отправить запрос заново.')")

# The store's text with the moments masked, and a dot so trailing line feeds count.
store() {
  cat "$STORE"feedback* 2>/dev/null |
    sed -E 's/^date=[0-9]{2}\.[0-9]{2}\.[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}$/date=<when>/'
  echo .
}
# The thank-you page's first two lines after the heading.
thanks() { sed -n '/^<h1>/,$p' <<<"$PAGE" | sed -n '2,3p'; }

# The form page: both forms post back to the program, in Windows-1251.
curl -sS --max-time 20 -D "$WORK_DIR/headers" -o "$WORK_DIR/form" "$URL"
check "Content-Type of the form page" "text/html; charset=WINDOWS-1251" \
  "$(sed -n 's/^Content-Type: \(.*\)\r$/\1/p' "$WORK_DIR/headers")"
check "forms posting back" 2 "$(grep -c '<form method="post" action="/cgi-bin/feedback.cgi"' "$WORK_DIR/form")"
check "the multipart form" 1 "$(grep -c 'enctype="multipart/form-data"' "$WORK_DIR/form")"

# A good message: the nickname normalised, a Cyrillic name kept in Windows-1251,
# the line break and the bold tag let through.
post --data 'nick=++%C8%E2%E0%ED+++Petrov+&email=ivan%40example.org&message10biu=Hello%0D%0A%3Cb%3Eworld%3C%2Fb%3E'
nick=$(cp1251 'Иван Petrov')
check "status of a good message" 200 "$STATUS"
check "Content-Type of the thank-you page" "text/html; charset=WINDOWS-1251" "$TYPE"
check "thank-you page" \
  "$(printf '<p>Thank you, %s. Your message has been saved:</p>\n<blockquote>Hello<br><b>world</b></blockquote>' "$nick")" \
  "$(thanks)"
record1=$(printf 'date=<when>\nnick=%s\nemail=ivan@example.org\nmessage=Hello<br><b>world</b>\n' "$nick")
check "store after a good message" "$(printf '%s\n\n.' "$record1")" "$(store)"

# A bad e-mail address: the error page says so, and nothing is stored.
post --data 'nick=Ivan&email=ivan.example.org&message10biu=Hi'
check "status for a bad e-mail" 200 "$STATUS"
check "page for a bad e-mail" \
  "$(error_page 'The e-mail address is not valid' 'Go back, correct the address and send the message again.')" \
  "$PAGE"
check "store after a bad e-mail" "$(printf '%s\n\n.' "$record1")" "$(store)"

# A body over the limit of 64 KiB is not read: the parameter error page.
head -c 70000 /dev/zero | tr '\0' a | sed 's/^/nick=Ivan\&email=ivan%40example.org\&message10biu=/' >"$WORK_DIR/big"
post --data-binary @"$WORK_DIR/big"
check "status for an over-limit body" 200 "$STATUS"
check "page for an over-limit body" "$PATH_ERROR" "$PAGE"
check "store after an over-limit body" "$(printf '%s\n\n.' "$record1")" "$(store)"

# Hostile markup arrives escaped, in the store and on the page: only the
# permitted tags pass, in the field whose name asks for them (a closing tag
# that closes nothing vanishes), and the nickname is cut to 24 bytes.
post --data-urlencode 'nick=<img src=x onerror=alert(1)>' --data-urlencode 'email=a"><script>@x.org' \
  --data-urlencode 'message10biu=<script>alert("x")</script><b onclick=y>b</b><i>i</i>'
check "status for hostile markup" 200 "$STATUS"
check "thank-you page for hostile markup" \
  "$(printf '%s\n%s' '<p>Thank you, &lt;img src&#61;x onerro. Your message has been saved:</p>' \
     '<blockquote>&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&lt;b onclick=y&gt;b<i>i</i></blockquote>')" \
  "$(thanks)"
check "no raw markup on the page" "" "$(grep -Eo '<(script|img)' <<<"$PAGE" || true)"
record2=$(printf '%s\n' 'date=<when>' 'nick=&lt;img src&#61;x onerro' 'email=a&quot;&gt;&lt;script&gt;@x.org' \
  'message=&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&lt;b onclick=y&gt;b<i>i</i>')
check "store after hostile markup" "$(printf '%s\n\n%s\n\n.' "$record1" "$record2")" "$(store)"

# The multipart form with a small attachment: its name, type and size are
# recorded; its bytes (a zero byte, CR LF and the dashes that begin curl's
# boundary) do not end the part early, and raw markup in a value is escaped.
printf 'PNG\0\r\n------------------------\r\nend' >"$WORK_DIR/shot"
post -F 'nick=Ivan' -F 'email=ivan@example.org' -F 'note=The <b>menu</b> & more' \
  -F "attachment=@$WORK_DIR/shot;type=image/png;filename=shot<1>.png"
check "status of a multipart message" 200 "$STATUS"
check "thank-you page of a multipart message" \
  "$(printf '%s\n%s' '<p>Thank you, Ivan. Your message has been saved:</p>' \
     '<blockquote>The &lt;b&gt;menu&lt;/b&gt; &amp; more</blockquote>')" "$(thanks)"
check "attachment line" '<p>Attachment: shot&lt;1&gt;.png (image/png, 35 bytes)</p>' \
  "$(grep '^<p>Attachment' <<<"$PAGE")"
record3=$(printf '%s\n' 'date=<when>' 'nick=Ivan' 'email=ivan@example.org' \
  'message=The &lt;b&gt;menu&lt;/b&gt; &amp; more' 'file=shot&lt;1&gt;.png' 'type=image/png' 'size=35')
check "store after a multipart message" "$(printf '%s\n\n%s\n\n%s\n\n.' "$record1" "$record2" "$record3")" "$(store)"

# Bodies whose length is missing, not a number, or longer than what arrives,
# given to the program directly: the parameter error page, and nothing stored.
# (The body comes from a file: the program leaves it unread.)
printf 'nick=Ivan&email=ivan%%40example.org&message10biu=Hi' >"$WORK_DIR/body"
for case in "" "CONTENT_LENGTH=" "CONTENT_LENGTH=12x" "CONTENT_LENGTH=-5" "CONTENT_LENGTH=100"; do
  answer=$(env -i REQUEST_METHOD=POST CONTENT_TYPE=application/x-www-form-urlencoded $case \
    "$COUNTER" <"$WORK_DIR/body" 2>"$WORK_DIR/stderr")
  check "answer with '$case'" \
    "$(printf 'Content-Type: text/html; charset=WINDOWS-1251\n\n%s' "$PATH_ERROR")" "$answer"
  check "standard error with '$case'" "" "$(cat "$WORK_DIR/stderr")"
done
check "store after bad lengths" "$(printf '%s\n\n%s\n\n%s\n\n.' "$record1" "$record2" "$record3")" "$(store)"

finish
