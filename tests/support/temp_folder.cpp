#include "support/temp_folder.h"

#include <stdlib.h>

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace rv::test {

namespace fs = std::filesystem;

namespace {
fs::path BaseOf(TempPlace place) {
  switch (place) {
    case TempPlace::kTmp:
      return "/tmp";
    case TempPlace::kMemory:
      if (std::getenv("TMPDIR") == nullptr && fs::is_directory("/dev/shm")) return "/dev/shm";
      break;
    case TempPlace::kSystem:
      break;
  }
  return fs::temp_directory_path();
}
}  // namespace

TempFolder::TempFolder(const std::string& name, TempPlace place) {
  std::string pattern = (BaseOf(place) / ("rv_" + name + "_XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot make a temporary folder like " + pattern);
  }
  path_ = pattern;
}

TempFolder::~TempFolder() {
  // A test may have taken its own rights away to see a refusal; give them back first.
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

}  // namespace rv::test
