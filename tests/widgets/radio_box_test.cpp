// Radio box: clicks, the keyboard cursor with its limits, Enter on enabled and
// disabled items, loading, and inputs far outside the 16 items.
#include "widgets/RadioBox.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "tests/support/cycle_driver.h"

namespace {

using velkor_test::CycleDriver;

struct Inputs {
  int32_t count = 3;
  uint8_t clicks[RADIOBOX_MAX_ITEMS] = {};
  int32_t selectedIn = 0;
  uint8_t load = 0;
  uint8_t keyPressed = 0;
  uint32_t key = 0;
  uint8_t focusRequests[RADIOBOX_MAX_ITEMS] = {};
  uint8_t enabled[RADIOBOX_MAX_ITEMS] = {1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
};

class RadioBoxTest : public ::testing::Test {
 protected:
  CycleDriver driver;
  RadioBox_State box;
  Inputs in;
  uint8_t selection[RADIOBOX_MAX_ITEMS] = {};
  uint8_t event = 0;
  int32_t selected = -9;
  int32_t cursor = -9;

  void SetUp() override {
    RadioBox_init(&box);
    wrapper_RadioBox_reset(&box);
    driver.OnCycle([this] {
      wrapper_RadioBox(in.count, in.clicks, in.selectedIn, in.load, in.keyPressed, in.key,
                       in.focusRequests, in.enabled, selection, &event, &selected, &cursor, &box);
    });
  }

  // One cycle with only the given transient inputs; they are cleared after it.
  void Cycle(int click = -1, uint32_t key = 0, int focusRequest = -1) {
    if (click >= 0) in.clicks[click] = 1;
    if (key != 0) {
      in.keyPressed = 1;
      in.key = key;
    }
    if (focusRequest >= 0) in.focusRequests[focusRequest] = 1;
    driver.Cycle();
    std::memset(in.clicks, 0, sizeof in.clicks);
    std::memset(in.focusRequests, 0, sizeof in.focusRequests);
    in.keyPressed = 0;
    in.key = 0;
    in.load = 0;
  }

