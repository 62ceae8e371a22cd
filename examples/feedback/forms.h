// Reading a message from either kind of form body.
#ifndef FEEDBACK_FORMS_H
#define FEEDBACK_FORMS_H

struct Feedback;

// The fields of an application/x-www-form-urlencoded body (zero-terminated, length bytes).
void ReadUrlencoded(const char* body, int length, Feedback* feedback);
// The fields and the attachment of a multipart/form-data body; body + length must be a zero byte.
void ReadMultipart(char* body, int length, Feedback* feedback);

#endif
