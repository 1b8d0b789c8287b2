#pragma once

#include <cstdint>
#include <vector>

#include "sound/mix_buffer.h"
#include "sound/sequencer.h"
#include "sound/synth.h"

namespace rv::assets {

struct DrumHit {
  int step = 0;
  Drum drum = Drum::kKick;
  double velocity = 1.0;
  float pan = 0.0f;
};

// A whole looping piece: its harmony, its four voices and their sounds.
struct Score {
  double bpm = 120.0;
  int bars = 0;
  std::vector<Chord> chords;
  std::vector<NoteEvent> lead;
  std::vector<NoteEvent> harmony;
  std::vector<NoteEvent> bass;
  std::vector<DrumHit> drums;
  Voice lead_voice;
  Voice harmony_voice;
  Voice bass_voice;
  double lead_gate = 0.9;
  double harmony_gate = 0.9;
  double bass_gate = 0.9;
  // The lead's echo, answering from the other side.
  int echo_steps = 3;
  float echo_gain = 0.3f;
  std::uint32_t noise_seed = 1;
  // Peaks above this share of the loudest sample are bent down (1 = off).
  float limit_knee = 1.0f;

  int Steps() const { return bars * kStepsPerBar; }
};

// Calm and inviting, for the title and the menu.
Score TitleScore();
// Driving, for the match (match_score.cpp).
Score MatchScore();

// Renders a score into a looping stereo buffer of exactly its bars: what rings
// past the last bar line folds onto the first, so the end leads into the start.
MixBuffer RenderScore(const Score& score);

}  // namespace rv::assets
