// Calendar arithmetic on the time records: stepping, comparing, weekdays, day counts.
// Day stepping and day counting treat every year divisible by 4 as a leap year
// (1900 and 2100 included); only weekday follows the Gregorian rule. The two
// agree from 1901 to 2099.
#ifndef KORVELIN_SUPPORT_CALENDAR_H
#define KORVELIN_SUPPORT_CALENDAR_H

#include "korvelin/support/clock.h"

// Moves the date one day forward in place (four-year leap rule); always 0.
int NextDate(int* year, int* month, int* day);
// Moves the date one day back in place (four-year leap rule); always 0.
int LastDate(int* year, int* month, int* day);
// NextDate on a date record; always 0.
int NextDateStruct(date* d);
// LastDate on a date record; always 0.
int LastDateStruct(date* d);
// Moves the moment one hundredth of a second forward, carrying into seconds, minutes, hours and the date; always 0.
int NextSecHund(date* d, struct utime* t);
// Compares year, month, day, hour, minute, second in turn (other bits ignored): -1 first earlier, 1 later, 0 equal.
int TimeCmp(struct ftime first, struct ftime second);
// Compares two moments from year (signed) down to hundredths: -1 first earlier, 1 later, 0 equal.
int DatesCmp(date first_date, struct utime first_time, date second_date,
             struct utime second_time);
// Day of the week, 1 Monday to 7 Sunday; true for 1901-2100, and always within 1 to 7 for any record.
int weekday(date d);
// Days from first to second under the four-year rule, negative when second is earlier.
int DaysCount(date first, date second);

#endif
