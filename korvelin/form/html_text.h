// Raw text made HTML-safe the way the form decoder makes its values: for the
// values of multipart bodies, file names, CGI variables and any other text that
// arrives unescaped.
#ifndef KORVELIN_FORM_HTML_TEXT_H
#define KORVELIN_FORM_HTML_TEXT_H

// Writes the first length bytes of source to output (capacity bytes, terminator
// included) with '&', '"', '<' and '>' as "&amp;", "&quot;", "&lt;" and "&gt;",
// bytes below 0x20 dropped and 0xA0 written as a space; stops before a byte or
// entity that would not fit, so the output never ends inside an entity. Returns
// the number of source bytes taken: length when the whole text fitted.
int HtmlSafeText(const char* source, int length, char* output, int capacity);

#endif
