#pragma once
// The logo, then the title with its three-item main menu: start a match, the ranking, quit.

#include <cstdint>

namespace rv {

class Game;

// Never returns normally: quitting, Escape and a closed window end the program through
// ProgramExit. After a finished match it starts again from the logo.
void Title_menu(Game& game);

// The parts, for tests and for readers.
void ShowLogo(Game& game);  // steps 1 to 5: dark, fade in, hold, fade out, dark
void DrawMenuItems(Game& game, int16_t selected);
// Draws the title and the menu and waits for X; returns the chosen item (0 start,
// 1 ranking, 2 quit) with the menu music and any effect stopped.
int16_t RunMainMenu(Game& game);

}  // namespace rv
