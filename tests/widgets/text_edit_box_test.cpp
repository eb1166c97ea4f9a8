// The text edit box's whole story, told through the cycle driver the way a
// user meets it: click to edit, double click to select, type over the
// selection, Escape, Enter, a click outside, losing the focus.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "tests/support/cycle_driver.h"
#include "widgets/Focus.h"
#include "widgets/TextEditBox.h"

namespace {

// A text edit box 200 x 30 at the origin holding "12", stepped as its
// display class steps it.
struct Box {
  velkor_test::CycleDriver driver;
  velkor_test::TestWidget widget{0, 0, 200, 30};
  TextEditBox_State state;
  std::string text = "12";
  uint8_t load = 0, setCursor = 0, restricted = 0, focused = 1;
  int32_t maxLength = 255, cursorIndex = 0, cycle = 33;
  uint8_t confirmed = 0, caretVisible = 0, editing = 0, selected = 0;
  int32_t caret = 0;
  char output[TEXT_SIZE_Strings] = {};
  char display[TEXT_SIZE_Strings] = {};
  int confirmations = 0;

  Box() {
    TextEditBox_init(&state);
    driver.OnCycle([this] {
      // A group override withholds the focus while `focused` is 0.
      FocusOverride(focused ? FOCUS_OVERRIDE_NONE : FOCUS_OVERRIDE_UNFOCUSED);
      widget.Sense();
      ReleaseOverride();
      wrapper_TextEditBox(widget.hover, widget.pressed(), widget.button(), widget.keyPressed(),
                          widget.key(), text.c_str(), load, maxLength, setCursor, cursorIndex,
                          cycle, widget.focusState() != 0, restricted, 1, &confirmed, output,
                          &caretVisible, &caret, &editing, display, &selected, nullptr, &state);
      confirmations += confirmed;
    });
  }
  std::string out() const { return std::string(output, strnlen(output, TEXT_SIZE_Strings)); }
  std::string shown() const { return std::string(display, strnlen(display, TEXT_SIZE_Strings)); }

