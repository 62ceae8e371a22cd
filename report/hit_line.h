// One line of a hit log, taken apart without copying.
#ifndef KORVELIN_REPORT_HIT_LINE_H
#define KORVELIN_REPORT_HIT_LINE_H

#include <string_view>

#include "korvelin/support/clock.h"

// The fields of one hit. The texts point into the line; the padding the counter
// adds is removed, and an absent variable reads "(null)" as it was written.
struct Hit {
  date day_date;
  utime time;
  int day = 0;     // DayNumber of day_date
  int second = 0;  // seconds since midnight
  std::string_view client;     // A: REMOTE_ADDR
  std::string_view host;       // H: REMOTE_HOST
  std::string_view forwarded;  // IP: HTTP_X_FORWARDED_FOR
  std::string_view referer;    // FROM: HTTP_REFERER
};

// True for a value the counter wrote for an unset variable (or an empty one).
bool Absent(std::string_view value);

// Reads hit lines. Lines of one log mostly share their date, so the day number
// of the last date seen is kept rather than computed again.
class HitParser {
 public:
  // Takes line (without its line feed) apart into hit; false when it does not
  // have the layout of a hit line, and hit is then unspecified.
  bool Parse(std::string_view line, Hit* hit);

 private:
  char cached_date_[10] = {};
  int cached_day_ = 0;
  date cached_record_{};
};

#endif
