// The command line the game and the dialog share: what is accepted, what is a usage error.

#include "start/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rv {
namespace {

constexpr ForeignOption kQtLike[] = {{"platform", true}, {"reverse", false}};
const CommandLineRules kGame{"ravolin", true, {}};
const CommandLineRules kDialog{"ravolin-config", false, kQtLike};

struct Good {
  std::vector<std::string> args;
  bool help, version, window;
  std::optional<std::string> lang;
  std::optional<int> volume = std::nullopt;
};

TEST(CommandLine, GameAcceptsItsOptions) {
  const Good cases[] = {
      {{}, false, false, false, std::nullopt},
      {{"--help"}, true, false, false, std::nullopt},
      {{"--version"}, false, true, false, std::nullopt},
      {{"--window"}, false, false, true, std::nullopt},
      {{"--lang", "en"}, false, false, false, "en"},
      {{"--lang=ja"}, false, false, false, "ja"},
      {{"--lang", "pt_BR"}, false, false, false, "pt_BR"},
      {{"--lang", "abcdefghij"}, false, false, false, "abcdefghij"},
      {{"--window", "--lang", "en", "--help"}, true, false, true, "en"},
      {{"--lang=en", "--lang", "ja"}, false, false, false, "ja"},  // the last one counts
      {{"--volume", "0"}, false, false, false, std::nullopt, 0},
      {{"--volume=100"}, false, false, false, std::nullopt, 100},
      {{"--window", "--volume", "050"}, false, false, true, std::nullopt, 50},
  };
  for (const Good& c : cases) {
    const CommandLine line = ParseCommandLine(c.args, kGame);
    const std::string shown = ::testing::PrintToString(c.args);
    EXPECT_TRUE(line.ok()) << shown << ": " << line.error;
    EXPECT_EQ(line.help, c.help) << shown;
    EXPECT_EQ(line.version, c.version) << shown;
    EXPECT_EQ(line.window, c.window) << shown;
    EXPECT_EQ(line.lang, c.lang) << shown;
    EXPECT_EQ(line.volume, c.volume) << shown;
  }
}

struct Bad {
  std::vector<std::string> args;
  const CommandLineRules* rules;
  std::string error;
};

TEST(CommandLine, UsageErrorsNameTheWord) {
  const Bad cases[] = {
      {{"--lang"}, &kGame, "option '--lang' needs a value"},
      {{"--lang="}, &kGame, "'' is not a language (letters and '_', at most 10)"},
      {{"--lang", "e-n"}, &kGame, "'e-n' is not a language (letters and '_', at most 10)"},
      {{"--lang", "abcdefghijk"},
       &kGame,
       "'abcdefghijk' is not a language (letters and '_', at most 10)"},
      {{"--lang", "--window"},
       &kGame,
       "'--window' is not a language (letters and '_', at most 10)"},
      {{"--lang", "../x"}, &kGame, "'../x' is not a language (letters and '_', at most 10)"},
      {{"--fullscreen"}, &kGame, "unknown option '--fullscreen'"},
      {{"-h"}, &kGame, "unknown option '-h'"},
      {{"--help=yes"}, &kGame, "unknown option '--help=yes'"},
      {{"--platform", "xcb"}, &kGame, "unknown option '--platform'"},  // Qt's, not the game's
      {{"extra"}, &kGame, "unexpected argument 'extra'"},
      {{"--window", "-"}, &kGame, "unexpected argument '-'"},
      {{"--window"}, &kDialog, "unknown option '--window'"},
      {{"-platform"}, &kDialog, "option '-platform' needs a value"},
      {{"-platform", "offscreen", "extra"}, &kDialog, "unexpected argument 'extra'"},
      {{"-plat", "x"}, &kDialog, "unknown option '-plat'"},
      {{"--volume"}, &kGame, "option '--volume' needs a value"},
      {{"--volume", "101"},
       &kGame,
       "option '--volume' needs a whole number from 0 to 100, not '101'"},
      {{"--volume=-5"}, &kGame, "option '--volume' needs a whole number from 0 to 100, not '-5'"},
      {{"--volume", "loud"},
       &kGame,
       "option '--volume' needs a whole number from 0 to 100, not 'loud'"},
      {{"--volume="}, &kGame, "option '--volume' needs a whole number from 0 to 100, not ''"},
      {{"--volume", "50%"},
       &kGame,
       "option '--volume' needs a whole number from 0 to 100, not '50%'"},
      {{"--volume", "0"}, &kDialog, "unknown option '--volume'"},
  };
  for (const Bad& c : cases) {
    const CommandLine line = ParseCommandLine(c.args, *c.rules);
    EXPECT_EQ(line.error, c.error) << ::testing::PrintToString(c.args);
    EXPECT_FALSE(line.ok());
  }
}

TEST(CommandLine, VolumeFromTheOptionThenTheVariable) {
  const struct {
    std::optional<int> option;
    const char* variable;
    int percent;
    std::string error;
  } cases[] = {
      {std::nullopt, nullptr, 100, ""},
      {std::nullopt, "", 100, ""},
      {std::nullopt, "25", 25, ""},
      {30, "x", 30, ""},  // the option wins, the variable is not read
      {std::nullopt, "1000", 100, "RAVOLIN_VOLUME needs a whole number from 0 to 100, not '1000'"},
      {std::nullopt, " 5", 100, "RAVOLIN_VOLUME needs a whole number from 0 to 100, not ' 5'"},
  };
  for (const auto& c : cases) {
    const VolumeChoice choice = ChooseVolume(c.option, c.variable);
    EXPECT_EQ(choice.percent, c.percent) << (c.variable ? c.variable : "(none)");
    EXPECT_EQ(choice.error, c.error);
  }
}

TEST(CommandLine, ForeignOptionsPassWithTheirValues) {
  const std::vector<std::vector<std::string>> cases = {
      {"-platform", "offscreen"},        {"--platform", "offscreen", "--lang", "en"},
      {"-platform=offscreen", "--help"}, {"-reverse", "--version"},
      {"-platform", "--help"},  // the value of -platform, not our option
  };
  for (const auto& args : cases) {
    const CommandLine line = ParseCommandLine(args, kDialog);
    EXPECT_TRUE(line.ok()) << ::testing::PrintToString(args) << ": " << line.error;
  }
  EXPECT_FALSE(ParseCommandLine({"-platform", "--help"}, kDialog).help);
  EXPECT_EQ(ParseCommandLine({"--platform", "x", "--lang", "en"}, kDialog).lang, "en");
}

TEST(CommandLine, UsageListsTheOptionsOfEachProgram) {
  const std::string game = UsageText(kGame);
  EXPECT_EQ(game.rfind("Usage: ravolin [--window] [--volume PERCENT] [--lang LANG]\n", 0), 0u)
      << game;
  EXPECT_NE(game.find("  --lang LANG   the language of the game's text: ja (default) or en\n"),
            std::string::npos);
  EXPECT_NE(game.find("--window"), std::string::npos);
  const std::string dialog = UsageText(kDialog);
  EXPECT_EQ(dialog.rfind("Usage: ravolin-config [--lang LANG]\n", 0), 0u) << dialog;
  EXPECT_EQ(dialog.find("--window"), std::string::npos);
  EXPECT_EQ(dialog.find("--volume"), std::string::npos);
  EXPECT_NE(dialog.find("-platform NAME"), std::string::npos);
}

TEST(CommandLine, VersionIsNameAndBuildVersion) {
  EXPECT_EQ(VersionText("ravolin"), "ravolin 0.31\n");
  EXPECT_EQ(VersionText("ravolin-config"), "ravolin-config 0.31\n");
}

}  // namespace
}  // namespace rv
