// Writing texts read from hit logs (counter names, addresses, referers) into
// the report's three forms. Any of them may be hostile: none is written raw.
#ifndef KORVELIN_REPORT_ESCAPE_H
#define KORVELIN_REPORT_ESCAPE_H

#include <string>
#include <string_view>

// For a terminal: control bytes become '?', so no text can move the cursor,
// change colours or end a line.
void AppendPrintable(std::string* out, std::string_view text);
// For HTML text and attribute values alike: & < > " ' become references, and
// control bytes, which HTML forbids, become '?'.
void AppendHtml(std::string* out, std::string_view text);
// One CSV field (RFC 4180): quoted, with its quotes doubled, when it holds a
// comma, a quote, a line break or a leading or trailing space.
void AppendCsvField(std::string* out, std::string_view text);

#endif
