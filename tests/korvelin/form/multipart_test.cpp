#include "korvelin/form/multipart.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/korvelin/form/heap_area.h"

namespace {

using namespace std::string_literals;

const std::string kDisposition = "Content-Disposition: form-data; name=\"";

std::string TextPart(const std::string& boundary, const std::string& name, const std::string& value) {
  return boundary + "\r\n" + kDisposition + name + "\"\r\n\r\n" + value + "\r\n";
}

// A file part; an empty type leaves out the Content-Type line.
std::string FilePart(const std::string& boundary, const std::string& name, const std::string& file_name,
                     const std::string& type, const std::string& data) {
  std::string part = boundary + "\r\n" + kDisposition + name + "\"; filename=\"" + file_name + "\"\r\n";
  if (!type.empty()) part += "Content-Type: " + type + "\r\n";
  return part + "\r\n" + data + "\r\n";
}

std::string ExampleBody() {
  const std::string b = "--XyZ";
  return TextPart(b, "nick", "Ivan") + TextPart(b, "age", "42") + TextPart(b, "box", "red") +
         TextPart(b, "box", "blue") + TextPart(b, "empty", "") + FilePart(b, "photo", "a.jpg", "image/jpeg", "AB\0CD"s) +
         FilePart(b, "doc", "b.txt", "", "hello") + b + "--\r\n";
}

TEST(MultipartText, ExampleBodyFields) {
  HeapArea body(ExampleBody());
  ASSERT_EQ(body.length(), 484);
  for (int round = 0; round < 2; ++round) {  // the same body searched again gives the same
    int length = -1;
    char* nick = NameValueFormdata(body.data(), body.length(), "nick", &length);
    EXPECT_EQ(body.IndexOf(nick), 54);
    EXPECT_STREQ(nick, "Ivan");
    EXPECT_EQ(length, 4);
    char* empty = NameValueFormdata(body.data(), body.length(), "empty", &length);
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty, "");
    EXPECT_EQ(length, 0);
    length = -1;
    EXPECT_EQ(NameValueFormdata(body.data(), body.length(), "zz", &length), nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(NameValueFormdataNonull(body.data(), body.length(), "zz", nullptr), body.data() + body.length());
    EXPECT_EQ(NameValueFormdataNonull(body.data(), body.length(), "nick", nullptr), nick);
    EXPECT_EQ(NameValueFormdata(body.data(), body.length(), "Nick", nullptr), nullptr);

    EXPECT_EQ(NameIntValueFormdata(body.data(), body.length(), "age", 0), 42);
    EXPECT_EQ(NameIntValueFormdata(body.data(), body.length(), "age", 1), 4);
    EXPECT_EQ(NameIntValueFormdata(body.data(), body.length(), "age", -1), 0);
    EXPECT_EQ(NameIntValueFormdata(body.data(), body.length(), "zz", 0), 0);

    const char* expected[] = {"blue", "red", "pink"};
    int present[3] = {7, 7, 7};
    EXPECT_EQ(CheckboxFormdata(body.data(), body.length(), "box", 3, expected, present), 2);
    EXPECT_EQ(std::vector<int>(present, present + 3), (std::vector<int>{1, 1, 0}));
  }
}

TEST(MultipartText, ValueWithoutBoundaryAfterIt) {
  HeapArea body("--XyZ\r\n" + kDisposition + "a\"\r\n\r\nhello");
  int length;
  EXPECT_STREQ(NameValueFormdata(body.data(), body.length(), "a", &length), "hell");
  EXPECT_EQ(length, 4);
}

TEST(MultipartText, NumbersWrap) {
  HeapArea body(TextPart("--b", "n", "12345678901") + TextPart("--b", "m", "-5") + "--b--\r\n");
  EXPECT_EQ(NameIntValueFormdata(body.data(), body.length(), "n", 0), -539222987);
  EXPECT_EQ(NameIntValueFormdata(body.data(), body.length(), "m", 0), -25);
}

// A value whose end computes to before its start is empty and lies inside the
// body or on the zero byte after it; the bytes around it stay usable.
TEST(MultipartText, ValuesEndingBeforeTheyStart) {
  const std::string header = "--XyZ\r\n" + kDisposition + "a\"";
  HeapArea early(header + "\r\n\r\n\n--XyZ--\r\n");
  for (int round = 0; round < 2; ++round) {
    int length = -1;
    char* value = NameValueFormdata(early.data(), early.length(), "a", &length);
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, "");
    EXPECT_EQ(length, 0);
    EXPECT_GE(early.IndexOf(value), 0);
    EXPECT_LT(early.IndexOf(value), early.length());
    EXPECT_EQ(early.data()[early.length() - 10], '\n');  // the LF before the closing line stays
  }
  for (const std::string& tail : {""s, "\r\n"s, "\r\n\r"s, "\r\n\r\n"s}) {
    HeapArea cut(header + tail);
    std::string before = cut.Bytes();
    int length = -1;
    char* value = NameValueFormdata(cut.data(), cut.length(), "a", &length);
    EXPECT_EQ(value, cut.data() + cut.length()) << testing::PrintToString(tail);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(cut.Bytes(), before);
  }
}

