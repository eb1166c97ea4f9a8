// The list family of display classes - combo box, scroll list, scroll bar,
// radio box, table and scroll panel - driven through the real frame: pointer
// and key records handed to the interactivity mapping, the instances drawn
// in transformed frames on the off-screen context, outputs and pixels read
// afterwards.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>

#include "display/Velkor_ComboBox.h"
#include "display/Velkor_MultiColumn.h"
#include "display/Velkor_RadioBox.h"
#include "display/Velkor_ScrollBar.h"
#include "display/Velkor_ScrollList_generic.h"
#include "display/Velkor_ScrollPanel.h"
#include "tests/display/display_fixture.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::CountPixelsNear;
using velkor_test::DisplayTest;
using velkor_test::ReadPixel;
using velkor_test::Rgba;
using velkor_test::TableColor;

constexpr uint32_t kWheelAway = 4;
constexpr uint32_t kWheelTowards = 5;

// ---- Geometry as numbers ----------------------------------------------------------

TEST(ScrollBarPlace, ArrowsTrackAndThumb) {
  const struct {
    const char* name;
    float w, h;
    uint32_t orientation, direction;
    float maximum, page, position;
    float arrow, track_start, track_length, thumb_length, thumb_start;
  } cases[] = {
      // 172 units of track; the page is a third of maximum + page.
      {"vertical, top of a list", 14, 200, 1, 0, 10, 5, 0, 14, 14, 172, 172.0f / 3,
       14 + 172 - 172.0f / 3},
      {"vertical, bottom of a list", 14, 200, 1, 0, 10, 5, 10, 14, 14, 172, 172.0f / 3, 14},
      {"vertical, direction 1 at the bottom", 14, 200, 1, 1, 10, 5, 0, 14, 14, 172, 172.0f / 3, 14},
      {"horizontal, half way", 200, 14, 0, 1, 10, 5, 5, 14, 14, 172, 172.0f / 3,
       14 + (172 - 172.0f / 3) / 2},
      {"position beyond maximum is the end", 14, 200, 1, 1, 10, 5, 99, 14, 14, 172, 172.0f / 3,
       14 + 172 - 172.0f / 3},
      {"nothing to scroll: the thumb fills the track", 14, 200, 1, 0, 0, 5, 0, 14, 14, 172, 172,
       14},
      {"tiny page: the thumb keeps the bar's thickness", 14, 200, 1, 1, 1000, 1, 0, 14, 14, 172, 14,
       14},
      {"short bar: arrows share the length", 14, 20, 1, 1, 10, 5, 0, 10, 10, 0, 0, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Velkor_ScrollBarLayout l =
        Velkor_ScrollBarPlace(c.w, c.h, c.orientation, c.direction, c.maximum, c.page, c.position);
    EXPECT_FLOAT_EQ(c.arrow, l.arrow);
    EXPECT_FLOAT_EQ(c.track_start, l.trackStart);
    EXPECT_FLOAT_EQ(c.track_length, l.trackLength);
    EXPECT_NEAR(c.thumb_length, l.thumbLength, 1e-3f);
    EXPECT_NEAR(c.thumb_start, l.thumbStart, 1e-3f);
  }
}

TEST(MultiColumnFollow, TheViewMovesAsLittleAsItCan) {
  const struct {
    int32_t row, first, visible, rows, expected;
  } cases[] = {
      {5, 0, 10, 64, 0},    // already in view
      {10, 0, 10, 64, 1},   // one below the view: scroll by one
      {3, 8, 10, 64, 3},    // above the view: it becomes the first row
      {63, 0, 10, 64, 54},  // the last row ends the view
      {70, 0, 10, 64, 54},  // beyond the table: limited
      {-4, 5, 10, 64, 0},   // before the table: limited
      {2, 0, 10, 5, 0},     // a table shorter than the view never scrolls
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Velkor_MultiColumn_follow(c.row, c.first, c.visible, c.rows))
        << "row " << c.row << " first " << c.first;
  }
}

TEST(RadioBoxCells, ColumnsFillTopToBottom) {
  Velkor_RadioBox box;
  Velkor_RadioBox_init(&box);
  box.width = 208;   // 200 inside the padding
  box.height = 108;  // 100 inside
  box.itemCount = 5;
  box.columns = 2;  // 3 rows in the first column, 2 in the second
  const struct {
    int32_t index;
    bool exists;
    float x, y;
  } cases[] = {{0, true, 4, 104 - 100.0f / 3},   {2, true, 4, 4},  {3, true, 104, 104 - 100.0f / 3},
               {4, true, 104, 104 - 200.0f / 3}, {5, false, 0, 0}, {-1, false, 0, 0}};
  for (const auto& c : cases) {
    float x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(c.exists, Velkor_RadioBox_itemCell(&box, c.index, &x, &y, &w, &h)) << c.index;
    if (!c.exists) continue;
    EXPECT_FLOAT_EQ(c.x, x) << c.index;
    EXPECT_NEAR(c.y, y, 1e-3f) << c.index;
    EXPECT_FLOAT_EQ(100.0f, w);
    EXPECT_NEAR(100.0f / 3, h, 1e-3f);
  }
}

