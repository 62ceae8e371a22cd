# Apache keeps counter.fcgi running with mod_fcgid, configured by the installed
# korvelin-fcgid.conf: two links, one standing program.
source "$(dirname "$0")/lib.sh"
need curl curl
need_fcgi
[ -e /usr/lib/apache2/modules/mod_fcgid.so ] || need mod_fcgid.so libapache2-mod-fcgid
reset_server_data_root
APACHE_MODULES=fcgid
APACHE_SETTINGS=("FcgidIPCDir $WORK_DIR/run/fcgid" "FcgidProcessTableFile $WORK_DIR/run/fcgid_shm")
APACHE_INCLUDE=$SHARE/apache/korvelin-fcgid.conf
need apache2 apache2
check_apache_refuses "counter.fcgi needs mod_fcgid: apt-get install libapache2-mod-fcgid"
start_apache

follow_counted_link "$URL/cgi-bin/counter.fcgi" news
follow_counted_link "$URL/cgi-bin/counter.fcgi" news
check_hits news 2
finish_deploy