TEST(MultipartText, CheckboxWalkEndsSafely) {
  const std::string b = "--XyZ";
  const char* expected[] = {"red", "blue", "blu", "green"};
  int present[4];
  // The last value has no boundary line after it: it runs to the last byte but one.
  HeapArea open_end(TextPart(b, "box", "red") + b + "\r\n" + kDisposition + "box\"\r\n\r\nblue");
  EXPECT_EQ(CheckboxFormdata(open_end.data(), open_end.length(), "box", 4, expected, present), 2);
  EXPECT_EQ(std::vector<int>(present, present + 4), (std::vector<int>{1, 0, 1, 0}));
  // An empty value ends the walk.
  HeapArea empty(TextPart(b, "box", "") + TextPart(b, "box", "red") + b + "--\r\n");
  EXPECT_EQ(CheckboxFormdata(empty.data(), empty.length(), "box", 4, expected, present), 0);
  // Parts of other names between the group's parts are passed over.
  HeapArea mixed(TextPart(b, "box", "green") + TextPart(b, "x", "red") + TextPart(b, "box", "red") + b + "--\r\n");
  EXPECT_EQ(CheckboxFormdata(mixed.data(), mixed.length(), "box", 4, expected, present), 2);
  EXPECT_EQ(std::vector<int>(present, present + 4), (std::vector<int>{1, 0, 0, 1}));
}

TEST(MultipartFile, ExampleBodyFiles) {
  HeapArea body(ExampleBody());
  for (int round = 0; round < 2; ++round) {  // a second call gives the same results
    char* file_name = nullptr;
    char* type = nullptr;
    int length = -1;
    char* data = FileValueFormdata(body.data(), body.length(), "photo", &file_name, &type, &length);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(data, length), "AB\0CD"s);
    EXPECT_STREQ(file_name, "a.jpg");
    EXPECT_STREQ(type, "image/jpeg");
    EXPECT_EQ(body.IndexOf(data), 390);

    EXPECT_EQ(FileValueFormdata(body.data(), body.length(), "doc", &file_name, &type, &length), nullptr);
    EXPECT_EQ(length, 0);
    EXPECT_STREQ(file_name, "b.txt");
    EXPECT_EQ(type, file_name);

    EXPECT_EQ(FileValueFormdata(body.data(), body.length(), "zz", &file_name, &type, &length), nullptr);
    EXPECT_EQ(file_name, nullptr);
    EXPECT_EQ(type, nullptr);
    EXPECT_EQ(length, 0);
  }
  // Text lookups still work after the file lookups wrote their terminators.
  EXPECT_STREQ(NameValueFormdata(body.data(), body.length(), "nick", nullptr), "Ivan");
}