// ---- The pass rule ------------------------------------------------------------------

// Every class of the family, initialised, with outputs set to marks that no
// draw would leave; drawn in another pass it must neither draw nor touch them.
TEST_F(DisplayTest, AnotherPassDrawsNothingAndKeepsTheOutputs) {
  static Velkor_ComboBox combo;
  static Velkor_ScrollList_generic list;
  static Velkor_ScrollBar bar;
  static Velkor_RadioBox radio;
  static Velkor_MultiColumn table;
  static Velkor_ScrollPanel panel;
  static Velkor_ComboBoxItem item;
  static Velkor_LineOfCells line;
  static Velkor_MultiColumnCell cell;
  const struct {
    const char* name;
    std::function<void()> prepare;  // init, pass 2, outputs marked
    std::function<void()> draw;     // predraw, then draw in pass 0
    std::function<bool()> kept;
    const void* record;  // every byte of it stays as it was
    size_t size;
  } cases[] = {
      {"ComboBox",
       [] {
         Velkor_ComboBox_init(&combo);
         combo.pass = 2;
         combo.selectedIndex = 7;
         combo.open = 1;
       },
       [] { Velkor_ComboBox_draw(&combo, 0); },
       [] { return combo.selectedIndex == 7 && combo.open == 1; }, &combo, sizeof combo},
      {"ScrollList_generic",
       [] {
         Velkor_ScrollList_generic_init(&list);
         list.pass = 2;
         list.selectedIndex = 5;
         list.firstVisible = 3;
       },
       [] { Velkor_ScrollList_generic_draw(&list, 0); },
       [] { return list.selectedIndex == 5 && list.firstVisible == 3; }, &list, sizeof list},
      {"ScrollBar",
       [] {
         Velkor_ScrollBar_init(&bar);
         bar.pass = 2;
         bar.position = 4.5f;
       },
       [] { Velkor_ScrollBar_draw(&bar, 0); }, [] { return bar.position == 4.5f; }, &bar,
       sizeof bar},
      {"RadioBox",
       [] {
         Velkor_RadioBox_init(&radio);
         radio.pass = 2;
         radio.selectedIndex = 2;
         radio.cursor = 2;
       },
       [] { Velkor_RadioBox_draw(&radio, 0); },
       [] { return radio.selectedIndex == 2 && radio.cursor == 2; }, &radio, sizeof radio},
      {"MultiColumn",
       [] {
         Velkor_MultiColumn_init(&table);
         table.pass = 2;
         table.selectedRow = 9;
         table.selectedColumn = 2;
       },
       [] { Velkor_MultiColumn_draw(&table, 0); },
       [] { return table.selectedRow == 9 && table.selectedColumn == 2; }, &table, sizeof table},
      {"ScrollPanel",
       [] {
         Velkor_ScrollPanel_init(&panel);
         panel.pass = 2;
         panel.scrollY = 12.0f;
       },
       [] { Velkor_ScrollPanel_draw(&panel, 0); }, [] { return panel.scrollY == 12.0f; }, &panel,
       sizeof panel},
      {"ComboBoxItem",
       [] {
         Velkor_ComboBoxItem_init(&item);
         item.pass = 2;
         item.label = "x";
         item.backColor = 77;
       },
       [] { Velkor_ComboBoxItem_draw(&item, 0); }, [] { return item.backColor == 77; }, &item,
       sizeof item},
      {"LineOfCells",
       [] {
         Velkor_LineOfCells_init(&line);
         line.pass = 2;
         line.columns = 2;
         line.columnWidths[0] = line.columnWidths[1] = 50;
         line.marked = 1;
         line.markColor = 1000;
       },
       [] { Velkor_LineOfCells_draw(&line, 0); }, [] { return line.cells[0].backColor == 0; },
       &line, sizeof line},
      {"MultiColumnCell",
       [] {
         Velkor_MultiColumnCell_init(&cell);
         cell.pass = 2;
         cell.label = "x";
         cell.textColor = 77;
       },
       [] { Velkor_MultiColumnCell_draw(&cell, 0); }, [] { return cell.textColor == 77; }, &cell,
       sizeof cell},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.prepare();
    static unsigned char before[1 << 17];
    ASSERT_LE(c.size, sizeof before);
    std::memcpy(before, c.record, c.size);
    MoveTo(640, 384);
    Press();
    Frame([&] { DrawAt(600, 300, 1, 0, c.draw); });
    EXPECT_EQ(0, CountCoveredPixels(0, 0, velkor_test::kDisplayWidth, velkor_test::kDisplayHeight));
    EXPECT_TRUE(c.kept());
    EXPECT_EQ(0, std::memcmp(before, c.record, c.size));
    Release();
    Frame([] {});
  }
}

