// KeyToPass on any key, and PassToKey -> KeyToPass giving back every in-range value.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "fuzz/common.h"
#include "korvelin/profile/access_key.h"

namespace {

constexpr int kTextMax = 24;  // longest user name or password

// Any key: only the outputs given are written, names and passwords within 25 bytes.
void DecodeAnyKey(const std::string& key, uint8_t skip) {
  fuzz::Block text = fuzz::Terminated(key);
  fuzz::Block name(kTextMax + 1), password(kTextMax + 1);
  int user = 0;
  date day{};
  utime time{};
  KeyToPass(text.data(), &user, skip & 1 ? nullptr : name.data(), password.data(),
            skip & 2 ? nullptr : &day, skip & 4 ? nullptr : &time);
  FUZZ_CHECK(strnlen(password.data(), kTextMax + 1) <= kTextMax);
  if (!(skip & 1)) FUZZ_CHECK(strnlen(name.data(), kTextMax + 1) <= kTextMax);
}

void RoundTrip(FuzzedDataProvider& input) {
  int user = input.ConsumeIntegralInRange(0, 999999);
  date day;
  day.day = static_cast<signed char>(input.ConsumeIntegralInRange(0, 99));
  day.month = static_cast<signed char>(input.ConsumeIntegralInRange(0, 99));
  day.year = input.ConsumeIntegralInRange(0, 9999);
  utime time;
  time.hour = static_cast<unsigned char>(input.ConsumeIntegralInRange(0, 99));
  time.minute = static_cast<unsigned char>(input.ConsumeIntegralInRange(0, 99));
  time.second = static_cast<unsigned char>(input.ConsumeIntegralInRange(0, 99));
  time.hundredths = static_cast<unsigned char>(input.ConsumeIntegralInRange(0, 99));
  std::string name = fuzz::Text(input, kTextMax);
  std::string password = fuzz::Text(input, kTextMax);

  fuzz::Block key(112);
  PassToKey(user, name.c_str(), password.c_str(), day, time, key.data());
  std::size_t plain = 26 + name.size() + password.size();
  FUZZ_CHECK(strlen(key.data()) == 3 * ((plain + 1) / 2));
  FUZZ_CHECK(strspn(key.data(), "ABCDEFGHIJKLMNOPQRSTUVWXYZbcdefghijklmnop") == strlen(key.data()));

  int user_back = -1;
  fuzz::Block name_back(kTextMax + 1), password_back(kTextMax + 1);
  date day_back{};
  utime time_back{};
  KeyToPass(key.data(), &user_back, name_back.data(), password_back.data(), &day_back, &time_back);
  FUZZ_CHECK(user_back == user);
  FUZZ_CHECK(name == name_back.data());
  FUZZ_CHECK(password == password_back.data());
  FUZZ_CHECK(day_back.day == day.day && day_back.month == day.month && day_back.year == day.year);
  FUZZ_CHECK(time_back.hour == time.hour && time_back.minute == time.minute &&
             time_back.second == time.second && time_back.hundredths == time.hundredths);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string whole(reinterpret_cast<const char*>(data), size);
  DecodeAnyKey(whole, size > 0 ? data[size - 1] : 0);
  FuzzedDataProvider input(data, size);
  RoundTrip(input);
  return 0;
}
