// feedback.cgi: a feedback form built on the korvelin CGI support library.
//
//   GET   the page with the two forms
//   POST  application/x-www-form-urlencoded: name, e-mail and message
//   POST  multipart/form-data: name, e-mail, a note and a small attachment
//
// A posted message is checked, appended to a paired-file store in the directory
// fixed at build time, and answered with a thank-you page; a request that cannot
// be read is answered with the library's error page.
#include <signal.h>
#include <strings.h>

#include <cstdlib>
#include <cstring>

#include <korvelin/storage/error_page.h>

#include "feedback.h"
#include "forms.h"
#include "pages.h"
#include "request_body.h"

namespace {
// The largest request body read: the message, or the screenshot and its form.
constexpr int kBodyLimit = 64 * 1024;

// True when the CONTENT_TYPE value names type, with or without parameters after a ";".
bool HasMediaType(const char* content_type, const char* type) {
  if (content_type == nullptr) return false;
  size_t n = strlen(type);
  return strncasecmp(content_type, type, n) == 0 &&
         (content_type[n] == '\0' || content_type[n] == ';' || content_type[n] == ' ');
}

void AnswerPost() {
  const char* type = getenv("CONTENT_TYPE");
  bool urlencoded = HasMediaType(type, "application/x-www-form-urlencoded");
  if (!urlencoded && !HasMediaType(type, "multipart/form-data")) {
    WritePathErr();
    return;
  }
  int length;
  char* body = ReadRequestBody(kBodyLimit, &length);
  if (body == nullptr) {
    WritePathErr();
    return;
  }
  Feedback feedback;
  if (urlencoded) {
    ReadUrlencoded(body, length, &feedback);
  } else {
    ReadMultipart(body, length, &feedback);
  }
  free(body);
  Answer(feedback);
}
}  // namespace

int main() {
  // A visitor who leaves before the answer must not end the program half-way.
  signal(SIGPIPE, SIG_IGN);
  const char* method = getenv("REQUEST_METHOD");
  if (method != nullptr && strcmp(method, "POST") == 0) {
    AnswerPost();
  } else if (method == nullptr || strcmp(method, "GET") == 0 || strcmp(method, "HEAD") == 0) {
    WriteFormPage();
  } else {
    WritePathErr();
  }
  return 0;
}
