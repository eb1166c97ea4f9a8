// Push, toggle and check buttons, the radio box and the pop-up panel, cycle by cycle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <string>
#include <tuple>

#include "tests/support/cycle_driver.h"
#include "widgets/CheckButton.h"
#include "widgets/PopUpPanel.h"
#include "widgets/PushButton.h"
#include "widgets/RadioBox.h"
#include "widgets/ToggleButton.h"

namespace {

// One action of a button story, the pointer on the button (small letters, '-') or off it
// (capitals, '_'): 'p' / 'r' left press / release, 'q' / 'w' right press / release, 'n' a wheel
// notch (a press the host never releases), 's' / 'u' space down / up, 'k' another key, '-'
// nothing; 'a' / 'b' a left press and 'c' space, each while the toggle or check loads a value.
void act(velkor_test::CycleDriver& driver, char action) {
  const char a = std::tolower(action);
  driver.MoveTo(std::isupper(action) || action == '_' ? 600.0f : 120.0f, 120.0f);
  if (a == 'p' || a == 'a' || a == 'b' || a == 'q' || a == 'n') {
    driver.Press(a == 'q' ? 2 : (a == 'n' ? 4 : 1));
  }
  if (a == 'r' || a == 'w') driver.Release(a == 'w' ? 2 : 1);
  if (a == 's' || a == 'c' || a == 'k') driver.KeyDown(a == 'k' ? 'a' : KEY_SPACE);
  if (a == 'u') driver.KeyUp(KEY_SPACE);
}

enum Kinds { kPush = 1, kToggle = 2, kCheck = 4, kBoth = 6 };

// One button of `kind` through `actions`, a cycle each. Traced: the push button's fired and
// armed, the toggle's and the check's on and event. 'a' loads 0, 'b' and 'c' load 1.
std::string run_story(int kind, uint32_t mode, bool acknowledging, const char* actions) {
  velkor_test::CycleDriver driver;
  velkor_test::TestWidget w(100, 100, 150, 50);
  PushButton_State push;
  ToggleButton_State toggle;
  CheckButton_State check;
  PushButton_init(&push);
  ToggleButton_init(&toggle);
  CheckButton_init(&check);
  uint8_t first = 0, second = 0, load = 0, value = 0;
  driver.SetAcknowledging(acknowledging);
  driver.OnCycle([&] {
    w.Sense();
    if (kind == kPush) {
      wrapper_PushButton(mode, w.hover, w.pressed(), w.released(), w.button(), w.keyPressed(),
                         w.key(), w.keyReleased(), &first, &second, &push);
    } else if (kind == kToggle) {
      wrapper_ToggleButton(mode, w.hover, w.pressed(), w.released(), w.button(), value, load,
                           w.spaceKey(), &second, &first, &toggle);
    } else {
      wrapper_CheckButton(value, load, mode, w.pressed(), w.released(), w.button(), w.hover,
                          w.spaceKey(), &first, &second, &check);
    }
  });
  std::string trace;
  for (char a : std::string(actions)) {
    act(driver, a);
    load = a == 'a' || a == 'b' || a == 'c';
    value = a == 'b' || a == 'c';
    driver.Cycle();
    trace += std::to_string(first) + std::to_string(second) + " ";
  }
  return trace;
}

TEST(Buttons, Stories) {
  // Kinds, mode, acknowledging; actions and trace.
  const std::tuple<int, uint32_t, bool, const char*, const char*> stories[] = {
      // Fired once on a release after a press on it, not elsewhere; by space, not another key.
      {kPush, 2, true, "-p-r-", "00 01 01 10 00 "},
      {kPush, 2, true, "P_-r-", "00 00 00 00 00 "},
      {kPush, 2, true, "-SUK", "00 01 10 00 "},
      {kPush, 2, false, "pr-pr", "01 10 10 11 00 "},  // unacknowledged: held until the next
      // A wheel notch or a right click arms nothing, nor fires in press mode.
      {kPush, 2, true, "n_PR", "00 00 00 00 "},
      {kPush, 2, true, "qw_PR", "00 00 00 00 00 "},
      {kPush, 1, true, "n-qw", "00 00 00 00 "},
      // A left press or space toggles; in release mode pressed and released on it.
      {kBoth, 1, true, "-prqwS_P", "00 11 10 10 10 01 00 00 "},
      {kBoth, 2, true, "-p_R-rpr-", "00 00 00 00 00 00 00 11 10 "},
      // A click or space in a loading cycle flips the loaded value; the check ignores a click.
      {kToggle, 1, true, "-arb", "00 11 10 01 "},
      {kCheck, 1, true, "-arb", "00 00 00 10 "},
      {kBoth, 1, true, "-c", "00 01 "},
  };
  for (const auto& [kinds, mode, acknowledging, actions, expected] : stories) {
    for (int kind : {kPush, kToggle, kCheck}) {
      if ((kinds & kind) == 0) continue;
      EXPECT_EQ(expected, run_story(kind, mode, acknowledging, actions))
          << "kind " << kind << ": " << actions << " (mode " << mode << ")";
    }
  }
}

class RadioBoxTest : public ::testing::Test {
 protected:
  velkor_test::CycleDriver driver;
  RadioBox_State box;
  int32_t count = 3, selectedIn = 0, selected = -9, cursor = -9;  // button 2 disabled
  uint8_t enabled[RADIOBOX_MAX_ITEMS] = {1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  uint8_t clicks[RADIOBOX_MAX_ITEMS] = {}, requests[RADIOBOX_MAX_ITEMS] = {};
  uint8_t load = 0, keyPressed = 0, selection[RADIOBOX_MAX_ITEMS] = {}, event = 0;
  uint32_t key = 0;
  bool oneFlag = true;  // the selection shows the selected button's flag alone

  void SetUp() override {
    RadioBox_init(&box);
    driver.OnCycle([this] {
      wrapper_RadioBox(count, clicks, selectedIn, load, keyPressed, key, requests, enabled,
                       selection, &event, &selected, &cursor, &box);
    });
  }

  // One cycle per action: a digit clicks that button, '<' '>' '^' 'v' the arrow keys, '#'
  // Enter, 'r' a cursor request from button 2 with KEY_RIGHT, 'L' a load, '.' nothing. Traces
  // "cursor.selected" and '!' for the event.
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
        EXPECT_EQ(1, std::count(selection, selection + RADIOBOX_MAX_ITEMS, 1)) << "one flag only";
        EXPECT_EQ(1, selection[selected]);
      }
    }
    return trace;
  }
};

