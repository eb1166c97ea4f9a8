// The text edit box: leaving editing, settings, keys on a selection, the caret's blink.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>

#include "tests/support/cycle_driver.h"
#include "widgets/Focus.h"
#include "widgets/TextEditBox.h"

namespace {

// A text edit box 200 x 30 at the origin holding "12", stepped as its display class steps it.
struct Box {
  velkor_test::CycleDriver driver;
  velkor_test::TestWidget widget{0, 0, 200, 30};
  TextEditBox_State state;
  std::string text = "12";
  uint8_t load = 0, restricted = 0, focused = 1;
  int32_t maxLength = 255, cycle = 33;
  uint8_t confirmed = 0, caretVisible = 0, editing = 0, selected = 0;
  int32_t caret = 0;
  char output[TEXT_SIZE_Strings] = {}, display[TEXT_SIZE_Strings] = {};
  int confirmations = 0;

  Box() {
    TextEditBox_init(&state);
    driver.OnCycle([this] {
      // A group override withholds the focus while `focused` is 0.
      FocusOverride(focused ? FOCUS_OVERRIDE_NONE : FOCUS_OVERRIDE_UNFOCUSED);
      widget.Sense();
      ReleaseOverride();
      wrapper_TextEditBox(widget.hover, widget.pressed(), widget.button(), widget.keyPressed(),
                          widget.key(), text.c_str(), load, maxLength, 0, 0, cycle,
                          widget.focusState() != 0, restricted, 1, &confirmed, output,
                          &caretVisible, &caret, &editing, display, &selected, nullptr, &state);
      confirmations += confirmed;
    });
  }
  std::string shown() const { return std::string(display, strnlen(display, TEXT_SIZE_Strings)); }

  // One cycle per action: '(' / ')' press / release on the box, '<' press outside it, '%' the
  // focus taken away, '.' nothing; keys down: '#' Enter, '~' Escape, '_' Backspace, '{' left,
  // any other character types itself. Traces the text, '[' ']' around it while selected, '|' at
  // the caret while editing, '!' when the text was confirmed.
  std::string Run(const std::string& actions) {
    const std::string keyLetters = "#~_{";
    const uint32_t keys[] = {KEY_ENTER, KEY_ESCAPE, KEY_BACKSPACE, KEY_LEFT};
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

TEST(TextEditBox, WaysOfLeavingEditing) {
  // After "5" is typed into "12": leaving, then typing "8", which reaches nothing.
  const std::tuple<const char*, const char*, int> cases[] = {
      {"5.<..8.", "125| 125| 125|! 125 125 125 125 ", 1},  // a press outside confirms
      {"5.~..8.", "125| 125| 12| 12 12 12 12 ", 0},        // Escape restores
      {"5.%..8.", "125| 125| 125| 125 125 125 125 ", 0},   // focus lost: not confirmed
  };
  for (const auto& [actions, trace, confirmations] : cases) {
    Box b;
    b.Run(".()");
    EXPECT_EQ(trace, b.Run(actions)) << actions;
    EXPECT_EQ(confirmations, b.confirmations) << actions;
    EXPECT_STREQ(confirmations ? "125" : "12", b.output) << actions;
  }
}

TEST(TextEditBox, SettingsAndKeysOnASelectedText) {
  // Each story starts editing "12" (".()"), then runs its actions; "()" then selects all.
  // Restricted, max length, cycle; actions and trace.
  const std::tuple<uint8_t, int32_t, int32_t, const char*, const char*> stories[] = {
      // Restricted: only deleting edits, unless all is selected.
      {1, 255, 33, "3._.()7.", "12| 12| 1| 1| [1] [1] [7] 7| "},
      {0, 4, 33, "3.4.", "123| 123| 123| 123| "},  // a max length of 4 holds three bytes
      // A cycle of 0 is taken as 33 ms: 17 cycles are beyond 500 ms, no double click.
      {0, 255, 0, "................()(",
       "12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| 12| [12] "},
      // Any key ends a selection; a key that edits nothing leaves the text, moving the caret.
      {0, 255, 33, "(){.", "[12] [12] [12] 1|2 "},
      {0, 255, 33, "()_.", "[12] [12] [] | "},
      {0, 255, 33, "()x.", "[12] [12] [x] x| "},
  };
  for (const auto& [restricted, maxLength, cycle, actions, trace] : stories) {
    Box b;
    b.restricted = restricted;
    b.maxLength = maxLength;
    b.cycle = cycle;
    b.Run(".()");
    EXPECT_EQ(trace, b.Run(actions)) << actions;
  }
}

TEST(TextEditBox, CaretBlinksTenCyclesOnTenOff) {
  Box b;
  b.Run(".()");  // the entering cycle shows the caret
  std::string pattern;
  for (int i = 0; i < 40; ++i) {
    b.Run(".");
    pattern += b.caretVisible ? '1' : '0';
  }
  EXPECT_EQ("11111111" + std::string(10, '0') + std::string(10, '1') + std::string(10, '0') + "11",
            pattern);
}

}  // namespace
