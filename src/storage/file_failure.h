#pragma once
// What went wrong with one of the files the programs keep, held apart from its wording so
// that it can be said in either language: a box in Japanese (the path as it is, the words
// around it Japanese), a line on standard error or from rv_sim in English.

#include <filesystem>
#include <string>

#include "lang/catalogue.h"

namespace rv {

enum class FileAction { kOpen, kRead, kCreate, kLock };

struct FileFailure {
  FileAction action = FileAction::kOpen;
  std::filesystem::path file;
  int err = 0;                // errno, when the system said why
  bool not_regular = false;   // a FIFO, a device, a socket or a folder in the file's place
  bool link = false;          // a symbolic link where none is followed
  bool bad_contents = false;  // read whole, but not what it should hold (a broken picture)

  bool empty() const { return file.empty(); }
  // "cannot lock PATH: not a regular file": one line for logs and tools.
  std::string English() const;
  // "PATH" and, on the next line, what could not be done and why, in the catalogue's language.
  std::string Shown(const Catalogue& words) const;
};

// The system's reason for a failure (an errno value) in one sentence of the catalogue's
// language, for the player's boxes; an unusual value gives a general sentence with its number.
// Standard error keeps the system's own English text.
std::string ShownReason(int err, const Catalogue& words);

}  // namespace rv