// ---- Combo box -----------------------------------------------------------------------

const char* const kItems[] = {"Double Operand", "Single Operand", "Jump", "Emulated",
                              "---no instruction---"};

class ComboBoxTest : public DisplayTest {
 protected:
  // The box at (200, 400), 180 x 34; its open list of five rows, 34 high
  // each, hangs below it: row r is centred on y = 400 - 34 r - 17.
  void SetUp() override {
    DisplayTest::SetUp();
    Velkor_ComboBox_init(&combo_);
    combo_.width = 180;
    combo_.height = 34;
    for (int i = 0; i < 5; ++i) combo_.items[i] = kItems[i];
    combo_.itemCount = 5;
    combo_.shownItems = 5;
  }
  void Draw() {
    Frame([&] {
      Velkor_ComboBox_predraw(&combo_);
      DrawAt(200, 400, 1, 0, [&] { Velkor_ComboBox_draw(&combo_, 0); });
    });
  }
  static float RowY(int row) { return 400.0f - 34.0f * static_cast<float>(row) - 17.0f; }
  // Pointer onto the box and a click on it.
  void ClickBox() {
    MoveTo(290, 417);
    Draw();
    Press();
    Draw();
    Release();
    Draw();
  }
  void ClickRow(int row) {
    MoveTo(290, RowY(row));
    Draw();
    Press();
    Draw();
    press_frame_event_ = combo_.event;
    press_frame_open_ = combo_.open;
    Release();
    Draw();
  }
  void Key(uint32_t key) {
    Type(key);
    Draw();
    key_frame_open_ = combo_.open;
    key_frame_event_ = combo_.event;
    Draw();
  }

  Velkor_ComboBox combo_;
  uint8_t press_frame_event_ = 0;
  uint8_t press_frame_open_ = 0;
  uint8_t key_frame_open_ = 0;
  uint8_t key_frame_event_ = 0;
};

TEST_F(ComboBoxTest, ClickOpensAndAClickOnARowChoosesIt) {
  Draw();
  EXPECT_EQ(0, combo_.selectedIndex);
  EXPECT_EQ(0, combo_.open);
  ClickBox();
  ASSERT_EQ(1, combo_.open);
  // The open list is drawn below the box.
  EXPECT_GT(CountCoveredPixels(210, 240, 160, 150), 10000);
  ClickRow(2);
  EXPECT_EQ(1, press_frame_event_);  // the choice is reported in its own frame ...
  EXPECT_EQ(0, press_frame_open_);   // ... which also closes the list
  EXPECT_EQ(2, combo_.selectedIndex);
  EXPECT_EQ(0, combo_.event);  // one frame only
  EXPECT_EQ(0, CountCoveredPixels(210, 240, 160, 150));
}

TEST_F(ComboBoxTest, OnlyTheItemCountIsShownAndChosen) {
  combo_.itemCount = 3;
  Draw();
  ClickBox();
  ASSERT_EQ(1, combo_.open);
  // Three rows hang below the box; nothing where a fourth would be.
  EXPECT_GT(CountCoveredPixels(210, static_cast<int>(RowY(2)) - 5, 160, 10), 1000);
  EXPECT_EQ(0, CountCoveredPixels(210, static_cast<int>(RowY(3)) - 5, 160, 10));
  ClickRow(3);  // below the list: nothing chosen
  EXPECT_EQ(0, press_frame_event_);
  EXPECT_EQ(0, combo_.selectedIndex);
}

TEST_F(ComboBoxTest, ADisabledItemCannotBeChosenByPointerOrByEnter) {
  combo_.itemFlags[3] = 0;
  Draw();
  ClickBox();
  ClickRow(3);
  EXPECT_EQ(0, press_frame_event_);
  EXPECT_EQ(1, combo_.open);
  EXPECT_EQ(0, combo_.selectedIndex);
  // The keyboard cursor can reach it, but Enter does not choose it.
  for (int i = 0; i < 3; ++i) Key(KEY_DOWN);
  Key(KEY_ENTER);
  EXPECT_EQ(0, key_frame_event_);
  EXPECT_EQ(0, combo_.selectedIndex);
  EXPECT_EQ(1, combo_.open);
  // One further down is enabled: Enter chooses it and closes the list.
  Key(KEY_DOWN);
  Key(KEY_ENTER);
  EXPECT_EQ(1, key_frame_event_);
  EXPECT_EQ(4, combo_.selectedIndex);
  EXPECT_EQ(0, combo_.open);
}

