// rv_message: one message box of the game, shown on its behalf while rv_031 waits.
//   rv_message --warning|--plain -- CAPTION TEXT
// Exit status 0 once the box is closed (OK, Return, Escape or its close box), 2 when no
// display can be reached or none the box can be painted on, 64 when the arguments do not fit.

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QString>
#include <cstdio>
#include <string>
#include <vector>

#include "app/rv_message/message_request.h"
#include "config/dialog/qt_start.h"

namespace {

constexpr int kUsageStatus = 64;
// Qt paints only on screens of true colour; on a palette screen (8 bits deep) the box maps as
// an empty frame that nobody can read or close, and the game would wait for it for ever.
constexpr int kLeastPaintableDepth = 15;

bool ScreenCanShowTheBox() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr && screen->depth() >= kLeastPaintableDepth;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<rv::MessageRequest> request =
      rv::ParseMessageRequest(std::vector<std::string>(argv + 1, argv + argc));
  if (!request) {
    std::fprintf(stderr, "usage: rv_message --warning|--plain -- CAPTION TEXT\n");
    return kUsageStatus;
  }
  // Qt reads options such as -style from its arguments; the texts are not for it.
  int qt_argc = 1;
  const auto app = rv::StartQtApplication(qt_argc, argv);
  if (!app) return rv::kNoDisplayExitStatus;
  if (!ScreenCanShowTheBox()) {
    std::fprintf(stderr, "rv_message: the screen cannot show the box (%d bits deep)\n",
                 QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->depth() : 0);
    return rv::kNoDisplayExitStatus;
  }
  QMessageBox box(request->warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                  QString::fromStdString(request->caption), QString::fromStdString(request->text),
                  QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);  // a file name with '<' in it stays as it is
  box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.exec();
  return 0;
}
