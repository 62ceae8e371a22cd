// HtmlSafeText on any bytes with any capacity: the output is zero-terminated inside
// the capacity, holds no raw '&', '"', '<', '>' or control byte, never ends inside
// an entity, and stops only where the next byte would not have fit.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "fuzz/common.h"
#include "korvelin/form/html_text.h"

namespace {
constexpr const char* kEntities[] = {"&amp;", "&quot;", "&lt;", "&gt;"};

// The length of the entity that starts at text, or 0 when none does.
std::size_t EntityAt(const char* text) {
  for (const char* entity : kEntities) {
    if (strncmp(text, entity, strlen(entity)) == 0) return strlen(entity);
  }
  return 0;
}

// The bytes the first byte of rest would need in the output: 0 when it is dropped.
std::size_t Needed(unsigned char c) {
  if (c < 0x20) return 0;
  switch (c) {
    case '&': return 5;
    case '"': return 6;
    case '<': case '>': return 4;
    default: return 1;
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  int capacity = input.ConsumeIntegralInRange(0, 4096);
  std::string bytes = input.ConsumeRemainingBytesAsString();
  // The source has no terminator: the function must read only the length it is given.
  fuzz::Block source(bytes.size());
  memcpy(source.data(), bytes.data(), bytes.size());
  fuzz::Block output(static_cast<std::size_t>(capacity));

  int length = static_cast<int>(bytes.size());
  int taken = HtmlSafeText(source.data(), length, output.data(), capacity);
  FUZZ_CHECK(taken >= 0 && taken <= length);
  if (capacity == 0) {
    FUZZ_CHECK(taken == 0);
    return 0;
  }
  const char* end = static_cast<const char*>(memchr(output.data(), '\0', output.size()));
  FUZZ_CHECK(end != nullptr);
  std::size_t written = end - output.data();

  std::size_t needed = 0;  // what the bytes taken need, escaped
  for (int i = 0; i < taken; ++i) needed += Needed(static_cast<unsigned char>(bytes[i]));
  FUZZ_CHECK(needed == written);
  // Stopped early only at a byte whose escaped form would not have fit.
  if (taken < length) {
    std::size_t next = Needed(static_cast<unsigned char>(bytes[taken]));
    FUZZ_CHECK(next > 0 && written + next > static_cast<std::size_t>(capacity - 1));
  }

  for (std::size_t i = 0; i < written;) {
    unsigned char c = static_cast<unsigned char>(output.data()[i]);
    FUZZ_CHECK(c >= 0x20 && c != 0xA0 && c != '"' && c != '<' && c != '>');
    if (c == '&') {
      std::size_t entity = EntityAt(output.data() + i);
      FUZZ_CHECK(entity != 0 && i + entity <= written);  // whole, not cut by the end
      i += entity;
    } else {
      ++i;
    }
  }
  return 0;
}