TEST_F(ComboBoxTest, EscapeClosesSpaceToggles) {
  Draw();
  ClickBox();
  ASSERT_EQ(1, combo_.open);
  Key(KEY_ESCAPE);
  EXPECT_EQ(0, key_frame_open_);
  EXPECT_EQ(0, combo_.selectedIndex);
  Key(KEY_SPACE);
  EXPECT_EQ(1, key_frame_open_);
  Key(KEY_SPACE);
  EXPECT_EQ(0, key_frame_open_);
}

TEST_F(ComboBoxTest, ForcedIndexLoadsWhileClosed) {
  combo_.forcedIndex = 3;
  combo_.force = 1;
  Draw();
  combo_.force = 0;
  Draw();
  EXPECT_EQ(3, combo_.selectedIndex);
  EXPECT_EQ(0, combo_.event);  // a load is not the user's choice
}

TEST_F(ComboBoxTest, DisabledNeitherOpensNorTakesKeysAndIsGreyed) {
  Draw();
  const Rgba face_enabled = ReadPixel(335, 425);
  combo_.enabled = 0;
  ClickBox();
  EXPECT_EQ(0, combo_.open);
  Key(KEY_SPACE);
  EXPECT_EQ(0, key_frame_open_);
  // The greyed overlay darkens the face.
  const Rgba face_disabled = ReadPixel(335, 425);
  EXPECT_LT(face_disabled.r + 20, face_enabled.r);
}

TEST_F(ComboBoxTest, FrameTakesTheFocusColour) {
  MoveTo(50, 50);
  Draw();
  const Rgba unfocused = TableColor(1000 + kVelkorColorFrame);
  const Rgba focused = TableColor(1000 + kVelkorColorFrameFocused);
  EXPECT_GT(CountPixelsNear(200, 410, 3, 14, unfocused, 2), 20);
  EXPECT_EQ(0, CountPixelsNear(200, 410, 3, 14, focused, 2));
  MoveTo(290, 417);
  Draw();
  EXPECT_GT(CountPixelsNear(200, 410, 3, 14, focused, 2), 20);
}

// ---- Scroll list on its own ------------------------------------------------------

TEST_F(DisplayTest, ScrollListScrollsWithTheWheelAndItsBarAndChoosesOnRelease) {
  static Velkor_ScrollList_generic list;
  Velkor_ScrollList_generic_init(&list);
  static char names[16][16];
  for (int i = 0; i < 16; ++i) {
    std::snprintf(names[i], sizeof names[i], "R%d", i);
    list.items[i] = names[i];
  }
  list.itemCount = 16;
  list.rows = 4;
  list.width = 200;
  list.height = 100;  // rows of 25; the bar at x 186 .. 200
  list.mode = SCROLLLIST_MODE_RELEASE;
  auto draw = [&] {
    Frame([&] {
      Velkor_ScrollList_generic_predraw(&list);
      DrawAt(300, 300, 1, 0, [&] { Velkor_ScrollList_generic_draw(&list, 0); });
    });
  };
  MoveTo(350, 360);
  draw();
  const struct {
    uint32_t button;
    int32_t first;
  } notches[] = {
      {kWheelTowards, 1}, {kWheelTowards, 2}, {kWheelAway, 1}, {kWheelAway, 0}, {kWheelAway, 0}};
  for (const auto& n : notches) {
    Wheel(n.button);
    draw();
    draw();
    EXPECT_EQ(n.first, list.firstVisible) << "after wheel " << n.button;
  }
  // The bar's lower arrow (at its bottom) scrolls down by one item.
  MoveTo(493, 307);
  draw();
  Press();
  draw();
  Release();
  draw();
  EXPECT_EQ(1, list.firstVisible);
  // Row 1 now holds item 2: a press and a release on it choose it.
  MoveTo(350, 362);
  draw();
  Press();
  draw();
  EXPECT_EQ(0, list.event);  // release mode: not yet
  Release();
  draw();
  EXPECT_EQ(1, list.event);
  EXPECT_EQ(2, list.selectedIndex);
}

// ---- Scroll bar ------------------------------------------------------------------

