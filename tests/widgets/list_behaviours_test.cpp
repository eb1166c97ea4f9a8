// List behaviours as a user meets them: the combo box opening and closing,
// the scroll list following its keyboard cursor, the scroll bar within its
// limits, and the table's selection. Behaviours that hold an event are
// stepped inside the cycle driver, so the acknowledge flag is the host's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/cycle_driver.h"
#include "widgets/ComboBox.h"
#include "widgets/MultiColumn.h"
#include "widgets/ScrollBar.h"
#include "widgets/ScrollList.h"

namespace {

using velkor_test::CycleDriver;

// ---- Combo box ---------------------------------------------------------------

TEST(ComboBox, EscapeSpaceAndTheClickRightAfterAChoice) {
  CycleDriver driver;
  velkor_test::TestWidget button(0, 0, 120, 30);
  ComboBox_State combo;
  ComboBox_init(&combo);
  uint8_t open = 9, itemChosen = 0, enabled = 1;
  uint32_t mode = 0;
  driver.OnCycle([&] {
    button.Sense();
    wrapper_ComboBox(enabled, button.keyPressed(), button.key(), button.hover && button.pressed(),
                     itemChosen, mode, &open, &combo);
  });
  driver.MoveTo(50, 15);
  // One cycle per row: what arrives, the list's choice, then open after it.
  // A key's up event arrives in the cycle after its down event.
  const struct {
    char input;  // '-' nothing, 'p' / 'r' press / release, 'e' Escape, 's' space
    uint8_t chosen;
    int open;
    const char* note;
  } story[] = {
      {'-', 0, 0, "starts closed"},
      {'p', 0, 1, "a click opens"},
      {'r', 0, 1, ""},
      {'e', 0, 0, "Escape closes"},
      {'-', 0, 0, ""},
      {'e', 0, 0, "Escape on a closed list leaves it closed"},
      {'-', 0, 0, ""},
      {'s', 0, 1, "space opens"},
      {'-', 0, 1, ""},
      {'s', 0, 0, "space closes"},
      {'-', 0, 0, ""},
      {'p', 0, 1, ""},
      {'r', 0, 1, ""},
      {'-', 1, 0, "choosing an item closes the list"},
      {'p', 0, 0, "the press that chose reaches the button next: no reopening"},
      {'r', 0, 0, ""},
      {'p', 0, 1, "a later click opens it again"},
  };
  for (const auto& row : story) {
    if (row.input == 'p') driver.Press();
    if (row.input == 'r') driver.Release();
    if (row.input == 'e') driver.Type(KEY_ESCAPE);
    if (row.input == 's') driver.Type(KEY_SPACE);
    itemChosen = row.chosen;
    driver.Cycle();
    EXPECT_EQ(row.open, open) << "cycle " << driver.cycle() << ": " << row.note;
  }
  enabled = 0;
  driver.Cycle();
  EXPECT_EQ(0, open) << "disabling closes it";
  enabled = 1;
  mode = COMBOBOX_MODE_LOCKED;
  driver.Press();
  driver.Cycle();
  EXPECT_EQ(0, open) << "a locked combo box stays closed";
}

// ---- Scroll list -------------------------------------------------------------

struct List {
  CycleDriver driver;
  ScrollList_Inputs in;
  ScrollList_State state;

