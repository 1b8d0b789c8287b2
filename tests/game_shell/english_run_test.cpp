// The whole program in English, as `--lang en` starts it: the menu, the selection, a 9-round
// match with every round's banner, the results and the ranking screen. What the game wrote
// is checked by its code points; frames of each screen are kept for a person to look at.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/pace/keys.h"
#include "game/shell/startup.h"
#include "shell_harness.h"
#include "support/japanese_text.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;

bool Printed(const std::vector<std::string>& printed, const std::string& text) {
  return std::find(printed.begin(), printed.end(), text) != printed.end();
}

TEST(EnglishRun, MenuSelectionAWholeMatchResultsAndRankingWriteNoJapanese) {
  const fs::path frames = fs::path(RV_BINARY_DIR) / "english_frames";
  fs::remove_all(frames);
  fs::create_directories(frames);
  ShellRun run;
  run.language = "en";
  run.guard_ms = 3600000;
  std::vector<std::string> printed;
  std::string picture_language;
  run.at_config = [&](Game& g) {
    g.text->RecordPrinted(&printed);
    picture_language = g.loader.language();
  };
  const auto save = [&](const std::string& name) {
    EXPECT_TRUE(run.platform.SaveLastFrame(frames / (name + ".png"))) << name;
  };

  run.When([&] { return run.MenuShown(); },
           [&] {
             save("1_menu");
             run.Press(vk::kX, 40);
           });
  // The selection: the hardest CPU, 9 rounds, then the start row.
  run.When([&] { return run.Count("effect wave2.dat wait") == 1; }, [] {});
  for (const int16_t key : {vk::kRight, vk::kRight, vk::kDown, vk::kRight, vk::kRight, vk::kRight,
                            vk::kRight, vk::kDown}) {
    run.AfterMs(200, [&run, key] { run.Press(key, 40); });
  }
  run.AfterMs(300, [&] {
    save("2_selection");
    run.Press(vk::kX, 40);
  });
  // The match: X now and then for the player's blocks and the roulette; a frame of each
  // round's banner and of the results.
  int16_t round_saved = 0;
  uint32_t round_seen_at = 0;
  uint32_t next_x = 0;
  // The first time a text is written, a frame a little later shows it.
  struct Shot {
    const char* text;
    const char* name;
    uint32_t due = 0;
    bool done = false;
  };
  std::vector<Shot> shots = {{"Who goes first?", "3_roulette"},
                             {"Player wins!", "4_banner_player"},
                             {"CPU wins!", "4_banner_cpu"},
                             {"Match over!", "4_results"}};
  run.When(
      [&] {
        const int16_t round = run.game != nullptr ? run.game->match.RoundNo : 0;
        if (round > round_saved && round_seen_at == 0) round_seen_at = run.Now();
        if (round_seen_at != 0 && run.Now() - round_seen_at > 700) {
          round_saved = round;
          round_seen_at = 0;
          save("3_round_" + std::to_string(round));
        }
        for (Shot& shot : shots) {
          if (shot.done) continue;
          if (shot.due == 0 && Printed(printed, shot.text)) shot.due = run.Now() + 1200;
          if (shot.due != 0 && static_cast<int32_t>(run.Now() - shot.due) >= 0) {
            shot.done = true;
            save(shot.name);
          }
        }
        if (static_cast<int32_t>(run.Now() - next_x) >= 0) {
          run.Press(vk::kX, 40);
          next_x = run.Now() + 300;
        }
        return run.MenuShown(2);
      },
      [] {});
  // The ranking: the first list, then the next one.
  run.AfterMs(300, [&] { run.Press(vk::kDown, 40); });
  run.AfterMs(300, [&] { run.Press(vk::kX, 40); });
  run.AfterMs(2500, [&] {
    save("5_ranking");
    run.Press(vk::kRight, 40);
  });
  run.AfterMs(1500, [&] {
    save("6_ranking_next");
    run.Press(vk::kZ, 40);
  });
  run.When([&] { return run.MenuShown(3) && run.platform.PendingEvents() == 0; },
           [&] { run.Press(vk::kEscape); });

  EXPECT_EQ(run.Run(), 0);
  EXPECT_FALSE(run.guard_fired);
  EXPECT_EQ(round_saved, 9) << "not every round's banner was seen";
  EXPECT_TRUE(run.platform.Messages().empty());
  EXPECT_EQ(picture_language, "en");

  ASSERT_FALSE(printed.empty());
  for (const std::string& text : printed) {
    EXPECT_EQ(FirstJapaneseCodePoint(text), 0u) << "Japanese in \"" << text << "\"";
  }
  for (const char* expected :
       {"Who goes first?", "Player", "CPU", "Match over!", "Time", "Score"}) {
    EXPECT_TRUE(Printed(printed, expected)) << expected;
  }
  EXPECT_TRUE(Printed(printed, "Player wins!") || Printed(printed, "CPU wins!"));
}

// The same program with no language asked for writes the Japanese texts of the design.
TEST(EnglishRun, TheDefaultStillWritesJapanese) {
  ShellRun run;
  std::vector<std::string> printed;
  run.at_config = [&](Game& g) { g.text->RecordPrinted(&printed); };
  run.When([&] { return run.MenuShown(); }, [&] { run.Press(vk::kX, 40); });
  run.When([&] { return run.Count("effect wave2.dat wait") == 1; }, [] {});
  run.AfterMs(200, [&] { run.Press(vk::kDown, 40); });
  run.AfterMs(200, [&] { run.Press(vk::kDown, 40); });
  run.AfterMs(200, [&] { run.Press(vk::kX, 40); });
  run.When([&] { return Printed(printed, "先行プレイヤー選択"); }, [&] { run.Press(vk::kEscape); });
  EXPECT_EQ(run.Run(), 0);
  EXPECT_TRUE(Printed(printed, "ＣＰＵ"));
}

}  // namespace
}  // namespace rv::test
