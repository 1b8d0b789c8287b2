#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sound/music.h"
#include "sound/score_parts.h"

namespace rv::assets {
namespace {

constexpr int kSectionBars = 8;

// The eight-bar sections of the match music, in the order they are played.
enum class Section {
  kA,        // the theme
  kA2,       // the theme answered, closing on a long dominant
  kB,        // a contrasting phrase in the relative major
  kC,        // the climb, four on the floor
  kBreak,    // the breakdown: the band drops out, the lead floats
  kAVaried,  // the theme's rhythm broken up, turning to F#7 for the lift
  kALifted,  // the theme a whole tone higher, in B minor
  kBLifted,  // the contrasting phrase up there too, sliding home on E7
};

// Eleven minutes of play should not hear the same minute eleven times: the
// piece runs two and a half minutes before it repeats, and what returns comes
// back with other drums and arpeggios around it.
constexpr Section kForm[] = {Section::kA,       Section::kA2,      Section::kB,
                             Section::kC,       Section::kBreak,   Section::kAVaried,
                             Section::kALifted, Section::kBLifted, Section::kC,
                             Section::kB,       Section::kA2,      Section::kC};
constexpr int kSections = static_cast<int>(sizeof(kForm) / sizeof(kForm[0]));

// What is written of each section: its chords, and its lead bar by bar (empty for the
// lifted sections, whose lead is another's moved up: see LeadOf).
struct SectionWriting {
  Section section;
  std::string_view chords;
  std::array<std::string_view, kSectionBars> lead;
};

// clang-format off
constexpr SectionWriting kWriting[] = {
  {Section::kA, "Am F C G Am F G E7", {
    "a4:2 c5 e5 a5:4 g5:2 e5 c5", "f5:4 e5:2 c5 a4:6 c5:2",
    "e5:2 g5 c6:4 b5:2 g5 e5:4", "d5:6 b4:2 g4:4 b4",
    "a4:2 c5 e5 a5:4 b5:2 c6:4", "a5:4 g5:2 f5 c5:6 f5:2",
    "g5:4 f5:2 e5 d5:4 b4", "e5:6 d5:2 b4 g#4 e4:4"}},
  {Section::kA2, "Am F C G Dm F E7 E7", {
    "a4:2 c5 e5 a5:4 g5:2 e5 c5", "f5:4 e5:2 c5 a4:6 c5:2",
    "e5:2 g5 c6:4 b5:2 g5 e5:4", "d5:6 b4:2 d5:4 g5",
    "f5:2 e5 d5 a5:6 f5:4", "c6:4 a5:2 f5 c5:4 f5", "e5:4 g#5 b5 d6", "e6:8 d6:2 b5 g#5:4"}},
  {Section::kB, "Dm G C Am Dm G F E7", {
    "a5:8 f5:4 d5", "g5:8 d5:4 b4", "c5:4 e5 g5 c6", "c6:8 a5:4 e5",
    "f5:4 a5 d6:6 c6:2", "b5:4 g5 d5:6 g5:2", "a5:6 g5:2 f5:4 c5", "b4:4 d5 e5 g#5"}},
  {Section::kC, "Am G F E7 Am G F E7", {
    "a5:2 a5 e5 a5 c6:4 b5:2 a5", "g5:2 g5 d5 g5 b5:4 a5:2 g5",
    "f5:2 f5 c5 f5 a5:4 g5:2 f5", "e5:4 g#5 b5 e6",
    "a5:2 a5 e5 a5 c6:4 b5:2 a5", "g5:2 g5 d5 g5 b5:4 a5:2 g5",
    "f5:2 f5 c5 f5 a5:4 g5:2 f5", "e6:6 d6:2 b5 g#5 e5:4"}},
  {Section::kBreak, "Fmaj7 G Em7 Am Fmaj7 G Esus4 E7", {
    "a5:8 g5:4 e5", "d5:12 b4:4", "e5:8 g5:4 b5", "c6:8 a5",
    "c6:8 a5:4 f5", "b5:8 d6:4 b5", "a5:8 b5", "g#5:4 e5 d5 b4"}},
  {Section::kAVaried, "Am F C G Am F G F#7", {
    "e5:3 a5:3 c6:2 a5:2 e5 c5:4", "f5:3 a5:3 c6:2 a5:2 f5 c5:4",
    "g5:3 c6:3 e6:2 c6:2 g5 e5:4", "d6:6 b5:2 g5:4 d5",
    "e5:3 a5:3 c6:2 a5:2 e5 c5:4", "f5:3 a5:3 c6:2 a5:2 f5 a5:4",
    "g5:4 b5 d6 b5", "a#5:4 f#5 e5 c#5"}},
  {Section::kALifted, "Bm G D A Bm G A F#7", {}},
  {Section::kBLifted, "Em A D Bm Em A G E7", {}},
};
// clang-format on

constexpr bool WritingInSectionOrder() {
  for (std::size_t i = 0; i < std::size(kWriting); ++i) {
    if (kWriting[i].section != static_cast<Section>(i)) return false;
  }
  return true;
}
static_assert(WritingInSectionOrder(), "kWriting is looked up by the section's number");

const SectionWriting& WritingOf(Section s) { return kWriting[static_cast<std::size_t>(s)]; }

std::vector<NoteEvent> LeadOf(Section s, int bar) {
  switch (s) {
    case Section::kALifted:
      return Moved(LeadOf(Section::kA, 0), bar, 2);
    case Section::kBLifted: {
      // Up a tone but for the last bar, which turns back on E7 towards A minor.
      auto notes = Moved(LeadOf(Section::kB, 0), bar, 2);
      std::erase_if(notes,
                    [bar](const NoteEvent& n) { return n.start >= (bar + 7) * kStepsPerBar; });
      Append(notes, Bars({"b4:4 d5 e5 g#5"}, bar + 7));
      return notes;
    }
    default:
      return Bars(WritingOf(s).lead, bar);
  }
}

// The arpeggio runs in sixteenths only where the music climbs; elsewhere in
// eighths, and in the breakdown in quarters.
int ArpeggioStep(Section s) {
  switch (s) {
    case Section::kA2:
    case Section::kC:
    case Section::kALifted:
      return 1;
    case Section::kBreak:
      return 4;
    default:
      return 2;
  }
}

std::vector<BassStep> BassOf(Section s) {
  switch (s) {
    case Section::kBreak:
      return {{0, 8, 0}, {8, 8, 7}};
    case Section::kAVaried:
      return {{0, 3, 0}, {3, 3, 12}, {6, 2, 0}, {8, 3, 0}, {11, 3, 12}, {14, 2, 7}};
    default:
      return {{0, 2, 0}, {2, 2, 0},  {4, 2, 12},  {6, 2, 0},
              {8, 2, 0}, {10, 2, 0}, {12, 2, 12}, {14, 2, 7}};
  }
}

// Fills close every section but the breakdown, three of them taken in turn.
constexpr std::string_view kFills[] = {"....x.....x.xgxX", "....x...x.x.xxXX", "....x.x.xgxgXxXX"};

void SectionDrums(std::vector<DrumHit>& hits, Section s, int index, int first_bar) {
  for (int b = 0; b < kSectionBars; ++b) {
    const int bar = first_bar + b;
    const bool last = b == kSectionBars - 1;
    if (s == Section::kBreak) {
      // Only a heartbeat, then a snare roll that builds into the next section.
      if (b < 6) {
        Lane(hits, Drum::kKick, "x.......x.......", bar, 0.4, 0.0f);
        Lane(hits, Drum::kClosedHat, "....x.......x...", bar, 0.18, 0.25f);
      } else {
        Lane(hits, Drum::kKick, "x...x...x...x...", bar, 0.45, 0.0f);
        Lane(hits, Drum::kSnare, b == 6 ? "x...x...x.x.x.x." : "x.x.xxxxxxxxXXXX", bar,
             b == 6 ? 0.3 : 0.42, -0.08f);
      }
      continue;
    }
    if (b == 0) Lane(hits, Drum::kCrash, "x...............", bar, 0.35, -0.3f);
    std::string_view kick = "x.....x.x.....x.";
    std::string_view hat = b % 2 == 1 ? "x.x.x.x.x.x.x..." : "x.x.x.x.x.x.x.x.";
    std::string_view open = b % 2 == 1 ? "..............x." : "................";
    std::string_view snare = "....x.......x...";
    switch (s) {
      case Section::kC:
        kick = "x...x...x...x...";
        hat = "x.xgx.xgx.xgx.xg";
        break;
      case Section::kB:
        kick = "x.......x.x.....";
        open = "......x.......x.";
        break;
      case Section::kAVaried:
        // Half time: the snare on three only, until the last bars call the band back.
        kick = b < 6 ? "x.........x....." : kick;
        snare = b < 6 ? "........x......." : snare;
        break;
      case Section::kALifted:
      case Section::kBLifted:
        open = "..x...x...x...x.";
        hat = "x...x...x...x...";
        break;
      default:
        break;
    }
    if (last) snare = kFills[static_cast<std::size_t>(index) % std::size(kFills)];
    Lane(hits, Drum::kKick, kick, bar, 0.55, 0.0f);
    Lane(hits, Drum::kSnare, snare, bar, 0.62, -0.08f);
    Lane(hits, Drum::kClosedHat, hat, bar, 0.3, 0.25f);
    Lane(hits, Drum::kOpenHat, open, bar, 0.26, 0.25f);
  }
}

}  // namespace

Score MatchScore() {
  Score s;
  s.bpm = 148.0;
  s.bars = kSections * kSectionBars;
  for (int i = 0; i < kSections; ++i) {
    Append(s.chords, ParseChords(WritingOf(kForm[i]).chords, i * kSectionBars * kStepsPerBar));
  }
  for (int i = 0; i < kSections; ++i) {
    const Section section = kForm[i];
    const int bar = i * kSectionBars;
    const int from = bar * kStepsPerBar;
    const int to = from + kSectionBars * kStepsPerBar;
    auto lead = LeadOf(section, bar);
    Accent(lead, 0.82);
    if (section == Section::kBreak) {
      for (auto& n : lead) n.velocity *= 0.75;
    }
    Append(s.lead, lead);
    Append(s.harmony,
           Arpeggio(s.chords, from, to, ArpeggioStep(section), {0, 2, 1, 3, 2, 4, 3, 1}, 57));
    Append(s.bass, BassLine(s.chords, bar, kSectionBars, BassOf(section)));
    SectionDrums(s.drums, section, i, bar);
  }
  Humanise(s.lead, 0.06, 0x5EED0102u);
  Humanise(s.harmony, 0.12, 0x5EED0103u);
  Humanise(s.bass, 0.05, 0x5EED0104u);
  Humanise(s.drums, 0.12, 0x5EED0105u);

  s.lead_voice = PulseLead(0.25, {0.004, 0.25, 0.6, 0.04}, 0.24, -0.2f, 6.0, 18.0, 0.18);
  s.lead_voice.lowpass_hz = 5000.0;
  // The arpeggio's pulse is wider than it was and filtered: present, not piercing.
  s.harmony_voice = Pluck(0.25, 0.09, 0.45f);
  s.harmony_voice.envelope = {0.002, 0.08, 0.12, 0.03};
  s.harmony_voice.lowpass_hz = 2800.0;
  s.bass_voice = TriangleBass(0.42);
  s.lead_gate = 0.88;
  s.harmony_gate = 0.8;
  s.bass_gate = 0.7;
  s.echo_steps = 3;
  s.echo_gain = 0.25f;
  s.noise_seed = 0x5EED0002u;
  s.limit_knee = 0.45f;
  return s;
}

}  // namespace rv::assets
