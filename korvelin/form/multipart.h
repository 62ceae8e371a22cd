// Fields of a multipart/form-data request body held whole in one writable buffer.
//
// The body's first line (up to its first CR) is the boundary line; a part is
// found by the exact bytes of boundary line, CR LF and its Content-Disposition
// header up to the closing quote of the name, and its content ends before the
// next LF + boundary line. Text lookups accept a boundary line of 1 to 70 bytes,
// file lookups 1 to 450. Lookups return addresses inside the body and terminate
// text values, file names and content types in place; file data is returned with
// its length. The byte right after the body must exist and be zero. The same body
// may be searched again for the same or other fields with the same results.
#ifndef KORVELIN_FORM_MULTIPART_H
#define KORVELIN_FORM_MULTIPART_H

// The text value of name, terminated in place, with its length through length (0 when null); null when absent.
char* NameValueFormdata(char* body, int body_length, const char* name, int* length);
// NameValueFormdata, or the empty string on the zero byte after the body (body + body_length) instead of null.
char* NameValueFormdataNonull(char* body, int body_length, const char* name, int* length);
// The text value of name read as a decimal number (at most limit bytes; 0 = all); 0 when absent.
int NameIntValueFormdata(char* body, int body_length, const char* name, int limit);
// Sets present[i] to 1 for each expected value among the values of name, else 0; returns how many were found.
int CheckboxFormdata(char* body, int body_length, const char* name, int count, const char* const* expected, int* present);
// The data of file part name (not terminated), with its file name, content type and data length; null when absent.
char* FileValueFormdata(char* body, int body_length, const char* name, char** file_name, char** content_type, int* length);

#endif
