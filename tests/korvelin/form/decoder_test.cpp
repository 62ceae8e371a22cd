#include "korvelin/form/decoder.h"
#include "korvelin/form/records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr char kUnwritten = '\x01';  // never produced by the decoder from the sources used here

// Decodes source into a heap block of exactly capacity bytes, so the sanitizers
// see any write past it, and checks that nothing landed beyond index capacity - 3.
std::string Decode(const std::string& source, int capacity) {
  auto block = std::make_unique<char[]>(capacity);
  std::memset(block.get(), kUnwritten, capacity);
  EXPECT_EQ(CoderEnviroment(source.c_str(), block.get(), capacity), 0);
  for (int i = capacity >= 3 ? capacity - 2 : 1; i < capacity; ++i) {
    EXPECT_EQ(block[i], kUnwritten) << "byte " << i << " written, capacity " << capacity << ", source " << source;
  }
  return std::string(block.get());
}

struct Case {
  const char* source;
  int capacity;
  const char* expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << testing::PrintToString(c.source) << " in " << c.capacity; }

class DecoderCases : public testing::TestWithParam<Case> {};

TEST_P(DecoderCases, DecodesToExpectedBytes) {
  const Case& c = GetParam();
  EXPECT_EQ(Decode(c.source, c.capacity), c.expected) << "source " << c.source << ", capacity " << c.capacity;
}

INSTANTIATE_TEST_SUITE_P(Fields, DecoderCases, testing::Values(
    Case{"name=John+Smith&city=Lyon", 1000, "name=John Smith\r\ncity=Lyon"},
    Case{"a=1&", 1000, "a=1\r\n"},
    Case{"a=1&b", 1000, "a=1\r\nb"},
    Case{"abc", 1000, "abc"},
    Case{"=v", 1000, "=v"},
    Case{"a=1&&b=2", 1000, "a=1\r\n&b=2"},
    Case{"a=b=c&d", 1000, "a=b=c\r\nd"},
    Case{"abc&d=1", 1000, "abc&d=1"},
    Case{"a+b%41=c+d%2B", 1000, "a+b%41=c d+"},
    Case{"", 1000, ""}));

INSTANTIATE_TEST_SUITE_P(Escapes, DecoderCases, testing::Values(
    Case{"q=%22Hi%22+%26+%3Cbye%3E", 1000, "q=&quot;Hi&quot; &amp; &lt;bye&gt;"},
    Case{"q=\"<a>\"", 1000, "q=&quot;&lt;a&gt;&quot;"},
    Case{"x=it%27s", 1000, "x=it's"},
    Case{"x=%A0y%09z", 1000, "x= yz"},
    Case{"x=\xA0\t", 1000, "x=\xA0\t"},
    Case{"n=%7F%80%1F%20", 1000, "n=\x7F\x80 "},
    Case{"x=%3a", 1000, "x=Z"},
    Case{"x=%e9%ff%ZZ", 1000, "x=\xE9S"},
    // An escape cut short by the end of the source yields nothing.
    Case{"x=ab%4", 1000, "x=ab"},
    Case{"x=ab%", 1000, "x=ab"},
    Case{"x=%", 1000, "x="}));

INSTANTIATE_TEST_SUITE_P(LineBreaks, DecoderCases, testing::Values(
    Case{"about10=line1%0D%0Aline2", 1000, "about10=line1<br>line2"},
    Case{"x10=a%0D%0D", 1000, "x10=a<br><br>"},
    Case{"x=a%0Db", 1000, "x=ab"},
    Case{"x10=a\rb", 1000, "x10=a\rb"},
    Case{"x10=a%0D%0A%3E", 1000, "x10=a<br>&gt;"},
    Case{"a10=x%0D&b=y", 1000, "a10=x<br>\r\nb=y"}));

