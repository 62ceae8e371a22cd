// Record buffers: texts of name=value lines ended by LF or CR LF.
//
// A record starts at the beginning of the text or right after an LF, and the
// first record of a name is the one found ("xname=" or a "name=" inside a value
// does not count). A value runs to the first CR, LF or end of the text. The
// bounded-area functions take the text with its length, may meet zero bytes in it
// (a record also starts right after one), and terminate the values they return in
// place; the byte right after such an area must exist and be writable (normally
// the text's terminating zero). Names of any length are looked up whole.
#ifndef KORVELIN_FORM_RECORDS_H
#define KORVELIN_FORM_RECORDS_H

// Index of the first byte of the value of name in buffer, or -1 when name has no record.
int SubStrUserPos(const char* buffer, const char* name);
// Copies the value (at most limit bytes; 0 = all) to output; index where copying stopped, or -1 and "" when absent.
int NameValue(const char* buffer, char* output, const char* name, int limit);
// Index of the value of name and its length through length (0 when absent), or -1.
int NameValueLen(const char* buffer, const char* name, int* length);
// Address of the value of name inside buffer (not terminated) and its length (0 when absent), or null.
char* NameValuePtr(char* buffer, const char* name, int* length);
// Reads at most limit bytes (0 = all) of the value as a decimal number into number; index where reading stopped, or -1 (number -1).
int NameIntValue(const char* buffer, int* number, const char* name, int limit);
// Replaces the value of name by value in place, or appends "name=value\n" when name has no record.
void BufuserChange(char* buffer, const char* value, const char* name);
// BufuserChange with number written in decimal.
void BufuserIntChange(char* buffer, int number, const char* name);
// Terminates in place and returns the value of name in the area (at most limit bytes; 0 = to the area's end); null when absent or empty.
char* NameValuePtrZero(char* area, int area_length, const char* name, int limit);
// NameValuePtrZero, or the empty string on the byte after the area (area + area_length) instead of null.
char* NameValueString(char* area, int area_length, const char* name, int limit);
// Sets present[i] to 1 for each expected value among the values of name in the area, else 0; returns how many were found.
int CheckboxForm(char* area, int area_length, const char* name, int count, const char* const* expected, int* present);

#endif
