// The body of a POST request, read whole from standard input as CONTENT_LENGTH
// announces it, ready for the decoder and the record and multipart lookups.
#ifndef KORVELIN_FORM_REQUEST_BODY_H
#define KORVELIN_FORM_REQUEST_BODY_H

// The kinds of form body, as CONTENT_TYPE names them; join them with | to accept either.
enum BodyType {
  BodyUrlencoded = 1,  // application/x-www-form-urlencoded
  BodyMultipart = 2,   // multipart/form-data
};

// What ReadRequestBody did. Only BodyNoMemory is journaled: every other refusal is
// the visitor's to see, on the error page the program answers with.
enum BodyStatus {
  BodyRead = 0,   // the body is in the buffer
  BodyWrongType,  // CONTENT_TYPE absent, or not one of the kinds accepted
  BodyNoLength,   // CONTENT_LENGTH absent or empty: the request has no body
  BodyBadLength,  // CONTENT_LENGTH not plain decimal digits ("-1", "1e3", " 12", "+5")
  BodyTooLong,    // more bytes announced than the limit
  BodyShort,      // standard input ended or failed before the announced bytes arrived
  BodyNoMemory,   // no buffer could be had (journaled)
};

// Reads the CONTENT_LENGTH bytes of the body from standard input, and not a byte
// more, into a new buffer: the bytes, a zero, then spare zero bytes (negative
// counts as 0). types: the BodyType kinds accepted, 0 to accept any CONTENT_TYPE.
// Out-parameters may be null: *body the buffer (release it with free) or null;
// *length the announced length (INT_MAX when larger) once it is known, else 0;
// *type the BodyType that CONTENT_TYPE names, 0 for any other.
BodyStatus ReadRequestBody(int limit, int spare, int types, char** body, int* length, int* type);

#endif
