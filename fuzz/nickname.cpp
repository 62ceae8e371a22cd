// NikPreobr on any typed nickname, in a buffer of the 25 bytes it is promised (more
// only when the typed text itself is longer).
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/common.h"
#include "korvelin/profile/nickname.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string typed(reinterpret_cast<const char*>(data), size);
  typed.resize(strnlen(typed.c_str(), typed.size()));
  fuzz::Block nik(std::max<std::size_t>(NikMaxLen + 1, typed.size() + 1));
  memcpy(nik.data(), typed.c_str(), typed.size() + 1);

  NikPreobr(nik.data());
  std::string result(nik.data());
  FUZZ_CHECK(result.size() <= static_cast<std::size_t>(NikMaxLen));
  FUZZ_CHECK(result.find_first_of("='\xAD") == std::string::npos);
  FUZZ_CHECK(result.find("  ") == std::string::npos);
  FUZZ_CHECK(result.empty() || (result.front() != ' ' && result.back() != ' '));

  // The stored form is its own normal form.
  fuzz::Block again(NikMaxLen + 1);
  memcpy(again.data(), result.c_str(), result.size() + 1);
  NikPreobr(again.data());
  FUZZ_CHECK(result == again.data());
  return 0;
}
