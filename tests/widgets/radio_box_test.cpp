// Radio box: clicks, the keyboard cursor with its limits, Enter on enabled and
// disabled items, loading, and inputs far outside the 16 items.
#include "widgets/RadioBox.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "tests/support/cycle_driver.h"

namespace {

class RadioBoxTest : public ::testing::Test {
 protected:
  velkor_test::CycleDriver driver;
  RadioBox_State box;
  int32_t count = 3;  // three buttons, button 2 disabled
  int32_t selectedIn = 0;
  uint8_t enabled[RADIOBOX_MAX_ITEMS] = {1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  uint8_t clicks[RADIOBOX_MAX_ITEMS] = {};
  uint8_t requests[RADIOBOX_MAX_ITEMS] = {};
  uint8_t load = 0, keyPressed = 0, selection[RADIOBOX_MAX_ITEMS] = {}, event = 0;
  uint32_t key = 0;
  int32_t selected = -9, cursor = -9;
  bool oneFlag = true;  // the selection shows the selected button's flag alone

  void SetUp() override {
    RadioBox_init(&box);
    driver.OnCycle([this] {
      wrapper_RadioBox(count, clicks, selectedIn, load, keyPressed, key, requests, enabled,
                       selection, &event, &selected, &cursor, &box);
    });
  }

  // Runs one cycle per action: a digit clicks that button, '<' '>' '^' 'v'
  // are the arrow keys, '#' Enter, 'r' a cursor request from button 2 with
  // KEY_RIGHT, 'L' a load, '.' nothing. Traces "cursor.selected" and '!'
  // for the event.
  std::string Run(const std::string& actions) {
    std::string trace;
    for (char a : actions) {
      if (a >= '0' && a <= '9') clicks[a - '0'] = 1;
      requests[2] = a == 'r';
      const std::string keyLetters = "<>^v#r";
      const uint32_t keys[] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_ENTER, KEY_RIGHT};
      keyPressed = keyLetters.find(a) != std::string::npos;
      key = keyPressed ? keys[keyLetters.find(a)] : 0;
      load = a == 'L';
      driver.Cycle();
      std::memset(clicks, 0, sizeof clicks);
      trace += std::to_string(cursor) + "." + std::to_string(selected) + (event ? "! " : " ");
      if (oneFlag) {
        uint8_t expected[RADIOBOX_MAX_ITEMS] = {};
        expected[selected] = 1;
        EXPECT_EQ(0, std::memcmp(expected, selection, sizeof expected)) << "one flag only";
      }
    }
    return trace;
  }
};

TEST_F(RadioBoxTest, ClicksKeyboardCursorAndEnterOnEnabledAndDisabledItems) {
  // A click selects; the keys move the cursor only, within the buttons;
  // Enter on the disabled button 2 does nothing, on button 0 it selects.
  EXPECT_EQ("0.0 0.1! 0.1 1.1 2.1 2.1 2.1 1.1 0.1 0.1 0.0! 0.0 ", Run(".11>v>#<^<#."));
  EXPECT_EQ("2.0 ", Run("r")) << "a cursor request wins over the key";
}

TEST_F(RadioBoxTest, LoadSelectsTheIndexOrZeroWhenOutOfRange) {
  Run(".");
  std::string trace;
  for (const int32_t in : {1, 2, 3, -1, INT_MAX, INT_MIN}) {
    selectedIn = in;
    trace += Run("L");
  }
  EXPECT_EQ("0.1 0.2 0.0 0.0 0.0 0.0 ", trace) << "a load is no user event";
}

// Inputs far outside the 16 items must neither index outside the arrays nor
// overflow the cursor arithmetic (the sanitizer build checks both).
TEST_F(RadioBoxTest, ExtremeInputsStayInsideTheArrays) {
  const struct {
    int32_t count, selectedIn;
    const char* keys;
  } cases[] = {{100, 40, ">>"}, {100, INT_MAX, ">>"},     {-5, 3, ">>"},      {0, INT_MIN, "<<"},
               {16, 200, "##"}, {INT_MIN, INT_MIN, "vv"}, {INT_MAX, -1, "^^"}};
  for (const auto& c : cases) {
    RadioBox_reset(&box);
    count = c.count;
    selectedIn = c.selectedIn;
    std::memset(enabled, 1, sizeof enabled);
    std::memset(clicks, 1, sizeof clicks);
    oneFlag = false;
    Run(std::string(".") + c.keys);  // the load after the reset puts the cursor on selectedIn
    EXPECT_GE(selected, 0) << "count " << c.count << " selectedIn " << c.selectedIn;
    EXPECT_LT(selected, RADIOBOX_MAX_ITEMS) << "count " << c.count;
  }
}

TEST_F(RadioBoxTest, ACursorOutsideTheItemsDisablesEnterUntilItStepsBackIn) {
  count = 16;
  selectedIn = 40;
  EXPECT_EQ("40.0 40.0 39.0 15.0 ", Run(".#<>")) << "the step right lands on the last button";
}

}  // namespace
