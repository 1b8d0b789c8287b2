#pragma once
// Whether a UTF-8 text holds a code point of Japanese script: kana, kanji, Japanese
// punctuation or a full-width form. Tests look at what was written, not at pixels.

#include <cstdint>
#include <string_view>

namespace rv::test {

inline bool IsJapaneseCodePoint(uint32_t c) {
  return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

// The first Japanese code point of `utf8`, or 0.
inline uint32_t FirstJapaneseCodePoint(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    uint32_t c = b;
    std::size_t n = 1;
    if (b >= 0xF0) {
      c = b & 0x07u, n = 4;
    } else if (b >= 0xE0) {
      c = b & 0x0Fu, n = 3;
    } else if (b >= 0xC0) {
      c = b & 0x1Fu, n = 2;
    }
    for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k) {
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    }
    if (IsJapaneseCodePoint(c)) return c;
    i += n;
  }
  return 0;
}

}  // namespace rv::test