  // Runs one cycle per action and traces what the box shows after each.
  // Actions: '(' / ')' press / release on the box, '<' press outside it,
  // '%' the focus taken away, '.' nothing; a key goes down: '#' Enter,
  // '~' Escape, '_' Backspace, '=' Delete, '{' left, '@' Home, '>' Tab,
  // '^' F1, any other character types itself (keys need a quiet cycle
  // between them). A traced cycle shows the text, '[' ']' around it while it
  // is selected (drawn inverted), '|' at the caret while editing, and '!'
  // when the text was confirmed.
  std::string Run(const std::string& actions) {
    const std::string keyLetters = "#~_={@>^";
    const uint32_t keys[] = {KEY_ENTER, KEY_ESCAPE, KEY_BACKSPACE, KEY_DELETE,
                             KEY_LEFT,  KEY_HOME,   KEY_TAB,       KEY_F1};
    std::string trace;
    for (char a : actions) {
      driver.MoveTo(a == '<' ? 500.0f : 100.0f, 15.0f);
      if (a == '(' || a == '<') driver.Press();
      if (a == ')') driver.Release();
      const size_t k = keyLetters.find(a);
      if (k != std::string::npos) driver.KeyDown(keys[k]);
      if (k == std::string::npos && std::string("()<%.").find(a) == std::string::npos) {
        driver.KeyDown(static_cast<unsigned char>(a));
      }
      focused = a != '%';
      driver.Cycle();
      std::string text = shown();
      if (selected) {
        text = "[" + text.substr(2, text.size() - 4) + "]";
      } else if (editing) {
        text.insert(caret < 0 ? text.size() : std::min<size_t>(caret, text.size()), "|");
      }
      trace += text + (confirmed ? "! " : " ");
    }
    return trace;
  }
};

TEST(TextEditBox, ClickEditsDoubleClickSelectsTypingReplacesEnterConfirms) {
  Box b;
  // The click's own cycle still displays; editing starts with the caret at
  // the end; a second click selects; typing replaces the selection.
  EXPECT_EQ("12 12 12| 12| 12| [12] [12] [A] A| AB| AB| AB| AB| AB|! ", b.Run(".()..()A.B...#"));
  EXPECT_EQ("12", b.out()) << "a confirmed text is published one cycle later";
  EXPECT_EQ("AB ", b.Run("."));
  EXPECT_EQ("AB", b.out());
  EXPECT_EQ(1, b.confirmations);
}

TEST(TextEditBox, WaysOfLeavingEditing) {
  // After "5" is typed into "12": leaving, then typing "8", which reaches
  // nothing until the box is clicked again.
  const struct {
    const char* actions;
    const char* trace;
    int confirmations;
  } cases[] = {
      {"5.#..8.", "125| 125| 125|! 125 125 125 125 ", 1},  // Enter confirms
      {"5.<..8.", "125| 125| 125|! 125 125 125 125 ", 1},  // so does a press outside
      {"5.~..8.", "125| 125| 12| 12 12 12 12 ", 0},        // Escape restores
      {"5.%..8.", "125| 125| 125| 125 125 125 125 ", 0},   // focus lost: not confirmed
  };
  for (const auto& c : cases) {
    Box b;
    b.Run(".()");
    EXPECT_EQ(c.trace, b.Run(c.actions)) << c.actions;
    EXPECT_EQ(c.confirmations, b.confirmations) << c.actions;
    EXPECT_EQ(c.confirmations ? "125" : "12", b.out()) << c.actions;
  }
}

TEST(TextEditBox, EscapesAndLineBreaksAreRemovedAsOneCharacter) {
  Box b;
  b.text = "ab\r\ncd";
  b.Run(".()");
  EXPECT_EQ("ab\r\nc|d ab\r\nc|d ab\r\n|cd ab\r\n|cd ab|cd ab|cd ab\\u0001|cd ab\\u0001|cd ab|cd ",
            b.Run("{.{._.^._"));
}

TEST(TextEditBox, KeysThatEditNothingKeepASelectedText) {
  // The key's cycle, then the next: any key ends the selection, a key that
  // edits nothing leaves the text and moves the caret in it.
  const struct {
    char key;
    const char* trace;
  } cases[] = {
      {'{', "[12] 1|2 "}, {'@', "[12] |12 "}, {'>', "[12] 12| "}, {'\a', "[12] 12| "},
      {'_', "[] | "},     {'=', "[] | "},     {'x', "[x] x| "},
  };
  for (const auto& c : cases) {
    Box b;
    b.Run(".()()");
    EXPECT_EQ(c.trace, b.Run(std::string(1, c.key) + ".")) << int(c.key);
  }
}

TEST(TextEditBox, SettingsShapeTheStory) {
  // Each story starts editing "12" (".()"), then runs its actions.
  const struct {
    const char* name;
    uint8_t restricted;
    int32_t maxLength, cycle;
    const char* actions;
    const char* trace;
  } stories[] = {
      {"restricted: only deleting edits, unless all is selected", 1, 255, 33, "3._.()7.",
       "12| 12| 1| 1| [1] [1] [7] 7| "},
      {"a max length of 4 holds three bytes", 0, 4, 33, "3.4.", "123| 123| 123| 123| "},
      {"a cycle of 0 is taken as 33 ms: 17 cycles are beyond 500 ms", 0, 255, 0,
       "................()(",
       "12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| "
       "12| 12| [12] "},
  };
  for (const auto& story : stories) {
    Box b;
    b.restricted = story.restricted;
    b.maxLength = story.maxLength;
    b.cycle = story.cycle;
    b.Run(".()");
    EXPECT_EQ(story.trace, b.Run(story.actions)) << story.name;
  }
  Box wide;
  wide.maxLength = 1000;  // taken as 255
  wide.text = std::string(253, 'x');
  wide.Run(".()y.z");
  EXPECT_EQ(std::string(253, 'x') + "y", wide.shown());
}

TEST(TextEditBox, AClickInTheBoxPlacesTheCaret) {
  Box b;
  b.text = "hello";
  b.Run(".()" + std::string(20, '.'));
  b.setCursor = 1;  // the caret behaviour answers a click with index 2
  b.cursorIndex = 2;
  b.Run(".");
  b.setCursor = 0;
  EXPECT_EQ("he|llo heX|llo ", b.Run(".X"));
}

TEST(TextEditBox, CaretBlinksTenCyclesOnTenOff) {
  Box b;
  b.Run(".()");  // the entering cycle shows the caret
  std::string pattern;
  for (int i = 0; i < 40; ++i) {
    b.Run(".");
    pattern += b.caretVisible ? '1' : '0';
  }
  EXPECT_EQ(
      "11111111"
      "0000000000"
      "1111111111"
      "0000000000"
      "11",
      pattern);
}

TEST(TextEditBox, ALoadIsPublishedNextCycleAndBlocksTheClickOfItsCycle) {
  Box b;
  b.Run(".");
  b.text = "99";
  b.load = 1;
  EXPECT_EQ("99 ", b.Run("."));
  EXPECT_EQ("12", b.out());
  EXPECT_EQ("99 99 ", b.Run("()")) << "a click while loading does not start editing";
  EXPECT_EQ("99", b.out());
}

}  // namespace
