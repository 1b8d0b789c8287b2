#include "game/pace/keys.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace rv {
namespace {

// The flag each game key drives, so a test can check that one key touches one flag.
struct KeyCase {
  int16_t code;
  int16_t Keys::*flag;
};

const KeyCase kTable[] = {
    {vk::kUp, &Keys::Key_Up},   {vk::kDown, &Keys::Key_Down}, {vk::kLeft, &Keys::Key_Left},
    {vk::kRight, &Keys::Key_Right}, {vk::kX, &Keys::Key_X},   {vk::kReturn, &Keys::Key_X},
    {vk::kZ, &Keys::Key_Z},     {vk::kShift, &Keys::Key_Z},
};

int SumOfFlags(const Keys& k) {
  return k.Key_Up + k.Key_Down + k.Key_Left + k.Key_Right + k.Key_X + k.Key_Z;
}

TEST(KeyFlags, AllClearAtStart) {
  Keys keys;
  EXPECT_EQ(SumOfFlags(keys), 0);
}

TEST(KeyFlags, EachKeySetsAndClearsExactlyItsFlag) {
  for (const KeyCase& c : kTable) {
    SCOPED_TRACE(c.code);
    Keys keys;
    EXPECT_EQ(Form_KeyDown(keys, c.code), KeyAction::kFlagSet);
    EXPECT_EQ(keys.*c.flag, 1);
    EXPECT_EQ(SumOfFlags(keys), 1);
    Form_KeyUp(keys, c.code);
    EXPECT_EQ(keys.*c.flag, 0);
    EXPECT_EQ(SumOfFlags(keys), 0);
  }
}

TEST(KeyFlags, KeyUpClearsOnlyItsOwnFlag) {
  for (const KeyCase& held : kTable) {
    for (const KeyCase& released : kTable) {
      if (held.flag == released.flag) continue;
      Keys keys;
      Form_KeyDown(keys, held.code);
      Form_KeyUp(keys, released.code);
      EXPECT_EQ(keys.*held.flag, 1) << held.code << " released " << released.code;
    }
  }
}

TEST(KeyFlags, RepeatedKeyDownsKeepTheFlagAtOne) {
  Keys keys;
  for (int i = 0; i < 5; ++i) Form_KeyDown(keys, vk::kLeft);
  EXPECT_EQ(keys.Key_Left, 1);
  Form_KeyUp(keys, vk::kLeft);
  EXPECT_EQ(keys.Key_Left, 0);
}

// The flags do not count keys: releasing Return clears Key_X while X is still held.
TEST(KeyFlags, ReleasingReturnWhileXHeldClearsKeyX) {
  Keys keys;
  Form_KeyDown(keys, vk::kX);
  Form_KeyDown(keys, vk::kReturn);
  Form_KeyUp(keys, vk::kReturn);
  EXPECT_EQ(keys.Key_X, 0);
}

TEST(KeyFlags, ReleasingShiftWhileZHeldClearsKeyZ) {
  Keys keys;
  Form_KeyDown(keys, vk::kZ);
  Form_KeyDown(keys, vk::kShift);
  Form_KeyUp(keys, vk::kShift);
  EXPECT_EQ(keys.Key_Z, 0);
}

// Shift+X: Shift's own key-down sets Key_Z, X sets Key_X, the shift state changes nothing.
TEST(KeyFlags, ShiftStateIsIgnored) {
  Keys keys;
  Form_KeyDown(keys, vk::kShift, 0);
  EXPECT_EQ(keys.Key_Z, 1);
  EXPECT_EQ(keys.Key_X, 0);
  Form_KeyDown(keys, vk::kX, /*shift=*/1);
  EXPECT_EQ(keys.Key_X, 1);
  EXPECT_EQ(SumOfFlags(keys), 2);

  Keys other;
  Form_KeyDown(other, vk::kX, /*shift=*/1);
  EXPECT_EQ(other.Key_X, 1);
  EXPECT_EQ(other.Key_Z, 0);
}

TEST(KeyFlags, EscapeAsksForShutdownAndTouchesNoFlag) {
  Keys keys;
  Form_KeyDown(keys, vk::kX);
  EXPECT_EQ(Form_KeyDown(keys, vk::kEscape), KeyAction::kEscape);
  EXPECT_EQ(keys.Key_X, 1);
  EXPECT_EQ(SumOfFlags(keys), 1);
  Form_KeyUp(keys, vk::kEscape);  // Escape's key-up does nothing
  EXPECT_EQ(SumOfFlags(keys), 1);
}

TEST(KeyFlags, OtherKeysAreIgnored) {
  for (int16_t code : {0, 1, 17, 32, 65, 87, 89, 91, 255, -1}) {
    Keys keys;
    Form_KeyDown(keys, vk::kUp);
    EXPECT_EQ(Form_KeyDown(keys, code), KeyAction::kIgnored) << code;
    Form_KeyUp(keys, code);
    EXPECT_EQ(keys.Key_Up, 1) << code;
    EXPECT_EQ(SumOfFlags(keys), 1) << code;
  }
}

}  // namespace
}  // namespace rv
