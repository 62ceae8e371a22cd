// CoderEnviroment on any source with any capacity: the output is zero-terminated inside
// the capacity, leaves the room it promises, and nothing is read past the source's zero.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "korvelin/form/decoder.h"
#include "fuzz/common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  int capacity = input.ConsumeIntegralInRange(1, 8192);
  fuzz::Block source = fuzz::Terminated(input.ConsumeRemainingBytesAsString());
  fuzz::Block output(static_cast<std::size_t>(capacity));

  FUZZ_CHECK(CoderEnviroment(source.data(), output.data(), capacity) == 0);
  const char* end = static_cast<const char*>(memchr(output.data(), '\0', output.size()));
  FUZZ_CHECK(end != nullptr);
  // The text and its terminator never reach past index capacity - 3.
  if (capacity >= 3) FUZZ_CHECK(end - output.data() <= capacity - 3);
  return 0;
}
