#pragma once
// Which language the game and the dialog speak: Japanese unless the player asks for
// another by option or by RAVOLIN_LANG. The locale alone never switches it. A language is
// known when its compiled catalogue lies in the program folder, so a translator adds one
// with a catalogue (and its pictures) and no change of code.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/language.h"

namespace rv {

inline constexpr const char* kLanguageVariable = "RAVOLIN_LANG";
// Far above any real catalogue (the English one is about 10 kB); a larger file is refused
// unread.
inline constexpr std::size_t kMaxCatalogueBytes = 1024 * 1024;

// The option wins over the variable; neither (or an empty variable) gives Japanese.
std::string RequestedLanguage(const std::optional<std::string>& option, const char* variable);

// PROGRAM_FOLDER/locale/CODE/LC_MESSAGES/ravolin.mo
std::filesystem::path CatalogueFile(const std::filesystem::path& program_folder,
                                    std::string_view code);

// Japanese, then every language whose catalogue is in the program folder, sorted.
std::vector<std::string> KnownLanguages(const std::filesystem::path& program_folder);

struct LanguageLoad {
  bool known = false;  // false: no such language here (a usage error for the caller)
  Language language;   // the code asked for; Japanese words when it has no catalogue
  std::string error;   // English, for standard error, when !known or the catalogue is broken
};

// The catalogue of `code`. A code that is not letters and underscores, or has no catalogue,
// is not known. A catalogue that exists but cannot be read or parsed, or is larger than
// kMaxCatalogueBytes, is known but broken: `error` names the file and says why, and the words
// stay Japanese, so a damaged install still plays.
LanguageLoad LoadLanguage(const std::filesystem::path& program_folder, const std::string& code);

// The language a program is asked for (the option, else RAVOLIN_LANG), loaded from its folder.
LanguageLoad ChooseLanguage(const std::filesystem::path& program_folder,
                            const std::optional<std::string>& option);

}  // namespace rv
