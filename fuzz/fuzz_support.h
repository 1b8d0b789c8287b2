#pragma once
// What the fuzz targets share: a scratch folder for the readers that take a path, whole-file
// reads and writes, and a check that stops the run (libFuzzer then saves the input).

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace rv::fuzz {

// An invariant the code under test broke: the message, then an abort, which libFuzzer reports
// as a crash and keeps the input of.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

inline void Require(bool condition, const char* what) {
  if (!condition) Fail(what);
}

// A folder of this process, in memory (/dev/shm) when the machine has one, so that the
// readers' file round trips and the ranking rewrite's fsync cost next to nothing. Removed at
// exit.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name) {
    std::error_code ec;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, ec) || ::access(base.c_str(), W_OK) != 0) {
      base = std::filesystem::temp_directory_path();
    }
    path_ = base / ("rv_fuzz_" + name + "_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path_, ec);
    Require(!ec, "cannot create the scratch folder");
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Replaces the file with exactly these bytes.
inline void WriteBytes(const std::filesystem::path& file, const uint8_t* data, size_t size) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  Require(static_cast<bool>(out), "cannot write the input file");
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& file) {
  std::error_code ec;
  std::vector<uint8_t> bytes(std::filesystem::file_size(file, ec));
  Require(!ec, "cannot find the file's size");
  std::ifstream in(file, std::ios::binary);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  Require(static_cast<bool>(in), "cannot read the file back");
  return bytes;
}

}  // namespace rv::fuzz
