#pragma once
// A language's words for the Japanese texts of the programs. The Japanese text is the key
// (gettext's msgid), so the default language needs no catalogue at all: an empty Catalogue
// gives every text back as it was written.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace rv {

// Marks a Japanese text for the catalogues where it is defined (a table, a constant) and is
// translated later by Catalogue::Tr; the extraction of the messages looks for both names.
constexpr const char* TextId(const char* japanese) { return japanese; }

class Catalogue {
 public:
  Catalogue() = default;

  // Reads a compiled catalogue (a GNU .mo file, either byte order). Plural forms are not
  // used by these programs and are skipped; the header entry is skipped too.
  // A file whose tables point outside it is refused with a reason in *error.
  static std::optional<Catalogue> Parse(std::string_view mo, std::string* error);

  // The text in this catalogue's language, or the Japanese itself when it has none.
  std::string Tr(std::string_view japanese) const;
  // The same for a text that means something else in `context` (gettext's msgctxt), where
  // one Japanese text needs two translations.
  std::string TrIn(std::string_view context, std::string_view japanese) const;
  bool Has(std::string_view japanese) const;
  std::size_t size() const { return texts_.size(); }
  bool empty() const { return texts_.empty(); }

 private:
  std::map<std::string, std::string, std::less<>> texts_;
};

}  // namespace rv
