#include "korvelin/text/edit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <algorithm>

#include "korvelin/text/cp1251.h"

namespace {

// Runs edit on a copy of start held in a heap block of exactly capacity bytes, so
// the sanitizer build catches any byte written or read outside the room promised.
std::string Edited(const std::string& start, size_t capacity, const std::function<void(char*)>& edit) {
  auto block = std::make_unique<char[]>(capacity);
  std::memcpy(block.get(), start.c_str(), start.size() + 1);
  edit(block.get());
  return block.get();
}

struct Case {
  const char* start;
  const char* text;
  int position;
  int count;  // old length, count of bytes, as the operation takes it
  const char* expected;
};

// Checks every case of one editor, each in a block of exactly the room it needs.
template <size_t N>
void CheckEdits(const char* name, const Case (&cases)[N], void (*edit)(char*, const Case&)) {
  for (const Case& c : cases) {
    size_t capacity = std::max(std::strlen(c.start), std::strlen(c.expected)) + 1;
    EXPECT_EQ(Edited(c.start, capacity, [&](char* s) { edit(s, c); }), c.expected)
        << name << " of \"" << c.text << "\" at " << c.position << ", count " << c.count
        << ", in \"" << c.start << '"';
  }
}

TEST(Edit, StrlowFoldsAsciiCapitalsOnly) {
  static constexpr auto kMixed = Cp1251(u8"ПРИВЕТ ABC xyz ЁЯ @[`{");
  static constexpr auto kLowered = Cp1251(u8"ПРИВЕТ abc xyz ЁЯ @[`{");
  std::string text = kMixed.c_str();
  strlow(text.data());
  EXPECT_EQ(text, kLowered.c_str());
}

TEST(Edit, ChangeSubstrOverwritesAndExtends) {
  const Case cases[] = {
      {"abcdef", "XY", 2, 0, "abXYef"},
      {"abc", "XYZ", 2, 0, "abXYZ"},
      {"abc", "XY", 3, 0, "abcXY"},
      {"abc", "", 1, 0, "abc"},
      {"abcdef", "XY", 4, 0, "abcdXY"},   // ends exactly at the old end: old terminator serves
      {"abc", "XY", 9, 0, "abcXY"},       // past the end: appended
      {"abc", "XY", -4, 0, "XYc"},        // before the start: written at 0
  };
  CheckEdits("ChangeSubstr", cases, [](char* s, const Case& c) { ChangeSubstr(s, c.text, c.position); });
}

TEST(Edit, ChangesSubstrReplacesEqualLengthsWithoutRescanning) {
  const struct {
    const char* start;
    const char* old_text;
    const char* new_text;
    const char* expected;
  } cases[] = {
      {"a-b-c", "-", "+", "a+b+c"},
      {"a-b", "-", "--", "a-b"},  // lengths differ: unchanged
      {"aaa", "aa", "ab", "aba"},
      {"aaaa", "aa", "ba", "baba"},
      {"abab", "ab", "ba", "baba"},  // the written "ba" + "ba" is not searched again
      {"xyz", "q", "r", "xyz"},
      {"abc", "", "", "abc"},  // an empty old text changes nothing (and ends)
      {"", "a", "b", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Edited(c.start, std::strlen(c.start) + 1,
                     [&](char* s) { ChangesSubstr(s, c.old_text, c.new_text); }),
              c.expected)
        << c.start << " / " << c.old_text << " -> " << c.new_text;
  }
}

TEST(Edit, ChangeSubstrWithLenGrowsShrinksAndInserts) {
  const Case cases[] = {
      {"hello world", "HI", 0, 5, "HI world"},
      {"a=1;b=2", "long", 2, 1, "a=long;b=2"},
      {"a=long;b", "7", 2, 4, "a=7;b"},
      {"abc", "XY", 3, 0, "abcXY"},
      {"abc", "XY", 0, 0, "XYabc"},
      {"abcdef", "XY", 2, 2, "abXYef"},
      {"abcdef", "", 1, 4, "af"},
      {"abcdef", "", 0, 6, ""},
      {"abcdef", "0123456789", 1, 1, "a0123456789cdef"},
      // Spans reaching past the end stop at the end; positions outside come to the nearer end.
      {"abc", "XY", 2, 50, "abXY"},
      {"abcdef", "X", 4, 100, "abcdX"},
      {"abc", "XY", 7, 2, "abcXY"},
      {"abc", "XY", -3, 1, "XYbc"},
      {"abc", "XY", 1, -5, "aXYbc"},
  };
  CheckEdits("ChangeSubstrWithLen", cases,
             [](char* s, const Case& c) { ChangeSubstrWithLen(s, c.text, c.position, c.count); });
}

TEST(Edit, InsertSubstrAtFrontMiddleAndEnd) {
  const Case cases[] = {
      {"abc", "XY", 0, 0, "XYabc"}, {"abc", "XY", 1, 0, "aXYbc"}, {"abc", "XY", 3, 0, "abcXY"},
      {"", "XY", 0, 0, "XY"},       {"abc", "", 1, 0, "abc"},     {"abc", "XY", 8, 0, "abcXY"},
      {"abc", "XY", -1, 0, "XYabc"},
  };
  CheckEdits("InsertSubstr", cases, [](char* s, const Case& c) { InsertSubstr(s, c.text, c.position); });
}

TEST(Edit, DeleteSubstrClosesTheGapOrCuts) {
  const Case cases[] = {
      {"abcdef", "", 1, 2, "adef"},  {"abcdef", "", 4, 10, "abcd"}, {"abcdef", "", 2, 0, "abcdef"},
      {"abcdef", "", 0, 6, ""},      {"abcdef", "", 3, 3, "abc"},    {"abcdef", "", 5, 1, "abcde"},
      {"abcdef", "", 6, 1, "abcdef"}, {"abcdef", "", 9, 1, "abcdef"}, {"abcdef", "", -2, 2, "cdef"},
      {"abcdef", "", 1, -3, "abcdef"}, {"abcdef", "", 2, 2147483647, "ab"},
  };
  CheckEdits("DeleteSubstr", cases, [](char* s, const Case& c) { DeleteSubstr(s, c.position, c.count); });
}

TEST(Edit, CopySubstrCopiesExactlyCountBytes) {
  char out[8];
  CopySubstr("abcdef", 2, 3, out);
  EXPECT_STREQ(out, "cde");
  CopySubstr("abcdef", 2, 0, out);
  EXPECT_STREQ(out, "");
  std::memset(out, 'x', sizeof out);
  CopySubstr("abcdef", 2, -1, out);
  EXPECT_STREQ(out, "");

  // Zero bytes in the source are copied like any other.
  const char source[] = {'a', 'b', '\0', 'c', 'd'};
  std::memset(out, 'x', sizeof out);
  CopySubstr(source, 1, 4, out);
  EXPECT_EQ(std::string(out, 5), std::string("b\0cd\0", 5));

  // Extracting inside the same buffer.
  char same[] = "0123456789";
  CopySubstr(same, 3, 4, same);
  EXPECT_STREQ(same, "3456");
}

TEST(Edit, MemCopyCopiesForwardsWithoutTerminator) {
  char out[] = "xxxxxx";
  MemCopy(out, "a\0b", 3);
  EXPECT_EQ(std::string(out, 6), std::string("a\0bxxx", 6));
  MemCopy(out, "zz", 0);
  MemCopy(out, "zz", -5);
  EXPECT_EQ(out[0], 'a');

  // Byte by byte from the first: a shift towards the end repeats the leading byte.
  char run[] = "abcdef";
  MemCopy(run + 1, run, 4);
  EXPECT_STREQ(run, "aaaaaf");
  char left[] = "abcdef";
  MemCopy(left, left + 2, 4);
  EXPECT_STREQ(left, "cdefef");
}

TEST(Edit, DelSpacesTrimsTrailingSpacesOnly) {
  const struct {
    const char* start;
    const char* expected;
  } cases[] = {
      {"ab  ", "ab"}, {"   ", ""}, {" a b", " a b"}, {"a\t ", "a\t"}, {"", ""}, {"a \r\n", "a \r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Edited(c.start, std::strlen(c.start) + 1, DelSpaces), c.expected) << '"' << c.start << '"';
  }
}

int Sign(int value) { return (value > 0) - (value < 0); }

TEST(Edit, StrNoHeightCmpFoldsLatinAndCyrillicCapitals) {
  static constexpr auto kCapitalB = Cp1251(u8"Б");
  static constexpr auto kSmallB = Cp1251(u8"б");
  static constexpr auto kCapitalYo = Cp1251(u8"Ё");
  static constexpr auto kSmallYo = Cp1251(u8"ё");
  static constexpr auto kSmallA = Cp1251(u8"а");
  static constexpr auto kWordUpper = Cp1251(u8"ПРИВЕТ, Мир");
  static constexpr auto kWordLower = Cp1251(u8"привет, мИР");
  const struct {
    const char* first;
    const char* second;
    int sign;
  } cases[] = {
      {"Apple", "aPPLE", 0},
      {kCapitalB.c_str(), kSmallB.c_str(), 0},
      {kWordUpper.c_str(), kWordLower.c_str(), 0},
      {kCapitalYo.c_str(), kSmallYo.c_str(), -1},  // Ё (0xA8) is not folded
      {"z", kSmallA.c_str(), -1},                  // Cyrillic sorts after ASCII
      {"ab", "ABC", -1},                           // a prefix sorts first
      {"[", "a", -1},                              // '[' (0x5B) is not a capital
      {"", "", 0},
      {"", "a", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sign(StrNoHeightCmp(c.first, c.second)), c.sign) << c.first << " vs " << c.second;
    EXPECT_EQ(Sign(StrNoHeightCmp(c.second, c.first)), -c.sign) << c.second << " vs " << c.first;
  }
}

TEST(Edit, StrNoHeightCmpComparesLongOperandsWhole) {
  std::string base(40, 'x');
  std::string upper(40, 'X');
  EXPECT_EQ(StrNoHeightCmp(base.c_str(), upper.c_str()), 0);
  std::string later = base + "b";
  std::string earlier = base + "A";
  EXPECT_LT(StrNoHeightCmp(earlier.c_str(), later.c_str()), 0);
  EXPECT_GT(StrNoHeightCmp(later.c_str(), base.c_str()), 0);
}

TEST(Edit, StrNoHeightCmpSortsFixedRowsWithQsort) {
  static constexpr auto kBoris = Cp1251(u8"Борис");
  static constexpr auto kAnnaLower = Cp1251(u8"анна");
  static constexpr auto kAnnaUpper = Cp1251(u8"АННА");
  static constexpr auto kYolka = Cp1251(u8"Ёлка");
  char rows[][32] = {"zeta", "", "Alpha", "beta", "ALPHA", "alphabet", "", "", "", ""};
  std::strcpy(rows[6], kBoris.c_str());
  std::strcpy(rows[7], kAnnaLower.c_str());
  std::strcpy(rows[8], kAnnaUpper.c_str());
  std::strcpy(rows[9], kYolka.c_str());
  const std::multiset<std::string> before(std::begin(rows), std::end(rows));

  std::qsort(rows, std::size(rows), sizeof rows[0], StrNoHeightCmp);

  // Rows that differ only in case may come in either order.
  const char* expected[] = {"", "alpha", "alpha", "alphabet", "beta", "zeta",
                            kYolka.c_str(), kAnnaLower.c_str(), kAnnaLower.c_str(), kBoris.c_str()};
  for (size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(StrNoHeightCmp(rows[i], expected[i]), 0) << i << ": " << rows[i];
  }
  // Sorting moved the rows but folded nothing inside them.
  EXPECT_EQ(std::multiset<std::string>(std::begin(rows), std::end(rows)), before);
}

TEST(Edit, SubStrPosFindsTheFirstOccurrence) {
  const struct {
    const char* string;
    const char* pattern;
    int expected;
  } cases[] = {
      {"abcabc", "ca", 2}, {"abcabc", "x", -1}, {"abcabc", "", 0}, {"abcabc", "abc", 0},
      {"abcabc", "bc", 1}, {"abcabc", "abcabcd", -1}, {"", "", 0}, {"", "a", -1},
      {"aaab", "aab", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SubStrPos(c.string, c.pattern), c.expected) << c.string << " / " << c.pattern;
  }
}

// The byte area of the examples, 'ab', zero, 'cd', zero, 'ef', held in a block of
// exactly its 8 bytes plus the zero byte that must follow it.
class SubAbsStrPosTest : public ::testing::Test {
 protected:
  SubAbsStrPosTest() : area(new char[9]) { std::memcpy(area.get(), "ab\0cd\0ef", 9); }
  std::unique_ptr<char[]> area;
};

TEST_F(SubAbsStrPosTest, FindsMatchesWhollyInsideTheLength) {
  const struct {
    int length;
    int start;
    const char* pattern;
    int expected;
  } cases[] = {
      {8, 0, "cd", 3}, {8, 0, "ef", 6}, {7, 0, "ef", 7},  // would cross the end
      {8, 4, "cd", 8}, {8, 0, "", 8},   {8, 3, "cd", 3}, {8, 6, "ef", 6},
      {8, 7, "ef", 8}, {8, 100, "a", 8}, {8, 0, "abcdefghij", 8}, {0, 0, "a", 0},
      {8, 0, "b", 1},
      {8, -5, "ab", 0},   // starts below 0 search from 0 and read nothing before the area
      {8, -2147483647 - 1, "ef", 6},
      {8, 2147483647, "e", 8},
      {-3, 0, "a", -3},   // no candidate: the length comes back as given
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SubAbsStrPos(area.get(), c.length, c.start, c.pattern), c.expected)
        << c.pattern << " in " << c.length << " from " << c.start;
  }
}

// A plain search over the candidates from max(start, 0) upward, for comparison.
int ReferenceSearch(const std::string& area, int start, const std::string& pattern) {
  int length = static_cast<int>(area.size());
  int size = static_cast<int>(pattern.size());
  if (size == 0) return length;
  for (int b = std::max(start, 0); b <= length - size; ++b) {
    if (area.compare(b, size, pattern) == 0) return b;
  }
  return length;
}

TEST(Edit, SubAbsStrPosAgreesWithAPlainSearch) {
  std::mt19937 random(1251);
  const char alphabet[] = {'a', 'b', '\0'};
  auto text = [&](int length, int letters) {
    std::string s;
    for (int i = 0; i < length; ++i) s += alphabet[random() % letters];
    return s;
  };
  for (int round = 0; round < 5000; ++round) {
    std::string area = text(random() % 14, 3);
    std::string pattern = text(1 + random() % 4, 2);  // the pattern is zero-terminated
    int start = static_cast<int>(random() % 18) - 2;
    // Exactly the area and the zero byte after it, so a stray read shows under the sanitizers.
    auto block = std::make_unique<char[]>(area.size() + 1);
    std::memcpy(block.get(), area.data(), area.size());
    ASSERT_EQ(SubAbsStrPos(block.get(), static_cast<int>(area.size()), start, pattern.c_str()),
              ReferenceSearch(area, start, pattern))
        << "area of " << area.size() << " bytes, pattern " << pattern << ", start " << start;
  }
}

}  // namespace
