#include "korvelin/form/html_text.h"

#include <cstring>

#include "korvelin/form/internal/html_entities.h"

int HtmlSafeText(const char* source, int length, char* output, int capacity) {
  if (capacity < 1) return 0;  // not even a terminator fits
  int room = capacity - 1;
  int written = 0;
  int taken = 0;
  for (; taken < length; ++taken) {
    unsigned char c = static_cast<unsigned char>(source[taken]);
    if (c < kFirstValueByte) continue;
    if (c == kNoBreakSpace) c = ' ';
    const HtmlEntity* entity = HtmlEntityOf(static_cast<char>(c));
    int size = entity != nullptr ? static_cast<int>(entity->length) : 1;
    if (size > room - written) break;
    if (entity != nullptr) {
      std::memcpy(output + written, entity->text, entity->length);
    } else {
      output[written] = static_cast<char>(c);
    }
    written += size;
  }
  output[written] = '\0';
  return taken;
}
