// The HTML escapes of form values (internal): what a byte of a value becomes so
// that the value can go into a page as element text or a double-quoted attribute.
#ifndef KORVELIN_FORM_INTERNAL_HTML_ENTITIES_H
#define KORVELIN_FORM_INTERNAL_HTML_ENTITIES_H

#include <cstddef>

struct HtmlEntity {
  char raw;
  const char* text;    // the entity that stands for raw, starting with '&'
  std::size_t length;  // of text
};

// The apostrophe is not among them: values are placed between double quotes.
inline constexpr HtmlEntity kHtmlEntities[] = {
    {'&', "&amp;", 5},
    {'"', "&quot;", 6},
    {'<', "&lt;", 4},
    {'>', "&gt;", 4},
};
inline constexpr std::size_t kLongestHtmlEntity = 6;

constexpr bool EntityLengthsAreTrue() {
  std::size_t longest = 0;
  for (const HtmlEntity& entity : kHtmlEntities) {
    std::size_t length = 0;
    while (entity.text[length] != '\0') ++length;
    if (length != entity.length) return false;
    if (length > longest) longest = length;
  }
  return longest == kLongestHtmlEntity;
}
static_assert(EntityLengthsAreTrue(), "each entity's length and the longest one are counted right");

// The entity that stands for c, or null when c stands for itself.
constexpr const HtmlEntity* HtmlEntityOf(char c) {
  for (const HtmlEntity& entity : kHtmlEntities) {
    if (entity.raw == c) return &entity;
  }
  return nullptr;
}

// Bytes below 0x20 (line breaks and tabs among them) never reach a value: a value
// is one line of a record buffer. The no-break space becomes a plain one.
inline constexpr unsigned char kFirstValueByte = 0x20;
inline constexpr unsigned char kNoBreakSpace = 0xA0;

#endif
