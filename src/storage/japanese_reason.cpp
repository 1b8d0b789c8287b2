#include "storage/japanese_reason.h"

#include <cerrno>

#include "lang/fill.h"

namespace rv {

std::string JapaneseReason(int err) { return ShownReason(err, Catalogue()); }

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
      return Fill(words.Tr("エラーが起きました（エラー番号 %1）。"), {std::to_string(err)});
  }
}

}  // namespace rv
