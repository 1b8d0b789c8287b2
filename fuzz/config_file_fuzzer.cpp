// rvdat.cfg from another hand: the read at start-up (and in the dialog), the priority it
// names, and the dialog's save, which must leave every byte past the setting as it was.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/priority.h"
#include "fuzz_support.h"

using rv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const rv::fuzz::ScratchFolder folder("config");
  const std::filesystem::path file = folder.path() / "rvdat.cfg";
  rv::fuzz::WriteBytes(file, data, size);

  std::string error;
  const int16_t value = rv::ReadConfigValue(file, &error);
  Require(error.empty(), "a regular file that could not be read");
  // Little-endian, missing bytes read as zero.
  const uint8_t low = size > 0 ? data[0] : 0;
  const uint8_t high = size > 1 ? data[1] : 0;
  Require(static_cast<uint16_t>(value) == (low | (high << 8)), "the value is not the file's");
  Require(rv::PriorityFromIndex(value).has_value() == (value >= 0 && value <= 3),
          "an index outside 0..3 named a priority, or one inside did not");

  // The dialog opens at the nearest slider position and saves it.
  const auto saved = static_cast<int16_t>(std::clamp<int>(value, 0, 3));
  Require(rv::WriteConfigValue(file, saved, &error), "the save failed");
  const std::vector<uint8_t> now = rv::fuzz::ReadBytes(file);
  Require(now.size() == std::max<size_t>(size, 2), "the save changed the length");
  Require(now[0] == static_cast<uint8_t>(saved) && now[1] == 0, "the save wrote another value");
  if (size > 2) {
    Require(std::equal(data + 2, data + size, now.begin() + 2), "the save lost later bytes");
  }
  Require(rv::ReadConfigValue(file, &error) == saved, "the saved value does not read back");
  return 0;
}