TEST_F(RadioBoxTest, ClicksKeyboardCursorEnterAndLoads) {
  // A click selects; keys move the cursor within the buttons; Enter selects, not button 2.
  EXPECT_EQ("0.0 0.1! 0.1 1.1 2.1 2.1 2.1 1.1 0.1 0.1 0.0! 0.0 ", Run(".11>v>#<^<#."));
  EXPECT_EQ("2.0 ", Run("r")) << "a cursor request wins over the key";
  // A load selects the index, or 0 when out of range.
  std::string trace;
  for (const int32_t in : {1, 2, 3, -1, INT_MAX, INT_MIN}) {
    selectedIn = in;
    trace += Run("L");
  }
  EXPECT_EQ("2.1 2.2 2.0 2.0 2.0 2.0 ", trace) << "a load is no user event";
}

// Inputs far outside the 16 items stay inside the arrays (the sanitizer build checks it).
TEST_F(RadioBoxTest, ExtremeInputsStayInsideTheArrays) {
  const std::tuple<int32_t, int32_t, const char*> cases[] = {
      {100, 40, ">>"}, {100, INT_MAX, ">>"},     {-5, 3, ">>"},      {0, INT_MIN, "<<"},
      {16, 200, "##"}, {INT_MIN, INT_MIN, "vv"}, {INT_MAX, -1, "^^"}};
  for (const auto& [items, in, keys] : cases) {
    RadioBox_reset(&box);
    count = items;
    selectedIn = in;
    std::memset(enabled, 1, sizeof enabled);
    std::memset(clicks, 1, sizeof clicks);
    oneFlag = false;
    Run(std::string(".") + keys);  // the load after the reset puts the cursor on selectedIn
    EXPECT_TRUE(selected >= 0 && selected < RADIOBOX_MAX_ITEMS) << items << " items, " << in;
  }
  // A cursor outside the items disables Enter until it steps back in, onto the last button.
  RadioBox_reset(&box);
  count = 16;
  selectedIn = 40;
  EXPECT_EQ("40.0 40.0 39.0 15.0 ", Run(".#<>"));
}

TEST(PopUpPanel, RequestsApplyAtOnceAndMode1ClosesOnAPressOutside) {
  // Actions: 'O' / 'C' apply open / close, 'i' / 'o' a press inside / outside, 'B' apply open
  // with a press outside, 'r' open requested without apply, '-' nothing. Traced: open.
  for (uint32_t mode : {1u, 0u, 2u}) {
    PopUpPanel_State panel;
    PopUpPanel_init(&panel);  // shows open, but the first step starts closed
    std::string trace;
    for (char a : std::string("-oO-ioOCBr")) {
      uint8_t isOpen = 9;
      wrapper_PopUpPanel(a == 'O' || a == 'B' || a == 'r', a == 'O' || a == 'C' || a == 'B',
                         a == 'i', a == 'i' || a == 'o' || a == 'B', mode, &isOpen, &panel);
      trace += char('0' + isOpen);
    }
    EXPECT_EQ(mode == 1 ? "0011101011" : "0011111011", trace) << "mode " << mode;
  }
}

}  // namespace
