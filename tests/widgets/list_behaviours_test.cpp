// List behaviours as a user meets them: the combo box opening and closing,
// the scroll list following its keyboard cursor, the scroll bar within its
// limits, and the table's selection. Behaviours that hold an event are
// stepped inside the cycle driver, so the acknowledge flag is the host's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/cycle_driver.h"
#include "widgets/ComboBox.h"
#include "widgets/MultiColumn.h"
#include "widgets/ScrollBar.h"
#include "widgets/ScrollList.h"
#include "widgets/interactivity_mapping.h"

namespace {

using velkor_test::CycleDriver;
using velkor_test::TestWidget;

// ---- Combo box ---------------------------------------------------------------

// A combo box's button part on screen, its list's choice supplied per cycle.
struct ComboStory {
  CycleDriver driver;
  TestWidget widget{0, 0, 120, 30};
  ComboBox_State state;
  uint8_t open = 9;
  uint8_t itemChosen = 0;
  uint8_t enabled = 1;
  uint32_t mode = 0;

  ComboStory() {
    ComboBox_init(&state);
    wrapper_ComboBox_reset(&state);
    driver.OnCycle([this] {
      widget.Sense();
      const uint8_t click = widget.hover && widget.pressed();
      wrapper_ComboBox(enabled, widget.keyPressed(), widget.key(), click, itemChosen, mode, &open,
                       &state);
    });
    driver.MoveTo(50, 15);
  }
  // Runs until the queues are empty and one more quiet cycle.
  void Settle() {
    while (driver.HasQueuedEvents()) driver.Cycle();
  }
  void Click() {
    driver.Press();
    driver.Cycle();
    driver.Release();
    driver.Cycle();
  }
};

TEST(ComboBox, ClickOpensAndEscapeCloses) {
  ComboStory s;
  s.driver.Cycle();
  EXPECT_EQ(0, s.open);
  s.Click();
  EXPECT_EQ(1, s.open);
  s.driver.Type(KEY_ESCAPE);
  s.driver.Cycle();
  EXPECT_EQ(0, s.open);
  s.Settle();
  s.driver.Type(KEY_ESCAPE);  // Escape on a closed list leaves it closed
  s.Settle();
  EXPECT_EQ(0, s.open);
}

TEST(ComboBox, SpaceTogglesOncePerKey) {
  ComboStory s;
  s.Click();  // takes the focus, opens
  ASSERT_EQ(1, s.open);
  s.driver.Type(KEY_SPACE);
  s.Settle();
  EXPECT_EQ(0, s.open);
  s.driver.Type(KEY_SPACE);
  s.Settle();
  EXPECT_EQ(1, s.open);
}

TEST(ComboBox, TheClickRightAfterAChoiceDoesNotReopen) {
  ComboStory s;
  s.Click();
  ASSERT_EQ(1, s.open);
  // The choice of an item closes the list ...
  s.itemChosen = 1;
  s.driver.Cycle();
  EXPECT_EQ(0, s.open);
  // ... and the press that made it reaches the button in the next cycle.
  s.itemChosen = 0;
  s.driver.Press();
  s.driver.Cycle();
  EXPECT_EQ(0, s.open);
  s.driver.Release();
  s.driver.Cycle();
  // A later click opens it again.
  s.Click();
  EXPECT_EQ(1, s.open);
}

TEST(ComboBox, DisabledOrLockedStaysClosed) {
  ComboStory s;
  s.Click();
  ASSERT_EQ(1, s.open);
  s.enabled = 0;
  s.driver.Cycle();
  EXPECT_EQ(0, s.open);
  s.enabled = 1;
  s.mode = COMBOBOX_MODE_LOCKED;
  s.Click();
  EXPECT_EQ(0, s.open);
}

// ---- Scroll list -------------------------------------------------------------

struct ListStory {
  CycleDriver driver;
  ScrollList_Inputs in;
  ScrollList_State state;

