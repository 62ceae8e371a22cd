// Time records and the clock readings that fill them.
#ifndef KORVELIN_SUPPORT_CLOCK_H
#define KORVELIN_SUPPORT_CLOCK_H

#include <cstdint>
#include <string>

// A calendar date.
struct date {
  int32_t year;       // full year, such as 2026
  signed char day;    // day of month, 1 to 31
  signed char month;  // month, 1 to 12
};

// A time of day to the hundredth of a second.
struct utime {
  unsigned char minute;      // 0 to 59
  unsigned char hour;        // 0 to 23
  unsigned char hundredths;  // 0 to 99
  unsigned char second;      // 0 to 59
};

// A file's modification time packed into two 32-bit units; the year does not
// fit in the six bits left in the first unit, so it starts the second one.
struct ftime {
  unsigned second : 6;  // 0 to 59
  unsigned minute : 6;  // 0 to 59
  unsigned hour : 5;    // 0 to 23
  unsigned day : 5;     // 1 to 31
  unsigned month : 4;   // 1 to 12
  unsigned year : 7;    // years since 1980, 0 to 127
};

// Lowercase three-letter month names, "jan" to "dec".
extern const char MonthName[12][4];

// Reads the real-time clock once and fills the records given (either may be null), local time.
void getdatetime(date* d, struct utime* t);
// Today's local date.
void getdate(date* d);
// The local time of day.
void gettime(struct utime* t);
// The local modification time of path (a symbolic link's own); leaves t unchanged if path cannot be examined.
void getftime(const char* path, struct ftime* t);
// Offset of the current local time from UTC in seconds, positive east of Greenwich.
int64_t GetGmtoff();
// Seconds since the epoch for local "YYYY?MM?DD?hh?mm?ss" (digits at fixed places, separators
// and tail ignored, missing characters read as zeros); -1 when the moment cannot be represented.
int64_t DateTimeToTimeStamp(const std::string& text);

#endif
