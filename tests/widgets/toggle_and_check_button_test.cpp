// Toggle and check buttons: one machine, told through the same stories; they
// differ only when a load and a click fall in the same cycle.
#include <gtest/gtest.h>

#include "tests/support/cycle_driver.h"
#include "widgets/CheckButton.h"
#include "widgets/ToggleButton.h"

namespace {

using velkor_test::CycleDriver;
using velkor_test::TestWidget;

enum class Kind { kToggle, kCheck };

const char* Name(Kind kind) { return kind == Kind::kToggle ? "toggle" : "check"; }

// Both behaviours behind one call, fed from a widget as their display classes
// feed them.
struct TwoStateButton {
  Kind kind;
  ToggleButton_State toggle;
  CheckButton_State check;
  uint8_t event = 0;
  uint8_t on = 0;

  explicit TwoStateButton(Kind k) : kind(k) {
    ToggleButton_init(&toggle);
    CheckButton_init(&check);
    wrapper_ToggleButton_reset(&toggle);
    wrapper_CheckButton_reset(&check);
  }

  void Step(uint32_t mode, const TestWidget& w, uint8_t value, uint8_t load) {
    if (kind == Kind::kToggle) {
      wrapper_ToggleButton(mode, w.hover, w.pressed(), w.released(), w.button(), value, load,
                           w.spaceKey(), &event, &on, &toggle);
    } else {
      wrapper_CheckButton(value, load, mode, w.pressed(), w.released(), w.button(), w.hover,
                          w.spaceKey(), &on, &event, &check);
    }
  }
};

enum class In { kNone, kPress, kRelease, kRightPress, kRightRelease, kSpace };
enum class At { kOn, kOff };

struct Row {
  At at;
  In input;
  uint8_t load;
  uint8_t value;
  int on;
  int event;
  const char* note;
};

class TwoStateTest : public ::testing::TestWithParam<Kind> {
 protected:
  CycleDriver driver;
  TestWidget widget{0, 0, 150, 50};
  TwoStateButton button{GetParam()};
  uint32_t mode = 1;
  uint8_t load = 0;
  uint8_t value = 0;

  void SetUp() override {
    driver.OnCycle([this] {
      widget.keyMode = 1;
      widget.Sense();
      button.Step(mode, widget, value, load);
    });
  }

