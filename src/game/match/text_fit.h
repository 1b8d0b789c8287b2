#pragma once
// The build's check of a catalogue against the spaces of the match's texts: each text is
// drawn as the game draws it, with the face and size of its surface, and must leave no
// pixel outside its space.

#include <string>
#include <vector>

namespace rv {

class Catalogue;
class TextRenderer;

// The texts of this language that do not fit their spaces or hold a control character (a
// line break), one line each naming the Japanese, the translation and the space. Values
// (the time, the score) are not the catalogue's and are not judged. Without the Latin face
// a language that is drawn in it is refused: its texts cannot be measured as drawn.
std::vector<std::string> TextsThatDoNotFit(const Catalogue& words, TextRenderer& text);

}  // namespace rv
