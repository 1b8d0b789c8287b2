#pragma once
// The program folder: where the program's pictures, sounds, catalogues and helpers lie.

#include <filesystem>

namespace rv {

// The folder of the running executable, whatever the working folder is; the working folder
// when the executable cannot be found (no /proc).
std::filesystem::path ProgramFolder();

}  // namespace rv
