// Toggle and check buttons: one machine, told through the same stories; they
// differ only when a load and a click fall in the same cycle.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/cycle_driver.h"
#include "widgets/CheckButton.h"
#include "widgets/ToggleButton.h"

namespace {

enum Kinds { kToggle = 1, kCheck = 2, kBoth = 3 };

// One cycle: the pointer on the button ('o') or off it ('x'); what arrives
// ('-' nothing, 'p' / 'r' left press / release, 'P' / 'R' right press /
// release, 's' space); load and value; the outputs after the cycle.
struct Row {
  char at;
  char input;
  uint8_t load;
  uint8_t value;
  int on;
  int event;
};

struct Story {
  const char* name;
  int kinds;
  uint32_t mode;
  std::vector<Row> rows;
};

TEST(ToggleAndCheckButton, Stories) {
  const Story stories[] = {
      {"press mode: a left press or space toggles, the event lasts one cycle", kBoth, 1,
       {{'o', '-', 0, 0, 0, 0}, {'o', 'p', 0, 0, 1, 1}, {'o', 'r', 0, 0, 1, 0},
        {'o', 'P', 0, 0, 1, 0}, {'o', 'R', 0, 0, 1, 0}, {'x', 's', 0, 0, 0, 1},
        {'x', '-', 0, 0, 0, 0}, {'x', 'p', 0, 0, 0, 0}}},
      {"release mode: toggles only when pressed and released on it", kBoth, 2,
       {{'o', '-', 0, 0, 0, 0}, {'o', 'p', 0, 0, 0, 0}, {'x', '-', 0, 0, 0, 0},
        {'x', 'r', 0, 0, 0, 0}, {'o', '-', 0, 0, 0, 0}, {'o', 'r', 0, 0, 0, 0},
        {'o', 'p', 0, 0, 0, 0}, {'o', 'r', 0, 0, 1, 1}, {'o', '-', 0, 0, 1, 0}}},
      {"the first step and a load take the value without an event", kBoth, 1,
       {{'x', '-', 0, 1, 1, 0}, {'x', '-', 1, 0, 0, 0}, {'x', '-', 0, 1, 0, 0},
        {'x', '-', 1, 1, 1, 0}}},
      {"toggle: a click in a loading cycle flips the loaded value", kToggle, 1,
       {{'o', '-', 0, 0, 0, 0}, {'o', 'p', 1, 0, 1, 1}, {'o', 'r', 0, 0, 1, 0},
        {'o', 'p', 1, 1, 0, 1}}},
      {"check: a click in a loading cycle is ignored, the loaded value shows", kCheck, 1,
       {{'o', '-', 0, 0, 0, 0}, {'o', 'p', 1, 0, 0, 0}, {'o', 'r', 0, 0, 0, 0},
        {'o', 'p', 1, 1, 1, 0}}},
      {"space in a loading cycle flips the loaded value in both", kBoth, 1,
       {{'o', '-', 0, 0, 0, 0}, {'o', 's', 1, 1, 0, 1}}},
  };
  for (const Story& story : stories) {
    for (int kind : {kToggle, kCheck}) {
      if ((story.kinds & kind) == 0) continue;
      SCOPED_TRACE(std::string(kind == kToggle ? "toggle: " : "check: ") + story.name);
      velkor_test::CycleDriver driver;
      velkor_test::TestWidget w(0, 0, 150, 50);
      ToggleButton_State toggle;
      CheckButton_State check;
      ToggleButton_init(&toggle);
      CheckButton_init(&check);
      uint8_t on = 0, event = 0, load = 0, value = 0;
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
      for (size_t i = 0; i < story.rows.size(); ++i) {
        const Row& row = story.rows[i];
        driver.MoveTo(row.at == 'o' ? 20.0f : 500.0f, 20.0f);
        if (row.input == 'p' || row.input == 'P') driver.Press(row.input == 'p' ? 1 : 2);
        if (row.input == 'r' || row.input == 'R') driver.Release(row.input == 'r' ? 1 : 2);
        if (row.input == 's') driver.KeyDown(KEY_SPACE);
        load = row.load;
        value = row.value;
        driver.Cycle();
        EXPECT_EQ(row.on, int(on)) << "cycle " << i;
        EXPECT_EQ(row.event, int(event)) << "cycle " << i;
      }
    }
  }
}

}  // namespace
