#include "config/dialog/start_check.h"

#include <system_error>

namespace rv {

QString StartErrorCaption() { return QStringLiteral("起動エラー"); }

QString StartErrorText() {
  return QStringLiteral(
      "Ravolinコンフィグを二重起動、または\nRavolinと一緒に起動させることはできません！");
}

std::optional<InstanceLock> AcquireDialogStart(const std::filesystem::path& data_folder,
                                               std::string* problem) {
  auto lock = InstanceLock::TryAcquire(data_folder / kConfigLockFile, problem);
  if (!lock) return std::nullopt;
  std::error_code ec;
  // A marker that cannot be looked at may be the game's: refused as well.
  const bool marker = std::filesystem::exists(data_folder / kRunningMarkerFile, ec);
  if (marker || ec) return std::nullopt;
  if (IsLockHeldElsewhere(data_folder / kGameLockFile, problem)) return std::nullopt;
  return lock;
}

}  // namespace rv
