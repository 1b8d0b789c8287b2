#pragma once
// Whether the dialog may start: not while the game runs, not beside another copy of itself.

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "lang/catalogue.h"
#include "storage/instance_lock.h"

namespace rv {

// Exit status of a refused start; a normal end is 0.
inline constexpr int kRefusedExitStatus = 1;

// The refusal box shown before the window exists.
QString StartErrorCaption(const Catalogue& words);
QString StartErrorText(const Catalogue& words);

// Takes the dialog's own lock and checks for the game. Returns the lock to hold while the
// window exists, or nullopt when the dialog must not start: another copy holds the lock, the
// game's marker rvdat.cck exists (also one left behind by a game that did not end normally;
// the game's next regular end removes it), or the game holds its lock. The own lock is taken
// before the game is looked at, and the game takes its own before looking at ours, so two
// programs started at the same moment cannot both miss each other. A lock that cannot be
// taken or looked at counts as held; `problem`, when given, then names the file and why.
// data_folder is where both programs keep the marker and the locks (ResolveDataFolder).
std::optional<InstanceLock> AcquireDialogStart(const std::filesystem::path& data_folder,
                                               FileFailure* problem = nullptr);

}  // namespace rv
