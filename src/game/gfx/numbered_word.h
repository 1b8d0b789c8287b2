#pragma once
// A word drawn beside a number that comes from its own picture ("%1回戦", "Round %1"): the
// catalogue's pattern says which text goes with the number and on which side, so that a
// language decides the order and the code knows none.

#include <optional>
#include <string>
#include <string_view>

namespace rv {

struct NumberedWord {
  std::string word;   // the pattern without %1, spaces next to the number removed
  bool number_first;  // the number stands left of the word
};

// Splits a pattern with one %1 at either end. A pattern without %1, or with text on both sides
// of it, has no single word to draw: nullopt.
inline std::optional<NumberedWord> SplitNumbered(std::string_view pattern) {
  const std::size_t at = pattern.find("%1");
  if (at == std::string_view::npos || pattern.find("%1", at + 2) != std::string_view::npos) {
    return std::nullopt;
  }
  auto trim = [](std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
  };
  const std::string before = trim(pattern.substr(0, at));
  const std::string after = trim(pattern.substr(at + 2));
  if (!before.empty() && !after.empty()) return std::nullopt;
  if (before.empty()) return NumberedWord{after, true};
  return NumberedWord{before, false};
}

}  // namespace rv
