#pragma once
// The Latin face the pictures and the game's other languages are set in, as Debian installs
// it (fonts-dejavu-core): tests draw with these files to compare against what the game drew.

namespace rv::test {

inline constexpr const char* kDejaVuSansFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr const char* kDejaVuSansBoldFile =
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

}  // namespace rv::test