// Which out-parameters FileValueFormdata writes, case by case.
TEST(MultipartFile, OutParameters) {
  char unset_byte;
  char* const unset = &unset_byte;
  const std::string example = ExampleBody();
  struct Row {
    std::string body;
    const char* name;
    bool give_file_name;
    bool found;
    const char* file_name;  // null: expect null; "-": expect not written
    const char* type;       // likewise, "=": the file name's address
  };
  const std::vector<Row> rows = {
      {"no carriage return", "photo", true, false, "-", "-"},
      {"\r\n" + example, "photo", true, false, "-", "-"},
      {"--a\0b\r\n"s + example, "photo", true, false, "-", "-"},
      {std::string(451, 'x') + "\r\n", "photo", true, false, "-", "-"},
      {example, "zz", true, false, nullptr, nullptr},
      {example, "doc", true, false, "b.txt", "="},
      {example, "doc", false, false, "-", "-"},
      {example, "photo", true, true, "a.jpg", "image/jpeg"},
      {example, "photo", false, true, "-", "image/jpeg"},
  };
  for (const Row& row : rows) {
    HeapArea body(row.body);
    char* file_name = unset;
    char* type = unset;
    int length = -1;
    char* data = FileValueFormdata(body.data(), body.length(), row.name, row.give_file_name ? &file_name : nullptr,
                                   &type, &length);
    SCOPED_TRACE(testing::PrintToString(row.body.substr(0, 20)) + " " + row.name);
    EXPECT_EQ(data != nullptr, row.found);
    EXPECT_EQ(length, row.found ? 5 : 0);
    auto check = [&](char* actual, const char* expected) {
      if (expected == nullptr) {
        EXPECT_EQ(actual, nullptr);
      } else if (std::string(expected) == "-") {
        EXPECT_EQ(actual, unset);
      } else if (std::string(expected) == "=") {
        EXPECT_EQ(actual, file_name);
      } else {
        ASSERT_NE(actual, nullptr);
        ASSERT_NE(actual, unset);
        EXPECT_STREQ(actual, expected);
      }
    };
    check(file_name, row.file_name);
    check(type, row.type);
  }
  HeapArea body(example);
  EXPECT_NE(FileValueFormdata(body.data(), body.length(), "photo", nullptr, nullptr, nullptr), nullptr);
}

// Text lookups take boundary lines of up to 70 bytes, file lookups up to 450,
// whatever the bytes of the line and the length of the name.
TEST(MultipartBoundary, LengthsAndNames) {
  const std::string long_name(500, 'n');
  for (int boundary_length : {1, 2, 70, 71, 450, 451}) {
    std::string boundary(boundary_length, '-');
    for (int i = 2; i < boundary_length; ++i) boundary[i] = "aZ9'\"()+_,./:=?\n"[i % 16];
    for (const std::string& name : {"t"s, long_name}) {
      HeapArea body(TextPart(boundary, name, "value") + FilePart(boundary, name + "f", "x.bin", "a/b", "\r\n\r\n") +
                    boundary + "--\r\n");
      SCOPED_TRACE("boundary of " + std::to_string(boundary_length) + ", name of " + std::to_string(name.size()));
      int length = -1;
      char* value = NameValueFormdata(body.data(), body.length(), name.c_str(), &length);
      if (boundary_length <= 70) {
        EXPECT_STREQ(value, "value");
      } else {
        EXPECT_EQ(value, nullptr);
      }
      char* data = FileValueFormdata(body.data(), body.length(), (name + "f").c_str(), nullptr, nullptr, &length);
      if (boundary_length <= 450) {
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(std::string(data, length), "\r\n\r\n");
      } else {
        EXPECT_EQ(data, nullptr);
      }
    }
  }
}

TEST(MultipartFile, HeaderEndingAtTheAreaEnd) {
  HeapArea body("--XyZ\r\n" + kDisposition + "f\"; filename=\"x\"\r\nContent-Type: text/plain");
  char* file_name;
  char* type;
  int length = -1;
  char* data = FileValueFormdata(body.data(), body.length(), "f", &file_name, &type, &length);
  EXPECT_EQ(data, body.data() + body.length());
  EXPECT_EQ(length, 0);
  EXPECT_STREQ(file_name, "x");
  EXPECT_STREQ(type, "text/plain");
}

