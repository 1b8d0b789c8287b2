#pragma once
// Everything one run of the game owns, in one object passed by reference to every screen.
// The screens are blocking procedures (free functions taking Game&) that draw, wait and
// poll the key flags; this object is where their state lives instead of module globals.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "game/board/match_state.h"
#include "game/cpu/random_source.h"
#include "game/gfx/blend_state.h"
#include "game/gfx/display.h"
#include "game/gfx/fade.h"
#include "game/gfx/picture_set.h"
#include "game/gfx/text.h"
#include "game/pace/event_loop.h"
#include "game/pace/keys.h"
#include "game/ranking/ranking_book.h"
#include "game/ranking/ranking_screen_state.h"
#include "game/ranking/ranking_tables.h"
#include "game/sound/sound.h"
#include "lang/language.h"
#include "platform/platform.h"
#include "storage/instance_lock.h"

namespace rv {

// The totals the last match's scoring left for its results.
struct MatchTotals {
  int32_t Score = 0;
  int32_t TotalTime = 0;  // milliseconds of all rounds
  double TotalMoves = 0;
  int16_t RankIn = -1;  // place 1..9, or -1
};

class Game : private EventSink {
 public:
  // rng is the CPU's randomness (the game passes a clock-seeded one, tests a seeded one).
  // Every text and box is said in `language`, and its pictures are the loader's.
  // data_folder holds the player's files; empty means the program folder.
  Game(Platform& platform, RandomSource& rng, Language language,
       std::filesystem::path data_folder = {});
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // A file of the player's data folder: PlayerFile("rvdat.dat"), PlayerFile("rvdat.cfg").
  std::filesystem::path PlayerFile(std::string_view relative) const;

  // Shorthands of the pacing every screen uses.
  void DoEvents() { loop.DoEvents(); }
  void WaitMs(int32_t ms) { loop.WaitMs(ms); }
  int32_t Now() { return loop.Now(); }
  FadeContext Fade() { return FadeContext{display, pictures, blend, loop, stamps}; }

  // The regular shutdown: the marker goes, music and effect stop, the display and the mouse
  // cursor are given back, and ProgramExit ends the program. Escape, a closed window, the
  // quit item and both error paths come here.
  [[noreturn]] void Form_Unload(int status = 0);
  // A warning box in the player's language, then the regular shutdown (the error paths of
  // the match and the score). A Japanese text or caption is translated here; a text composed
  // of translated pieces (with a path) comes back unchanged.
  [[noreturn]] void FailAndUnload(std::string_view text, std::string_view caption);

  // The window was opened: the regular shutdown gives it back.
  void MarkWindowOpen() { window_open_ = true; }

  Platform& platform;
  RandomSource& rng;
  const std::filesystem::path program_folder;  // pictures, sounds, the decoder module
  const std::filesystem::path data_folder;     // the ranking, the setting, the marker

  Keys keys;
  FrameStamps stamps;
  EventLoop loop;
  Display display;
  PictureSet pictures;
  PictureLoader loader;
  BlendState blend;
  std::unique_ptr<TextRenderer> text;  // opened at start-up
  // The chosen language: its words for our Japanese texts (none for Japanese, so every text
  // stays as written); the loader draws its pictures from the same code.
  Language language;
  Sound sound;

  MatchState match;
  MatchTotals totals;
  RankingTables ranking;
  // Where the match's result is entered: the tables above and the data folder's file, unless
  // a tool replaces it (rv_sim enters into a folder shared with games).
  std::unique_ptr<RankingBook> ranking_book;
  RankingScreenState rank_screen;

  // Held while the game runs, so that a second copy and the dialog can see it.
  std::optional<InstanceLock> lock;

 private:
  void OnKeyDown(int16_t key_code) override;
  void OnKeyUp(int16_t key_code) override;
  void OnClose() override;
  void OnMusicDone(int player) override;

  bool window_open_ = false;
};

}  // namespace rv
