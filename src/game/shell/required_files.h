#pragma once
// The files the game cannot run without, in the order start-up looks for them.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rv {

// The two tracks, the ten pictures, the four effects, the PNG decoder module (our stand-in
// for the platform components) and the configuration file, relative to the program folder.
// A language other than Japanese also needs its own copy of every picture that carries words.
std::vector<std::string> RequiredFiles(std::string_view language);

// Whether folder/name exists as a file the game can read: a folder, a FIFO or a device
// standing where a file of the program should be counts as missing (a FIFO would hold the
// game in its open). The player's data files count when they are anything but a folder: their
// readers refuse the rest by name.
bool FilePresent(const std::filesystem::path& folder, const std::string& name);

// The first required file missing from the folder, or an empty string when all are there.
std::string FirstMissingFile(const std::filesystem::path& folder, std::string_view language);

}  // namespace rv
