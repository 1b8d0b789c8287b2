// rv_sim match --mode M --rounds R --seed S [--player random|greedy] [--dir DIR]
// [--frames DIR] [--lock-wait SECONDS] [--lang LANG]: a whole match with the real game code on
// the headless platform, the player's side played by a bot, its texts and pictures in LANG
// (chosen as the game chooses it: the option, then RAVOLIN_LANG, then ja). Prints one line per
// round, then the score and the place. With --dir, the result is entered into DIR/rvdat.dat
// under the game's lock on DIR, waited for up to SECONDS (20 unless given), and the place
// printed is the one it took there.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/rv_sim/commands.h"
#include "app/rv_sim/sim_input.h"
#include "game/headless/headless_game.h"
#include "game/headless/player_bot.h"
#include "game/headless/temp_program_folder.h"
#include "game/ranking/ranking_book.h"
#include "start/language_choice.h"
#include "start/program_folder.h"

namespace rv::sim {

namespace fs = std::filesystem;

namespace {

struct MatchArgs {
  int16_t mode = -1;
  int16_t rounds = -1;
  uint64_t seed = 0;
  bool seed_given = false;
  PlayerKind player = PlayerKind::kRandom;
  fs::path dir;
  fs::path frames;
  std::chrono::milliseconds lock_wait{20000};
  std::optional<std::string> language;
};

MatchArgs ParseMatchArgs(const std::vector<std::string>& args) {
  MatchArgs a;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& key = args[i];
    if (i + 1 >= args.size()) throw InputError{0, key + " needs a value"};
    const std::string& value = args[++i];
    if (key == "--mode") {
      a.mode = static_cast<int16_t>(ParseInteger(value, 0, 2, "mode", 0));
    } else if (key == "--rounds") {
      a.rounds = static_cast<int16_t>(ParseInteger(value, 1, 9, "rounds", 0));
      if (a.rounds % 2 == 0) throw InputError{0, "rounds must be 1, 3, 5, 7 or 9"};
    } else if (key == "--seed") {
      a.seed = static_cast<uint64_t>(ParseInteger(value, 0, INT64_MAX, "seed", 0));
      a.seed_given = true;
    } else if (key == "--player") {
      if (value != "random" && value != "greedy") {
        throw InputError{0, "unknown player '" + value + "' (random or greedy)"};
      }
      a.player = value == "random" ? PlayerKind::kRandom : PlayerKind::kGreedy;
    } else if (key == "--dir") {
      a.dir = value;
    } else if (key == "--frames") {
      a.frames = value;
    } else if (key == "--lang") {
      a.language = value;
    } else if (key == "--lock-wait") {
      a.lock_wait = std::chrono::seconds(ParseInteger(value, 0, 3600, "lock-wait", 0));
    } else {
      throw InputError{0, "unknown argument '" + key + "'"};
    }
  }
  if (a.mode < 0 || a.rounds < 0 || !a.seed_given) {
    throw InputError{0, "match needs --mode, --rounds and --seed"};
  }
  return a;
}

void PrintRounds(const MatchState& m, std::ostream& out) {
  for (std::size_t i = 0; i < m.RoundTime.size(); ++i) {
    out << "round " << i + 1 << " winner " << (m.PlayerWon[i] != 0 ? "player" : "cpu") << " moves "
        << m.RoundMoves[i] << " time " << m.RoundTime[i] << "\n";
  }
}

void SayNotSaved(const CommandIo& io, const std::string& error) {
  // Said on both streams: a caller reading only the results must not take them as kept.
  io.out << "error the ranking was not saved: " << error << "\n";
  io.err << "rv_sim: match: the ranking was not saved: " << error << "\n";
}

}  // namespace

int MatchCommand(const CommandIo& io) {
  const MatchArgs a = ParseMatchArgs(io.args);
  // The pictures, sounds and catalogues lie beside rv_sim. The catalogue is read there, not
  // through the temporary folder's link to it, so that a broken one is named where it lies. An
  // unknown language is a bad command line and a broken catalogue a failed file.
  const fs::path own_folder = ProgramFolder();
  const LanguageLoad load = ChooseLanguage(own_folder, a.language);
  if (!load.known) throw InputError{0, load.error};
  if (!load.error.empty()) {
    io.err << "rv_sim: match: " << load.error << "\n";
    return kExitFailed;
  }
  std::optional<fs::path> dir;
  if (!a.dir.empty()) {
    fs::create_directories(a.dir);
    dir = a.dir;
  }
  TempProgramFolder folder(own_folder, dir);
  HeadlessGame headless(folder.path(), a.seed, load.language);
  if (!a.frames.empty()) {
    fs::create_directories(a.frames);
    headless.platform.SaveFramesTo(a.frames);
  }
  const std::string problem = headless.Prepare();
  if (!problem.empty()) {
    io.err << "rv_sim: match: " << problem << "\n";
    return kExitFailed;
  }
  Game& game = *headless.game;
  // With --dir the game enters its result into that folder, which games may share.
  SharedRanking* shared = nullptr;
  if (dir) {
    auto book = std::make_unique<SharedRanking>(*dir, a.lock_wait);
    shared = book.get();
    game.ranking_book = std::move(book);
  }
  PlayerBot bot(game, a.player, a.seed);
  headless.platform.SetDriver([&bot](HeadlessPlatform& p) { bot.Drive(p); });

  const std::optional<int> exited = PlayMatch(game, a.mode, a.rounds);
  const bool not_saved = shared != nullptr && !shared->last().error.empty();
  if (exited && !not_saved) {
    for (const auto& message : headless.platform.Messages()) {
      io.err << "rv_sim: match: " << message.caption << ": " << message.text << "\n";
    }
    io.err << "rv_sim: match: the game ended inside the match with status " << *exited << "\n";
    return kExitFailed;
  }
  PrintRounds(game.match, io.out);
  io.out << "score " << game.totals.Score << "\n";
  if (not_saved) {
    SayNotSaved(io, shared->last().error);
    return kExitFailed;
  }
  io.out << "place " << game.totals.RankIn << "\n";
  return kExitOk;
}

}  // namespace rv::sim