class ScrollBarTest : public DisplayTest {
 protected:
  // A vertical bar at (100, 100), 20 x 220: arrows 20 high at either end,
  // 180 of track; maximum 10, page 10, so the thumb is 90 long.
  void SetUp() override {
    DisplayTest::SetUp();
    Velkor_ScrollBar_init(&bar_);
    bar_.width = 20;
    bar_.height = 220;
    bar_.maximum = 10;
    bar_.pageStep = 10;
    bar_.lineStep = 1;
    bar_.direction = 0;
  }
  void Draw() {
    Frame([&] {
      Velkor_ScrollBar_predraw(&bar_);
      DrawAt(100, 100, 1, 0, [&] { Velkor_ScrollBar_draw(&bar_, 0); });
    });
  }
  void Click(float x, float y) {
    MoveTo(x, y);
    Draw();
    Press();
    Draw();
    Release();
    Draw();
  }
  Velkor_ScrollBar bar_;
};

TEST_F(ScrollBarTest, ArrowsPagesWheelAndKeys) {
  Draw();
  EXPECT_EQ(0.0f, bar_.position);
  const struct {
    const char* name;
    std::function<void()> act;
    float position;
  } steps[] = {
      {"lower arrow", [&] { Click(110, 110); }, 1},
      {"lower arrow again", [&] { Click(110, 110); }, 2},
      {"upper arrow", [&] { Click(110, 310); }, 1},
      // At position 1 the thumb spans 201 .. 291 on screen; the track below
      // it pages down, the one above it pages up.
      {"track below the thumb", [&] { Click(110, 125); }, 10},
      {"track above the thumb", [&] { Click(110, 290); }, 0},
      {"wheel towards the user",
       [&] {
         MoveTo(110, 200);
         Wheel(kWheelTowards);
         Draw();
         Draw();
       },
       1},
      {"wheel away",
       [&] {
         Wheel(kWheelAway);
         Draw();
         Draw();
       },
       0},
      {"wheel away at the top stays",
       [&] {
         Wheel(kWheelAway);
         Draw();
         Draw();
       },
       0},
      {"keys without the owner's focus do nothing",
       [&] {
         Type(KEY_DOWN);
         Draw();
         Draw();
       },
       0},
      {"keys with it",
       [&] {
         bar_.keyEnable = 1;
         Type(KEY_DOWN);
         Draw();
         Draw();
       },
       1},
      {"page key",
       [&] {
         Type(KEY_PAGE_DOWN);
         Draw();
         Draw();
       },
       10},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_FLOAT_EQ(s.position, bar_.position) << s.name;
  }
}

TEST_F(ScrollBarTest, DraggingTheThumbFollowsThePointerFromWhereItWasGrabbed) {
  Draw();
  // Position 0 with direction 0: the thumb at the top, 210 .. 300 on screen.
  MoveTo(110, 290);  // grabbed 35 above its centre at 255
  Draw();
  Press();
  Draw();
  EXPECT_NEAR(0.0f, bar_.position, 1e-4f);  // grabbing does not move it
  MoveTo(110, 245);                         // 45 down: half of the 90 of travel
  Draw();
  EXPECT_NEAR(5.0f, bar_.position, 1e-3f);
  EXPECT_EQ(1, bar_.moved);
  MoveTo(110, 0);  // far below: the end
  Draw();
  EXPECT_NEAR(10.0f, bar_.position, 1e-3f);
  Release();
  Draw();
  MoveTo(110, 290);  // released: the pointer no longer drags
  Draw();
  EXPECT_NEAR(10.0f, bar_.position, 1e-3f);
  // The thumb is drawn at the bottom now, the top of the track is empty.
  const Rgba accent = TableColor(1000 + kVelkorColorAccent);
  EXPECT_GT(CountPixelsNear(105, 140, 10, 40, accent, 2), 100);
  EXPECT_EQ(0, CountPixelsNear(105, 230, 10, 60, accent, 2));
}

// ---- Radio box -------------------------------------------------------------------

TEST_F(DisplayTest, RadioBoxChoosesByClickAndKeysButNeverADisabledItem) {
  static Velkor_RadioBox box;
  Velkor_RadioBox_init(&box);
  box.width = 138;
  box.height = 86;  // three rows of 26 from y 4 inside the padding
  box.font = 20;
  box.items[0] = "Slow";
  box.items[1] = "Medium";
  box.items[2] = "Fast";
  box.itemFlags[2] = 0;
  box.itemCount = 3;
  auto draw = [&] {
    Frame([&] {
      Velkor_RadioBox_predraw(&box);
      // Scaled by two: every row is 52 pixels high on screen.
      DrawAt(400, 200, 2, 0, [&] { Velkor_RadioBox_draw(&box, 0); });
    });
  };
  auto click_row = [&](int row) {
    MoveTo(500, 200 + 2 * (82 - 26 * row - 13));
    draw();
    Press();
    draw();
    const uint8_t event = box.event;
    Release();
    draw();
    return event;
  };
  draw();
  EXPECT_EQ(0, box.selectedIndex);  // the first frame loads index 0
  EXPECT_EQ(1, click_row(1));
  EXPECT_EQ(1, box.selectedIndex);
  EXPECT_EQ(0, click_row(2));  // disabled
  EXPECT_EQ(1, box.selectedIndex);
  // Keys: the cursor follows the click; Down reaches the disabled item,
  // whose Enter does nothing; Up and Enter choose "Slow".
  const struct {
    uint32_t key;
    int32_t cursor, selected;
  } keys[] = {
      {KEY_DOWN, 2, 1}, {KEY_ENTER, 2, 1}, {KEY_UP, 1, 1}, {KEY_UP, 0, 1}, {KEY_ENTER, 0, 0}};
  for (const auto& k : keys) {
    Type(k.key);
    draw();
    draw();
    EXPECT_EQ(k.cursor, box.cursor) << "key " << k.key;
    EXPECT_EQ(k.selected, box.selectedIndex) << "key " << k.key;
  }
}

