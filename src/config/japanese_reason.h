#pragma once
// The system's reason for a failure (an errno value), said in Japanese for the player's
// boxes; standard error keeps the system's own English text.

#include <string>

namespace rv {

// One sentence, "アクセスが許可されていません。" and so on; an unusual value gives a general
// sentence with its number.
std::string JapaneseReason(int err);

}  // namespace rv
