# Shared by the recipe tests (sourced): each is run by CTest as
#   bash <recipe>_test.sh PREFIX DATA_ROOT HOME_URL WORK_DIR
# with the programs installed by deploy.build into PREFIX, built against
# DATA_ROOT and HOME_URL, and a directory of the test's own (wiped here).
# Servers run as the web server's user www-data when started by root, as in a
# real installation, and as the user running the tests otherwise.
PREFIX=$1
DEPS_TASK=deploy
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"
e2e_init "$PREFIX/lib/cgi-bin/counter.cgi" "$2" "$3" "$4"
SHARE=$PREFIX/share/korvelin
if [ "$(id -u)" -eq 0 ]; then
  SERVER_USER=www-data SERVER_GROUP=www-data
else
  SERVER_USER=$(id -un) SERVER_GROUP=$(id -gn)
fi
# The server's user owns the run and log directories (lighttpd opens its log as that user).
mkdir -p "$WORK_DIR/logs" "$WORK_DIR/run" "$WORK_DIR/htdocs"
chown "$SERVER_USER:$SERVER_GROUP" "$WORK_DIR/logs" "$WORK_DIR/run"
echo "korvelin" >"$WORK_DIR/htdocs/index.html"

# Whatever a test must undo besides stopping its servers, run on every exit.
undo() { :; }
trap 'stop_servers; undo' EXIT

# reset_server_data_root: empty counters/ and allerror/ that the server's user writes to.
reset_server_data_root() {
  reset_data_root
  chown "$SERVER_USER:$SERVER_GROUP" "${DATA_ROOT}counters" "${DATA_ROOT}allerror"
  chmod 0770 "${DATA_ROOT}counters" "${DATA_ROOT}allerror"
}

# need_fcgi: skips the test when the build has no counter.fcgi (libfcgi-dev was
# missing when it was configured).
need_fcgi() {
  [ -x "$PREFIX/lib/cgi-bin/counter.fcgi" ] && return
  echo "the build has no counter.fcgi (it is built where the Debian package libfcgi-dev is installed)"
  exit "$SKIPPED"
}

# installed FILE: prints the installed recipe FILE (relative to share/korvelin/)
# with its run-time paths moved into the work directory.
installed() {
  sed -e "s|/run/korvelin/|$WORK_DIR/run/|g" -e "s|/run/lighttpd/|$WORK_DIR/run/|g" "$SHARE/$1"
}

SERVER_PIDS=()
# start_server WRITE_CONFIG COMMAND...: picks a free loopback port (PORT),
# calls WRITE_CONFIG to write the server's configuration for it, starts
# COMMAND (a server that stays in the foreground) and waits until it answers
# on the port; sets URL. A port taken in between is given up for another.
start_server() {
  local write_config=$1 attempt tick
  shift
  for attempt in 1 2 3 4 5; do
    PORT=$((20000 + RANDOM % 20000))
    (exec 3<>"/dev/tcp/127.0.0.1/$PORT") 2>/dev/null && continue
    "$write_config"
    "$@" </dev/null >>"$WORK_DIR/logs/server.out" 2>&1 &
    SERVER_PIDS+=($!)
    for tick in $(seq 100); do
      if curl -s -o /dev/null --max-time 1 "http://127.0.0.1:$PORT/"; then
        URL=http://127.0.0.1:$PORT
        return 0
      fi
      kill -0 "${SERVER_PIDS[-1]}" 2>/dev/null || break
      sleep 0.1
    done
    stop_servers
  done
  echo "FAILED: $1 did not start; its logs:"
  tail -n 20 "$WORK_DIR"/logs/*
  exit 1
}

# run_beside COMMAND...: another process the test starts and stops with the server.
run_beside() {
  "$@" </dev/null >>"$WORK_DIR/logs/server.out" 2>&1 &
  SERVER_PIDS+=($!)
}

stop_servers() {
  local pid
  for pid in "${SERVER_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${SERVER_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  SERVER_PIDS=()
}

# follow_counted_link PROGRAM_URL NAME: follows a counted link to counter NAME
# with curl, which sends a referer and a forwarded-for address: the answer
# must be the redirect to the target, exactly.
follow_counted_link() {
  local target="http://target.example/$2/?x=1&y=%2B2" headers status location
  headers=$(curl -sS --max-time 10 -o /dev/null -D - -e "http://ref.example/$2.html" \
    -H "X-Forwarded-For: 203.0.113.9" "$1?$target+$2") || headers=
  status=$(sed -n '1s/^HTTP\/[0-9.]* \([0-9]*\).*/\1/p' <<<"$headers")
  location=$(sed -n 's/^Location: \(.*\)\r$/\1/p' <<<"$headers")
  check "status of a counted link to $2" 302 "$status"
  check "Location of a counted link to $2" "$target" "$location"
}

