#include "config/language_choice.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "config/stored_file.h"

namespace rv {

namespace {

bool IsLanguageCode(std::string_view code) {
  if (code.empty() || code.size() > 10) return false;
  return std::all_of(code.begin(), code.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  });
}

}  // namespace

std::string RequestedLanguage(const std::optional<std::string>& option, const char* variable) {
  if (option) return *option;
  if (variable != nullptr && *variable != '\0') return variable;
  return std::string(kDefaultLanguage);
}

std::filesystem::path CatalogueFile(const std::filesystem::path& program_folder,
                                    std::string_view code) {
  return program_folder / "locale" / std::string(code) / "LC_MESSAGES" / "ravolin.mo";
}

std::vector<std::string> KnownLanguages(const std::filesystem::path& program_folder) {
  std::vector<std::string> codes;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(program_folder / "locale", ec)) {
    const std::string code = entry.path().filename().string();
    if (code != kDefaultLanguage && IsLanguageCode(code) &&
        std::filesystem::is_regular_file(CatalogueFile(program_folder, code), ec)) {
      codes.push_back(code);
    }
  }
  std::sort(codes.begin(), codes.end());
  codes.insert(codes.begin(), std::string(kDefaultLanguage));
  return codes;
}

LanguageLoad LoadLanguage(const std::filesystem::path& program_folder, const std::string& code) {
  LanguageLoad load;
  load.code = code;
  if (code == kDefaultLanguage) {
    load.known = true;
    return load;
  }
  const std::filesystem::path file = CatalogueFile(program_folder, code);
  std::error_code ec;
  if (!IsLanguageCode(code) || !std::filesystem::exists(file, ec)) {
    load.error = "unknown language '" + code + "' (known here:";
    for (const std::string& known : KnownLanguages(program_folder)) load.error += " " + known;
    load.error += ")";
    return load;
  }
  load.known = true;
  std::vector<uint8_t> bytes;
  if (!ReadStoredFile(file, bytes, &load.error)) return load;
  std::string why;
  const std::optional<Catalogue> words = Catalogue::Parse(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &why);
  if (!words) {
    load.error = file.string() + ": " + why;
    return load;
  }
  load.words = *words;
  return load;
}

}  // namespace rv
