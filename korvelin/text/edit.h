// In-place editing and searching of zero-terminated single-byte strings and of
// byte areas of known length. Every buffer belongs to the caller, who guarantees
// room for any growth; nothing here allocates or reports an error. A position
// outside the string (below 0 or past its length) is taken as the nearer end, and
// a span reaching past the end stops at the end, so no editor writes outside the
// string and the room it was promised.
#ifndef KORVELIN_TEXT_EDIT_H
#define KORVELIN_TEXT_EDIT_H

// Copies count bytes from source to destination one by one, first to last; no terminator, count <= 0 copies nothing.
void MemCopy(char* destination, const char* source, int count);
// Lower-cases the ASCII capitals A to Z in place; every other byte (Cyrillic included) stays.
void strlow(char* string);
// Overwrites string from position with text, terminating after text only if it ends past the old length.
void ChangeSubstr(char* string, const char* text, int position);
// Replaces every occurrence of old_text by new_text left to right when both have the same non-zero length; else no change.
void ChangesSubstr(char* string, const char* old_text, const char* new_text);
// Replaces the old_length bytes at position by text, moving the tail; needs room for length - old_length + |text| + 1.
void ChangeSubstrWithLen(char* string, const char* text, int position, int old_length);
// Inserts text before the byte at position (position = length appends); needs room for length + |text| + 1.
void InsertSubstr(char* string, const char* text, int position);
// Removes count bytes from position, closing the gap; cuts the string at position when the span reaches its end.
void DeleteSubstr(char* string, int position, int count);
// Copies exactly count bytes source[start..start+count-1] (zeros included) to destination and terminates it; count <= 0 gives "".
void CopySubstr(const char* source, int start, int count, char* destination);
// Removes trailing spaces (0x20 only; tabs, CR and LF stay).
void DelSpaces(char* string);
// qsort comparator over rows of chars: <0, 0, >0 comparing whole strings with A-Z and А-Я folded to lower case.
int StrNoHeightCmp(const void* first, const void* second);
// Index of the first occurrence of pattern in string, 0 for an empty pattern, -1 when absent; linear time.
int SubStrPos(const char* string, const char* pattern);
// First index >= max(start, 0) where pattern lies wholly within buffer[0..length), zeros included; length when none or pattern empty; linear time.
int SubAbsStrPos(const char* buffer, int length, int start, const char* pattern);

#endif