INSTANTIATE_TEST_SUITE_P(Markup, DecoderCases, testing::Values(
    Case{"notebiu=%3CB%3Ebold%3C%2Fb%3E+%3Ci%3Eit", 1000, "notebiu=<b>bold</b> <i>it</i>"},
    Case{"notebiu=%3Cb%3Ea%3Cb%3Eb%3C%2Fu%3E", 1000, "notebiu=<b>ab</b>"},
    Case{"msgbiu=%3Ci%3E%3Cb%3Ex", 1000, "msgbiu=<i><b>x</b></i>"},
    Case{"biu=%3Cu%3E%3Ci%3E%3Cb%3Ex", 1000, "biu=<u><i><b>x</b></i></u>"},
    Case{"t10biu=a%0D%0A%3Cu%3Eb", 1000, "t10biu=a<br><u>b</u>"},
    Case{"tbiu10=a%0D%0A%3Ci%3Eb", 1000, "tbiu10=a<br>&lt;i&gt;b"},
    Case{"t10=%3Cb%3E", 1000, "t10=&lt;b&gt;"},
    Case{"tBIU=%3Cb%3E", 1000, "tBIU=&lt;b&gt;"},
    Case{"biu=%3Cbr%3E", 1000, "biu=&lt;br&gt;"},
    Case{"biu=%3Cb%3e", 1000, "biu=&lt;b^"},
    Case{"biu=%3Cb%3E%2Fb%3E", 1000, "biu=<b>/b&gt;</b>"},
    Case{"biu=%3C%2Fb%3E%2Fb%3E", 1000, "biu=/b&gt;"},
    Case{"biu=<b%3Ex", 1000, "biu=<b>x</b>"},
    Case{"biu=%3Cb%3E&x=%3Cb%3E", 1000, "biu=<b></b>\r\nx=&lt;b&gt;"},
    Case{"biu=%3Cb", 1000, "biu=&lt;b"},
    Case{"biu=%3Cb%3E%", 1000, "biu=<b></b>"},
    // After an unmatched closing tag vanishes the tests go on at the new read
    // position while the output still ends in an escaped '<': the earlier '<' opens i.
    Case{"biu=%3C%3C%2Fb%3Ei%3E", 1000, "biu=<i></i>"},
    // A dropped control byte between '<' and the tag letter is transparent...
    Case{"biu=%3C%0Ab%3E", 1000, "biu=<b></b>"},
    // ...and one after a tag leaves the tag's '>' alone.
    Case{"biu=%3Cb%3E%0Ax", 1000, "biu=<b>x</b>"},
    Case{"biu=%3Cb%3E%3Cb%3E%0Ax", 1000, "biu=<b>x</b>"},
    Case{"biu=%3Ci%3E%3C%2Fi%3E%09%3E", 1000, "biu=<i></i>&gt;"}));

INSTANTIATE_TEST_SUITE_P(Room, DecoderCases, testing::Values(
    Case{"a=abcdefghij", 20, "a=abcd"},
    Case{"a=abcdefghij", 25, "a=abcdefghi"},
    Case{"a=12&b=2", 18, "a=12"},
    Case{"a=12&b=2", 19, "a=12\r\nb=2"},
    Case{"a=12&b=2", 14, "a=1"},
    Case{"a=12&b=2", 10, "a"},
    Case{"a=12&b=2", 9, ""},
    Case{"a=12&b=2", 3, ""},
    Case{"a=12&b=2", 1, ""},
    Case{"tbiu=%3Cb%3Ehello", 22, "tbiu=&lt;"},
    Case{"tbiu=%3Cb%3Ehello", 30, "tbiu=<b>hello</b>"},
    Case{"t10=a%0D%0Ab%0D%0Ac", 19, "t10=a"},
    Case{"t10=a%0D%0Ab%0D%0Ac", 20, "t10=a<br>b"},
    Case{"t10=a%0D%0Ab%0D%0Ac", 25, "t10=a<br>b<br>c"},
    Case{"t10=aaaa%0D%0D%3Cz", 27, "t10=aaaa<br><br>&lt;"}));

// Where the room runs out between a byte and its entity, the byte is not written: no
// raw '&', '"', '<' or '>' ever ends a cut value.
INSTANTIATE_TEST_SUITE_P(CutBeforeAnEscape, DecoderCases, testing::Values(
    Case{"a=%22", 12, "a="},
    Case{"a=%22", 13, "a=&quot;"},
    Case{"a=%26", 12, "a="},
    Case{"a=>", 12, "a="},
    Case{"abcdefghi=%3Cx", 20, "abcdefghi="},
    Case{"t10=aaaa%0D%0D%3Cz", 26, "t10=aaaa<br><br>"},
    Case{"tbiu=%3Cb%3E", 15, "tbiu="}));

