#include "sound/score_parts.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace rv::assets {
namespace {

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

}  // namespace

std::vector<NoteEvent> Bars(std::initializer_list<std::string_view> bars, int first_bar) {
  return Bars(std::span<const std::string_view>(bars.begin(), bars.size()), first_bar);
}

std::vector<NoteEvent> Bars(std::span<const std::string_view> bars, int first_bar) {
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

std::vector<NoteEvent> Moved(std::vector<NoteEvent> notes, int bars, int semitones) {
  for (auto& n : notes) {
    n.start += bars * kStepsPerBar;
    n.midi += semitones;
  }
  return notes;
}

void Accent(std::vector<NoteEvent>& notes, double off_beat) {
  for (auto& n : notes) n.velocity = (n.start % 4 == 0) ? 1.0 : off_beat;
}

std::vector<NoteEvent> BassLine(const std::vector<Chord>& chords, int first_bar, int bars,
                                const std::vector<BassStep>& pattern) {
  std::vector<NoteEvent> notes;
  for (int bar = first_bar; bar < first_bar + bars; ++bar) {
    for (const auto& p : pattern) {
      const int at = bar * kStepsPerBar + p.step;
      const Chord& chord = ChordAt(chords, at);
      const int root = 36 + chord.root + (chord.root < 4 ? 12 : 0);
      notes.push_back({at, p.length, root + p.offset, p.step % 4 == 0 ? 1.0 : 0.85});
    }
  }
  return notes;
}

std::vector<NoteEvent> Arpeggio(const std::vector<Chord>& chords, int from, int to, int step_length,
                                const std::vector<int>& order, int low) {
  std::vector<NoteEvent> notes;
  int i = 0;
  for (int at = from; at < to; at += step_length, ++i) {
    const int index = order[static_cast<std::size_t>(i) % order.size()];
    const double velocity = (at % 4 == 0) ? 1.0 : 0.8;
    const int length = std::min(step_length, to - at);
    notes.push_back({at, length, ChordTone(ChordAt(chords, at), index, low), velocity});
  }
  return notes;
}

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

void Humanise(std::vector<NoteEvent>& notes, double spread, std::uint32_t seed) {
  NoiseSource draw(seed);
  for (auto& n : notes) n.velocity *= 1.0 + spread * draw.Next();
}

void Humanise(std::vector<DrumHit>& hits, double spread, std::uint32_t seed) {
  NoiseSource draw(seed);
  for (auto& h : hits) h.velocity *= 1.0 + spread * draw.Next();
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

Voice PulseLead(double duty, const Envelope& envelope, double gain, float pan, double vibrato_hz,
                double vibrato_cents, double vibrato_delay) {
  Voice v = Pluck(duty, gain, pan);
  v.envelope = envelope;
  v.vibrato_hz = vibrato_hz;
  v.vibrato_cents = vibrato_cents;
  v.vibrato_delay = vibrato_delay;
  return v;
}

Voice TriangleBass(double gain) {
  Voice v;
  v.wave = Wave::kTriangle;
  v.envelope = {0.004, 0.5, 0.7, 0.03};
  v.gain = gain;
  return v;
}

}  // namespace rv::assets
