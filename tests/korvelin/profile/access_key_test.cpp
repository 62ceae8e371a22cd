#include "korvelin/profile/access_key.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

date Date(int day, int month, int year) {
  date d;
  d.year = year;
  d.day = static_cast<signed char>(day);
  d.month = static_cast<signed char>(month);
  return d;
}

utime Time(int hour, int minute, int second, int hundredths) {
  utime t;
  t.hour = static_cast<unsigned char>(hour);
  t.minute = static_cast<unsigned char>(minute);
  t.second = static_cast<unsigned char>(second);
  t.hundredths = static_cast<unsigned char>(hundredths);
  return t;
}

// Everything KeyToPass gives back, with the text outputs in heap buffers of exactly the
// room the contract asks for, so the sanitizers catch any write past them.
struct Decoded {
  int user = -7;
  std::string name, password;
  date day = Date(-1, -1, -1);
  utime time = Time(255, 255, 255, 255);
};

Decoded Decode(const std::string& key) {
  std::vector<char> name(25, 'N'), password(25, 'P');
  std::vector<char> key_bytes(key.begin(), key.end());
  key_bytes.push_back('\0');
  Decoded out;
  EXPECT_EQ(KeyToPass(key_bytes.data(), &out.user, name.data(), password.data(), &out.day, &out.time), 0);
  EXPECT_NE(memchr(name.data(), '\0', name.size()), nullptr);
  EXPECT_NE(memchr(password.data(), '\0', password.size()), nullptr);
  out.name = name.data();
  out.password = password.data();
  return out;
}

// The key, written into a heap buffer of exactly expected_size bytes.
std::string Encode(int user, const std::string& name, const std::string& password, date d,
                   utime t, size_t expected_size) {
  std::vector<char> key(expected_size);
  EXPECT_EQ(PassToKey(user, name.c_str(), password.c_str(), d, t, key.data()), 0);
  EXPECT_EQ(strnlen(key.data(), key.size()), expected_size - 1);
  return std::string(key.data(), strnlen(key.data(), key.size()));
}

// The room a key of valid values takes: three letters per pair of plain-text bytes, and the zero.
size_t KeySize(const std::string& name, const std::string& password) {
  size_t n = 26 + name.size() + password.size();
  return 3 * ((n + 1) / 2) + 1;
}

void ExpectDate(const date& d, int day, int month, int year) {
  EXPECT_EQ(d.day, day);
  EXPECT_EQ(d.month, month);
  EXPECT_EQ(d.year, year);
}

void ExpectTime(const utime& t, int hour, int minute, int second, int hundredths) {
  EXPECT_EQ(t.hour, hour);
  EXPECT_EQ(t.minute, minute);
  EXPECT_EQ(t.second, second);
  EXPECT_EQ(t.hundredths, hundredths);
}

TEST(AccessKey, WorkedExamples) {
  const struct {
    const char* password;
    size_t size;
    const char* key;
  } cases[] = {
      // "000001" "03" "abc" "01" "x" "05" "03" "2024" "14" "07" "09" "25": 30 bytes.
      {"x", 46, "HOAHNnHOEHNlHOCHUFHNpHhbOhnOoFPENHNnHUISMSHOA"},
      // 31 bytes: the last group carries the middle byte "0" and the padding zero (0x3000).
      {"xy", 49, "HOAHNnHOEHNlHOCHUFHNpHhbOhnOoFPENHNnHbSSMSSSiHMe"},
  };
  for (const auto& c : cases) {
    std::string key = Encode(1, "abc", c.password, Date(5, 3, 2024), Time(14, 7, 9, 25), c.size);
    EXPECT_EQ(key, c.key);

    Decoded out = Decode(key);
    EXPECT_EQ(out.user, 1);
    EXPECT_EQ(out.name, "abc");
    EXPECT_EQ(out.password, c.password);
    ExpectDate(out.day, 5, 3, 2024);
    ExpectTime(out.time, 14, 7, 9, 25);
  }
}