// A markup value cut short still closes its tags inside the capacity: right where it
// was cut when they fit there, otherwise further back.
INSTANTIATE_TEST_SUITE_P(CutMarkup, DecoderCases, testing::Values(
    Case{"xbiu=%3Cb%3Eaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 40, "xbiu=<b>aaaaaaaaaaaaaaaaaa</b>"},
    Case{"biu=%3Ci%3E%3Cb%3Eaaaaaaaaaa", 30, "biu=<i><b>aaaaaa</b></i>"},
    Case{"t10biu=%3Cb%3E%0D%0D%0D%0Dz", 28, "t10biu=<b><br><br></b>"},
    Case{"t10biu=%3Cb%3E%3Ci%3E%3Cu%3E%0D%0D%0Dz", 32, "t10biu=<b><i><u></b></i></u>"},
    // The quote does not fit with its entity, then the closing does fit.
    Case{"t10biu=%3Cb%3E%0D%0D%22", 28, "t10biu=<b><br><br></b>"}));

TEST(Decoder, EmptyCapacityIsNotWritten) {
  char byte = kUnwritten;
  EXPECT_EQ(CoderEnviroment("a=1", &byte, 0), 0);
  EXPECT_EQ(byte, kUnwritten);
}

// Random fields made of the pieces that matter to the decoder. With room enough
// every value must be HTML-safe: '<' and '>' only in the decoder's own tags,
// every tag opened before it is closed and closed by the end, '&' only in
// entities, no '"' and no control byte. With any room the output must stay
// within capacity - 3.
class DecoderRandom : public testing::Test {
 protected:
  std::string RandomSource() {
    static const std::vector<std::string> kNames = {"a", "t10", "tbiu", "t10biu", "tbiu10", "BIU", "x"};
    static const std::vector<std::string> kPieces = {
        "%3C", "%3C", "%3E", "%2F", "b", "i", "u", "B", "U", "%0D", "%0A", "%09", "%22", "%26", "+",
        "<",   ">",   "\"",  "%A0", "%3c", "%3e", "x", "=", "%7F", "%FF", "%e9", "%2B", "%00", "%ZZ"};
    std::string source;
    int fields = Pick(4) + 1;
    for (int f = 0; f < fields; ++f) {
      if (f > 0) source += '&';
      source += kNames[Pick(kNames.size())] + "=";
      int pieces = Pick(12);
      for (int p = 0; p < pieces; ++p) source += kPieces[Pick(kPieces.size())];
    }
    if (Pick(4) == 0) source += Pick(2) ? "%" : "%3";
    return source;
  }
  int Pick(size_t n) { return static_cast<int>(rng_() % n); }

  std::mt19937 rng_{20240601};
};

// Checks one decoded value of a field named name; returns a description of the first fault.
std::string ValueFault(const std::string& name, const std::string& value) {
  auto ends_with = [&](const char* suffix) {
    size_t n = std::strlen(suffix);
    return name.size() >= n && name.compare(name.size() - n, n, suffix) == 0;
  };
  bool markup = ends_with("biu");
  bool line_breaks = ends_with("10") || ends_with("10biu");
  bool open[3] = {};
  static const char* kEntities[] = {"&amp;", "&quot;", "&lt;", "&gt;"};
  for (size_t i = 0; i < value.size();) {
    auto at = [&](const char* text) { return value.compare(i, std::strlen(text), text) == 0; };
    unsigned char c = value[i];
    if (c < 0x20 || c == '"') return "control byte or quote at " + std::to_string(i);
    if (c == '&') {
      bool entity = false;
      for (const char* e : kEntities) {
        if (at(e)) {
          i += std::strlen(e);
          entity = true;
          break;
        }
      }
      if (!entity) return "bare '&' at " + std::to_string(i);
      continue;
    }
    if (c == '<') {
      if (line_breaks && at("<br>")) {
        i += 4;
        continue;
      }
      bool tag = false;
      for (int t = 0; markup && t < 3 && !tag; ++t) {
        std::string opening = std::string("<") + "biu"[t] + ">";
        std::string closing = std::string("</") + "biu"[t] + ">";
        if (at(opening.c_str())) {
          if (open[t]) return "tag opened twice at " + std::to_string(i);
          open[t] = tag = true;
          i += 3;
        } else if (at(closing.c_str())) {
          if (!open[t]) return "tag closed but not open at " + std::to_string(i);
          open[t] = false;
          tag = true;
          i += 4;
        }
      }
      if (!tag) return "bare '<' at " + std::to_string(i);
      continue;
    }
    if (c == '>') return "bare '>' at " + std::to_string(i);
    ++i;
  }
  if (open[0] || open[1] || open[2]) return "tag left open";
  return "";
}

// Checks every line of decoded text; a description of the first fault. A cut may end the
// text inside a name, so its last line may then lack the "=".
std::string TextFault(const std::string& text, bool cut) {
  size_t line_start = 0;
  while (line_start <= text.size()) {
    size_t line_end = text.find("\r\n", line_start);
    if (line_end == std::string::npos) line_end = text.size();
    std::string line = text.substr(line_start, line_end - line_start);
    size_t eq = line.find('=');
    if (eq == std::string::npos) return cut && line_end == text.size() ? "" : "line without '='";
    std::string fault = ValueFault(line.substr(0, eq), line.substr(eq + 1));
    if (!fault.empty()) return fault;
    line_start = line_end + 2;
  }
  return "";
}

TEST_F(DecoderRandom, ValuesAreHtmlSafe) {
  for (int round = 0; round < 5000; ++round) {
    std::string source = RandomSource();
    std::string text = Decode(source, 1000);
    ASSERT_EQ(TextFault(text, false), "") << "source " << source << " gives " << text;
  }
}

// The room may cut a value anywhere: what is left is as safe as an uncut value.
TEST_F(DecoderRandom, StaysWithinAnyCapacityAndHtmlSafe) {
  for (int round = 0; round < 20000; ++round) {
    std::string source = RandomSource();
    int capacity = Pick(source.size() * 3 + 30) + 1;
    std::string text = Decode(source, capacity);
    if (capacity >= 3) {
      ASSERT_LE(static_cast<int>(text.size()), capacity - 3) << source;
    }
    ASSERT_EQ(TextFault(text, true), "") << "source " << source << " in " << capacity << " gives " << text;
  }
}

// A long first value leaves the next field's value no room for the entity of its '<'.
TEST(Decoder, NoRawByteAtTheEndOfAFullArea) {
  std::string source = "pad=" + std::string(4075, 'x') + "&name=%3Cscript%3E";
  std::string text = Decode(source, 4096);
  EXPECT_EQ(text.substr(text.size() - 7), "\r\nname=");
  char value[16] = "unset";
  NameValue(text.c_str(), value, "name", sizeof value);
  EXPECT_STREQ(value, "");
}

}  // namespace
