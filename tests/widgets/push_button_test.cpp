// Push button stories, replayed cycle by cycle through the focus and key
// detectors exactly as the display class feeds the behaviour.
#include "widgets/PushButton.h"

#include <gtest/gtest.h>

#include "tests/support/cycle_driver.h"

namespace {

using velkor_test::CycleDriver;
using velkor_test::TestWidget;

enum class In { kNone, kPress, kRelease, kRightPress, kSpaceDown, kSpaceUp, kKeyDown };
enum class At { kOn, kOff };

struct Row {
  At at;
  In input;
  int fired;
  int armed;
  const char* note;
};

class PushButtonTest : public ::testing::Test {
 protected:
  CycleDriver driver;
  TestWidget widget{100, 100, 150, 50};
  PushButton_State button;
  uint32_t mode = 2;
  uint8_t fired = 0;
  uint8_t armed = 0;

  void SetUp() override {
    wrapper_PushButton_reset(&button);
    driver.OnCycle([this] {
      widget.keyMode = mode;
      widget.Sense();
      wrapper_PushButton(mode, widget.hover, widget.pressed(), widget.released(),
                         widget.keyPressed(), widget.key(), widget.keyReleased(), &fired, &armed,
                         &button);
    });
  }

  void Replay(const Row* rows, int count) {
    for (int i = 0; i < count; ++i) {
      const Row& row = rows[i];
      if (row.at == At::kOn) {
        driver.MoveTo(120.0f, 120.0f);
      } else {
        driver.MoveTo(600.0f, 600.0f);
      }
      switch (row.input) {
        case In::kNone: break;
        case In::kPress: driver.Press(); break;
        case In::kRelease: driver.Release(); break;
        case In::kRightPress: driver.Press(2); break;
        case In::kSpaceDown: driver.KeyDown(KEY_SPACE); break;
        case In::kSpaceUp: driver.KeyUp(KEY_SPACE); break;
        case In::kKeyDown: driver.KeyDown('a'); break;
      }
      driver.Cycle();
      EXPECT_EQ(row.fired, int(fired)) << "row " << i << ": " << row.note;
      EXPECT_EQ(row.armed, int(armed)) << "row " << i << ": " << row.note;
    }
  }
};

TEST_F(PushButtonTest, ReleaseModeFiresOnceOnTheReleaseAfterAPressOnIt) {
  const Row story[] = {
      {At::kOn, In::kNone, 0, 0, "hover takes the focus"},
      {At::kOn, In::kPress, 0, 1, "press arms"},
      {At::kOn, In::kNone, 0, 1, "held"},
      {At::kOn, In::kRelease, 1, 0, "release fires"},
      {At::kOn, In::kNone, 0, 0, "the event lasted one cycle"},
      {At::kOn, In::kNone, 0, 0, ""},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

TEST_F(PushButtonTest, ReleaseModeIgnoresAReleaseWhosePressHappenedElsewhere) {
  const Row story[] = {
      {At::kOff, In::kPress, 0, 0, "press on the background"},
      {At::kOff, In::kNone, 0, 0, "held there"},
      {At::kOn, In::kNone, 0, 0, "drag onto the button: it takes the focus, the press is old"},
      {At::kOn, In::kRelease, 0, 0, "release on it: nothing fires"},
      {At::kOn, In::kNone, 0, 0, ""},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

// The focus moves to a widget in the cycle in which it is first hovered,
// often the cycle right after the press event was recorded: that press still
// counts for it.
TEST_F(PushButtonTest, APressOneCycleBeforeThePointerArrivesCounts) {
  const Row story[] = {
      {At::kOff, In::kPress, 0, 0, "press recorded just outside"},
      {At::kOn, In::kNone, 0, 1, "next cycle over the button: the press counts"},
      {At::kOn, In::kRelease, 1, 0, ""},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

TEST_F(PushButtonTest, ReleaseModeFiresWhenDraggedOffWhileItKeepsTheFocus) {
  const Row story[] = {
      {At::kOn, In::kPress, 0, 1, "press on it"},
      {At::kOff, In::kNone, 0, 1, "dragged off; no other widget takes the focus"},
      {At::kOff, In::kRelease, 1, 0, "the release pulse still reaches it"},
      {At::kOff, In::kNone, 0, 0, ""},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

TEST_F(PushButtonTest, PressModeFiresOnThePressForOneCycle) {
  mode = 1;
  const Row story[] = {
      {At::kOn, In::kPress, 1, 1, "press fires"},
      {At::kOn, In::kRelease, 0, 0, "the release in the next cycle does not hold it"},
      {At::kOn, In::kNone, 0, 0, ""},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

TEST(PushButtonClicksTest, DoubleClickFiresTwiceForOneCycleEachInBothModes) {
  for (uint32_t mode : {1u, 2u}) {
    CycleDriver driver;
    TestWidget widget(100, 100, 150, 50);
    PushButton_State button;
    wrapper_PushButton_reset(&button);
    uint8_t fired = 0;
    driver.OnCycle([&] {
      widget.Sense();
      wrapper_PushButton(mode, widget.hover, widget.pressed(), widget.released(), 0, 0, 0, &fired,
                         nullptr, &button);
    });
    driver.MoveTo(120.0f, 120.0f);
    driver.Press();
    driver.Release();
    driver.Press();
    driver.Release();
    int fires = 0;
    int cyclesFired = 0;
    uint8_t before = 0;
    for (int i = 0; i < 6; ++i) {
      driver.Cycle();
      if (fired != 0 && before == 0) ++fires;
      if (fired != 0) ++cyclesFired;
      before = fired;
    }
    EXPECT_EQ(2, fires) << "mode " << mode;
    EXPECT_EQ(2, cyclesFired) << "mode " << mode << ": each click fires for exactly one cycle";
  }
}

TEST_F(PushButtonTest, SpaceKeyPressesTheFocusedButton) {
  const Row story[] = {
      {At::kOn, In::kNone, 0, 0, "focus"},
      {At::kOff, In::kSpaceDown, 0, 1, "space arms, wherever the pointer is"},
      {At::kOff, In::kSpaceUp, 1, 0, "its release fires"},
      {At::kOff, In::kKeyDown, 0, 0, "another key does nothing"},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

TEST_F(PushButtonTest, SpaceKeyInPressModeFiresOnKeyDown) {
  mode = 1;
  const Row story[] = {
      {At::kOn, In::kNone, 0, 0, "focus"},
      {At::kOn, In::kSpaceDown, 1, 1, ""},
      {At::kOn, In::kSpaceUp, 0, 0, ""},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

TEST_F(PushButtonTest, UnfocusedButtonIgnoresKeysAndClicks) {
  widget.enabled = 0;  // a disabled button never hovers, so never takes the focus
  const Row story[] = {
      {At::kOn, In::kPress, 0, 0, ""},
      {At::kOn, In::kRelease, 0, 0, ""},
      {At::kOn, In::kSpaceDown, 0, 0, ""},
      {At::kOn, In::kSpaceUp, 0, 0, ""},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

TEST_F(PushButtonTest, WithoutAcknowledgeTheEventIsHeldUntilTheNextFiring) {
  driver.SetAcknowledging(false);
  const Row story[] = {
      {At::kOn, In::kPress, 0, 1, ""},
      {At::kOn, In::kRelease, 1, 0, "fires"},
      {At::kOn, In::kNone, 1, 0, "held: nobody acknowledged it"},
      {At::kOn, In::kPress, 1, 1, ""},
      {At::kOn, In::kRelease, 0, 0, "the next firing flips the level"},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

TEST(PushButtonStepTest, PressAndReleaseRulesPerMode) {
  // Direct steps, acknowledge set: mode, pressed over it, released, armed before -> fired, armed.
  struct Case {
    uint32_t mode;
    uint8_t hover;
    uint8_t pressed;
    uint8_t released;
    uint8_t armedBefore;
    int fired;
    int armed;
  };
  const Case cases[] = {
      {1, 1, 1, 0, 0, 1, 1}, {1, 0, 1, 0, 0, 0, 0}, {1, 1, 0, 1, 1, 0, 0},
      {2, 1, 1, 0, 0, 0, 1}, {2, 0, 0, 1, 1, 1, 0}, {2, 1, 0, 1, 0, 0, 0},
      {0, 1, 0, 1, 1, 1, 0}, {7, 1, 1, 0, 0, 0, 1},
  };
  BHVR_SetAsynchronousACK();
  for (const Case& c : cases) {
    PushButton_State s;
    PushButton_init(&s);
    s.armed = c.armedBefore;
    const PushButton_Inputs in{c.mode, c.hover, c.pressed, c.released, 0, 0, 0};
    PushButton(&in, &s);
    EXPECT_EQ(c.fired, s.fired) << "mode " << c.mode << " hover " << int(c.hover) << " pressed "
                                << int(c.pressed) << " released " << int(c.released);
    EXPECT_EQ(c.armed, s.armed) << "mode " << c.mode;
  }
  BHVR_Step();
}

}  // namespace
