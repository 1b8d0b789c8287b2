#include "config/file_failure.h"

#include <cstring>

#include "config/japanese_reason.h"
#include "config/stored_file.h"

namespace rv {

namespace {

const char* EnglishAction(FileAction action) {
  switch (action) {
    case FileAction::kOpen:
      return "cannot open";
    case FileAction::kRead:
      return "cannot read";
    case FileAction::kCreate:
      return "cannot create";
    case FileAction::kLock:
      return "cannot lock";
  }
  return "cannot use";
}

const char* JapaneseAction(FileAction action) {
  switch (action) {
    case FileAction::kOpen:
      return "開けません。";
    case FileAction::kRead:
      return "読み込めません。";
    case FileAction::kCreate:
      return "作れません。";
    case FileAction::kLock:
      return "ロックできません。";
  }
  return "使えません。";
}

}  // namespace

std::string FileFailure::English() const {
  std::string reason;
  if (not_regular) {
    reason = kNotRegularReason;
  } else if (link) {
    reason = kSymbolicLinkReason;
  } else if (bad_contents) {
    reason = "not in the expected format";
  } else {
    reason = std::strerror(err);
  }
  return DescribeFileProblem(EnglishAction(action), file, reason);
}

std::string FileFailure::Japanese() const {
  std::string reason;
  if (not_regular) {
    reason = "通常のファイルではありません（FIFO、デバイス、フォルダなど）。";
  } else if (link) {
    reason = "シンボリックリンクです。安全のため、たどりません。";
  } else if (bad_contents) {
    reason = "中身が正しくありません（壊れているか、形式が違います）。";
  } else {
    reason = JapaneseReason(err);
  }
  return file.string() + "\n" + JapaneseAction(action) + reason;
}

}  // namespace rv
