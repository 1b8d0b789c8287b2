#include "config/japanese_reason.h"

#include <cerrno>

namespace rv {

std::string JapaneseReason(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
      return "アクセスが許可されていません。";
    case ENOENT:
      return "見つかりません。";
    case ENOTDIR:
      return "フォルダであるべき所にフォルダではないものがあります。";
    case EISDIR:
      return "ファイルの場所にファイルではないものがあります。";
    case EROFS:
      return "読み取り専用のファイルシステムです。";
    case ENOSPC:
    case EDQUOT:
      return "ディスクの空きが足りません。";
    case ELOOP:
      return "シンボリックリンクが多すぎるか、ループしています。";
    case ENAMETOOLONG:
      return "パスが長すぎます。";
    case EIO:
      return "読み書きの途中でエラーが起きました。";
    case ENOMEM:
      return "メモリが足りません。";
    default:
      return "エラーが起きました（エラー番号 " + std::to_string(err) + "）。";
  }
}

}  // namespace rv
