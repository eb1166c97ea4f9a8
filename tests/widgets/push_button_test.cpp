// Push button stories, replayed cycle by cycle through the focus and key
// detectors as the display class feeds the behaviour.
#include "widgets/PushButton.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/cycle_driver.h"

namespace {

// One cycle: the pointer on the button ('o') or off it ('x'); what arrives
// ('-' nothing, 'p' press, 'r' release, 'd' / 'u' space down / up, 'k'
// another key); the outputs after the cycle.
struct Row {
  char at;
  char input;
  int fired;
  int armed;
};

struct Story {
  const char* name;
  uint32_t mode;
  bool enabled;
  bool acknowledging;
  std::vector<Row> rows;
};

TEST(PushButton, Stories) {
  const Story stories[] = {
      {"release mode fires once, on the release after a press on it", 2, true, true,
       {{'o', '-', 0, 0}, {'o', 'p', 0, 1}, {'o', '-', 0, 1}, {'o', 'r', 1, 0}, {'o', '-', 0, 0}}},
      {"release mode ignores a release whose press was elsewhere", 2, true, true,
       {{'x', 'p', 0, 0}, {'x', '-', 0, 0}, {'o', '-', 0, 0}, {'o', 'r', 0, 0}, {'o', '-', 0, 0}}},
      {"dragged off, the button keeps the focus and fires on the release", 2, true, true,
       {{'o', 'p', 0, 1}, {'x', '-', 0, 1}, {'x', 'r', 1, 0}, {'x', '-', 0, 0}}},
      {"press mode fires on the press for one cycle", 1, true, true,
       {{'o', 'p', 1, 1}, {'o', 'r', 0, 0}, {'o', '-', 0, 0}}},
      {"a double click fires twice, one cycle each (press mode)", 1, true, true,
       {{'o', 'p', 1, 1}, {'o', 'r', 0, 0}, {'o', 'p', 1, 1}, {'o', 'r', 0, 0}}},
      {"a double click fires twice, one cycle each (release mode)", 2, true, true,
       {{'o', 'p', 0, 1}, {'o', 'r', 1, 0}, {'o', 'p', 0, 1}, {'o', 'r', 1, 0}, {'o', '-', 0, 0}}},
      {"space presses the focused button wherever the pointer is", 2, true, true,
       {{'o', '-', 0, 0}, {'x', 'd', 0, 1}, {'x', 'u', 1, 0}, {'x', 'k', 0, 0}}},
      {"space in press mode fires on key down", 1, true, true,
       {{'o', '-', 0, 0}, {'o', 'd', 1, 1}, {'o', 'u', 0, 0}}},
      {"a disabled button never takes the focus, so ignores clicks and keys", 2, false, true,
       {{'o', 'p', 0, 0}, {'o', 'r', 0, 0}, {'o', 'd', 0, 0}, {'o', 'u', 0, 0}}},
      {"without acknowledge the event is held until the next firing", 2, true, false,
       {{'o', 'p', 0, 1}, {'o', 'r', 1, 0}, {'o', '-', 1, 0}, {'o', 'p', 1, 1}, {'o', 'r', 0, 0}}},
  };
  for (const Story& story : stories) {
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
                         widget.keyPressed(), widget.key(), widget.keyReleased(), &fired, &armed,
                         &button);
    });
    for (size_t i = 0; i < story.rows.size(); ++i) {
      const Row& row = story.rows[i];
      driver.MoveTo(row.at == 'o' ? 120.0f : 600.0f, 120.0f);
      if (row.input == 'p') driver.Press();
      if (row.input == 'r') driver.Release();
      if (row.input == 'd') driver.KeyDown(KEY_SPACE);
      if (row.input == 'u') driver.KeyUp(KEY_SPACE);
      if (row.input == 'k') driver.KeyDown('a');
      driver.Cycle();
      EXPECT_EQ(row.fired, int(fired)) << story.name << ", cycle " << i;
      EXPECT_EQ(row.armed, int(armed)) << story.name << ", cycle " << i;
    }
  }
}

}  // namespace
