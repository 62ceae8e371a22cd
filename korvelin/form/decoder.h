// Decoding of URL-encoded form input into decoded form text.
//
// The source "name=value&name=value" becomes one line name=value per field, the
// lines joined by CR LF, each value percent-decoded and made safe for an HTML
// page: control bytes removed, '&', '"', '<' and '>' written as entities. A name
// ending in "10" keeps the user's line breaks as "<br>"; a name ending in "biu"
// lets the user's <b>, <i> and <u> tags through. The result is a record buffer
// that the lookups of form/records.h read.
#ifndef KORVELIN_FORM_DECODER_H
#define KORVELIN_FORM_DECODER_H

// Decodes the zero-terminated source into output (capacity bytes, at least 1), cutting it short when room runs out; returns 0.
int CoderEnviroment(const char* source, char* output, int capacity);

#endif
