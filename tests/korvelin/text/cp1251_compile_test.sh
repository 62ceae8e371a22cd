# Windows-1251 literals as programs compile them: in C++17 and C++20, with g++ and
# clang++, every character of the code page converts and any other character, or
# a byte sequence that is not UTF-8, stops the compilation. Run by CTest as
#   bash cp1251_compile_test.sh SOURCE_DIR CXX
set -uo pipefail
SOURCE_DIR=$1 CXX=$2
FAILURES=0 SKIPPED=77

compilers=("$CXX")
if command -v clang++ >/dev/null; then
  compilers+=(clang++)
else
  echo "clang++ is missing: install the Debian package clang (scripts/install-deps build does)"
  [ -n "${KORVELIN_E2E_REQUIRED:-}" ] && FAILURES=1
fi

# compiles COMPILER STANDARD SOURCE: true when SOURCE compiles.
compiles() {
  printf '#include <korvelin/text/cp1251.h>\n%s\n' "$3" |
    "$1" -std="$2" -Wall -Wextra -Werror -fsyntax-only -I"$SOURCE_DIR" -x c++ - 2>&1
}

good='constexpr auto kSigns = Cp1251(u8"€№«»—Ґ");
static_assert(kSigns.size == 6 && kSigns.bytes[0] == char(0x88) && kSigns.bytes[5] == char(0xA5), "");
const char* Thanks() { return W1251(u8"Спасибо"); }'
bad=('W1251(u8"✓")' 'W1251(u8"ÿ")' 'W1251(u8"\u0098")' 'W1251(u8"😀")' 'W1251("\xC0\x80")'
     'W1251("\xD0")' 'W1251("\xE0\x81\x81")')

for compiler in "${compilers[@]}"; do
  for standard in c++17 c++20; do
    if ! output=$(compiles "$compiler" "$standard" "$good"); then
      printf 'FAILED: %s -std=%s refuses the code page:\n%s\n' "$compiler" "$standard" "$output"
      FAILURES=$((FAILURES + 1))
    fi
    for text in "${bad[@]}"; do
      if compiles "$compiler" "$standard" "const char* Text() { return $text; }" >/dev/null; then
        printf 'FAILED: %s -std=%s compiles %s\n' "$compiler" "$standard" "$text"
        FAILURES=$((FAILURES + 1))
      fi
    done
  done
done

if [ "$FAILURES" -ne 0 ]; then
  echo "$FAILURES check(s) failed"
  exit 1
fi
[ ${#compilers[@]} -eq 1 ] && exit "$SKIPPED"
echo "all checks passed"
