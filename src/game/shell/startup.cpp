#include "game/shell/startup.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <iostream>
#include <string_view>
#include <system_error>

#include "config/config_file.h"
#include "config/priority.h"
#include "game/game.h"
#include "game/ranking/ranking_file.h"
#include "game/shell/required_files.h"
#include "game/shell/title_menu.h"
#include "storage/data_folder.h"
#include "storage/instance_lock.h"
#include "storage/player_files.h"
#include "storage/stored_file.h"

namespace rv {

namespace {

constexpr std::string_view kDuplicateText =
    TextId("Ravolinを二重起動、または\nRavolinコンフィグと一緒に起動させることはできません！");
constexpr std::string_view kDuplicateCaption = TextId("起動エラー１");
constexpr std::string_view kMissingFileText = TextId("Ravolinの起動に必要なファイルが足りません！");
constexpr std::string_view kMissingFileCaption = TextId("起動エラー２");
constexpr std::string_view kDisplayFailText = TextId("Ravolinの起動に失敗しました！");
constexpr std::string_view kDisplayFailCaption = "Ravolin";
// Our own failures (a folder we cannot write, a file we cannot read, no Japanese face) name
// what went wrong under the program's name; "起動エラー" is the dialog's refusal.
constexpr std::string_view kStartErrorCaption = "Ravolin";
// The exception's own (English) words go to standard error, not into the box.
constexpr std::string_view kUnexpectedText =
    TextId("Ravolinでエラーが発生しました！\n予期しないエラーです。");
constexpr std::string_view kNoFaceText = TextId(
    "Ravolinの文字を表示する日本語フォントが見つかりません！\n"
    "IPAゴシック（fonts-ipafont-gothic）をインストールしてください。");
constexpr std::string_view kUnexpectedCaption = TextId("エラー");

// A failure exit before the window exists: nothing to give back, the box is all.
[[noreturn]] void RefuseStart(StartContext& start, std::string_view text,
                              std::string_view caption) {
  start.platform.ShowMessage(text, start.language.words.Tr(caption), MessageIcon::kWarning);
  throw ProgramExit{kStartFailedStatus};
}

// Creates the marker when missing; an existing one, a stale one included, is left as it is.
// Opening read-only with O_CREAT needs no write access to a marker that is already there.
// A link in its place is refused, never followed, and a new marker is made with O_EXCL.
bool TouchMarker(const std::filesystem::path& file, FileFailure* failure) {
  const StoredFileOpen opened = OpenStoredFile(file, O_RDONLY | O_CREAT | O_NOFOLLOW);
  if (!opened.ok()) {
    *failure = opened.Failure(FileAction::kCreate, file);
    return false;
  }
  ::close(opened.fd);
  return true;
}

// The ranking and the marker are written in the data folder: a folder we may not write
// would lose every result, so the game says so at once rather than later.
void CreateMarker(StartContext& start) {
  const std::filesystem::path marker = start.data / kRunningMarker;
  if (::access(start.data.c_str(), W_OK | X_OK) != 0) {
    const int err = errno;  // before the path is copied
    const FileFailure failure{FileAction::kCreate, marker, err};
    RefuseStart(start,
                start.language.words.Tr("Ravolinのフォルダに書き込めません！") + "\n" +
                    failure.Shown(start.language.words),
                kStartErrorCaption);
  }
  FileFailure failure;
  if (TouchMarker(marker, &failure)) return;
  RefuseStart(start,
              start.language.words.Tr("実行中の印のファイルを作れません！") + "\n" +
                  failure.Shown(start.language.words),
              kStartErrorCaption);
}

// Display-failure exit: no regular shutdown. Our choice: the marker goes too, because a
// game that never opened its window is not running and should not keep the dialog out.
[[noreturn]] void DisplayFailureExit(StartContext& start) {
  start.platform.ShowMessage(start.language.words.Tr(kDisplayFailText), kDisplayFailCaption,
                             MessageIcon::kNone);
  start.platform.CloseWindow();
  std::error_code ignored;
  std::filesystem::remove(start.data / kRunningMarker, ignored);
  throw ProgramExit{kStartFailedStatus};
}

// What fontconfig said goes to standard error; the box says what the player can do.
void OpenTextFace(Game& game) {
  std::string error;
  game.text = TextRenderer::Open(&error);
  if (game.text) return;
  std::cerr << "rv_031: " << error << std::endl;
  game.FailAndUnload(kNoFaceText, kStartErrorCaption);
}

void LoadPictureSet(Game& game) {
  for (const rects::Picture picture : kStartupPictures) {
    const LoadResult result = game.loader.Load(game.pictures, picture);
    if (!result.ok) {
      game.FailAndUnload(game.language.words.Tr("Ravolinの画像を読み込めません！") + "\n" +
                             result.failure.Shown(game.language.words),
                         kStartErrorCaption);
    }
  }
}

// A ranking that cannot be read is never replaced by an empty one: the game stops and the
// file stays as it is.
void Load_RankingFile(Game& game) {
  RankingLoad load = LoadRankingFile(game.PlayerFile(kRankingFile));
  if (!load.ok) {
    game.FailAndUnload(game.language.words.Tr("ランキングファイルを読み込めません！") + "\n" +
                           load.failure.Shown(game.language.words),
                       kStartErrorCaption);
  }
  game.ranking = load.tables;
}

void Load_Config(Game& game, const StartupOptions& options) {
  // A FIFO or a device is refused rather than taken for an empty setting; any other file
  // that cannot be read gives index 0, as an empty one does.
  const std::filesystem::path file = game.PlayerFile(kConfigFile);
  if (ExistsAsNonRegular(file)) {
    FileFailure failure{FileAction::kOpen, file};
    failure.not_regular = true;
    game.FailAndUnload(game.language.words.Tr("設定ファイルを読み込めません！") + "\n" +
                           failure.Shown(game.language.words),
                       kStartErrorCaption);
  }
  const int16_t index = ReadConfigValue(file);
  if (options.apply_priority) {
    options.apply_priority(game, index);
  } else {
    ApplyProcessPriority(index);  // refused requests are not checked
  }
}

// A failure before the Game exists. Once the window is open the marker is ours and goes
// with it; before that it may be another copy's and stays.
int UnexpectedStartFailure(StartContext& start, const std::exception& e) {
  std::cerr << "rv_031: " << e.what() << std::endl;
  start.platform.ShowMessage(start.language.words.Tr(kUnexpectedText),
                             start.language.words.Tr(kUnexpectedCaption), MessageIcon::kWarning);
  if (start.window_open) {
    start.platform.CloseWindow();
    std::error_code ignored;
    std::filesystem::remove(start.data / kRunningMarker, ignored);
  }
  return kStartFailedStatus;
}

}  // namespace

std::string WindowCaption() {
  return "Ravolin Ver " + std::to_string(RV_VERSION_MAJOR) + "." + std::to_string(RV_VERSION_MINOR);
}

// Our own lock is taken before the dialog's is looked at (the dialog does the same the
// other way round), so two programs started at the same moment cannot both miss each other.
// A lock that cannot be taken or looked at (a FIFO in its place, another user's unreadable
// file) counts as held: another copy may be running, and two games in one folder would each
// rewrite the ranking from their own memory. The box then names the file as well.
void Form_Initialize(StartContext& start) {
  FileFailure problem;
  start.lock = InstanceLock::TryAcquire(start.data / kGameLockFile, &problem);
  if (start.lock && !IsLockHeldElsewhere(start.data / kConfigLockFile, &problem)) return;
  start.lock.reset();
  std::string text = start.language.words.Tr(kDuplicateText);
  if (!problem.empty()) text += "\n" + problem.Shown(start.language.words);
  RefuseStart(start, text, kDuplicateCaption);
}

// The box names the folder or file at fault and says in Japanese what is wrong with it.
void UseDataFolder(StartContext& start) {
  const DataFolder data = ResolveDataFolder(start.folder);
  if (!data.ok()) {
    RefuseStart(start, DataFolderMessage(data, start.language.words), kStartErrorCaption);
  }
  start.data = data.path;
}

void FindFile(StartContext& start, const std::string& name) {
  if (FilePresent(IsPlayerDataFile(name) ? start.data : start.folder, name)) return;
  RefuseStart(start, start.language.words.Tr(kMissingFileText), kMissingFileCaption);
}

// The mouse cursor is hidden by the window itself when it opens.
std::string Form_Load(StartContext& start) {
  for (const std::string& name : RequiredFiles(start.language.code)) FindFile(start, name);
  CreateMarker(start);
  return WindowCaption();
}

void OpenGameWindow(StartContext& start, const std::string& caption) {
  if (!start.platform.OpenWindow(caption)) DisplayFailureExit(start);
  start.window_open = true;
}

// The face is opened after the window, so that the window appears as early as it can.
void Form_Activate(Game& game, const StartupOptions& options) {
  OpenTextFace(game);
  LoadPictureSet(game);
  game.sound.LoadMp3File();
  Load_RankingFile(game);
  Load_Config(game, options);
}

// From the open window on, every failure leaves through the regular shutdown. Nothing
// should get here (the match catches its own); if something does, the player gets a box
// and the marker still goes.
std::optional<int> RunScreens(Game& game, const std::function<void()>& screens) {
  try {
    try {
      screens();
    } catch (const std::exception& e) {
      std::cerr << "rv_031: " << e.what() << std::endl;
      game.FailAndUnload(kUnexpectedText, kUnexpectedCaption);
    }
  } catch (const ProgramExit& exit) {
    return exit.status;
  }
  return std::nullopt;
}

// The Game, with its screen-sized surfaces, is made only once the window is open: the
// checks before it need nothing but the platform and the folder, and the window appears
// sooner.
GameStart StartGame(Platform& platform, RandomSource& rng, const Language& language,
                    const StartupOptions& options) {
  StartContext start{platform, platform.ProgramFolder(), std::nullopt, false, {}, language};
  GameStart out;
  try {
    // The data folder comes first: the locks that find a second copy live in it.
    UseDataFolder(start);
    Form_Initialize(start);
    // With the lock held the marker is ours (or a stale one): an abrupt end removes it.
    platform.RemoveOnAbruptEnd(start.data / kRunningMarker);
    OpenGameWindow(start, Form_Load(start));
    auto game = std::make_unique<Game>(platform, rng, language, start.data);
    game->lock = std::move(start.lock);
    game->MarkWindowOpen();
    const std::optional<int> ended = RunScreens(*game, [&] { Form_Activate(*game, options); });
    if (ended) {
      out.status = *ended;
    } else {
      out.game = std::move(game);
    }
  } catch (const ProgramExit& exit) {
    out.status = exit.status;
  } catch (const std::exception& e) {
    out.status = UnexpectedStartFailure(start, e);
  }
  return out;
}

int RunGame(Platform& platform, RandomSource& rng, const Language& language,
            const StartupOptions& options) {
  GameStart start = StartGame(platform, rng, language, options);
  if (!start.game) return start.status;
  return RunScreens(*start.game, [&] { Title_menu(*start.game); }).value_or(0);
}

}  // namespace rv
