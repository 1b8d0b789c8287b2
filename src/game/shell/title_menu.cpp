#include "game/shell/title_menu.h"

#include "game/game.h"
#include "game/gfx/copy_piece.h"
#include "game/gfx/picture_rects.h"
#include "game/gfx/screen_place.h"
#include "game/match/match_loop.h"
#include "game/ranking/ranking_screen.h"
#include "game/shell/match_setup.h"

namespace rv {

namespace {

constexpr ScreenPoint kLogoAt{245, 205};
constexpr ScreenPoint kTitleAt{70, 10};
constexpr ScreenPoint kMenuAt{169, 240};  // the first item; each next one 49 pixels lower
constexpr int kMenuPitch = 49;

constexpr int32_t kLogoStepMs = 40;
constexpr int32_t kMenuStepMs = 100;
constexpr int32_t kPollMs = 20;

enum MenuItem : int16_t { kStart = 0, kRanking = 1, kQuit = 2 };

// One step of a logo fade: the screen is cleared every time, so the logo's brightness
// follows the alpha level alone.
void DrawLogoStep(Game& game, int16_t level) {
  game.loop.StartFrame(game.stamps);
  SetAlpha(game.blend, level);
  game.display.Clear();
  const rects::Rect& logo = rects::kLogoImage;
  AlphaBlend(game.display.GameScreen, kLogoAt.x, kLogoAt.y, logo.w, logo.h, game.pictures.PicLogo,
             logo.x, logo.y, logo.w, logo.h, game.blend.BlendArg);
  game.display.Refresh();
  game.loop.EndFrame(game.stamps, kLogoStepMs);
}

void DrawTitle(Game& game) {
  const rects::Rect& title = rects::kTitleImage;
  CopyPiece(game.display.GameScreen, kTitleAt.x, kTitleAt.y, game.pictures, title);
  game.display.Refresh();
}

// A cursor move: the 100 ms frame counts from the moment the key was accepted, then a
// further 20 ms. The flags are tested, not consumed, so a held key moves again.
int16_t MoveSelection(Game& game, int16_t selected, int step) {
  game.loop.StartFrame(game.stamps);
  selected =
      static_cast<int16_t>((selected + step + rects::kMenuItemCount) % rects::kMenuItemCount);
  DrawMenuItems(game, selected);
  game.loop.EndFrame(game.stamps, kMenuStepMs);
  game.WaitMs(kPollMs);
  return selected;
}

// Start: the selection screen, then the match when it was confirmed. True when a match was
// played, so that the title starts again from its logo.
bool StartMatch(Game& game) {
  game.sound.PlayWave("wave2", -1);
  if (MatchSetup(game) == -1) {
    FadeContext fade = game.Fade();
    FadeScreen(fade, 1);
    game.display.Clear();
    MatchLoop(game);
    return true;
  }
  game.display.Clear();
  return false;
}

}  // namespace

void ShowLogo(Game& game) {
  game.WaitMs(2000);
  for (int16_t i = 0; i <= 26; ++i) DrawLogoStep(game, static_cast<int16_t>(10 * i));
  game.WaitMs(3000);
  // 15 x 26 is capped at 255: full opacity holds for ten steps before the logo fades.
  for (int16_t n = 26; n >= 0; --n) DrawLogoStep(game, static_cast<int16_t>(15 * n));
  game.WaitMs(2000);
}

// Each item is shown as soon as it is drawn.
void DrawMenuItems(Game& game, int16_t selected) {
  for (int j = 0; j < rects::kMenuItemCount; ++j) {
    const rects::Rect item = j == selected ? rects::kMenuItemSelected(j) : rects::kMenuItemPlain(j);
    CopyPiece(game.display.GameScreen, kMenuAt.x, kMenuAt.y + kMenuPitch * j, game.pictures, item);
    game.display.Refresh();
  }
}

int16_t RunMainMenu(Game& game) {
  DrawTitle(game);  // over whatever is on the screen: nothing is cleared first
  game.sound.PlayMusic(1);
  int16_t selected = kStart;
  DrawMenuItems(game, selected);
  const Keys& keys = game.keys;
  for (;;) {
    game.DoEvents();
    if (keys.Key_Up == 1) {
      selected = MoveSelection(game, selected, -1);
    } else if (keys.Key_Down == 1) {
      selected = MoveSelection(game, selected, +1);
    } else if (keys.Key_X == 1) {
      game.sound.StopWave();
      game.sound.StopMusic();
      return selected;
    } else {
      game.WaitMs(kPollMs);
    }
  }
}

// The jingles are waited for: keys pressed while they play are handled afterwards.
void Title_menu(Game& game) {
  for (;;) {
    ShowLogo(game);
    bool match_played = false;
    while (!match_played) {
      switch (RunMainMenu(game)) {
        case kStart:
          match_played = StartMatch(game);
          break;
        case kRanking:
          game.sound.PlayWave("wave3", -1);
          ShowRanking(game);  // leaves GameScreen cleared
          break;
        default:
          game.sound.PlayWave("wave4", -1);
          game.Form_Unload(0);
      }
    }
  }
}

}  // namespace rv
