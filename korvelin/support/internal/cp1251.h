// Windows-1251 texts written readably in the sources (internal).
//
// The program's texts are single-byte Windows-1251. The sources are UTF-8, so a
// Russian text is written as a u8 literal and converted here at compile time:
//   static constexpr auto kTitle = Cp1251(u8"Ошибка");   // kTitle.c_str()
// Only ASCII and the Russian alphabet (А to я, Ё, ё) are accepted; any other
// character stops the compilation.
#ifndef KORVELIN_SUPPORT_CP1251_H
#define KORVELIN_SUPPORT_CP1251_H

#include <cstddef>

template <std::size_t N>
struct Cp1251Text {
  char bytes[N] = {};   // the converted text and its terminator, then unused zeros
  std::size_t size = 0;  // bytes before the terminator

  constexpr const char* c_str() const { return bytes; }
};

namespace cp1251_detail {
// Sets code to the Windows-1251 byte of a two-byte UTF-8 Cyrillic letter.
consteval unsigned char Cyrillic(unsigned codepoint) {
  if (codepoint >= 0x410 && codepoint <= 0x44F) return static_cast<unsigned char>(codepoint - 0x410 + 0xC0);
  if (codepoint == 0x401) return 0xA8;  // Ё
  if (codepoint == 0x451) return 0xB8;  // ё
  throw "character outside ASCII and the Russian alphabet";
}
}  // namespace cp1251_detail

template <std::size_t N>
consteval Cp1251Text<N> Cp1251(const char8_t (&utf8)[N]) {
  Cp1251Text<N> text;
  std::size_t in = 0;
  while (in + 1 < N) {
    unsigned lead = utf8[in];
    if (lead < 0x80) {
      text.bytes[text.size++] = static_cast<char>(lead);
      in += 1;
    } else if ((lead & 0xE0) == 0xC0 && in + 2 < N) {
      unsigned codepoint = ((lead & 0x1F) << 6) | (utf8[in + 1] & 0x3F);
      text.bytes[text.size++] = static_cast<char>(cp1251_detail::Cyrillic(codepoint));
      in += 2;
    } else {
      throw "character outside ASCII and the Russian alphabet";
    }
  }
  return text;
}

#endif
