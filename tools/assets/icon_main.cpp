// rv_icons THEME_ROOT NAME
// Writes the desktop icon into THEME_ROOT/hicolor/NxN/apps/NAME.png at every installed size,
// and THEME_ROOT/hicolor/scalable/apps/NAME.svg.
#include <cstdio>
#include <exception>

#include "pictures/icon.h"
#include "pictures/icon_svg.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s THEME_ROOT NAME\n", argv[0]);
    return 2;
  }
  try {
    if (!rv::assets::WriteIconTheme(argv[1], argv[2]) ||
        !rv::assets::WriteScalableIcon(argv[1], argv[2])) {
      std::fprintf(stderr, "rv_icons: cannot write the icons into %s\n", argv[1]);
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rv_icons: %s\n", e.what());
    return 1;
  }
  return 0;
}
