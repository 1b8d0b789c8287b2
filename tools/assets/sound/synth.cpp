#include "sound/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rv::assets {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Smooths the step of a naive waveform over one sample either side of the edge.
double PolyBlep(double t, double dt) {
  if (dt <= 0.0) return 0.0;
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

double Oscillator(Wave wave, double phase, double step, double duty) {
  switch (wave) {
    case Wave::kPulse:
      return PulseWave(phase, step, duty);
    case Wave::kTriangle:
      return TriangleWave(phase);
    case Wave::kSine:
      return SineWave(phase);
  }
  return 0.0;
}

// First-order filters for shaping noise.
struct OnePole {
  double coeff;
  double state = 0.0;
  explicit OnePole(double cutoff_hz) : coeff(1.0 - std::exp(-kTwoPi * cutoff_hz / kSampleRate)) {}
  double LowPass(double x) { return state += coeff * (x - state); }
  double HighPass(double x) { return x - LowPass(x); }
};

double Ramp(double t) { return std::min(1.0, t / 0.001); }

}  // namespace

double MidiToHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

double PulseWave(double phase, double phase_step, double duty) {
  duty = std::clamp(duty, 0.01, 0.99);
  double v = phase < duty ? 1.0 : -1.0;
  v += PolyBlep(phase, phase_step);
  double falling = phase + 1.0 - duty;
  falling -= std::floor(falling);
  v -= PolyBlep(falling, phase_step);
  return v - (2.0 * duty - 1.0);
}

double TriangleWave(double phase) {
  double p = phase + 0.25;
  p -= std::floor(p);
  return 1.0 - 4.0 * std::fabs(p - 0.5);
}

double SineWave(double phase) { return std::sin(kTwoPi * phase); }

float NoiseSource::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(state_ >> 8) / static_cast<float>(1u << 23) - 1.0f;
}

double Envelope::HeldLevel(double t) const {
  if (t <= 0.0) return 0.0;
  if (attack > 0.0 && t < attack) return t / attack;
  const double since = t - attack;
  if (decay <= 0.0) return sustain;
  return sustain + (1.0 - sustain) * std::exp(-since / decay);
}

double Envelope::Level(double t, double held) const {
  if (t < held) return HeldLevel(t);
  if (t >= held + release) return 0.0;
  const double at_release = HeldLevel(held);
  const double left = 1.0 - (t - held) / release;
  return left <= 0.0 ? 0.0 : at_release * left;
}

void RenderTone(MixBuffer& out, const Voice& voice, double start_s, double length_s, double hz,
                double velocity) {
  const auto first = static_cast<std::int64_t>(std::llround(start_s * kSampleRate));
  const auto count =
      static_cast<std::int64_t>(std::ceil(voice.envelope.Length(length_s) * kSampleRate));
  const double base = hz * std::pow(2.0, voice.detune_cents / 1200.0);
  OnePole lp1(voice.lowpass_hz);
  OnePole lp2(voice.lowpass_hz);
  const bool filtered = voice.lowpass_hz > 0.0;
  double phase = 0.0;
  for (std::int64_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    double semis = 0.0;
    if (voice.sweep_semitones != 0.0)
      semis += voice.sweep_semitones * std::exp(-t / voice.sweep_time);
    if (voice.vibrato_cents > 0.0 && t > voice.vibrato_delay) {
      const double depth =
          std::min(1.0, (t - voice.vibrato_delay) / 0.2) * voice.vibrato_cents / 100.0;
      semis += depth * std::sin(kTwoPi * voice.vibrato_hz * (t - voice.vibrato_delay));
    }
    const double step = (semis == 0.0 ? base : base * std::pow(2.0, semis / 12.0)) / kSampleRate;
    const double level = voice.envelope.Level(t, length_s) * voice.gain * velocity;
    double wave = Oscillator(voice.wave, phase, step, voice.duty);
    if (filtered) wave = lp2.LowPass(lp1.LowPass(wave));
    const double sample = wave * level;
    out.AddPanned(first + i, static_cast<float>(sample), voice.pan);
    phase += step;
    phase -= std::floor(phase);
  }
}

double DrumLength(Drum drum) {
  switch (drum) {
    case Drum::kKick:
      return 0.28;
    case Drum::kSnare:
      return 0.22;
    case Drum::kClosedHat:
      return 0.06;
    case Drum::kOpenHat:
      return 0.3;
    case Drum::kCrash:
      return 1.2;
  }
  return 0.0;
}

void RenderDrum(MixBuffer& out, Drum drum, double start_s, double velocity, float pan,
                NoiseSource& noise) {
  const auto first = static_cast<std::int64_t>(std::llround(start_s * kSampleRate));
  const auto count = static_cast<std::int64_t>(DrumLength(drum) * kSampleRate);
  const double length = DrumLength(drum);
  OnePole hp1(drum == Drum::kSnare ? 1200.0 : 6000.0);
  OnePole hp2(drum == Drum::kSnare ? 1200.0 : 6000.0);
  OnePole lp(drum == Drum::kSnare ? 9000.0 : 16000.0);
  double phase = 0.0;
  for (std::int64_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    // Every drum tapers to zero over its last 10 ms as well.
    const double tail = std::min(1.0, (length - t) / 0.01);
    const double shape = Ramp(t) * tail * velocity;
    double v = 0.0;
    const double n = noise.Next();
    switch (drum) {
      case Drum::kKick: {
        const double hz = 48.0 + 110.0 * std::exp(-t / 0.035);
        phase += hz / kSampleRate;
        v = std::sin(kTwoPi * phase) * std::exp(-t / 0.11);
        v += 0.15 * n * std::exp(-t / 0.004);
        break;
      }
      case Drum::kSnare: {
        phase += 185.0 / kSampleRate;
        const double body = TriangleWave(phase - std::floor(phase)) * std::exp(-t / 0.05);
        const double rattle = lp.LowPass(hp2.HighPass(hp1.HighPass(n))) * std::exp(-t / 0.07);
        v = 0.5 * body + 1.4 * rattle;
        break;
      }
      case Drum::kClosedHat:
        v = 1.6 * hp2.HighPass(hp1.HighPass(n)) * std::exp(-t / 0.018);
        break;
      case Drum::kOpenHat:
        v = 1.4 * hp2.HighPass(hp1.HighPass(n)) * std::exp(-t / 0.09);
        break;
      case Drum::kCrash:
        v = 1.2 * lp.LowPass(hp1.HighPass(n)) * std::exp(-t / 0.35);
        break;
    }
    out.AddPanned(first + i, static_cast<float>(v * shape), pan);
  }
}

}  // namespace rv::assets
