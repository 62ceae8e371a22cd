# Lays out the demo site that serves the counter: sourced (not run) by
# scripts/serve, the end-to-end tests and the benchmarks, so the tests exercise
# exactly the configuration that a person trying the program gets.
#   site_write          lighttpd runs counter.cgi (mod_cgi)
#   site_write_fastcgi  lighttpd runs counter.fcgi (mod_fastcgi, spawned by lighttpd)
#   site_write_nginx    nginx passes requests to a standing counter.fcgi (fastcgi_pass)
# Each serves 127.0.0.1:PORT with the program at /cgi-bin/counter.cgi (so SCRIPT_NAME,
# and with it the error journal allerror/counter.txt, is the same whichever runs) and
# keeps everything the server writes inside its directory.

KORVELIN_WEB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# site_pages DIR PORT DATA_ROOT [PATH...]: the pages in DIR/htdocs and the server's
# directories; fails on a path (DIR, the PATHs) that cannot be written into a config.
site_pages() {
  local dir=$1 port=$2 data_root=$3
  shift 3
  case "$dir$*" in
    *'"'* | *'\'* | *';'* | *'{'* | *'}'*)
      echo "site: a path holding a quote, a backslash, a semicolon or a brace cannot be written into a server configuration" >&2
      return 1 ;;
  esac
  mkdir -p "$dir/htdocs" "$dir/logs" "$dir/uploads" "$dir/tmp"
  local base="http://127.0.0.1:$port" page text
  for page in index.html arrived.html; do
    text=$(<"$KORVELIN_WEB_DIR/$page")
    text=${text//@BASE@/"$base"}
    text=${text//@DATA_ROOT@/"$data_root"}
    printf '%s\n' "$text" >"$dir/htdocs/$page"
  done
}

# lighttpd_base DIR PORT MODULE...: the part of lighttpd.conf every lighttpd site shares.
# No server.username: lighttpd runs as whoever starts it, so the program can write
# the data root that this user created.
lighttpd_base() {
  local dir=$1 port=$2
  shift 2
  local modules=
  [ $# -gt 0 ] && modules=$(printf ', "%s"' "$@")
  cat <<CONF
server.modules       = ( "mod_alias", "mod_accesslog"$modules )
server.bind          = "127.0.0.1"
server.port          = $port
server.document-root = "$dir/htdocs"
server.errorlog      = "$dir/logs/error.log"
accesslog.filename   = "$dir/logs/access.log"
server.upload-dirs   = ( "$dir/uploads" )
index-file.names     = ( "index.html" )
mimetype.assign      = ( ".html" => "text/html; charset=windows-1251" )
CONF
}

# site_write DIR PORT COUNTER DATA_ROOT [NAME]
#   Writes DIR/lighttpd.conf and the pages in DIR/htdocs for a server on
#   127.0.0.1:PORT that runs the CGI program COUNTER (built against DATA_ROOT) at
#   /cgi-bin/NAME, counter.cgi unless another CGI program is served (the
#   example programs).
site_write() {
  local dir counter
  dir=$(realpath -m "$1") counter=$(realpath -m "$3")
  local port=$2 data_root=$4 name=${5:-counter.cgi}
  site_pages "$dir" "$port" "$data_root" "$counter" "$name" || return 1
  # The program is mapped to its address with an alias, so SCRIPT_NAME is
  # /cgi-bin/counter.cgi (or /cgi-bin/NAME).
  {
    lighttpd_base "$dir" "$port" mod_cgi
    cat <<CONF

alias.url            = ( "/cgi-bin/$name" => "$counter" )
\$HTTP["url"] == "/cgi-bin/$name" {
  cgi.assign         = ( "" => "" )
}
CONF
  } >"$dir/lighttpd.conf"
}

# site_write_fastcgi DIR PORT PROGRAM DATA_ROOT [PROCESSES]
#   Writes DIR/lighttpd.conf and the pages for a server on 127.0.0.1:PORT that
#   starts the FastCGI program PROGRAM (counter.fcgi, or any program answering
#   the same address) itself, PROCESSES of them (1 unless given), on the Unix
#   socket DIR/fastcgi.sock, and passes /cgi-bin/counter.cgi to them.
site_write_fastcgi() {
  local dir program
  dir=$(realpath -m "$1") program=$(realpath -m "$3")
  local port=$2 data_root=$4 processes=${5:-1}
  site_pages "$dir" "$port" "$data_root" "$program" || return 1
  # check-local off: the address is no file under the document root.
  {
    lighttpd_base "$dir" "$port" mod_fastcgi
    cat <<CONF

fastcgi.server       = ( "/cgi-bin/counter.cgi" => ( (
  "socket"      => "$dir/fastcgi.sock",
  "bin-path"    => "$program",
  "max-procs"   => $processes,
  "check-local" => "disable"
) ) )
CONF
  } >"$dir/lighttpd.conf"
}

# site_write_nginx DIR PORT ADDRESS DATA_ROOT [DIRECTIVES]
#   Writes DIR/nginx.conf and the pages for nginx on 127.0.0.1:PORT passing
#   /cgi-bin/counter.cgi to a FastCGI program already listening on ADDRESS (a
#   Unix socket path, or HOST:PORT). DIRECTIVES are added inside the server block.
#   Run it with: nginx -p DIR -c DIR/nginx.conf -e DIR/logs/error.log
site_write_nginx() {
  local dir
  dir=$(realpath -m "$1")
  local port=$2 address=$3 data_root=$4 directives=${5:-}
  site_pages "$dir" "$port" "$data_root" "$address" || return 1
  case $address in
    /*) address=unix:$address ;;
  esac
  # As root, the workers stay root so they can reach a socket only root may
  # use; otherwise nginx runs as whoever starts it, which needs no directive.
  local user=
  [ "$(id -u)" -eq 0 ] && user="user root;"
  cat >"$dir/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid "$dir/nginx.pid";
error_log "$dir/logs/error.log";
$user
events { worker_connections 1024; }
http {
  access_log "$dir/logs/access.log";
  client_body_temp_path "$dir/tmp/body";
  fastcgi_temp_path "$dir/tmp/fastcgi";
  proxy_temp_path "$dir/tmp/proxy";
  uwsgi_temp_path "$dir/tmp/uwsgi";
  scgi_temp_path "$dir/tmp/scgi";
  types { text/html html; }
  charset windows-1251;
  server {
    listen 127.0.0.1:$port;
    root "$dir/htdocs";
    index index.html;
    location = /cgi-bin/counter.cgi {
      fastcgi_pass $address;
      fastcgi_param QUERY_STRING \$query_string;
      fastcgi_param REQUEST_METHOD \$request_method;
      fastcgi_param SCRIPT_NAME \$fastcgi_script_name;
      fastcgi_param REQUEST_URI \$request_uri;
      fastcgi_param SERVER_PROTOCOL \$server_protocol;
      fastcgi_param GATEWAY_INTERFACE CGI/1.1;
      fastcgi_param REMOTE_ADDR \$remote_addr;
      fastcgi_param REMOTE_PORT \$remote_port;
      fastcgi_param SERVER_NAME \$server_name;
      fastcgi_param SERVER_PORT \$server_port;
    }
    $directives
  }
}
CONF
}

# site_start SERVER DIR PORT PROGRAM DATA_ROOT [EXTRA]
#   Lays out a site in DIR and starts it in the background on 127.0.0.1:PORT, its
#   standard error in DIR/logs/stderr.log, then waits up to ten seconds for it to
#   answer. SERVER lighttpd serves PROGRAM as CGI (a *.cgi) or spawns it as FastCGI
#   (SITE_FASTCGI_PROCESSES of them, 1 unless set), or serves no program when
#   PROGRAM is empty; EXTRA is added to lighttpd.conf.
#   SERVER nginx passes to PROGRAM standing on DIR/fastcgi.sock (started here), or
#   to nothing when PROGRAM is empty; EXTRA goes into the server block. Sets
#   SITE_SERVER_PID and SITE_PROGRAM_PID (the standing program's; empty otherwise);
#   fails when the server does not answer.
site_start() {
  local server=$1 dir=$2 port=$3 program=$4 data_root=$5 extra=${6:-}
  dir=$(realpath -m "$dir")
  rm -rf "$dir"
  SITE_SERVER_PID= SITE_PROGRAM_PID=
  if [ "$server" = lighttpd ]; then
    case $program in
      "") site_pages "$dir" "$port" "$data_root" && lighttpd_base "$dir" "$port" >"$dir/lighttpd.conf" ;;
      *.cgi) site_write "$dir" "$port" "$program" "$data_root" ;;
      *) site_write_fastcgi "$dir" "$port" "$program" "$data_root" "${SITE_FASTCGI_PROCESSES:-1}" ;;
    esac || return 1
    printf '%s\n' "$extra" >>"$dir/lighttpd.conf"
    lighttpd -D -f "$dir/lighttpd.conf" </dev/null 2>"$dir/logs/stderr.log" &
    SITE_SERVER_PID=$!
  else
    site_write_nginx "$dir" "$port" "$dir/fastcgi.sock" "$data_root" "$extra" || return 1
    if [ -n "$program" ]; then
      "$program" --listen "$dir/fastcgi.sock" </dev/null 2>"$dir/logs/stderr.log" &
      SITE_PROGRAM_PID=$!
    fi
    nginx -p "$dir" -c "$dir/nginx.conf" -e "$dir/logs/error.log" </dev/null \
      2>>"$dir/logs/stderr.log" &
    SITE_SERVER_PID=$!
  fi
  local tick
  for tick in $(seq 100); do
    [ "$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$port/")" = 200 ] && return 0
    kill -0 "$SITE_SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  site_stop
  return 1
}

# site_stop: stops what site_start started (the server first, so no request is cut
# off by the program going away) and waits for it.
site_stop() {
  local pid
  for pid in $SITE_SERVER_PID $SITE_PROGRAM_PID; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  SITE_SERVER_PID= SITE_PROGRAM_PID=
}
