#pragma once
// The message box as a program of its own: rv_message, a small Qt window beside the game.
//
// SDL's own box needs an X helper or core fonts that a plain Debian set-up lacks, and then
// shows nothing. Qt is already installed for the configuration dialog, so the box is a Qt
// program; the game starts it only when a box is shown and keeps its own start-up free of Qt.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace rv {

inline constexpr const char* kMessageHelperName = "rv_message";

// The arguments after the program's name: the icon option, the caption, the text.
std::vector<std::string> MessageHelperArguments(std::string_view caption, std::string_view text,
                                                MessageIcon icon);

// Runs the helper and waits until its box is closed. True when the box was shown and closed;
// false when the helper is missing, cannot start, reaches no display or fails.
bool RunMessageHelper(const std::filesystem::path& helper, std::string_view caption,
                      std::string_view text, MessageIcon icon);

}  // namespace rv