TEST(AccessKey, ShortTextsUnpackInReverseOrder) {
  // "OjDOmm" packs the reordered "abc" (pairs 0x6163 and 0x6200), "OjEOpN" packs "abcd". Their
  // digits give the user number (a digit is the code minus "0"; the missing ones count as 0).
  EXPECT_EQ(Decode("OjDOmm").user, 49 * 100000 + 50 * 10000 + 51 * 1000);
  EXPECT_EQ(Decode("OjEOpN").user, 49 * 100000 + 50 * 10000 + 51 * 1000 + 52 * 100);
}

TEST(AccessKey, EmptyTextsAndExtremes) {
  std::string key = Encode(0, "", "", Date(1, 1, 0), Time(0, 0, 0, 0), 40);
  Decoded out = Decode(key);
  EXPECT_EQ(out.user, 0);
  EXPECT_EQ(out.name, "");
  EXPECT_EQ(out.password, "");
  ExpectDate(out.day, 1, 1, 0);

  const std::string full(24, '\xFF');
  key = Encode(999999, full, full, Date(31, 12, 9999), Time(23, 59, 59, 99), 112);
  out = Decode(key);
  EXPECT_EQ(out.user, 999999);
  EXPECT_EQ(out.name, full);
  EXPECT_EQ(out.password, full);
  ExpectDate(out.day, 31, 12, 9999);
  ExpectTime(out.time, 23, 59, 59, 99);
}

