// The configuration dialog driven through its real window on the offscreen platform, and the
// rv_config program itself started as a child process for the start-up refusal.

#include "config/dialog/form1.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>

#include "config/dialog/start_check.h"
#include "start/language_choice.h"
#include "storage/instance_lock.h"
#include "support/japanese_text.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

// What the window must show for each slider position.
struct Expected {
  const char* caption;
  Qt::Alignment horizontal;
  bool metal;
  const char* status;
};
const Expected kExpected[4] = {
    {"カス", Qt::AlignHCenter, false,
     "処理の優先度『最低』。Ravolinはパソコンに嫌われてしまいます。(笑)"},
    {"普通", Qt::AlignHCenter, false, "処理の優先度『普通』。まぁ、コレが標準的。"},
    {"高くねぇ？", Qt::AlignHCenter, false,
     "処理の優先度『高』。キーボードが言う事利かなくなります。"},
    {"MAX!!", Qt::AlignRight, true,
     "処理の優先度『最高』。METALMAXなカンジでパソコンが処理します。（謎）"},
};
const char* const kSaved = "rvdat.cfgに保存しました。";
const char* const kReady = "レディ（決して女性ではない）";

fs::path ToPath(const QString& dir) { return fs::path(QFile::encodeName(dir).toStdString()); }

