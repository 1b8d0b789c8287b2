#pragma once

#include <cstdint>

#include "sound/mix_buffer.h"

namespace rv::assets {

// Equal temperament, A4 (MIDI 69) = 440 Hz.
double MidiToHz(double midi);

// Oscillators take a phase in [0, 1) and the phase step per sample. The pulse is
// band-limited at its edges (polyBLEP) so high notes do not alias into hiss,
// and has its DC removed: a narrow duty would otherwise push the mix off centre.
double PulseWave(double phase, double phase_step, double duty);
// Starts at 0 and rises, so a note begins at rest.
double TriangleWave(double phase);
double SineWave(double phase);

// White noise from a fixed seed: the same seed gives the same sound on every build.
class NoiseSource {
 public:
  explicit NoiseSource(std::uint32_t seed) : state_(seed == 0 ? 0x9E3779B9u : seed) {}
  // Uniform in [-1, 1).
  float Next();

 private:
  std::uint32_t state_;
};

// Linear attack, exponential decay towards the sustain level while held, then a
// linear release to exactly zero. Times in seconds.
struct Envelope {
  double attack = 0.005;
  double decay = 0.2;
  double sustain = 0.6;
  double release = 0.05;

  // Level at t seconds after the note's start for a note held for `held` seconds.
  double Level(double t, double held) const;
  double Length(double held) const { return held + release; }

 private:
  double HeldLevel(double t) const;
};

enum class Wave { kPulse, kTriangle, kSine };

// One melodic instrument: an oscillator with its envelope, level and place.
struct Voice {
  Wave wave = Wave::kPulse;
  double duty = 0.5;
  Envelope envelope;
  double gain = 0.3;
  float pan = 0.0f;
  // Vibrato fades in after the delay, so short notes stay plain.
  double vibrato_hz = 0.0;
  double vibrato_cents = 0.0;
  double vibrato_delay = 0.15;
  // The pitch starts this many semitones off and glides home (drops, chirps).
  double sweep_semitones = 0.0;
  double sweep_time = 0.03;
  // Later notes of a chord may be detuned a little for width.
  double detune_cents = 0.0;
  // A gentle two-pole low-pass (12 dB an octave) that takes the edge off a pulse's
  // upper harmonics; 0 leaves the oscillator as it is.
  double lowpass_hz = 0.0;
};

// Renders one note of `length_s` seconds (plus the release) starting at start_s.
void RenderTone(MixBuffer& out, const Voice& voice, double start_s, double length_s, double hz,
                double velocity);

enum class Drum { kKick, kSnare, kClosedHat, kOpenHat, kCrash };

// Noise percussion (the kick is a swept sine). Every hit ramps in over a
// millisecond: a drum must never start with a step.
void RenderDrum(MixBuffer& out, Drum drum, double start_s, double velocity, float pan,
                NoiseSource& noise);
// How long a drum rings, in seconds.
double DrumLength(Drum drum);

}  // namespace rv::assets
