// The text edit box's whole story, told through the cycle driver the way a
// user meets it: click to edit, double click to select, type over the
// selection, Escape, Enter, a click outside, losing the focus.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/cycle_driver.h"
#include "widgets/Focus.h"
#include "widgets/TextEditBox.h"

namespace {

const std::string INVERT_ON = "\x1B" "D";
const std::string INVERT_OFF = "\x1B" "E";

// A text edit box 200 x 30 at the origin, stepped as its display class steps
// it, with the pointer over it.
struct Box {
  velkor_test::CycleDriver driver;
  velkor_test::TestWidget widget{0, 0, 200, 30};
  TextEditBox_State state;
  std::string text = "12";
  uint8_t load = 0, setCursor = 0, restricted = 0;
  int32_t maxLength = 255, cursorIndex = 0, cycle = 33;
  bool focusTakenAway = false;  // a group override withholds the focus

  uint8_t confirmed = 0, caretVisible = 0, editing = 0, selected = 0;
  int32_t caret = 0;
  char output[TEXT_SIZE_Strings] = {};
  char display[TEXT_SIZE_Strings] = {};
  int confirmations = 0;

  Box() {
    TextEditBox_init(&state);
    driver.OnCycle([this] {
      if (focusTakenAway) FocusOverride(FOCUS_OVERRIDE_UNFOCUSED);
      widget.Sense();
      ReleaseOverride();
      wrapper_TextEditBox(widget.hover, widget.pressed(), widget.button(), widget.keyPressed(),
                          widget.key(), text.c_str(), load, maxLength, setCursor, cursorIndex,
                          cycle, widget.focusState() != 0, restricted, 1, &confirmed, output,
                          &caretVisible, &caret, &editing, display, &selected, nullptr,
                          &state);
      confirmations += confirmed;
    });
    driver.MoveTo(100, 15);
  }
  std::string out() const { return std::string(output, strnlen(output, TEXT_SIZE_Strings)); }
  std::string shown() const { return std::string(display, strnlen(display, TEXT_SIZE_Strings)); }
  void Cycle() { driver.Cycle(); }
  void Click() {
    driver.Press();
    driver.Release();
    driver.Drain();
  }
  // A key's down cycle and up cycle.
  void Type(uint32_t key) {
    driver.Type(key);
    driver.Drain();
  }
  void Type(const std::string& s) {
    for (unsigned char c : s) Type(c);
  }
  // The first step, a click, and the entering cycle.
  void StartEditing() {
    Cycle();
    Click();
  }
};

TEST(TextEditBox, ClickEditsDoubleClickSelectsTypingReplacesEnterConfirms) {
  Box b;
  b.Cycle();
  EXPECT_EQ("12", b.out());
  EXPECT_EQ(0, b.editing);
  b.driver.Press();
  b.Cycle();
  EXPECT_EQ(0, b.editing) << "the click's own cycle still displays";
  b.driver.Release();
  b.Cycle();
  EXPECT_EQ(1, b.editing);
  EXPECT_EQ(1, b.caretVisible);
  EXPECT_EQ(-1, b.caret) << "the caret stands at the end";
  EXPECT_EQ(0, b.selected);

  b.Cycle();
  b.driver.Press();  // second click, 4 cycles after the first
  b.Cycle();
  EXPECT_EQ(1, b.selected);
  EXPECT_EQ(INVERT_ON + "12" + INVERT_OFF, b.shown());
  b.driver.Release();
  b.driver.Type('A');
  b.Cycle();
  EXPECT_EQ(INVERT_ON + "A" + INVERT_OFF, b.shown()) << "selected until the key's cycle ends";
  EXPECT_EQ(1, b.caret);
  b.Cycle();
  EXPECT_EQ("A", b.shown());
  b.Type('B');
  b.driver.Cycles(3);  // quiet cycles keep what was typed
  EXPECT_EQ("AB", b.shown());
  EXPECT_EQ(2, b.caret);
  EXPECT_EQ("12", b.out());
  EXPECT_EQ(0, b.confirmations);

  b.driver.Type(KEY_ENTER);
  b.Cycle();
  EXPECT_EQ(1, b.confirmed);
  EXPECT_EQ("12", b.out()) << "published one cycle later";
  b.Cycle();
  EXPECT_EQ("AB", b.out());
  EXPECT_EQ(0, b.editing);
  EXPECT_EQ(-1, b.caret);
  EXPECT_EQ(1, b.confirmations);
}

TEST(TextEditBox, EscapeRestoresTheTextFromBeforeEditing) {
  Box b;
  b.StartEditing();
  b.Type("34");
  ASSERT_EQ("1234", b.shown());
  b.Type(KEY_ESCAPE);
  b.driver.Cycles(2);
  EXPECT_EQ(0, b.editing);
  EXPECT_EQ("12", b.shown());
  EXPECT_EQ("12", b.out());
  EXPECT_EQ(0, b.confirmations);
}

TEST(TextEditBox, AClickOutsideConfirmsOneCycleLater) {
  Box b;
  b.StartEditing();
  b.Type("5");
  b.driver.MoveTo(500, 500);
  b.Cycle();
  EXPECT_EQ(1, b.editing) << "the pointer left, the box keeps the focus";
  b.driver.Press();
  b.Cycle();
  EXPECT_EQ(1, b.confirmed);
  b.Cycle();
  EXPECT_EQ("125", b.out());
  EXPECT_EQ(0, b.editing);
}

TEST(TextEditBox, LosingTheFocusLeavesWithoutConfirming) {
  Box b;
  b.StartEditing();
  b.Type("7");
  b.focusTakenAway = true;
  b.Cycle();
  b.focusTakenAway = false;
  b.driver.Cycles(2);
  EXPECT_EQ(0, b.editing);
  EXPECT_EQ(0, b.confirmations);
  EXPECT_EQ("12", b.out());
  b.Type("8");
  EXPECT_EQ("127", b.shown()) << "typing reaches nothing until the box is clicked again";
}

TEST(TextEditBox, OnlyClicksWithinHalfASecondSelect) {
  Box b;
  b.StartEditing();
  b.driver.Cycles(16);  // 17 cycles after the first click: beyond 500 ms
  b.driver.Press();
  b.Cycle();
  EXPECT_EQ(0, b.selected);
  b.driver.Release();
  b.Cycle();
  b.cycle = 0;  // a cycle of 0 ms is taken as 33: the double click still works
  b.Click();
  b.driver.Press();
  b.Cycle();
  EXPECT_EQ(1, b.selected);
}

TEST(TextEditBox, EscapesAndLineBreaksAreRemovedAsOneCharacter) {
  Box b;
  b.text = "ab\r\ncd";
  b.StartEditing();
  b.Type(KEY_LEFT);
  b.Type(KEY_LEFT);
  EXPECT_EQ(4, b.caret);
  b.Type(KEY_BACKSPACE);
  EXPECT_EQ("abcd", b.shown());
  b.Type(KEY_F1);  // a function key inserts the escape of its low 16 bits
  EXPECT_EQ("ab\\u0001cd", b.shown());
  b.Type(KEY_BACKSPACE);
  EXPECT_EQ("abcd", b.shown());
  EXPECT_EQ(2, b.caret);
}

TEST(TextEditBox, KeysThatEditNothingKeepASelectedText) {
  const struct {
    uint32_t key;
    std::string shown;
    int32_t caret;
  } cases[] = {
      {KEY_LEFT, "12", 1},  {KEY_HOME, "12", 0},   {KEY_TAB, "12", 2},
      {7, "12", 2},         {KEY_BACKSPACE, "", 0}, {KEY_DELETE, "", 0},
      {'x', "x", 1},
  };
  for (const auto& c : cases) {
    Box b;
    b.StartEditing();
    b.Click();
    b.Cycle();
    ASSERT_EQ(1, b.selected) << "key " << c.key;
    b.Type(c.key);
    EXPECT_EQ(c.shown, b.shown()) << "key " << c.key;
    EXPECT_EQ(c.caret, b.caret) << "key " << c.key << ": the caret moves in the kept text";
    EXPECT_EQ(0, b.selected) << "key " << c.key << ": any key ends the selection";
  }
}

TEST(TextEditBox, AClickInTheBoxPlacesTheCaret) {
  Box b;
  b.text = "hello";
  b.StartEditing();
  b.driver.Cycles(20);  // no double click
  b.setCursor = 1;  // the caret behaviour answers a click with index 2
  b.cursorIndex = 2;
  b.Cycle();
  b.setCursor = 0;
  b.Cycle();
  EXPECT_EQ(2, b.caret);
  b.Type('X');
  EXPECT_EQ("heXllo", b.shown());
}

TEST(TextEditBox, RestrictedBoxesOnlyDeleteUnlessAllIsSelected) {
  Box b;
  b.restricted = 1;
  b.StartEditing();
  b.Type('3');
  EXPECT_EQ("12", b.shown());
  b.Type(KEY_BACKSPACE);
  EXPECT_EQ("1", b.shown());
  b.Click();
  b.Type('7');
  EXPECT_EQ("7", b.shown());
}

TEST(TextEditBox, MaxLengthLimitsTyping) {
  Box b;
  b.maxLength = 4;
  b.StartEditing();
  b.Type("345");
  EXPECT_EQ("123", b.shown()) << "three bytes and the terminator";
  Box wide;
  wide.maxLength = 1000;  // taken as 255
  wide.text = std::string(253, 'x');
  wide.StartEditing();
  wide.Type("yz");
  EXPECT_EQ(std::string(253, 'x') + "y", wide.shown());
}

TEST(TextEditBox, CaretBlinksTenCyclesOnTenOff) {
  Box b;
  b.StartEditing();  // the entering cycle shows the caret
  std::string pattern;
  for (int i = 0; i < 40; ++i) {
    b.Cycle();
    pattern += b.caretVisible ? '1' : '0';
  }
  EXPECT_EQ("11111111" "0000000000" "1111111111" "0000000000" "11", pattern);
}

TEST(TextEditBox, ALoadIsPublishedNextCycleAndBlocksTheClickOfItsCycle) {
  Box b;
  b.Cycle();
  b.text = "99";
  b.load = 1;
  b.Cycle();
  EXPECT_EQ("99", b.shown());
  EXPECT_EQ("12", b.out());
  b.Click();
  b.load = 0;
  b.Cycle();
  EXPECT_EQ("99", b.out());
  EXPECT_EQ(0, b.editing);
}

}  // namespace
