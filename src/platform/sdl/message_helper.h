#pragma once
// The message box as a program of its own: rv_message, a small Qt window beside the game.
//
// SDL's own box needs an X helper or core fonts that a plain Debian set-up lacks, and then
// shows nothing. Qt is already installed for the configuration dialog, so the box is a Qt
// program; the game starts it only when a box is shown and keeps its own start-up free of Qt.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace rv {

inline constexpr const char* kMessageHelperName = "rv_message";
// rv_message's status when it can reach no display, or none it can paint on.
inline constexpr int kMessageHelperNoDisplayStatus = 2;

// The arguments after the program's name: the icon option, the caption, the text.
std::vector<std::string> MessageHelperArguments(std::string_view caption, std::string_view text,
                                                MessageIcon icon);

enum class MessageBoxOutcome {
  kClosed,     // shown, and closed by the player
  kEnded,      // shown, and taken down because `end_requested` said so
  kNoDisplay,  // the helper ran and found no display it can show a box on
  kNotRun,     // the helper is missing, cannot start or failed otherwise
};

// Runs the helper and waits until its box is closed, looking at `end_requested` (when given)
// every few milliseconds: once it is true the box is ended (SIGTERM, then SIGKILL if it does
// not go within a second) and the wait returns.
MessageBoxOutcome RunMessageBox(const std::filesystem::path& helper, std::string_view caption,
                                std::string_view text, MessageIcon icon,
                                const std::function<bool()>& end_requested);

// True when the box was shown and closed; false when the helper is missing, cannot start,
// reaches no display or fails.
bool RunMessageHelper(const std::filesystem::path& helper, std::string_view caption,
                      std::string_view text, MessageIcon icon);

}  // namespace rv
