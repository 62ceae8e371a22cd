# Apache runs counter.cgi with mod_cgid, configured by the installed
# korvelin-cgi.conf.
source "$(dirname "$0")/lib.sh"
need curl curl
reset_server_data_root
APACHE_MODULES=cgid
APACHE_SETTINGS=("ScriptSock $WORK_DIR/run/cgisock")
APACHE_INCLUDE=$SHARE/apache/korvelin-cgi.conf
need apache2 apache2
check_apache_refuses "counter.cgi needs mod_cgid: a2enmod cgid, then systemctl restart apache2"
start_apache

follow_counted_link "$URL/cgi-bin/counter.cgi" news
check_hits news 1
finish_deploy
