// The text edit box's whole story, told through the cycle driver the way a
// user meets it: click to edit, double click to select, type over the
// selection, Escape, Enter, a click outside, losing the focus.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/cycle_driver.h"
#include "widgets/Focus.h"
#include "widgets/TextEditBox.h"
#include "widgets/interactivity_mapping.h"

namespace {

using velkor_test::CycleDriver;
using velkor_test::TestWidget;

const std::string INVERT_ON = "\x1B" "D";
const std::string INVERT_OFF = "\x1B" "E";

std::string textOf(const char* bytes) { return std::string(bytes, strnlen(bytes, TEXT_SIZE_Strings)); }

// A text edit box 200 x 30 at the origin with its focus and key detectors,
// stepped as its display class steps it.
struct BoxStory {
  CycleDriver driver;
  TestWidget widget{0, 0, 200, 30};
  TextEditBox_State state;
  std::string text = "12";
  uint8_t load = 0;
  int32_t maxLength = 255;
  uint8_t setCursor = 0;
  int32_t cursorIndex = 0;
  int32_t cycle = 33;
  uint8_t restricted = 0;
  uint8_t invert = 1;
  bool focusTakenAway = false;  // a group override takes the focus for a cycle

  uint8_t confirmed = 0, caretVisible = 0, editing = 0, selected = 0, ready = 0;
  int32_t caretIndex = 0;
  char output[TEXT_SIZE_Strings] = {};
  char display[TEXT_SIZE_Strings] = {};
  int confirmations = 0;

  BoxStory() {
    TextEditBox_init(&state);
    wrapper_TextEditBox_reset(&state);
    driver.OnCycle([this] {
      if (focusTakenAway) FocusOverride(FOCUS_OVERRIDE_UNFOCUSED);
      widget.Sense();
      if (focusTakenAway) ReleaseOverride();
      wrapper_TextEditBox(widget.hover, widget.pressed(), widget.button(), widget.keyPressed(),
                          widget.key(), text.c_str(), load, maxLength, setCursor, cursorIndex,
                          cycle, widget.focusState() != 0, restricted, invert, &confirmed, output,
                          &caretVisible, &caretIndex, &editing, display, &selected, &ready,
                          &state);
      confirmations += confirmed;
    });
    driver.MoveTo(100, 15);
  }

  std::string out() const { return textOf(output); }
  std::string shown() const { return textOf(display); }

