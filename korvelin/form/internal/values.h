// Reading the values that the record and multipart lookups find (internal).
#ifndef KORVELIN_FORM_VALUES_H
#define KORVELIN_FORM_VALUES_H

// Reads count bytes as decimal digits: n = n * 10 + (byte - '0') with signed bytes, wrapping modulo 2^32.
int DecimalWrapped(const char* digits, int count);
// Sets the count present flags to 0.
void ClearPresent(int count, int* present);
// Marks the first expected value equal to value whose flag is still 0; 1 when one was marked, else 0.
int MarkPresent(const char* value, int count, const char* const* expected, int* present);

#endif
