# Lays out a lighttpd site that runs counter.cgi: sourced (not run) by
# scripts/serve and by the end-to-end tests, so the tests exercise exactly the
# configuration that a person trying the program gets.

KORVELIN_WEB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# site_write DIR PORT COUNTER DATA_ROOT [NAME]
#   Writes DIR/lighttpd.conf and the pages in DIR/htdocs for a server on
#   127.0.0.1:PORT that runs the program COUNTER (built against DATA_ROOT) at
#   /cgi-bin/NAME, counter.cgi unless another CGI program is served (the
#   example programs). Everything the server writes stays inside DIR.
site_write() {
  local dir counter
  dir=$(realpath -m "$1") counter=$(realpath -m "$3")
  local port=$2 data_root=$4 name=${5:-counter.cgi}
  case "$dir$counter$name" in
    *'"'* | *'\'*)
      echo "site: a path holding a quote or a backslash cannot be written into lighttpd.conf" >&2
      return 1 ;;
  esac
  mkdir -p "$dir/htdocs" "$dir/logs" "$dir/uploads"

  local base="http://127.0.0.1:$port" page text
  for page in index.html arrived.html; do
    text=$(<"$KORVELIN_WEB_DIR/$page")
    text=${text//@BASE@/"$base"}
    text=${text//@DATA_ROOT@/"$data_root"}
    printf '%s\n' "$text" >"$dir/htdocs/$page"
  done

  # No server.username: lighttpd runs as whoever starts it, so the program
  # can write the data root that this user created. The program is mapped
  # to its address with an alias, so SCRIPT_NAME is /cgi-bin/counter.cgi (or
  # /cgi-bin/NAME) and the error journal is allerror/counter.txt.
  cat >"$dir/lighttpd.conf" <<CONF
server.modules       = ( "mod_alias", "mod_cgi", "mod_accesslog" )
server.bind          = "127.0.0.1"
server.port          = $port
server.document-root = "$dir/htdocs"
server.errorlog      = "$dir/logs/error.log"
accesslog.filename   = "$dir/logs/access.log"
server.upload-dirs   = ( "$dir/uploads" )
index-file.names     = ( "index.html" )
mimetype.assign      = ( ".html" => "text/html; charset=windows-1251" )

alias.url            = ( "/cgi-bin/$name" => "$counter" )
\$HTTP["url"] == "/cgi-bin/$name" {
  cgi.assign         = ( "" => "" )
}
CONF
}