  void Replay(const Row* rows, int count) {
    for (int i = 0; i < count; ++i) {
      const Row& row = rows[i];
      driver.MoveTo(row.at == At::kOn ? 20.0f : 500.0f, 20.0f);
      switch (row.input) {
        case In::kNone: break;
        case In::kPress: driver.Press(); break;
        case In::kRelease: driver.Release(); break;
        case In::kRightPress: driver.Press(2); break;
        case In::kRightRelease: driver.Release(2); break;
        case In::kSpace: driver.KeyDown(KEY_SPACE); break;
      }
      load = row.load;
      value = row.value;
      driver.Cycle();
      EXPECT_EQ(row.on, int(button.on)) << Name(GetParam()) << " row " << i << ": " << row.note;
      EXPECT_EQ(row.event, int(button.event))
          << Name(GetParam()) << " row " << i << ": " << row.note;
    }
  }
};

TEST_P(TwoStateTest, PressModeTogglesOnALeftPressOrSpace) {
  const Row story[] = {
      {At::kOn, In::kNone, 0, 0, 0, 0, "first step after reset takes the value 0"},
      {At::kOn, In::kPress, 0, 0, 1, 1, "left press toggles"},
      {At::kOn, In::kRelease, 0, 0, 1, 0, "event lasted one cycle"},
      {At::kOn, In::kRightPress, 0, 0, 1, 0, "right button does not toggle"},
      {At::kOn, In::kRightRelease, 0, 0, 1, 0, ""},
      {At::kOff, In::kSpace, 0, 0, 0, 1, "space toggles the focused button"},
      {At::kOff, In::kNone, 0, 0, 0, 0, ""},
      {At::kOff, In::kPress, 0, 0, 0, 0, "a press beside it has no effect"},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

TEST_P(TwoStateTest, ReleaseModeTogglesOnlyWhenPressedAndReleasedOnIt) {
  mode = 2;
  const Row story[] = {
      {At::kOn, In::kNone, 0, 0, 0, 0, ""},
      {At::kOn, In::kPress, 0, 0, 0, 0, "press arms"},
      {At::kOff, In::kNone, 0, 0, 0, 0, "dragged off"},
      {At::kOff, In::kRelease, 0, 0, 0, 0, "released outside: no toggle"},
      {At::kOn, In::kNone, 0, 0, 0, 0, ""},
      {At::kOn, In::kRelease, 0, 0, 0, 0, "a stray release is not a click"},
      {At::kOn, In::kPress, 0, 0, 0, 0, ""},
      {At::kOn, In::kRelease, 0, 0, 1, 1, "pressed and released on it: toggles"},
      {At::kOn, In::kNone, 0, 0, 1, 0, ""},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

TEST_P(TwoStateTest, LoadTakesTheValueWithoutAnEvent) {
  const Row story[] = {
      {At::kOff, In::kNone, 0, 1, 1, 0, "first step after reset takes the value 1"},
      {At::kOff, In::kNone, 1, 0, 0, 0, "load 0"},
      {At::kOff, In::kNone, 0, 1, 0, 0, "value without load is ignored"},
      {At::kOff, In::kNone, 1, 1, 1, 0, "load 1"},
  };
  Replay(story, sizeof story / sizeof story[0]);
}

INSTANTIATE_TEST_SUITE_P(Both, TwoStateTest, ::testing::Values(Kind::kToggle, Kind::kCheck),
                         [](const ::testing::TestParamInfo<Kind>& info) {
                           return std::string(Name(info.param));
                         });

// ---- Where the two differ: a load and a pointer hit in the same cycle ------------

TEST(TwoStateDifferenceTest, LoadAndHitInTheSameCycle) {
  struct Case {
    Kind kind;
    uint8_t value;
    int on;
    int event;
  };
  const Case cases[] = {
      {Kind::kToggle, 0, 1, 1},  // the toggle flips the loaded value
      {Kind::kToggle, 1, 0, 1},
      {Kind::kCheck, 0, 0, 0},   // the check box shows the loaded value unchanged
      {Kind::kCheck, 1, 1, 0},
  };
  for (const Case& c : cases) {
    CycleDriver driver;
    TestWidget widget(0, 0, 150, 50);
    TwoStateButton button(c.kind);
    uint8_t load = 0;
    driver.OnCycle([&] {
      widget.Sense();
      button.Step(1, widget, c.value, load);
    });
    driver.MoveTo(20.0f, 20.0f);
    driver.Cycle();  // first step takes value
    load = 1;
    driver.Press();
    driver.Cycle();
    EXPECT_EQ(c.on, int(button.on)) << Name(c.kind) << " value " << int(c.value);
    EXPECT_EQ(c.event, int(button.event)) << Name(c.kind) << " value " << int(c.value);
  }
}

TEST(TwoStateDifferenceTest, SpaceWithALoadFlipsTheLoadedValueInBoth) {
  for (Kind kind : {Kind::kToggle, Kind::kCheck}) {
    TwoStateButton button(kind);
    TestWidget widget(0, 0, 1, 1);
    BHVR_SetAsynchronousACK();
    // A widget record whose key output says space, as after a space key-down.
    widget.keys.output = 1;
    widget.keys.key = KEY_SPACE;
    button.Step(1, widget, 1, 1);
    BHVR_Step();
    EXPECT_EQ(0, int(button.on)) << Name(kind);
    EXPECT_EQ(1, int(button.event)) << Name(kind);
  }
}

TEST(TwoStateDifferenceTest, WithoutAcknowledgeTheEventIsHeld) {
  for (Kind kind : {Kind::kToggle, Kind::kCheck}) {
    CycleDriver driver;
    driver.SetAcknowledging(false);
    TestWidget widget(0, 0, 150, 50);
    TwoStateButton button(kind);
    driver.OnCycle([&] {
      widget.Sense();
      button.Step(1, widget, 0, 0);
    });
    driver.MoveTo(20.0f, 20.0f);
    driver.Press();
    driver.Cycles(4);
    EXPECT_EQ(1, int(button.event)) << Name(kind);
    EXPECT_EQ(1, int(button.on)) << Name(kind);
  }
}

}  // namespace
