// The player's box for a data folder that cannot be used. Every line is Japanese but the one
// naming the folder or file; DataFolder::error keeps the English line for standard error.

#include <string>

#include "config/data_folder.h"
#include "config/japanese_reason.h"

namespace rv {

namespace {

constexpr const char* kCannotDecide = "Ravolinのデータフォルダを決められません！";
constexpr const char* kCannotMake = "Ravolinのデータフォルダを作れません！";
constexpr const char* kUnsafe = "Ravolinのデータフォルダが安全ではありません！";
constexpr const char* kCannotPrepare = "Ravolinのデータフォルダを用意できません！";
constexpr const char* kNoXdg = "XDG_DATA_HOMEも絶対パスで設定されていません。";
constexpr const char* kFixUnsafe =
    "所有者と書き込みの権限を直すか、XDG_DATA_HOMEで別のフォルダを指定してください。";

std::string Lines(const char* headline, const std::string& where, const std::string& why) {
  return std::string(headline) + "\n" + where + "\n" + why;
}

}  // namespace

std::string DataFolderMessage(const DataFolder& failed) {
  const std::string where = failed.culprit.string();
  switch (failed.fault) {
    case DataFolderFault::kNone:
      break;
    case DataFolderFault::kNoHome:
      return std::string(kCannotDecide) + "\n環境変数HOMEが設定されていません。\n" + kNoXdg;
    case DataFolderFault::kHomeNotAbsolute:
      return Lines(
          kCannotDecide, failed.detail,
          "環境変数HOMEが絶対パス（/で始まるパス）ではありません。\n" + std::string(kNoXdg));
    case DataFolderFault::kCannotMake:
      return Lines(kCannotMake, where, JapaneseReason(failed.err));
    case DataFolderFault::kNotOwned:
      return Lines(kUnsafe, where,
                   "このフォルダはあなたの所有ではありません。\n" + std::string(kFixUnsafe));
    case DataFolderFault::kWritableByOthers:
      return Lines(kUnsafe, where,
                   "このフォルダにはほかのユーザーも書き込めます。\n" + std::string(kFixUnsafe));
    case DataFolderFault::kTooLarge:
      return Lines(kCannotPrepare, where,
                   "1MBを超えているので、Ravolinのランキングや設定のファイルではありません。");
    case DataFolderFault::kCannotCopy:
      return Lines(kCannotPrepare, where, JapaneseReason(failed.err));
  }
  return kCannotMake;
}

}  // namespace rv
