#include "ranking_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "game/ranking/ranking_screen.h"

namespace rv::test {

namespace {

constexpr uint32_t kRunawayMs = 120000;

std::filesystem::path MakeTempFolder() {
  std::string templ = (std::filesystem::temp_directory_path() / "rv_ranking_XXXXXX").string();
  if (::mkdtemp(templ.data()) == nullptr) return {};
  return templ;
}

// The folder the game would run from: the pictures and the decoder module, nothing else.
void CopyProgramFiles(const std::filesystem::path& to) {
  const std::filesystem::path dist = RV_DIST_DIR;
  std::filesystem::create_directories(to / "Picture");
  for (const rects::PictureFile& f : rects::kPictureFiles) {
    const std::string name = std::string(f.name) + ".dat";
    std::filesystem::copy_file(dist / "Picture" / name, to / "Picture" / name);
  }
  std::filesystem::copy_file(dist / "mpng.so", to / "mpng.so");
}

template <typename Frame>
bool BlockMatches(const Frame& frame, int fw, int fh, int x, int y, const Surface& src,
                  const rects::Rect& piece) {
  for (int j = 0; j < piece.h; ++j) {
    for (int i = 0; i < piece.w; ++i) {
      if (x + i < 0 || y + j < 0 || x + i >= fw || y + j >= fh) continue;
      if ((frame.Pixel(x + i, y + j) & 0xFFFFFF) !=
          (src.Pixel(piece.x + i, piece.y + j) & 0xFFFFFF))
        return false;
    }
  }
  return true;
}

template <typename Frame>
bool BlockBlack(const Frame& frame, int x, int y, int w, int h) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if ((frame.Pixel(x + i, y + j) & 0xFFFFFF) != 0) return false;
  return true;
}

}  // namespace

void RankingFixture::SetUp() {
  folder_ = MakeTempFolder();
  ASSERT_FALSE(folder_.empty());
  CopyProgramFiles(folder_);
  platform_.SetProgramFolder(folder_);
  game_ = std::make_unique<Game>(platform_, rng_);
  for (const rects::PictureFile& f : rects::kPictureFiles) {
    const LoadResult r =
        game_->loader.LoadSurface(game_->pictures, static_cast<int16_t>(f.surface), f.name);
    ASSERT_TRUE(r.ok) << r.error;
  }
  ASSERT_FALSE(Other().empty());
  // A screen that never ends would hang the test: Escape ends it through the shutdown.
  platform_.SetDriver([this](HeadlessPlatform& p) {
    if (watch_) watch_(p);
    if (p.clock().Now() > kRunawayMs && p.PendingEvents() == 0) p.PressKey(vk::kEscape);
  });
}

void RankingFixture::TearDown() {
  game_.reset();
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

void RankingFixture::RunShowRanking() {
  try {
    ShowRanking(*game_);
  } catch (const ProgramExit&) {
    ADD_FAILURE() << "the ranking screen did not return by itself";
  }
}

void RankingFixture::Press(uint32_t after_ms, int16_t key, uint32_t hold_ms) {
  platform_.ScheduleKeyPress(platform_.clock().Now() + after_ms, key, hold_ms);
}

void RankingFixture::SaveShot(const CapturedFrame& frame, const std::string& name) const {
  const char* dir = std::getenv("RV_SHOT_DIR");
  if (dir == nullptr || *dir == 0) return;
  EXPECT_TRUE(SavePng(frame, std::filesystem::path(dir) / (name + ".png")));
}

bool FrameShows(const CapturedFrame& frame, int x, int y, const Surface& src,
                const rects::Rect& piece) {
  return BlockMatches(frame, frame.width, frame.height, x, y, src, piece);
}

bool SurfaceShows(const Surface& screen, int x, int y, const Surface& src,
                  const rects::Rect& piece) {
  return BlockMatches(screen, screen.width(), screen.height(), x, y, src, piece);
}

bool FrameBlack(const CapturedFrame& frame, int x, int y, int w, int h) {
  return BlockBlack(frame, x, y, w, h);
}

bool SurfaceBlack(const Surface& screen, int x, int y, int w, int h) {
  return BlockBlack(screen, x, y, w, h);
}

Surface ToSurface(const CapturedFrame& frame) {
  Surface s(frame.width, frame.height);
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) s.SetPixel(x, y, frame.Pixel(x, y));
  return s;
}

}  // namespace rv::test
