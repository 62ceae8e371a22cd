// The access key: a user's number, name and password and a moment, packed into letters.
//
// No secret is involved. The fields are written as a fixed-width decimal plain text, its
// bytes are reordered (first, last, second, second-to-last, ...), and each pair of bytes is
// packed into three base-41 letters, "A" to "Z" then "b" to "p". KeyToPass undoes the three.
#ifndef KORVELIN_PROFILE_ACCESS_KEY_H
#define KORVELIN_PROFILE_ACCESS_KEY_H

#include "korvelin/support/clock.h"

// Writes the key of user (0 to 999999), name and password (up to 24 bytes each) and the
// moment into key (room for 112 bytes); returns 0.
int PassToKey(int user, const char* name, const char* password, date moment_date,
              struct utime moment_time, char* key);
// Unpacks key into the outputs given (name and password need room for 25 bytes; a null
// output is skipped); a key not made by PassToKey fills them with whatever it decodes to. Returns 0.
int KeyToPass(const char* key, int* user, char* name, char* password, date* moment_date,
              struct utime* moment_time);

#endif
