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

#include <cstdlib>
#include <cstring>

#include <korvelin/form/request_body.h>
#include <korvelin/storage/error_page.h>

#include "feedback.h"
#include "forms.h"
#include "pages.h"

namespace {
// The largest request body read: the message, or the screenshot and its form.
constexpr int kBodyLimit = 64 * 1024;

void AnswerPost() {
  char* body;
  int length;
  int type;
  BodyStatus status = ReadRequestBody(kBodyLimit, 0, BodyUrlencoded | BodyMultipart, &body, &length, &type);
  if (status != BodyRead) {
    // A body that is too long, announced wrongly or cut short is the sender's
    // problem; a failed allocation is the site's (already journaled), and a reload may help.
    if (status == BodyNoMemory) {
      WriteReadErr();
    } else {
      WritePathErr();
    }
    return;
  }
  Feedback feedback;
  if (type == BodyUrlencoded) {
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
