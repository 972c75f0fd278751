#include <gtest/gtest.h>

#include "platform/sim/sim_services.h"

namespace velmox::sim {
namespace {

// The new-window decision's tests lean on these answers: down with and without the low bit, and
// the low bit alone for a key pressed and released between two reads.
TEST(SimKeyboard, AnswersAsGetAsyncKeyStateDoes) {
  SimKeyboard keyboard;
  EXPECT_EQ(keyboard.GetAsyncKeyState(Keyboard::kVkControl), 0);
  keyboard.SetCtrl(true);
  EXPECT_EQ(keyboard.GetAsyncKeyState(Keyboard::kVkControl), 0x8001);
  EXPECT_EQ(keyboard.GetAsyncKeyState(Keyboard::kVkControl), 0x8000);
  constexpr int kVkShift = 16;
  EXPECT_EQ(keyboard.GetAsyncKeyState(kVkShift), 0) << "only Ctrl is ever down";
  keyboard.SetCtrl(false);
  EXPECT_EQ(keyboard.GetAsyncKeyState(Keyboard::kVkControl), 0);
  keyboard.SetCtrl(true);
  keyboard.SetCtrl(false);
  EXPECT_EQ(keyboard.GetAsyncKeyState(Keyboard::kVkControl), 0x0001);
  EXPECT_EQ(keyboard.timesRead, 6);
}

}  // namespace
}  // namespace velmox::sim
