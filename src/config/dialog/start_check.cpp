#include "config/dialog/start_check.h"

#include <system_error>

namespace rv {

QString StartErrorCaption() { return QStringLiteral("起動エラー"); }

QString StartErrorText() {
  return QStringLiteral(
      "Ravolinコンフィグを二重起動、または\nRavolinと一緒に起動させることはできません！");
}

std::optional<InstanceLock> AcquireDialogStart(const std::filesystem::path& data_folder) {
  auto lock = InstanceLock::TryAcquire(data_folder / kConfigLockFile);
  if (!lock) return std::nullopt;
  std::error_code ec;
  if (std::filesystem::exists(data_folder / kRunningMarkerFile, ec)) return std::nullopt;
  if (IsLockHeldElsewhere(data_folder / kGameLockFile)) return std::nullopt;
  return lock;
}

}  // namespace rv
