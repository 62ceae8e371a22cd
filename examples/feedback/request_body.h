// The body of a POST request, read whole from standard input.
#ifndef FEEDBACK_REQUEST_BODY_H
#define FEEDBACK_REQUEST_BODY_H

// Reads CONTENT_LENGTH bytes into a new buffer (released with free) followed by a zero
// byte, and stores the count through length. Null when the length is missing, is not a
// plain decimal number, exceeds limit, or when standard input ends before it is read.
char* ReadRequestBody(int limit, int* length);

#endif
