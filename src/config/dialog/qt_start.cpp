#include "config/dialog/qt_start.h"

#include <QApplication>
#include <QString>
#include <QtGlobal>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace rv {

namespace {

bool IsSet(const char* value) { return value != nullptr && value[0] != '\0'; }

// Qt's fatal message at its start is the display that did not answer; the handler must not
// return, or Qt aborts.
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const QByteArray line = qFormatLogMessage(type, context, message).toLocal8Bit();
  if (type != QtFatalMsg) {
    std::fprintf(stderr, "%s\n", line.constData());
    return;
  }
  ReportNoDisplay();
  std::_Exit(kNoDisplayExitStatus);
}

}  // namespace

bool QtDisplayConfigured(const char* qpa_platform, const char* display,
                         const char* wayland_display) {
  return IsSet(qpa_platform) || IsSet(display) || IsSet(wayland_display);
}

bool QtDisplayConfigured() {
  return QtDisplayConfigured(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                             std::getenv("WAYLAND_DISPLAY"));
}

void ReportNoDisplay() {
  std::fprintf(stderr,
               "%s: no display to open a window on (DISPLAY and WAYLAND_DISPLAY are unset, or "
               "their display does not answer)\n",
               program_invocation_short_name);
  std::fflush(stderr);
}

std::unique_ptr<QApplication> StartQtApplication(int& argc, char** argv) {
  if (!QtDisplayConfigured()) {
    ReportNoDisplay();
    return nullptr;
  }
  qInstallMessageHandler(OnQtMessage);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(nullptr);
  return app;
}

}  // namespace rv
