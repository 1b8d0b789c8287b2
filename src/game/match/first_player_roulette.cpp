#include "game/match/first_player_roulette.h"

#include "game/game.h"
#include "game/gfx/blit.h"
#include "game/gfx/copy_piece.h"
#include "game/match/match_drawing.h"

namespace rv {

namespace {

// Where the window goes on GameScreen, and where the cursor stands inside it.
constexpr int kRouletteX = 215;
constexpr int kRouletteY = 150;
constexpr int kRouletteWidth = 224;
constexpr int kRouletteHeight = 128;
constexpr int kRouletteCursorX = 230;
constexpr int kRouletteCursorY = 198;  // + 30 for the CPU's line

}  // namespace

int16_t SpinFirstPlayerRoulette(Game& game) {
  DrawRouletteWindow(game);

  Surface& screen = game.display.GameScreen;
  int16_t sel = 0;
  for (;;) {
    game.DoEvents();
    // The clean window erases the cursor of the previous pass.
    BitBlt(screen, kRouletteX, kRouletteY, kRouletteWidth, kRouletteHeight, game.pictures.PicMemory,
           0, 0);
    sel = static_cast<int16_t>(1 - sel);
    const int y = kRouletteCursorY + 30 * sel;
    CopyPiece(screen, kRouletteCursorX, y, game.pictures, rects::kRouletteCursorMask,
              RasterOp::kSrcPaint);
    CopyPiece(screen, kRouletteCursorX, y, game.pictures, rects::kRouletteCursorImage,
              RasterOp::kSrcAnd);
    game.display.Refresh();
    if (game.keys.Key_X == 1) return sel;
    // A plain sleep: the roulette services events once per pass, not while it sleeps.
    game.platform.Sleep(20);
  }
}

}  // namespace rv
