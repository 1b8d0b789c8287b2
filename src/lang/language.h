#pragma once
// The language a program speaks, chosen once at its start: its code names its catalogue and
// its pictures, its words translate our Japanese texts. It has no default, so that a part
// which forgets it does not silently speak Japanese.

#include <string>
#include <string_view>
#include <utility>

#include "lang/catalogue.h"

namespace rv {

// The language the texts are written in: it needs no catalogue.
inline constexpr std::string_view kBaseLanguage = "ja";

struct Language {
  Language(std::string language_code, Catalogue language_words)
      : code(std::move(language_code)), words(std::move(language_words)) {}
  static Language Japanese() { return Language(std::string(kBaseLanguage), Catalogue()); }

  std::string code;
  Catalogue words;  // empty for Japanese (and for a language whose catalogue is broken)
};

}  // namespace rv
