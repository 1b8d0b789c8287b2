// A failure with a stored file, said in both languages: the English line for logs keeps its
// "ACTION FILE: REASON" shape, and the Japanese lines have the path and nothing else Latin.

#include "config/file_failure.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <regex>

#include "config/stored_file.h"

namespace rv {
namespace {

TEST(FileFailureTest, EachActionAndFaultInBothLanguages) {
  const std::filesystem::path file = "/data/ravolin/rv_031.lock";
  struct Fault {
    int err;
    bool not_regular;
    bool link;
    std::string english_reason;
  };
  const Fault faults[] = {{EACCES, false, false, "Permission denied"},
                          {ENOSPC, false, false, "No space left on device"},
                          {EBADF, false, false, "Bad file descriptor"},  // no table entry
                          {0, true, false, std::string(kNotRegularReason)},
                          {ELOOP, false, true, std::string(kSymbolicLinkReason)}};
  const std::pair<FileAction, std::string> actions[] = {{FileAction::kOpen, "cannot open"},
                                                        {FileAction::kRead, "cannot read"},
                                                        {FileAction::kCreate, "cannot create"},
                                                        {FileAction::kLock, "cannot lock"}};
  const std::regex latin_word("[A-Za-z]{2,}");
  for (const auto& [action, english_action] : actions) {
    for (const Fault& f : faults) {
      FileFailure failure{action, file, f.err, f.not_regular, f.link};
      SCOPED_TRACE(failure.English());
      EXPECT_EQ(failure.English(), english_action + " " + file.string() + ": " + f.english_reason);
      const std::string japanese = failure.Shown(Catalogue());
      ASSERT_EQ(japanese.rfind(file.string() + "\n", 0), 0u) << japanese;
      const std::string words = japanese.substr(file.string().size());
      std::smatch found;
      const std::string without_fifo = std::regex_replace(words, std::regex("FIFO"), "");
      EXPECT_FALSE(std::regex_search(without_fifo, found, latin_word))
          << "\"" << found.str() << "\" in " << japanese;
    }
  }
}

// A file read whole that does not hold what it should (a broken picture).
TEST(FileFailureTest, BadContentsAreSaidAsSuch) {
  const FileFailure broken{FileAction::kRead, "/game/Picture/pic5.dat", 0, false, false, true};
  EXPECT_EQ(broken.English(), "cannot read /game/Picture/pic5.dat: not in the expected format");
  EXPECT_NE(broken.Shown(Catalogue()).find("中身が正しくありません"), std::string::npos);
}

// A failed open hands on exactly what the system said.
TEST(FileFailureTest, AFailedOpenCarriesItsReason) {
  const StoredFileOpen missing = OpenStoredFile("/nonexistent-folder/rvdat.cfg", O_RDONLY);
  ASSERT_FALSE(missing.ok());
  const FileFailure failure = missing.Failure(FileAction::kOpen, "/nonexistent-folder/rvdat.cfg");
  EXPECT_EQ(failure.err, ENOENT);
  EXPECT_EQ(failure.English(), DescribeFileProblem("cannot open", failure.file, missing.Reason()));
}

}  // namespace
}  // namespace rv