  explicit ListStory(int32_t count, int32_t rows = 9) {
    std::memset(&in, 0, sizeof in);
    in.count = count;
    in.rows = rows;
    in.active = 1;
    in.rowsEnabled = 1;
    for (int32_t i = 0; i < SCROLLLIST_ITEMS; ++i) {
      std::snprintf(in.items[i], TEXT_SIZE_Strings, "Item %d", i);
      in.itemEnabled[i] = 1;
    }
    ScrollList_init(&state);
    driver.OnCycle([this] { ScrollList(&in, &state); });
  }
  // One cycle with a key pulse (the KeyEvent's work is not repeated here).
  void Key(uint32_t key) {
    in.keyPressed = 1;
    in.key = key;
    driver.Cycle();
    in.keyPressed = 0;
    in.key = 0;
  }
  int32_t cursorItem() const { return state.firstVisible + state.cursorRow; }
  int highlightedRow() const {
    for (int r = 0; r < SCROLLLIST_ROWS; ++r) {
      if (state.visibleHighlighted[r]) return r;
    }
    return -1;
  }
};

TEST(ScrollList, KeysScrollPastTheRowsOneItemAtATime) {
  ListStory s(16);
  s.in.selectedIn = 8;
  struct Step {
    const char* what;
    uint32_t key;
    float scrollTo;  // < 0: the bar did not move
    int32_t first, cursorRow, cursorItem;
    uint8_t scrollChanged;
  } const steps[] = {
      {"first step loads item 8", 0, -1, 0, 8, 8, 1},
      {"down past the last row", KEY_DOWN, -1, 1, 8, 9, 1},
      {"down", KEY_DOWN, -1, 2, 8, 10, 1},
      {"down", KEY_DOWN, -1, 3, 8, 11, 1},
      {"down", KEY_DOWN, -1, 4, 8, 12, 1},
      {"down", KEY_DOWN, -1, 5, 8, 13, 1},
      {"down", KEY_DOWN, -1, 6, 8, 14, 1},
      {"down to the last item", KEY_DOWN, -1, 7, 8, 15, 1},
      {"down at the last item", KEY_DOWN, -1, 7, 8, 15, 1},
      {"up inside the rows", KEY_UP, -1, 7, 7, 14, 0},
      {"the bar scrolls by one", 0, 6.0f, 6, 8, 14, 0},
      {"up to the first row", KEY_UP, -1, 6, 7, 13, 0},
  };
  for (const Step& step : steps) {
    s.in.scrollMoved = step.scrollTo >= 0 ? 1 : 0;
    s.in.scrollPosition = step.scrollTo;
    if (step.key) {
      s.Key(step.key);
    } else {
      s.driver.Cycle();
    }
    EXPECT_EQ(step.first, s.state.firstVisible) << step.what;
    EXPECT_EQ(step.cursorRow, s.state.cursorRow) << step.what;
    EXPECT_EQ(step.cursorItem, s.cursorItem()) << step.what;
    EXPECT_EQ(step.scrollChanged, s.state.scrollChanged) << step.what;
    EXPECT_EQ(step.cursorRow, s.highlightedRow()) << step.what;
  }
  EXPECT_EQ(8, s.state.selectedIndex);  // moving the cursor selects nothing
}

TEST(ScrollList, UpAtTheTopRowScrollsBack) {
  ListStory s(16);
  s.in.selectedIn = 10;  // first step: first visible 7, cursor on row 3
  s.driver.Cycle();
  ASSERT_EQ(7, s.state.firstVisible);
  ASSERT_EQ(3, s.state.cursorRow);
  for (int i = 0; i < 3; ++i) s.Key(KEY_UP);
  EXPECT_EQ(7, s.state.firstVisible);
  EXPECT_EQ(0, s.state.cursorRow);
  s.Key(KEY_UP);
  EXPECT_EQ(6, s.state.firstVisible);
  EXPECT_EQ(0, s.state.cursorRow);
  EXPECT_EQ(6, s.cursorItem());
}

TEST(ScrollList, AShortListNeverScrolls) {
  ListStory s(5);
  s.driver.Cycle();
  for (int i = 0; i < 12; ++i) {
    s.Key(KEY_DOWN);
    EXPECT_EQ(0, s.state.firstVisible);
    EXPECT_EQ(0, s.state.scrollChanged);
  }
  EXPECT_EQ(8, s.state.cursorRow);  // the cursor stops at the last row
  // Enter on a row below the last item selects nothing and raises no event.
  s.Key(KEY_ENTER);
  EXPECT_EQ(0, s.state.event);
  EXPECT_EQ(0, s.state.selectedIndex);
}

TEST(ScrollList, EnterSelectsTheCursorItemForOneCycle) {
  ListStory s(16);
  s.driver.Cycle();
  s.driver.Cycle();  // the event of the first step has been acknowledged
  EXPECT_EQ(0, s.state.event);
  s.Key(KEY_DOWN);
  s.Key(KEY_DOWN);
  s.Key(KEY_ENTER);
  EXPECT_EQ(1, s.state.event);
  EXPECT_EQ(2, s.state.selectedIndex);
  EXPECT_EQ(1, s.state.visibleSelected[2]);
  s.driver.Cycle();
  EXPECT_EQ(0, s.state.event);
  EXPECT_EQ(2, s.state.selectedIndex);

  // Without focus the keys do nothing.
  s.in.active = 0;
  s.Key(KEY_DOWN);
  s.Key(KEY_ENTER);
  EXPECT_EQ(0, s.state.event);
  EXPECT_EQ(2, s.state.cursorRow);
  EXPECT_EQ(-1, s.highlightedRow());
}

TEST(ScrollList, ClickSelectsOnPressOrOnRelease) {
  ListStory s(16);
  s.driver.Cycle();
  s.in.rowHover[4] = 1;
  s.in.pressed = 1;
  s.in.button = 1;
  s.driver.Cycle();
  EXPECT_EQ(1, s.state.event);
  EXPECT_EQ(4, s.state.selectedIndex);
  EXPECT_EQ(4, s.state.cursorRow);

  // Release mode: the press arms, the release over a row chooses.
  s.in.mode = SCROLLLIST_MODE_RELEASE;
  s.in.rowHover[4] = 0;
  s.in.rowHover[6] = 1;
  s.driver.Cycle();  // press
  EXPECT_EQ(0, s.state.event);
  s.in.pressed = 0;
  s.driver.Cycle();
  s.in.released = 1;
  s.driver.Cycle();
  EXPECT_EQ(1, s.state.event);
  EXPECT_EQ(6, s.state.selectedIndex);

  // A release without a press on the list chooses nothing.
  s.in.released = 0;
  s.driver.Cycle();
  s.in.released = 1;
  s.in.rowHover[6] = 0;
  s.in.rowHover[2] = 1;
  s.driver.Cycle();
  EXPECT_EQ(0, s.state.event);
  EXPECT_EQ(6, s.state.selectedIndex);
}

TEST(ScrollList, DisabledItemsAndEmptyRowsCannotBeClicked) {
  ListStory s(3);
  s.in.itemEnabled[1] = 0;
  s.driver.Cycle();
  EXPECT_EQ(0, s.state.visibleEnabled[1]);
  EXPECT_EQ(std::string(EMPTY_STRING_ScrollList, TEXT_SIZE_Strings), std::string(TEXT_SIZE_Strings, ' '));
  s.in.pressed = 1;
  s.in.button = 1;
  s.in.rowHover[1] = 1;  // disabled item
  s.driver.Cycle();
  EXPECT_EQ(0, s.state.event);
  s.in.rowHover[1] = 0;
  s.in.rowHover[5] = 1;  // a row below the three items
  s.driver.Cycle();
  EXPECT_EQ(0, s.state.event);
  EXPECT_EQ(0, s.state.selectedIndex);
}

TEST(ScrollList, LoadsAreBoundedToTheItems) {
  struct Case {
    int32_t count;
    int32_t selectedIn;
    int32_t selected, first;
  } const cases[] = {
      {16, 12, 12, 7}, {16, 3, 3, 0}, {16, 40, 0, 0}, {16, -5, 0, 0}, {40, 30, 0, 0}, {0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    ListStory s(c.count);
    s.in.selectedIn = c.selectedIn;
    s.driver.Cycle();
    EXPECT_EQ(c.selected, s.state.selectedIndex) << c.count << "/" << c.selectedIn;
    EXPECT_EQ(c.first, s.state.firstVisible) << c.count << "/" << c.selectedIn;
    EXPECT_EQ(c.selected, s.cursorItem()) << c.count << "/" << c.selectedIn;
  }
}

TEST(ScrollList, PageSizesOutsideTheNineRowsAreBounded) {
  const int32_t pageSizes[] = {0, -3, 50};
  for (int32_t rows : pageSizes) {
    ListStory s(16, rows);
    s.driver.Cycle();
    for (int i = 0; i < 30; ++i) {
      s.Key(KEY_DOWN);
      EXPECT_GE(s.state.firstVisible, 0) << rows;
      EXPECT_LE(s.state.cursorRow, SCROLLLIST_ROWS - 1) << rows;
      EXPECT_LT(s.cursorItem(), SCROLLLIST_ITEMS) << rows;
    }
    s.Key(KEY_ENTER);
    EXPECT_EQ(s.cursorItem(), s.state.selectedIndex) << rows;
    EXPECT_EQ(15, s.state.selectedIndex) << rows;
  }
}

TEST(ScrollList, EnterAfterAResetLoadSelectsTheLoadedItem) {
  // The cursor row of a reset load is relative to the first visible item, so
  // Enter selects the loaded item and not first + item (19 here).
  ListStory s(16);
  s.in.selectedIn = 12;
  s.driver.Cycle();
  s.Key(KEY_ENTER);
  EXPECT_EQ(1, s.state.event);
  EXPECT_EQ(12, s.state.selectedIndex);
}

TEST(ScrollList, ScrollPositionsAreLimited) {
  const float positions[] = {1e30f, -4.0f, NAN, 3.7f};
  const int32_t expected[] = {7, 0, 0, 3};
  ListStory s(16);
  s.driver.Cycle();
  for (int i = 0; i < 4; ++i) {
    s.in.scrollMoved = 1;
    s.in.scrollPosition = positions[i];
    s.driver.Cycle();
    EXPECT_EQ(expected[i], s.state.firstVisible) << positions[i];
    EXPECT_EQ(std::string("Item ") + std::to_string(expected[i]),
              std::string(s.state.visibleTexts[0]))
        << positions[i];
  }
}

TEST(ScrollList, RisingLockBlocksValidationForOneCycle) {
  ListStory s(16);
  s.in.lock = 0;
  s.driver.Cycle();
  s.in.lock = 1;
  s.Key(KEY_ENTER);
  EXPECT_EQ(0, s.state.event);
  s.Key(KEY_ENTER);
  EXPECT_EQ(1, s.state.event);
}

TEST(ScrollList, EventStaysWithoutAcknowledge) {
  ListStory s(16);
  s.driver.Cycle();
  s.driver.SetAcknowledging(false);
  s.Key(KEY_ENTER);
  s.driver.Cycles(3);
  EXPECT_EQ(1, s.state.event);
  s.driver.SetAcknowledging(true);
  s.driver.Cycle();
  EXPECT_EQ(0, s.state.event);
}

TEST(ScrollList, WrapperCopiesTheWholeTables) {
  ListStory s(16);
  ScrollList_State state;
  ScrollList_init(&state);
  wrapper_ScrollList_reset(&state);
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
}

// ---- Scroll bar --------------------------------------------------------------

ScrollBar_Inputs barInputs() {
  ScrollBar_Inputs in{};
  in.pageStep = 10;
  in.lineStep = 1;
  in.maximum = 25;
  in.direction = 1;
  in.orientation = 1;
  return in;
}

TEST(ScrollBar, KeysButtonsAndLimits) {
  struct Step {
    const char* what;
    uint32_t key;
    uint8_t lineUp, lineDown, pageUp, pageDown;
    float position;
    uint8_t moved;
  } const steps[] = {
      {"first step loads 3", 0, 0, 0, 0, 0, 3, 0},
      {"KEY_UP adds a line", KEY_UP, 0, 0, 0, 0, 4, 1},
      {"KEY_PAGE_DOWN takes a page, stops at 0", KEY_PAGE_DOWN, 0, 0, 0, 0, 0, 1},
      {"KEY_DOWN at 0 stays", KEY_DOWN, 0, 0, 0, 0, 0, 1},
      {"page up area", 0, 0, 0, 1, 0, 10, 1},
      {"KEY_PAGE_UP", KEY_PAGE_UP, 0, 0, 0, 0, 20, 1},
      {"page up stops at the maximum", 0, 0, 0, 1, 0, 25, 1},
      {"line down button", 0, 0, 1, 0, 0, 24, 1},
      {"line down wins over line up", 0, 1, 1, 0, 0, 23, 1},
      {"line up button", 0, 1, 0, 0, 0, 24, 1},
      {"nothing", 0, 0, 0, 0, 0, 24, 0},
      {"KEY_LEFT means nothing upright", KEY_LEFT, 0, 0, 0, 0, 24, 0},
  };
  ScrollBar_State state;
  ScrollBar_init(&state);
  for (const Step& s : steps) {
    ScrollBar_Inputs in = barInputs();
    in.value = 3;
    in.keyPressed = s.key != 0;
    in.key = s.key;
    in.lineUp = s.lineUp;
    in.lineDown = s.lineDown;
    in.pageUp = s.pageUp;
    in.pageDown = s.pageDown;
    ScrollBar(&in, &state);
    EXPECT_EQ(s.position, state.position) << s.what;
    EXPECT_EQ(s.moved, state.moved) << s.what;
  }
}

TEST(ScrollBar, OtherDirectionAndHorizontalKeys) {
  ScrollBar_State state;
  ScrollBar_init(&state);
  float position = -1;
  uint8_t moved = 9;
  // direction 0, horizontal: KEY_RIGHT is "up", which now lowers the position.
  wrapper_ScrollBar(10, 1, 5, 25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, KEY_RIGHT, 0, &position, &moved, &state);
  EXPECT_EQ(4.0f, position);
  wrapper_ScrollBar(10, 1, 5, 25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, KEY_LEFT, 0, &position, &moved, &state);
  EXPECT_EQ(5.0f, position);
  // Page keys belong to vertical bars only.
  wrapper_ScrollBar(10, 1, 5, 25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, KEY_PAGE_UP, 0, &position, &moved, &state);
  EXPECT_EQ(5.0f, position);
  EXPECT_EQ(0, moved);
  wrapper_ScrollBar(10, 1, 5, 25, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, &position, &moved, &state);
  EXPECT_EQ(0.0f, position);  // page up area, direction 0: minus a page, limited
}

TEST(ScrollBar, DragFollowsThePointerUntilReleased) {
  ScrollBar_State state;
  ScrollBar_init(&state);
  wrapper_ScrollBar_reset(&state);
  ScrollBar_Inputs in = barInputs();
  in.maximum = 200;
  ScrollBar(&in, &state);
  in.dragStart = 1;
  in.pointerRate = 0.25f;
  ScrollBar(&in, &state);
  EXPECT_EQ(50.0f, state.position);
  EXPECT_EQ(1, state.moved);
  in.dragStart = 0;
  in.pointerRate = 1.5f;  // beyond the track: limited
  ScrollBar(&in, &state);
  EXPECT_EQ(200.0f, state.position);
  in.direction = 2;       // the position shrinks with the rate
  in.pointerRate = 0.25f;
  ScrollBar(&in, &state);
  EXPECT_EQ(150.0f, state.position);
  in.dragEnd = 1;
  in.pointerRate = 0.9f;
  ScrollBar(&in, &state);
  EXPECT_EQ(150.0f, state.position);
  EXPECT_EQ(0, state.moved);
  in.dragEnd = 0;
  in.pointerRate = NAN;
  in.dragStart = 1;
  ScrollBar(&in, &state);
  EXPECT_EQ(0.0f, state.position);
}

TEST(ScrollBar, LoadAfterResetAndLater) {
  ScrollBar_State state;
  ScrollBar_init(&state);
  ScrollBar_Inputs in = barInputs();
  in.value = 40;  // above the maximum
  ScrollBar(&in, &state);
  EXPECT_EQ(25.0f, state.position);
  in.value = 7;
  in.load = 1;
  ScrollBar(&in, &state);
  EXPECT_EQ(7.0f, state.position);
  EXPECT_EQ(0, state.moved);
  ScrollBar_reset(&state);
  in.load = 0;
  in.value = 2;
  in.lineUp = 1;  // the first step after a reset starts from the value
  ScrollBar(&in, &state);
  EXPECT_EQ(3.0f, state.position);
}

// ---- Multi-column table --------------------------------------------------------

struct TableStory {
  CycleDriver driver;
  MultiColumn_Inputs in;
  MultiColumn_State state;
  TableStory() {
    std::memset(&in, 0, sizeof in);
    in.rows = 3;
    in.columns = 3;
    in.hoveredRow = -1;
    in.hoveredColumn = -1;
    in.button = 1;
    MultiColumn_init(&state);
    MultiColumn_reset(&state);
    driver.OnCycle([this] { MultiColumn(&in, &state); });
  }
  void Key(uint32_t key) {
    in.keyPressed = 1;
    in.key = key;
    driver.Cycle();
    in.keyPressed = 0;
    in.key = 0;
  }
};

TEST(MultiColumn, ChoosesWithThePressOfThePreviousCycle) {
  TableStory t;
  t.driver.Cycle();  // loads (0, 0)
  t.in.hoveredRow = 2;
  t.in.hoveredColumn = 1;
  t.in.pressed = 1;
  t.driver.Cycle();
  EXPECT_EQ(0, t.state.event);
  EXPECT_EQ(0, t.state.selectedRow);
  t.in.pressed = 0;
  t.driver.Cycle();
  EXPECT_EQ(1, t.state.event);
  EXPECT_EQ(2, t.state.selectedRow);
  EXPECT_EQ(1, t.state.selectedColumn);
  t.driver.Cycle();
  EXPECT_EQ(0, t.state.event);

  // A press whose next cycle finds the pointer outside chooses nothing.
  t.in.pressed = 1;
  t.driver.Cycle();
  t.in.pressed = 0;
  t.in.hoveredRow = -1;
  t.driver.Cycle();
  EXPECT_EQ(0, t.state.event);
  EXPECT_EQ(2, t.state.selectedRow);
}

TEST(MultiColumn, KeysStopAtTheEdgesButStillRaiseTheEvent) {
  TableStory t;
  t.in.loadRow = 2;
  t.in.loadColumn = 2;
  t.driver.Cycle();
  struct Step {
    uint32_t key;
    int32_t row, column;
    uint8_t event;
  } const steps[] = {
      {KEY_DOWN, 2, 2, 1}, {KEY_RIGHT, 2, 2, 1}, {KEY_UP, 1, 2, 1}, {KEY_LEFT, 1, 1, 1},
      {KEY_LEFT, 1, 0, 1}, {KEY_LEFT, 1, 0, 1},  {KEY_ENTER, 1, 0, 1}, {'a', 1, 0, 0},
      {KEY_F5, 1, 0, 1},
  };
  for (const Step& s : steps) {
    t.Key(s.key);
    EXPECT_EQ(s.row, t.state.selectedRow) << s.key;
    EXPECT_EQ(s.column, t.state.selectedColumn) << s.key;
    EXPECT_EQ(s.event, t.state.event) << s.key;
  }
}

TEST(MultiColumn, ReleaseModeNeedsAPressOnTheTable) {
  TableStory t;
  t.in.mode = MULTICOLUMN_MODE_RELEASE;
  t.driver.Cycle();
  t.in.hoveredRow = 1;
  t.in.hoveredColumn = 2;
  t.in.released = 1;  // release without a press
  t.driver.Cycle();
  EXPECT_EQ(0, t.state.event);
  t.in.released = 0;
  t.in.pressed = 1;
  t.driver.Cycle();
  t.in.pressed = 0;
  t.driver.Cycle();  // armed from the previous cycle's press
  EXPECT_EQ(0, t.state.event);
  t.in.released = 1;
  t.driver.Cycle();
  EXPECT_EQ(1, t.state.event);
  EXPECT_EQ(1, t.state.selectedRow);
  EXPECT_EQ(2, t.state.selectedColumn);
}

TEST(MultiColumn, FindsTheCellUnderThePointer) {
  const float widths[3] = {60, 68, 68};
  struct Case {
    float x, y;
    int32_t firstRow;
    int32_t row, column;
  } const cases[] = {
      {0, 0, 0, 0, 0},      {59.9f, 21.9f, 0, 0, 0}, {60, 22, 0, 1, 1},     {195.9f, 0, 0, 0, 2},
      {196, 0, 0, 0, -1},   {-1, 5, 0, 0, -1},       {10, -5, 0, -1, 0},    {10, 45, 61, 63, 0},
      {10, 67, 61, -1, 0},  {10, 1e30f, 0, -1, 0},   {NAN, NAN, 0, -1, -1},
  };
  for (const Case& c : cases) {
    int32_t row = 99, column = 99;
    FindSelectedCell_Multicolumn(c.x, c.y, 64, 3, 22, widths, c.firstRow, &row, &column);
    EXPECT_EQ(c.row, row) << c.x << "," << c.y;
    EXPECT_EQ(c.column, column) << c.x << "," << c.y;
  }
}

TEST(MultiColumn, CopiesTheVisibleRowsStoppingAtTheLast) {
  static MultiColumn_Row cells[MULTICOLUMN_MAX_ROWS];
  int32_t values[MULTICOLUMN_MAX_ROWS];
  for (int r = 0; r < MULTICOLUMN_MAX_ROWS; ++r) {
    for (int c = 0; c < MULTICOLUMN_CELLS_PER_ROW; ++c) {
      std::snprintf(cells[r][c], TEXT_SIZE_Strings, "%d.%d", r, c);
    }
    values[r] = 1000 + r;
  }
  static MultiColumn_Row visible[MULTICOLUMN_MAX_VISIBLE_ROWS];
  int32_t visibleValues[MULTICOLUMN_MAX_VISIBLE_ROWS];
  std::memset(visible, 0, sizeof visible);
  std::memset(visibleValues, 0, sizeof visibleValues);
  SelectElements_Multicolumn(63, 3, 58, 11, cells, values, visible, visibleValues);
  EXPECT_EQ("58.0", std::string(visible[0][0]));
  EXPECT_EQ("62.2", std::string(visible[4][2]));
  EXPECT_EQ("", std::string(visible[5][0]));  // row 63 is beyond a line count of 63
  EXPECT_EQ("", std::string(visible[0][3]));  // only the shown columns
  EXPECT_EQ(1062, visibleValues[4]);
  EXPECT_EQ(0, visibleValues[5]);

  // Counts beyond the capacities are bounded (the sanitizer build checks it).
  SelectElements_Multicolumn(1000, 50, -3, 500, cells, values, visible, visibleValues);
  EXPECT_EQ("0.7", std::string(visible[3][7]));
  EXPECT_EQ("12.0", std::string(visible[15][0]));
}

TEST(MultiColumn, DisplayParameters) {
  const float widths[3] = {60, 68, 68};
  float columnX[MULTICOLUMN_CELLS_PER_ROW] = {};
  float rowY[MULTICOLUMN_MAX_VISIBLE_ROWS] = {};
  uint8_t rowSelected[MULTICOLUMN_MAX_VISIBLE_ROWS] = {};
  uint8_t columnSelected[MULTICOLUMN_CELLS_PER_ROW] = {};
  float selectionX = -1, selectionWidth = -1;
  DisplayParameters_Multicolumn(3, 10, 11, 22, 12, 2, widths, columnX, rowY, &selectionX,
                                &selectionWidth, rowSelected, columnSelected);
  EXPECT_EQ(0.0f, columnX[0]);
  EXPECT_EQ(128.0f, columnX[2]);
  EXPECT_EQ(-44.0f, rowY[2]);
  EXPECT_EQ(1, rowSelected[2]);
  EXPECT_EQ(0, rowSelected[1]);
  EXPECT_EQ(1, columnSelected[2]);
  EXPECT_EQ(128.0f, selectionX);
  EXPECT_EQ(68.0f, selectionWidth);
  // A selected column that does not exist gives an empty selection bar.
  DisplayParameters_Multicolumn(3, 0, 11, 22, 0, 7, widths, columnX, rowY, &selectionX,
                                &selectionWidth, rowSelected, columnSelected);
  EXPECT_EQ(0.0f, selectionX);
  EXPECT_EQ(0.0f, selectionWidth);
}

}  // namespace
