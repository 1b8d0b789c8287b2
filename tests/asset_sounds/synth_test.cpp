#include "sound/synth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sound/mix_buffer.h"

namespace rv::assets {
namespace {

TEST(Pitch, EqualTemperamentAroundA440) {
  EXPECT_DOUBLE_EQ(MidiToHz(69), 440.0);
  EXPECT_NEAR(MidiToHz(81) / MidiToHz(69), 2.0, 1e-12);
  EXPECT_NEAR(MidiToHz(70) / MidiToHz(69), std::pow(2.0, 1.0 / 12.0), 1e-12);
  EXPECT_NEAR(MidiToHz(60), 261.6256, 1e-3);
}

TEST(Oscillators, PulseHasNoDcAndTheRequestedDuty) {
  constexpr int kPeriod = 4000;
  const double step = 1.0 / kPeriod;
  for (double duty : {0.125, 0.25, 0.5}) {
    double sum = 0.0;
    int high = 0;
    for (int i = 0; i < kPeriod; ++i) {
      const double v = PulseWave(i * step, step, duty);
      sum += v;
      if (v > 0.0) ++high;
    }
    EXPECT_NEAR(sum / kPeriod, 0.0, 1e-3) << "duty " << duty;
    EXPECT_NEAR(static_cast<double>(high) / kPeriod, duty, 2.0 / kPeriod) << "duty " << duty;
  }
}

TEST(Oscillators, PulseEdgesAreSmoothedAtHighPitch) {
  // At a tenth of the sample rate a naive square jumps by 2 in one sample;
  // the band-limited edge spreads the jump over two.
  const double step = 0.1;
  double biggest = 0.0;
  double previous = PulseWave(0.0, step, 0.5);
  for (int i = 1; i < 200; ++i) {
    double phase = i * step + 0.013;
    phase -= std::floor(phase);
    const double v = PulseWave(phase, step, 0.5);
    biggest = std::max(biggest, std::fabs(v - previous));
    previous = v;
  }
  EXPECT_LT(biggest, 1.9);
}

TEST(Oscillators, TriangleStartsAtRestAndSpansFullScale) {
  EXPECT_NEAR(TriangleWave(0.0), 0.0, 1e-12);
  EXPECT_NEAR(TriangleWave(0.25), 1.0, 1e-12);
  EXPECT_NEAR(TriangleWave(0.75), -1.0, 1e-12);
  double previous = TriangleWave(0.0);
  for (int i = 1; i <= 1000; ++i) {
    const double v = TriangleWave(i / 1000.0 - std::floor(i / 1000.0));
    EXPECT_LE(std::fabs(v - previous), 4.0 / 1000.0 + 1e-9);
    previous = v;
  }
}

TEST(Noise, SeededAndCentred) {
  NoiseSource a(42), b(42), c(43);
  bool differs = false;
  double sum = 0.0;
  for (int i = 0; i < 20000; ++i) {
    const float x = a.Next();
    const float y = b.Next();
    EXPECT_EQ(x, y);
    if (c.Next() != x) differs = true;
    ASSERT_GE(x, -1.0f);
    ASSERT_LT(x, 1.0f);
    sum += x;
  }
  EXPECT_TRUE(differs);
  EXPECT_NEAR(sum / 20000.0, 0.0, 0.03);
  NoiseSource zero(0);
  EXPECT_NE(zero.Next(), zero.Next()) << "a zero seed must not stick at zero";
}

TEST(Envelopes, RiseDecayAndReleaseToZero) {
  const Envelope env{0.01, 0.1, 0.5, 0.05};
  const double held = 0.4;
  EXPECT_DOUBLE_EQ(env.Level(0.0, held), 0.0);
  EXPECT_NEAR(env.Level(0.005, held), 0.5, 1e-9);
  EXPECT_NEAR(env.Level(0.01, held), 1.0, 1e-9);
  EXPECT_GT(env.Level(0.39, held), 0.5);
  EXPECT_LT(env.Level(0.39, held), 0.55);
  // No step where the key is let go.
  EXPECT_NEAR(env.Level(held - 1e-6, held), env.Level(held + 1e-6, held), 1e-3);
  EXPECT_DOUBLE_EQ(env.Level(held + env.release, held), 0.0);
  EXPECT_DOUBLE_EQ(env.Level(held + 1.0, held), 0.0);
  double previous = 1.0;
  for (double t = 0.01; t < held + env.release; t += 0.001) {
    const double level = env.Level(t, held);
    EXPECT_LE(level, previous + 1e-12) << "t " << t;
    previous = level;
  }
}

TEST(Envelopes, ReleaseOfAShortNoteStartsFromWhereTheAttackGot) {
  const Envelope env{0.1, 0.1, 0.5, 0.1};
  // Let go halfway up the attack: the release starts at half level.
  EXPECT_NEAR(env.Level(0.05 + 1e-9, 0.05), 0.5, 1e-6);
  EXPECT_NEAR(env.Level(0.10, 0.05), 0.25, 1e-6);
}

TEST(Tones, SoundOnlyWhileTheyLastAtTheirPitch) {
  MixBuffer out(kSampleRate, 1, false);
  Voice v;
  v.wave = Wave::kSine;
  v.envelope = {0.005, 0.1, 1.0, 0.02};
  v.gain = 1.0;
  RenderTone(out, v, 0.25, 0.5, 441.0, 1.0);
  const auto start = static_cast<std::size_t>(0.25 * kSampleRate);
  const auto end = static_cast<std::size_t>((0.25 + 0.5 + 0.02) * kSampleRate) + 1;
  int crossings = 0;
  for (std::size_t i = 0; i < out.Frames(); ++i) {
    if (i < start || i > end) {
      ASSERT_EQ(out.At(i, 0), 0.0f) << "frame " << i;
    }
    if (i > start + 1000 && i < start + 1000 + 22050 / 2 && i + 1 < out.Frames()) {
      if ((out.At(i, 0) < 0.0f) != (out.At(i + 1, 0) < 0.0f)) ++crossings;
    }
  }
  // 441 Hz over a quarter second: 110 cycles, two crossings each.
  EXPECT_NEAR(crossings, 2 * 441 / 4, 2);
}

TEST(Tones, SweepStartsHighAndSettles) {
  MixBuffer plain(4410, 1, false), swept(4410, 1, false);
  Voice v;
  v.wave = Wave::kSine;
  v.envelope = {0.0, 0.0, 1.0, 0.0};
  v.gain = 1.0;
  RenderTone(plain, v, 0.0, 0.1, 440.0, 1.0);
  v.sweep_semitones = 12.0;
  v.sweep_time = 0.01;
  RenderTone(swept, v, 0.0, 0.1, 440.0, 1.0);
  auto crossings = [](const MixBuffer& b, std::size_t from, std::size_t to) {
    int n = 0;
    for (std::size_t i = from; i + 1 < to; ++i) n += (b.At(i, 0) < 0.0f) != (b.At(i + 1, 0) < 0.0f);
    return n;
  };
  EXPECT_GT(crossings(swept, 0, 441), crossings(plain, 0, 441) + 3);
  EXPECT_NEAR(crossings(swept, 2205, 4400), crossings(plain, 2205, 4400), 2);
}

TEST(Drums, EveryDrumStartsAtRestRingsAndStops) {
  for (Drum drum : {Drum::kKick, Drum::kSnare, Drum::kClosedHat, Drum::kOpenHat, Drum::kCrash}) {
    MixBuffer out(2 * kSampleRate, 1, false);
    NoiseSource noise(7);
    RenderDrum(out, drum, 0.1, 1.0, 0.0f, noise);
    const auto start = static_cast<std::size_t>(0.1 * kSampleRate);
    const auto stop = start + static_cast<std::size_t>(DrumLength(drum) * kSampleRate);
    float peak = 0.0f;
    for (std::size_t i = 0; i < out.Frames(); ++i) {
      peak = std::max(peak, std::fabs(out.At(i, 0)));
      if (i < start || i >= stop) {
        ASSERT_EQ(out.At(i, 0), 0.0f) << "frame " << i;
      }
    }
    EXPECT_GT(peak, 0.1f);
    EXPECT_LT(std::fabs(out.At(start, 0)), 0.02f * peak);
    EXPECT_LT(std::fabs(out.At(stop - 1, 0)), 0.02f * peak);
  }
}

TEST(MixBuffers, LoopingBuffersFoldTheTailOntoTheStart) {
  MixBuffer loop(100, 2, true);
  loop.Add(103, 0, 0.5f);
  loop.Add(-1, 1, 0.25f);
  EXPECT_FLOAT_EQ(loop.At(3, 0), 0.5f);
  EXPECT_FLOAT_EQ(loop.At(99, 1), 0.25f);
  MixBuffer once(100, 2, false);
  once.Add(103, 0, 0.5f);
  once.Add(-1, 0, 0.5f);
  once.Add(5, 2, 0.5f);
  EXPECT_EQ(Peak(once), 0.0f);
}

TEST(MixBuffers, PanningKeepsPowerAndPlacesSides) {
  MixBuffer b(3, 2, false);
  b.AddPanned(0, 1.0f, 0.0f);
  b.AddPanned(1, 1.0f, -1.0f);
  b.AddPanned(2, 1.0f, 1.0f);
  EXPECT_NEAR(b.At(0, 0), b.At(0, 1), 1e-6);
  EXPECT_NEAR(b.At(0, 0) * b.At(0, 0) + b.At(0, 1) * b.At(0, 1), 1.0, 1e-6);
  EXPECT_NEAR(b.At(1, 0), 1.0f, 1e-6);
  EXPECT_NEAR(b.At(1, 1), 0.0f, 1e-6);
  EXPECT_NEAR(b.At(2, 1), 1.0f, 1e-6);
  MixBuffer mono(1, 1, false);
  mono.AddPanned(0, 0.7f, 1.0f);
  EXPECT_FLOAT_EQ(mono.At(0, 0), 0.7f);
}

TEST(MixBuffers, MixIntoDelaysScalesAndCrosses) {
  MixBuffer src(10, 2, false), dst(10, 2, true);
  src.Add(0, 0, 1.0f);
  MixInto(dst, src, 9, 0.5f, true);
  EXPECT_FLOAT_EQ(dst.At(9, 1), 0.5f);
  EXPECT_FLOAT_EQ(dst.At(9, 0), 0.0f);
  MixInto(dst, src, 12, 1.0f, false);
  EXPECT_FLOAT_EQ(dst.At(2, 0), 1.0f);
}

TEST(MixBuffers, SoftLimitBendsOnlyThePeaks) {
  MixBuffer b(201, 1, false);
  for (int i = 0; i <= 200; ++i) b.Add(i, 0, static_cast<float>((i - 100) / 100.0));
  const MixBuffer before = b;
  SoftLimit(b, 0.5f);
  for (std::size_t i = 0; i < b.Frames(); ++i) {
    const float x = before.At(i, 0);
    if (std::fabs(x) <= 0.5f) {
      EXPECT_EQ(b.At(i, 0), x) << i;
    } else {
      EXPECT_LT(std::fabs(b.At(i, 0)), std::fabs(x)) << i;
      EXPECT_GT(std::fabs(b.At(i, 0)), 0.5f) << i;
      EXPECT_EQ(b.At(i, 0) < 0.0f, x < 0.0f) << i;
    }
    if (i > 0) {
      EXPECT_GT(b.At(i, 0), b.At(i - 1, 0)) << "order kept at " << i;
    }
  }
  EXPECT_LT(Peak(b), 1.0f);
  MixBuffer untouched = before;
  SoftLimit(untouched, 1.0f);
  EXPECT_EQ(untouched.Samples(), before.Samples());
}

TEST(MixBuffers, FadesDcAndConversion) {
  MixBuffer b(1000, 1, false);
  for (std::size_t i = 0; i < 1000; ++i)
    b.Add(static_cast<std::int64_t>(i), 0, 0.5f + (i % 2 ? 0.25f : -0.25f));
  RemoveDc(b);
  double sum = 0.0;
  for (std::size_t i = 0; i < 1000; ++i) sum += b.At(i, 0);
  EXPECT_NEAR(sum, 0.0, 1e-3);
  ApplyFades(b, 0.001, 0.002);
  EXPECT_EQ(b.At(0, 0), 0.0f);
  EXPECT_EQ(b.At(999, 0), 0.0f);
  EXPECT_NEAR(std::fabs(b.At(500, 0)), 0.25f, 1e-6);
  const auto pcm = ToPcm16(b, -6.0);
  int peak = 0;
  for (auto s : pcm) peak = std::max(peak, std::abs(static_cast<int>(s)));
  EXPECT_NEAR(peak, 32767.0 * std::pow(10.0, -6.0 / 20.0), 1.0);
  const auto silent = ToPcm16(MixBuffer(10, 2, false), -1.0);
  ASSERT_EQ(silent.size(), 20u);
  for (auto s : silent) EXPECT_EQ(s, 0);
}

// Energy of the sample-to-sample steps over the energy of the signal: a measure of
// how much of the sound lies high up.
double Brightness(const MixBuffer& b) {
  double steps = 0.0, level = 0.0;
  for (std::size_t i = 1; i < b.Frames(); ++i) {
    const double d = b.At(i, 0) - b.At(i - 1, 0);
    steps += d * d;
    level += double(b.At(i, 0)) * b.At(i, 0);
  }
  return steps / level;
}

// The low-pass takes the edge off a pulse: its upper harmonics drop, the note stays.
TEST(Tones, LowPassDarkensAPulseAndKeepsItsLevel) {
  for (double duty : {0.125, 0.25}) {
    Voice plain;
    plain.wave = Wave::kPulse;
    plain.duty = duty;
    plain.envelope = {0.002, 0.1, 0.5, 0.02};
    Voice soft = plain;
    soft.lowpass_hz = 2800.0;
    MixBuffer a(kSampleRate / 4, 1, false);
    MixBuffer b(kSampleRate / 4, 1, false);
    RenderTone(a, plain, 0.0, 0.2, MidiToHz(84), 1.0);
    RenderTone(b, soft, 0.0, 0.2, MidiToHz(84), 1.0);
    EXPECT_LT(Brightness(b), 0.5 * Brightness(a)) << "duty " << duty;
    EXPECT_GT(Rms(b), 0.5 * Rms(a)) << "duty " << duty;
    EXPECT_EQ(b.At(b.Frames() - 1, 0), 0.0f) << "the filtered note still ends at rest";
  }
}

}  // namespace
}  // namespace rv::assets
