// A long session of one game: many 9-round matches in one process with the real game code on
// the headless platform, the player's side played by the greedy bot, results entering the
// ranking file as they do after a real match. Prints resident memory and open descriptors at
// the start, after the first match, after every hundredth and at the end. The first match
// allocates what every match reuses (the match background, the buffers of the drawing), so
// the run passes when, from the end of the first match on, memory grows by less than 1 MB and
// the descriptors stay the same.
//   rv_soak_matches [MATCHES]   (1000 unless told)

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "game/headless/headless_game.h"
#include "game/headless/player_bot.h"
#include "game/headless/temp_program_folder.h"
#include "platform/headless/headless_audio.h"
#include "process_usage.h"

namespace {

constexpr int64_t kAllowedGrowthKb = 1024;
constexpr int kWarmUpMatches = 1;

struct Sample {
  int matches;
  int64_t rss_kb;
  int fds;
};

Sample Measure(int matches) {
  return {matches, rv::soak::ResidentKb(), rv::soak::OpenDescriptors()};
}

void Print(const Sample& s, uint32_t virtual_ms) {
  std::printf("after %5d matches: VmRSS %7lld kB, open descriptors %d, virtual time %.1f h\n",
              s.matches, static_cast<long long>(s.rss_kb), s.fds, virtual_ms / 3600000.0);
  std::fflush(stdout);
}

int Run(int matches) {
  const rv::TempProgramFolder folder(RV_DIST_DIR, std::nullopt);
  rv::HeadlessGame headless(folder.path(), 1, rv::Language::Japanese());
  if (const std::string error = headless.Prepare(); !error.empty()) {
    std::fprintf(stderr, "the game could not be prepared: %s\n", error.c_str());
    return 2;
  }
  rv::PlayerBot bot(*headless.game, rv::PlayerKind::kGreedy, 1);
  headless.platform.SetDriver([&bot](rv::HeadlessPlatform& p) { bot.Drive(p); });
  // The headless audio keeps a log of every call for tests; it is the harness's memory, not
  // the game's, so it is emptied after each match.
  auto* audio = dynamic_cast<rv::HeadlessAudio*>(&headless.platform.audio());

  const Sample start = Measure(0);
  Print(start, headless.platform.Now());
  Sample warm = start;
  for (int i = 1; i <= matches; ++i) {
    const auto mode = static_cast<int16_t>(i % 3);
    if (const auto exited = rv::PlayMatch(*headless.game, mode, 9)) {
      std::fprintf(stderr, "match %d ended the program with status %d\n", i, *exited);
      for (const auto& message : headless.platform.Messages()) {
        std::fprintf(stderr, "  its message: %s\n", message.text.c_str());
      }
      return 2;
    }
    if (audio != nullptr) audio->ClearRecords();
    if (i == 1 || i % 100 == 0 || i == matches) {
      const Sample s = Measure(i);
      Print(s, headless.platform.Now());
      if (i == kWarmUpMatches) warm = s;
    }
  }
  const Sample end = Measure(matches);
  const bool flat = end.rss_kb - warm.rss_kb < kAllowedGrowthKb && end.fds == warm.fds;
  std::printf(
      "growth from match %d to %d: %lld kB, descriptors %+d; from the start: %lld kB, %+d\n",
      warm.matches, end.matches, static_cast<long long>(end.rss_kb - warm.rss_kb),
      end.fds - warm.fds, static_cast<long long>(end.rss_kb - start.rss_kb), end.fds - start.fds);
  std::printf("%s\n", flat ? "flat" : "NOT FLAT");
  return flat ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int matches = argc > 1 ? std::atoi(argv[1]) : 1000;
  if (matches < 1) {
    std::fprintf(stderr, "usage: rv_soak_matches [MATCHES]\n");
    return 2;
  }
  try {
    return Run(matches);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rv_soak_matches: %s\n", e.what());
    return 2;
  }
}