// ---- Table -----------------------------------------------------------------------

class MultiColumnTest : public DisplayTest {
 protected:
  // The table at (300, 200), 215 x 260: a header row and 10 rows of 22
  // below it (body 238 high, from y 200 to 438), columns 60, 68, 68, the
  // scroll bar right of x 501.
  void SetUp() override {
    DisplayTest::SetUp();
    for (int r = 0; r < 64; ++r) {
      std::snprintf(rows_[r][0], TEXT_SIZE_Strings, "%04X", 0xFFFE - 2 * r);
      std::snprintf(rows_[r][1], TEXT_SIZE_Strings, "%02X", r);
      std::snprintf(rows_[r][2], TEXT_SIZE_Strings, "%02X", 255 - r);
    }
    Velkor_MultiColumn_init(&table_);
    table_.texts = rows_;
    table_.rowCount = 64;
    table_.headers[0] = "Adresse";
    table_.headers[1] = "High Byte";
    table_.headers[2] = "Low Byte";
  }
  void Draw() {
    Frame([&] {
      Velkor_MultiColumn_predraw(&table_);
      DrawAt(300, 200, 1, 0, [&] { Velkor_MultiColumn_draw(&table_, 0); });
    });
  }
  // Centre of visible row r, column c on screen.
  static float CellX(int c) { return 300.0f + (c == 0 ? 30.0f : c == 1 ? 94.0f : 162.0f); }
  static float CellY(int r) { return 438.0f - 22.0f * static_cast<float>(r) - 11.0f; }

  static MultiColumn_Row rows_[64];
  Velkor_MultiColumn table_;
};

MultiColumn_Row MultiColumnTest::rows_[64];

TEST_F(MultiColumnTest, AClickSelectsTheCellUnderThePointer) {
  Draw();
  EXPECT_EQ(0, table_.selectedRow);
  EXPECT_EQ(10, table_.visibleRows);
  const struct { int row, column; } clicks[] = {{2, 1}, {0, 0}, {9, 2}, {5, 1}};
  for (const auto& c : clicks) {
    MoveTo(CellX(c.column), CellY(c.row));
    Draw();
    Press();
    Draw();
    Release();
    Draw();
    EXPECT_EQ(c.row, table_.selectedRow);
    EXPECT_EQ(c.column, table_.selectedColumn);
  }
  // The selected cell is filled with the accent, its neighbours are not.
  const Rgba accent = TableColor(1000 + kVelkorColorAccent);
  EXPECT_GT(CountPixelsNear(static_cast<int>(CellX(1)) - 20, static_cast<int>(CellY(5)) - 6, 40, 12,
                            accent, 2),
            200);
  EXPECT_EQ(0, CountPixelsNear(static_cast<int>(CellX(1)) - 20, static_cast<int>(CellY(6)) - 6, 40,
                               12, accent, 2));
}

TEST_F(MultiColumnTest, TheWheelScrollsAndAClickThenSelectsTheRowOnScreen) {
  MoveTo(CellX(0), CellY(3));
  Draw();
  for (int i = 0; i < 3; ++i) {
    Wheel(kWheelTowards);
    Draw();
    Draw();
  }
  EXPECT_EQ(3, table_.firstRow);
  EXPECT_EQ(0, table_.selectedRow);  // the wheel does not select
  Press();
  Draw();
  Release();
  Draw();
  EXPECT_EQ(6, table_.selectedRow);  // row 3 on screen is table row 6
}

