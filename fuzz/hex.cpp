// C16ToName on any text, and NameToC16 -> C16ToName giving every text back.
#include <cstdint>
#include <string>

#include "fuzz/common.h"
#include "korvelin/text/hex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  fuzz::Block text = fuzz::Terminated(input);
  std::size_t length = strlen(text.data());

  // Digits of any kind: one byte per pair, a lone last digit makes one more.
  fuzz::Block decoded((length + 1) / 2 + 1);
  C16ToName(text.data(), decoded.data());

  // The input as a text: two digits per byte, read back exactly.
  fuzz::Block digits(2 * length + 1);
  NameToC16(text.data(), digits.data());
  FUZZ_CHECK(strlen(digits.data()) == 2 * length);
  FUZZ_CHECK(strspn(digits.data(), "0123456789ABCDEF") == 2 * length);
  fuzz::Block back(length + 1);
  C16ToName(digits.data(), back.data());
  FUZZ_CHECK(memcmp(back.data(), text.data(), length + 1) == 0);
  return 0;
}
