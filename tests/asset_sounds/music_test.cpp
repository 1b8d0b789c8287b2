#include "sound/music.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>

namespace rv::assets {
namespace {

struct Piece {
  std::string name;
  Score score;
};

std::vector<Piece> Pieces() { return {{"title", TitleScore()}, {"match", MatchScore()}}; }

bool IsChordTone(const Chord& chord, int midi) {
  for (int interval : chord.intervals) {
    if ((chord.root + interval) % 12 == midi % 12) return true;
  }
  return false;
}

double Rms(const MixBuffer& b, std::size_t from, std::size_t count) {
  double sum = 0.0;
  for (std::size_t i = from; i < from + count; ++i) {
    for (int ch = 0; ch < b.Channels(); ++ch) sum += b.At(i, ch) * b.At(i, ch);
  }
  return std::sqrt(sum / static_cast<double>(count * b.Channels()));
}

TEST(Scores, EveryLineFillsThePieceExactly) {
  for (const auto& [name, s] : Pieces()) {
    EXPECT_EQ(EndOf(s.chords), s.Steps()) << name;
    EXPECT_EQ(EndOf(s.lead), s.Steps()) << name;
    EXPECT_EQ(EndOf(s.harmony), s.Steps()) << name;
    EXPECT_EQ(EndOf(s.bass), s.Steps()) << name;
    for (const auto& hit : s.drums) {
      EXPECT_GE(hit.step, 0) << name;
      EXPECT_LT(hit.step, s.Steps()) << name;
    }
    // Notes of one line never overlap: a line is one voice.
    for (const auto* line : {&s.lead, &s.bass}) {
      for (std::size_t i = 1; i < line->size(); ++i) {
        EXPECT_GE((*line)[i].start, (*line)[i - 1].start + (*line)[i - 1].length)
            << name << " note " << i;
      }
    }
  }
}

// The menu is heard for a minute at a time; a match lasts many minutes, and its
// music should not come round again every minute.
TEST(Scores, LengthsSuitTheirLoops) {
  struct Range {
    Score score;
    double min_s, max_s;
  };
  for (const auto& [s, min_s, max_s] :
       {Range{TitleScore(), 30.0, 90.0}, Range{MatchScore(), 150.0, 240.0}}) {
    const double seconds = Timeline(s.bpm, s.Steps()).At(s.Steps());
    EXPECT_GE(seconds, min_s) << s.bpm;
    EXPECT_LE(seconds, max_s) << s.bpm;
  }
  EXPECT_GT(MatchScore().bpm, TitleScore().bpm + 30.0) << "the match music should drive harder";
}

TEST(Scores, LinesStayInTheirRegisters) {
  for (const auto& [name, s] : Pieces()) {
    for (const auto& n : s.lead) {
      EXPECT_GE(n.midi, ParsePitch("e4")) << name;
      EXPECT_LE(n.midi, ParsePitch("e6")) << name;
    }
    for (const auto& n : s.bass) {
      EXPECT_GE(n.midi, ParsePitch("e2")) << name;
      EXPECT_LE(n.midi, ParsePitch("e4")) << name;
      EXPECT_TRUE(IsChordTone(ChordAt(s.chords, n.start), n.midi))
          << name << " bass at " << n.start;
    }
    for (const auto& n : s.harmony) {
      EXPECT_TRUE(IsChordTone(ChordAt(s.chords, n.start), n.midi))
          << name << " harmony at " << n.start;
    }
  }
}

TEST(Scores, MelodyAgreesWithItsChordsOnTheBeat) {
  for (const auto& [name, s] : Pieces()) {
    int on_beat = 0, agreeing = 0;
    for (const auto& n : s.lead) {
      if (n.start % 4 != 0) continue;
      ++on_beat;
      if (IsChordTone(ChordAt(s.chords, n.start), n.midi)) ++agreeing;
    }
    ASSERT_GT(on_beat, s.bars) << name;
    EXPECT_GE(agreeing, on_beat * 85 / 100) << name << ": " << agreeing << " of " << on_beat;
  }
}

TEST(Scores, LastBarLeadsBackIntoTheFirst) {
  for (const auto& [name, s] : Pieces()) {
    const Chord& first = s.chords.front();
    const Chord& last = s.chords.back();
    // The closing chord is the dominant of the opening one: a major chord a fifth above.
    EXPECT_EQ(last.root, (first.root + 7) % 12) << name;
    EXPECT_NE(std::find(last.intervals.begin(), last.intervals.end(), 4), last.intervals.end())
        << name;
    // The tune is not resting at the seam, it moves into bar 1.
    EXPECT_EQ(EndOf(s.lead), s.Steps()) << name;
    EXPECT_EQ(s.lead.front().start, 0) << name;
  }
}

TEST(Scores, SectionsRepeatAndContrast) {
  // The opening phrase returns later (the form is audible), and not every
  // eight bars are the same (there is a contrasting section).
  for (const auto& [name, s] : Pieces()) {
    auto phrase = [&](int first_bar) {
      std::vector<int> pitches;
      for (const auto& n : s.lead) {
        if (n.start >= first_bar * 16 && n.start < first_bar * 16 + 2 * 16)
          pitches.push_back(n.midi);
      }
      return pitches;
    };
    const auto opening = phrase(0);
    bool returns = false, contrasts = false;
    for (int bar = 8; bar + 2 <= s.bars; bar += 8) {
      if (phrase(bar) == opening)
        returns = true;
      else
        contrasts = true;
    }
    EXPECT_TRUE(returns) << name;
    EXPECT_TRUE(contrasts) << name;
  }
}

// Played by people, no two hits are alike: the match's velocities are spread,
// and spread the same way on every build (the generated files are compared byte
// for byte).
TEST(Scores, MatchIsHumanisedAndTheSameEveryTime) {
  const Score a = MatchScore();
  const Score b = MatchScore();
  ASSERT_EQ(a.drums.size(), b.drums.size());
  std::set<double> drum_levels, lead_levels;
  for (std::size_t i = 0; i < a.drums.size(); ++i) {
    EXPECT_EQ(a.drums[i].velocity, b.drums[i].velocity) << "hit " << i;
    drum_levels.insert(a.drums[i].velocity);
  }
  ASSERT_EQ(a.lead.size(), b.lead.size());
  for (std::size_t i = 0; i < a.lead.size(); ++i) {
    EXPECT_EQ(a.lead[i].velocity, b.lead[i].velocity) << "note " << i;
    lead_levels.insert(a.lead[i].velocity);
  }
  EXPECT_GT(drum_levels.size(), a.drums.size() / 2);
  EXPECT_GT(lead_levels.size(), a.lead.size() / 2);
}

// What keeps two and a half minutes alive: drums that change from section to
// section, a breakdown where the band drops out, a passage lifted a tone (into B
// minor, whose C# and F# A minor never has), and an arpeggio that is not wall-to-wall
// sixteenths.
TEST(Scores, MatchVariesItsDrumsItsKeyAndItsTexture) {
  const Score s = MatchScore();
  std::vector<std::set<std::pair<int, int>>> bars(static_cast<std::size_t>(s.bars));
  for (const auto& hit : s.drums) {
    bars[static_cast<std::size_t>(hit.step / kStepsPerBar)].insert(
        {hit.step % kStepsPerBar, static_cast<int>(hit.drum)});
  }
  const std::set<std::set<std::pair<int, int>>> patterns(bars.begin(), bars.end());
  EXPECT_GE(patterns.size(), 14u) << "distinct bars of drums";

  int without_backbeat = 0;
  for (const auto& bar : bars) {
    bool snare = false;
    for (const auto& [step, drum] : bar) snare |= drum == static_cast<int>(Drum::kSnare);
    if (!snare) ++without_backbeat;
  }
  EXPECT_GE(without_backbeat, 4) << "bars without a snare (a breakdown)";

  std::set<int> lifted_bars;
  for (const auto& n : s.lead) {
    if (n.midi % 12 == 1 || n.midi % 12 == 6) lifted_bars.insert(n.start / kStepsPerBar);
  }
  EXPECT_GE(lifted_bars.size(), 8u) << "bars in the lifted key";

  int sixteenths = 0;
  for (const auto& n : s.harmony) sixteenths += n.length == 1 ? 1 : 0;
  EXPECT_LT(sixteenths * 10, s.Steps() * 6) << "sixteenths cover most of the piece";
}

TEST(Rendering, ExactLengthCleanLevelsAndASeamlessLoop) {
  for (const auto& [name, s] : Pieces()) {
    const MixBuffer mix = RenderScore(s);
    EXPECT_EQ(mix.Frames(), Timeline(s.bpm, s.Steps()).Frames()) << name;
    ASSERT_EQ(mix.Channels(), 2) << name;
    double sum_l = 0.0, sum_r = 0.0, diff = 0.0;
    for (std::size_t i = 0; i < mix.Frames(); ++i) {
      ASSERT_TRUE(std::isfinite(mix.At(i, 0)) && std::isfinite(mix.At(i, 1))) << name;
      sum_l += mix.At(i, 0);
      sum_r += mix.At(i, 1);
      diff += std::fabs(mix.At(i, 0) - mix.At(i, 1));
    }
    EXPECT_NEAR(sum_l / mix.Frames(), 0.0, 1e-4) << name;
    EXPECT_NEAR(sum_r / mix.Frames(), 0.0, 1e-4) << name;
    EXPECT_GT(diff / mix.Frames(), 0.01 * Peak(mix)) << name << ": the voices are not placed apart";
    const std::size_t ten_ms = kSampleRate / 100;
    const double head = Rms(mix, 0, ten_ms);
    const double tail = Rms(mix, mix.Frames() - ten_ms, ten_ms);
    const double whole = Rms(mix, 0, mix.Frames());
    EXPECT_GT(tail, 0.1 * whole) << name << ": the end falls silent";
    EXPECT_GT(head, 0.1 * whole) << name << ": the start is silent";
  }
}

}  // namespace
}  // namespace rv::assets
