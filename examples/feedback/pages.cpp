#include "pages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <korvelin/form/html_text.h>
#include <korvelin/storage/error_page.h>

#include "feedback.h"

namespace {
// The pages are Windows-1251 and say so, so that browsers send the forms back in it.
constexpr char kHeader[] = "Content-Type: text/html; charset=WINDOWS-1251\n\n";

// The address the forms post to: this program's own, as the web server names it.
std::string ScriptAddress() {
  const char* script = getenv("SCRIPT_NAME");
  if (script == nullptr) return "";
  char address[1025];
  HtmlSafeText(script, static_cast<int>(strnlen(script, sizeof address)), address, sizeof address);
  return address;
}

void Begin(const char* title) {
  printf("%s<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">\n"
         "<title>%s</title>\n</head>\n<body>\n<h1>%s</h1>\n",
         kHeader, title, title);
}

void End() {
  printf("</body>\n</html>\n");
  fflush(stdout);
}
}  // namespace

void WriteFormPage() {
  std::string action = ScriptAddress();
  Begin("Feedback");
  printf("<form method=\"post\" action=\"%s\">\n"
         "<p>Name: <input name=\"nick\" maxlength=\"%d\"></p>\n"
         "<p>E-mail: <input name=\"email\" maxlength=\"%d\"></p>\n"
         "<p>Message (&lt;b&gt;, &lt;i&gt; and &lt;u&gt; are kept):<br>\n"
         "<textarea name=\"message10biu\" rows=\"8\" cols=\"60\"></textarea></p>\n"
         "<p><input type=\"submit\" value=\"Send\"></p>\n"
         "</form>\n",
         action.c_str(), NikMaxLen, kEmailMax);
  printf("<h2>Send a screenshot</h2>\n"
         "<form method=\"post\" action=\"%s\" enctype=\"multipart/form-data\">\n"
         "<p>Name: <input name=\"nick\" maxlength=\"%d\"></p>\n"
         "<p>E-mail: <input name=\"email\" maxlength=\"%d\"></p>\n"
         "<p>What it shows: <input name=\"note\" size=\"60\"></p>\n"
         "<p>File (up to 60 KB): <input type=\"file\" name=\"attachment\"></p>\n"
         "<p><input type=\"submit\" value=\"Send\"></p>\n"
         "</form>\n",
         action.c_str(), NikMaxLen, kEmailMax);
  End();
}

void WriteThanksPage(const Feedback& feedback) {
  Begin("Thank you");
  // Every text was made HTML-safe when it was read from the form.
  printf("<p>Thank you, %s. Your message has been saved:</p>\n<blockquote>%s</blockquote>\n",
         feedback.nick, feedback.message.c_str());
  if (feedback.attached) {
    printf("<p>Attachment: %s (%s, %d bytes)</p>\n", feedback.file_name.c_str(),
           feedback.file_type.c_str(), feedback.file_size);
  }
  End();
}

void WriteProblem(const char* title, const char* hint) { WriteErr(title, hint, 0, 1, 1); }
