#pragma once
// Where a picture file lives for a language: the Japanese pictures stand in "Picture/", and a
// picture that carries words has its own copy for every other language in "Picture/<lang>/",
// under the same name. The generator, the loader and the start-up check share this one rule.

#include <string>
#include <string_view>

#include "game/gfx/picture_rects.h"
#include "lang/language.h"

namespace rv {

// The language the pictures are drawn in first: its pictures need no folder of their own.
inline constexpr std::string_view kPictureBaseLanguage = kBaseLanguage;

// The path of picture file `name` of surface `file`, relative to the program folder.
inline std::string PictureFilePath(const rects::PictureFile& file, std::string_view name,
                                   std::string_view language) {
  std::string path = "Picture/";
  if (file.words && !language.empty() && language != kPictureBaseLanguage) {
    path.append(language);
    path += '/';
  }
  path.append(name);
  path += ".dat";
  return path;
}

inline std::string PictureFilePath(const rects::PictureFile& file, std::string_view language) {
  return PictureFilePath(file, file.name, language);
}

}  // namespace rv
