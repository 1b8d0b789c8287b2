#include "config/dialog/form1.h"

#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include "config/config_file.h"
#include "config/dialog/dialog_words.h"
#include "config/dialog/failure_box.h"

namespace rv {
namespace {

constexpr int kLowestPosition = 0;
constexpr int kHighestPosition = 3;
constexpr int kStandardPosition = 1;

struct PriorityText {
  const char* caption;  // lbl_Priority
  bool max_row;         // right-aligned caption with "METAL" in front of it
  const char* status;
};

// One row per slider position, lowest priority first.
constexpr std::array<PriorityText, 4> kPriorityTexts = {{
    {TextId("カス"), false,
     TextId("処理の優先度『最低』。Ravolinはパソコンに嫌われてしまいます。(笑)")},
    {TextId("普通"), false, TextId("処理の優先度『普通』。まぁ、コレが標準的。")},
    {TextId("高くねぇ？"), false,
     TextId("処理の優先度『高』。キーボードが言う事利かなくなります。")},
    {"MAX!!", true, TextId("処理の優先度『最高』。METALMAXなカンジでパソコンが処理します。（謎）")},
}};

// Labels draw from their top edge, so "MAX!!" (12 pt) and "METAL" (8.25 pt, 5 px lower)
// share a baseline.
constexpr Qt::Alignment kCentered = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kRightAligned = Qt::AlignRight | Qt::AlignTop;

// The proportional Japanese Gothic face, with the fixed-pitch one behind it.
QFont GothicFont(qreal point_size, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic")});
  font.setPointSizeF(point_size);
  font.setBold(bold);
  return font;
}

// The label's width was drawn for a narrower face: pull the letters together just enough
// that the whole word shows instead of losing its last letter.
QFont FitFont(QFont font, const QString& text, int width) {
  const int overflow = QFontMetrics(font).horizontalAdvance(text) - width;
  if (overflow > 0 && text.size() > 1) {
    font.setLetterSpacing(QFont::AbsoluteSpacing,
                          -static_cast<qreal>(overflow) / (text.size() - 1));
  }
  return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(geometry);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(geometry);
  // Return clicks the focused button, as Space does.
  button->setAutoDefault(true);
  return button;
}

}  // namespace

Form1::Form1(std::filesystem::path program_folder, Catalogue words, WarningFn warn, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      config_file_(std::move(program_folder) / kConfigFile),
      warn_(std::move(warn)),
      words_(std::move(words)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QTr(words_, "Ravolinコンフィグ"));
  setFixedSize(401, 109);
  setFont(GothicFont(9, false));
  // Mouse movement over the free area reaches mouseMoveEvent without a pressed button.
  setMouseTracking(true);
  BuildControls();
  Load();
}

void Form1::BuildControls() {
  label1_ = MakeLabel(this, "Label1", QTr(words_, "処理の優先度"), QRect(128, 8, 73, 17));

  slide_ = new QSlider(Qt::Horizontal, this);
  slide_->setObjectName(QStringLiteral("Slide"));
  slide_->setGeometry(24, 24, 273, 33);
  slide_->setRange(kLowestPosition, kHighestPosition);
  slide_->setSingleStep(1);
  slide_->setPageStep(1);
  slide_->setTickPosition(QSlider::TicksBelow);
  slide_->setTickInterval(1);
  // Mouse, arrow keys, Home/End and page keys all come through here, so the texts follow
  // every change at once.
  connect(slide_, &QSlider::valueChanged, this, Guarded([this] { ShowPriorityText(); }));

  // Made before lbl_metal so that "METAL" lies on top where the two overlap.
  lbl_priority_ = MakeLabel(this, "lbl_Priority", QString(), QRect(304, 32, 81, 25));
  lbl_priority_->setFont(GothicFont(12, true));
  lbl_priority_->setAlignment(kCentered);
  lbl_metal_ = MakeLabel(this, "lbl_metal", QStringLiteral("METAL"), QRect(304, 37, 33, 17));
  lbl_metal_->setFont(
      FitFont(GothicFont(8.25, false), QStringLiteral("METAL"), lbl_metal_->width()));
  lbl_metal_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lbl_metal_->hide();

  com_standard_ = MakeButton(this, "Com_Standard", QTr(words_, "標準設定"), QRect(80, 64, 73, 25));
  com_ok_ = MakeButton(this, "Com_OK", QTr(words_, "適用"), QRect(160, 64, 73, 25));
  com_end_ok_ = MakeButton(this, "Com_EndOK", QStringLiteral("OK"), QRect(240, 64, 73, 25));
  com_cancel_ = MakeButton(this, "Com_Cancel", QTr(words_, "キャンセル"), QRect(320, 64, 73, 25));
  connect(com_standard_, &QPushButton::clicked, this, Guarded([this] { Com_Standard_Click(); }));
  connect(com_ok_, &QPushButton::clicked, this, Guarded([this] { Com_OK_Click(); }));
  connect(com_end_ok_, &QPushButton::clicked, this, Guarded([this] { Com_EndOK_Click(); }));
  connect(com_cancel_, &QPushButton::clicked, this, Guarded([this] { Com_Cancel_Click(); }));

  status_ = new QStatusBar(this);
  status_->setObjectName(QStringLiteral("status"));
  status_->setSizeGripEnabled(false);
  // A rule along its top sets the status bar apart from the form, as a status bar looks.
  status_->setStyleSheet(QStringLiteral("QStatusBar { border-top: 1px solid palette(mid); }"));
  status_->setGeometry(0, 92, 401, 17);

  // 適用 first (it has the focus at start), then 標準設定, キャンセル, OK and the slider.
  setTabOrder(com_ok_, com_standard_);
  setTabOrder(com_standard_, com_cancel_);
  setTabOrder(com_cancel_, com_end_ok_);
  setTabOrder(com_end_ok_, slide_);
  com_ok_->setFocus();
}

void Form1::Load() {
  std::string error;
  stored_value_ = ReadConfigValue(config_file_, &error);
  // The slider cannot take a value outside its four positions: open at the nearest end.
  const int position = std::clamp<int>(stored_value_, kLowestPosition, kHighestPosition);
  slide_->setValue(position);
  ShowPriorityText();
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    SetStatus(QTr(words_, "rvdat.cfgを開けませんでした。「適用」で作り直せるか試せます。"));
  } else if (position != stored_value_) {
    SetStatus(QTr(words_, "rvdat.cfgの値（%1）は範囲外なので、いちばん近い%2にしました。")
                  .arg(stored_value_)
                  .arg(position));
  }
}

