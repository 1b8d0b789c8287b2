#include "lang/placeholders.h"

namespace rv {

std::string FillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> values) {
  std::string out;
  out.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%' || i + 1 == pattern.size()) {
      out += c;
      continue;
    }
    const char next = pattern[i + 1];
    if (next == '%') {
      out += '%';
      ++i;
    } else if (next >= '1' && next <= '9') {
      const std::size_t index = static_cast<std::size_t>(next - '1');
      if (index < values.size()) out += *(values.begin() + index);
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace rv
