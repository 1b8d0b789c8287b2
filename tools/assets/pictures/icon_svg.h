// The desktop icon as a vector drawing, for the theme's scalable size: the same tile,
// letter and blocks as the painted sizes, with the letter's outline taken from the face.
#pragma once

#include <filesystem>
#include <string>

namespace rv::assets {

// The SVG document, drawn on a 256 x 256 canvas.
std::string BuildIconSvg();

// Writes THEME_ROOT/hicolor/scalable/apps/NAME.svg; false on any failure.
bool WriteScalableIcon(const std::filesystem::path& theme_root, const std::string& name);

}  // namespace rv::assets
