# A consumer of the installed package (consumer/) that has headers of its own
# named like the library's on -I. and includes <utime.h> and <sys/timeb.h>
# before the library: built with find_package or with pkg-config, and run. Run
# by CTest as
#   bash consumer_test.sh WAY PREFIX CONSUMER_DIR CXX WORK_DIR
# where WAY is cmake or pkgconfig.
set -euo pipefail
WAY=$1 PREFIX=$2 CONSUMER=$3 CXX=$4
source "$(dirname "$0")/../e2e/lib.sh"
e2e_init "$5/consumer" "" "" "$5"
[ "$WAY" = pkgconfig ] && need pkg-config pkg-config

include_dir=$(realpath "$PREFIX/include")
if [ "$WAY" = cmake ]; then
  cmake -S "$CONSUMER" -B "$WORK_DIR/build" -DCMAKE_PREFIX_PATH="$PREFIX" \
    -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" >/dev/null
  cmake --build "$WORK_DIR/build"
  cp "$WORK_DIR/build/consumer" "$COUNTER"
  dirs=$(tr ';' '\n' <"$WORK_DIR/build/include-dirs.txt" | xargs -r -n1 realpath)
  check "include directories of korvelin::korvelin" "$include_dir" "$dirs"
else
  libdir=$(dirname "$(dirname "$(find "$PREFIX" -name korvelin.pc)")")
  export PKG_CONFIG_PATH=$libdir/pkgconfig
  cflags=$(pkg-config --cflags korvelin)
  dirs=$(for flag in $cflags; do if [[ $flag == -I* ]]; then realpath "${flag#-I}"; fi; done)
  check "-I options of pkg-config --cflags korvelin" "$include_dir" "$dirs"
  # -I. is the consumer's folder, searched before the library's directory.
  (cd "$CONSUMER" && "$CXX" -std=c++17 -Wall -Wextra -Werror -I. $cflags main.cpp \
    $(pkg-config --libs korvelin) -o "$COUNTER")
fi

touch "$WORK_DIR/stamped"
check "the consumer's output" \
  "$(printf 'modified 2026-03-07 09:05:03\nname=Ivan &lt;b&gt;')" \
  "$(TZ=UTC "$COUNTER" "$WORK_DIR/stamped" 2>&1)"
finish
