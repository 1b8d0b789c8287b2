#pragma once
// rvdat.cfg: the one setting, a little-endian signed 16-bit priority index at offset 0.
// Shared by the game and the configuration dialog; knows nothing of either.

#include <cstdint>
#include <filesystem>
#include <string>

namespace rv {

// Opens the file read-write (creating an empty one when missing; read-only when the file may
// not be written) and reads 2 bytes at offset 0; missing bytes read as 0, so an empty file
// gives 0. A FIFO, device or folder in its place is an error, never waited on, and so is a
// symbolic link, which is never followed. When the file cannot
// be opened or read the result is 0 and `error`, when given, names the file and the reason; on
// success `error` is cleared.
int16_t ReadConfigValue(const std::filesystem::path& file, std::string* error = nullptr);

// Writes the 2 bytes at offset 0 (creating the file when missing) without truncating it,
// so a longer file keeps its other bytes. False, with `error` set, when it failed.
bool WriteConfigValue(const std::filesystem::path& file, int16_t value,
                      std::string* error = nullptr);

}  // namespace rv
