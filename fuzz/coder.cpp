// CoderEnviroment on any source with any capacity: the output is zero-terminated inside
// the capacity, leaves the room it promises, nothing is read past the source's zero, and
// every value is safe to place in a page however the room cut it: '&', '"', '<' and '>'
// stand only in the four entities, the field's own tags and "<br>", and every tag
// opened is closed.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "korvelin/form/decoder.h"
#include "fuzz/common.h"

namespace {

bool EndsWith(const std::string& text, const char* suffix) {
  std::size_t n = strlen(suffix);
  return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// Checks one decoded value of the field called name.
void CheckValue(const std::string& name, const std::string& value) {
  static const char* const kEntities[] = {"&amp;", "&quot;", "&lt;", "&gt;"};
  static const char kLetters[] = "biu";
  bool markup = EndsWith(name, "biu");
  bool line_breaks = EndsWith(name, "10") || EndsWith(name, "10biu");
  bool open[3] = {};
  std::size_t i = 0;
  auto take = [&](const std::string& text) {
    if (value.compare(i, text.size(), text) != 0) return false;
    i += text.size();
    return true;
  };
  while (i < value.size()) {
    char c = value[i];
    FUZZ_CHECK(c != '"' && c != '>');
    if (c == '&') {
      bool entity = false;
      for (const char* e : kEntities) entity = entity || take(e);
      FUZZ_CHECK(entity);
    } else if (c == '<') {
      bool tag = line_breaks && take("<br>");
      for (int t = 0; markup && t < 3 && !tag; ++t) {
        if (take(std::string("<") + kLetters[t] + ">")) {
          FUZZ_CHECK(!open[t]);
          open[t] = tag = true;
        } else if (take(std::string("</") + kLetters[t] + ">")) {
          FUZZ_CHECK(open[t]);
          open[t] = false;
          tag = true;
        }
      }
      FUZZ_CHECK(tag);
    } else {
      ++i;
    }
  }
  FUZZ_CHECK(!open[0] && !open[1] && !open[2]);
}

// Every line name=value of the output; a cut may end it inside a name, without "=".
void CheckText(const std::string& text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) {
      FUZZ_CHECK(end == text.size());
      return;
    }
    CheckValue(line.substr(0, eq), line.substr(eq + 1));
    start = end + 2;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  int capacity = input.ConsumeIntegralInRange(1, 8192);
  std::string bytes = input.ConsumeRemainingBytesAsString();
  // Raw bytes are copied as they stand, a raw CR LF too, which would split a value into
  // lines that cannot be told from fields; the percent-encoded ones are what is decoded.
  for (char& c : bytes) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  fuzz::Block source = fuzz::Terminated(bytes);
  fuzz::Block output(static_cast<std::size_t>(capacity));

  FUZZ_CHECK(CoderEnviroment(source.data(), output.data(), capacity) == 0);
  const char* end = static_cast<const char*>(memchr(output.data(), '\0', output.size()));
  FUZZ_CHECK(end != nullptr);
  // The text and its terminator never reach past index capacity - 3.
  if (capacity >= 3) FUZZ_CHECK(end - output.data() <= capacity - 3);
  CheckText(output.data());
  return 0;
}