std::function<void()> Form1::Guarded(std::function<void()> handler) {
  return [this, handler = std::move(handler)] { HandleReportingFailures(handler, warn_, words_); };
}

void Form1::ShowPriorityText() {
  lbl_priority_->setAlignment(kCentered);
  lbl_metal_->hide();
  const int position = slide_->value();
  if (position < kLowestPosition || position > kHighestPosition) return;
  const PriorityText& row = kPriorityTexts[static_cast<size_t>(position)];
  if (row.max_row) {
    lbl_priority_->setAlignment(kRightAligned);
    lbl_metal_->show();
  }
  lbl_priority_->setText(QTr(words_, row.caption));
  SetStatus(QTr(words_, row.status));
}

bool Form1::Apply() {
  const auto value = static_cast<int16_t>(slide_->value());
  std::string error;
  if (!WriteConfigValue(config_file_, value, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    SetStatus(QTr(words_, "rvdat.cfgに保存できませんでした。"));
    warn_(QTr(words_, "保存エラー"), QTr(words_,
                                         "rvdat.cfgに保存できませんでした。\n"
                                         "フォルダーとファイルに書き込めるか確かめてください。"));
    return false;
  }
  stored_value_ = value;
  SetStatus(QTr(words_, "rvdat.cfgに保存しました。"));
  return true;
}

void Form1::Com_Standard_Click() {
  slide_->setValue(kStandardPosition);
  ShowPriorityText();  // also when the slider already stood there
}

void Form1::Com_OK_Click() { Apply(); }

void Form1::Com_EndOK_Click() {
  // A failed save keeps the window, so the choice is not lost without a word.
  if (Apply()) Com_Cancel_Click();
}

// Closing the window ends the program; nothing is saved on the way.
void Form1::Com_Cancel_Click() { close(); }

// The slider and the buttons leave Escape to their window, so it arrives here wherever the
// focus is.
void Form1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    com_cancel_->click();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
  // Moves over controls that ignore them are passed up to here too; only the free area counts.
  if (childAt(event->position().toPoint()) == nullptr) {
    SetStatus(QTr(words_, "レディ（決して女性ではない）"));
  }
  QWidget::mouseMoveEvent(event);
}

void Form1::SetStatus(const QString& text) { status_->showMessage(text); }

}  // namespace rv
