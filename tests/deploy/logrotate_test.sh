# The installed logrotate file, forced by logrotate -f again and again while
# 8 clients follow counted links through lighttpd and counter.cgi: every hit
# that was answered is in the current log or a rotated one, exactly once and
# whole, and the new log belongs to the server's user.
source "$(dirname "$0")/lib.sh"
need curl curl
need logrotate logrotate
reset_server_data_root
start_lighttpd lighttpd/20-korvelin-cgi.conf

# The installed file as is when root runs it; otherwise for the user running the test.
sed -e "s/ www-data www-data$/ $SERVER_USER $SERVER_GROUP/" "$PREFIX/etc/logrotate.d/korvelin" \
  >"$WORK_DIR/logrotate.conf"
rotate() { logrotate -f -s "$WORK_DIR/logrotate.state" "$WORK_DIR/logrotate.conf"; }

# client N: 60 hits with the referer http://ref.example/N/<hit>; writes the
# referers of the answered ones to answered.N.
client() {
  local hit status
  for hit in $(seq 60); do
    status=$(curl -s -o /dev/null --max-time 10 -w '%{http_code}' -e "http://ref.example/$1/$hit" \
      "$URL/cgi-bin/counter.cgi?http://target.example/+rotated") || true
    [ "$status" = 302 ] && echo "http://ref.example/$1/$hit"
  done >"$WORK_DIR/answered.$1"
}
clients=()
for n in 1 2 3 4 5 6 7 8; do
  client "$n" &
  clients+=($!)
done
# Fewer rotations than the file keeps logs, so that none is deleted.
rotations=0
while kill -0 "${clients[@]}" 2>/dev/null && [ "$rotations" -lt 40 ]; do
  rotate || check "logrotate's status" 0 "$?"
  rotations=$((rotations + 1))
  sleep 0.3
done
wait "${clients[@]}"
rotate
echo "$rotations rotations under load"

log=${DATA_ROOT}counters/rotated.log
check "answered hits" 480 "$(cat "$WORK_DIR"/answered.* | wc -l)"
check "rotations under load, at least" yes "$([ "$rotations" -ge 3 ] && echo yes || echo no)"
check "last week's log kept uncompressed" yes "$([ -f "$log.1" ] && echo yes || echo no)"
check "older logs compressed" yes "$(ls "$log".*.gz >/dev/null 2>&1 && echo yes || echo no)"
check "the new log's owner" "$SERVER_USER:$SERVER_GROUP" "$(stat -c %U:%G "$log")"
lines=$(cat "$log" "$log.1"; zcat "$log".*.gz)
check "malformed hit lines" "" \
  "$(grep -v -E "^${HIT_HEAD}A:127\.0\.0\.1 +H:\(null\) +IP:\(null\) +FROM:http://ref\.example/[1-8]/[0-9]+$" <<<"$lines")"
logged=$(sed 's/.*FROM://' <<<"$lines" | sort)
check "answered hits missing from the logs" "" \
  "$(comm -23 <(sort "$WORK_DIR"/answered.*) <(uniq <<<"$logged"))"
check "hits logged more than once" "" "$(uniq -d <<<"$logged")"
finish_deploy
