#include "start/language_choice.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "start/command_line.h"
#include "storage/stored_file.h"

namespace rv {

namespace {

std::string TooLarge(const std::filesystem::path& file, const std::string& size) {
  return file.string() + ": " + size + ", larger than any catalogue (at most " +
         std::to_string(kMaxCatalogueBytes) + " bytes)";
}

// The bytes of a catalogue, refused by their size before any is read: a huge file in a
// catalogue's place must not cost its size in memory. The size fstat reports is believed only
// as a refusal; the read itself stops once past the limit, for a file whose size says nothing
// (a file of /proc reports 0).
bool ReadCatalogueBytes(const std::filesystem::path& file, std::string& bytes, std::string* error) {
  const StoredFileOpen opened = OpenStoredFile(file, O_RDONLY);
  if (!opened.ok()) {
    *error = opened.Failure(FileAction::kOpen, file).English();
    return false;
  }
  const struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{opened.fd};
  struct stat st {};
  if (::fstat(opened.fd, &st) != 0) {
    *error = FileFailure{FileAction::kRead, file, errno}.English();
    return false;
  }
  if (st.st_size > static_cast<off_t>(kMaxCatalogueBytes)) {
    *error = TooLarge(file, std::to_string(st.st_size) + " bytes");
    return false;
  }
  // One read-ahead of 8 bytes says "too large": reads then keep to multiples of 8, which some
  // files of /proc require.
  std::vector<uint8_t> read;
  if (!ReadToEnd(opened.fd, read, kMaxCatalogueBytes + 8)) {
    *error = FileFailure{FileAction::kRead, file, errno}.English();
    return false;
  }
  if (read.size() > kMaxCatalogueBytes) {
    *error = TooLarge(file, "more than " + std::to_string(kMaxCatalogueBytes) + " bytes");
    return false;
  }
  bytes.assign(read.begin(), read.end());
  return true;
}

}  // namespace

std::string RequestedLanguage(const std::optional<std::string>& option, const char* variable) {
  if (option) return *option;
  if (variable != nullptr && *variable != '\0') return variable;
  return std::string(kBaseLanguage);
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
    if (code != kBaseLanguage && IsLanguageCode(code) &&
        std::filesystem::is_regular_file(CatalogueFile(program_folder, code), ec)) {
      codes.push_back(code);
    }
  }
  std::sort(codes.begin(), codes.end());
  codes.insert(codes.begin(), std::string(kBaseLanguage));
  return codes;
}

LanguageLoad LoadLanguage(const std::filesystem::path& program_folder, const std::string& code) {
  LanguageLoad load{false, Language(code, Catalogue()), ""};
  if (code == kBaseLanguage) {
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
  std::string bytes;
  if (!ReadCatalogueBytes(file, bytes, &load.error)) return load;
  std::string why;
  const std::optional<Catalogue> words = Catalogue::Parse(bytes, &why);
  if (!words) {
    load.error = file.string() + ": " + why;
    return load;
  }
  load.language.words = *words;
  return load;
}

LanguageLoad ChooseLanguage(const std::filesystem::path& program_folder,
                            const std::optional<std::string>& option) {
  return LoadLanguage(program_folder, RequestedLanguage(option, std::getenv(kLanguageVariable)));
}

}  // namespace rv
