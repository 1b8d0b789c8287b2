#include "game/match/first_player_roulette.h"

#include "game/game.h"
#include "game/gfx/blit.h"
#include "game/gfx/copy_piece.h"
#include "game/gfx/screen_place.h"
#include "game/match/match_drawing.h"

namespace rv {

namespace {

// Where the window goes on GameScreen, and where the cursor stands inside it.
constexpr ScreenBox kRoulette{215, 150, 224, 128};
constexpr ScreenPoint kRouletteCursor{230, 198};  // + 30 for the CPU's line

}  // namespace

int16_t SpinFirstPlayerRoulette(Game& game) {
  DrawRouletteWindow(game);

  Surface& screen = game.display.GameScreen;
  int16_t sel = 0;
  for (;;) {
    game.DoEvents();
    // The clean window erases the cursor of the previous pass.
    BitBlt(screen, kRoulette.x, kRoulette.y, kRoulette.w, kRoulette.h, game.pictures.PicMemory, 0,
           0);
    sel = static_cast<int16_t>(1 - sel);
    const int y = kRouletteCursor.y + 30 * sel;
    CopyPiece(screen, kRouletteCursor.x, y, game.pictures, rects::kRouletteCursorMask,
              RasterOp::kSrcPaint);
    CopyPiece(screen, kRouletteCursor.x, y, game.pictures, rects::kRouletteCursorImage,
              RasterOp::kSrcAnd);
    game.display.Refresh();
    if (game.keys.Key_X == 1) return sel;
    // A plain sleep: the roulette services events once per pass, not while it sleeps.
    game.platform.Sleep(20);
  }
}

}  // namespace rv
