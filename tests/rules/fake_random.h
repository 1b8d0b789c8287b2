#pragma once
// A random source that plays back given values and counts re-seeds.

#include <cstddef>
#include <vector>

#include "game/cpu/random_source.h"

namespace rv::test {

class ScriptedRandom : public RandomSource {
 public:
  explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
  // Plays the values in turn, repeating the last one.
  float NextUnit() override {
    ++draws;
    const float v = values_[std::min(next_, values_.size() - 1)];
    ++next_;
    return v;
  }
  void Reseed() override { ++reseeds; }

  int draws = 0;
  int reseeds = 0;

 private:
  std::vector<float> values_;
  std::size_t next_ = 0;
};

// The value that makes RandomRange(lo, hi) give `want`: the middle of its slot.
inline float UnitFor(int lo, int hi, int want) {
  return (static_cast<float>(want - lo) + 0.5f) / static_cast<float>(hi - lo + 1);
}

}  // namespace rv::test
