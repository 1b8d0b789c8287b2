#pragma once
// The player's cursor: kept on a legal landing cell, and the shape moved over it.

namespace rv {

class Game;

// Settles CharaX/CharaY by the cursor rule, taking the step direction from Key_Left and
// Key_Right, then clears both flags: a held arrow steps again only when the keyboard's
// auto-repeat delivers its next key-down.
void SettleCharaCursor(Game& game);

// Moves CharaCursor over the cell (CharaX, CharaY).
void MoveCharaCursor(Game& game);

}  // namespace rv