TEST_F(MultiColumnTest, KeysMoveTheSelectionAndTheViewFollows) {
  table_.loadRow = 62;
  table_.load = 1;
  MoveTo(CellX(0), CellY(0));
  Draw();
  table_.load = 0;
  Draw();
  EXPECT_EQ(62, table_.selectedRow);
  EXPECT_EQ(53, table_.firstRow);  // the loaded row is brought into view
  const struct {
    uint32_t key;
    int row, column;
    uint8_t event;
  } keys[] = {{KEY_DOWN, 63, 0, 1},
              {KEY_DOWN, 63, 0, 1},  // the last row: no move, an event
              {KEY_RIGHT, 63, 1, 1},
              {KEY_UP, 62, 1, 1}};
  for (const auto& k : keys) {
    KeyDown(k.key);
    Draw();
    EXPECT_EQ(k.event, table_.event);
    KeyUp(k.key);
    Draw();
    EXPECT_EQ(k.row, table_.selectedRow);
    EXPECT_EQ(k.column, table_.selectedColumn);
  }
}

TEST_F(MultiColumnTest, TheMarkedRowIsFilled) {
  table_.markedRow = 2;
  table_.markedRowOn = 1;
  MoveTo(10, 10);
  Draw();
  const Rgba mark = TableColor(1000 + kVelkorColorAccentLight);
  EXPECT_GT(CountPixelsNear(300, static_cast<int>(CellY(2)) - 8, 190, 16, mark, 2), 1000);
  EXPECT_EQ(0, CountPixelsNear(300, static_cast<int>(CellY(4)) - 8, 190, 16, mark, 2));
  table_.markedRowOn = 0;
  Draw();
  EXPECT_EQ(0, CountPixelsNear(300, static_cast<int>(CellY(2)) - 8, 190, 16, mark, 2));
}

// ---- Scroll panel -------------------------------------------------------------------

struct PanelChildren {
  Velkor_ScrollBar child;  // a widget in the content, to see where it is hit
  int calls = 0;
  uint32_t child_pass = 99;
};

void draw_children(void* argument, uint32_t pass, int32_t child, uint32_t childPass) {
  auto* c = static_cast<PanelChildren*>(argument);
  ++c->calls;
  c->child_pass = childPass;
  EXPECT_EQ(-1, child);
  // The whole content in red, and the child at the content's top left.
  sglIndexColori(velkor_test::kRed);
  velkor_test::FillQuad(0, 0, 500, 547);
  c->child.pass = pass;
  sglPushMatrixAndTranslate(0, 547 - 40);
  Velkor_ScrollBar_draw(&c->child, pass);
  sglPopMatrixAndTranslate();
}

TEST_F(DisplayTest, ScrollPanelClipsItsChildrenAndScrollsThem) {
  static Velkor_ScrollPanel panel;
  static PanelChildren children;
  Velkor_ScrollPanel_init(&panel);
  Velkor_ScrollBar_init(&children.child);
  children.child.width = 40;
  children.child.height = 40;
  panel.width = 192;
  panel.height = 220;
  panel.contentWidth = 500;
  panel.contentHeight = 547;
  panel.lineStep = 20;
  panel.children = draw_children;
  panel.argument = &children;
  auto draw = [&] {
    Frame([&] {
      Velkor_ScrollPanel_predraw(&panel);
      Velkor_ScrollBar_predraw(&children.child);
      DrawAt(400, 200, 1, 0, [&] { Velkor_ScrollPanel_draw(&panel, 0); });
    });
  };
  MoveTo(420, 400);
  draw();
  EXPECT_EQ(1, children.calls);
  EXPECT_EQ(0u, children.child_pass);
  // View 178 x 206 above the horizontal bar, left of the vertical one.
  EXPECT_FLOAT_EQ(178.0f, panel.viewWidth);
  EXPECT_FLOAT_EQ(206.0f, panel.viewHeight);
  // Inside the view, right of and below the child, everything is red.
  const Rgba red = TableColor(velkor_test::kRed);
  EXPECT_EQ(134 * 202, CountPixelsNear(442, 216, 134, 202, red, 2));
  // Nothing red outside the view, although the content is far larger.
  EXPECT_EQ(0, CountPixelsNear(0, 0, 400, 768, red, 2));
  EXPECT_EQ(0, CountPixelsNear(578, 0, 702, 768, red, 2));
  EXPECT_EQ(0, CountPixelsNear(400, 420, 178, 348, red, 2));
  EXPECT_EQ(0, CountPixelsNear(400, 0, 178, 214, red, 2));
  // The child at the top left is hovered where the pointer is.
  EXPECT_EQ(1, children.child.hover);
  // Two wheel notches scroll the content up by two lines: the child leaves
  // the pointer.
  for (int i = 0; i < 2; ++i) {
    Wheel(kWheelTowards);
    draw();
  }
  draw();
  EXPECT_FLOAT_EQ(40.0f, panel.scrollY);
  EXPECT_EQ(0, children.child.hover);
  // The child now lies at y 420 .. 460, above the view: cut away, it can
  // be neither seen nor hit there.
  EXPECT_EQ(0, CountPixelsNear(400, 420, 178, 348, red, 2));
  MoveTo(420, 425);
  draw();
  EXPECT_EQ(0, children.child.hover);
}

}  // namespace

