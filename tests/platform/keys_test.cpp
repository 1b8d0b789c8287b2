#include "game/pace/keys.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace rv {
namespace {

// The flags held, by name in a fixed order ("Up X"): what the game sees of the keys.
std::string Held(const Keys& k) {
  std::string held;
  const auto add = [&](int16_t flag, const char* name) {
    if (flag == 0) return;
    if (!held.empty()) held += ' ';
    held += name;
  };
  add(k.Key_Up, "Up");
  add(k.Key_Down, "Down");
  add(k.Key_Left, "Left");
  add(k.Key_Right, "Right");
  add(k.Key_X, "X");
  add(k.Key_Z, "Z");
  return held;
}

int SumOfFlags(const Keys& k) {
  return k.Key_Up + k.Key_Down + k.Key_Left + k.Key_Right + k.Key_X + k.Key_Z;
}

TEST(KeyFlags, AllClearAtStart) {
  Keys keys;
  EXPECT_EQ(SumOfFlags(keys), 0);
}

// The keys a player presses and what the game reads from each: the arrows move, X and
// Return decide, Z and Shift cancel.
TEST(KeyFlags, EachKeySetsAndClearsExactlyItsFlag) {
  const struct {
    int16_t code;
    const char* held;
  } cases[] = {{vk::kUp, "Up"}, {vk::kDown, "Down"}, {vk::kLeft, "Left"}, {vk::kRight, "Right"},
               {vk::kX, "X"},   {vk::kReturn, "X"},  {vk::kZ, "Z"},       {vk::kShift, "Z"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.held);
    Keys keys;
    EXPECT_EQ(Form_KeyDown(keys, c.code), KeyAction::kFlagSet);
    EXPECT_EQ(SumOfFlags(keys), 1);
    EXPECT_EQ(Held(keys), c.held);
    Form_KeyUp(keys, c.code);
    EXPECT_EQ(Held(keys), "");
  }
}

// With every flag held, each release takes away its own flag and no other.
TEST(KeyFlags, KeyUpClearsOnlyItsOwnFlag) {
  Keys keys;
  for (int16_t code : {vk::kUp, vk::kDown, vk::kLeft, vk::kRight, vk::kX, vk::kZ}) {
    Form_KeyDown(keys, code);
  }
  ASSERT_EQ(Held(keys), "Up Down Left Right X Z");
  const struct {
    int16_t released;
    const char* still_held;
  } releases[] = {
      {vk::kLeft, "Up Down Right X Z"}, {vk::kZ, "Up Down Right X"}, {vk::kUp, "Down Right X"},
      {vk::kX, "Down Right"},           {vk::kRight, "Down"},        {vk::kDown, ""}};
  for (const auto& r : releases) {
    Form_KeyUp(keys, r.released);
    EXPECT_EQ(Held(keys), r.still_held);
  }
}

TEST(KeyFlags, RepeatedKeyDownsKeepTheFlagAtOne) {
  Keys keys;
  for (int i = 0; i < 5; ++i) Form_KeyDown(keys, vk::kLeft);
  EXPECT_EQ(keys.Key_Left, 1);
  Form_KeyUp(keys, vk::kLeft);
  EXPECT_EQ(keys.Key_Left, 0);
}

// The flags do not count keys: releasing Return clears Key_X while X is still held, and
// Shift clears Key_Z while Z is; the other flags stay.
TEST(KeyFlags, ReleasingASharedKeyClearsItsFlagWhileTheOtherIsHeld) {
  const struct {
    int16_t held, shared, others[2];
    const char* still_held;
  } cases[] = {{vk::kX, vk::kReturn, {vk::kUp, vk::kZ}, "Up Z"},
               {vk::kZ, vk::kShift, {vk::kDown, vk::kX}, "Down X"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.still_held);
    Keys keys;
    Form_KeyDown(keys, c.held);
    Form_KeyDown(keys, c.shared);
    for (int16_t other : c.others) Form_KeyDown(keys, other);
    Form_KeyUp(keys, c.shared);
    EXPECT_EQ(Held(keys), c.still_held);
  }
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
