#include "game/match/match_drawing.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

#include "game/game.h"
#include "game/gfx/copy_piece.h"
#include "game/gfx/numbered_word.h"
#include "game/gfx/screen_place.h"
#include "game/match/drawn_texts.h"
#include "game/match/first_player_roulette.h"
#include "lang/catalogue.h"

namespace rv {

namespace {

// Where the banner goes on GameScreen.
constexpr ScreenBox kBanner{205, 205, 224, 32};
// The key colour of the round title pictures: their black is transparent.
constexpr uint32_t kKeyColor = 0x000000;

Surface& PictureOf(Game& game, rects::Picture picture) {
  Surface* s = game.pictures.ByNumber(static_cast<int16_t>(picture));
  if (s == nullptr) throw std::out_of_range("no such picture surface");
  return *s;
}

// One band of a window in PicMemory: the left edge, eight middle slices, the right edge.
void DrawSkinBand(Game& game, int y, const rects::SkinBand& band) {
  Surface& memory = game.pictures.PicMemory;
  CopyPiece(memory, 0, y, game.pictures, band.left);
  for (int i = 0; i < rects::kWindowMiddleSlices; ++i) {
    CopyPiece(memory, band.left.w + band.middle.w * i, y, game.pictures, band.middle);
  }
  CopyPiece(memory, band.left.w + band.middle.w * rects::kWindowMiddleSlices, y, game.pictures,
            band.right);
}

int16_t Banner(Game& game, std::string_view name) {
  DrawSkinBand(game, 0, rects::kBannerTopBand);
  DrawSkinBand(game, rects::kBannerTopBand.left.h, rects::kBannerBottomBand);
  DrawText(TextOf(game), game.pictures.PicMemory,
           BannerText(game.language.words, TextOf(game), name));
  BitBlt(game.display.GameScreen, kBanner.x, kBanner.y, kBanner.w, kBanner.h,
         game.pictures.PicMemory, 0, 0);
  game.display.Refresh();
  return 1;
}

}  // namespace

void DrawRouletteWindow(Game& game) {
  DrawSkinBand(game, 0, rects::kRouletteUpperBand);
  DrawSkinBand(game, rects::kRouletteUpperBand.left.h, rects::kRouletteLowerBand);
  for (const DrawnText& d : RouletteTexts(game.language.words)) {
    DrawText(TextOf(game), game.pictures.PicMemory, d);
  }
}

TextRenderer& TextOf(Game& game) {
  if (!game.text) throw std::runtime_error("the Japanese face is not open");
  return *game.text;
}

void LoadPictureOrThrow(Game& game, rects::Picture picture) {
  const LoadResult result = game.loader.Load(game.pictures, picture);
  if (!result.ok) throw std::runtime_error(result.error);
}

void DrawBlocks(Game& game) {
  const Board& board = game.match.Board;
  Surface& screen = game.display.GameScreen;
  for (int c = 0; c < kColumns; ++c) {
    for (int r = 0; r < kRows; ++r) {
      const int16_t v = board.At(c, r);
      if (v == kPlayer) CopyPiece(screen, 16 * c, 16 * r, game.pictures, rects::kPlayerChip);
      if (v == kCpu) CopyPiece(screen, 16 * c, 16 * r, game.pictures, rects::kCpuChip);
    }
  }
}

void DrawRoundTitle(Game& game) {
  const int16_t n = game.match.RoundNo;
  if (n < 1 || n > 9) throw std::out_of_range("no title picture for this round");
  const rects::Rect number = rects::kRoundNumber(n);
  const rects::Rect word = rects::kRoundWord;
  Surface& counter = PictureOf(game, number.picture);
  // The language's pattern puts the number before the word ("%1回戦") or after it
  // ("Round %1"); the pair keeps the same place on the screen either way.
  const std::optional<NumberedWord> order = SplitNumbered(game.language.words.Tr(TextId("%1回戦")));
  const bool number_first = !order || order->number_first;
  const int number_x = number_first ? 150 : 150 + word.w;
  const int word_x = number_first ? 215 : 150;
  // The number is drawn 5 pixels narrower than it is stored.
  TransparentBlt(game.display.GameScreen, number_x, 150, 65, 100, counter, number.x, number.y,
                 number.w, number.h, kKeyColor);
  TransparentBlt(game.display.GameScreen, word_x, 150, word.w, word.h, counter, word.x, word.y,
                 word.w, word.h, kKeyColor);
}

int16_t PopupWindow(Game& game, int16_t mode, std::string_view name) {
  if (mode == 0) return SpinFirstPlayerRoulette(game);
  if (mode == 1) return Banner(game, name);
  return 0;
}

}  // namespace rv
