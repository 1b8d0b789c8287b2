#include "sound/sequencer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace rv::assets {
namespace {

TEST(Pitches, NamesOctavesAndAccidentals) {
  EXPECT_EQ(ParsePitch("c4"), 60);
  EXPECT_EQ(ParsePitch("a4"), 69);
  EXPECT_EQ(ParsePitch("c#4"), 61);
  EXPECT_EQ(ParsePitch("bb3"), 58);
  EXPECT_EQ(ParsePitch("b3"), 59);
  EXPECT_EQ(ParsePitch("g#5") - ParsePitch("g5"), 1);
  EXPECT_EQ(ParsePitch("e6") - ParsePitch("e5"), 12);
}

TEST(Pitches, MalformedNamesAreRefused) {
  for (const char* bad : {"", "h4", "c", "c10", "c#", "4c", "cb", "c4x"}) {
    EXPECT_THROW(ParsePitch(bad), std::invalid_argument) << "\"" << bad << "\"";
  }
}

TEST(Melodies, LengthsCarryOverAndRestsTakeTime) {
  const auto notes = ParseMelody("e5:6 d5:2 r c5:4 g4", 32);
  ASSERT_EQ(notes.size(), 4u);
  EXPECT_EQ(notes[0].start, 32);
  EXPECT_EQ(notes[0].length, 6);
  EXPECT_EQ(notes[1].start, 38);
  EXPECT_EQ(notes[1].length, 2);
  // The rest keeps the last length (2).
  EXPECT_EQ(notes[2].start, 42);
  EXPECT_EQ(notes[2].midi, 72);
  EXPECT_EQ(notes[3].start, 46);
  EXPECT_EQ(notes[3].length, 4);
  EXPECT_EQ(EndOf(notes), 50);
  EXPECT_EQ(MelodyLength("e5:6 d5:2 r c5:4 g4"), 18);
  EXPECT_EQ(MelodyLength("c4 r:12"), 16);
  EXPECT_EQ(MelodyLength(""), 0);
}

TEST(Melodies, BadLengthsAreRefused) {
  for (const char* bad : {"c4:0", "c4:x", "c4:", "c4:65", "c4:123", "x4:2"}) {
    EXPECT_THROW(ParseMelody(bad), std::invalid_argument) << bad;
  }
}

TEST(Chords, SymbolsRootsAndLengths) {
  const auto chords = ParseChords("C Am7 Dm7:8 G7:8 Fmaj7 Bb Gsus4 E7", 16);
  ASSERT_EQ(chords.size(), 8u);
  EXPECT_EQ(chords[0].start, 16);
  EXPECT_EQ(chords[0].length, 16);
  EXPECT_EQ(chords[0].intervals, (std::vector<int>{0, 4, 7}));
  EXPECT_EQ(chords[1].root, 9);
  EXPECT_EQ(chords[1].intervals, (std::vector<int>{0, 3, 7, 10}));
  EXPECT_EQ(chords[2].length, 8);
  EXPECT_EQ(chords[3].start, chords[2].start + 8);
  EXPECT_EQ(chords[3].root, 7);
  EXPECT_EQ(chords[4].intervals, (std::vector<int>{0, 4, 7, 11}));
  EXPECT_EQ(chords[5].root, 10);
  EXPECT_EQ(chords[6].intervals, (std::vector<int>{0, 5, 7}));
  EXPECT_EQ(EndOf(chords), 16 + 6 * 16 + 2 * 8);
  EXPECT_EQ(ChordAt(chords, 16 + 16).root, 9);
  EXPECT_EQ(ChordAt(chords, 16 + 2 * 16 + 8).root, 7);
  EXPECT_EQ(ChordAt(chords, 100000).root, 4);
}

TEST(Chords, UnknownSymbolsAreRefused) {
  for (const char* bad : {"c", "H", "Cm9", "C:0", "Am7:xx"}) {
    EXPECT_THROW(ParseChords(bad), std::invalid_argument) << bad;
  }
  EXPECT_THROW(ChordAt({}, 0), std::invalid_argument);
}

TEST(Timelines, StepsBecomeSecondsAndFrames) {
  const Timeline t(120.0, 64);
  EXPECT_DOUBLE_EQ(t.StepSeconds(), 0.125);
  EXPECT_DOUBLE_EQ(t.At(16), 2.0);
  EXPECT_EQ(t.Frames(), static_cast<std::size_t>(8 * kSampleRate));
}

TEST(Timelines, PlayPlacesEachNoteAtItsStep) {
  const Timeline t(120.0, 16);
  MixBuffer out(t.Frames(), 1, false);
  Voice v;
  v.wave = Wave::kSine;
  v.envelope = {0.001, 0.1, 1.0, 0.001};
  v.gain = 1.0;
  t.Play(out, v, ParseMelody("r:4 a4:2"), 0.5);
  const auto begin = static_cast<std::size_t>(t.At(4) * kSampleRate);
  const auto end =
      static_cast<std::size_t>((t.At(4) + 2 * t.StepSeconds() * 0.5 + 0.001) * kSampleRate) + 2;
  float inside = 0.0f;
  for (std::size_t i = 0; i < out.Frames(); ++i) {
    if (i < begin || i > end) {
      ASSERT_EQ(out.At(i, 0), 0.0f) << i;
    } else {
      inside = std::max(inside, std::fabs(out.At(i, 0)));
    }
  }
  EXPECT_GT(inside, 0.9f);
}

TEST(Timelines, TheLastNoteIsTiedOverTheSeam) {
  // Same note in the middle and at the end: only the closing one is held for
  // its full written length, ringing on into the top of the loop.
  const Timeline t(120.0, 16);
  Voice v;
  v.wave = Wave::kSine;
  v.envelope = {0.001, 0.1, 1.0, 0.001};
  v.gain = 1.0;
  auto sounding_frames = [&](const char* melody) {
    MixBuffer out(t.Frames(), 1, true);
    t.Play(out, v, ParseMelody(melody), 0.5);
    std::size_t n = 0;
    for (std::size_t i = 0; i < out.Frames(); ++i) n += out.At(i, 0) != 0.0f;
    return n;
  };
  const std::size_t inner = sounding_frames("r:4 a4:4 r:8");
  const std::size_t closing = sounding_frames("r:12 a4:4");
  const auto step = static_cast<std::size_t>(t.StepSeconds() * kSampleRate);
  EXPECT_NEAR(static_cast<double>(inner), 2.0 * step, 0.01 * step);
  EXPECT_NEAR(static_cast<double>(closing), 4.0 * step, 0.01 * step);
}

}  // namespace
}  // namespace rv::assets
