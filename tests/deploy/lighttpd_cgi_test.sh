# lighttpd runs counter.cgi with mod_cgi, configured by the installed
# 20-korvelin-cgi.conf.
source "$(dirname "$0")/lib.sh"
need curl curl
reset_server_data_root
start_lighttpd lighttpd/20-korvelin-cgi.conf

follow_counted_link "$URL/cgi-bin/counter.cgi" news
check_hits news 1
finish_deploy
