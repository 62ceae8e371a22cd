# nginx passes requests to the standing counter.fcgi with the installed
# location block. The program is started as the installed systemd units
# describe it (their socket, its owner and mode, the program and its user),
# by spawn-fcgi, which hands it the listening socket on its standard input as
# systemd does.
source "$(dirname "$0")/lib.sh"
need curl curl
need nginx nginx
need spawn-fcgi spawn-fcgi
need_fcgi
reset_server_data_root

# unit_setting UNIT KEY: the value of KEY= in the installed unit file UNIT.
unit_setting() { installed "systemd/$1" | sed -n "s/^$2=//p"; }
socket=$(unit_setting korvelin-counter.socket ListenStream)
spawn=(spawn-fcgi -n -s "$socket" -M "$(unit_setting korvelin-counter.socket SocketMode)")
if [ "$(id -u)" -eq 0 ]; then
  spawn+=(-U "$(unit_setting korvelin-counter.socket SocketUser)"
          -G "$(unit_setting korvelin-counter.socket SocketGroup)"
          -u "$(unit_setting korvelin-counter.service User)"
          -g "$(unit_setting korvelin-counter.service Group)")
fi
check "the socket nginx passes to" "fastcgi_pass unix:$socket;" \
  "$(installed nginx/korvelin.conf | grep -o 'fastcgi_pass.*')"
run_beside "${spawn[@]}" -- $(unit_setting korvelin-counter.service ExecStart)

mkdir -p "$WORK_DIR/conf" "$WORK_DIR/temp"
cp /etc/nginx/fastcgi_params "$WORK_DIR/conf/"
installed nginx/korvelin.conf >"$WORK_DIR/conf/korvelin.conf"
write_nginx() {
  {
    [ "$(id -u)" -eq 0 ] && echo "user $SERVER_USER $SERVER_GROUP;"
    printf '%s\n' "worker_processes 1;" "daemon off;" "pid $WORK_DIR/run/nginx.pid;" \
      "error_log $WORK_DIR/logs/error.log;" "events { worker_connections 64; }" "http {" \
      "access_log $WORK_DIR/logs/access.log;"
    for temp in client_body fastcgi proxy uwsgi scgi; do
      echo "${temp}_temp_path $WORK_DIR/temp/$temp;"
    done
    printf '%s\n' "server {" "listen 127.0.0.1:$PORT;" "root $WORK_DIR/htdocs;" \
      "include $WORK_DIR/conf/korvelin.conf;" "}" "}"
  } >"$WORK_DIR/conf/nginx.conf"
}
start_server write_nginx nginx -p "$WORK_DIR/" -c "$WORK_DIR/conf/nginx.conf" -e "$WORK_DIR/logs/error.log"

follow_counted_link "$URL/cgi-bin/counter.fcgi" news
follow_counted_link "$URL/cgi-bin/counter.fcgi" news
check_hits news 2
finish_deploy
