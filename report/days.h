// Calendar days as numbers, so that hits can be grouped and windows measured
// with plain integer arithmetic.
#ifndef KORVELIN_REPORT_DAYS_H
#define KORVELIN_REPORT_DAYS_H

#include <string>
#include <string_view>

#include "korvelin/support/clock.h"

// The value of the first n bytes of text read as decimal digits; -1 when text is
// shorter or one of them is not a digit.
int ParseDigits(std::string_view text, std::size_t n);
// True when day exists in month of year (every year divisible by 4 a leap year,
// the rule the library's day counting follows).
bool ValidDate(int year, int month, int day);
// Days from a fixed origin to d; consecutive dates give consecutive numbers.
int DayNumber(date d);
// "YYYY-MM-DD" to a date record; false when the text is not a valid date.
bool ParseIsoDate(std::string_view text, date* d);
// The date as "YYYY-MM-DD".
std::string IsoDate(date d);

#endif
