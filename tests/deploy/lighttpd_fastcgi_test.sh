# lighttpd starts counter.fcgi and keeps it running with mod_fastcgi,
# configured by the installed 20-korvelin-fastcgi.conf: two links, one
# standing program.
source "$(dirname "$0")/lib.sh"
need curl curl
need_fcgi
reset_server_data_root
start_lighttpd lighttpd/20-korvelin-fastcgi.conf

follow_counted_link "$URL/cgi-bin/counter.fcgi" news
follow_counted_link "$URL/cgi-bin/counter.fcgi" news
check_hits news 2
finish_deploy
