#include "report/escape.h"

namespace {
bool Control(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }
}  // namespace

void AppendPrintable(std::string* out, std::string_view text) {
  for (char c : text) out->push_back(Control(c) ? '?' : c);
}

void AppendHtml(std::string* out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out->append("&amp;"); break;
      case '<': out->append("&lt;"); break;
      case '>': out->append("&gt;"); break;
      case '"': out->append("&quot;"); break;
      case '\'': out->append("&#39;"); break;
      default: out->push_back(Control(c) ? '?' : c);
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