// Every prefix of a body, in an exact heap block: whatever is cut off, the
// lookups touch nothing past the zero byte after the prefix, return addresses
// inside it, and a second file lookup repeats the first.
TEST(MultipartCut, EveryPrefixOfABody) {
  const std::string full = ExampleBody();
  for (size_t cut = 0; cut <= full.size(); ++cut) {
    SCOPED_TRACE("prefix of " + std::to_string(cut));
    HeapArea body(full.substr(0, cut));
    auto inside = [&](const char* p, int length) {
      EXPECT_GE(body.IndexOf(p), 0);
      EXPECT_GE(length, 0);
      EXPECT_LE(body.IndexOf(p) + length, body.length());
    };
    for (const char* name : {"nick", "age", "empty", "photo", "doc"}) {
      int length = -1;
      char* value = NameValueFormdataNonull(body.data(), body.length(), name, &length);
      inside(value, length);
    }
    for (const char* name : {"photo", "doc"}) {
      char* file_name[2] = {};
      char* type[2] = {};
      int length[2] = {-1, -1};
      char* data[2];
      for (int call = 0; call < 2; ++call) {
        data[call] = FileValueFormdata(body.data(), body.length(), name, &file_name[call], &type[call], &length[call]);
        if (data[call] != nullptr) inside(data[call], length[call]);
        if (file_name[call] != nullptr) inside(file_name[call], 0);
        if (type[call] != nullptr) inside(type[call], 0);
      }
      EXPECT_EQ(data[0], data[1]);
      EXPECT_EQ(file_name[0], file_name[1]);
      EXPECT_EQ(type[0], type[1]);
      EXPECT_EQ(length[0], length[1]);
    }
    const char* expected[] = {"red", "blue", "re", "r"};
    int present[4];
    int found = CheckboxFormdata(body.data(), body.length(), "box", 4, expected, present);
    EXPECT_GE(found, 0);
    EXPECT_LE(found, 2);
  }
}

// A body as a browser sends it: two text fields and a 100 KB binary file full of
// CR LF pairs, zero bytes and near-copies of the delimiter line.
TEST(MultipartFile, BrowserUploadComesBackWhole) {
  const std::string boundary = "------WebKitFormBoundaryx8Qz1LmN0pTq7RsV";
  std::mt19937 rng(77);
  std::string data(100 * 1024, '\0');
  for (char& c : data) c = static_cast<char>(rng());
  for (size_t at = 0; at + 64 < data.size(); at += 997) {
    std::string near = "\r\n" + boundary;
    near[2 + rng() % boundary.size()] ^= 1;  // one byte off the real delimiter
    data.replace(at, near.size(), near);
    data[at + 60] = '\0';
    data[at + 61] = '\r';
    data[at + 62] = '\n';
  }
  data[499] = 'x';
  data.replace(500, boundary.size() + 1, boundary + "\r");  // the delimiter line without the LF before it
  const std::string comment = "\xcf\xf0\xe8\xe2\xe5\xf2, \"quoted\" & more";
  HeapArea body(TextPart(boundary, "title", "Holiday") + TextPart(boundary, "comment", comment) +
                FilePart(boundary, "upload", "photo 1.bin", "application/octet-stream", data) + boundary + "--\r\n");

  char* file_name;
  char* type;
  int length;
  char* file = FileValueFormdata(body.data(), body.length(), "upload", &file_name, &type, &length);
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(length, static_cast<int>(data.size()));
  EXPECT_TRUE(std::string(file, length) == data);
  EXPECT_STREQ(file_name, "photo 1.bin");
  EXPECT_STREQ(type, "application/octet-stream");
  EXPECT_STREQ(NameValueFormdata(body.data(), body.length(), "title", nullptr), "Holiday");
  EXPECT_STREQ(NameValueFormdata(body.data(), body.length(), "comment", &length), comment.c_str());
  EXPECT_EQ(length, static_cast<int>(comment.size()));
}

}  // namespace
