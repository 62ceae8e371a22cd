#include "korvelin/form/html_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "korvelin/form/decoder.h"

namespace {

constexpr char kUnwritten = '\x01';  // dropped by the escaper, so never written by it

struct Escaped {
  std::string text;
  int taken;
};

// Escapes source (held in a heap block of exactly its length, without a terminator)
// into a heap block of exactly capacity bytes, so the sanitizers see any access
// past either, and checks that nothing lands after the terminator.
Escaped Escape(const std::string& source, int capacity) {
  auto input = std::make_unique<char[]>(source.size());
  std::memcpy(input.get(), source.data(), source.size());
  auto output = std::make_unique<char[]>(capacity);
  std::memset(output.get(), kUnwritten, capacity);
  int taken = HtmlSafeText(input.get(), static_cast<int>(source.size()), output.get(), capacity);
  if (capacity == 0) return {"", taken};
  std::string text(output.get(), strnlen(output.get(), capacity));
  EXPECT_LT(static_cast<int>(text.size()), capacity) << "no terminator";
  for (int i = static_cast<int>(text.size()) + 1; i < capacity; ++i) EXPECT_EQ(output[i], kUnwritten) << i;
  return {text, taken};
}

struct Case {
  std::string source;
  int capacity;
  std::string expected;
  int taken;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << testing::PrintToString(c.source) << " in " << c.capacity;
}

class HtmlTextCases : public testing::TestWithParam<Case> {};

TEST_P(HtmlTextCases, EscapesWithinCapacity) {
  const Case& c = GetParam();
  Escaped escaped = Escape(c.source, c.capacity);
  EXPECT_EQ(escaped.text, c.expected);
  EXPECT_EQ(escaped.taken, c.taken);
}

INSTANTIATE_TEST_SUITE_P(Bytes, HtmlTextCases, testing::Values(
    Case{"The <b>menu</b> & \"more\"", 100, "The &lt;b&gt;menu&lt;/b&gt; &amp; &quot;more&quot;", 24},
    Case{"it's", 100, "it's", 4},
    Case{"&amp;", 100, "&amp;amp;", 5},
    // Line breaks, tabs and zero bytes are dropped; the no-break space becomes a space.
    Case{std::string("a\r\nb\tc\0d\x1F", 9), 100, "abcd", 9},
    Case{"\xA0\x7F\x80\x98\xC0\xFF", 100, " \x7F\x80\x98\xC0\xFF", 6},
    Case{"", 100, "", 0}));

// The output stops before the first byte or entity that would not fit: never
// inside an entity, and the count says where the source was left.
INSTANTIATE_TEST_SUITE_P(CapacityEdges, HtmlTextCases, testing::Values(
    Case{"x&y", 0, "", 0},
    Case{"x&y", 1, "", 0},
    Case{"x&y", 2, "x", 1},
    Case{"x&y", 6, "x", 1},
    Case{"x&y", 7, "x&amp;", 2},
    Case{"x&y", 8, "x&amp;y", 3},
    Case{"\"", 6, "", 0},
    Case{"\"", 7, "&quot;", 1},
    Case{"<>", 8, "&lt;", 1},
    Case{"<>", 9, "&lt;&gt;", 2},
    Case{"abc", 3, "ab", 2},
    Case{"ab\r\n", 3, "ab", 4},  // the dropped bytes need no room
    Case{"ab\r\nc", 3, "ab", 4}));

TEST(HtmlText, NegativeLengthGivesEmptyText) {
  char output[4] = "xyz";
  EXPECT_EQ(HtmlSafeText("abc", -1, output, sizeof output), 0);
  EXPECT_STREQ(output, "");
}

// Text escaped here and the same text sent in a URL-encoded form read the same, so
// a program stores both kinds of form alike: every byte, percent-encoded in a plain
// field, comes out of the decoder as it comes out of the escaper.
TEST(HtmlText, EscapesEveryByteAsTheDecoderDoes) {
  for (int b = 0; b < 256; ++b) {
    char source[16];
    snprintf(source, sizeof source, "v=%%%02X", b);
    char decoded[64];
    CoderEnviroment(source, decoded, sizeof decoded);
    char byte = static_cast<char>(b);
    Escaped escaped = Escape(std::string(1, byte), 64);
    EXPECT_EQ("v=" + escaped.text, decoded) << "byte " << b;
  }
}

}  // namespace
