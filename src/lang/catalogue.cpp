#include "lang/catalogue.h"

#include <cstdint>

namespace rv {

namespace {

constexpr uint32_t kMagic = 0x950412de;
constexpr uint32_t kMagicSwapped = 0xde120495;
constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kEntrySize = 8;

class MoReader {
 public:
  explicit MoReader(std::string_view bytes) : bytes_(bytes) {}

  bool Open() {
    if (bytes_.size() < kHeaderSize) return false;
    const uint32_t magic = Little(0);
    if (magic != kMagic && magic != kMagicSwapped) return false;
    swapped_ = magic == kMagicSwapped;
    return true;
  }
  uint32_t Word(std::size_t at) const {
    const uint32_t value = Little(at);
    return swapped_ ? __builtin_bswap32(value) : value;
  }
  // The string of table entry `index` of the table at `table`; nullopt when out of bounds
  // or not terminated as the format promises.
  std::optional<std::string_view> String(std::size_t table, std::size_t index) const {
    const std::size_t entry = table + index * kEntrySize;
    if (entry > bytes_.size() || bytes_.size() - entry < kEntrySize) return std::nullopt;
    const std::size_t length = Word(entry);
    const std::size_t offset = Word(entry + 4);
    if (offset > bytes_.size() || bytes_.size() - offset <= length) return std::nullopt;
    if (bytes_[offset + length] != '\0') return std::nullopt;
    return bytes_.substr(offset, length);
  }
  std::size_t size() const { return bytes_.size(); }

 private:
  uint32_t Little(std::size_t at) const {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes_[at + i])) << (8 * i);
    }
    return value;
  }

  std::string_view bytes_;
  bool swapped_ = false;
};

}  // namespace

std::optional<Catalogue> Catalogue::Parse(std::string_view mo, std::string* error) {
  MoReader reader(mo);
  if (!reader.Open()) {
    if (error != nullptr) *error = "not a compiled message catalogue (.mo)";
    return std::nullopt;
  }
  if ((reader.Word(4) >> 16) > 1) {
    if (error != nullptr) *error = "a catalogue of an unknown major revision";
    return std::nullopt;
  }
  const std::size_t count = reader.Word(8);
  const std::size_t originals = reader.Word(12);
  const std::size_t translations = reader.Word(16);
  // Each entry takes 8 bytes of the file: a count beyond that cannot be honest.
  if (count > reader.size() / kEntrySize) {
    if (error != nullptr) *error = "the catalogue's message count is larger than the file";
    return std::nullopt;
  }
  Catalogue catalogue;
  for (std::size_t i = 0; i < count; ++i) {
    const std::optional<std::string_view> id = reader.String(originals, i);
    const std::optional<std::string_view> text = reader.String(translations, i);
    if (!id || !text) {
      if (error != nullptr) {
        *error = "message " + std::to_string(i) + " of the catalogue lies outside the file";
      }
      return std::nullopt;
    }
    // The header (empty id) and plural forms (a NUL inside) are not ours. A context stays in
    // the key, before an EOT, as gettext keeps it.
    if (id->empty() || id->find('\0') != std::string_view::npos || text->empty()) {
      continue;
    }
    catalogue.texts_.emplace(std::string(*id), std::string(*text));
  }
  return catalogue;
}

std::string Catalogue::Tr(std::string_view japanese) const {
  const auto found = texts_.find(japanese);
  return found == texts_.end() ? std::string(japanese) : found->second;
}

std::string Catalogue::TrIn(std::string_view context, std::string_view japanese) const {
  std::string key(context);
  key += '\x04';
  key += japanese;
  const auto found = texts_.find(key);
  return found == texts_.end() ? std::string(japanese) : found->second;
}

bool Catalogue::Has(std::string_view japanese) const {
  return texts_.find(japanese) != texts_.end();
}

}  // namespace rv
