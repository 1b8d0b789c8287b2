#include "game/cpu/random_source.h"

#include <cmath>
#include <utility>

namespace rv {

namespace {

// splitmix64's finaliser: spreads any seed (0 included) over the whole state.
uint64_t Mix(uint64_t z) {
  z += 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

uint64_t NonZero(uint64_t s) { return s == 0 ? 0x2545F4914F6CDD1DULL : s; }

}  // namespace

float UnitFromBits(uint64_t bits) { return static_cast<float>(bits >> 40) * (1.0f / 16777216.0f); }

SeededRandom::SeededRandom(uint64_t seed) : state_(NonZero(Mix(seed))) {}

uint64_t SeededRandom::NextBits() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return state_ * 0x2545F4914F6CDD1DULL;
}

float SeededRandom::NextUnit() { return UnitFromBits(NextBits()); }

void SeededRandom::Reseed() { state_ = NonZero(Mix(state_)); }

EntropyRandom::EntropyRandom(std::function<uint64_t()> entropy)
    : entropy_(std::move(entropy)), generator_(entropy_ ? entropy_() : 0) {}

float EntropyRandom::NextUnit() { return generator_.NextUnit(); }

void EntropyRandom::Reseed() {
  // The running state goes into the new seed, so an unchanged clock still moves on.
  const uint64_t fresh = entropy_ ? entropy_() : 0;
  generator_ = SeededRandom(generator_.NextBits() ^ Mix(fresh));
}

int16_t RandomRange(RandomSource& rng, int16_t lo, int16_t hi) {
  if (hi <= lo) return lo;
  const int span = hi - lo + 1;
  // Double precision, then a clamp: a source that breaks its [0, 1) promise (1.0, a
  // negative value, NaN) must not push the result out of lo..hi.
  const double u = rng.NextUnit();
  double offset = std::floor(span * u);
  if (!(offset >= 0.0)) offset = 0.0;
  if (offset > span - 1) offset = span - 1;
  return static_cast<int16_t>(lo + static_cast<int>(offset));
}

}  // namespace rv
