#pragma once
// The pieces scores are written with: bars of melody, chord-following bass and
// arpeggios, drum lanes, the voices, and the humanising that keeps repeats alive.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "sound/music.h"

namespace rv::assets {

// A melody written bar by bar; every bar must add up to exactly one bar, so a
// slip in the writing cannot shift everything after it.
std::vector<NoteEvent> Bars(std::span<const std::string_view> bars, int first_bar);
std::vector<NoteEvent> Bars(std::initializer_list<std::string_view> bars, int first_bar);

void Append(std::vector<NoteEvent>& to, const std::vector<NoteEvent>& more);
void Append(std::vector<Chord>& to, const std::vector<Chord>& more);

// The same notes `bars` later and `semitones` higher.
std::vector<NoteEvent> Moved(std::vector<NoteEvent> notes, int bars, int semitones);

// Notes on the beat a little stronger than those between.
void Accent(std::vector<NoteEvent>& notes, double off_beat);

struct BassStep {
  int step;  // within the bar
  int length;
  int offset;  // semitones above the chord's root
};

// The bass of bars [first_bar, first_bar + bars) follows the chord sounding at
// each of its steps, kept between E2 and D#3.
std::vector<NoteEvent> BassLine(const std::vector<Chord>& chords, int first_bar, int bars,
                                const std::vector<BassStep>& pattern);

// Chord tones of the steps [from, to) in `order`, one every `step_length`, spread
// upward from `low`.
std::vector<NoteEvent> Arpeggio(const std::vector<Chord>& chords, int from, int to, int step_length,
                                const std::vector<int>& order, int low);

// One bar of one drum: 'x' a hit, 'X' an accent, 'g' a ghost note, '.' nothing.
void Lane(std::vector<DrumHit>& hits, Drum drum, std::string_view lane, int bar, double velocity,
          float pan);

// Players never strike twice alike: every velocity is moved by up to `spread`
// (a share of itself) in a direction drawn from `seed`, the same on every build.
void Humanise(std::vector<NoteEvent>& notes, double spread, std::uint32_t seed);
void Humanise(std::vector<DrumHit>& hits, double spread, std::uint32_t seed);

// A pulse lead whose vibrato fades in after `vibrato_delay` seconds.
Voice PulseLead(double duty, const Envelope& envelope, double gain, float pan, double vibrato_hz,
                double vibrato_cents, double vibrato_delay);
Voice Pluck(double duty, double gain, float pan);
Voice TriangleBass(double gain);

}  // namespace rv::assets
