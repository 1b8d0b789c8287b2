#include "sound/sequencer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>
#include <string>

namespace rv::assets {
namespace {

std::vector<std::string_view> Tokens(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t begin = i;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i > begin) out.push_back(text.substr(begin, i - begin));
  }
  return out;
}

[[noreturn]] void Bad(std::string_view what, std::string_view token) {
  throw std::invalid_argument(std::string(what) + ": \"" + std::string(token) + "\"");
}

int PitchClass(char letter) {
  switch (std::tolower(static_cast<unsigned char>(letter))) {
    case 'c':
      return 0;
    case 'd':
      return 2;
    case 'e':
      return 4;
    case 'f':
      return 5;
    case 'g':
      return 7;
    case 'a':
      return 9;
    case 'b':
      return 11;
    default:
      return -1;
  }
}

// Reads the accidental after a letter; returns the offset and advances `pos`.
int Accidental(std::string_view text, std::size_t& pos) {
  if (pos < text.size() && text[pos] == '#') {
    ++pos;
    return 1;
  }
  if (pos < text.size() && text[pos] == 'b') {
    ++pos;
    return -1;
  }
  return 0;
}

// Splits "x:n"; returns n (or `fallback` without a colon). A length must be 1..64.
int LengthSuffix(std::string_view token, std::string_view& head, int fallback) {
  const std::size_t colon = token.find(':');
  head = token.substr(0, colon);
  if (colon == std::string_view::npos) return fallback;
  const std::string_view digits = token.substr(colon + 1);
  if (digits.empty() || digits.size() > 2) Bad("bad length", token);
  int n = 0;
  for (char c : digits) {
    if (!std::isdigit(static_cast<unsigned char>(c))) Bad("bad length", token);
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > 64) Bad("bad length", token);
  return n;
}

std::vector<int> Quality(std::string_view suffix, std::string_view token) {
  if (suffix.empty()) return {0, 4, 7};
  if (suffix == "m") return {0, 3, 7};
  if (suffix == "7") return {0, 4, 7, 10};
  if (suffix == "m7") return {0, 3, 7, 10};
  if (suffix == "maj7") return {0, 4, 7, 11};
  if (suffix == "sus4") return {0, 5, 7};
  if (suffix == "add9") return {0, 4, 7, 14};
  Bad("unknown chord", token);
}

}  // namespace

int ParsePitch(std::string_view text) {
  if (text.empty()) Bad("empty pitch", text);
  const int pc = PitchClass(text[0]);
  if (pc < 0) Bad("bad pitch", text);
  std::size_t pos = 1;
  const int acc = Accidental(text, pos);
  if (pos + 1 != text.size() || !std::isdigit(static_cast<unsigned char>(text[pos])))
    Bad("bad pitch", text);
  const int octave = text[pos] - '0';
  return 12 * (octave + 1) + pc + acc;
}

namespace {

// Walks a melody line; returns where it ends.
int WalkMelody(std::string_view text, int start, std::vector<NoteEvent>* notes) {
  int length = 4;
  int at = start;
  for (std::string_view token : Tokens(text)) {
    std::string_view head;
    length = LengthSuffix(token, head, length);
    const bool rest = head == "r";
    const int midi = rest ? 0 : ParsePitch(head);
    if (!rest && notes != nullptr) notes->push_back({at, length, midi, 1.0});
    at += length;
  }
  return at;
}

}  // namespace

std::vector<NoteEvent> ParseMelody(std::string_view text, int start) {
  std::vector<NoteEvent> notes;
  WalkMelody(text, start, &notes);
  return notes;
}

int MelodyLength(std::string_view text) { return WalkMelody(text, 0, nullptr); }

std::vector<Chord> ParseChords(std::string_view text, int start) {
  std::vector<Chord> chords;
  int at = start;
  for (std::string_view token : Tokens(text)) {
    std::string_view head;
    const int length = LengthSuffix(token, head, kStepsPerBar);
    if (head.empty()) Bad("empty chord", token);
    const int pc = PitchClass(head[0]);
    if (pc < 0 || !std::isupper(static_cast<unsigned char>(head[0]))) Bad("bad chord root", token);
    std::size_t pos = 1;
    const int root = (pc + Accidental(head, pos) + 12) % 12;
    chords.push_back({at, length, root, Quality(head.substr(pos), token)});
    at += length;
  }
  return chords;
}

int EndOf(const std::vector<NoteEvent>& notes) {
  int end = 0;
  for (const auto& n : notes) end = std::max(end, n.start + n.length);
  return end;
}

int EndOf(const std::vector<Chord>& chords) {
  return chords.empty() ? 0 : chords.back().start + chords.back().length;
}

const Chord& ChordAt(const std::vector<Chord>& chords, int step) {
  if (chords.empty()) throw std::invalid_argument("no chords");
  for (const auto& c : chords) {
    if (step >= c.start && step < c.start + c.length) return c;
  }
  return chords.back();
}

std::size_t Timeline::Frames() const {
  return static_cast<std::size_t>(std::llround(At(steps_) * kSampleRate));
}

void Timeline::Play(MixBuffer& out, const Voice& voice, const std::vector<NoteEvent>& notes,
                    double gate) const {
  for (const auto& n : notes) {
    // A note that reaches the end of a piece is tied over the loop's seam
    // instead of leaving a breath before bar 1 comes round again.
    const double held = n.start + n.length >= steps_ ? n.length : n.length * gate;
    RenderTone(out, voice, At(n.start), held * StepSeconds(), MidiToHz(n.midi), n.velocity);
  }
}

}  // namespace rv::assets
