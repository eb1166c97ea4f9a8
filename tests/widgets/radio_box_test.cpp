// Radio box: clicks, the keyboard cursor with its limits, Enter on enabled and
// disabled items, loading, and inputs far outside the 16 items.
#include "widgets/RadioBox.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "tests/support/cycle_driver.h"

namespace {

class RadioBoxTest : public ::testing::Test {
 protected:
  velkor_test::CycleDriver driver;
  RadioBox_State box;
  int32_t count = 3;
  int32_t selectedIn = 0;
  uint8_t clicks[RADIOBOX_MAX_ITEMS] = {};
  uint8_t requests[RADIOBOX_MAX_ITEMS] = {};
  uint8_t enabled[RADIOBOX_MAX_ITEMS] = {1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  uint8_t load = 0, keyPressed = 0;
  uint32_t key = 0;
  uint8_t selection[RADIOBOX_MAX_ITEMS] = {};
  uint8_t event = 0;
  int32_t selected = -9, cursor = -9;

  void SetUp() override {
    RadioBox_init(&box);
    driver.OnCycle([this] {
      wrapper_RadioBox(count, clicks, selectedIn, load, keyPressed, key, requests, enabled,
                       selection, &event, &selected, &cursor, &box);
    });
  }

  // One cycle with a click on item `click`, a key and a cursor request on
  // item `request` (-1 / 0: none); the pulses last that cycle only.
  void Cycle(int click = -1, uint32_t pressedKey = 0, int request = -1) {
    if (click >= 0) clicks[click] = 1;
    if (request >= 0) requests[request] = 1;
    keyPressed = pressedKey != 0;
    key = pressedKey;
    driver.Cycle();
    std::memset(clicks, 0, sizeof clicks);
    std::memset(requests, 0, sizeof requests);
    keyPressed = 0;
    load = 0;
  }
};

TEST_F(RadioBoxTest, ClicksKeyboardCursorAndEnterOnEnabledAndDisabledItems) {
  // Three buttons, button 2 disabled.
  const struct {
    int click;
    uint32_t key;
    int request;
    int32_t cursor, selected;
    int event;
    const char* note;
  } story[] = {
      {-1, 0, -1, 0, 0, 0, "the first step selects selectedIn"},
      {1, 0, -1, 0, 1, 1, "click on button 1"},
      {1, 0, -1, 0, 1, 0, "clicking the selected button again is no event"},
      {-1, KEY_RIGHT, -1, 1, 1, 0, "the cursor alone moves"},
      {-1, KEY_DOWN, -1, 2, 1, 0, ""},
      {-1, KEY_RIGHT, -1, 2, 1, 0, "stays on the last button"},
      {-1, KEY_ENTER, -1, 2, 1, 0, "Enter on the disabled button 2 does nothing"},
      {-1, KEY_LEFT, -1, 1, 1, 0, ""},
      {-1, KEY_UP, -1, 0, 1, 0, ""},
      {-1, KEY_LEFT, -1, 0, 1, 0, "stays on the first button"},
      {-1, KEY_ENTER, -1, 0, 0, 1, "Enter chooses the cursor's button"},
      {-1, 0, -1, 0, 0, 0, "the event lasted one cycle"},
      {-1, KEY_RIGHT, 2, 2, 0, 0, "a cursor request wins over the key"},
  };
  for (const auto& row : story) {
    Cycle(row.click, row.key, row.request);
    SCOPED_TRACE(row.note);
    EXPECT_EQ(row.cursor, cursor);
    EXPECT_EQ(row.selected, selected);
    EXPECT_EQ(row.event, int(event));
    uint8_t expected[RADIOBOX_MAX_ITEMS] = {};
    expected[row.selected] = 1;
    EXPECT_EQ(0, std::memcmp(expected, selection, sizeof expected));
  }
}

TEST_F(RadioBoxTest, LoadSelectsTheIndexOrZeroWhenOutOfRange) {
  Cycle();
  for (const int32_t in : {1, 2, 3, -1, INT_MAX, INT_MIN}) {
    selectedIn = in;
    load = 1;
    Cycle();
    EXPECT_EQ((in >= 0 && in < count) ? in : 0, selected) << "selectedIn " << in;
    EXPECT_EQ(0, int(event)) << "a load is no user event";
  }
}

// Inputs far outside the 16 items must neither index outside the arrays nor
// overflow the cursor arithmetic (the sanitizer build checks both).
TEST_F(RadioBoxTest, ExtremeInputsStayInsideTheArrays) {
  const struct {
    int32_t count, selectedIn;
    uint32_t key;
  } cases[] = {
      {100, 40, KEY_RIGHT}, {100, INT_MAX, KEY_RIGHT}, {-5, 3, KEY_RIGHT},
      {0, INT_MIN, KEY_LEFT}, {16, 200, KEY_ENTER}, {INT_MIN, INT_MIN, KEY_DOWN},
      {INT_MAX, -1, KEY_UP},
  };
  for (const auto& c : cases) {
    RadioBox_reset(&box);
    count = c.count;
    selectedIn = c.selectedIn;
    std::memset(enabled, 1, sizeof enabled);
    std::memset(clicks, 1, sizeof clicks);
    Cycle();  // the load after the reset puts the cursor on selectedIn
    Cycle(-1, c.key);
    Cycle(-1, c.key);
    EXPECT_GE(selected, 0) << "count " << c.count << " selectedIn " << c.selectedIn;
    EXPECT_LT(selected, RADIOBOX_MAX_ITEMS) << "count " << c.count;
  }
}

TEST_F(RadioBoxTest, ACursorOutsideTheItemsDisablesEnterUntilItStepsBackIn) {
  count = 16;
  selectedIn = 40;
  Cycle();
  EXPECT_EQ(40, cursor);
  Cycle(-1, KEY_ENTER);
  EXPECT_EQ(0, int(event));
  Cycle(-1, KEY_LEFT);
  EXPECT_EQ(39, cursor);
  Cycle(-1, KEY_RIGHT);
  EXPECT_EQ(15, cursor) << "the next step right lands on the last button";
}

}  // namespace
