# The README's build for a server: configured without the test suite, built,
# and its programs component installed stripped into PREFIX, then the
# development component into PREFIX-development. Run by CTest as
#   bash build_test.sh SOURCE_DIR BUILD_DIR PREFIX DATA_ROOT HOME_URL CXX SANITIZE
# The recipe tests use the programs installed here.
set -euo pipefail
SOURCE_DIR=$1 BUILD_DIR=$2 PREFIX=$3 DATA_ROOT=$4 HOME_URL=$5 CXX=$6 SANITIZE=$7
FAILURES=0
check() {
  if [ "$2" != "$3" ]; then
    printf 'FAILED: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    FAILURES=$((FAILURES + 1))
  fi
}
rm -rf "$BUILD_DIR" "$PREFIX" "$PREFIX-development"
mkdir -p "$BUILD_DIR"
# quietly COMMAND...: runs COMMAND with its output in a log, shown if it fails.
quietly() {
  "$@" >"$BUILD_DIR.log" 2>&1 && return
  echo "FAILED: $*"
  cat "$BUILD_DIR.log"
  exit 1
}

quietly cmake -S "$SOURCE_DIR" -B "$BUILD_DIR" -DBUILD_TESTING=OFF -DCMAKE_CXX_COMPILER="$CXX" \
  -DKORVELIN_DATA_ROOT="$DATA_ROOT" -DKORVELIN_HOME_URL="$HOME_URL" \
  -DCMAKE_INSTALL_PREFIX="$PREFIX" -DKORVELIN_SANITIZE="$SANITIZE"
check "configure's word on the tests" "-- Tests: not built (BUILD_TESTING is OFF)" \
  "$(grep -- '-- Tests' "$BUILD_DIR.log")"
quietly cmake --build "$BUILD_DIR" -j 2
check "test programs built" "" "$(find "$BUILD_DIR" -name '*_tests' -type f)"

quietly cmake --install "$BUILD_DIR" --strip --component programs
programs=counter.cgi
[ -e "$BUILD_DIR/counter.fcgi" ] && programs+=" counter.fcgi"
check "files of the programs component" \
  "$(printf '%s\n' bin/counter-report etc/logrotate.d/korvelin \
     $(for p in $programs; do echo lib/cgi-bin/$p; done) \
     share/doc/korvelin/changelog.gz share/doc/korvelin/copyright \
     share/korvelin/apache/korvelin-cgi.conf share/korvelin/apache/korvelin-fcgid.conf \
     share/korvelin/lighttpd/20-korvelin-cgi.conf share/korvelin/lighttpd/20-korvelin-fastcgi.conf \
     share/korvelin/nginx/korvelin.conf \
     share/korvelin/systemd/korvelin-counter.service share/korvelin/systemd/korvelin-counter.socket | sort)" \
  "$(cd "$PREFIX" && find . -type f | sed 's|^\./||' | sort)"
# The build type keeps debugging information; the installed programs have none.
# sections FILE: the names of FILE's sections that hold symbols or debugging information.
sections() { readelf -S -W "$1" | grep -o -E '\.(debug_info|symtab)' | sort -u | xargs; }
for program in $programs; do
  check "symbol and debugging sections of the built $program" ".debug_info .symtab" \
    "$(sections "$BUILD_DIR/$program")"
  check "symbol and debugging sections of the installed $program" "" \
    "$(sections "$PREFIX/lib/cgi-bin/$program")"
done
check "configuration naming the installed program" \
  "ScriptAlias /cgi-bin/counter.cgi $PREFIX/lib/cgi-bin/counter.cgi" \
  "$(grep -o 'ScriptAlias.*' "$PREFIX/share/korvelin/apache/korvelin-cgi.conf")"
check "logrotate file naming the data root" \
  "${DATA_ROOT}counters/*.log ${DATA_ROOT}allerror/*.txt {" \
  "$(grep '{' "$PREFIX/etc/logrotate.d/korvelin")"

quietly cmake --install "$BUILD_DIR" --component development --prefix "$PREFIX-development"
check "programs in the development component" "" \
  "$(find "$PREFIX-development" -path '*cgi-bin*' -o -path '*share/korvelin*')"
check "library, pkg-config and CMake files in the development component" 3 \
  "$(find "$PREFIX-development" -name libkorvelin.a -o -name korvelin.pc -o -name korvelinConfig.cmake | wc -l)"
check "korvelin.h in the development component" yes \
  "$([ -f "$PREFIX-development/include/korvelin/korvelin.h" ] && echo yes || echo no)"

if [ "$FAILURES" -ne 0 ]; then
  echo "$FAILURES check(s) failed"
  exit 1
fi
echo "all checks passed"
