#pragma once
// Numbered places in a translated text, so that each language may put the values where its
// grammar wants them: "%1位" in Japanese, "No. %1" in English.

#include <initializer_list>
#include <string>
#include <string_view>

namespace rv {

// Replaces %1 ... %9 by the values given (a place without a value becomes empty); "%%" is
// one percent sign; any other % stays as it is.
std::string FillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> values);

}  // namespace rv
