// HTML error pages: a whole CGI response, header included, on standard output.
#ifndef KORVELIN_STORAGE_ERROR_PAGE_H
#define KORVELIN_STORAGE_ERROR_PAGE_H

// Writes the error page with title and hint (inserted unescaped), the reload link when reload is
// non-zero and the back link when back is non-zero; the fifth flag changes nothing.
void WriteErr(const char* title, const char* hint, int reload, int back, int flag);
// Writes the page for faulty request parameters (back link only).
void WritePathErr();
// Writes the page for a failure to read data (reload and back links).
void WriteReadErr();

#endif
