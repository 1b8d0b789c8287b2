#include "start/command_line.h"

#include <algorithm>

namespace rv {

bool IsLanguageCode(std::string_view code) {
  if (code.empty() || code.size() > 10) return false;
  return std::all_of(code.begin(), code.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
  });
}

namespace {

// The option's name without its one or two dashes and without "=value".
std::string_view OptionName(std::string_view word) {
  word.remove_prefix(word.rfind("--", 0) == 0 ? 2 : 1);
  return word.substr(0, word.find('='));
}

// A whole number from 0 to 100 written in decimal digits alone.
std::optional<int> ParsePercent(std::string_view text) {
  if (text.empty() || text.size() > 3) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > 100) return std::nullopt;
  return value;
}

std::string NotAPercent(std::string_view what, std::string_view text) {
  return std::string(what) + " needs a whole number from 0 to 100, not '" + std::string(text) + "'";
}

const ForeignOption* FindForeign(std::string_view word, const CommandLineRules& rules) {
  if (word.size() < 2 || word[0] != '-') return nullptr;
  const std::string_view name = OptionName(word);
  for (const ForeignOption& option : rules.foreign) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

class Parser {
 public:
  Parser(const std::vector<std::string>& args, const CommandLineRules& rules)
      : args_(args), rules_(rules) {}

  CommandLine Run() {
    while (line_.ok() && next_ < args_.size()) Take(args_[next_++]);
    return line_;
  }

 private:
  void Take(const std::string& word) {
    if (word == "--help") {
      line_.help = true;
    } else if (word == "--version") {
      line_.version = true;
    } else if (word == "--window" && rules_.game_options) {
      line_.window = true;
    } else if (word == "--volume" && rules_.game_options) {
      if (next_ == args_.size()) return Fail("option '--volume' needs a value");
      TakeVolume(args_[next_++]);
    } else if (word.rfind("--volume=", 0) == 0 && rules_.game_options) {
      TakeVolume(word.substr(9));
    } else if (word == "--lang") {
      if (next_ == args_.size()) return Fail("option '--lang' needs a value");
      TakeLanguage(args_[next_++]);
    } else if (word.rfind("--lang=", 0) == 0) {
      TakeLanguage(word.substr(7));
    } else if (const ForeignOption* foreign = FindForeign(word, rules_)) {
      // A value after "=" is part of the word; otherwise the next word is the value.
      if (foreign->takes_value && word.find('=') == std::string::npos) {
        if (next_ == args_.size()) return Fail("option '" + word + "' needs a value");
        ++next_;
      }
    } else if (word.size() > 1 && word[0] == '-') {
      Fail("unknown option '" + word + "'");
    } else {
      Fail("unexpected argument '" + word + "'");
    }
  }

  void TakeLanguage(const std::string& code) {
    if (!IsLanguageCode(code)) {
      return Fail("'" + code + "' is not a language (letters and '_', at most 10)");
    }
    line_.lang = code;
  }

  void TakeVolume(const std::string& text) {
    line_.volume = ParsePercent(text);
    if (!line_.volume) Fail(NotAPercent("option '--volume'", text));
  }

  void Fail(std::string why) { line_.error = std::move(why); }

  const std::vector<std::string>& args_;
  const CommandLineRules& rules_;
  size_t next_ = 0;
  CommandLine line_;
};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args, const CommandLineRules& rules) {
  return Parser(args, rules).Run();
}

VolumeChoice ChooseVolume(const std::optional<int>& option, const char* variable) {
  if (option) return {*option, ""};
  if (variable == nullptr || *variable == '\0') return {};
  const std::optional<int> percent = ParsePercent(variable);
  if (!percent) return {100, NotAPercent(kVolumeVariable, variable)};
  return {*percent, ""};
}

std::string UsageText(const CommandLineRules& rules) {
  const std::string program(rules.program);
  std::string text = "Usage: " + program +
                     (rules.game_options ? " [--window] [--volume PERCENT]" : "") +
                     " [--lang LANG]\n       " + program + " --help | --version\n\nOptions:\n";
  if (rules.game_options) {
    text +=
        "  --window      play in a window instead of full-screen\n"
        "                (F11 or Alt+Enter switches at any moment)\n"
        "  --volume PERCENT\n"
        "                music and effects at 0 to 100 % (default 100);\n"
        "                0 plays without sound and opens no sound device\n";
  }
  text +=
      "  --lang LANG   the language of the game's text: ja (default) or en\n"
      "  --help        show this help and exit\n"
      "  --version     show the version and exit\n"
      "\nRAVOLIN_LANG=LANG in the environment chooses the language when --lang is not given.\n";
  if (rules.game_options) {
    text += "RAVOLIN_VOLUME=PERCENT chooses the volume when --volume is not given.\n";
  }
  if (!rules.foreign.empty()) {
    text +=
        "\nQt's own options (-platform NAME, -display DISPLAY, -style STYLE, ...) are passed on.\n";
  }
  return text;
}

std::string VersionText(std::string_view program) {
  return std::string(program) + " " + std::to_string(RV_VERSION_MAJOR) + "." +
         std::to_string(RV_VERSION_MINOR) + "\n";
}

}  // namespace rv
