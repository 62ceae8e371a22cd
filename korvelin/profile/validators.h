// Checks of user-profile fields a site form collects, and the zodiac sign of a birthday.
//
// Each validator answers 1 (acceptable) or 0 and changes nothing; they test lengths,
// the presence of characters and number ranges, never the syntax of an address.
#ifndef KORVELIN_PROFILE_VALIDATORS_H
#define KORVELIN_PROFILE_VALIDATORS_H

// 1 when text is at least 5 bytes long and holds "@" anywhere.
int CanEmail(const char* text);
// 1 when day, month and year make a valid date in 1930 to 2010 (every fourth year a leap year).
int CanBirth(int day, int month, int year);
// The Windows-1251 lower-case name of the sign for that birthday (constant); "" when month is not 1 to 12.
const char* Zodiak(int month, int day);
// 1 when text is at least 5 bytes long and holds at least 5 decimal digits anywhere.
int CanTel(const char* text);
// 1 when text is 5 to 10 bytes long and every byte is a decimal digit.
int CanIcq(const char* text);
// 1 when text is at least 8 bytes long.
int CanHomepage(const char* text);

#endif
