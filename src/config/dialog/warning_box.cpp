#include "config/dialog/warning_box.h"

#include <QMessageBox>
#include <QtGlobal>
#include <cstdio>

namespace rv {

void ShowWarningBox(const QString& caption, const QString& text) {
  std::fprintf(
      stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
      QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')).toLocal8Bit().constData());
  std::fflush(stderr);
  if (!qEnvironmentVariableIsEmpty("RV_CONFIG_BOXES_TO_STDERR")) return;
  QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok);
  box.exec();
}

}  // namespace rv
