// rv_config: the configuration dialog. Exit status 0 after the window closes, 1 when the
// start is refused (the game runs, another copy of the dialog does, the data folder cannot
// be used) or anything fails on the way (always after an error box), 2 without a display
// or for a command line it cannot understand (both: it could not run). --help and --version
// need no display.

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <variant>

#include "config/dialog/failure_box.h"
#include "config/dialog/form1.h"
#include "config/dialog/qt_options.h"
#include "config/dialog/qt_start.h"
#include "config/dialog/start_check.h"
#include "config/dialog/warning_box.h"
#include "start/program_start.h"
#include "storage/data_folder.h"

namespace {

int RunDialog(const std::filesystem::path& program_folder, const rv::Catalogue& words) {
  const rv::DataFolder data = rv::ResolveDataFolder(program_folder);
  if (!data.ok()) {
    std::fprintf(stderr, "rv_config: data folder: %s\n", data.error.c_str());
    rv::ShowWarningBox(rv::StartErrorCaption(words),
                       QString::fromStdString(rv::DataFolderMessage(data, words)));
    return rv::kRefusedExitStatus;
  }
  const std::filesystem::path& folder = data.path;

  // Held until this returns, that is as long as the window exists.
  rv::FileFailure problem;
  auto lock = rv::AcquireDialogStart(folder, &problem);
  if (!lock) {
    QString text = rv::StartErrorText(words);
    if (!problem.empty()) {
      std::fprintf(stderr, "rv_config: %s\n", problem.English().c_str());
      text += QStringLiteral("\n") + QString::fromStdString(problem.Shown(words));
    }
    rv::ShowWarningBox(rv::StartErrorCaption(words), text);
    return rv::kRefusedExitStatus;
  }
  rv::Form1 form(folder, words);
  form.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  // Read before Qt, which needs a display; Qt takes its own options from argv afterwards.
  auto start = rv::StartProgram(argc, argv, {"ravolin-config", false, rv::kQtOptions});
  if (const int* status = std::get_if<int>(&start)) return *status;
  const rv::StartedProgram& program = std::get<rv::StartedProgram>(start);
  const auto app = rv::StartQtApplication(argc, argv);
  if (!app) return rv::kNoDisplayExitStatus;
  const rv::Catalogue& words = program.language.words;
  return rv::RunReportingFailures([&] { return RunDialog(program.program_folder, words); },
                                  rv::ShowWarningBox, words);
}
