// The animation time base: runs, turns, restarts, easing, durations that would divide by zero.
#include "widgets/Animations.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

#include "tests/support/cycle_driver.h"

namespace {

class AnimationsTest : public ::testing::Test {
 protected:
  velkor_test::CycleDriver driver;
  Animations_State anim;
  uint8_t forward = 0, backward = 0, reverse = 0, done = 9;
  int32_t duration = 330, cycleMs = 33, profile = ANIMATION_LINEAR, level = -1;
  float value = -1.0f;

  void SetUp() override {
    Animations_init(&anim);
    driver.OnCycle([this] {
      wrapper_Animations(forward, backward, duration, cycleMs, profile, reverse, &done, &value,
                         &level, &anim);
      forward = backward = 0;  // commands are one-cycle pulses
    });
  }
  // The positions over `cycles` cycles, done marked with '*'; the levels too when asked.
  std::string Run(int cycles, std::string* levels = nullptr) {
    std::string trace;
    for (int i = 0; i < cycles; ++i) {
      driver.Cycle();
      trace += std::to_string(anim.position) + (done ? "* " : " ");
      if (levels != nullptr) *levels += std::to_string(level) + " ";
    }
    return trace;
  }
};

TEST_F(AnimationsTest, A330msRunTakesTenCyclesAfterItsStart) {
  forward = 1;
  std::string levels;
  EXPECT_EQ("0 1 2 3 4 5 6 7 8 9 10* 0 ", Run(12, &levels));
  EXPECT_EQ("0 26 51 77 102 128 153 179 204 230 255 255 ", levels) << "idle keeps the value";
  duration = 33;  // exactly one cycle: one step, not an instant run
  forward = 1;
  EXPECT_EQ("0 1* ", Run(2));
}

TEST_F(AnimationsTest, BackwardRunsTurnsRestartsAndReverse) {
  forward = 1;
  Run(4);
  forward = 1;
  EXPECT_EQ("0 1 2 3 4 5 6 ", Run(7)) << "the same command while running starts over";
  backward = 1;
  EXPECT_EQ("5 4 3 ", Run(3)) << "a backward command turns the run in its own cycle";
  reverse = 1;
  Run(2);
  EXPECT_FLOAT_EQ(0.9f, value) << "reverse gives 1 - the eased value";
  driver.SetAcknowledging(false);
  EXPECT_EQ("1 1 ", Run(2)) << "without acknowledge the position does not move";
}

// Durations shorter than one cycle, cycle lengths of 0 or less: complete at once, no division.
TEST_F(AnimationsTest, ShortDurationsEmptyCyclesAndTheLongestRunStayDefined) {
  const std::pair<int32_t, int32_t> cases[] = {{20, 33},   {-100, 33},    {330, 0},
                                               {330, -33}, {INT_MIN, -1}, {INT_MAX, 0}};
  for (const auto& [length, cycle] : cases) {
    Animations_reset(&anim);
    anim.progress = 0.25f;
    duration = length;
    cycleMs = cycle;
    forward = 1;
    driver.Cycle();
    EXPECT_EQ(std::make_pair(1, 0.25f), std::make_pair(int(done), value))
        << "duration " << length << " cycle " << cycle << ": done, the value does not move";
  }
  forward = 1;  // a run whose steps vanish jumps to its end
  duration = 330;
  cycleMs = 33;
  Run(3);
  duration = 10;  // shorter than one cycle while running
  driver.Cycle();
  EXPECT_EQ(std::make_pair(1, 1.0f), std::make_pair(int(done), value));
  // Turning at the end of the longest run stays at its end: the position does not wrap around.
  duration = INT_MAX;
  cycleMs = 1;
  backward = 1;
  Run(1);
  forward = 1;  // turns where it stands, at the last step
  EXPECT_EQ(std::to_string(INT_MAX) + " " + std::to_string(INT_MAX) + "* ", Run(2));
  EXPECT_EQ(1.0f, value);
}

TEST_F(AnimationsTest, ProfilesAndTheLevelOutsideZeroToOne) {
  for (int32_t p : {0, 1, 2, 3, 4, 5, -7}) {
    EXPECT_NEAR(0.0f, Animations_Ease(p, 0.0f), 1e-6f) << "profile " << p;
    EXPECT_NEAR(1.0f, Animations_Ease(p, 1.0f), 1e-5f) << "profile " << p;
  }
  profile = ANIMATION_OVERSHOOT;
  forward = 1;
  Run(9);  // progress 0.8
  EXPECT_GT(value, 1.0f);
  EXPECT_EQ(255, level) << "the level is limited to 0 .. 255";
}

}  // namespace
