#include "html_text.h"

std::string HtmlText(const char* raw, int length, std::size_t most) {
  std::string text;
  for (int i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(raw[i]);
    if (c < 0x20) continue;  // line breaks too: every stored value is one line
    std::string piece;
    switch (c) {
      case '&': piece = "&amp;"; break;
      case '"': piece = "&quot;"; break;
      case '<': piece = "&lt;"; break;
      case '>': piece = "&gt;"; break;
      default: piece.assign(1, static_cast<char>(c));
    }
    if (text.size() + piece.size() > most) break;
    text += piece;
  }
  return text;
}
