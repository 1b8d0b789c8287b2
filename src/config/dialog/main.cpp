// rv_config: the configuration dialog. Exit status 0 after the window closes, 1 when the
// start is refused (the game runs, another copy of the dialog does, the data folder cannot
// be used) or anything fails on the way (always after an error box), 2 without a display.

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/data_folder.h"
#include "config/dialog/display_guard.h"
#include "config/dialog/failure_box.h"
#include "config/dialog/form1.h"
#include "config/dialog/start_check.h"
#include "config/dialog/warning_box.h"
#include "config/language_choice.h"

namespace {

// An unknown language, like any other bad command line.
constexpr int kUsageExitStatus = 2;

// The program folder is the executable's, whatever the working folder is; the setting, the
// game's marker and the locks are in the data folder the game chooses the same way.
std::filesystem::path ProgramFolder() {
  return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

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
  rv::Form1 form(folder, rv::ShowWarningBox, nullptr, words);
  form.show();
  return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  const auto app = rv::StartQtApplication(argc, argv);
  if (!app) return rv::kNoDisplayExitStatus;
  const std::filesystem::path program_folder = ProgramFolder();
  const rv::LanguageLoad language = rv::LoadLanguage(
      program_folder, rv::RequestedLanguage(std::nullopt, std::getenv(rv::kLanguageVariable)));
  if (!language.known) {
    std::fprintf(stderr, "rv_config: %s\n", language.error.c_str());
    return kUsageExitStatus;
  }
  if (!language.error.empty()) std::fprintf(stderr, "rv_config: %s\n", language.error.c_str());
  return rv::RunReportingFailures([&] { return RunDialog(program_folder, language.words); },
                                  rv::ShowWarningBox, language.words);
}
