#include "sound/music.h"

#include <cmath>
#include <cstdint>

#include "sound/score_parts.h"

namespace rv::assets {

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

  s.harmony = Arpeggio(s.chords, 0, s.Steps(), 2, {0, 1, 2, 3, 4, 3, 2, 1}, 55);
  s.bass = BassLine(s.chords, 0, s.bars, {{0, 6, 0}, {6, 2, 7}, {8, 6, 12}, {14, 2, 7}});

  for (int bar = 0; bar < s.bars; ++bar) {
    const bool b_section = bar >= 8 && bar < 16;
    Lane(s.drums, Drum::kKick, "x.......x.....g.", bar, 0.4, 0.0f);
    Lane(s.drums, Drum::kSnare, b_section ? "....x.......x..g" : "............x...", bar, 0.22,
         -0.1f);
    Lane(s.drums, Drum::kClosedHat, b_section ? "x.X.x.X.x.X.x.X." : "..x...x...x...x.", bar, 0.22,
         0.3f);
  }

  s.lead_voice = PulseLead(0.5, {0.015, 0.4, 0.55, 0.08}, 0.25, -0.15f, 5.2, 14.0, 0.2);
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
