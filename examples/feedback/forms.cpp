#include "forms.h"

#include <cstring>
#include <string>
#include <vector>

#include <korvelin/form/decoder.h>
#include <korvelin/form/html_text.h>
#include <korvelin/form/multipart.h>
#include <korvelin/form/records.h>

#include "feedback.h"

namespace {
// The longest message or note kept, in bytes of HTML-safe text.
constexpr std::size_t kMessageMax = 4000;
constexpr std::size_t kFileNameMax = 255;
constexpr std::size_t kFileTypeMax = 100;

// Raw text made HTML-safe, at most most bytes of it.
std::string SafeText(const char* raw, int length, std::size_t most) {
  std::string text(most + 1, '\0');
  HtmlSafeText(raw, length, &text[0], static_cast<int>(text.size()));
  text.resize(strlen(text.c_str()));
  return text;
}
}  // namespace

void ReadUrlencoded(const char* body, int length, Feedback* feedback) {
  // The decoder writes each source byte as at most six ('"' becomes "&quot;") and
  // stops 14 bytes before the end of its room, so this room never cuts a field.
  int capacity = 6 * length + 16;
  std::vector<char> decoded(capacity);
  CoderEnviroment(body, decoded.data(), capacity);

  // The decoded text is a record buffer: one name=value line per field.
  char* fields = decoded.data();
  NameValue(fields, feedback->nick, "nick", kNickInputMax);
  NameValue(fields, feedback->email, "email", kEmailMax);
  // A name ending in "10biu" keeps the user's line breaks as <br> and the tags b, i, u.
  // NameValueString terminates the value in place, so it is read last.
  const char* message = NameValueString(fields, static_cast<int>(strlen(fields)), "message10biu", 0);
  feedback->message.assign(message, strnlen(message, kMessageMax));
}

void ReadMultipart(char* body, int length, Feedback* feedback) {
  // Multipart values arrive as the user typed them: they are made HTML-safe here.
  int n;
  char* value = NameValueFormdataNonull(body, length, "nick", &n);
  HtmlSafeText(value, n, feedback->nick, sizeof feedback->nick);
  value = NameValueFormdataNonull(body, length, "email", &n);
  HtmlSafeText(value, n, feedback->email, sizeof feedback->email);
  value = NameValueFormdataNonull(body, length, "note", &n);
  feedback->message = SafeText(value, n, kMessageMax);

  char* file_name;
  char* file_type;
  int size;
  const char* data = FileValueFormdata(body, length, "attachment", &file_name, &file_type, &size);
  // A form sent without choosing a file still has the part, with an empty file name.
  if (data == nullptr || file_name[0] == '\0') return;
  feedback->attached = true;
  feedback->file_name = SafeText(file_name, static_cast<int>(strlen(file_name)), kFileNameMax);
  feedback->file_type = SafeText(file_type, static_cast<int>(strlen(file_type)), kFileTypeMax);
  feedback->file_size = size;
}