  explicit List(int32_t count, int32_t rows = 9, int32_t selectedIn = 0) {
    std::memset(&in, 0, sizeof in);
    in.count = count;
    in.rows = rows;
    in.selectedIn = selectedIn;
    in.active = 1;
    in.rowsEnabled = 1;
    in.button = 1;
    for (int32_t i = 0; i < SCROLLLIST_ITEMS; ++i) {
      std::snprintf(in.items[i], TEXT_SIZE_Strings, "Item %d", i);
      in.itemEnabled[i] = 1;
    }
    ScrollList_init(&state);
    driver.OnCycle([this] { ScrollList(&in, &state); });
    driver.Cycle();  // the first step loads selectedIn
  }
  // One cycle with a key pulse (the KeyEvent's work is not repeated here).
  void Key(uint32_t key) {
    in.keyPressed = 1;
    in.key = key;
    driver.Cycle();
    in.keyPressed = 0;
  }
  // One cycle with the pointer over `row` (-1: none) and raw press / release.
  void Pointer(int row, uint8_t pressed, uint8_t released) {
    std::memset(in.rowHover, 0, sizeof in.rowHover);
    if (row >= 0) in.rowHover[row] = 1;
    in.pressed = pressed;
    in.released = released;
    driver.Cycle();
    in.pressed = in.released = 0;
  }
  int32_t cursorItem() const { return state.firstVisible + state.cursorRow; }
};

TEST(ScrollList, KeysScrollPastTheRowsAndTheCursorStaysOnItsItem) {
  List s(16, 9, 8);
  const struct {
    uint32_t key;
    float scrollTo;  // < 0: the bar did not move
    int32_t first, cursorRow;
    uint8_t scrollChanged;
  } steps[] = {
      {KEY_DOWN, -1, 1, 8, 1},  // past the last row: the list scrolls
      {KEY_DOWN, -1, 2, 8, 1}, {KEY_DOWN, -1, 3, 8, 1}, {KEY_DOWN, -1, 4, 8, 1},
      {KEY_DOWN, -1, 5, 8, 1}, {KEY_DOWN, -1, 6, 8, 1}, {KEY_DOWN, -1, 7, 8, 1},
      {KEY_DOWN, -1, 7, 8, 1},  // at the last item
      {KEY_UP, -1, 7, 7, 0},    // inside the rows
      {0, 6.0f, 6, 8, 0},       // the bar scrolls: the cursor stays on item 14
      {0, 10.0f, 7, 7, 0},      // asked beyond the end: first 7, still on item 14
      {KEY_UP, -1, 7, 6, 0}, {KEY_UP, -1, 7, 5, 0}, {KEY_UP, -1, 7, 4, 0},
      {KEY_UP, -1, 7, 3, 0}, {KEY_UP, -1, 7, 2, 0}, {KEY_UP, -1, 7, 1, 0},
      {KEY_UP, -1, 7, 0, 0},
      {KEY_UP, -1, 6, 0, 1},  // at the top row the list scrolls back
  };
  for (const auto& step : steps) {
    s.in.scrollMoved = step.scrollTo >= 0 ? 1 : 0;
    s.in.scrollPosition = step.scrollTo;
    if (step.key != 0) {
      s.Key(step.key);
    } else {
      s.driver.Cycle();
    }
    SCOPED_TRACE("cycle " + std::to_string(s.driver.cycle()));
    EXPECT_EQ(step.first, s.state.firstVisible);
    EXPECT_EQ(step.cursorRow, s.state.cursorRow);
    EXPECT_EQ(step.scrollChanged, s.state.scrollChanged);
    for (int r = 0; r < SCROLLLIST_ROWS; ++r) {
      EXPECT_EQ(r == step.cursorRow ? 1 : 0, s.state.visibleHighlighted[r]) << "row " << r;
    }
  }
  EXPECT_EQ(8, s.state.selectedIndex) << "moving the cursor selects nothing";
}

TEST(ScrollList, EnterSelectsTheCursorItemForOneCycleOnlyWithFocus) {
  List s(16);
  s.driver.Cycle();
  EXPECT_EQ(0, s.state.event) << "the first step's event has been acknowledged";
  s.Key(KEY_DOWN);
  s.Key(KEY_DOWN);
  s.Key(KEY_ENTER);
  EXPECT_EQ(1, s.state.event);
  EXPECT_EQ(2, s.state.selectedIndex);
  EXPECT_EQ(1, s.state.visibleSelected[2]);
  s.driver.Cycle();
  EXPECT_EQ(0, s.state.event);
  s.driver.SetAcknowledging(false);
  s.Key(KEY_ENTER);
  s.driver.Cycles(3);
  EXPECT_EQ(1, s.state.event) << "held while the host does not acknowledge";
  s.driver.SetAcknowledging(true);
  s.driver.Cycle();
  EXPECT_EQ(0, s.state.event);

  s.in.active = 0;
  s.Key(KEY_DOWN);
  s.Key(KEY_ENTER);
  EXPECT_EQ(0, s.state.event) << "without focus the keys do nothing";
  EXPECT_EQ(2, s.state.cursorRow);
  EXPECT_EQ(0, s.state.visibleHighlighted[2]);
}

TEST(ScrollList, AShortListNeverScrollsAndItsEmptyRowsChooseNothing) {
  List s(5);
  for (int i = 0; i < 12; ++i) s.Key(KEY_DOWN);
  EXPECT_EQ(0, s.state.firstVisible);
  EXPECT_EQ(0, s.state.scrollChanged);
  EXPECT_EQ(8, s.state.cursorRow) << "the cursor stops at the last row";
  s.Key(KEY_ENTER);
  EXPECT_EQ(0, s.state.event) << "Enter on a row below the last item";
  s.in.itemEnabled[1] = 0;
  s.Pointer(1, 1, 0);  // a disabled item
  s.Pointer(6, 1, 0);  // a row below the items
  EXPECT_EQ(0, s.state.event);
  EXPECT_EQ(0, s.state.selectedIndex);
  List paged(16, 5, 15);  // rows past the sixteenth item show spaces
  EXPECT_EQ(std::string(TEXT_SIZE_Strings, ' '),
            std::string(paged.state.visibleTexts[5], TEXT_SIZE_Strings));
}

TEST(ScrollList, ClicksSelectOnPressOrOnTheReleaseAfterAPressOnTheList) {
  List s(16);
  s.Pointer(4, 1, 0);
  EXPECT_EQ(1, s.state.event);
  EXPECT_EQ(4, s.state.selectedIndex);
  EXPECT_EQ(4, s.state.cursorRow);

  s.in.mode = SCROLLLIST_MODE_RELEASE;
  s.Pointer(6, 1, 0);
  EXPECT_EQ(0, s.state.event) << "the press arms";
  s.Pointer(6, 0, 0);
  s.Pointer(6, 0, 1);
  EXPECT_EQ(1, s.state.event);
  EXPECT_EQ(6, s.state.selectedIndex);
  s.Pointer(2, 0, 1);
  EXPECT_EQ(0, s.state.event) << "a release without a press chooses nothing";
  EXPECT_EQ(6, s.state.selectedIndex);
}

TEST(ScrollList, LoadsPageSizesAndScrollPositionsAreBounded) {
  const struct {
    int32_t count, rows, selectedIn, selected, first;
  } loads[] = {
      {16, 9, 12, 12, 7}, {16, 9, 3, 3, 0}, {16, 9, 40, 0, 0}, {16, 9, -5, 0, 0},
      {40, 9, 30, 0, 0},  {0, 9, 0, 0, 0},  {16, 0, 15, 15, 15}, {16, 50, 15, 15, 7},
  };
  for (const auto& c : loads) {
    List s(c.count, c.rows, c.selectedIn);
    SCOPED_TRACE(std::to_string(c.count) + " items, " + std::to_string(c.rows) + " rows, load " +
                 std::to_string(c.selectedIn));
    EXPECT_EQ(c.selected, s.state.selectedIndex);
    EXPECT_EQ(c.first, s.state.firstVisible);
    EXPECT_EQ(c.selected, s.cursorItem());
    for (int i = 0; i < 30; ++i) s.Key(KEY_DOWN);
    EXPECT_LE(s.state.cursorRow, SCROLLLIST_ROWS - 1);
    // Enter selects the cursor's item, never first + an absolute index.
    s.Key(KEY_ENTER);
    EXPECT_EQ(c.count == 0 ? 0 : std::min(c.count, SCROLLLIST_ITEMS) - 1, s.state.selectedIndex);
  }
  List s(16);
  const float positions[] = {1e30f, -4.0f, NAN, 3.7f};
  const int32_t firsts[] = {7, 0, 0, 3};
  for (int i = 0; i < 4; ++i) {
    s.in.scrollMoved = 1;
    s.in.scrollPosition = positions[i];
    s.driver.Cycle();
    EXPECT_EQ(firsts[i], s.state.firstVisible) << positions[i];
    EXPECT_EQ("Item " + std::to_string(firsts[i]), std::string(s.state.visibleTexts[0]));
  }
}

TEST(ScrollList, EnterRightAfterAResetLoadSelectsTheLoadedItem) {
  List s(16, 9, 12);  // first visible 7, cursor on row 5
  s.Key(KEY_ENTER);
  EXPECT_EQ(1, s.state.event);
  EXPECT_EQ(12, s.state.selectedIndex);
}

TEST(ScrollList, ARisingLockBlocksValidationForOneCycle) {
  List s(16);
  s.in.lock = 1;
  s.Key(KEY_ENTER);
  EXPECT_EQ(0, s.state.event);
  s.Key(KEY_ENTER);
  EXPECT_EQ(1, s.state.event);
}

TEST(ScrollList, TheWrapperHandsOutTheWholeTables) {
  List s(16);
  ScrollList_State state;
  ScrollList_init(&state);
  int32_t selected = -1, first = -1;
  uint8_t event = 9, scrollChanged = 9;
  char texts[SCROLLLIST_ROWS][TEXT_SIZE_Strings];
  uint8_t enabled[SCROLLLIST_ROWS], highlighted[SCROLLLIST_ROWS], selectedRows[SCROLLLIST_ROWS];
  wrapper_ScrollList(0, 0, 0, s.in.rowHover, 16, 9, s.in.items, 14, 0, s.in.itemEnabled, 0, 0, 0,
                     0, 0, 1, 0, 1, &selected, &event, texts, enabled, highlighted, selectedRows,
                     &first, &scrollChanged, &state);
  EXPECT_EQ(14, selected);
  EXPECT_EQ(7, first);
  EXPECT_EQ(1, scrollChanged);
  EXPECT_EQ("Item 15", std::string(texts[8]));
  EXPECT_EQ(1, selectedRows[7]);
  EXPECT_EQ(1, highlighted[7]);
  EXPECT_EQ(1, enabled[8]);
}

// ---- Scroll bar --------------------------------------------------------------

TEST(ScrollBar, KeysButtonsLoadsAndLimits) {
  // Page 10, line 1, maximum 25; a vertical bar whose position grows upwards.
  const struct {
    const char* what;
    uint32_t key;
    uint8_t lineUp, lineDown, pageUp, pageDown, load;
    float value, position;
    uint8_t moved;
  } steps[] = {
      {"the first step loads the value, limited", 0, 0, 0, 0, 0, 0, 40, 25, 0},
      {"load 3", 0, 0, 0, 0, 0, 1, 3, 3, 0},
      {"KEY_UP adds a line", KEY_UP, 0, 0, 0, 0, 0, 3, 4, 1},
      {"KEY_PAGE_DOWN takes a page, stops at 0", KEY_PAGE_DOWN, 0, 0, 0, 0, 0, 3, 0, 1},
      {"KEY_DOWN at 0 stays", KEY_DOWN, 0, 0, 0, 0, 0, 3, 0, 1},
      {"page up area", 0, 0, 0, 1, 0, 0, 3, 10, 1},
      {"KEY_PAGE_UP", KEY_PAGE_UP, 0, 0, 0, 0, 0, 3, 20, 1},
      {"page up stops at the maximum", 0, 0, 0, 1, 0, 0, 3, 25, 1},
      {"line down button", 0, 0, 1, 0, 0, 0, 3, 24, 1},
      {"line down wins over line up", 0, 1, 1, 0, 0, 0, 3, 23, 1},
      {"line up button", 0, 1, 0, 0, 0, 0, 3, 24, 1},
      {"KEY_LEFT means nothing to an upright bar", KEY_LEFT, 0, 0, 0, 0, 0, 3, 24, 0},
  };
  ScrollBar_State state;
  ScrollBar_init(&state);
  for (const auto& s : steps) {
    const ScrollBar_Inputs in{10, 1, s.value, 25, s.lineUp, s.lineDown, s.pageUp, s.pageDown,
                              s.load, 0, 0, 0, 1, s.key != 0, s.key, 1};
    ScrollBar(&in, &state);
    EXPECT_EQ(s.position, state.position) << s.what;
    EXPECT_EQ(s.moved, state.moved) << s.what;
  }
}

TEST(ScrollBar, OtherDirectionAndHorizontalKeys) {
  ScrollBar_State state;
  ScrollBar_init(&state);
  float position = -1;
  const struct {
    uint32_t key;
    uint8_t pageUp;
    float position;
  } steps[] = {
      {KEY_RIGHT, 0, 4},    // "up" of a horizontal bar, lowering the position
      {KEY_LEFT, 0, 5},
      {KEY_PAGE_UP, 0, 5},  // page keys belong to vertical bars
      {0, 1, 0},            // the page up area: minus a page, limited
  };
  for (const auto& s : steps) {
    wrapper_ScrollBar(10, 1, 5, 25, 0, 0, s.pageUp, 0, 0, 0, 0, 0, 0, s.key != 0, s.key, 0,
                      &position, nullptr, &state);
    EXPECT_EQ(s.position, position) << "key " << s.key;
  }
}

TEST(ScrollBar, DragFollowsThePointerUntilReleased) {
  const struct {
    uint8_t dragStart, dragEnd;
    uint32_t direction;
    float rate, position;
  } steps[] = {
      {0, 0, 1, 0, 0},       {1, 0, 1, 0.25f, 50},  {0, 0, 1, 1.5f, 200},  // beyond: limited
      {0, 0, 2, 0.25f, 150},  // the other direction shrinks with the rate
      {0, 1, 2, 0.9f, 150},   // released
      {1, 0, 1, NAN, 0},
  };
  ScrollBar_State state;
  ScrollBar_init(&state);
  for (const auto& s : steps) {
    const ScrollBar_Inputs in{10, 1, 0, 200, 0, 0, 0, 0, 0, s.rate, s.dragStart, s.dragEnd,
                              s.direction, 0, 0, 1};
    ScrollBar(&in, &state);
    EXPECT_EQ(s.position, state.position) << "rate " << s.rate;
  }
}

// ---- Multi-column table --------------------------------------------------------

struct Table {
  CycleDriver driver;
  MultiColumn_Inputs in{};
  MultiColumn_State state;
  explicit Table(uint32_t mode = 0, int32_t loadRow = 0, int32_t loadColumn = 0) {
    in = MultiColumn_Inputs{0, 0, 1, -1, -1, loadRow, loadColumn, 0, mode, 0, 0, 3, 3};
    MultiColumn_init(&state);
    driver.OnCycle([this] { MultiColumn(&in, &state); });
    driver.Cycle();  // loads the cell
  }
  void Step(int32_t row, int32_t column, uint8_t pressed, uint8_t released) {
    in.hoveredRow = row;
    in.hoveredColumn = column;
    in.pressed = pressed;
    in.released = released;
    driver.Cycle();
  }
};

TEST(MultiColumn, ChoosesWithThePressOfThePreviousCycle) {
  Table t;
  t.Step(2, 1, 1, 0);
  EXPECT_EQ(0, t.state.event);
  EXPECT_EQ(0, t.state.selectedRow);
  t.Step(2, 1, 0, 0);
  EXPECT_EQ(1, t.state.event);
  EXPECT_EQ(2, t.state.selectedRow);
  EXPECT_EQ(1, t.state.selectedColumn);
  t.Step(2, 1, 0, 0);
  EXPECT_EQ(0, t.state.event);
  t.Step(0, 0, 1, 0);
  t.Step(-1, -1, 0, 0);
  EXPECT_EQ(0, t.state.event) << "a press whose next cycle finds the pointer outside";
  EXPECT_EQ(2, t.state.selectedRow);

  Table r(MULTICOLUMN_MODE_RELEASE);
  r.Step(1, 2, 0, 1);
  EXPECT_EQ(0, r.state.event) << "release mode: a release without a press";
  r.Step(1, 2, 1, 0);
  r.Step(1, 2, 0, 0);
  EXPECT_EQ(0, r.state.event) << "armed by the previous cycle's press";
  r.Step(1, 2, 0, 1);
  EXPECT_EQ(1, r.state.event);
  EXPECT_EQ(1, r.state.selectedRow);
  EXPECT_EQ(2, r.state.selectedColumn);
}

TEST(MultiColumn, KeysStopAtTheEdgesButStillRaiseTheEvent) {
  Table t(0, 2, 2);
  const struct {
    uint32_t key;
    int32_t row, column;
    uint8_t event;
  } steps[] = {
      {KEY_DOWN, 2, 2, 1}, {KEY_RIGHT, 2, 2, 1}, {KEY_UP, 1, 2, 1},    {KEY_LEFT, 1, 1, 1},
      {KEY_LEFT, 1, 0, 1}, {KEY_LEFT, 1, 0, 1},  {KEY_ENTER, 1, 0, 1}, {'a', 1, 0, 0},
      {KEY_F5, 1, 0, 1},
  };
  for (const auto& s : steps) {
    t.in.keyPressed = 1;
    t.in.key = s.key;
    t.driver.Cycle();
    EXPECT_EQ(s.row, t.state.selectedRow) << s.key;
    EXPECT_EQ(s.column, t.state.selectedColumn) << s.key;
    EXPECT_EQ(s.event, t.state.event) << s.key;
  }
}

TEST(MultiColumn, FindsTheCellUnderThePointer) {
  const float widths[3] = {60, 68, 68};
  const struct {
    float x, y;
    int32_t firstRow, row, column;
  } cases[] = {
      {0, 0, 0, 0, 0},     {59.9f, 21.9f, 0, 0, 0}, {60, 22, 0, 1, 1},   {195.9f, 0, 0, 0, 2},
      {196, 0, 0, 0, -1},  {-1, 5, 0, 0, -1},       {10, -5, 0, -1, 0},  {10, 45, 61, 63, 0},
      {10, 67, 61, -1, 0}, {10, 1e30f, 0, -1, 0},   {NAN, NAN, 0, -1, -1},
  };
  for (const auto& c : cases) {
    int32_t row = 99, column = 99;
    FindSelectedCell_Multicolumn(c.x, c.y, 64, 3, 22, widths, c.firstRow, &row, &column);
    EXPECT_EQ(c.row, row) << c.x << "," << c.y;
    EXPECT_EQ(c.column, column) << c.x << "," << c.y;
  }
}

TEST(MultiColumn, VisibleRowsAndTheirLayoutStayInTheirTables) {
  static MultiColumn_Row cells[MULTICOLUMN_MAX_ROWS];
  int32_t values[MULTICOLUMN_MAX_ROWS];
  for (int r = 0; r < MULTICOLUMN_MAX_ROWS; ++r) {
    for (int c = 0; c < MULTICOLUMN_CELLS_PER_ROW; ++c) {
      std::snprintf(cells[r][c], TEXT_SIZE_Strings, "%d.%d", r, c);
    }
    values[r] = 1000 + r;
  }
  static MultiColumn_Row visible[MULTICOLUMN_MAX_VISIBLE_ROWS];
  int32_t visibleValues[MULTICOLUMN_MAX_VISIBLE_ROWS] = {};
  SelectElements_Multicolumn(63, 3, 58, 11, cells, values, visible, visibleValues);
  EXPECT_EQ("62.2", std::string(visible[4][2]));
  EXPECT_EQ(1062, visibleValues[4]);
  EXPECT_EQ("", std::string(visible[5][0])) << "row 63 is beyond a line count of 63";
  EXPECT_EQ("", std::string(visible[0][3])) << "only the shown columns";
  // Counts beyond the capacities are bounded (the sanitizer build checks it).
  SelectElements_Multicolumn(1000, 50, -3, 500, cells, values, visible, visibleValues);
  EXPECT_EQ("12.0", std::string(visible[15][0]));

  const float widths[3] = {60, 68, 68};
  float columnX[MULTICOLUMN_CELLS_PER_ROW] = {}, rowY[MULTICOLUMN_MAX_VISIBLE_ROWS] = {};
  uint8_t rowSelected[MULTICOLUMN_MAX_VISIBLE_ROWS] = {};
  uint8_t columnSelected[MULTICOLUMN_CELLS_PER_ROW] = {};
  float selectionX = -1, selectionWidth = -1;
  DisplayParameters_Multicolumn(3, 10, 11, 22, 12, 2, widths, columnX, rowY, &selectionX,
                                &selectionWidth, rowSelected, columnSelected);
  EXPECT_EQ(128.0f, columnX[2]);
  EXPECT_EQ(-44.0f, rowY[2]);
  EXPECT_EQ(0, rowSelected[1]);
  EXPECT_EQ(1, rowSelected[2]);
  EXPECT_EQ(1, columnSelected[2]);
  EXPECT_EQ(128.0f, selectionX);
  EXPECT_EQ(68.0f, selectionWidth);
  DisplayParameters_Multicolumn(3, 0, 11, 22, 0, 7, widths, columnX, rowY, &selectionX,
                                &selectionWidth, rowSelected, columnSelected);
  EXPECT_EQ(0.0f, selectionWidth) << "a selected column that does not exist";
}

}  // namespace
