// Every rectangle the drawing code copies from a picture, in one place.
//
// The screens copy from these rectangles and the asset generator draws each
// piece inside them, so the pictures and the code cannot drift apart. Several
// pieces share pixels on purpose (the digit strip is cut at slightly different
// x and y by different screens); the generator keeps every glyph inside all of
// its cuts.
#pragma once

#include <array>
#include <cstddef>

namespace rv::rects {

// The picture surfaces, numbered as the game loads them.
enum class Picture : int {
  kChip = 0,     // PicChip,    pic3, PNG
  kScreen = 1,   // Screen,     pic1, BMP (match background)
  kTitle = 2,    // PicTitle,   pic2, PNG
  kLogo = 3,     // PicLogo,    pic4, PNG
  kMenu = 4,     // Picmenu,    pic5, BMP
  kBack = 5,     // PicBack,    pic6, BMP
  kOther = 6,    // PicOther,   pic7, BMP (interface sheet)
  kCounter = 7,  // PicCounter, pic8, PNG
  kWindow = 8,   // PicWindow,  pic9, BMP
  kCursor = 9,   // PicCursor,  pic10, BMP
};
inline constexpr int kPictureCount = 10;

// The one table of the picture files: which surface each fills, its file, its format, whether
// start-up requires it, whether it carries words (and so has a version per language), and the
// size our generator writes.
struct PictureFile {
  Picture surface;
  const char* name;  // file "Picture/<name>.dat"
  bool png;          // PNG through the decoder module, else BMP
  bool required;     // start-up refuses to run without it
  bool words;        // carries words: each other language has its own "Picture/<lang>/<name>.dat"
  int width;
  int height;
};

// The sizes our generator writes. The game itself takes each surface's size
// from the file it loads.
inline constexpr std::array<PictureFile, kPictureCount> kPictureFiles{{
    {Picture::kChip, "pic3", true, true, false, 16, 32},
    {Picture::kScreen, "pic1", false, true, false, 640, 480},
    {Picture::kTitle, "pic2", true, true, true, 501, 150},
    {Picture::kLogo, "pic4", true, true, false, 150, 65},
    {Picture::kMenu, "pic5", false, true, true, 302, 174},
    {Picture::kBack, "pic6", false, true, false, 640, 480},
    {Picture::kOther, "pic7", false, true, true, 300, 544},
    {Picture::kCounter, "pic8", true, true, true, 940, 100},
    {Picture::kWindow, "pic9", false, true, false, 96, 96},
    {Picture::kCursor, "pic10", false, true, false, 16, 30},
}};

constexpr const PictureFile& FileOf(Picture p) {
  return kPictureFiles[static_cast<std::size_t>(p)];
}

struct Rect {
  Picture picture;
  int x;
  int y;
  int w;
  int h;
  constexpr int Right() const { return x + w; }   // one past the last column
  constexpr int Bottom() const { return y + h; }  // one past the last row
  constexpr bool operator==(const Rect&) const = default;
};

// num / den rounded to nearest, halves to even (num >= 0, den > 0), as every
// float-to-integer conversion of the game rounds.
constexpr int RoundHalfEven(int num, int den) {
  const int q = num / den;
  const int r2 = 2 * (num % den);
  if (r2 < den) return q;
  if (r2 > den) return q + 1;
  return (q % 2 == 0) ? q : q + 1;
}

// ---- Block chips (PicChip) -------------------------------------------------
inline constexpr Rect kPlayerChip{Picture::kChip, 0, 0, 16, 16};
inline constexpr Rect kCpuChip{Picture::kChip, 0, 16, 16, 16};

// ---- Full-screen pictures ---------------------------------------------------
inline constexpr Rect kMatchBackground{Picture::kScreen, 0, 0, 640, 480};
inline constexpr Rect kPlainBackground{Picture::kBack, 0, 0, 640, 480};

// ---- Title and menu ---------------------------------------------------------
inline constexpr Rect kTitleImage{Picture::kTitle, 0, 0, 501, 150};
inline constexpr Rect kLogoImage{Picture::kLogo, 0, 0, 150, 65};
inline constexpr int kMenuItemCount = 3;
// Item j (0 start, 1 ranking, 2 quit): highlighted in the upper half of the
// strip, plain in the lower half.
constexpr Rect kMenuItemSelected(int j) { return {Picture::kMenu, 0, 29 * j, 302, 29}; }
constexpr Rect kMenuItemPlain(int j) { return {Picture::kMenu, 0, 29 * j + 87, 302, 29}; }

// ---- Interface sheet (PicOther): pre-match selection -----------------------
inline constexpr Rect kSetupHeader{Picture::kOther, 0, 260, 190, 40};
inline constexpr Rect kDifficultyLabelSelected{Picture::kOther, 0, 155, 120, 30};
inline constexpr Rect kDifficultyLabel{Picture::kOther, 0, 373, 120, 30};
inline constexpr std::array<Rect, 3> kDifficultyName{{
    {Picture::kOther, 135, 155, 70, 30},
    {Picture::kOther, 210, 155, 70, 30},
    {Picture::kOther, 0, 190, 290, 30},
}};
inline constexpr Rect kRoundsLabelSelected{Picture::kOther, 0, 225, 120, 30};
inline constexpr Rect kRoundsLabel{Picture::kOther, 0, 409, 120, 30};
inline constexpr Rect kRoundsUnit{Picture::kOther, 135, 225, 30, 30};
inline constexpr Rect kStartButtonSelected{Picture::kOther, 0, 300, 270, 35};
inline constexpr Rect kStartButton{Picture::kOther, 0, 440, 270, 35};
// The arrows of the selection screen double as the ranking's difficulty marks.
inline constexpr Rect kLeftArrow{Picture::kOther, 195, 220, 40, 40};
inline constexpr Rect kRightArrow{Picture::kOther, 195, 260, 40, 40};
// Digit of the match length R (1, 3, ..., 9) on the selection screen.
constexpr Rect kSetupRoundsDigit(int r) { return {Picture::kOther, 26 * r - r / 2, 87, 25, 30}; }

// ---- Interface sheet (PicOther): ranking screen -----------------------------
inline constexpr Rect kRankingTitle{Picture::kOther, 0, 0, 296, 45};
inline constexpr Rect kScoreHeading{Picture::kOther, 135, 50, 80, 30};
inline constexpr Rect kTimeHeading{Picture::kOther, 0, 50, 115, 32};
inline constexpr Rect kMovesHeading{Picture::kOther, 80, 336, 115, 30};
// Large digit v (0..9) of scores and move counts: x = round(25.5 v + 1).
constexpr Rect kLargeDigit(int v) {
  return {Picture::kOther, RoundHalfEven(51 * v + 2, 2), 90, 25, 27};
}
// Numeral of row d (0..8), showing place d + 1: x = round(25.5 d + 26).
constexpr Rect kPlaceNumeral(int d) {
  return {Picture::kOther, RoundHalfEven(51 * d + 52, 2), 90, 25, 27};
}
inline constexpr Rect kPlaceSuffix{Picture::kOther, 260, 90, 35, 27};
// Small digit v (0..9) of times: x = round(25.5 v + 10).
constexpr Rect kSmallDigit(int v) {
  return {Picture::kOther, RoundHalfEven(51 * v + 20, 2), 125, 15, 27};
}
inline constexpr Rect kTimeSeparator{Picture::kOther, 265, 125, 15, 27};
// Digit of the match length L in the ranking footer.
constexpr Rect kRankingRoundsDigit(int l) {
  return {Picture::kOther, 26 * l + 1 - l / 2, 87, 25, 30};
}
inline constexpr Rect kUpMark{Picture::kOther, 0, 340, 38, 35};
inline constexpr Rect kDownMark{Picture::kOther, 40, 340, 38, 40};
// Blended over the marks with a pulsing alpha: the colour they fade into.
inline constexpr Rect kBlendSquare{Picture::kOther, 0, 500, 40, 40};

// ---- Match pieces (PicCounter) ---------------------------------------------
// Round n (1..9) stands on exact black, the transparent colour of the copy.
constexpr Rect kRoundNumber(int n) { return {Picture::kCounter, 70 * (n - 1), 0, 70, 100}; }
inline constexpr Rect kRoundWord{Picture::kCounter, 650, 0, 289, 100};

// ---- Window skin (PicWindow) ------------------------------------------------
// A window is a 32-px left edge, eight 20-px middle slices and a 32-px right
// edge. Each band below gives the source of those three columns.
struct SkinBand {
  Rect left;
  Rect middle;
  Rect right;
};
constexpr SkinBand MakeSkinBand(int y, int h) {
  return {{Picture::kWindow, 0, y, 32, h},
          {Picture::kWindow, 32, y, 20, h},
          {Picture::kWindow, 64, y, 32, h}};
}
inline constexpr SkinBand kRouletteUpperBand = MakeSkinBand(0, 64);
inline constexpr SkinBand kRouletteLowerBand = MakeSkinBand(32, 64);
inline constexpr SkinBand kBannerTopBand = MakeSkinBand(0, 16);
inline constexpr SkinBand kBannerBottomBand = MakeSkinBand(80, 16);
inline constexpr int kWindowMiddleSlices = 8;
// Stretched with constant alpha into the results panel.
inline constexpr Rect kPanelSquare{Picture::kWindow, 40, 40, 20, 20};

// ---- Roulette cursor (PicCursor) --------------------------------------------
// The image on exact white and its mask (exact white on the cursor, exact
// black around): OR the mask, then AND the image.
inline constexpr Rect kRouletteCursorImage{Picture::kCursor, 0, 0, 16, 15};
inline constexpr Rect kRouletteCursorMask{Picture::kCursor, 0, 15, 16, 15};

// ---- The whole list, for the generator's review sheet and the tests ---------
struct NamedRect {
  const char* name;
  int index;  // the argument of an indexed entry, -1 for a single one
  Rect rect;
};

inline constexpr std::size_t kNamedRectCount = 98;

constexpr std::array<NamedRect, kNamedRectCount> AllRects() {
  std::array<NamedRect, kNamedRectCount> out{};
  std::size_t n = 0;
  auto add = [&](const char* name, int index, Rect r) { out[n++] = {name, index, r}; };
  add("PlayerChip", -1, kPlayerChip);
  add("CpuChip", -1, kCpuChip);
  add("MatchBackground", -1, kMatchBackground);
  add("PlainBackground", -1, kPlainBackground);
  add("TitleImage", -1, kTitleImage);
  add("LogoImage", -1, kLogoImage);
  for (int j = 0; j < kMenuItemCount; ++j) add("MenuItemSelected", j, kMenuItemSelected(j));
  for (int j = 0; j < kMenuItemCount; ++j) add("MenuItemPlain", j, kMenuItemPlain(j));
  add("SetupHeader", -1, kSetupHeader);
  add("DifficultyLabelSelected", -1, kDifficultyLabelSelected);
  add("DifficultyLabel", -1, kDifficultyLabel);
  for (int i = 0; i < 3; ++i) add("DifficultyName", i, kDifficultyName[i]);
  add("RoundsLabelSelected", -1, kRoundsLabelSelected);
  add("RoundsLabel", -1, kRoundsLabel);
  add("RoundsUnit", -1, kRoundsUnit);
  add("StartButtonSelected", -1, kStartButtonSelected);
  add("StartButton", -1, kStartButton);
  add("LeftArrow", -1, kLeftArrow);
  add("RightArrow", -1, kRightArrow);
  for (int r = 1; r <= 9; r += 2) add("SetupRoundsDigit", r, kSetupRoundsDigit(r));
  add("RankingTitle", -1, kRankingTitle);
  add("ScoreHeading", -1, kScoreHeading);
  add("TimeHeading", -1, kTimeHeading);
  add("MovesHeading", -1, kMovesHeading);
  for (int v = 0; v <= 9; ++v) add("LargeDigit", v, kLargeDigit(v));
  for (int d = 0; d <= 8; ++d) add("PlaceNumeral", d, kPlaceNumeral(d));
  add("PlaceSuffix", -1, kPlaceSuffix);
  for (int v = 0; v <= 9; ++v) add("SmallDigit", v, kSmallDigit(v));
  add("TimeSeparator", -1, kTimeSeparator);
  for (int l = 1; l <= 9; l += 2) add("RankingRoundsDigit", l, kRankingRoundsDigit(l));
  add("UpMark", -1, kUpMark);
  add("DownMark", -1, kDownMark);
  add("BlendSquare", -1, kBlendSquare);
  for (int k = 1; k <= 9; ++k) add("RoundNumber", k, kRoundNumber(k));
  add("RoundWord", -1, kRoundWord);
  // Bands 0..3: roulette upper and lower, banner top and bottom.
  int band = 0;
  for (const SkinBand& b :
       {kRouletteUpperBand, kRouletteLowerBand, kBannerTopBand, kBannerBottomBand}) {
    add("SkinLeft", band, b.left);
    add("SkinMiddle", band, b.middle);
    add("SkinRight", band, b.right);
    ++band;
  }
  add("PanelSquare", -1, kPanelSquare);
  add("RouletteCursorImage", -1, kRouletteCursorImage);
  add("RouletteCursorMask", -1, kRouletteCursorMask);
  if (n != out.size()) throw "kNamedRectCount does not match the list";
  return out;
}

inline constexpr std::array<NamedRect, kNamedRectCount> kAllRects = AllRects();

}  // namespace rv::rects
