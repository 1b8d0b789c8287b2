#include "ranking_fixture.h"

#include <cstdlib>
#include <string>

#include "game/ranking/ranking_screen.h"
#include "support/frame_compare.h"
#include "support/program_folder.h"

namespace rv::test {

namespace {

constexpr uint32_t kRunawayMs = 120000;
// Colours only, and a piece partly off the screen is compared where it is on it.
constexpr AreaCompare kColourOnly{.mask = 0xFFFFFF, .clip = true};

}  // namespace

void RankingFixture::SetUp() {
  // The folder the game would run from: the pictures and the decoder module, nothing else.
  FillProgramFolder(folder_, RV_DIST_DIR, {.sounds = false, .config = false, .copy = true});
  platform_.SetProgramFolder(folder_);
  game_ = std::make_unique<Game>(platform_, rng_, Language::Japanese());
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

void RankingFixture::TearDown() { game_.reset(); }

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
  return SameArea(frame, x, y, src, piece.x, piece.y, piece.w, piece.h, kColourOnly);
}

bool SurfaceShows(const Surface& screen, int x, int y, const Surface& src,
                  const rects::Rect& piece) {
  return SameArea(screen, x, y, src, piece.x, piece.y, piece.w, piece.h, kColourOnly);
}

bool FrameBlack(const CapturedFrame& frame, int x, int y, int w, int h) {
  return AreaBlack(frame, x, y, w, h, 0xFFFFFF);
}

bool SurfaceBlack(const Surface& screen, int x, int y, int w, int h) {
  return AreaBlack(screen, x, y, w, h, 0xFFFFFF);
}

Surface ToSurface(const CapturedFrame& frame) {
  Surface s(frame.width, frame.height);
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) s.SetPixel(x, y, frame.Pixel(x, y));
  return s;
}

}  // namespace rv::test