# check_hits NAME COUNT [LOG]: counter NAME's hit log (or LOG) holds COUNT
# lines, each the hit of follow_counted_link from the local client.
check_hits() {
  local log=${3:-${DATA_ROOT}counters/$1.log} line
  line=$(printf 'A:%-15s H:%-15s IP:%-15s FROM:%s' 127.0.0.1 '(null)' 203.0.113.9 "http://ref.example/$1.html")
  check "hit log of counter $1" \
    "$(for ((i = 0; i < $2; i++)); do printf '<time>%s\n' "$line"; done)" \
    "$(sed -E "s/^$HIT_HEAD/<time>/" "$log" 2>&1)"
}

# finish_deploy: stops the servers and fails the test on any recorded failure
# or sanitizer report in the servers' logs.
finish_deploy() {
  stop_servers
  if grep -l -E "Sanitizer|runtime error:" "$WORK_DIR"/logs/* 2>/dev/null; then
    echo "FAILED: a sanitizer reported an error in the logs above"
    FAILURES=$((FAILURES + 1))
  fi
  if [ "$FAILURES" -ne 0 ]; then
    echo "$FAILURES check(s) failed; the servers' logs:"
    tail -n 20 "$WORK_DIR"/logs/*
    exit 1
  fi
  echo "all checks passed"
}

# write_apache: a private Apache configuration for PORT with its pid file,
# sockets and logs in the work directory, loading Debian's modules (ServerRoot
# /etc/apache2) named in APACHE_MODULES, with the lines APACHE_SETTINGS, and
# including the recipe file APACHE_INCLUDE. Start it with start_apache.
write_apache() {
  local module
  {
    printf '%s\n' "ServerRoot /etc/apache2" "ServerName 127.0.0.1" "Listen 127.0.0.1:$PORT" \
      "PidFile $WORK_DIR/run/apache2.pid" "DefaultRuntimeDir $WORK_DIR/run" \
      "Mutex file:$WORK_DIR/run default" "ErrorLog $WORK_DIR/logs/error.log" \
      "DocumentRoot $WORK_DIR/htdocs" "<Directory $WORK_DIR/htdocs>" "Require all granted" "</Directory>"
    for module in mpm_event authz_core alias $APACHE_MODULES; do
      echo "LoadModule ${module}_module /usr/lib/apache2/modules/mod_$module.so"
    done
    [ "$(id -u)" -eq 0 ] && printf '%s\n' "User $SERVER_USER" "Group $SERVER_GROUP"
    printf '%s\n' "${APACHE_SETTINGS[@]}" "Include $APACHE_INCLUDE"
  } >"$WORK_DIR/apache2.conf"
}
# check_apache_refuses MESSAGE: without the modules and settings of the
# recipe, Apache refuses the configuration with MESSAGE instead of serving the
# program file itself.
check_apache_refuses() {
  local modules=$APACHE_MODULES settings=("${APACHE_SETTINGS[@]}")
  APACHE_MODULES= APACHE_SETTINGS=() PORT=1
  write_apache
  check "Apache's verdict on the recipe without $modules" "$1" \
    "$(apache2 -t -f "$WORK_DIR/apache2.conf" 2>&1 | grep -o -F "$1" || true)"
  APACHE_MODULES=$modules APACHE_SETTINGS=("${settings[@]}")
}
start_apache() {
  need apache2 apache2
  start_server write_apache apache2 -f "$WORK_DIR/apache2.conf" -DFOREGROUND
}

# start_lighttpd RECIPE: lighttpd on a loopback port with the installed recipe
# file RECIPE (relative to share/korvelin/) included.
start_lighttpd() {
  need lighttpd lighttpd
  installed "$1" >"$WORK_DIR/recipe.conf"
  start_server write_lighttpd lighttpd -D -f "$WORK_DIR/lighttpd.conf"
}
write_lighttpd() {
  {
    printf '%s\n' 'server.bind = "127.0.0.1"' "server.port = $PORT" \
      "server.document-root = \"$WORK_DIR/htdocs\"" "server.errorlog = \"$WORK_DIR/logs/error.log\""
    [ "$(id -u)" -eq 0 ] &&
      printf '%s\n' "server.username = \"$SERVER_USER\"" "server.groupname = \"$SERVER_GROUP\""
    echo "include \"$WORK_DIR/recipe.conf\""
  } >"$WORK_DIR/lighttpd.conf"
}
