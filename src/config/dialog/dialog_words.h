#pragma once
// The dialog's texts in the chosen language, as Qt strings.

#include <QString>

#include "lang/catalogue.h"

namespace rv {

inline QString QTr(const Catalogue& words, const char* japanese) {
  return QString::fromStdString(words.Tr(japanese));
}

}  // namespace rv
