// rv_config: the configuration dialog. Exit status 0 after the window closes, 1 when the
// start is refused (the game runs, or another copy of the dialog does), 2 without a display.

#include <QApplication>
#include <QFile>
#include <filesystem>
#include <string>

#include "config/dialog/display_guard.h"
#include "config/data_folder.h"
#include "config/dialog/form1.h"
#include "config/dialog/start_check.h"
#include "config/dialog/warning_box.h"

int main(int argc, char** argv) {
  const auto app = rv::StartQtApplication(argc, argv);
  if (!app) return rv::kNoDisplayExitStatus;
  // The program folder is the executable's, whatever the working folder is; the setting, the
  // game's marker and the locks are in the data folder the game chooses the same way.
  const std::filesystem::path program_folder(
      QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
  const rv::DataFolder data = rv::ResolveDataFolder(program_folder);
  if (!data.ok()) {
    rv::ShowWarningBox(rv::StartErrorCaption(),
                       QStringLiteral("Ravolinのデータフォルダを作れません！\n") +
                           QString::fromStdString(data.error));
    return rv::kRefusedExitStatus;
  }
  const std::filesystem::path& folder = data.path;

  // Held until main returns, that is as long as the window exists.
  std::string problem;
  auto lock = rv::AcquireDialogStart(folder, &problem);
  if (!lock) {
    QString text = rv::StartErrorText();
    if (!problem.empty()) text += QStringLiteral("\n") + QString::fromStdString(problem);
    rv::ShowWarningBox(rv::StartErrorCaption(), text);
    return rv::kRefusedExitStatus;
  }
  rv::Form1 form(folder);
  form.show();
  return QApplication::exec();
}