namespace {

TEST_F(ComboBoxTest, TurnedAndScaledItIsClickedWhereItIsDrawn) {
  // Turned a quarter counter-clockwise and scaled by 1.5 about (600, 300):
  // the local point (x, y) lies at (600 - 1.5 y, 300 + 1.5 x) on screen.
  auto draw = [&] {
    Frame([&] {
      Velkor_ComboBox_predraw(&combo_);
      DrawAt(600, 300, 1.5f, 90, [&] { Velkor_ComboBox_draw(&combo_, 0); });
    });
  };
  auto click = [&](float x, float y) {
    MoveTo(x, y);
    draw();
    Press();
    draw();
    const uint8_t event = combo_.event;
    Release();
    draw();
    return event;
  };
  draw();
  click(600 - 1.5f * 17 + 27, 300 + 1.5f * 90);  // just beside the box
  EXPECT_EQ(0, combo_.open);
  click(600 - 1.5f * 17, 300 + 1.5f * 90);  // the box's centre
  ASSERT_EQ(1, combo_.open);
  // Row 3 of the list: local (90, -34 * 3 - 17).
  EXPECT_EQ(1, click(600 + 1.5f * (34 * 3 + 17), 300 + 1.5f * 90));
  EXPECT_EQ(3, combo_.selectedIndex);
  EXPECT_EQ(0, combo_.open);
}

// A child in a scroll panel: the panel asks for the focus wherever the
// pointer is over it, yet the child under the pointer takes it at once.
struct FocusChild {
  Velkor_RadioBox box;
};

void draw_focus_child(void* argument, uint32_t pass, int32_t, uint32_t) {
  auto* child = static_cast<FocusChild*>(argument);
  child->box.pass = pass;
  sglPushMatrixAndTranslate(10, 400);
  Velkor_RadioBox_draw(&child->box, pass);
  sglPopMatrixAndTranslate();
}

TEST_F(DisplayTest, ScrollPanelHandsTheFocusToTheChildUnderThePointer) {
  static Velkor_ScrollPanel panel;
  static FocusChild child;
  Velkor_ScrollPanel_init(&panel);
  Velkor_RadioBox_init(&child.box);
  child.box.items[0] = "a";
  child.box.items[1] = "b";
  child.box.items[2] = "c";
  panel.contentHeight = 547;
  panel.children = draw_focus_child;
  panel.argument = &child;
  auto draw = [&] {
    Frame([&] {
      Velkor_ScrollPanel_predraw(&panel);
      Velkor_RadioBox_predraw(&child.box);
      DrawAt(100, 100, 1, 0, [&] { Velkor_ScrollPanel_draw(&panel, 0); });
    });
  };
  // The content's top (547) stands at the view's top (320 on screen); the
  // child at content y 400 .. 486 is on screen at 173 .. 259.
  MoveTo(150, 300);  // over the panel only
  draw();
  EXPECT_EQ(panel.focus.idInUse, GetCurrentFocusedWidget());
  MoveTo(150, 220);  // over the child
  draw();
  EXPECT_EQ(child.box.focus.idInUse, GetCurrentFocusedWidget());
  // Its keys reach it: Down moves its cursor.
  Type(KEY_DOWN);
  draw();
  draw();
  EXPECT_EQ(1, child.box.cursor);
}

}  // namespace

namespace {

// alloc gives one zero-filled record, free takes it back.
template <typename T>
bool zero_filled_and_freed(T* (*alloc)(), void (*release)(T*)) {
  T* record = alloc();
  if (record == nullptr) return false;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(record);
  bool zero = true;
  for (size_t i = 0; i < sizeof(T); ++i) zero = zero && bytes[i] == 0;
  release(record);
  return zero;
}

TEST(ListClassRecords, AllocGivesAZeroFilledRecord) {
  EXPECT_TRUE(zero_filled_and_freed(Velkor_ComboBox_alloc, Velkor_ComboBox_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_ComboBoxItem_alloc, Velkor_ComboBoxItem_free));
  EXPECT_TRUE(
      zero_filled_and_freed(Velkor_ScrollList_generic_alloc, Velkor_ScrollList_generic_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_ScrollBar_alloc, Velkor_ScrollBar_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_RadioBox_alloc, Velkor_RadioBox_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_MultiColumn_alloc, Velkor_MultiColumn_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_LineOfCells_alloc, Velkor_LineOfCells_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_MultiColumnCell_alloc, Velkor_MultiColumnCell_free));
  EXPECT_TRUE(zero_filled_and_freed(Velkor_ScrollPanel_alloc, Velkor_ScrollPanel_free));
}

}  // namespace
