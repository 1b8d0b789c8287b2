// Every Japanese text of the programs is marked for the catalogues, and every catalogue of
// the build says each of them in its own language, keeping the numbered places.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "start/language_choice.h"
#include "support/japanese_text.h"
#include "support/temp_folder.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The sources whose texts reach a player: the programs and the picture generator.
std::vector<fs::path> PlayerFacingSources() {
  std::vector<fs::path> files;
  for (const char* root : {"src", "tools/assets"}) {
    for (const auto& e : fs::recursive_directory_iterator(fs::path(RV_SOURCE_DIR) / root)) {
      const std::string ext = e.path().extension().string();
      if (ext == ".cpp" || ext == ".h") files.push_back(e.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string Unescape(std::string_view quoted) {
  std::string out;
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    if (quoted[i] != '\\' || i + 1 == quoted.size()) {
      out += quoted[i];
      continue;
    }
    const char e = quoted[++i];
    out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
  }
  return out;
}

// The msgids of a .pot file as xgettext writes them (one "..." per line, joined), each with
// its context in front of an EOT as the catalogue keys it.
std::vector<std::string> PotMessages(const std::string& pot) {
  std::vector<std::string> ids;
  std::istringstream in(pot);
  std::string line;
  std::string* current = nullptr;
  std::string context;
  while (std::getline(in, line)) {
    if (line.rfind("msgctxt \"", 0) == 0) {
      context = Unescape(std::string_view(line).substr(9, line.size() - 10)) + '\x04';
      continue;
    }
    if (line.rfind("msgid \"", 0) == 0) {
      ids.emplace_back(std::move(context));
      context.clear();
      current = &ids.back();
      line = line.substr(6);
    } else if (line.empty() || line[0] != '"') {
      current = nullptr;
      continue;
    }
    if (current != nullptr && line.size() >= 2) {
      *current += Unescape(std::string_view(line).substr(1, line.size() - 2));
    }
  }
  ids.erase(std::remove(ids.begin(), ids.end(), std::string()), ids.end());
  return ids;
}

// The string literals of C++ source text holding Japanese, with their line; comments and
// character literals are skipped.
std::vector<std::pair<int, std::string>> JapaneseLiterals(const std::string& source) {
  std::vector<std::pair<int, std::string>> found;
  int line = 1;
  for (std::size_t i = 0; i < source.size(); ++i) {
    const char c = source[i];
    if (c == '\n') ++line;
    if (c == '/' && i + 1 < source.size() && source[i + 1] == '/') {
      while (i < source.size() && source[i] != '\n') ++i;
      ++line;
    } else if (c == '/' && i + 1 < source.size() && source[i + 1] == '*') {
      const std::size_t end = source.find("*/", i + 2);
      const std::size_t stop = end == std::string::npos ? source.size() : end + 1;
      line += static_cast<int>(std::count(source.begin() + i, source.begin() + stop, '\n'));
      i = stop;
    } else if (c == '\'' || c == '"') {
      std::string text;
      std::size_t j = i + 1;
      for (; j < source.size() && source[j] != c && source[j] != '\n'; ++j) {
        if (source[j] == '\\' && j + 1 < source.size()) text += source[j++];
        text += source[j];
      }
      if (c == '"' && FirstJapaneseCodePoint(text) != 0) found.emplace_back(line, Unescape(text));
      i = j;
    }
  }
  return found;
}

std::set<char> Places(const std::string& text) {
  std::set<char> places;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') places.insert(text[i + 1]);
  }
  return places;
}

class CatalogueCompleteness : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path list = temp_.path() / "sources.txt";
    std::ofstream files(list);
    for (const fs::path& f : PlayerFacingSources()) files << f.string() << "\n";
    files.close();
    const fs::path pot = temp_.path() / "marked.pot";
    const std::string command =
        std::string(RV_XGETTEXT) +
        " -C --from-code=UTF-8 --keyword=Tr --keyword=tr"
        " --keyword=TextId --keyword=QTr:2 --keyword=TrIn:1c,2 --no-wrap -o '" +
        pot.string() + "' -f '" + list.string() + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (std::string& id : PotMessages(ReadText(pot))) {
      if (FirstJapaneseCodePoint(id) != 0) marked_.push_back(std::move(id));
    }
  }

  bool IsMarked(const std::string& literal) const {
    return std::any_of(marked_.begin(), marked_.end(), [&](const std::string& id) {
      return id.find(literal) != std::string::npos;
    });
  }

  TempFolder temp_;
  std::vector<std::string> marked_;
};

TEST_F(CatalogueCompleteness, EveryJapaneseTextOfTheSourcesIsMarked) {
  ASSERT_GT(marked_.size(), 50u) << "the extraction found too little to be working";
  int unmarked = 0;
  for (const fs::path& file : PlayerFacingSources()) {
    for (const auto& [line, text] : JapaneseLiterals(ReadText(file))) {
      if (IsMarked(text)) continue;
      ++unmarked;
      ADD_FAILURE() << file.string() << ":" << line << ": \"" << text
                    << "\" is not marked (Tr, TextId or QTr) for the catalogues";
    }
  }
  EXPECT_EQ(unmarked, 0);
}

TEST_F(CatalogueCompleteness, TheScannerFindsAnUnmarkedTextAndSkipsComments) {
  const std::string source =
      "// \"コメント\"\nconst char* a = \"未登録の文\";\n/* \"これも\" */ char c = '\"';\n"
      "auto b = words.Tr(\"得点\");\n";
  const auto literals = JapaneseLiterals(source);
  ASSERT_EQ(literals.size(), 2u);
  EXPECT_EQ(literals[0], (std::pair<int, std::string>{2, "未登録の文"}));
  EXPECT_EQ(literals[1].first, 4);
  EXPECT_FALSE(IsMarked("未登録の文"));
  EXPECT_TRUE(IsMarked("得点"));
}

TEST_F(CatalogueCompleteness, EachLanguageSaysEveryMarkedTextKeepingItsPlaces) {
  std::vector<std::string> languages;
  std::istringstream list(RV_LANGUAGES);
  for (std::string code; std::getline(list, code, ';');) {
    if (!code.empty()) languages.push_back(code);
  }
  ASSERT_FALSE(languages.empty()) << "no catalogue was built";
  for (const std::string& code : languages) {
    SCOPED_TRACE(code);
    const LanguageLoad load = LoadLanguage(RV_DIST_DIR, code);
    ASSERT_TRUE(load.known && load.error.empty()) << load.error;
    for (const std::string& id : marked_) {
      if (!load.language.words.Has(id)) {
        ADD_FAILURE() << "no " << code << " text for \"" << id << "\"";
        continue;
      }
      const std::string text = load.language.words.Tr(id);
      EXPECT_EQ(Places(text), Places(id)) << "\"" << id << "\" -> \"" << text << "\"";
    }
  }
}

}  // namespace
}  // namespace rv::test
