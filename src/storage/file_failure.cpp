#include "storage/file_failure.h"

#include <cerrno>
#include <cstring>

#include "lang/placeholders.h"
#include "storage/stored_file.h"

namespace rv {

namespace {

// What could not be done, in each language.
struct ActionWords {
  FileAction action;
  const char* english;
  const char* japanese;
};
constexpr ActionWords kActionWords[] = {
    {FileAction::kOpen, "cannot open", TextId("開けません。")},
    {FileAction::kRead, "cannot read", TextId("読み込めません。")},
    {FileAction::kCreate, "cannot create", TextId("作れません。")},
    {FileAction::kLock, "cannot lock", TextId("ロックできません。")},
};

const ActionWords& WordsFor(FileAction action) {
  for (const ActionWords& words : kActionWords) {
    if (words.action == action) return words;
  }
  return kActionWords[0];
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
  return DescribeFileProblem(WordsFor(action).english, file, reason);
}

std::string FileFailure::Shown(const Catalogue& words) const {
  std::string reason;
  if (not_regular) {
    reason = words.Tr("通常のファイルではありません（FIFO、デバイス、フォルダなど）。");
  } else if (link) {
    reason = words.Tr("シンボリックリンクです。安全のため、たどりません。");
  } else if (bad_contents) {
    reason = words.Tr("中身が正しくありません（壊れているか、形式が違います）。");
  } else {
    reason = ShownReason(err, words);
  }
  return file.string() + "\n" + words.Tr(WordsFor(action).japanese) + reason;
}

std::string ShownReason(int err, const Catalogue& words) {
  switch (err) {
    case EACCES:
    case EPERM:
      return words.Tr("アクセスが許可されていません。");
    case ENOENT:
      return words.Tr("見つかりません。");
    case ENOTDIR:
      return words.Tr("フォルダであるべき所にフォルダではないものがあります。");
    case EISDIR:
      return words.Tr("ファイルの場所にファイルではないものがあります。");
    case EROFS:
      return words.Tr("読み取り専用のファイルシステムです。");
    case ENOSPC:
    case EDQUOT:
      return words.Tr("ディスクの空きが足りません。");
    case ELOOP:
      return words.Tr("シンボリックリンクが多すぎるか、ループしています。");
    case ENAMETOOLONG:
      return words.Tr("パスが長すぎます。");
    case EIO:
      return words.Tr("読み書きの途中でエラーが起きました。");
    case ENOMEM:
      return words.Tr("メモリが足りません。");
    default:
      return FillPlaceholders(words.Tr("エラーが起きました（エラー番号 %1）。"),
                              {std::to_string(err)});
  }
}

}  // namespace rv
