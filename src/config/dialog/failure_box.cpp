#include "config/dialog/failure_box.h"

#include <QCoreApplication>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <string>

#include "config/dialog/dialog_words.h"
#include "storage/file_failure.h"

namespace rv {

namespace {

// The box for the exception being handled; its English text goes to standard error.
void ReportCurrentException(const WarningFn& warn, const Catalogue& words) {
  QString text = QTr(words, "Ravolinコンフィグでエラーが発生しました！") + QLatin1Char('\n');
  try {
    throw;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "rv_config: out of memory\n");
    text += QString::fromStdString(ShownReason(ENOMEM, words));
  } catch (const std::filesystem::filesystem_error& e) {
    std::fprintf(stderr, "rv_config: %s\n", e.what());
    if (!e.path1().empty()) text += QString::fromStdString(e.path1().string()) + QLatin1Char('\n');
    text += QString::fromStdString(ShownReason(e.code().value(), words));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rv_config: %s\n", e.what());
    text += QTr(words, "予期しないエラーです。");
  } catch (...) {
    std::fprintf(stderr, "rv_config: unknown exception\n");
    text += QTr(words, "予期しないエラーです。");
  }
  std::fflush(stderr);
  warn(QTr(words, "エラー"), text);
}

// Even the box may fail (memory may still be short): the status is what counts then.
void ReportSafely(const WarningFn& warn, const Catalogue& words) {
  try {
    ReportCurrentException(warn, words);
  } catch (...) {
    std::fputs("rv_config: the error box could not be shown\n", stderr);
  }
}

}  // namespace

int RunReportingFailures(const std::function<int()>& body, const WarningFn& warn,
                         const Catalogue& words) {
  try {
    return body();
  } catch (...) {
    ReportSafely(warn, words);
    return kFailureExitStatus;
  }
}

void HandleReportingFailures(const std::function<void()>& handler, const WarningFn& warn,
                             const Catalogue& words) {
  try {
    handler();
  } catch (...) {
    ReportSafely(warn, words);
    QCoreApplication::exit(kFailureExitStatus);
  }
}

}  // namespace rv
