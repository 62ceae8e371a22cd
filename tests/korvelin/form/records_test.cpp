#include "korvelin/form/records.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/korvelin/form/heap_area.h"

namespace {

using namespace std::string_literals;

const char kRecords[] = "a=b=c\nb=2\nname=Ivan\r\nage=42\r\n";

TEST(RecordLookup, FindsTheFirstRecordStartingALine) {
  EXPECT_EQ(SubStrUserPos(kRecords, "b"), 8);  // not the "b=" inside the first value
  EXPECT_EQ(SubStrUserPos(kRecords, "a"), 2);
  EXPECT_EQ(SubStrUserPos(kRecords, "name"), 15);
  EXPECT_EQ(SubStrUserPos(kRecords, "zz"), -1);
  EXPECT_EQ(SubStrUserPos(kRecords, "c"), -1);
  EXPECT_EQ(SubStrUserPos("xname=1\nname=2\n", "name"), 13);
  EXPECT_EQ(SubStrUserPos("xname=1\n", "name"), -1);
  EXPECT_EQ(SubStrUserPos("=v\n", ""), 1);
  EXPECT_EQ(SubStrUserPos("", "a"), -1);
}

TEST(RecordLookup, NamesOfAnyLengthAreComparedWhole) {
  std::string name(300, 'n');
  std::string buffer = "x=1\n" + name + "X=no\n" + name + "=yes\r\n";
  char value[8];
  EXPECT_EQ(NameValue(buffer.c_str(), value, name.c_str(), 0), static_cast<int>(buffer.size()) - 2);
  EXPECT_STREQ(value, "yes");
}

TEST(RecordLookup, NameValueCopiesUpToTheLimit) {
  struct Row {
    const char* name;
    int limit;
    int result;
    const char* value;
  };
  for (const Row& row : {Row{"name", 2, 17, "Iv"}, Row{"name", 0, 19, "Ivan"}, Row{"name", 10, 19, "Ivan"},
                         Row{"name", -1, 15, ""}, Row{"a", 0, 5, "b=c"}, Row{"zz", 0, -1, ""}}) {
    char output[16];
    std::memset(output, 'X', sizeof output);
    EXPECT_EQ(NameValue(kRecords, output, row.name, row.limit), row.result) << row.name << " " << row.limit;
    EXPECT_STREQ(output, row.value) << row.name << " " << row.limit;
  }
}

TEST(RecordLookup, LengthAndPointer) {
  int length = -7;
  EXPECT_EQ(NameValueLen(kRecords, "name", &length), 15);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(NameValueLen(kRecords, "zz", &length), -1);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(NameValueLen(kRecords, "age", nullptr), 25);

  char buffer[] = "k=\nv=last";
  EXPECT_EQ(NameValuePtr(buffer, "v", &length), buffer + 5);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(NameValuePtr(buffer, "k", &length), buffer + 2);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(NameValuePtr(buffer, "zz", &length), nullptr);
  EXPECT_EQ(length, 0);
}

TEST(RecordLookup, NumbersUseDigitArithmeticAndWrap) {
  struct Row {
    const char* buffer;
    const char* name;
    int limit;
    int result;
    int number;
  };
  for (const Row& row : {Row{kRecords, "age", 0, 27, 42}, Row{kRecords, "age", 1, 26, 4},
                         Row{kRecords, "zz", 0, -1, -1}, Row{"x=-5\n", "x", 0, 4, -25}, Row{"y=12a\n", "y", 0, 5, 169},
                         Row{"e=\nf=1", "e", 0, 2, 0}, Row{"n=7\n", "n", -3, 2, 0},
                         Row{"big=12345678901\n", "big", 0, 15, -539222987},
                         Row{"big=99999999999", "big", 0, 15, 1215752191}}) {
    int number = 12345;
    EXPECT_EQ(NameIntValue(row.buffer, &number, row.name, row.limit), row.result) << row.buffer;
    EXPECT_EQ(number, row.number) << row.buffer;
  }
}

// Each buffer is a heap block of exactly the room the update needs, so an extra byte written shows.
TEST(RecordUpdate, ReplacesInPlaceOrAppends) {
  struct Row {
    const char* buffer;
    const char* value;
    const char* name;
    const char* expected;
  };
  for (const Row& row : {Row{"a=1\nb=22\n", "333", "b", "a=1\nb=333\n"}, Row{"a=1\nb=22\n", "", "b", "a=1\nb=\n"},
                         Row{"a=1\n", "7", "z", "a=1\nz=7\n"}, Row{"", "7", "z", "z=7\n"},
                         Row{"a=1", "7", "z", "a=1z=7\n"}, Row{"a=1\r\nb=22\r\n", "x", "a", "a=x\r\nb=22\r\n"},
                         Row{"xb=1\nb=2", "long value", "b", "xb=1\nb=long value"}}) {
    std::string before = row.buffer, after = row.expected;
    HeapArea buffer(before, std::max(before.size(), after.size()) + 1);
    BufuserChange(buffer.data(), row.value, row.name);
    EXPECT_STREQ(buffer.data(), row.expected) << row.buffer;
  }
  HeapArea buffer("a=1\nb=22\n", 11);
  BufuserIntChange(buffer.data(), -17, "b");
  EXPECT_STREQ(buffer.data(), "a=1\nb=-17\n");
  HeapArea empty("", 15);
  BufuserIntChange(empty.data(), -2147483647 - 1, "n");
  EXPECT_STREQ(empty.data(), "n=-2147483648\n");
}

TEST(BoundedLookup, TerminatesTheValueInPlace) {
  HeapArea area("k=one\0m=2\0k=two\n"s);
  ASSERT_EQ(area.length(), 16);
  EXPECT_EQ(NameValuePtrZero(area.data(), area.length(), "m", 0), area.data() + 8);  // a record after a zero byte
  char* k = NameValuePtrZero(area.data(), area.length(), "k", 1);
  EXPECT_EQ(k, area.data() + 2);
  EXPECT_EQ(area.Bytes(), "k=o\0e\0m=2\0k=two\n\0"s);
  // The second lookup sees the shortened text.
  EXPECT_STREQ(NameValuePtrZero(area.data(), area.length(), "k", 0), "o");

  HeapArea empty_value("xk=1\nk=\nk=2\n");
  EXPECT_EQ(NameValuePtrZero(empty_value.data(), empty_value.length(), "k", 0), nullptr);
  EXPECT_EQ(NameValueString(empty_value.data(), empty_value.length(), "k", 0),
            empty_value.data() + empty_value.length());
}

TEST(BoundedLookup, LimitsAndTheAreaEnd) {
  HeapArea area("a=xyz");
  EXPECT_EQ(NameValuePtrZero(area.data(), area.length(), "a", -1), nullptr);
  EXPECT_EQ(NameValuePtrZero(area.data(), 0, "a", 0), nullptr);
  EXPECT_EQ(NameValuePtrZero(area.data(), -4, "a", 0), nullptr);
  EXPECT_EQ(NameValuePtrZero(area.data(), 2, "a", 0), nullptr);  // "a=" fits, its value is empty
  EXPECT_EQ(NameValuePtrZero(area.data(), 1, "a", 0), nullptr);  // "a=" does not fit
  EXPECT_STREQ(NameValuePtrZero(area.data(), 4, "a", 0), "xy");  // terminated on byte 4
  EXPECT_EQ(area.Bytes(), "a=xy\0\0"s);

  HeapArea whole("a=xyz");
  EXPECT_STREQ(NameValueString(whole.data(), whole.length(), "a", 100), "xyz");  // terminator on the byte after
  std::string long_name(100, 'q');
  HeapArea named(long_name + "=v\r\n");
  EXPECT_STREQ(NameValueString(named.data(), named.length(), long_name.c_str(), 0), "v");
}

struct CheckboxCase {
  std::string area;
  std::vector<const char*> expected;
  int found;
  std::vector<int> present;
};

void PrintTo(const CheckboxCase& c, std::ostream* os) { *os << testing::PrintToString(c.area); }

class CheckboxFormCases : public testing::TestWithParam<CheckboxCase> {};

TEST_P(CheckboxFormCases, MarksTheValuesFound) {
  const CheckboxCase& c = GetParam();
  HeapArea area(c.area);
  std::vector<int> present(c.expected.size(), 7);
  EXPECT_EQ(CheckboxForm(area.data(), area.length(), "box", static_cast<int>(c.expected.size()), c.expected.data(),
                         present.data()),
            c.found);
  EXPECT_EQ(present, c.present);
}

INSTANTIATE_TEST_SUITE_P(Groups, CheckboxFormCases, testing::Values(
    CheckboxCase{"box=red\r\nx=1\r\nbox=blue\r\nbox=green\r\n", {"red", "green", "blue", "pink"}, 3, {1, 1, 1, 0}},
    CheckboxCase{"box=red\r\nbox=red\r\n", {"red", "red"}, 2, {1, 1}},
    CheckboxCase{"box=red\r\nbox=blue", {"red", "blue"}, 2, {1, 1}},
    CheckboxCase{"box=\r\nbox=blue\r\n", {"blue"}, 0, {0}},
    CheckboxCase{"box=Red\r\nxbox=blue\r\n", {"red", "blue"}, 0, {0, 0}},
    CheckboxCase{"x=1\r\n", {"red"}, 0, {0}},
    CheckboxCase{"", {"red"}, 0, {0}},
    CheckboxCase{"box=red", {"red"}, 1, {1}},
    // Lines ended by LF alone.
    CheckboxCase{"box=red\nbox=blue\n", {"red", "blue"}, 2, {1, 1}},
    CheckboxCase{"box=red\nxbox=blue\nbox=x\n", {"red", "blue", "x"}, 2, {1, 0, 1}},
    CheckboxCase{"box=red\n", {"red"}, 1, {1}},
    CheckboxCase{"box=red\n\nbox=blue", {"blue"}, 1, {1}}));

// Random areas of the bytes that steer the walk, each in an exact heap block:
// whatever the bytes, nothing outside the area and its zero byte is touched and
// every value returned lies inside them.
TEST(BoundedLookup, RandomAreasStayInside) {
  std::mt19937 rng(4242);
  const char kBytes[] = "box=red\r\n\0xb";
  const char* expected[] = {"red", "b", "x"};
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(rng() % 24, ' ');
    for (char& c : bytes) c = kBytes[rng() % (sizeof kBytes - 1)];
    HeapArea area(bytes);
    int present[3];
    int found = CheckboxForm(area.data(), area.length(), "box", 3, expected, present);
    ASSERT_GE(found, 0);
    ASSERT_LE(found, 3);
    HeapArea again(bytes);
    int limit = static_cast<int>(rng() % 6) - 1;
    char* value = NameValueString(again.data(), again.length(), "b", limit);
    ASSERT_GE(again.IndexOf(value), 0);
    ASSERT_LE(again.IndexOf(value), again.length());
  }
}

}  // namespace
