#include "korvelin/storage/internal/store_age.h"

#include <climits>
#include <cstdint>

#include "korvelin/support/calendar.h"

int StoreAgeMinutes(ftime written, date today, utime now) {
  date written_day{static_cast<int32_t>(1980 + written.year), static_cast<signed char>(written.day),
                   static_cast<signed char>(written.month)};
  int64_t minutes = now.hour * 60 + now.minute;
  // A file never written (all fields zero) dates from the start of 1980: decades old.
  int days = DaysCount(written_day, today);
  if (days > 0) minutes += static_cast<int64_t>(days) * 1440;
  minutes -= written.hour * 60 + written.minute;
  // A clock far in the future must not overflow the count.
  return minutes > INT_MAX ? INT_MAX : static_cast<int>(minutes);
}
