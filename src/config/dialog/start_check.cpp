#include "config/dialog/start_check.h"

#include <system_error>

#include "config/dialog/dialog_words.h"

namespace rv {

QString StartErrorCaption(const Catalogue& words) { return QTr(words, "起動エラー"); }

QString StartErrorText(const Catalogue& words) {
  return QTr(words,
             "Ravolinコンフィグを二重起動、または\nRavolinと一緒に起動させることはできません！");
}

std::optional<InstanceLock> AcquireDialogStart(const std::filesystem::path& data_folder,
                                               FileFailure* problem) {
  auto lock = InstanceLock::TryAcquire(data_folder / kConfigLockFile, problem);
  if (!lock) return std::nullopt;
  std::error_code ec;
  // A marker that cannot be looked at may be the game's: refused as well. Anything by that
  // name counts, a link included, which is never followed.
  const auto marker_status = std::filesystem::symlink_status(data_folder / kRunningMarker, ec);
  if (marker_status.type() == std::filesystem::file_type::not_found) ec.clear();
  const bool marker = std::filesystem::exists(marker_status);
  if (marker || ec) return std::nullopt;
  if (IsLockHeldElsewhere(data_folder / kGameLockFile, problem)) return std::nullopt;
  return lock;
}

}  // namespace rv
