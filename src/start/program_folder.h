#pragma once
// The program folder: where the program's pictures, sounds, catalogues and helpers lie.

#include <filesystem>
#include <system_error>

namespace rv {

// The folder of the running executable, whatever the working folder is; the working folder
// when the executable cannot be found (no /proc).
inline std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path(ec) : exe.parent_path();
}

}  // namespace rv
