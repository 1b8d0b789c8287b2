// rv_config: the configuration dialog. Exit status 0 after the window closes, 1 when the
// start is refused (the game runs, another copy of the dialog does, the data folder cannot
// be used) or anything fails on the way (always after an error box), 2 without a display
// or for a command line it cannot understand (both: it could not run). --help and --version
// need no display.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "config/command_line.h"
#include "config/data_folder.h"
#include "config/dialog/failure_box.h"
#include "config/dialog/form1.h"
#include "config/dialog/qt_options.h"
#include "config/dialog/qt_start.h"
#include "config/dialog/start_check.h"
#include "config/dialog/warning_box.h"
#include "config/language_choice.h"

namespace {

// The program folder is the executable's, whatever the working folder is; the setting, the
// game's marker and the locks are in the data folder the game chooses the same way. Found
// without Qt, so that the language is checked before a display is needed.
std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path(ec) : exe.parent_path();
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
  // Read before Qt, which needs a display; Qt takes its own options from argv afterwards.
  const rv::CommandLineRules rules{"ravolin-config", false, rv::kQtOptions};
  const rv::CommandLine line =
      rv::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), rules);
  if (!line.ok()) {
    std::fprintf(stderr, "ravolin-config: %s\n%s", line.error.c_str(),
                 rv::UsageText(rules).c_str());
    return rv::kUsageExitStatus;
  }
  if (line.help || line.version) {
    const std::string text = line.help ? rv::UsageText(rules) : rv::VersionText(rules.program);
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  const std::filesystem::path program_folder = ProgramFolder();
  const rv::LanguageLoad language = rv::LoadLanguage(
      program_folder, rv::RequestedLanguage(line.lang, std::getenv(rv::kLanguageVariable)));
  if (!language.known) {
    std::fprintf(stderr, "ravolin-config: %s\n%s", language.error.c_str(),
                 rv::UsageText(rules).c_str());
    return rv::kUsageExitStatus;
  }
  if (!language.error.empty()) {
    std::fprintf(stderr, "ravolin-config: %s\n", language.error.c_str());
  }
  const auto app = rv::StartQtApplication(argc, argv);
  if (!app) return rv::kNoDisplayExitStatus;
  return rv::RunReportingFailures([&] { return RunDialog(program_folder, language.words); },
                                  rv::ShowWarningBox, language.words);
}
