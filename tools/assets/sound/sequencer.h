#pragma once

#include <string_view>
#include <vector>

#include "sound/mix_buffer.h"
#include "sound/synth.h"

namespace rv::assets {

// Times in a piece are counted in sixteenth notes; a 4/4 bar is 16 of them.
inline constexpr int kStepsPerBar = 16;

struct NoteEvent {
  int start = 0;   // sixteenths from the start of the piece
  int length = 0;  // sixteenths
  int midi = 0;
  double velocity = 1.0;
};

struct Chord {
  int start = 0;
  int length = 0;
  int root = 0;                // pitch class 0..11, C = 0
  std::vector<int> intervals;  // semitones above the root, the root (0) first
};

// "c#4" / "bb3" / "e5" -> MIDI number (C4 = 60). Throws std::invalid_argument.
int ParsePitch(std::string_view text);

// A melody line: space-separated "<pitch>[:<sixteenths>]" or "r[:<sixteenths>]"
// (a rest). A length carries over to the following notes until it changes, the
// way a musician writes a run of equal notes once. Starts at `start`.
// Throws std::invalid_argument on a malformed token.
std::vector<NoteEvent> ParseMelody(std::string_view text, int start = 0);

// How long a melody line lasts, rests included, in sixteenths.
int MelodyLength(std::string_view text);

// Chord symbols, one a bar unless given a length: "C Am7 Dm7:8 G7:8 Fmaj7 Gsus4 E7".
std::vector<Chord> ParseChords(std::string_view text, int start = 0);

// Where a sequence of notes or chords ends, in sixteenths.
int EndOf(const std::vector<NoteEvent>& notes);
int EndOf(const std::vector<Chord>& chords);

// The chord sounding at a step (the last chord when past the end).
const Chord& ChordAt(const std::vector<Chord>& chords, int step);

// Ties the grid to time: a tempo and the length of the piece in sixteenths.
class Timeline {
 public:
  Timeline(double bpm, int steps) : bpm_(bpm), steps_(steps) {}
  double StepSeconds() const { return 60.0 / bpm_ / 4.0; }
  double At(int step) const { return step * StepSeconds(); }
  int Steps() const { return steps_; }
  std::size_t Frames() const;

  // Notes are played a little shorter than written (`gate` of their length)
  // so that repeated notes are heard as separate notes; a note ending the
  // piece is held to the end, tied over into the next pass.
  void Play(MixBuffer& out, const Voice& voice, const std::vector<NoteEvent>& notes,
            double gate = 0.9) const;

 private:
  double bpm_;
  int steps_;
};

}  // namespace rv::assets