TEST(AccessKey, NullOutputsAreSkipped) {
  std::string key = Encode(77, "name", "secret", Date(2, 3, 2001), Time(4, 5, 6, 7),
                           KeySize("name", "secret"));
  int user = 0;
  char password[25];
  EXPECT_EQ(KeyToPass(key.c_str(), &user, nullptr, password, nullptr, nullptr), 0);
  EXPECT_EQ(user, 77);
  EXPECT_STREQ(password, "secret");
  EXPECT_EQ(KeyToPass(key.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(AccessKey, TrailingLettersOutsideAGroupAreIgnored) {
  std::string key = Encode(5, "ab", "cd", Date(9, 8, 1999), Time(1, 2, 3, 4), KeySize("ab", "cd"));
  for (const char* extra : {"A", "pp"}) {
    Decoded out = Decode(key + extra);
    EXPECT_EQ(out.user, 5);
    EXPECT_EQ(out.name, "ab");
    EXPECT_EQ(out.password, "cd");
    ExpectDate(out.day, 9, 8, 1999);
    ExpectTime(out.time, 1, 2, 3, 4);
  }
}

TEST(AccessKey, OverlongUserNameDoesNotComeBack) {
  // The length field says 30, the decoder takes 24 and reads the password length inside the name.
  const std::string name = "abcdefghijklmnopqrstuvwxyz0123";
  std::string key = Encode(3, name, "pw", Date(1, 2, 2003), Time(1, 2, 3, 4), KeySize(name, "pw"));
  Decoded out = Decode(key);
  EXPECT_EQ(out.user, 3);
  EXPECT_EQ(out.name, name.substr(0, 24));
  EXPECT_NE(out.password, "pw");
}

TEST(AccessKey, ValuesBeyondTheLimitsStayWithinTheKey) {
  // Such keys do not decode to the same values, but they never outgrow the 112 bytes.
  const std::string huge(1000, 'z');
  const struct {
    int user;
    std::string name, password;
    date d;
  } cases[] = {
      {INT_MAX, huge, huge, Date(-128, 127, INT_MIN)},
      {INT_MIN, "", huge, Date(99, 99, INT_MAX)},
      {1234567, std::string(25, 'n'), std::string(25, 'p'), Date(1, 1, 12345)},
  };
  for (const auto& c : cases) {
    std::vector<char> key(112, 'X');
    EXPECT_EQ(PassToKey(c.user, c.name.c_str(), c.password.c_str(), c.d, Time(255, 255, 255, 255),
                        key.data()), 0);
    ASSERT_NE(memchr(key.data(), '\0', key.size()), nullptr);
    Decode(key.data());
  }
}

TEST(AccessKey, MalformedFieldsStayInsideTheDecodedText) {
  // Keys of crafted plain texts (shown), whose fields point outside the text.
  {
    // "000042-1xyz0105032024": the name length is -29, so every later field lies before the text.
    Decoded out = Decode("HNpHNnHNlHNnHnnHbPGlLHUFSMTSSdSXg");
    EXPECT_EQ(out.user, 42);
    EXPECT_EQ(out.name, "");
    EXPECT_EQ(out.password, "");
    ExpectDate(out.day, 0, 0, 0);
    ExpectTime(out.time, 0, 0, 0, 0);
  }
  {
    // "00004220ab": a name of 20 bytes is cut at the end of the text, the rest is missing.
    Decoded out = Decode("HPEHPDHNlHNnHnm");
    EXPECT_EQ(out.name, "ab");
    EXPECT_EQ(out.password, "");
    ExpectDate(out.day, 0, 0, 0);
  }
  {
    // "00004203abc24pw": the password runs past the end.
    Decoded out = Decode("HPZHPSHNpHNnHpEHcYHPDHgS");
    EXPECT_EQ(out.name, "abc");
    EXPECT_EQ(out.password, "pw");
  }
  {
    // "00004203abc02pw3112199": the year's last digit is missing and counts as 0.
    Decoded out = Decode("HOEHOEHNmHNnHnlHbQHNoHjOOjQOoFPEN");
    EXPECT_EQ(out.password, "pw");
    ExpectDate(out.day, 31, 12, 1990);
  }
  for (const char* key : {"", "A", "AB", "AAA", "pppppp"}) {
    Decoded out = Decode(key);
    EXPECT_EQ(out.name, "") << key;
    EXPECT_EQ(out.password, "") << key;
  }
}

TEST(AccessKey, RandomValuesComeBack) {
  std::mt19937 random(20240305);
  auto Uniform = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  auto Text = [&Uniform]() {
    std::string text(Uniform(0, 24), ' ');
    for (char& c : text) c = static_cast<char>(Uniform(1, 255));
    return text;
  };
  for (int i = 0; i < 20000; ++i) {
    int user = Uniform(0, 999999);
    std::string name = Text(), password = Text();
    date d = Date(Uniform(1, 31), Uniform(1, 12), Uniform(0, 9999));
    utime t = Time(Uniform(0, 23), Uniform(0, 59), Uniform(0, 59), Uniform(0, 99));

    std::string key = Encode(user, name, password, d, t, KeySize(name, password));
    ASSERT_EQ(key.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZbcdefghijklmnop"), std::string::npos);
    Decoded out = Decode(key);
    ASSERT_EQ(out.user, user);
    ASSERT_EQ(out.name, name);
    ASSERT_EQ(out.password, password);
    ASSERT_EQ(out.day.day, d.day);
    ASSERT_EQ(out.day.month, d.month);
    ASSERT_EQ(out.day.year, d.year);
    ASSERT_EQ(memcmp(&out.time, &t, sizeof t), 0);  // four bytes, no padding
  }
}

TEST(AccessKey, GarbageKeysStayInBounds) {
  std::mt19937 random(41);
  auto Uniform = [&random](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZbcdefghijklmnop";
  for (int i = 0; i < 20000; ++i) {
    std::string key(Uniform(0, 200), ' ');
    switch (i % 3) {
      case 0:  // any non-zero bytes
        for (char& c : key) c = static_cast<char>(Uniform(1, 255));
        break;
      case 1:  // letters of the alphabet only, so more of the text decodes
        for (char& c : key) c = alphabet[Uniform(0, 40)];
        break;
      default:  // a real key, cut short and with a few letters changed
        key = Encode(Uniform(0, 999999), "user", "password", Date(1, 2, 2000), Time(1, 2, 3, 4),
                     KeySize("user", "password"));
        key.resize(Uniform(0, static_cast<int>(key.size())));
        for (int k = 0; k < 3 && !key.empty(); ++k) {
          key[Uniform(0, static_cast<int>(key.size()) - 1)] = static_cast<char>(Uniform(1, 255));
        }
    }
    Decoded out = Decode(key);
    ASSERT_LE(out.name.size(), 24u);
    ASSERT_LE(out.password.size(), 24u);
  }
}

}  // namespace
