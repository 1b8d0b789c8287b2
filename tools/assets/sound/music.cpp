#include "sound/music.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace rv::assets {
namespace {

// A melody written bar by bar; every bar must add up to exactly one bar, so a
// slip in the writing cannot shift everything after it.
std::vector<NoteEvent> Bars(std::initializer_list<std::string_view> bars, int first_bar) {
  std::vector<NoteEvent> notes;
  int bar = first_bar;
  for (std::string_view text : bars) {
    if (MelodyLength(text) != kStepsPerBar) {
      throw std::logic_error("melody bar " + std::to_string(bar + 1) + " is not one bar long");
    }
    const auto one = ParseMelody(text, bar * kStepsPerBar);
    notes.insert(notes.end(), one.begin(), one.end());
    ++bar;
  }
  return notes;
}

void Append(std::vector<NoteEvent>& to, const std::vector<NoteEvent>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

void Append(std::vector<Chord>& to, const std::vector<Chord>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// Notes on the beat a little stronger than those between.
void Accent(std::vector<NoteEvent>& notes, double off_beat) {
  for (auto& n : notes) n.velocity = (n.start % 4 == 0) ? 1.0 : off_beat;
}

struct BassStep {
  int step;  // within the bar
  int length;
  int offset;  // semitones above the chord's root
};

// The bass follows the chord sounding at each of its steps, kept between E2 and D#3.
std::vector<NoteEvent> BassLine(const std::vector<Chord>& chords, int bars,
                                const std::vector<BassStep>& pattern) {
  std::vector<NoteEvent> notes;
  for (int bar = 0; bar < bars; ++bar) {
    for (const auto& p : pattern) {
      const int at = bar * kStepsPerBar + p.step;
      const Chord& chord = ChordAt(chords, at);
      const int root = 36 + chord.root + (chord.root < 4 ? 12 : 0);
      notes.push_back({at, p.length, root + p.offset, p.step % 4 == 0 ? 1.0 : 0.85});
    }
  }
  return notes;
}

// Chord tones spread upward from `low`; index i beyond the chord climbs an octave.
int ChordTone(const Chord& chord, int index, int low) {
  std::vector<int> voicing;
  for (int interval : chord.intervals) {
    int pitch = chord.root + interval;
    while (pitch < low) pitch += 12;
    while (pitch >= low + 12) pitch -= 12;
    voicing.push_back(pitch);
  }
  std::sort(voicing.begin(), voicing.end());
  const int size = static_cast<int>(voicing.size());
  return voicing[index % size] + 12 * (index / size);
}

std::vector<NoteEvent> Arpeggio(const std::vector<Chord>& chords, int steps, int step_length,
                                const std::vector<int>& order, int low) {
  std::vector<NoteEvent> notes;
  int i = 0;
  for (int at = 0; at < steps; at += step_length, ++i) {
    const int index = order[static_cast<std::size_t>(i) % order.size()];
    const double velocity = (at % 4 == 0) ? 1.0 : 0.8;
    notes.push_back({at, step_length, ChordTone(ChordAt(chords, at), index, low), velocity});
  }
  return notes;
}

// One bar of one drum: 'x' a hit, 'X' an accent, 'g' a ghost note, '.' nothing.
void Lane(std::vector<DrumHit>& hits, Drum drum, std::string_view lane, int bar, double velocity,
          float pan) {
  if (lane.size() != kStepsPerBar) throw std::logic_error("drum lane is not one bar long");
  for (int s = 0; s < kStepsPerBar; ++s) {
    const char c = lane[static_cast<std::size_t>(s)];
    const double scale = c == 'X' ? 1.25 : c == 'g' ? 0.45 : 1.0;
    if (c == 'x' || c == 'X' || c == 'g') {
      hits.push_back({bar * kStepsPerBar + s, drum, velocity * scale, pan});
    }
  }
}

Voice Pluck(double duty, double gain, float pan) {
  Voice v;
  v.wave = Wave::kPulse;
  v.duty = duty;
  v.envelope = {0.003, 0.16, 0.15, 0.05};
  v.gain = gain;
  v.pan = pan;
  return v;
}

Voice TriangleBass(double gain) {
  Voice v;
  v.wave = Wave::kTriangle;
  v.envelope = {0.004, 0.5, 0.7, 0.03};
  v.gain = gain;
  return v;
}

}  // namespace

Score TitleScore() {
  Score s;
  s.bpm = 92.0;
  s.bars = 24;
  // A, B, then A again, turning at its end onto the dominant that opens bar 1.
  Append(s.chords, ParseChords("Cmaj7 Am7 Fmaj7 G Cmaj7 Am7 Dm7 G7", 0));
  Append(s.chords, ParseChords("Fmaj7 G Em7 Am Dm7 Em7 Fmaj7 G7", 8 * kStepsPerBar));
  Append(s.chords,
         ParseChords("Cmaj7 Am7 Fmaj7 G Em7 Am7 Dm7:8 G7:8 Gsus4:8 G7:8", 16 * kStepsPerBar));

  // clang-format off
  Append(s.lead, Bars({
    "e5:6 d5:2 c5:4 g4:4", "a4:6 c5:2 e5:8", "f5:6 e5:2 d5:4 c5:4", "d5:8 g4:4 b4:4",
    "e5:6 d5:2 c5:4 e5:4", "a5:6 g5:2 e5:8", "f5:4 e5:4 d5:4 c5:4", "d5:12 r:4"
  }, 0));
  Append(s.lead, Bars({
    "a5:4 g5:2 f5:2 e5:4 f5:4", "g5:6 f5:2 d5:8", "e5:4 d5:2 e5:2 g5:4 b5:4", "a5:12 e5:4",
    "f5:4 e5:2 d5:2 c5:4 d5:4", "e5:4 d5:2 e5:2 g5:8", "a5:4 g5:4 f5:4 e5:4", "d5:8 b4:4 g4:4"
  }, 8));
  Append(s.lead, Bars({
    "e5:6 d5:2 c5:4 g4:4", "a4:6 c5:2 e5:8", "f5:6 e5:2 d5:4 c5:4", "d5:8 g5:8",
    "g5:6 f5:2 e5:4 d5:4", "c5:6 d5:2 e5:8", "d5:4 f5:4 b4:4 d5:4", "c5:8 b4:4 d5:4"
  }, 16));
  // clang-format on
  Accent(s.lead, 0.85);

  s.harmony = Arpeggio(s.chords, s.Steps(), 2, {0, 1, 2, 3, 4, 3, 2, 1}, 55);
  s.bass = BassLine(s.chords, s.bars, {{0, 6, 0}, {6, 2, 7}, {8, 6, 12}, {14, 2, 7}});

  for (int bar = 0; bar < s.bars; ++bar) {
    const bool b_section = bar >= 8 && bar < 16;
    Lane(s.drums, Drum::kKick, "x.......x.....g.", bar, 0.4, 0.0f);
    Lane(s.drums, Drum::kSnare, b_section ? "....x.......x..g" : "............x...", bar, 0.22,
         -0.1f);
    Lane(s.drums, Drum::kClosedHat, b_section ? "x.X.x.X.x.X.x.X." : "..x...x...x...x.", bar, 0.22,
         0.3f);
  }

  s.lead_voice.wave = Wave::kPulse;
  s.lead_voice.duty = 0.5;
  s.lead_voice.envelope = {0.015, 0.4, 0.55, 0.08};
  s.lead_voice.gain = 0.25;
  s.lead_voice.pan = -0.15f;
  s.lead_voice.vibrato_hz = 5.2;
  s.lead_voice.vibrato_cents = 14.0;
  s.lead_voice.vibrato_delay = 0.2;
  s.harmony_voice = Pluck(0.25, 0.11, 0.4f);
  s.bass_voice = TriangleBass(0.38);
  s.lead_gate = 0.92;
  s.bass_gate = 0.95;
  s.echo_steps = 3;
  s.echo_gain = 0.28f;
  s.noise_seed = 0x5EED0001u;
  s.limit_knee = 0.6f;
  return s;
}

Score MatchScore() {
  Score s;
  s.bpm = 148.0;
  s.bars = 32;
  // A, A', a contrasting B, and a climbing C that ends on E7, the door back to A minor.
  Append(s.chords, ParseChords("Am F C G Am F G E7", 0));
  Append(s.chords, ParseChords("Am F C G Dm F E7 E7", 8 * kStepsPerBar));
  Append(s.chords, ParseChords("Dm G C Am Dm G F E7", 16 * kStepsPerBar));
  Append(s.chords, ParseChords("Am G F E7 Am G F E7", 24 * kStepsPerBar));

  // clang-format off
  Append(s.lead, Bars({
    "a4:2 c5 e5 a5:4 g5:2 e5 c5", "f5:4 e5:2 c5 a4:6 c5:2",
    "e5:2 g5 c6:4 b5:2 g5 e5:4", "d5:6 b4:2 g4:4 b4",
    "a4:2 c5 e5 a5:4 b5:2 c6:4", "a5:4 g5:2 f5 c5:6 f5:2",
    "g5:4 f5:2 e5 d5:4 b4", "e5:6 d5:2 b4 g#4 e4:4"
  }, 0));
  Append(s.lead, Bars({
    "a4:2 c5 e5 a5:4 g5:2 e5 c5", "f5:4 e5:2 c5 a4:6 c5:2",
    "e5:2 g5 c6:4 b5:2 g5 e5:4", "d5:6 b4:2 d5:4 g5",
    "f5:2 e5 d5 a5:6 f5:4", "c6:4 a5:2 f5 c5:4 f5", "e5:4 g#5 b5 d6", "e6:8 d6:2 b5 g#5:4"
  }, 8));
  Append(s.lead, Bars({
    "a5:8 f5:4 d5", "g5:8 d5:4 b4", "c5:4 e5 g5 c6", "c6:8 a5:4 e5",
    "f5:4 a5 d6:6 c6:2", "b5:4 g5 d5:6 g5:2", "a5:6 g5:2 f5:4 c5", "b4:4 d5 e5 g#5"
  }, 16));
  Append(s.lead, Bars({
    "a5:2 a5 e5 a5 c6:4 b5:2 a5", "g5:2 g5 d5 g5 b5:4 a5:2 g5",
    "f5:2 f5 c5 f5 a5:4 g5:2 f5", "e5:4 g#5 b5 e6",
    "a5:2 a5 e5 a5 c6:4 b5:2 a5", "g5:2 g5 d5 g5 b5:4 a5:2 g5",
    "f5:2 f5 c5 f5 a5:4 g5:2 f5", "e6:6 d6:2 b5 g#5 e5:4"
  }, 24));
  // clang-format on
  Accent(s.lead, 0.82);

  s.harmony = Arpeggio(s.chords, s.Steps(), 1, {0, 2, 1, 3, 2, 4, 3, 1}, 57);
  s.bass = BassLine(s.chords, s.bars,
                    {{0, 2, 0},
                     {2, 2, 0},
                     {4, 2, 12},
                     {6, 2, 0},
                     {8, 2, 0},
                     {10, 2, 0},
                     {12, 2, 12},
                     {14, 2, 7}});

  for (int bar = 0; bar < s.bars; ++bar) {
    const bool climax = bar >= 24;
    const bool fill = bar % 8 == 7;
    Lane(s.drums, Drum::kKick, climax ? "x...x...x...x..." : "x.....x.x.....x.", bar, 0.55, 0.0f);
    Lane(s.drums, Drum::kSnare, fill ? "....x.....x.xgxX" : "....x.......x...", bar, 0.62, -0.08f);
    Lane(s.drums, Drum::kClosedHat, bar % 2 == 1 ? "x.x.x.x.x.x.x..." : "x.x.x.x.x.x.x.x.", bar,
         0.3, 0.25f);
    if (bar % 2 == 1) Lane(s.drums, Drum::kOpenHat, "..............x.", bar, 0.3, 0.25f);
    if (bar % 8 == 0) Lane(s.drums, Drum::kCrash, "x...............", bar, 0.35, -0.3f);
  }

  s.lead_voice.wave = Wave::kPulse;
  s.lead_voice.duty = 0.25;
  s.lead_voice.envelope = {0.004, 0.25, 0.6, 0.04};
  s.lead_voice.gain = 0.24;
  s.lead_voice.pan = -0.2f;
  s.lead_voice.vibrato_hz = 6.0;
  s.lead_voice.vibrato_cents = 18.0;
  s.lead_voice.vibrato_delay = 0.18;
  s.harmony_voice = Pluck(0.125, 0.07, 0.45f);
  s.harmony_voice.envelope = {0.002, 0.07, 0.1, 0.03};
  s.bass_voice = TriangleBass(0.34);
  s.lead_gate = 0.88;
  s.harmony_gate = 0.8;
  s.bass_gate = 0.7;
  s.echo_steps = 3;
  s.echo_gain = 0.25f;
  s.noise_seed = 0x5EED0002u;
  s.limit_knee = 0.45f;
  return s;
}

MixBuffer RenderScore(const Score& score) {
  const Timeline timeline(score.bpm, score.Steps());
  const std::size_t frames = timeline.Frames();
  MixBuffer mix(frames, 2, true);

  MixBuffer lead(frames, 2, true);
  timeline.Play(lead, score.lead_voice, score.lead, score.lead_gate);
  MixInto(mix, lead, 0, 1.0f, false);
  const auto echo =
      static_cast<std::int64_t>(std::llround(timeline.At(score.echo_steps) * kSampleRate));
  MixInto(mix, lead, echo, score.echo_gain, true);

  timeline.Play(mix, score.harmony_voice, score.harmony, score.harmony_gate);
  timeline.Play(mix, score.bass_voice, score.bass, score.bass_gate);

  NoiseSource noise(score.noise_seed);
  for (const auto& hit : score.drums) {
    RenderDrum(mix, hit.drum, timeline.At(hit.step), hit.velocity, hit.pan, noise);
  }
  SoftLimit(mix, score.limit_knee);
  RemoveDc(mix);
  return mix;
}

}  // namespace rv::assets
