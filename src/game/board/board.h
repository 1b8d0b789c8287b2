#pragma once
// The playing field: 40 x 29 signed 16-bit cells, element r * 40 + c, row 28 the floor.
// Every block goes to the landing cell of its column, so each column is one stack from the
// floor up; the board keeps the topmost occupied row of every column so that the rules can
// ask for landing rows without scanning.

#include <array>
#include <cstdint>

namespace rv {

constexpr int kColumns = 40;
constexpr int kRows = 29;
constexpr int kCells = kColumns * kRows;
constexpr int16_t kEmpty = 0;
constexpr int16_t kPlayer = 1;
constexpr int16_t kCpu = 2;

class Board {
 public:
  Board();

  static constexpr bool OnBoard(int c, int r) {
    return c >= 0 && c < kColumns && r >= 0 && r < kRows;
  }

  int16_t At(int c, int r) const { return cells_[r * kColumns + c]; }
  // Writes one cell; the column's top row follows. Values other than 0..2 are not ours to
  // store, so callers keep to kEmpty, kPlayer and kCpu.
  void Set(int c, int r, int16_t v);
  void Clear();

  // First occupied row counting from row 0 downwards; kRows (29) when the column is empty.
  int TopBlockRow(int c) const { return top_[c]; }
  // The lowest empty cell of the column: directly above its topmost block; -1 when full.
  int LandingRow(int c) const { return top_[c] - 1; }
  bool ColumnEmpty(int c) const { return At(c, kRows - 1) == kEmpty; }
  bool ColumnFull(int c) const { return At(c, 0) != kEmpty; }
  // No empty cell anywhere (not only "every column full": a hand-made board may float).
  bool IsFull() const;

  const int16_t* data() const { return cells_.data(); }

  // Bit c set when cell (c, r) holds `side` (1 or 2); kept up to date by Set and Clear so
  // that line checks can work on whole rows at once.
  uint64_t RowMask(int16_t side, int r) const {
    return side == kPlayer ? player_rows_[r] : side == kCpu ? cpu_rows_[r] : 0;
  }

  friend bool operator==(const Board& a, const Board& b) { return a.cells_ == b.cells_; }

 private:
  std::array<int16_t, kCells> cells_{};
  std::array<int8_t, kColumns> top_{};
  std::array<uint64_t, kRows> player_rows_{};
  std::array<uint64_t, kRows> cpu_rows_{};
};

}  // namespace rv
