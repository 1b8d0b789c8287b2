#pragma once
// A compiled gettext catalogue (.mo) of the given pairs, the header entry first as msgfmt
// writes it; a context is "context\x04msgid", as gettext keys it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace rv::test {

inline std::string MakeMo(const std::vector<std::pair<std::string, std::string>>& pairs,
                          bool big_endian = false) {
  std::string out;
  const auto word = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) {
      const int shift = big_endian ? 8 * (3 - i) : 8 * i;
      out += static_cast<char>((v >> shift) & 0xFF);
    }
  };
  const auto n = static_cast<uint32_t>(pairs.size());
  const uint32_t originals = 28;
  const uint32_t translations = originals + 8 * n;
  uint32_t strings = translations + 8 * n;
  word(0x950412de);
  word(0);
  word(n);
  word(originals);
  word(translations);
  word(0);
  word(strings);
  std::string pool;
  std::vector<std::pair<uint32_t, uint32_t>> ids, texts;
  for (const auto& [id, text] : pairs) {
    ids.emplace_back(id.size(), strings + pool.size());
    pool += id + '\0';
  }
  for (const auto& [id, text] : pairs) {
    texts.emplace_back(text.size(), strings + pool.size());
    pool += text + '\0';
  }
  for (const auto& [len, off] : ids) word(len), word(off);
  for (const auto& [len, off] : texts) word(len), word(off);
  return out + pool;
}

}  // namespace rv::test
