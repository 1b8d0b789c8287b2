#pragma once
// The CPU's randomness comes from outside: the game hands in a generator seeded from its
// clock, tests and rv_sim a seeded one, so every choice can be replayed.

#include <cstdint>
#include <functional>

namespace rv {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // A uniform single-precision value in [0, 1).
  virtual float NextUnit() = 0;
  // Called where the game re-seeds from the clock. An implementation must mix the new seed
  // into its state rather than replace the state with it: two re-seeds within the same
  // clock tick must still give different draws, or a redraw loop could repeat itself.
  virtual void Reseed() {}
};

// A small deterministic generator (xorshift64*). Reseed steps the state by a fixed mix, so
// the same seed always gives the same sequence, re-seeds included.
class SeededRandom : public RandomSource {
 public:
  explicit SeededRandom(uint64_t seed);
  float NextUnit() override;
  void Reseed() override;
  uint64_t NextBits();

 private:
  uint64_t state_;
};

// Re-seeds from an injected entropy source (the game passes its clock), mixing each new
// value into the running state.
class EntropyRandom : public RandomSource {
 public:
  explicit EntropyRandom(std::function<uint64_t()> entropy);
  float NextUnit() override;
  void Reseed() override;

 private:
  std::function<uint64_t()> entropy_;
  SeededRandom generator_;
};

// A float in [0, 1) built from the top 24 bits: exactly representable, never 1.
float UnitFromBits(uint64_t bits);

// A uniform integer in lo..hi: floor((hi - lo + 1) * u) + lo. Does not re-seed.
int16_t RandomRange(RandomSource& rng, int16_t lo, int16_t hi);

}  // namespace rv