QByteArray Bytes(std::initializer_list<unsigned char> bytes) {
  QByteArray out;
  for (unsigned char b : bytes) out.append(static_cast<char>(b));
  return out;
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QStringList warnings_;

  QString CfgPath() const { return dir_.filePath(QStringLiteral("rvdat.cfg")); }
  void WriteCfg(const QByteArray& bytes) {
    QFile file(CfgPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
  }
  QByteArray ReadCfg() const {
    QFile file(CfgPath());
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
    return file.readAll();
  }
  std::unique_ptr<Form1> MakeForm() {
    return std::make_unique<Form1>(ToPath(dir_.path()), Catalogue(),
                                   [this](const QString& caption, const QString& text) {
                                     warnings_ << caption + QLatin1Char('|') + text;
                                   });
  }
  // A shown window over a setting file of `cfg`, its slider moved to `value`, nothing saved.
  std::unique_ptr<Form1> ShownAndMovedTo(const QByteArray& cfg, int value) {
    WriteCfg(cfg);
    auto form = MakeForm();
    form->show();
    Slide(*form)->setValue(value);
    return form;
  }
  static QSlider* Slide(Form1& form) { return form.findChild<QSlider*>(QStringLiteral("Slide")); }
  static QLabel* Label(Form1& form, const char* name) {
    return form.findChild<QLabel*>(QLatin1String(name));
  }
  static QPushButton* Button(Form1& form, const char* name) {
    return form.findChild<QPushButton*>(QLatin1String(name));
  }
  static QString StatusText(Form1& form) {
    return form.findChild<QStatusBar*>(QStringLiteral("status"))->currentMessage();
  }
  // Checks the labels and the status bar against the row of one position.
  static void CheckTexts(Form1& form, int position) {
    const Expected& want = kExpected[position];
    QLabel* priority = Label(form, "lbl_Priority");
    QCOMPARE(priority->text(), QString::fromUtf8(want.caption));
    QCOMPARE(priority->alignment() & Qt::AlignHorizontal_Mask, want.horizontal);
    QCOMPARE(Label(form, "lbl_metal")->isVisibleTo(&form), want.metal);
    QCOMPARE(StatusText(form), QString::fromUtf8(want.status));
  }
  // Whether the control shows the whole text in the face it really got.
  static bool Fits(QWidget* control, const QString& text, int room) {
    const int advance = QFontMetrics(control->font()).horizontalAdvance(text);
    if (advance > room) {
      QWARN(qPrintable(QStringLiteral("%1: '%2' needs %3 px of %4")
                           .arg(control->objectName(), text)
                           .arg(advance)
                           .arg(room)));
    }
    return advance <= room;
  }
  static void SendMouseMove(QWidget* target, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), target->mapToGlobal(QPointF(pos)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    QFile::remove(CfgPath());
    warnings_.clear();
  }

  // ---- the window as it opens ----

  void layoutFollowsTheTable() {
    WriteCfg(Bytes({1, 0}));
    auto form = MakeForm();
    QCOMPARE(form->windowTitle(), QStringLiteral("Ravolinコンフィグ"));
    QCOMPARE(form->size(), QSize(401, 109));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    struct Place {
      const char* name;
      QRect rect;
    };
    const Place places[] = {
        {"Label1", {128, 8, 73, 17}},        {"Slide", {24, 24, 273, 33}},
        {"lbl_Priority", {304, 32, 81, 25}}, {"lbl_metal", {304, 37, 33, 17}},
        {"Com_Standard", {80, 64, 73, 25}},  {"Com_OK", {160, 64, 73, 25}},
        {"Com_EndOK", {240, 64, 73, 25}},    {"Com_Cancel", {320, 64, 73, 25}},
        {"status", {0, 92, 401, 17}},
    };
    for (const Place& place : places) {
      QWidget* control = form->findChild<QWidget*>(QLatin1String(place.name));
      QVERIFY2(control != nullptr, place.name);
      QCOMPARE(control->geometry(), place.rect);
    }
    QCOMPARE(Label(*form, "Label1")->text(), QStringLiteral("処理の優先度"));
    QCOMPARE(Label(*form, "lbl_metal")->text(), QStringLiteral("METAL"));
    QCOMPARE(Button(*form, "Com_Standard")->text(), QStringLiteral("標準設定"));
    QCOMPARE(Button(*form, "Com_OK")->text(), QStringLiteral("適用"));
    QCOMPARE(Button(*form, "Com_EndOK")->text(), QStringLiteral("OK"));
    QCOMPARE(Button(*form, "Com_Cancel")->text(), QStringLiteral("キャンセル"));
    QCOMPARE(Slide(*form)->minimum(), 0);
    QCOMPARE(Slide(*form)->maximum(), 3);
  }

  void labelFontsAreTheGothicFace() {
    auto form = MakeForm();
    const QFont priority = Label(*form, "lbl_Priority")->font();
    QVERIFY(priority.bold());
    QCOMPARE(priority.pointSizeF(), 12.0);
    const QFont metal = Label(*form, "lbl_metal")->font();
    QVERIFY(!metal.bold());
    QCOMPARE(metal.pointSizeF(), 8.25);
    QCOMPARE(priority.families().value(0), QStringLiteral("IPAPGothic"));
    QCOMPARE(metal.families().value(0), QStringLiteral("IPAPGothic"));
    // The face really found on this machine (fonts-ipafont-gothic) is one of the IPA Gothics.
    QVERIFY2(QFontInfo(priority).family().startsWith(QStringLiteral("IPA")),
             qPrintable(QFontInfo(priority).family()));
  }

  void everyTextFitsItsControl() {
    auto form = MakeForm();
    // Labels and buttons show their whole text in the face they really got.
    const auto fits = Fits;
    QLabel* metal = Label(*form, "lbl_metal");
    QVERIFY(fits(metal, metal->text(), metal->width()));
    QLabel* label1 = Label(*form, "Label1");
    QVERIFY(fits(label1, label1->text(), label1->width()));
    QLabel* priority = Label(*form, "lbl_Priority");
    for (const Expected& row : kExpected) {
      QVERIFY(fits(priority, QString::fromUtf8(row.caption), priority->width()));
    }
    // "MAX!!" at the right edge leaves room for "METAL" in front of it.
    const int max_left = priority->geometry().right() + 1 -
                         QFontMetrics(priority->font()).horizontalAdvance(QStringLiteral("MAX!!"));
    QVERIFY(max_left >= metal->geometry().left() +
                            QFontMetrics(metal->font()).horizontalAdvance(metal->text()));
    for (const char* name : {"Com_Standard", "Com_OK", "Com_EndOK", "Com_Cancel"}) {
      QPushButton* button = Button(*form, name);
      QVERIFY(fits(button, button->text(), button->width() - 8));
    }
    QStatusBar* status = form->findChild<QStatusBar*>(QStringLiteral("status"));
    for (const Expected& row : kExpected) {
      QVERIFY(fits(status, QString::fromUtf8(row.status), status->width() - 8));
    }
  }

  void focusStartsOnApplyAndTabFollowsTheOrder() {
    auto form = MakeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QCOMPARE(QApplication::focusWidget(), Button(*form, "Com_OK"));
    const char* const order[] = {"Com_Standard", "Com_Cancel", "Com_EndOK", "Slide", "Com_OK"};
    for (const char* name : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(name));
    }
  }

  void loadsEachStoredValue_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("position");
    QTest::newRow("00 00") << Bytes({0, 0}) << 0;
    QTest::newRow("01 00") << Bytes({1, 0}) << 1;
    QTest::newRow("02 00") << Bytes({2, 0}) << 2;
    QTest::newRow("03 00") << Bytes({3, 0}) << 3;
    QTest::newRow("02 00 FF FF") << Bytes({2, 0, 0xFF, 0xFF}) << 2;
  }
  void loadsEachStoredValue() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, position);
    WriteCfg(bytes);
    auto form = MakeForm();
    QCOMPARE(Slide(*form)->value(), position);
    QCOMPARE(form->stored_value(), position);
    CheckTexts(*form, position);
    QCOMPARE(ReadCfg(), bytes);  // loading never writes
  }

  void emptyFileReadsZero() {
    WriteCfg(QByteArray());
    auto form = MakeForm();
    QCOMPARE(Slide(*form)->value(), 0);
    QCOMPARE(form->stored_value(), 0);
    CheckTexts(*form, 0);
  }

  void missingFileIsCreatedEmpty() {
    auto form = MakeForm();
    QVERIFY(QFile::exists(CfgPath()));
    QCOMPARE(ReadCfg(), QByteArray());
    CheckTexts(*form, 0);
  }

  void outOfRangeOpensAtTheNearestEnd_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("position");
    QTest::newRow("04 00") << Bytes({4, 0}) << 4 << 3;
    QTest::newRow("FF 7F") << Bytes({0xFF, 0x7F}) << 32767 << 3;
    QTest::newRow("FF FF") << Bytes({0xFF, 0xFF}) << -1 << 0;
    QTest::newRow("00 80") << Bytes({0x00, 0x80}) << -32768 << 0;
  }
  void outOfRangeOpensAtTheNearestEnd() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, stored);
    QFETCH(int, position);
    WriteCfg(bytes);
    auto form = MakeForm();
    QCOMPARE(form->stored_value(), stored);
    QCOMPARE(Slide(*form)->value(), position);
    QCOMPARE(Label(*form, "lbl_Priority")->text(), QString::fromUtf8(kExpected[position].caption));
    // The status bar names the stored value and says it was out of range.
    const QString status = StatusText(*form);
    QVERIFY2(status.contains(QString::number(stored)) && status.contains(QStringLiteral("範囲外")),
             qPrintable(status));
    QCOMPARE(ReadCfg(), bytes);  // untouched until the player applies
    Button(*form, "Com_OK")->click();
    QCOMPARE(ReadCfg(), Bytes({static_cast<unsigned char>(position), 0}));
    QCOMPARE(form->stored_value(), position);
  }

  // ---- moving the slider ----

  void textsForEveryPosition() {
    auto form = MakeForm();
    QSlider* slide = Slide(*form);
    for (int position : {1, 2, 3, 2, 0, 3, 1}) {
      slide->setValue(position);
      CheckTexts(*form, position);
    }
  }

  void backFromMaxHidesMetalAndCenters() {
    WriteCfg(Bytes({3, 0}));
    auto form = MakeForm();
    QVERIFY(Label(*form, "lbl_metal")->isVisibleTo(form.get()));
    Slide(*form)->setValue(2);
    QVERIFY(!Label(*form, "lbl_metal")->isVisibleTo(form.get()));
    QCOMPARE(Label(*form, "lbl_Priority")->alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
    QCOMPARE(Label(*form, "lbl_Priority")->text(), QStringLiteral("高くねぇ？"));
  }

  void keyboardMovesUpdateTheTextsAtOnce() {
    auto form = MakeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QSlider* slide = Slide(*form);
    slide->setFocus();
    QTest::keyClick(slide, Qt::Key_Right);
    QCOMPARE(slide->value(), 1);
    CheckTexts(*form, 1);
    QTest::keyClick(slide, Qt::Key_End);
    QCOMPARE(slide->value(), 3);
    CheckTexts(*form, 3);
    QTest::keyClick(slide, Qt::Key_Left);
    CheckTexts(*form, 2);
    QTest::keyClick(slide, Qt::Key_PageDown);  // one position per page step
    CheckTexts(*form, 1);
    QTest::keyClick(slide, Qt::Key_Home);
    CheckTexts(*form, 0);
    QTest::keyClick(slide, Qt::Key_Left);  // already at the end
    CheckTexts(*form, 0);
  }

  void mouseClickOnTheGrooveMovesOnePosition() {
    auto form = MakeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QSlider* slide = Slide(*form);
    QStyleOptionSlider option;
    option.initFrom(slide);
    option.orientation = slide->orientation();
    option.minimum = slide->minimum();
    option.maximum = slide->maximum();
    option.sliderPosition = slide->sliderPosition();
    option.tickPosition = slide->tickPosition();
    option.subControls = QStyle::SC_All;
    const QRect groove =
        slide->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, slide);
    const QPoint right_end(groove.right() - 4, groove.center().y());
    QTest::mouseClick(slide, Qt::LeftButton, Qt::NoModifier, right_end);
    QVERIFY(slide->value() > 0);
    CheckTexts(*form, slide->value());
  }

  // ---- the buttons ----

  void standardMovesWithoutSaving() {
    WriteCfg(Bytes({3, 0}));
    auto form = MakeForm();
    Button(*form, "Com_Standard")->click();
    QCOMPARE(Slide(*form)->value(), 1);
    CheckTexts(*form, 1);
    QCOMPARE(ReadCfg(), Bytes({3, 0}));
    QCOMPARE(form->stored_value(), 3);
  }

  void standardAtOneStillRefreshesTheStatus() {
    WriteCfg(Bytes({1, 0}));
    auto form = MakeForm();
    SendMouseMove(form.get(), QPoint(5, 5));
    QCOMPARE(StatusText(*form), QString::fromUtf8(kReady));
    Button(*form, "Com_Standard")->click();
    CheckTexts(*form, 1);
  }

  void applyWritesAndKeepsTheWindow() {
    auto form = ShownAndMovedTo(Bytes({1, 0}), 2);
    Button(*form, "Com_OK")->click();
    QCOMPARE(ReadCfg(), Bytes({2, 0}));
    QCOMPARE(StatusText(*form), QString::fromUtf8(kSaved));
    QCOMPARE(form->stored_value(), 2);
    QVERIFY(form->isVisible());
    QVERIFY(warnings_.isEmpty());
  }

  void applyNeverTruncates() {
    WriteCfg(Bytes({2, 0, 0xFF, 0xFF}));
    auto form = MakeForm();
    Button(*form, "Com_Standard")->click();
    Button(*form, "Com_OK")->click();
    QCOMPARE(ReadCfg(), Bytes({1, 0, 0xFF, 0xFF}));
  }

  void applyToAMissingFileCreatesItsTwoBytes() {
    auto form = MakeForm();
    QFile::remove(CfgPath());  // removed behind the window's back
    Slide(*form)->setValue(3);
    Button(*form, "Com_OK")->click();
    QCOMPARE(ReadCfg(), Bytes({3, 0}));
  }

  void okWritesAndCloses() {
    auto form = ShownAndMovedTo(Bytes({0, 0}), 3);
    Button(*form, "Com_EndOK")->click();
    QCOMPARE(ReadCfg(), Bytes({3, 0}));
    QVERIFY(!form->isVisible());
  }

  void cancelAndCloseBoxEndWithoutSaving() {
    for (bool close_box : {false, true}) {
      auto form = ShownAndMovedTo(Bytes({1, 0}), 3);
      if (close_box) {
        form->close();
      } else {
        Button(*form, "Com_Cancel")->click();
      }
      QVERIFY(!form->isVisible());
      QCOMPARE(ReadCfg(), Bytes({1, 0}));
    }
  }

  void escapeIsCancelWhereverTheFocusIs() {
    const char* const focus[] = {"Slide", "Com_OK", "Com_Standard", "Com_EndOK", "Com_Cancel"};
    for (const char* name : focus) {
      WriteCfg(Bytes({1, 0}));
      auto form = MakeForm();
      form->show();
      QVERIFY(QTest::qWaitForWindowExposed(form.get()));
      Slide(*form)->setValue(3);
      QWidget* target = form->findChild<QWidget*>(QLatin1String(name));
      QVERIFY2(target != nullptr, name);
      target->setFocus();
      QSignalSpy cancel(Button(*form, "Com_Cancel"), &QPushButton::clicked);
      QTest::keyClick(target, Qt::Key_Escape);
      QVERIFY2(!form->isVisible(), name);
      QCOMPARE(cancel.count(), 1);
      QCOMPARE(ReadCfg(), Bytes({1, 0}));  // nothing saved
      QVERIFY(warnings_.isEmpty());
    }
  }

  void closingTheLastWindowEndsTheProgram() {
    auto form = MakeForm();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    // Inside a running event loop, as in the program: キャンセル must end it.
    QTimer::singleShot(0, form.get(), [&form] { Button(*form, "Com_Cancel")->click(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, qApp, [] { QApplication::exit(99); });
    watchdog.start(10000);
    QCOMPARE(QApplication::exec(), 0);
  }

  // ---- a file that cannot be written ----

  void unwritableFileWarnsAndKeepsTheWindow() {
    // A link to a device is refused as not a regular file, so every save fails, even for root.
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), CfgPath()));
    auto form = MakeForm();
    form->show();
    Slide(*form)->setValue(2);
    Button(*form, "Com_OK")->click();
    QCOMPARE(warnings_.size(), 1);
    QVERIFY(warnings_[0].contains(QStringLiteral("rvdat.cfg")));
    QVERIFY(StatusText(*form) != QString::fromUtf8(kSaved));
    QVERIFY(form->isVisible());
    QCOMPARE(form->stored_value(), 0);
    Button(*form, "Com_EndOK")->click();  // OK does not close after a failed save
    QCOMPARE(warnings_.size(), 2);
    QVERIFY(form->isVisible());
  }

  // ---- in English ----

  // Every text of the window, at every position, and the box of a failed save: English that
  // fits its control, with not one Japanese character.
  void englishTextsFitAndHoldNoJapanese() {
    const LanguageLoad english = LoadLanguage(RV_DIST_DIR, "en");
    QVERIFY2(english.known && english.error.empty(), english.error.c_str());
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), CfgPath()));
    Form1 form(ToPath(dir_.path()), english.language.words,
               [this](const QString& caption, const QString& text) {
                 warnings_ << caption + QLatin1Char('|') + text;
               });
    form.show();
    QStringList texts{form.windowTitle()};
    const auto fits = Fits;
    QStatusBar* status = form.findChild<QStatusBar*>(QStringLiteral("status"));
    for (int position = 0; position <= 3; ++position) {
      Slide(form)->setValue(position);
      for (QLabel* label : form.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&form) || label->text().isEmpty()) continue;
        texts << label->text();
        QVERIFY(fits(label, label->text(), label->width()));
      }
      texts << StatusText(form);
      QVERIFY(fits(status, StatusText(form), status->width() - 8));
    }
    for (QPushButton* button : form.findChildren<QPushButton*>()) {
      texts << button->text();
      QVERIFY(fits(button, button->text(), button->width() - 8));
    }
    Button(form, "Com_OK")->click();
    QCOMPARE(warnings_.size(), 1);
    texts << warnings_ << StatusText(form);
    SendMouseMove(&form, QPoint(5, 5));
    texts << StatusText(form);
    QVERIFY(texts.contains(QStringLiteral("Apply")));
    for (const QString& text : texts) {
      QVERIFY2(test::FirstJapaneseCodePoint(text.toStdString()) == 0, qPrintable(text));
    }
  }

  void readOnlyFileShowsItsValueAndWarnsAtApply() {
    if (::geteuid() == 0) QSKIP("root writes any file; the reader is tested as a second user");
    WriteCfg(Bytes({2, 0}));
    QVERIFY(QFile::setPermissions(CfgPath(), QFileDevice::ReadOwner));
    auto form = MakeForm();
    form->show();
    QCOMPARE(Slide(*form)->value(), 2);
    Slide(*form)->setValue(3);
    Button(*form, "Com_OK")->click();
    QCOMPARE(warnings_.size(), 1);
    QVERIFY(form->isVisible());
    QCOMPARE(form->stored_value(), 2);
    QVERIFY(QFile::setPermissions(CfgPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
  }

  void fileThatCannotBeOpenedStillOpensTheWindow() {
    // A folder in the file's place cannot be opened as a file, whoever runs the test.
    QVERIFY(QDir(dir_.path()).mkdir(QStringLiteral("rvdat.cfg")));
    auto form = MakeForm();
    QCOMPARE(Slide(*form)->value(), 0);
    QVERIFY(StatusText(*form).contains(QStringLiteral("rvdat.cfg")));
    Button(*form, "Com_OK")->click();
    QCOMPARE(warnings_.size(), 1);
    QVERIFY(QDir(dir_.path()).rmdir(QStringLiteral("rvdat.cfg")));
  }

  // ---- the mouse over the free area ----

  void mouseOverTheFreeAreaSaysReady() {
    WriteCfg(Bytes({2, 0}));
    auto form = MakeForm();
    form->show();
    SendMouseMove(Label(*form, "Label1"), QPoint(3, 3));  // a control: no change
    CheckTexts(*form, 2);
    SendMouseMove(Button(*form, "Com_OK"), QPoint(3, 3));
    CheckTexts(*form, 2);
    SendMouseMove(form.get(), QPoint(5, 70));  // left of 標準設定
    QCOMPARE(StatusText(*form), QString::fromUtf8(kReady));
    Slide(*form)->setValue(0);
    CheckTexts(*form, 0);
  }

  // ---- start-up refusal, in this process ----

  void startIsAllowedAndHoldsTheLock() {
    const fs::path folder = ToPath(dir_.path());
    auto lock = AcquireDialogStart(folder);
    QVERIFY(lock.has_value());
    QVERIFY(lock->holds_lock());
    QVERIFY(IsLockHeldElsewhere(folder / kConfigLockFile));
  }

  void startIsRefused_data() {
    QTest::addColumn<QString>("cause");
    QTest::newRow("marker") << QStringLiteral("marker");
    QTest::newRow("second copy") << QStringLiteral("copy");
    QTest::newRow("game lock") << QStringLiteral("game");
    QTest::newRow("FIFO as the game's lock") << QStringLiteral("fifo game");
    QTest::newRow("FIFO as the dialog's lock") << QStringLiteral("fifo copy");
  }
  void startIsRefused() {
    QFETCH(QString, cause);
    const fs::path folder = ToPath(dir_.path());
    std::optional<InstanceLock> rival;
    const bool fifo = cause.startsWith(QLatin1String("fifo"));
    const fs::path fifo_file =
        folder / (cause.endsWith(QLatin1String("copy")) ? kConfigLockFile : kGameLockFile);
    if (cause == QLatin1String("marker")) {
      QFile marker(dir_.filePath(QStringLiteral("rvdat.cck")));
      QVERIFY(marker.open(QIODevice::WriteOnly));
    } else if (fifo) {
      // Refused at once and by name: an open that waited for a writer would hang the dialog.
      fs::remove(fifo_file);
      QCOMPARE(::mkfifo(fifo_file.c_str(), 0644), 0);
      FileFailure problem;
      ::alarm(20);
      QVERIFY(!AcquireDialogStart(folder, &problem).has_value());
      ::alarm(0);
      QVERIFY2(problem.English().find(fifo_file.string()) != std::string::npos,
               problem.English().c_str());
      QVERIFY(fs::remove(fifo_file));
      QVERIFY(AcquireDialogStart(folder).has_value());
      return;
    } else {
      rival = InstanceLock::TryAcquire(
          folder / (cause == QLatin1String("copy") ? kConfigLockFile : kGameLockFile));
      QVERIFY(rival && rival->holds_lock());
    }
    QVERIFY(!AcquireDialogStart(folder).has_value());
    QFile::remove(dir_.filePath(QStringLiteral("rvdat.cck")));
    if (cause != QLatin1String("copy")) {
      // The refused start gave its own lock back.
      QVERIFY(!IsLockHeldElsewhere(folder / kConfigLockFile));
    }
    rival.reset();
    QVERIFY(AcquireDialogStart(folder).has_value());
  }

  // ---- the rv_config program as a child process ----

  void programRefusesBesideMarkerOrSecondCopy();
};

namespace {

// A copy of rv_config in a folder of its own, so that its program folder is that folder.
class ProgramCopy {
 public:
  ProgramCopy() {
    folder_ = ToPath(dir_.path());
    fs::copy_file(RV_CONFIG_BINARY, folder_ / "rv_config");
  }
  QString Folder() const { return dir_.path(); }
  fs::path FolderPath() const { return folder_; }
  void Start(QProcess& process) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("RV_CONFIG_BOXES_TO_STDERR"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QDir::tempPath());  // not the program folder
    process.start(dir_.filePath(QStringLiteral("rv_config")), QStringList());
  }

 private:
  QTemporaryDir dir_;
  fs::path folder_;
};

// Runs a copy to its end; the refusal must come without any help from outside.
void ExpectRefusal(const ProgramCopy& copy) {
  QProcess process;
  copy.Start(process);
  QVERIFY(process.waitForFinished(20000));
  QCOMPARE(process.exitStatus(), QProcess::NormalExit);
  QCOMPARE(process.exitCode(), kRefusedExitStatus);
  const QString err = QString::fromLocal8Bit(process.readAllStandardError());
  QVERIFY2(err.contains(QStringLiteral("起動エラー")) &&
               err.contains(QStringLiteral("Ravolinと一緒に起動させることはできません！")),
           qPrintable(err));
}

}  // namespace

