#include "sound/effects.h"

#include <cstddef>
#include <initializer_list>

#include "sound/synth.h"

namespace rv::assets {
namespace {

MixBuffer Mono(double seconds) {
  return MixBuffer(static_cast<std::size_t>(seconds * kSampleRate), 1, false);
}

Voice Tone(Wave wave, double duty, Envelope envelope, double gain) {
  Voice v;
  v.wave = wave;
  v.duty = duty;
  v.envelope = envelope;
  v.gain = gain;
  return v;
}

// A struck bell: a sine with two inharmonic partials that die away faster.
void Bell(MixBuffer& out, double start_s, double midi, double velocity) {
  const double hz = MidiToHz(midi);
  struct Partial {
    double ratio, gain, decay;
  };
  for (const Partial& p :
       {Partial{1.0, 0.5, 0.35}, Partial{2.76, 0.18, 0.12}, Partial{5.4, 0.08, 0.05}}) {
    const Voice v = Tone(Wave::kSine, 0.5, {0.002, p.decay, 0.0, 0.05}, p.gain);
    RenderTone(out, v, start_s, 0.5, hz * p.ratio, velocity);
  }
}

}  // namespace

MixBuffer RenderPlaceEffect() {
  MixBuffer out = Mono(0.16);
  // A wooden "tock": a sine that drops an octave into its pitch in a few
  // milliseconds, with a brief bright edge on top.
  Voice body = Tone(Wave::kSine, 0.5, {0.001, 0.035, 0.0, 0.02}, 0.7);
  body.sweep_semitones = 12.0;
  body.sweep_time = 0.01;
  RenderTone(out, body, 0.0, 0.12, MidiToHz(76), 1.0);
  Voice edge = Tone(Wave::kPulse, 0.25, {0.001, 0.012, 0.0, 0.01}, 0.18);
  RenderTone(out, edge, 0.0, 0.03, MidiToHz(88), 1.0);
  NoiseSource noise(0x7A11u);
  RenderDrum(out, Drum::kClosedHat, 0.0, 0.5, 0.0f, noise);
  ApplyFades(out, 0.0008, 0.02);
  return out;
}

MixBuffer RenderStartEffect() {
  MixBuffer out = Mono(1.0);
  Voice lead = Tone(Wave::kPulse, 0.25, {0.003, 0.1, 0.7, 0.03}, 0.3);
  // G5 C6 E6 G6 climbing, then the C major chord rings out on top.
  double at = 0.0;
  for (int midi : {79, 84, 88, 91}) {
    RenderTone(out, lead, at, 0.065, MidiToHz(midi), 1.0);
    at += 0.075;
  }
  Voice chord = Tone(Wave::kPulse, 0.125, {0.004, 0.35, 0.45, 0.12}, 0.18);
  chord.vibrato_hz = 6.0;
  chord.vibrato_cents = 12.0;
  chord.vibrato_delay = 0.15;
  for (int midi : {84, 88, 91, 96}) RenderTone(out, chord, 0.32, 0.5, MidiToHz(midi), 1.0);
  Voice bass = Tone(Wave::kTriangle, 0.5, {0.004, 0.3, 0.6, 0.1}, 0.5);
  RenderTone(out, bass, 0.32, 0.5, MidiToHz(48), 1.0);
  ApplyFades(out, 0.002, 0.04);
  return out;
}

MixBuffer RenderRankingEffect() {
  MixBuffer out = Mono(0.85);
  // Three bells rising through a G major chord.
  Bell(out, 0.0, 79, 0.8);
  Bell(out, 0.13, 83, 0.85);
  Bell(out, 0.26, 86, 1.0);
  ApplyFades(out, 0.002, 0.08);
  return out;
}

MixBuffer RenderGoodbyeEffect() {
  MixBuffer out = Mono(1.05);
  Voice lead = Tone(Wave::kPulse, 0.5, {0.006, 0.2, 0.5, 0.06}, 0.28);
  Voice low = Tone(Wave::kTriangle, 0.5, {0.006, 0.3, 0.6, 0.08}, 0.35);
  // G5 E5 C5, then a long G4 underneath which the phrase settles.
  const double starts[] = {0.0, 0.17, 0.34, 0.51};
  const int notes[] = {79, 76, 72, 67};
  for (int i = 0; i < 4; ++i) {
    const double length = i == 3 ? 0.34 : 0.14;
    RenderTone(out, lead, starts[i], length, MidiToHz(notes[i]), i == 3 ? 0.9 : 1.0);
    RenderTone(out, low, starts[i], length, MidiToHz(notes[i] - 12), 1.0);
  }
  ApplyFades(out, 0.002, 0.12);
  return out;
}

}  // namespace rv::assets
