// Scroll list, scroll bar and table stories, one cycle per action letter, checked as a trace.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>

#include "tests/support/cycle_driver.h"
#include "widgets/MultiColumn.h"
#include "widgets/ScrollBar.h"
#include "widgets/ScrollList.h"

namespace {

using velkor_test::CycleDriver;

struct List {
  CycleDriver driver;
  ScrollList_Inputs in;
  ScrollList_State state;

  explicit List(int32_t count, int32_t rows = 9, int32_t selectedIn = 0) {
    std::memset(&in, 0, sizeof in);
    in.count = count;
    in.rows = rows;
    in.selectedIn = selectedIn;
    in.active = in.rowsEnabled = in.button = 1;
    for (int32_t i = 0; i < SCROLLLIST_ITEMS; ++i) {
      std::snprintf(in.items[i], TEXT_SIZE_Strings, "Item %d", i);
      in.itemEnabled[i] = 1;
    }
    ScrollList_init(&state);
    driver.OnCycle([this] { ScrollList(&in, &state); });
    driver.Cycle();  // the first step loads selectedIn
  }
  // Actions: 'v' / '^' / '#' KEY_DOWN / KEY_UP / Enter; a digit or 'z': the scroll bar moved to
  // that position or to 10; 'a'..'i' / 'A'..'I': a press / release over row 0..8; '-' nothing.
  // Traces "first.cursorRow", '*' when the scroll bar is to follow, '!' for a choice.
  std::string Run(const std::string& actions) {
    std::string trace;
    for (char a : actions) {
      in.keyPressed = a == 'v' || a == '^' || a == '#';
      in.key = a == 'v' ? KEY_DOWN : (a == '^' ? KEY_UP : KEY_ENTER);
      in.scrollMoved = std::isdigit(a) || a == 'z';
      in.scrollPosition = a == 'z' ? 10.0f : float(a - '0');
      std::memset(in.rowHover, 0, sizeof in.rowHover);
      if (std::isalpha(a) && std::tolower(a) <= 'i') in.rowHover[std::tolower(a) - 'a'] = 1;
      in.pressed = a >= 'a' && a <= 'i';
      in.released = a >= 'A' && a <= 'I';
      driver.Cycle();
      const int32_t row = state.cursorRow;
      if (in.active && row < SCROLLLIST_ROWS) {
        EXPECT_EQ(1, state.visibleHighlighted[row]) << "the cursor's row is highlighted";
      }
      trace += std::to_string(state.firstVisible) + "." + std::to_string(row) +
               (state.scrollChanged ? "*" : "") + (state.event ? "!" : "") + " ";
    }
    return trace;
  }
};

TEST(ScrollList, KeysScrollALongListAndTheCursorStaysOnItsItem) {
  List s(16, 9, 8);  // 16 items through 9 rows, the cursor on item 8
  EXPECT_EQ("1.8* 2.8* 3.8* 4.8* 5.8* 6.8* 7.8* 7.8* 7.7 ", s.Run("vvvvvvvv^"));
  EXPECT_EQ("6.8 7.7 ", s.Run("6z")) << "the bar scrolls, the cursor stays on item 14";
  EXPECT_EQ("7.6 7.5 7.4 7.3 7.2 7.1 7.0 6.0* ", s.Run("^^^^^^^^"));
  EXPECT_EQ(8, s.state.selectedIndex) << "moving the cursor selects nothing";
  // A short list never scrolls; Enter or a click on an empty row or a disabled item does nothing.
  List five(5);
  five.in.itemEnabled[1] = 0;
  EXPECT_EQ("0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.8 0.8 0.8 0.8 0.8 ", five.Run("vvvvvvvvvv#bg"));
  EXPECT_EQ(0, five.state.selectedIndex);
  List paged(16, 5, 15);  // rows past the sixteenth item show spaces
  EXPECT_EQ(std::string(TEXT_SIZE_Strings, ' '),
            std::string(paged.state.visibleTexts[5], TEXT_SIZE_Strings));
}

TEST(ScrollList, EnterOrAClickChoosesForOneCycleUnlessALockRises) {
  List s(16);
  EXPECT_EQ("0.0 0.1 0.2 0.2! 0.2 ", s.Run("-vv#-"));
  EXPECT_EQ(1, s.state.visibleSelected[2]);
  s.driver.SetAcknowledging(false);
  EXPECT_EQ("0.2! 0.2! 0.2! ", s.Run("#--")) << "held while the host does not acknowledge";
  s.driver.SetAcknowledging(true);
  EXPECT_EQ("0.2 0.4! 0.4 ", s.Run("-e-")) << "a press on row 4";
  s.in.lock = 1;
  EXPECT_EQ("0.4 0.4! ", s.Run("##")) << "a rising lock blocks one validation";
  s.in.mode = SCROLLLIST_MODE_RELEASE;
  EXPECT_EQ("0.6 0.6 0.6! 0.2 ", s.Run("g-GC")) << "the release after a press on the list";
  EXPECT_EQ(6, s.state.selectedIndex);
  s.in.active = 0;
  EXPECT_EQ("0.2 0.2 ", s.Run("v#")) << "without focus the keys do nothing";
  EXPECT_EQ(0, s.state.visibleHighlighted[2]);
}

TEST(ScrollList, LoadsAndPageSizesAreBounded) {
  const struct {
    int32_t count, rows, selectedIn, selected, first;
  } loads[] = {{16, 9, 12, 12, 7}, {16, 9, 40, 0, 0},   {40, 9, 30, 0, 0},
               {0, 9, 0, 0, 0},    {16, 0, 15, 15, 15}, {16, 50, 15, 15, 7}};
  for (const auto& c : loads) {
    List s(c.count, c.rows, c.selectedIn);
    SCOPED_TRACE(std::to_string(c.count) + "/" + std::to_string(c.rows) + "/" +
                 std::to_string(c.selectedIn));
    EXPECT_EQ(c.selected, s.state.selectedIndex);
    EXPECT_EQ(c.first, s.state.firstVisible);
    // Enter right after the load selects the loaded item, not first + item.
    s.Run("#");
    EXPECT_EQ(c.selected, s.state.selectedIndex);
    s.Run(std::string(30, 'v') + "#");
    EXPECT_EQ(c.count == 0 ? 0 : 15, s.state.selectedIndex) << "the last item, not beyond";
  }
  // A load over a hovered row selects the loaded item; the cursor follows the pointer.
  List hovered(16);
  hovered.in.rowHover[4] = hovered.in.load = 1;
  hovered.in.selectedIn = 2;
  hovered.driver.Cycle();
  EXPECT_EQ(std::make_pair(2, 4),
            std::make_pair(hovered.state.selectedIndex, hovered.state.cursorRow));
  // A selection beyond a list that shrank stands on its last item.
  for (const int32_t count : {13, 5, 1, 0}) {
    List s(16, 9, 12);
    s.in.count = count;
    s.Run("-");
    const int32_t last = count > 0 ? count - 1 : 0;
    EXPECT_EQ(last, s.state.selectedIndex) << count << " items left";
    EXPECT_EQ(1, s.state.visibleSelected[last - s.state.firstVisible]) << count << " items left";
  }
}

// Page 10, line 1, maximum 25. 'U' 'D' 'B' the up, down, both line buttons, 'P' 'Q' the page
// areas before and after the thumb, 'u' 'd' 'p' 'q' 'l' 'r' the keys (up, down, page up and down,
// left, right), 'L' load 3, '-' nothing. Traces the position, '*' when it moved.
std::string run_bar(ScrollBar_State* state, uint32_t direction, uint32_t orientation,
                    const std::string& actions) {
  std::string trace;
  const std::string keyLetters = "udpqlr";
  const uint32_t keys[] = {KEY_UP, KEY_DOWN, KEY_PAGE_UP, KEY_PAGE_DOWN, KEY_LEFT, KEY_RIGHT};
  for (char a : actions) {
    const size_t k = keyLetters.find(a);
    const uint32_t key = k == std::string::npos ? 0 : keys[k];
    const uint8_t up = a == 'U' || a == 'B', down = a == 'D' || a == 'B';
    const float value = a == 'L' ? 3.0f : 40.0f;
    const ScrollBar_Inputs in{10,       1, value, 25, up,        down,     a == 'P', a == 'Q',
                              a == 'L', 0, 0,     0,  direction, key != 0, key,      orientation};
    ScrollBar(&in, state);
    trace += std::to_string(int(state->position)) + (state->moved ? "* " : " ");
  }
  return trace;
}

TEST(ScrollBar, KeysButtonsLoadsAndLimits) {
  ScrollBar_State state;
  ScrollBar_init(&state);
  // The first step takes the value 40, limited to 25.
  EXPECT_EQ("25 3 4* 0* 0* 10* 20* 25* 24* 23* 24* 24 24 ", run_bar(&state, 1, 1, "-LuqdPpPDBU-l"));
  ScrollBar_reset(&state);
  // Another direction turns every step round; a horizontal bar takes right as up, has no page keys.
  EXPECT_EQ("3 2* 3* 3 0* ", run_bar(&state, 2, 2, "LrlpP"));
}

struct Table {
  CycleDriver driver;
  MultiColumn_Inputs in{};
  MultiColumn_State state;
  explicit Table(uint32_t mode, int32_t loadRow = 0, int32_t loadColumn = 0) {
    in = MultiColumn_Inputs{0, 0, 1, -1, -1, loadRow, loadColumn, 0, mode, 0, 0, 3, 3};
    MultiColumn_init(&state);
    driver.OnCycle([this] { MultiColumn(&in, &state); });
    driver.Cycle();  // loads the cell
  }
  // One cycle over cell (row, column) with pointer flags or a key; traces "row.column" and '!'.
  std::string Step(int32_t row, int32_t column, uint8_t pressed, uint8_t released, uint32_t key = 0,
                   uint32_t button = 1) {
    in = MultiColumn_Inputs{pressed, released, button,   row, column, 0, 0,
                            0,       in.mode,  key != 0, key, 3,      3};
    driver.Cycle();
    return std::to_string(state.selectedRow) + "." + std::to_string(state.selectedColumn) +
           (state.event ? "! " : " ");
  }
};

TEST(MultiColumn, ChoosesWithThePressOfThePreviousCycle) {
  // Actions over cell (2, 1) ('o': over no cell): 'p' left press, 'r' release, 'w' / 'W' a wheel
  // notch (a press the host never releases), '-' nothing.
  const std::tuple<uint32_t, const char*, const char*> stories[] = {
      {0, "p--", "0.0 2.1! 2.1 "},
      {0, "po", "0.0 0.0 "},  // the pointer left before the press was taken
      {MULTICOLUMN_MODE_RELEASE, "rp-r", "0.0 0.0 0.0 2.1! "},
      {0, "W-r", "0.0 0.0 0.0 "},  // the wheel never chooses
      {MULTICOLUMN_MODE_RELEASE, "w-r", "0.0 0.0 0.0 "},
  };
  for (const auto& [mode, actions, expected] : stories) {
    Table t(mode);
    std::string trace;
    for (char a : std::string(actions)) {
      const uint32_t button = a == 'w' ? 4 : (a == 'W' ? 5 : (a == 'p' ? 1 : 0));
      const int32_t cell = a == 'o' ? -1 : 2;
      trace += t.Step(cell, cell < 0 ? -1 : 1, button != 0, a == 'r', 0, button);
    }
    EXPECT_EQ(expected, trace) << actions << " in mode " << mode;
  }
}

TEST(MultiColumn, KeysStopAtTheEdgesEvenOfTheIntegerRangeButStillRaiseTheEvent) {
  Table t(0, 2, 2);
  std::string trace;
  for (uint32_t key : {KEY_DOWN, KEY_RIGHT, KEY_UP, KEY_LEFT, KEY_LEFT, KEY_LEFT, KEY_ENTER,
                       uint32_t('a'), KEY_F5}) {
    trace += t.Step(-1, -1, 0, 0, key);
  }
  EXPECT_EQ("2.2! 2.2! 1.2! 1.1! 1.0! 1.0! 1.0! 1.0 1.0! ", trace);
  // Counts no table has, cells at the ends of the integer range: arrows stay in 0 .. count - 1.
  const std::tuple<int32_t, int32_t, uint32_t, int32_t> cases[] = {
      {INT32_MIN, 0, KEY_RIGHT, 0},
      {INT32_MAX, INT32_MAX, KEY_DOWN, INT32_MAX},
      {INT32_MAX, INT32_MAX - 1, KEY_DOWN, INT32_MAX - 1},  // row + 1 is no row below
      {3, 0, KEY_UP, 0},
      {3, 0, KEY_LEFT, 0}};
  for (const auto& [count, load, key, selected] : cases) {
    Table edge(0, load, load);
    edge.in = MultiColumn_Inputs{0, 0, 1, -1, -1, 0, 0, 0, 0, 1, key, count, count};
    edge.driver.Cycle();
    const int32_t moved =
        key == KEY_DOWN || key == KEY_UP ? edge.state.selectedRow : edge.state.selectedColumn;
    EXPECT_EQ(selected, moved) << count << " rows and columns, key " << key;
  }
}

}  // namespace