void Form1Test::programRefusesBesideMarkerOrSecondCopy() {
  ProgramCopy copy;
  // The game's marker.
  {
    QFile marker(copy.Folder() + QStringLiteral("/rvdat.cck"));
    QVERIFY(marker.open(QIODevice::WriteOnly));
  }
  ExpectRefusal(copy);
  QVERIFY(!QFile::exists(copy.Folder() + QStringLiteral("/rvdat.cfg")));  // no window was loaded
  QVERIFY(QFile::remove(copy.Folder() + QStringLiteral("/rvdat.cck")));

  // This test holding the dialog's lock stands for a copy that runs.
  {
    auto lock = InstanceLock::TryAcquire(copy.FolderPath() / kConfigLockFile);
    QVERIFY(lock && lock->holds_lock());
    ExpectRefusal(copy);
  }

  // A real first copy: it opens its window, creates rvdat.cfg and holds its lock.
  QProcess first;
  copy.Start(first);
  QVERIFY(first.waitForStarted(20000));
  QTRY_VERIFY_WITH_TIMEOUT(IsLockHeldElsewhere(copy.FolderPath() / kConfigLockFile), 20000);
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(copy.Folder() + QStringLiteral("/rvdat.cfg")), 20000);
  QCOMPARE(first.state(), QProcess::Running);
  ExpectRefusal(copy);
  QCOMPARE(first.state(), QProcess::Running);  // the refused copy left the first alone
  first.terminate();
  QVERIFY(first.waitForFinished(20000));
  QVERIFY(!IsLockHeldElsewhere(copy.FolderPath() / kConfigLockFile));
}

}  // namespace rv

QTEST_MAIN(rv::Form1Test)
#include "form1_test.moc"
