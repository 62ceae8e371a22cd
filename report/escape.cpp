#include "report/escape.h"

#include "korvelin/form/internal/html_entities.h"

namespace {
bool Control(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }
}  // namespace

void AppendPrintable(std::string* out, std::string_view text) {
  for (char c : text) out->push_back(Control(c) ? '?' : c);
}

void AppendHtml(std::string* out, std::string_view text) {
  for (char c : text) {
    // The page also puts texts between single quotes, which form values never meet.
    if (const HtmlEntity* entity = HtmlEntityOf(c)) {
      out->append(entity->text, entity->length);
    } else if (c == '\'') {
      out->append("&#39;");
    } else {
      out->push_back(Control(c) ? '?' : c);
    }
  }
}

void AppendCsvField(std::string* out, std::string_view text) {
  bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quoted) {
    out->append(text);
    return;
  }
  out->push_back('"');
  for (char c : text) {
    if (c == '"') out->push_back('"');
    out->push_back(c);
  }
  out->push_back('"');
}
