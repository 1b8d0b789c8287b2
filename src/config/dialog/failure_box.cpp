#include "config/dialog/failure_box.h"

#include <QCoreApplication>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <string>

#include "config/japanese_reason.h"

namespace rv {

namespace {

// The box for the exception being handled; its English text goes to standard error.
void ReportCurrentException(const WarningFn& warn) {
  QString text = QStringLiteral("Ravolinコンフィグでエラーが発生しました！\n");
  try {
    throw;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "rv_config: out of memory\n");
    text += QString::fromStdString(JapaneseReason(ENOMEM));
  } catch (const std::filesystem::filesystem_error& e) {
    std::fprintf(stderr, "rv_config: %s\n", e.what());
    if (!e.path1().empty()) text += QString::fromStdString(e.path1().string()) + QLatin1Char('\n');
    text += QString::fromStdString(JapaneseReason(e.code().value()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rv_config: %s\n", e.what());
    text += QStringLiteral("予期しないエラーです。");
  } catch (...) {
    std::fprintf(stderr, "rv_config: unknown exception\n");
    text += QStringLiteral("予期しないエラーです。");
  }
  std::fflush(stderr);
  warn(QStringLiteral("エラー"), text);
}

// Even the box may fail (memory may still be short): the status is what counts then.
void ReportSafely(const WarningFn& warn) {
  try {
    ReportCurrentException(warn);
  } catch (...) {
    std::fputs("rv_config: the error box could not be shown\n", stderr);
  }
}

}  // namespace

int RunReportingFailures(const std::function<int()>& body, const WarningFn& warn) {
  try {
    return body();
  } catch (...) {
    ReportSafely(warn);
    return kFailureExitStatus;
  }
}

void HandleReportingFailures(const std::function<void()>& handler, const WarningFn& warn) {
  try {
    handler();
  } catch (...) {
    ReportSafely(warn);
    QCoreApplication::exit(kFailureExitStatus);
  }
}

}  // namespace rv
