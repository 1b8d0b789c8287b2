// The player's box for a data folder that cannot be used. Every line is Japanese but the one
// naming the folder or file; DataFolder::error keeps the English line for standard error.

#include <string>

#include "storage/data_folder.h"
#include "storage/file_failure.h"

namespace rv {

namespace {

constexpr const char* kCannotDecide = TextId("Ravolinのデータフォルダを決められません！");
constexpr const char* kCannotMake = TextId("Ravolinのデータフォルダを作れません！");
constexpr const char* kUnsafe = TextId("Ravolinのデータフォルダが安全ではありません！");
constexpr const char* kCannotPrepare = TextId("Ravolinのデータフォルダを用意できません！");
constexpr const char* kNoXdg = TextId("XDG_DATA_HOMEも絶対パスで設定されていません。");
constexpr const char* kFixUnsafe =
    TextId("所有者と書き込みの権限を直すか、XDG_DATA_HOMEで別のフォルダを指定してください。");

std::string Lines(const std::string& headline, const std::string& where, const std::string& why) {
  return headline + "\n" + where + "\n" + why;
}

}  // namespace

std::string DataFolderMessage(const DataFolder& failed, const Catalogue& words) {
  const auto tr = [&words](const char* japanese) { return words.Tr(japanese); };
  const std::string where = failed.culprit.string();
  switch (failed.fault) {
    case DataFolderFault::kNone:
      break;
    case DataFolderFault::kNoHome:
      return tr(kCannotDecide) + "\n" + tr("環境変数HOMEが設定されていません。") + "\n" +
             tr(kNoXdg);
    case DataFolderFault::kHomeNotAbsolute:
      return Lines(
          tr(kCannotDecide), failed.detail,
          tr("環境変数HOMEが絶対パス（/で始まるパス）ではありません。") + "\n" + tr(kNoXdg));
    case DataFolderFault::kCannotMake:
      return Lines(tr(kCannotMake), where, ShownReason(failed.err, words));
    case DataFolderFault::kNotOwned:
      return Lines(tr(kUnsafe), where,
                   tr("このフォルダはあなたの所有ではありません。") + "\n" + tr(kFixUnsafe));
    case DataFolderFault::kWritableByOthers:
      return Lines(tr(kUnsafe), where,
                   tr("このフォルダにはほかのユーザーも書き込めます。") + "\n" + tr(kFixUnsafe));
    case DataFolderFault::kForeignLink:
      return Lines(
          tr(kUnsafe), where,
          tr("このフォルダはほかのユーザーのシンボリックリンクです。") + "\n" + tr(kFixUnsafe));
    case DataFolderFault::kTooLarge:
      return Lines(tr(kCannotPrepare), where,
                   tr("1MBを超えているので、Ravolinのランキングや設定のファイルではありません。"));
    case DataFolderFault::kCannotCopy:
      return Lines(tr(kCannotPrepare), where, ShownReason(failed.err, words));
  }
  return tr(kCannotMake);
}

}  // namespace rv
