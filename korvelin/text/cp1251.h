// Windows-1251 texts written readably in UTF-8 sources, converted by the compiler.
//
//   WriteErr(W1251(u8"Сообщение не сохранено"), W1251(u8"Попробуйте ещё раз."), 1, 1, 1);
//   static constexpr auto kTitle = Cp1251(u8"Ошибка");  // kTitle.c_str(), kTitle.size
//
// Every character that Windows-1251 has is accepted: ASCII, the Cyrillic letters
// (Russian, Ukrainian, Belarusian, Serbian, Macedonian) and the signs among them
// (№ € « » — – … ‘ ’ “ ” • © ® ™ § ° ± the no-break space and the soft hyphen).
// Any other character, or bytes that are not UTF-8, stop the compilation.
#ifndef KORVELIN_TEXT_CP1251_H
#define KORVELIN_TEXT_CP1251_H

#include <cstddef>
#include <cstdlib>

// A converted text: its Windows-1251 bytes and terminator, then unused zeros.
template <std::size_t N>
struct Cp1251Text {
  char bytes[N] = {};
  std::size_t size = 0;  // bytes before the terminator

  constexpr const char* c_str() const { return bytes; }
};

namespace cp1251_detail {

// Reached only for text that has no Windows-1251 form. It is not constexpr, so a
// constant expression that reaches it is ill-formed and the compiler names it.
[[noreturn]] inline void character_outside_windows_1251() { std::abort(); }

// The characters of the bytes 0x80 to 0xBF; 0x98 has none. From 0xC0 to 0xFF the
// bytes are А to я in alphabetical order.
inline constexpr char16_t kHighHalf[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
};
inline constexpr char32_t kCapitalA = 0x0410;

constexpr char Byte(char32_t character) {
  if (character < 0x80) return static_cast<char>(character);
  if (character >= kCapitalA && character < kCapitalA + 64) {
    return static_cast<char>(0xC0 + (character - kCapitalA));
  }
  for (int i = 0; i < 64; ++i) {
    if (kHighHalf[i] == character) return static_cast<char>(0x80 + i);
  }
  character_outside_windows_1251();
}

// Windows-1251 has no character beyond U+FFFF, so sequences of one to three bytes
// are read and anything else is refused, as are overlong forms.
template <typename Char, std::size_t N>
constexpr Cp1251Text<N> Convert(const Char (&utf8)[N]) {
  Cp1251Text<N> text;
  std::size_t in = 0;
  while (in + 1 < N) {
    unsigned char lead = static_cast<unsigned char>(utf8[in]);
    std::size_t extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead < 0xE0 ? 1 : lead >= 0xE0 && lead < 0xF0 ? 2 : 3;
    if (extra == 3 || in + extra + 1 >= N) character_outside_windows_1251();
    char32_t character = extra == 0 ? lead : extra == 1 ? lead & 0x1F : lead & 0x0F;
    for (std::size_t i = 1; i <= extra; ++i) {
      unsigned char next = static_cast<unsigned char>(utf8[in + i]);
      if ((next & 0xC0) != 0x80) character_outside_windows_1251();
      character = (character << 6) | (next & 0x3F);
    }
    if (extra == 2 && character < 0x800) character_outside_windows_1251();
    text.bytes[text.size++] = Byte(character);
    in += extra + 1;
  }
  return text;
}

}  // namespace cp1251_detail

// In C++20 every call is made by the compiler; in C++17 make it so by initialising
// a constexpr variable, or use W1251.
#if defined(__cpp_consteval)
#define KORVELIN_CP1251_CONVERSION consteval
#else
#define KORVELIN_CP1251_CONVERSION constexpr
#endif

template <std::size_t N>
KORVELIN_CP1251_CONVERSION Cp1251Text<N> Cp1251(const char (&utf8)[N]) {
  return cp1251_detail::Convert(utf8);
}
#if defined(__cpp_char8_t)
template <std::size_t N>
KORVELIN_CP1251_CONVERSION Cp1251Text<N> Cp1251(const char8_t (&utf8)[N]) {
  return cp1251_detail::Convert(utf8);
}
#endif

#undef KORVELIN_CP1251_CONVERSION

// The Windows-1251 form of a UTF-8 string literal, converted by the compiler, as a
// const char* to bytes that live as long as the program.
#define W1251(utf8)                                   \
  ([]() -> const char* {                              \
    static constexpr auto kW1251Text = ::Cp1251(utf8); \
    return kW1251Text.c_str();                        \
  }())

#endif
