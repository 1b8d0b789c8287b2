#pragma once
// The names of the player's files in the data folder, in one place for the game, the dialog
// and the data-folder decision. The game and the dialog find each other through them, so a
// name changed in one program alone would part them.

#include <array>
#include <string_view>

namespace rv {

inline constexpr const char* kConfigFile = "rvdat.cfg";           // the setting: the priority
inline constexpr const char* kRankingFile = "rvdat.dat";          // the 15 ranking lists
inline constexpr const char* kRunningMarker = "rvdat.cck";        // exists while the game runs
inline constexpr const char* kGameLockFile = "rv_031.lock";       // held by the running game
inline constexpr const char* kConfigLockFile = "rv_config.lock";  // held by the dialog

inline constexpr std::array<std::string_view, 5> kPlayerDataFiles = {
    kRankingFile, kConfigFile, kRunningMarker, kGameLockFile, kConfigLockFile};

}  // namespace rv
