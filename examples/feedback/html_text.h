// Raw text made safe for an HTML page and for one line of the store.
#ifndef FEEDBACK_HTML_TEXT_H
#define FEEDBACK_HTML_TEXT_H

#include <string>

// The first length bytes of raw with "&", "\"", "<" and ">" written as entities and
// bytes below 0x20 dropped, as the form decoder does; at most most bytes, never
// ending inside an entity.
std::string HtmlText(const char* raw, int length, std::size_t most);

#endif
