// The dialog of an installed game, started as a program beside the install mark with a
// per-user folder of its own: what it finds there on first use, what it refuses, and that
// every failure ends in its error box with status 1 rather than an abort.

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

#include "config/dialog/failure_box.h"
#include "storage/instance_lock.h"

namespace rv {
namespace {

namespace fs = std::filesystem;

constexpr int kWaitMs = 20000;
const QByteArray kSecret("SECRET");

fs::path ToPath(const QString& dir) { return fs::path(QFile::encodeName(dir).toStdString()); }

QByteArray ReadAll(const fs::path& file) {
  QFile in(QString::fromStdString(file.string()));
  return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<unreadable>");
}

void WriteAll(const fs::path& file, const QByteArray& bytes) {
  QFile out(QString::fromStdString(file.string()));
  QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(out.write(bytes), bytes.size());
}

// Every line is Japanese but the one naming a file.
bool JapaneseBut(const QString& text, const QString& path) {
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    if (line == path) continue;
    bool japanese = false;
    for (QChar c : line) japanese = japanese || c.unicode() >= 0x3000;
    if (!japanese) return false;
  }
  return true;
}

// A copy of rv_config in an installed program folder (the mark beside it), and a home with
// the per-user folder under root()/xdg. The root may be entered by every user.
class InstalledCopy {
 public:
  InstalledCopy() : root_(ToPath(dir_.path())) {
    ::umask(022);  // folders made without a mode are a player's usual ones
    ::chmod(root_.c_str(), 0755);
    fs::create_directories(program());
    fs::copy_file(RV_CONFIG_BINARY, program() / "rv_config");
    WriteAll(program() / "ravolin-installed", {});
  }
  const fs::path& root() const { return root_; }
  fs::path program() const { return root_ / "prog"; }
  fs::path xdg() const { return root_ / "xdg"; }
  fs::path data() const { return xdg() / "ravolin"; }

  // Limits the address space of the child, where a test needs memory to run out quickly.
  void LimitMemory(rlim_t bytes) { memory_limit_ = bytes; }

  void Start(QProcess& process) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("RV_CONFIG_BOXES_TO_STDERR"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QString::fromStdString(xdg().string()));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QString::fromStdString(root_.string()));
    if (memory_limit_ != 0) {
      const rlim_t limit = memory_limit_;
      process.setChildProcessModifier([limit] {
        const rlimit as{limit, limit};
        ::setrlimit(RLIMIT_AS, &as);
      });
    }
    process.start(QString::fromStdString((program() / "rv_config").string()), QStringList());
  }

  // Runs the program to its end and returns its standard error; the end must be a normal
  // exit with `status`.
  QString RunToEnd(int status) const {
    QProcess process;
    Start(process);
    if (!process.waitForFinished(kWaitMs)) {
      process.kill();
      process.waitForFinished(kWaitMs);
      QTest::qFail("the dialog did not end by itself", __FILE__, __LINE__);
      return {};
    }
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != status) {
      QTest::qFail(qPrintable(QStringLiteral("ended with %1/%2: %3")
                                  .arg(process.exitStatus())
                                  .arg(process.exitCode())
                                  .arg(err)),
                   __FILE__, __LINE__);
    }
    return err;
  }

 private:
  QTemporaryDir dir_;
  fs::path root_;
  rlim_t memory_limit_ = 0;
};

// Starts the copy and waits until its window holds the lock; false when it ended instead.
bool StartsItsWindow(const InstalledCopy& copy, QProcess& process) {
  copy.Start(process);
  if (!process.waitForStarted(kWaitMs)) return false;
  for (int waited = 0; waited < kWaitMs; waited += 50) {
    if (process.state() != QProcess::Running) return false;
    if (IsLockHeldElsewhere(copy.data() / kConfigLockFile)) return true;
    QTest::qWait(50);
  }
  return false;
}

void Stop(QProcess& process) {
  process.kill();
  process.waitForFinished(kWaitMs);
}

}  // namespace

class InstalledDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // ---- the first start: the setting the install ships, or none ----

  void firstStartTakesTheShippedSettingOrMakesAnEmptyOne_data() {
    QTest::addColumn<QByteArray>("shipped");    // empty: the install ships none
    QTest::addColumn<qint64>("expected_size");  // of the per-user rvdat.cfg at the window
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("nothing shipped: an empty file, the slider at 0")
        << QByteArray() << qint64(0) << QByteArray();
    QTest::newRow("the shipped setting is copied")
        << QByteArray("\x03\x00", 2) << qint64(2) << QByteArray("\x03\x00", 2);
  }
  void firstStartTakesTheShippedSettingOrMakesAnEmptyOne() {
    QFETCH(QByteArray, shipped);
    QFETCH(qint64, expected_size);
    QFETCH(QByteArray, expected);
    InstalledCopy copy;
    if (!shipped.isEmpty()) WriteAll(copy.program() / "rvdat.cfg", shipped);
    QProcess process;
    QVERIFY(StartsItsWindow(copy, process));
    const fs::path setting = copy.data() / "rvdat.cfg";
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(setting), kWaitMs);  // the window makes a missing one
    QCOMPARE(static_cast<qint64>(fs::file_size(setting)), expected_size);
    QCOMPARE(ReadAll(setting), expected);
    Stop(process);
  }

  // ---- failures end in a box and status 1 ----

  void aLoopAsTheRankingNeverAbortsTheDialog() {
    InstalledCopy copy;
    WriteAll(copy.program() / "rvdat.cfg", QByteArray("\x01\x00", 2));
    fs::create_directories(copy.data());
    ::chmod(copy.data().c_str(), 0700);
    fs::create_symlink("rvdat.dat", copy.data() / "rvdat.dat");
    QProcess process;
    QVERIFY2(StartsItsWindow(copy, process),
             qPrintable(QString::fromLocal8Bit(process.readAllStandardError())));
    Stop(process);
  }

  // A gigabyte where the old ranking lies, with too little memory to read it whole: refused
  // by its size, before a byte is read.
  void aHugeOldRankingEndsInABoxNotAnAbort() {
    InstalledCopy copy;
    WriteAll(copy.program() / "rvdat.cfg", QByteArray("\x01\x00", 2));
    const fs::path ranking = copy.program() / "rvdat.dat";
    WriteAll(ranking, {});
    fs::resize_file(ranking, 1024u * 1024 * 1024);  // sparse: no disk
    copy.LimitMemory(512u * 1024 * 1024);
    const QString err = copy.RunToEnd(kFailureExitStatus);
    QVERIFY2(err.contains(QStringLiteral("Ravolinのデータフォルダを用意できません！")),
             qPrintable(err));
    QVERIFY2(err.contains(QString::fromStdString(ranking.string())), qPrintable(err));
    QVERIFY(!fs::exists(fs::symlink_status(copy.data() / "rvdat.dat")));
  }

  void failuresEndInTheErrorBoxAndStatusOne_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reason");  // the Japanese line at the end of the box
    QTest::newRow("memory") << 0 << QStringLiteral("メモリが足りません。");
    QTest::newRow("a link loop") << 1
                                 << QStringLiteral(
                                        "シンボリックリンクが多すぎるか、ループしています。");
    QTest::newRow("anything else") << 2 << QStringLiteral("予期しないエラーです。");
    QTest::newRow("not even an exception") << 3 << QStringLiteral("予期しないエラーです。");
  }
  void failuresEndInTheErrorBoxAndStatusOne() {
    QFETCH(int, kind);
    QFETCH(QString, reason);
    const fs::path looped("/data/ravolin/rvdat.dat");
    QStringList boxes;
    const int status = RunReportingFailures(
        [&]() -> int {
          switch (kind) {
            case 0:
              throw std::bad_alloc();
            case 1:
              throw fs::filesystem_error("status", looped,
                                         std::error_code(ELOOP, std::generic_category()));
            case 2:
              throw std::runtime_error("something");
            default:
              throw 7;
          }
        },
        [&](const QString& c, const QString& t) { boxes << c << t; }, Catalogue());
    QCOMPARE(status, kFailureExitStatus);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0], QStringLiteral("エラー"));
    QVERIFY2(boxes[1].startsWith(QStringLiteral("Ravolinコンフィグでエラーが発生しました！\n")),
             qPrintable(boxes[1]));
    QVERIFY2(boxes[1].endsWith(QLatin1Char('\n') + reason), qPrintable(boxes[1]));
    if (kind == 1) QVERIFY(boxes[1].contains(QStringLiteral("\n/data/ravolin/rvdat.dat\n")));
    QVERIFY2(JapaneseBut(boxes[1], QStringLiteral("/data/ravolin/rvdat.dat")),
             qPrintable(boxes[1]));
  }

  // A handler inside the event loop shows the same box and ends the loop with status 1.
  void aFailureInAHandlerEndsTheEventLoopWithStatusOne() {
    QStringList boxes;
    QEventLoop loop;
    QTimer::singleShot(0, [&] {
      HandleReportingFailures([] { throw std::runtime_error("in a handler"); },
                              [&](const QString& c, const QString& t) { boxes << c << t; },
                              Catalogue());
    });
    QTimer::singleShot(kWaitMs, [&] { loop.exit(99); });
    QCOMPARE(loop.exec(), kFailureExitStatus);
    QCOMPARE(boxes.size(), 2);
    QCOMPARE(boxes[0], QStringLiteral("エラー"));
  }

  void aNormalEndKeepsItsStatusAndShowsNothing() {
    QStringList boxes;
    QCOMPARE(RunReportingFailures([] { return 0; },
                                  [&](const QString& c, const QString& t) { boxes << c << t; },
                                  Catalogue()),
             0);
    QVERIFY(boxes.isEmpty());
  }

  // ---- a folder another user can change ----

  // The other user plants the per-user folder, with links to a secret of the player's and
  // to a folder where nothing may appear; the player (root) starts the dialog.
  void aFolderAnotherUserCanChangeIsRefusedByName() {
    if (::geteuid() != 0) {
      QSKIP("needs root: a second user (uid 65534) plants the files, which only root can arrange");
    }
    InstalledCopy copy;
    WriteAll(copy.program() / "rvdat.cfg", QByteArray("\x01\x00", 2));
    fs::create_directories(copy.xdg());
    ::chmod(copy.xdg().c_str(), 0777);
    fs::create_directories(copy.root() / "elsewhere");
    WriteAll(copy.root() / "secret", kSecret);
    ::chmod((copy.root() / "secret").c_str(), 0600);
    const QString data = QString::fromStdString(copy.data().string());
    const QString root = QString::fromStdString(copy.root().string());
    QProcess plant;
    plant.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                 QStringLiteral("--clear-groups"), QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("mkdir -m 777 %1 && ln -s %2/secret %1/rvdat.cfg && "
                                "ln -s %2/elsewhere/lock %1/rv_config.lock && "
                                "ln -s %2/elsewhere/marker %1/rvdat.cck")
                     .arg(data, root)});
    QVERIFY(plant.waitForFinished(kWaitMs));
    QCOMPARE(plant.exitCode(), 0);

    const QString err = copy.RunToEnd(1);
    const QString xdg = QString::fromStdString(copy.xdg().string());
    QVERIFY2(
        err.contains(QStringLiteral("起動エラー: Ravolinのデータフォルダが安全ではありません！ ") +
                     xdg + QStringLiteral(" このフォルダにはほかのユーザーも書き込めます。")),
        qPrintable(err));
    QCOMPARE(ReadAll(copy.root() / "secret"), kSecret);
    QVERIFY(fs::is_empty(copy.root() / "elsewhere"));
  }
};

}  // namespace rv

QTEST_MAIN(rv::InstalledDialogTest)
#include "installed_dialog_test.moc"
