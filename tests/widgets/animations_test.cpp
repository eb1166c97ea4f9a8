// Animation time base: the 330 ms run, its turn, restarts, backward runs,
// easing profiles, and durations or cycle lengths that would divide by zero.
#include "widgets/Animations.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "tests/support/cycle_driver.h"

namespace {

using velkor_test::CycleDriver;

class AnimationsTest : public ::testing::Test {
 protected:
  CycleDriver driver;
  Animations_State anim;
  uint8_t forward = 0;
  uint8_t backward = 0;
  int32_t duration = 330;
  int32_t cycleMs = 33;
  int32_t profile = ANIMATION_LINEAR;
  uint8_t reverse = 0;
  uint8_t done = 9;
  float value = -1.0f;
  int32_t level = -1;

  void SetUp() override {
    Animations_init(&anim);
    wrapper_Animations_reset(&anim);
    driver.OnCycle([this] {
      wrapper_Animations(forward, backward, duration, cycleMs, profile, reverse, &done, &value,
                         &level, &anim);
      forward = 0;  // commands are one-cycle pulses
      backward = 0;
    });
  }
};

TEST_F(AnimationsTest, A330msRunTakesTenCyclesAfterItsStart) {
  forward = 1;
  driver.Cycle();
  EXPECT_EQ(0, anim.position) << "start cycle";
  EXPECT_EQ(0, int(done));
  EXPECT_EQ(0.0f, value);
  for (int k = 1; k <= 10; ++k) {
    driver.Cycle();
    EXPECT_EQ(k, anim.position) << "cycle " << k << " after the start";
    EXPECT_FLOAT_EQ(k / 10.0f, value) << "cycle " << k;
    EXPECT_EQ(int(std::floor(k / 10.0f * 255.0f + 0.5f)), level) << "cycle " << k;
    EXPECT_EQ(k == 10 ? 1 : 0, int(done)) << "cycle " << k;
  }
  EXPECT_EQ(ANIMATION_IDLE, anim.phase);
  driver.Cycle();
  EXPECT_EQ(0, int(done)) << "done marks the one cycle in which the run arrived";
  EXPECT_EQ(1.0f, value) << "idle keeps the last progress";
  EXPECT_EQ(255, level);
}

TEST_F(AnimationsTest, ABackwardCommandTurnsTheRunInThatSameCycle) {
  forward = 1;
  driver.Cycle();
  driver.Cycles(6);
  ASSERT_EQ(6, anim.position);
  backward = 1;
  driver.Cycle();
  EXPECT_EQ(5, anim.position) << "turned: the position already falls";
  EXPECT_EQ(-1, anim.direction);
  for (int expected = 4; expected >= 0; --expected) {
    driver.Cycle();
    EXPECT_EQ(expected, anim.position);
    EXPECT_EQ(expected == 0 ? 1 : 0, int(done)) << "position " << expected;
  }
  EXPECT_EQ(ANIMATION_IDLE, anim.phase);
  EXPECT_EQ(0.0f, value);
}

TEST_F(AnimationsTest, TheSameCommandWhileRunningRestarts) {
  forward = 1;
  driver.Cycle();
  driver.Cycles(4);
  forward = 1;
  driver.Cycle();
  EXPECT_EQ(0, anim.position);
  EXPECT_EQ(0, int(done));
  driver.Cycles(10);
  EXPECT_EQ(1, int(done));
}

TEST_F(AnimationsTest, ABackwardStartRunsFromTheEndToZero) {
  backward = 1;
  driver.Cycle();
  EXPECT_EQ(10, anim.position);
  EXPECT_EQ(1.0f, value);
  driver.Cycles(9);
  EXPECT_EQ(1, anim.position);
  EXPECT_EQ(0, int(done));
  driver.Cycle();
  EXPECT_EQ(0, anim.position);
  EXPECT_EQ(1, int(done));
  EXPECT_EQ(0, level);
}

TEST_F(AnimationsTest, ReverseOutputsOneMinusTheEasedValue) {
  reverse = 1;
  forward = 1;
  driver.Cycle();
  EXPECT_EQ(1.0f, value);
  EXPECT_EQ(255, level);
  driver.Cycles(3);
  EXPECT_FLOAT_EQ(0.7f, value);
}

TEST_F(AnimationsTest, WithoutAcknowledgeThePositionDoesNotMove) {
  driver.SetAcknowledging(false);
  forward = 1;
  driver.Cycles(5);
  EXPECT_EQ(0, anim.position);
  EXPECT_EQ(ANIMATION_RUNNING, anim.phase);
}

// Durations shorter than one cycle, and cycle lengths of 0 or less, complete
// at once: no step count to divide by.
TEST_F(AnimationsTest, ShortDurationsAndEmptyCyclesCompleteAtOnce) {
  struct Case {
    int32_t duration;
    int32_t cycle;
  };
  const Case cases[] = {{20, 33}, {0, 33}, {-100, 33}, {330, 0}, {0, 0}, {330, -33},
                        {INT_MIN, -1}, {INT_MAX, 0}};
  for (const Case& c : cases) {
    Animations_reset(&anim);
    anim.progress = 0.25f;
    duration = c.duration;
    cycleMs = c.cycle;
    forward = 1;
    driver.Cycle();
    EXPECT_EQ(1, int(done)) << "duration " << c.duration << " cycle " << c.cycle;
    EXPECT_EQ(ANIMATION_IDLE, anim.phase) << "duration " << c.duration;
    EXPECT_FLOAT_EQ(0.25f, value) << "the value does not move";
  }
}

TEST_F(AnimationsTest, ADurationThatShrinksWhileRunningEndsTheRun) {
  forward = 1;
  driver.Cycles(3);
  duration = 10;  // now shorter than one cycle: no steps left to divide by
  driver.Cycle();
  EXPECT_EQ(1, int(done));
  EXPECT_EQ(1.0f, value);
  EXPECT_EQ(ANIMATION_IDLE, anim.phase);

  backward = 1;  // from idle with the short duration: at once
  driver.Cycle();
  EXPECT_EQ(1, int(done));
  duration = 330;
  backward = 1;
  driver.Cycle();
  cycleMs = 0;
  driver.Cycle();
  EXPECT_EQ(1, int(done));
  EXPECT_EQ(0.0f, value) << "a backward run ends at 0";
}

TEST(AnimationsEaseTest, EveryProfileStartsAtZeroAndEndsAtOne) {
  for (int32_t profile : {0, 1, 2, 3, 4, 5, -7}) {
    EXPECT_NEAR(0.0f, Animations_Ease(profile, 0.0f), 1e-6f) << "profile " << profile;
    EXPECT_NEAR(1.0f, Animations_Ease(profile, 1.0f), 1e-5f) << "profile " << profile;
  }
  EXPECT_FLOAT_EQ(0.5f, Animations_Ease(ANIMATION_EASE_IN_OUT, 0.5f));
  EXPECT_FLOAT_EQ(0.75f, Animations_Ease(ANIMATION_EASE_OUT, 0.5f));
  EXPECT_GT(Animations_Ease(ANIMATION_OVERSHOOT, 0.8f), 1.0f) << "overshoots";
  EXPECT_LT(Animations_Ease(ANIMATION_ANTICIPATE, 0.1f), 0.0f) << "dips first";
}

TEST_F(AnimationsTest, LevelSaturatesOutsideZeroToOne) {
  profile = ANIMATION_OVERSHOOT;
  forward = 1;
  driver.Cycle();
  driver.Cycles(8);  // progress 0.8: value above 1
  EXPECT_GT(value, 1.0f);
  EXPECT_EQ(255, level);

  profile = ANIMATION_ANTICIPATE;
  forward = 1;
  driver.Cycle();
  driver.Cycle();  // progress 0.1: value below 0
  EXPECT_LT(value, 0.0f);
  EXPECT_EQ(0, level);
}

TEST(AnimationsInitTest, InitAndResetValues) {
  Animations_State anim;
  Animations_init(&anim);
  EXPECT_EQ(1, anim.done);
  EXPECT_EQ(0.0f, anim.value);
  EXPECT_EQ(1, anim.direction);
  EXPECT_EQ(ANIMATION_IDLE, anim.phase);
  EXPECT_EQ(1, anim.restart);
  anim.direction = -1;
  anim.position = 4;
  anim.progress = 0.4f;
  anim.phase = ANIMATION_RUNNING;
  anim.restart = 0;
  Animations_reset(&anim);
  EXPECT_EQ(1, anim.direction);
  EXPECT_EQ(0, anim.position);
  EXPECT_EQ(0.0f, anim.progress);
  EXPECT_EQ(ANIMATION_IDLE, anim.phase);
  EXPECT_EQ(1, anim.restart);
}

}  // namespace
