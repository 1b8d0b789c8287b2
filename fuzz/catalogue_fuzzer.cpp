// A compiled catalogue from another hand (a translator's, or a damaged install): read or
// refused, never read past its end, and whatever it holds is looked up safely.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "lang/catalogue.h"
#include "lang/placeholders.h"

using rv::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string error;
  const auto words = rv::Catalogue::Parse(bytes, &error);
  Require(words.has_value() || !error.empty(), "refused without a reason");
  if (!words) return 0;
  Require(words->size() <= size / 8, "more words than the file has table entries");
  // The texts the game fills: any pattern, any value.
  const std::string text = words->Tr("%1の勝利！");
  Require(!text.empty(), "a looked-up text came back empty");
  rv::FillPlaceholders(text, {"Player", "3"});
  return 0;
}