  int SelectedFlags() const {
    int n = 0;
    for (uint8_t flag : selection) n += flag;
    return n;
  }
};

struct Row {
  int click;
  uint32_t key;
  int32_t cursor;
  int32_t selected;
  int event;
  const char* note;
};

TEST_F(RadioBoxTest, ClicksKeyboardCursorAndEnter) {
  // Three buttons, button 2 disabled.
  const Row story[] = {
      {-1, 0, 0, 0, 0, "first step selects selectedIn"},
      {1, 0, 0, 1, 1, "click on button 1"},
      {1, 0, 0, 1, 0, "clicking the selected button again is no event"},
      {-1, KEY_RIGHT, 1, 1, 0, "the cursor alone moves"},
      {-1, KEY_DOWN, 2, 1, 0, ""},
      {-1, KEY_RIGHT, 2, 1, 0, "stays on the last button"},
      {-1, KEY_ENTER, 2, 1, 0, "Enter on the disabled button 2 does nothing"},
      {-1, KEY_LEFT, 1, 1, 0, ""},
      {-1, KEY_UP, 0, 1, 0, ""},
      {-1, KEY_LEFT, 0, 1, 0, "stays on the first button"},
      {-1, KEY_ENTER, 0, 0, 1, "Enter chooses the cursor's button"},
      {-1, 0, 0, 0, 0, "the event lasted one cycle"},
  };
  for (const Row& row : story) {
    Cycle(row.click, row.key);
    EXPECT_EQ(row.cursor, cursor) << "cycle " << driver.cycle() << ": " << row.note;
    EXPECT_EQ(row.selected, selected) << "cycle " << driver.cycle() << ": " << row.note;
    EXPECT_EQ(row.event, int(event)) << "cycle " << driver.cycle() << ": " << row.note;
    EXPECT_EQ(1, SelectedFlags()) << "cycle " << driver.cycle();
    EXPECT_EQ(1, selection[selected]) << "cycle " << driver.cycle();
  }
}

TEST_F(RadioBoxTest, EnterOnAnEnabledLastButtonSelectsIt) {
  in.enabled[2] = 1;
  Cycle();
  Cycle(-1, KEY_RIGHT);
  Cycle(-1, KEY_RIGHT);
  Cycle(-1, KEY_RIGHT);
  EXPECT_EQ(2, cursor);
  Cycle(-1, KEY_ENTER);
  EXPECT_EQ(2, selected);
  EXPECT_EQ(1, int(event));
}

TEST_F(RadioBoxTest, AFocusRequestPutsTheCursorOnThatButton) {
  Cycle();
  Cycle(-1, KEY_RIGHT, 2);  // the request wins over the key
  EXPECT_EQ(2, cursor);
  EXPECT_EQ(0, selected);
}

TEST_F(RadioBoxTest, LoadSelectsTheIndexOrZeroWhenOutOfRange) {
  struct Case {
    int32_t selectedIn;
    int32_t selected;
  };
  const Case cases[] = {{1, 1}, {2, 2}, {3, 0}, {-1, 0}, {INT_MAX, 0}, {INT_MIN, 0}};
  Cycle();
  for (const Case& c : cases) {
    in.selectedIn = c.selectedIn;
    in.load = 1;
    Cycle();
    EXPECT_EQ(c.selected, selected) << "selectedIn " << c.selectedIn;
    EXPECT_EQ(0, int(event)) << "a load is no user event";
    EXPECT_EQ(1, SelectedFlags());
  }
}

TEST_F(RadioBoxTest, TwoClicksInOneCycleSelectTheFirst) {
  Cycle();
  in.clicks[2] = 1;
  Cycle(1);
  EXPECT_EQ(1, selected);
  EXPECT_EQ(1, int(event));
}

TEST_F(RadioBoxTest, HostThatNeverAcknowledgesHoldsTheEvent) {
  driver.SetAcknowledging(false);
  Cycle();
  Cycle(1);
  Cycle();
  Cycle();
  EXPECT_EQ(1, int(event));
}

// Inputs far outside the 16 items must neither index outside the arrays nor
// overflow the cursor arithmetic (the sanitizer build checks both).
TEST_F(RadioBoxTest, ExtremeInputsStayInsideTheArrays) {
  struct Case {
    int32_t count;
    int32_t selectedIn;
    uint32_t key;
  };
  const Case cases[] = {
      {100, 40, KEY_RIGHT},     {100, INT_MAX, KEY_RIGHT}, {-5, 3, KEY_RIGHT},
      {0, INT_MIN, KEY_LEFT},   {16, 15, KEY_ENTER},       {16, 200, KEY_ENTER},
      {INT_MIN, INT_MIN, KEY_DOWN}, {INT_MAX, -1, KEY_UP},
  };
  for (const Case& c : cases) {
    RadioBox_reset(&box);
    in.count = c.count;
    in.selectedIn = c.selectedIn;
    std::memset(in.clicks, 1, sizeof in.clicks);
    Cycle();  // load pending: the cursor takes selectedIn
    Cycle(-1, c.key);
    Cycle(-1, c.key);
    EXPECT_GE(selected, 0) << "count " << c.count << " selectedIn " << c.selectedIn;
    EXPECT_LT(selected, RADIOBOX_MAX_ITEMS) << "count " << c.count;
  }
}

TEST_F(RadioBoxTest, ACursorOutsideTheItemsDisablesEnter) {
  in.count = 16;
  in.selectedIn = 40;  // the first step puts the cursor at 40
  Cycle();
  EXPECT_EQ(40, cursor);
  in.selectedIn = 3;
  Cycle(-1, KEY_ENTER);
  EXPECT_EQ(0, int(event));
  EXPECT_EQ(0, selected);
  Cycle(-1, KEY_LEFT);
  EXPECT_EQ(39, cursor);
  Cycle(-1, KEY_RIGHT);
  EXPECT_EQ(15, cursor) << "the next step right lands on the last button";
}

TEST(RadioBoxInitTest, InitAndResetValues) {
  RadioBox_State box;
  std::memset(&box, 0x5A, sizeof box);
  RadioBox_init(&box);
  EXPECT_EQ(1, box.event);
  EXPECT_EQ(-1, box.selectedIndex);
  EXPECT_EQ(0, box.cursor);
  EXPECT_EQ(1, box.loadPending);
  box.cursor = 7;
  box.event = 0;
  box.selection[3] = 1;
  RadioBox_reset(&box);
  EXPECT_EQ(7, box.cursor) << "reset keeps the cursor";
  EXPECT_EQ(0, box.event) << "and the event";
  EXPECT_EQ(0, box.selection[3]);
  EXPECT_EQ(-1, box.selectedIndex);
}

}  // namespace
