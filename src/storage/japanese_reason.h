#pragma once
// The system's reason for a failure (an errno value), said in Japanese for the player's
// boxes; standard error keeps the system's own English text.

#include <string>

#include "lang/catalogue.h"

namespace rv {

// One sentence, "アクセスが許可されていません。" and so on; an unusual value gives a general
// sentence with its number.
std::string JapaneseReason(int err);
// The same sentence in the catalogue's language.
std::string ShownReason(int err, const Catalogue& words);

}  // namespace rv
