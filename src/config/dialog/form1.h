#pragma once
// The configuration dialog's one window: a four-position slider for the game's process
// priority, a joking description of each position, and the buttons that save it to
// rvdat.cfg in the data folder (the program folder, or the per-user one of an install).

#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "config/dialog/warning_box.h"
#include "lang/catalogue.h"
#include "storage/player_files.h"

class QKeyEvent;
class QLabel;
class QMouseEvent;
class QPushButton;
class QSlider;
class QStatusBar;

namespace rv {

class Form1 : public QWidget {
  Q_OBJECT

 public:
  // Loads rvdat.cfg from program_folder (creating it empty when missing) and sets the
  // slider. warn shows the box for a failed save; tests pass a recorder.
  // Every text is said in the language of `words`.
  Form1(std::filesystem::path program_folder, Catalogue words, WarningFn warn = ShowWarningBox,
        QWidget* parent = nullptr);

  // Brings the two labels and the status bar in line with the slider's position.
  void ShowPriorityText();

  // The value last read from or successfully written to rvdat.cfg.
  int16_t stored_value() const { return stored_value_; }

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  // Escape is キャンセル, as in any dialog.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // A handler for the event loop, which no exception may leave: a failure ends the dialog
  // with its error box and status 1.
  std::function<void()> Guarded(std::function<void()> handler);
  void BuildControls();
  void Load();
  bool Apply();  // false when the file could not be written
  void Com_Standard_Click();
  void Com_OK_Click();
  void Com_EndOK_Click();
  void Com_Cancel_Click();
  void SetStatus(const QString& text);

  std::filesystem::path config_file_;
  WarningFn warn_;
  Catalogue words_;
  int16_t stored_value_ = 0;

  QLabel* label1_ = nullptr;
  QSlider* slide_ = nullptr;
  QLabel* lbl_priority_ = nullptr;
  QLabel* lbl_metal_ = nullptr;
  QPushButton* com_standard_ = nullptr;
  QPushButton* com_ok_ = nullptr;
  QPushButton* com_end_ok_ = nullptr;
  QPushButton* com_cancel_ = nullptr;
  QStatusBar* status_ = nullptr;
};

}  // namespace rv
