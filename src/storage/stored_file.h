#pragma once
// Opening the files the programs keep beside them (rvdat.dat, rvdat.cfg, rvdat.cck, the lock
// files) without ever blocking. A FIFO, a device, a socket or a folder put in a stored file's
// place is refused by name instead of being waited on or written through: opening a FIFO
// for reading blocks until a writer comes, and such a wait ignores every shutdown request.

#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "storage/file_failure.h"

namespace rv {

// The reason given for a name that is not a regular file.
inline constexpr std::string_view kNotRegularReason = "not a regular file";
// The reason given for a symbolic link where O_NOFOLLOW asked for none.
inline constexpr std::string_view kSymbolicLinkReason = "a symbolic link, which is not followed";

struct StoredFileOpen {
  int fd = -1;               // an open descriptor of a regular file, or -1
  int error = 0;             // errno of a failed open; 0 when the file is not regular
  bool not_regular = false;  // the name (or the link's target) is not a regular file
  bool link = false;         // O_NOFOLLOW met a symbolic link in the file's place

  bool ok() const { return fd >= 0; }
  bool missing() const { return !not_regular && !link && error == ENOENT; }
  // "not a regular file", "a symbolic link, ...", or the system's text for `error`.
  std::string Reason() const;
  // The failed open as a failure of `action` on `file`, to be said in either language.
  FileFailure Failure(FileAction action, const std::filesystem::path& file) const {
    return {action, file, error, not_regular, link};
  }
};

// open(2) with `flags` (O_CREAT allowed) plus close-on-exec, for regular files only. A symbolic
// link is followed when it leads to a regular file, unless `flags` holds O_NOFOLLOW: then a
// link in the file's place is refused (`link`), and with O_CREAT a missing file is made with
// O_EXCL, so that nothing is ever created or opened where a link points. The lock files, the
// marker and the setting are opened that way. The descriptor is in blocking mode again when
// returned.
StoredFileOpen OpenStoredFile(const std::filesystem::path& file, int flags, mode_t mode = 0644);

// The whole content of a regular file; false with `failure` naming the file, what could not
// be done and why.
bool ReadStoredFile(const std::filesystem::path& file, std::vector<uint8_t>& bytes,
                    FileFailure* failure);
// The same with the failure said in English, for logs and tools.
bool ReadStoredFile(const std::filesystem::path& file, std::vector<uint8_t>& bytes,
                    std::string* error);

// True when `file` exists (a link is followed) and is anything but a regular file.
bool ExistsAsNonRegular(const std::filesystem::path& file);

// The one read and the one write under every reader and writer of stored files. Appends to
// `bytes` what the descriptor holds from its position to the end of the file, at most `limit`
// bytes, retrying short and interrupted reads; false on an error, with errno set.
bool ReadToEnd(int fd, std::vector<uint8_t>& bytes,
               std::size_t limit = std::numeric_limits<std::size_t>::max());
// Writes all `size` bytes at the descriptor's position, retrying short and interrupted
// writes; false on an error, with errno set.
bool WriteAllBytes(int fd, const void* data, std::size_t size);

// "ACTION FILE: REASON", one line for logs, boxes and tools.
std::string DescribeFileProblem(const std::string& action, const std::filesystem::path& file,
                                const std::string& reason);
// The same with the system's text for errno value `err` as the reason.
std::string DescribeFileError(const std::string& action, const std::filesystem::path& file,
                              int err);

}  // namespace rv
