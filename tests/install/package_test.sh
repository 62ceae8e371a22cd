# The installed tree: counter.cgi in lib/cgi-bin, the library, exactly the
# public headers, each of them compiling on its own against the installed tree
# alone, and the guide's examples compiling against it. Run by CTest as
#   bash package_test.sh SOURCE_DIR BUILD_DIR PREFIX CXX
set -euo pipefail
SOURCE_DIR=$1 BUILD_DIR=$2 PREFIX=$3 CXX=$4
source "$(dirname "$0")/../e2e/lib.sh"
# The prefix is the work directory: e2e_init empties it before the install.
e2e_init "$PREFIX/lib/cgi-bin/counter.cgi" "" "" "$PREFIX"
cmake --install "$BUILD_DIR" --prefix "$PREFIX" >/dev/null

check "counter.cgi, executable" yes "$([ -x "$COUNTER" ] && echo yes || echo no)"
pc=$(find "$PREFIX" -name korvelin.pc)
libdir=$(dirname "$(dirname "$pc")")
check "libkorvelin.a beside pkgconfig/korvelin.pc" yes "$([ -f "$libdir/libkorvelin.a" ] && echo yes || echo no)"
check "CMake package" "korvelinConfig.cmake korvelinConfigVersion.cmake" \
  "$(cd "$libdir/cmake/korvelin" && echo korvelinConfig*.cmake)"

# Exactly the library's headers outside its internal/ folders.
expected=$(cd "$SOURCE_DIR" && find korvelin -name '*.h' -not -path '*/internal/*' | sort)
installed=$(cd "$PREFIX/include" && find korvelin -type f | sort)
check "installed headers" "$expected" "$installed"

# Each header compiles alone with nothing but the installed tree on the include
# path, in the oldest language standard the package declares: a public header
# that includes an internal one, or leans on the source tree, fails here.
for header in $installed; do
  if ! output=$(printf '#include <%s>\n' "$header" |
      "$CXX" -std=c++17 -Wall -Wextra -Werror -fsyntax-only \
        -I"$PREFIX/include" -x c++ - 2>&1); then
    printf 'FAILED: <%s> does not compile on its own:\n%s\n' "$header" "$output"
    FAILURES=$((FAILURES + 1))
  fi
done

# Every C++ example of the guide is a whole source file that compiles against
# the installed tree.
examples=$(mktemp -d)
trap 'rm -rf "$examples"' EXIT
for page in "$SOURCE_DIR"/docs/*.md; do
  awk -v out="$examples/$(basename "$page" .md)" \
    '/^```cpp$/ { n++; inside = 1; next } /^```$/ { inside = 0; next }
     inside { print > (out "-" n ".cpp") }' "$page"
done
for example in "$examples"/*.cpp; do
  if ! output=$("$CXX" -std=c++17 -Wall -Wextra -Werror -fsyntax-only \
      -I"$PREFIX/include" "$example" 2>&1); then
    printf 'FAILED: example %s of the guide does not compile:\n%s\n' "$(basename "$example")" "$output"
    FAILURES=$((FAILURES + 1))
  fi
done

finish
