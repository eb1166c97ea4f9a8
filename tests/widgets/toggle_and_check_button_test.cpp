// Toggle and check buttons: one machine, told through the same stories; they
// differ only when a load and a click fall in the same cycle.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "tests/support/cycle_driver.h"
#include "widgets/CheckButton.h"
#include "widgets/ToggleButton.h"

namespace {

enum Kinds { kToggle = 1, kCheck = 2, kBoth = 3 };

TEST(ToggleAndCheckButton, Stories) {
  // Actions, one per cycle, with the pointer on the button (small letters,
  // '-') or off it (capitals, '_'): 'p' / 'r' left press / release, 'q' /
  // 'w' right press / release, 's' space, '-' nothing; '0' / '1' load that
  // value, 'a' / 'b' a left press while loading 0 / 1, 'c' space while
  // loading 1. Without a load the value input is the story's, which the
  // first step takes. Traced: on, event.
  const struct {
    const char* name;
    int kinds;
    uint32_t mode;
    uint8_t value;
    const char* actions;
    const char* trace;
  } stories[] = {
      {"press mode: a left press or space toggles, the event lasts one cycle", kBoth, 1, 0,
       "-prqwS_P", "00 11 10 10 10 01 00 00 "},
      {"release mode: toggles only when pressed and released on it", kBoth, 2, 0, "-p_R-rpr-",
       "00 00 00 00 00 00 00 11 10 "},
      {"the first step and a load take the value without an event", kBoth, 1, 1, "_0_1",
       "10 00 00 10 "},
      {"toggle: a click in a loading cycle flips the loaded value", kToggle, 1, 0, "-arb",
       "00 11 10 01 "},
      {"check: a click in a loading cycle is ignored, the loaded value shows", kCheck, 1, 0, "-arb",
       "00 00 00 10 "},
      {"space in a loading cycle flips the loaded value in both", kBoth, 1, 0, "-c", "00 01 "},
  };
  for (const auto& story : stories) {
    for (int kind : {kToggle, kCheck}) {
      if ((story.kinds & kind) == 0) continue;
      velkor_test::CycleDriver driver;
      velkor_test::TestWidget w(0, 0, 150, 50);
      ToggleButton_State toggle;
      CheckButton_State check;
      ToggleButton_init(&toggle);
      CheckButton_init(&check);
      uint8_t on = 0, event = 0, load = 0, value = story.value;
      driver.OnCycle([&] {
        w.Sense();
        if (kind == kToggle) {
          wrapper_ToggleButton(story.mode, w.hover, w.pressed(), w.released(), w.button(), value,
                               load, w.spaceKey(), &event, &on, &toggle);
        } else {
          wrapper_CheckButton(value, load, story.mode, w.pressed(), w.released(), w.button(),
                              w.hover, w.spaceKey(), &on, &event, &check);
        }
      });
      std::string trace;
      for (char action : std::string(story.actions)) {
        driver.MoveTo(std::isupper(action) || action == '_' ? 500.0f : 20.0f, 20.0f);
        const char a = std::tolower(action);
        if (a == 'p' || a == 'a' || a == 'b' || a == 'q') driver.Press(a == 'q' ? 2 : 1);
        if (a == 'r' || a == 'w') driver.Release(a == 'w' ? 2 : 1);
        if (a == 's' || a == 'c') driver.KeyDown(KEY_SPACE);
        load = a == '0' || a == '1' || a == 'a' || a == 'b' || a == 'c';
        value = load ? (a == '1' || a == 'b' || a == 'c') : story.value;
        driver.Cycle();
        trace += std::to_string(on) + std::to_string(event) + " ";
      }
      EXPECT_EQ(story.trace, trace) << (kind == kToggle ? "toggle: " : "check: ") << story.name;
    }
  }
}

}  // namespace
