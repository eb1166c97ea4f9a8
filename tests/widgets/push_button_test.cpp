// Push button stories, replayed cycle by cycle through the focus and key
// detectors as the display class feeds the behaviour.
#include "widgets/PushButton.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "tests/support/cycle_driver.h"

namespace {

TEST(PushButton, Stories) {
  // Actions, one per cycle, with the pointer on the button (small letters,
  // '-') or off it (capitals, '_'): 'p' press, 'r' release, 'w' a wheel
  // notch (a press the host never releases), 'b' / 'c' right press /
  // release, 'd' / 'u' space down / up, 'k' another key down, '-' nothing.
  // Traced: fired and armed.
  const struct {
    const char* name;
    uint32_t mode;
    bool enabled, acknowledging;
    const char* actions;
    const char* trace;
  } stories[] = {
      {"release mode fires once, on the release after a press on it", 2, true, true, "-p-r-",
       "00 01 01 10 00 "},
      {"release mode ignores a release whose press was elsewhere", 2, true, true, "P_-r-",
       "00 00 00 00 00 "},
      {"dragged off, the button keeps the focus and fires on the release", 2, true, true, "p_R_",
       "01 01 10 00 "},
      {"press mode fires on the press for one cycle", 1, true, true, "pr-", "11 00 00 "},
      {"a double click fires twice, one cycle each", 1, true, true, "prpr", "11 00 11 00 "},
      {"a double click fires twice, one cycle each", 2, true, true, "prpr-", "01 10 01 10 00 "},
      {"space presses the focused button wherever the pointer is", 2, true, true, "-DUK",
       "00 01 10 00 "},
      {"space in press mode fires on key down", 1, true, true, "-du", "00 11 00 "},
      {"a disabled button never takes the focus", 2, false, true, "prdu", "00 00 00 00 "},
      {"without acknowledge the event is held until the next firing", 2, true, false, "pr-pr",
       "01 10 10 11 00 "},
      {"a wheel notch arms nothing, so a later click elsewhere fires nothing", 2, true, true,
       "w_PR", "00 00 00 00 "},
      {"a right click arms nothing", 2, true, true, "bc_PR", "00 00 00 00 00 "},
      {"in press mode neither the wheel nor the right button fires", 1, true, true, "w-bc",
       "00 00 00 00 "},
  };
  for (const auto& story : stories) {
    velkor_test::CycleDriver driver;
    velkor_test::TestWidget widget(100, 100, 150, 50);
    widget.enabled = story.enabled;
    PushButton_State button;
    PushButton_init(&button);
    uint8_t fired = 0, armed = 0;
    driver.SetAcknowledging(story.acknowledging);
    driver.OnCycle([&] {
      widget.Sense();
      wrapper_PushButton(story.mode, widget.hover, widget.pressed(), widget.released(),
                         widget.button(), widget.keyPressed(), widget.key(), widget.keyReleased(),
                         &fired, &armed, &button);
    });
    std::string trace;
    for (char action : std::string(story.actions)) {
      const bool on = std::islower(action) || action == '-';
      driver.MoveTo(on ? 120.0f : 600.0f, 120.0f);
      const char a = std::tolower(action);
      if (a == 'p') driver.Press();
      if (a == 'r') driver.Release();
      if (a == 'w') driver.Press(4);
      if (a == 'b') driver.Press(2);
      if (a == 'c') driver.Release(2);
      if (a == 'd' || a == 'k') driver.KeyDown(a == 'd' ? KEY_SPACE : 'a');
      if (a == 'u') driver.KeyUp(KEY_SPACE);
      driver.Cycle();
      trace += std::to_string(fired) + std::to_string(armed) + " ";
    }
    EXPECT_EQ(story.trace, trace) << story.name << " (mode " << story.mode << ")";
  }
}

}  // namespace
