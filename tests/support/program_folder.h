#pragma once
// A program folder the game can start from, made of the files the build generated.

#include <filesystem>

namespace rv::test {

struct ProgramFiles {
  bool sounds = true;  // Music/ and Wave/ beside Picture/
  bool config = true;  // an rvdat.cfg of its own
  bool copy = false;   // copies instead of links, for a test that changes or times them
};

// Fills `folder` from the build's program folder `dist`: the pictures and the decoder
// always, the rest as `files` says.
void FillProgramFolder(const std::filesystem::path& folder, const std::filesystem::path& dist,
                       ProgramFiles files = {});

}  // namespace rv::test