  void Click() {
    driver.Press();
    driver.Cycle();
    driver.Release();
    driver.Cycle();
  }
  // The key-down cycle, then the key-up cycle.
  void Type(uint32_t key) {
    driver.Type(key);
    driver.Cycle();
    driver.Cycle();
  }
  void TypeText(const std::string& s) {
    for (unsigned char c : s) Type(c);
  }
  // Starts editing: the first step, a click, and the entering cycle.
  void StartEditing() {
    driver.Cycle();
    Click();
  }
};

TEST(TextEditBox, ClickEditsDoubleClickSelectsTypingReplacesEnterConfirms) {
  BoxStory b;
  b.driver.Cycle();
  EXPECT_EQ("12", b.out());
  EXPECT_EQ("12", b.shown());
  EXPECT_EQ(0, b.editing);
  EXPECT_EQ(-1, b.caretIndex);
  EXPECT_EQ(1, b.ready);

  b.driver.Press();
  b.driver.Cycle();
  EXPECT_EQ(0, b.editing);  // the click's own cycle still displays
  b.driver.Release();
  b.driver.Cycle();
  EXPECT_EQ(1, b.editing);
  EXPECT_EQ(1, b.caretVisible);
  EXPECT_EQ(-1, b.caretIndex);  // the caret stands at the end
  EXPECT_EQ(0, b.selected);

  b.driver.Cycle();
  b.driver.Press();  // second click, 4 cycles after the first
  b.driver.Cycle();
  EXPECT_EQ(1, b.selected);
  EXPECT_EQ(INVERT_ON + "12" + INVERT_OFF, b.shown());
  EXPECT_EQ("12", b.out());
  b.driver.Release();
  b.driver.Cycle();
  EXPECT_EQ(1, b.selected);

  b.driver.Type('A');
  b.driver.Cycle();
  EXPECT_EQ(INVERT_ON + "A" + INVERT_OFF, b.shown());  // still selected in the key's cycle
  EXPECT_EQ(1, b.caretIndex);
  b.driver.Cycle();
  EXPECT_EQ(0, b.selected);
  EXPECT_EQ("A", b.shown());

  b.Type('B');
  EXPECT_EQ("AB", b.shown());
  EXPECT_EQ(2, b.caretIndex);
  b.driver.Cycles(3);  // quiet cycles keep what was typed
  EXPECT_EQ("AB", b.shown());
  EXPECT_EQ("12", b.out());
  EXPECT_EQ(0, b.confirmations);

  b.driver.Type(KEY_ENTER);
  b.driver.Cycle();
  EXPECT_EQ(1, b.confirmed);
  EXPECT_EQ("12", b.out());  // published one cycle later
  b.driver.Cycle();
  EXPECT_EQ(0, b.confirmed);
  EXPECT_EQ("AB", b.out());
  EXPECT_EQ(0, b.editing);
  EXPECT_EQ(-1, b.caretIndex);
  EXPECT_EQ(1, b.confirmations);
}

TEST(TextEditBox, EscapeRestoresTheTextFromBeforeEditing) {
  BoxStory b;
  b.StartEditing();
  b.TypeText("34");
  ASSERT_EQ("1234", b.shown());
  b.driver.Type(KEY_ESCAPE);
  b.driver.Cycle();
  EXPECT_EQ("12", b.shown());
  EXPECT_EQ(0, b.confirmed);
  b.driver.Cycles(3);
  EXPECT_EQ(0, b.editing);
  EXPECT_EQ("12", b.shown());
  EXPECT_EQ("12", b.out());
  EXPECT_EQ(0, b.confirmations);
}

TEST(TextEditBox, AClickOutsideConfirmsOneCycleLater) {
  BoxStory b;
  b.StartEditing();
  b.TypeText("5");
  b.driver.MoveTo(500, 500);
  b.driver.Cycle();  // pointer gone, the box keeps the focus
  EXPECT_EQ(1, b.editing);
  b.driver.Press();
  b.driver.Cycle();
  EXPECT_EQ(1, b.confirmed);
  EXPECT_EQ("12", b.out());
  b.driver.Cycle();
  EXPECT_EQ("125", b.out());
  EXPECT_EQ(0, b.editing);
  EXPECT_EQ(1, b.confirmations);
}

TEST(TextEditBox, LosingTheFocusLeavesWithoutConfirming) {
  BoxStory b;
  b.StartEditing();
  b.TypeText("7");
  b.focusTakenAway = true;
  b.driver.Cycle();
  b.focusTakenAway = false;
  b.driver.Cycles(2);
  EXPECT_EQ(0, b.editing);
  EXPECT_EQ(0, b.confirmations);
  EXPECT_EQ("12", b.out());
  // Typing now reaches nothing: the box displays until clicked again.
  b.TypeText("8");
  EXPECT_EQ("127", b.shown());
}

TEST(TextEditBox, ClicksFurtherApartThanHalfASecondDoNotSelect) {
  BoxStory b;
  b.StartEditing();
  b.driver.Cycles(16);  // 17 cycles after the first click: beyond 500 ms
  b.driver.Press();
  b.driver.Cycle();
  EXPECT_EQ(0, b.selected);
  b.driver.Release();
  b.driver.Cycle();
  // A cycle of 0 ms is taken as 33: the double click still works.
  b.cycle = 0;
  b.Click();
  b.driver.Press();
  b.driver.Cycle();
  EXPECT_EQ(1, b.selected);
}

TEST(TextEditBox, EscapesAndLineBreaksAreRemovedAsOneCharacter) {
  BoxStory b;
  b.text = "ab\r\ncd";
  b.StartEditing();
  b.Type(KEY_LEFT);
  b.Type(KEY_LEFT);
  EXPECT_EQ(4, b.caretIndex);
  b.Type(KEY_BACKSPACE);
  EXPECT_EQ("abcd", b.shown());
  EXPECT_EQ(2, b.caretIndex);

  b.Type(KEY_F1);  // a function key inserts the escape of its low 16 bits
  EXPECT_EQ("ab\\u0001cd", b.shown());
  EXPECT_EQ(8, b.caretIndex);
  b.Type(KEY_BACKSPACE);
  EXPECT_EQ("abcd", b.shown());
  EXPECT_EQ(2, b.caretIndex);
}

TEST(TextEditBox, KeysThatEditNothingKeepASelectedText) {
  struct Case {
    const char* what;
    uint32_t key;
    std::string expected;
  } const cases[] = {
      {"caret key", KEY_LEFT, "12"},
      {"Tab", KEY_TAB, "12"},
      {"control byte", 7, "12"},
      {"Home", KEY_HOME, "12"},
      {"Backspace empties", KEY_BACKSPACE, ""},
      {"Delete empties", KEY_DELETE, ""},
      {"a character replaces", 'x', "x"},
  };
  for (const Case& c : cases) {
    BoxStory b;
    b.StartEditing();
    b.Click();
    b.driver.Cycle();
    ASSERT_EQ(1, b.selected) << c.what;
    b.Type(c.key);
    EXPECT_EQ(c.expected, b.shown()) << c.what;
    EXPECT_EQ(0, b.selected) << c.what;  // any key ends the selection
  }
}

TEST(TextEditBox, ACaretKeyOverASelectionMovesTheCaretInTheText) {
  BoxStory b;
  b.StartEditing();
  b.Click();
  b.Type(KEY_LEFT);
  EXPECT_EQ(1, b.caretIndex);
  b.Type('9');
  EXPECT_EQ("192", b.shown());
}

TEST(TextEditBox, AClickInTheBoxPlacesTheCaret) {
  BoxStory b;
  b.text = "hello";
  b.StartEditing();
  b.driver.Cycles(20);  // no double click
  b.setCursor = 1;  // the caret behaviour answers a click with index 2
  b.cursorIndex = 2;
  b.driver.Cycle();
  b.setCursor = 0;
  b.driver.Cycle();
  EXPECT_EQ(2, b.caretIndex);
  b.Type('X');
  EXPECT_EQ("heXllo", b.shown());
}

TEST(TextEditBox, RestrictedBoxesOnlyDelete) {
  BoxStory b;
  b.restricted = 1;
  b.StartEditing();
  b.Type('3');
  EXPECT_EQ("12", b.shown());
  b.Type(KEY_BACKSPACE);
  EXPECT_EQ("1", b.shown());
  b.Click();  // double click: a selection may be typed over
  b.Type('7');
  EXPECT_EQ("7", b.shown());
}

TEST(TextEditBox, MaxLengthLimitsTyping) {
  BoxStory b;
  b.maxLength = 4;
  b.StartEditing();
  b.TypeText("345");
  EXPECT_EQ("123", b.shown());  // three bytes and the terminator

  BoxStory wide;
  wide.maxLength = 1000;  // taken as 255
  wide.text = std::string(253, 'x');
  wide.StartEditing();
  wide.TypeText("yz");
  EXPECT_EQ(std::string(253, 'x') + "y", wide.shown());
}

TEST(TextEditBox, CaretBlinksTenCyclesOnTenOff) {
  BoxStory b;
  b.StartEditing();  // the entering cycle shows the caret
  std::string pattern;
  for (int i = 0; i < 40; ++i) {
    b.driver.Cycle();
    pattern += b.caretVisible ? '1' : '0';
  }
  EXPECT_EQ("11111111" "0000000000" "1111111111" "0000000000" "11", pattern);
}

TEST(TextEditBox, LoadWhileDisplayingIsPublishedNextCycle) {
  BoxStory b;
  b.driver.Cycle();
  b.text = "99";
  b.load = 1;
  b.driver.Cycle();
  EXPECT_EQ("99", b.shown());
  EXPECT_EQ("12", b.out());
  b.load = 0;
  b.driver.Cycle();
  EXPECT_EQ("99", b.out());
  // A click in the cycle of a load does not start editing.
  b.load = 1;
  b.Click();
  b.load = 0;
  b.driver.Cycle();
  EXPECT_EQ(0, b.editing);
}

}  // namespace
