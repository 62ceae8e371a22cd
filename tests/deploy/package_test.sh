# The Debian packages: built by scripts/package, checked by lintian, installed
# on this machine with dpkg -i, a counted link served by Apache (a private
# configuration that includes the package's korvelin-cgi.conf), removed with
# dpkg -r (the programs go, the hit logs stay) and purged. Needs root; refuses
# to run where korvelin is installed or its paths exist, and purges the
# packages on any exit. Run by CTest as
#   bash package_test.sh SOURCE_DIR WORK_DIR
SOURCE_DIR=$1
set -- /usr /var/lib/korvelin/ http://localhost/ "$2"
source "$(dirname "$0")/lib.sh"
need apache2 apache2
need curl curl
need lintian lintian
need dpkg-shlibdeps dpkg-dev
need logrotate logrotate
if [ "$(id -u)" -ne 0 ]; then
  echo "installing a package needs root"
  [ -n "${KORVELIN_E2E_REQUIRED:-}" ] && exit 1
  exit "$SKIPPED"
fi
refuse() {
  echo "FAILED: korvelin is installed here ($1); not touching it"
  exit 1
}
for package in korvelin korvelin-dev; do
  dpkg-query -W "$package" >/dev/null 2>&1 && refuse "dpkg knows the package $package"
done
for path in "$DATA_ROOT" "$COUNTER" /usr/share/korvelin /usr/include/korvelin /etc/logrotate.d/korvelin; do
  [ -e "$path" ] && refuse "$path exists"
done

"$SOURCE_DIR/scripts/package" "$WORK_DIR/build" >"$WORK_DIR/logs/package.out" 2>&1
debs=("$WORK_DIR"/build/korvelin_*.deb "$WORK_DIR"/build/korvelin-dev_*.deb)
check "lintian's errors" "" "$(lintian "${debs[@]}" 2>/dev/null | grep '^E:' || true)"

undo() { dpkg --purge korvelin korvelin-dev >/dev/null 2>&1 || true; }
dpkg -i "${debs[@]}" >"$WORK_DIR/logs/dpkg.out" 2>&1
check "the program, executable" yes "$([ -x "$COUNTER" ] && echo yes || echo no)"
for dir in counters allerror; do
  check "owner and mode of $dir/" "www-data:www-data 770" "$(stat -c '%U:%G %a' "$DATA_ROOT$dir")"
done
check "the logrotate file, a configuration file" /etc/logrotate.d/korvelin \
  "$(dpkg-query -W -f='${Conffiles}' korvelin | awk '{ print $1 }')"
check "logrotate's verdict on the installed file" 0 \
  "$(logrotate -d -s "$WORK_DIR/logrotate.state" /etc/logrotate.d/korvelin >/dev/null 2>&1; echo $?)"
check "the data root in korvelin.pc" "dataroot=$DATA_ROOT" \
  "$(grep -h '^dataroot=' $(dpkg -L korvelin-dev | grep 'korvelin\.pc$'))"

APACHE_MODULES=cgid
APACHE_SETTINGS=("ScriptSock $WORK_DIR/run/cgisock")
APACHE_INCLUDE=/usr/share/korvelin/apache/korvelin-cgi.conf
start_apache
follow_counted_link "$URL/cgi-bin/counter.cgi" package
check_hits package 1
stop_servers

dpkg -r korvelin korvelin-dev >>"$WORK_DIR/logs/dpkg.out" 2>&1
for path in "$COUNTER" /usr/share/korvelin /usr/include/korvelin; do
  check "$path after removing the packages" absent "$([ -e "$path" ] && echo present || echo absent)"
done
check_hits package 1
dpkg --purge korvelin korvelin-dev >>"$WORK_DIR/logs/dpkg.out" 2>&1
for path in "$DATA_ROOT" /etc/logrotate.d/korvelin; do
  check "$path after purging the packages" absent "$([ -e "$path" ] && echo present || echo absent)"
done
finish_deploy
