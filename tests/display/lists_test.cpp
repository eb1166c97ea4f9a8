// The list family - combo box (with its scroll list), scroll bar, radio box,
// table and scroll panel - driven through the real frame off-screen.
#include <gtest/gtest.h>

#include "display/Velkor_ComboBox.h"
#include "display/Velkor_MultiColumn.h"
#include "display/Velkor_RadioBox.h"
#include "display/Velkor_ScrollBar.h"
#include "display/Velkor_ScrollList_generic.h"
#include "display/Velkor_ScrollPanel.h"
#include "tests/display/display_fixture.h"

namespace velkor_test {
namespace {

constexpr uint32_t kWheelAway = 4;
constexpr uint32_t kWheelTowards = 5;

TEST(ScrollBarPlace, ArrowsTrackAndThumb) {
  const struct {
    const char* name;
    float w, h;
    uint32_t orientation, direction;
    float maximum, page, position;
    float arrow, track_start, track_length, thumb_length, thumb_start;
  } cases[] = {
      // 172 units of track; the page is a third of maximum + page.
      {"top of a list", 14, 200, 1, 0, 10, 5, 0, 14, 14, 172, 172.0f / 3, 14 + 172 - 172.0f / 3},
      {"direction 1 at the bottom", 14, 200, 1, 1, 10, 5, 0, 14, 14, 172, 172.0f / 3, 14},
      {"horizontal", 200, 14, 0, 1, 10, 5, 5, 14, 14, 172, 172.0f / 3, 14 + (172 - 172.0f / 3) / 2},
      {"beyond maximum", 14, 200, 1, 1, 10, 5, 99, 14, 14, 172, 172.0f / 3, 14 + 172 - 172.0f / 3},
      {"nothing to scroll", 14, 200, 1, 0, 0, 5, 0, 14, 14, 172, 172, 14},
      {"thumb keeps the thickness", 14, 200, 1, 1, 1000, 1, 0, 14, 14, 172, 14, 14},
      {"arrows share a short bar", 14, 20, 1, 1, 10, 5, 0, 10, 10, 0, 0, 10},
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
  const float row = 100.0f / 3;
  const struct {
    int32_t index;
    bool exists;
    float x, y;
  } cases[] = {{0, true, 4, 104 - row},       {2, true, 4, 4},  {3, true, 104, 104 - row},
               {4, true, 104, 104 - 2 * row}, {5, false, 0, 0}, {-1, false, 0, 0}};
  for (const auto& c : cases) {
    float x = 0, y = 0, w = 0, h = 0;
    ASSERT_EQ(c.exists, Velkor_RadioBox_itemCell(&box, c.index, &x, &y, &w, &h)) << c.index;
    if (!c.exists) continue;
    EXPECT_FLOAT_EQ(c.x, x) << c.index;
    EXPECT_NEAR(c.y, y, 1e-3f) << c.index;
    EXPECT_FLOAT_EQ(100.0f, w);
    EXPECT_NEAR(row, h, 1e-3f);
  }
}

class ComboBoxTest : public DisplayTest {
 protected:
  // The box at (200, 400), 180 x 34; its open list of five rows, 34 high
  // each, hangs below it: row r is centred on y = 400 - 34 r - 17.
  void SetUp() override {
    DisplayTest::SetUp();
    Velkor_ComboBox_init(&combo_);
    combo_.width = 180;
    combo_.height = 34;
    for (int i = 0; i < 5; ++i) combo_.items[i] = "Item";
    combo_.itemCount = 5;
    combo_.shownItems = 5;
  }
  void Draw() { FrameOf(&combo_, Velkor_ComboBox_predraw, Velkor_ComboBox_draw, 200, 400); }
  static float RowY(int row) { return 400.0f - 34.0f * static_cast<float>(row) - 17.0f; }
  void ClickBox() {
    ClickAt(290, 417, [&] { Draw(); });
  }
  // A click on a row; remembers the event and the open flag of the press frame.
  void ClickRow(int row) {
    int frame = 0;
    ClickAt(290, RowY(row), [&] {
      Draw();
      if (++frame != 2) return;  // the press frame
      event_ = combo_.event;
      open_ = combo_.open;
    });
  }
  // A typed key; remembers the event, the open flag and the row drawn as
  // the selection (-1 none) of the key's frame.
  void Key(uint32_t key) {
    Type(key);
    Draw();
    open_ = combo_.open;
    event_ = combo_.event;
    lit_ = -1;
    const Rgba selection = TableColor(1000 + kVelkorColorAccentLight);
    for (int row = 0; row < 5 && lit_ < 0; ++row) {
      const int y = static_cast<int>(RowY(row)) - 8;
      if (CountPixelsNear(210, y, 140, 16, selection, 4) > 200) lit_ = row;
    }
    Draw();
  }

  Velkor_ComboBox combo_;
  uint8_t event_ = 0;
  uint8_t open_ = 0;
  int lit_ = -1;
};

TEST_F(ComboBoxTest, ALoadAndAClickOnARowChooseButNotWhileDisabled) {
  combo_.itemCount = 4;
  combo_.forcedIndex = 3;
  combo_.force = 1;
  Draw();
  combo_.force = 0;
  Draw();
  EXPECT_EQ(3, combo_.selectedIndex);
  EXPECT_EQ(0, combo_.event);  // a load is not the user's choice
  EXPECT_EQ(0, combo_.open);
  ClickBox();
  ASSERT_EQ(1, combo_.open);
  // Four rows hang below the box; nothing where a fifth would be.
  EXPECT_GT(CountCoveredPixels(210, static_cast<int>(RowY(3)) - 5, 160, 10), 1000);
  EXPECT_EQ(0, CountCoveredPixels(210, static_cast<int>(RowY(4)) - 5, 160, 10));
  ClickRow(2);
  EXPECT_EQ(1, event_);  // the choice is reported in its own frame ...
  EXPECT_EQ(0, open_);   // ... which also closes the list
  EXPECT_EQ(2, combo_.selectedIndex);
  EXPECT_EQ(0, combo_.event);  // one frame only
  EXPECT_EQ(0, CountCoveredPixels(210, 240, 160, 150));
  ClickBox();
  ClickRow(4);  // below the list: nothing chosen
  EXPECT_EQ(0, event_);
  EXPECT_EQ(2, combo_.selectedIndex);
  // A forced index outside the items selects none: the box shows its label
  // (here none at all) until a row is chosen; the list keeps its row.
  const Rgba label = TableColor(1000 + kVelkorColorLabel);
  EXPECT_GT(CountPixelsNear(206, 404, 120, 26, label, 40), 20) << "Item";
  for (int32_t outside : {4, -1}) {
    combo_.label = "";
    combo_.forcedIndex = outside;
    combo_.force = 1;
    Draw();
    combo_.force = 0;
    Draw();
    EXPECT_EQ(-1, combo_.selectedIndex) << outside;
    EXPECT_EQ(0, CountPixelsNear(206, 404, 120, 26, label, 40)) << outside;
  }
  if (combo_.open == 0) ClickBox();
  ASSERT_EQ(1, combo_.open);
  ClickRow(2);  // the row the list still stands on
  EXPECT_EQ(1, event_);
  EXPECT_EQ(2, combo_.selectedIndex);
  EXPECT_GT(CountPixelsNear(206, 404, 120, 26, label, 40), 20);
  // Disabled, it neither opens nor takes keys, and is greyed.
  const Rgba face_enabled = ReadPixel(335, 425);
  combo_.enabled = 0;
  ClickBox();
  EXPECT_EQ(0, combo_.open);
  Key(KEY_SPACE);
  EXPECT_EQ(0, open_);
  EXPECT_LT(ReadPixel(335, 425).r + 20, face_enabled.r);
}

TEST_F(ComboBoxTest, ADisabledItemCannotBeChosenAndKeysOpenAndClose) {
  combo_.itemFlags[3] = 0;
  Draw();
  ClickBox();
  ClickRow(3);
  EXPECT_EQ(0, event_);
  EXPECT_EQ(1, combo_.open);
  EXPECT_EQ(0, combo_.selectedIndex);
  // The keyboard cursor can reach it, but Enter does not choose it, nor is
  // it drawn as chosen for a frame: the selection stays drawn on row 0.
  const struct {
    uint32_t key;
    uint8_t event, open;
    int32_t selected;
    int lit;  // the row drawn as the selection in the key's frame (the list
              // shows in a frame that begins with it open)
  } keys[] = {{KEY_DOWN, 0, 1, 0, 0},   {KEY_DOWN, 0, 1, 0, 0},   {KEY_DOWN, 0, 1, 0, 0},
              {KEY_ENTER, 0, 1, 0, 0},  {KEY_DOWN, 0, 1, 0, 0},   {KEY_ENTER, 1, 0, 4, 4},
              {KEY_SPACE, 0, 1, 4, -1}, {KEY_ESCAPE, 0, 0, 4, 4}, {KEY_SPACE, 0, 1, 4, -1},
              {KEY_SPACE, 0, 0, 4, 4}};
  for (const auto& k : keys) {
    Key(k.key);
    EXPECT_EQ(k.event, event_) << "key " << k.key;
    EXPECT_EQ(k.open, open_) << "key " << k.key;
    EXPECT_EQ(k.selected, combo_.selectedIndex) << "key " << k.key;
    EXPECT_EQ(k.lit, lit_) << "key " << k.key;
  }
}

// A radio box of three items at (300, 300), 208 x 108, the middle one
// disabled: what each step of a story chooses, whether it is the user's
// choice (event), and which item's mark is drawn filled.
TEST_F(DisplayTest, RadioBoxClicksKeysItemFlagsAndLoads) {
  static Velkor_RadioBox box;
  Velkor_RadioBox_init(&box);
  box.width = 208;
  box.height = 108;
  const char* const names[3] = {"Eins", "Zwei", "Drei"};
  for (int i = 0; i < 3; ++i) {
    box.items[i] = names[i];
    box.itemFlags[i] = i == 1 ? 0 : 1;
  }
  box.itemCount = 3;
  box.columns = 1;
  int events = 0;
  auto draw = [&] {
    FrameOf(&box, Velkor_RadioBox_predraw, Velkor_RadioBox_draw, 300, 300);
    events += box.event;
    box.force = 0;
  };
  auto centre = [&](int item, float* x, float* y) {
    float cx = 0, cy = 0, w = 0, h = 0;
    ASSERT_TRUE(Velkor_RadioBox_itemCell(&box, item, &cx, &cy, &w, &h));
    *x = 300 + cx + w / 2;
    *y = 300 + cy + h / 2;
  };
  // The filled mark: accent pixels at the left end of the item's cell.
  auto marked = [&](int item) {
    float x = 0, y = 0;
    centre(item, &x, &y);
    return CountPixelsNear(304, static_cast<int>(y) - 10, 30, 20, TableColor(1008), 12) > 20;
  };
  enum Kind { kLoad, kClick, kKey };
  const struct {
    const char* name;
    Kind kind;
    int32_t value;  // item loaded or clicked, or key
    int32_t selected;
    int events;
  } steps[] = {
      {"loaded", kLoad, 0, 0, 0},
      {"a click chooses", kClick, 2, 2, 1},
      {"a disabled item cannot be clicked", kClick, 1, 2, 0},
      {"Up moves the cursor only", kKey, KEY_UP, 2, 0},
      {"Enter on the disabled item", kKey, KEY_ENTER, 2, 0},
      {"Up again", kKey, KEY_UP, 2, 0},
      {"Enter chooses under the cursor", kKey, KEY_ENTER, 0, 1},
      {"Down twice and Enter", kKey, KEY_DOWN, 0, 0},
      {"", kKey, KEY_DOWN, 0, 0},
      {"", kKey, KEY_ENTER, 2, 1},
      {"a load is no event", kLoad, 0, 0, 0},
  };
  MoveTo(10, 10);
  draw();
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    events = 0;
    if (s.kind == kLoad) {
      box.forcedIndex = s.value;
      box.force = 1;
      draw();
    } else if (s.kind == kClick) {
      float x = 0, y = 0;
      centre(s.value, &x, &y);
      ClickAt(x, y, draw);
    } else {
      TypeKey(static_cast<uint32_t>(s.value), draw);
    }
    draw();
    EXPECT_EQ(s.selected, box.selectedIndex);
    EXPECT_EQ(s.events, events);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(i == s.selected, marked(i)) << "mark of " << i;
  }
}

// A scroll list on its own at (200, 300): ten items through four rows of 30
// (180 wide, the bar at its right). In mode 2 the item under the release of
// a press on the list is chosen; the wheel over the rows scrolls one item a
// notch, and the rows follow: the chosen item is drawn chosen where it now
// stands.
TEST_F(DisplayTest, ScrollListChoosesOnTheReleaseInMode2AndScrollsByTheWheel) {
  static Velkor_ScrollList_generic list;
  Velkor_ScrollList_generic_init(&list);
  static const char* const names[10] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J"};
  for (int i = 0; i < 10; ++i) list.items[i] = names[i];
  list.itemCount = 10;
  list.rows = 4;
  list.width = 180;
  list.height = 120;
  list.mode = 2;
  list.visible = 1;
  int events = 0;
  auto draw = [&] {
    FrameOf(&list, Velkor_ScrollList_generic_predraw, Velkor_ScrollList_generic_draw, 200, 300);
    events += list.event;
  };
  auto row_y = [](int row) { return 420.0f - 30.0f * static_cast<float>(row) - 15.0f; };
  auto lit = [&](int row) {
    return CountPixelsNear(205, static_cast<int>(row_y(row)) - 8, 120, 16,
                           TableColor(1000 + kVelkorColorAccentLight), 4) > 200;
  };
  enum Kind { kPressRelease, kWheel };
  const struct {
    const char* name;
    Kind kind;
    int from, to;  // rows of the press and the release, or wheel notches
    int first, selected, events, lit_row;
  } steps[] = {
      {"pressed on row 1, released on row 2", kPressRelease, 1, 2, 0, 2, 1, 2},
      {"the press does not choose", kPressRelease, 3, -1, 0, 2, 0, 2},
      {"released off the list", kPressRelease, 0, 9, 0, 2, 0, 2},
      {"two notches towards the user", kWheel, 2, 0, 2, 2, 0, 0},
      {"one away", kWheel, -1, 0, 1, 2, 0, 1},
      {"a row chosen after scrolling", kPressRelease, 3, 3, 1, 4, 1, 3},
  };
  MoveTo(10, 10);
  draw();
  for (const auto& s : steps) {
    SCOPED_TRACE(s.name);
    events = 0;
    if (s.kind == kWheel) {
      MoveTo(290, row_y(1));
      for (int i = 0; i < (s.from > 0 ? s.from : -s.from); ++i) {
        Wheel(s.from > 0 ? kWheelTowards : kWheelAway);
        draw();
      }
      draw();
    } else {
      MoveTo(290, row_y(s.from));
      draw();
      Press();
      draw();
      if (s.to < 0) {  // look in the press frame's wake, then let go off the list
        EXPECT_EQ(0, events);
        MoveTo(10, 10);
      } else {
        MoveTo(s.to > 3 ? 290 : 290, s.to > 3 ? 100 : row_y(s.to));
      }
      draw();
      Release();
      draw();
      draw();
    }
    EXPECT_EQ(s.first, list.firstVisible);
    EXPECT_EQ(s.selected, list.selectedIndex);
    EXPECT_EQ(s.events, events);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(r == s.lit_row, lit(r)) << "row " << r;
  }
}

TEST_F(DisplayTest, ScrollBarArrowsPagesWheelKeysAndDrag) {
  // A vertical bar at (100, 100), 20 x 220: arrows 20 high at either end,
  // 180 of track; maximum 10, page 10, so the thumb is 90 long.
  Velkor_ScrollBar bar;
  Velkor_ScrollBar_init(&bar);
  bar.width = 20;
  bar.height = 220;
  bar.maximum = 10;
  bar.pageStep = 10;
  bar.lineStep = 1;
  bar.direction = 0;
  auto draw = [&] { FrameOf(&bar, Velkor_ScrollBar_predraw, Velkor_ScrollBar_draw, 100, 100); };
  enum Kind { kClick, kWheel, kKey, kKeyWithFocus };
  const struct {
    const char* name;
    Kind kind;
    float y;
    uint32_t code;  // wheel button or key
    float position;
  } steps[] = {
      {"lower arrow", kClick, 110, 0, 1},
      {"lower arrow again", kClick, 110, 0, 2},
      {"upper arrow", kClick, 310, 0, 1},
      // At position 1 the thumb spans 201 .. 291: below it pages down.
      {"track below the thumb", kClick, 125, 0, 10},
      {"track above the thumb", kClick, 290, 0, 0},
      {"wheel towards the user", kWheel, 200, kWheelTowards, 1},
      {"wheel away", kWheel, 200, kWheelAway, 0},
      {"wheel away at the top stays", kWheel, 200, kWheelAway, 0},
      {"keys without the owner's focus do nothing", kKey, 200, KEY_DOWN, 0},
      {"keys with it", kKeyWithFocus, 200, KEY_DOWN, 1},
      {"page key", kKeyWithFocus, 200, KEY_PAGE_DOWN, 10},
  };
  draw();
  for (const auto& s : steps) {
    if (s.kind == kClick) {
      ClickAt(110, s.y, draw);
    } else if (s.kind == kWheel) {
      MoveTo(110, s.y);
      Wheel(s.code);
      draw();
      draw();
    } else {
      bar.keyEnable = s.kind == kKeyWithFocus ? 1 : 0;
      TypeKey(s.code, draw);
    }
    EXPECT_FLOAT_EQ(s.position, bar.position) << s.name;
  }
  // Position 10 with direction 0: the thumb at the bottom, 120 .. 210 on
  // screen. Grabbed 35 above its centre, it follows the pointer from there.
  MoveTo(110, 200);
  draw();
  Press();
  draw();
  EXPECT_NEAR(10.0f, bar.position, 1e-4f);  // grabbing does not move it
  MoveTo(110, 245);                         // 45 up: half of the 90 of travel
  draw();
  EXPECT_NEAR(5.0f, bar.position, 1e-3f);
  EXPECT_EQ(1, bar.moved);
  MoveTo(110, 760);  // far above: the start
  draw();
  EXPECT_NEAR(0.0f, bar.position, 1e-3f);
  Release();
  draw();
  MoveTo(110, 200);  // released: the pointer no longer drags
  draw();
  EXPECT_NEAR(0.0f, bar.position, 1e-3f);
  // The thumb is drawn at the top now, the bottom of the track is empty.
  const Rgba accent = TableColor(1000 + kVelkorColorAccent);
  EXPECT_GT(CountPixelsNear(105, 230, 10, 60, accent, 2), 100);
  EXPECT_EQ(0, CountPixelsNear(105, 140, 10, 40, accent, 2));
}

TEST_F(DisplayTest, TableClicksSelectTheCellOnScreenAndTheWheelScrolls) {
  // The table at (300, 200), 215 x 260: a header row and 10 rows of 22
  // below it (body from y 200 to 438), columns 60, 68, 68.
  static MultiColumn_Row rows[64];
  static Velkor_MultiColumn table;
  Velkor_MultiColumn_init(&table);
  table.texts = rows;
  table.rowCount = 64;
  for (int c = 0; c < 3; ++c) table.headers[c] = "Header";
  auto draw = [&] {
    FrameOf(&table, Velkor_MultiColumn_predraw, Velkor_MultiColumn_draw, 300, 200);
  };
  // Centre of visible row r, column c on screen.
  auto cell_x = [](int c) { return 300.0f + (c == 0 ? 30.0f : c == 1 ? 94.0f : 162.0f); };
  auto cell_y = [](int r) { return 438.0f - 22.0f * static_cast<float>(r) - 11.0f; };
  const Rgba accent = TableColor(1000 + kVelkorColorAccent);
  const Rgba mark = TableColor(1000 + kVelkorColorAccentLight);
  auto cell_pixels = [&](int row, Rgba colour) {  // in column 1 of a row on screen
    return CountPixelsNear(static_cast<int>(cell_x(1)) - 20, static_cast<int>(cell_y(row)) - 6, 40,
                           12, colour, 2);
  };
  table.markedRow = 2;
  table.markedRowOn = 1;
  MoveTo(10, 10);
  draw();
  EXPECT_EQ(10, table.visibleRows);
  EXPECT_GT(cell_pixels(2, mark), 200);
  EXPECT_EQ(0, cell_pixels(4, mark));
  const struct {
    int wheel_notches;  // towards the user, before the click
    int row, column;    // clicked on screen
    int first, selected;
  } clicks[] = {
      {0, 2, 1, 0, 2}, {0, 0, 0, 0, 0}, {0, 9, 2, 0, 9}, {3, 3, 0, 3, 6}, {0, 5, 1, 3, 8}};
  for (const auto& c : clicks) {
    MoveTo(cell_x(c.column), cell_y(c.row));
    for (int i = 0; i < c.wheel_notches; ++i) {
      Wheel(kWheelTowards);
      draw();
      draw();
    }
    ClickAt(cell_x(c.column), cell_y(c.row), draw);
    EXPECT_EQ(c.first, table.firstRow);
    EXPECT_EQ(c.selected, table.selectedRow);
    EXPECT_EQ(c.column, table.selectedColumn);
  }
  // The selected cell is filled with the accent, its neighbours are not.
  EXPECT_GT(cell_pixels(5, accent), 200);
  EXPECT_EQ(0, cell_pixels(6, accent));
  // A loaded row is selected and brought into view.
  table.loadRow = 62;
  table.load = 1;
  draw();
  table.load = 0;
  draw();
  EXPECT_EQ(62, table.selectedRow);
  EXPECT_EQ(53, table.firstRow);
  // The arrow keys move the selection (the table keeps the focus of the
  // clicks) and the view follows it as little as it can.
  table.loadRow = 9;
  table.loadColumn = 1;
  table.load = 1;
  draw();
  table.load = 0;
  const struct {
    uint32_t key;
    int times;
    int row, column, first;
  } keys[] = {{KEY_UP, 1, 8, 1, 8},    {KEY_DOWN, 1, 9, 1, 8}, {KEY_RIGHT, 1, 9, 2, 8},
              {KEY_RIGHT, 1, 9, 2, 8}, {KEY_LEFT, 1, 9, 1, 8}, {KEY_DOWN, 8, 17, 1, 8},
              {KEY_DOWN, 1, 18, 1, 9}, {KEY_UP, 10, 8, 1, 8}};
  for (const auto& k : keys) {
    for (int i = 0; i < k.times; ++i) TypeKey(k.key, draw);
    SCOPED_TRACE(testing::Message() << "key " << k.key << " to row " << k.row);
    EXPECT_EQ(k.row, table.selectedRow);
    EXPECT_EQ(k.column, table.selectedColumn);
    EXPECT_EQ(k.first, table.firstRow);
  }
  // In mode 2 a cell is selected on the release, not on the press.
  table.mode = 2;
  MoveTo(cell_x(2), cell_y(4));
  draw();
  Press();
  draw();
  EXPECT_EQ(8, table.selectedRow) << "not on the press";
  Release();
  draw();
  EXPECT_EQ(12, table.selectedRow);
  EXPECT_EQ(2, table.selectedColumn);
  // Disabled, a grey cover lies over it and it takes neither clicks nor keys.
  const Rgba before = ReadPixel(static_cast<int>(cell_x(1)), static_cast<int>(cell_y(7)));
  table.enabled = 0;
  table.mode = 1;
  ClickAt(cell_x(0), cell_y(1), draw);
  TypeKey(KEY_DOWN, draw);
  EXPECT_EQ(12, table.selectedRow);
  EXPECT_EQ(2, table.selectedColumn);
  const Rgba covered = ReadPixel(static_cast<int>(cell_x(1)), static_cast<int>(cell_y(7)));
  EXPECT_LT(covered.r + 20, before.r);
  EXPECT_LT(covered.g + 20, before.g);
}

// The content: red all over, and a radio box of 40 x 40 at its top left.
void draw_content(void* argument, uint32_t pass, int32_t, uint32_t) {
  auto* child = static_cast<Velkor_RadioBox*>(argument);
  sglIndexColori(kRed);
  FillQuad(0, 0, 500, 547);
  child->pass = pass;
  Velkor_RadioBox_predraw(child);
  sglPushMatrixAndTranslate(0, 547 - 40);
  Velkor_RadioBox_draw(child, pass);
  sglPopMatrixAndTranslate();
}

TEST_F(DisplayTest, ScrollPanelClipsAndScrollsItsChildrenAndHandsThemTheFocus) {
  static Velkor_ScrollPanel panel;
  static Velkor_RadioBox child;
  Velkor_ScrollPanel_init(&panel);
  Velkor_RadioBox_init(&child);
  child.width = 40;
  child.height = 40;
  panel.width = 192;
  panel.height = 220;
  panel.contentWidth = 500;
  panel.contentHeight = 547;
  panel.lineStep = 20;
  panel.children = draw_content;
  panel.argument = &child;
  auto draw = [&] {
    FrameOf(&panel, Velkor_ScrollPanel_predraw, Velkor_ScrollPanel_draw, 400, 200);
  };
  MoveTo(500, 300);  // over the panel only
  draw();
  EXPECT_EQ(panel.focus.idInUse, GetCurrentFocusedWidget());
  // The view, 178 x 206 left of and above the bars, is red right of and
  // below the child; nothing outside it is, although the content is larger.
  const Rgba red = TableColor(kRed);
  EXPECT_EQ(134 * 202, CountPixelsNear(442, 216, 134, 202, red, 2));
  EXPECT_EQ(CountPixelsNear(400, 214, 178, 206, red, 2), CountPixelsNear(0, 0, 1280, 768, red, 2));
  // The panel asks for the focus wherever the pointer is over it, yet the
  // child under the pointer takes it at once, and its keys reach it.
  MoveTo(420, 400);
  draw();
  EXPECT_EQ(1, child.hover);
  EXPECT_EQ(child.focus.idInUse, GetCurrentFocusedWidget());
  TypeKey(KEY_DOWN, draw);
  EXPECT_EQ(1, child.cursor);
  // Two wheel notches scroll the content up by two lines: the child, now
  // at y 420 .. 460 above the view, is cut away, neither seen nor hit.
  for (int i = 0; i < 2; ++i) {
    Wheel(kWheelTowards);
    draw();
  }
  draw();
  EXPECT_FLOAT_EQ(40.0f, panel.scrollY);
  EXPECT_EQ(0, child.hover);
  EXPECT_EQ(0, CountPixelsNear(400, 420, 178, 348, red, 2));
  MoveTo(420, 425);
  draw();
  EXPECT_EQ(0, child.hover);
  // While the panel itself holds the focus (the pointer on the view, on no
  // child) its keys scroll: a line per arrow, a view (206) per page key, no
  // further than the content (547 - 206 = 341).
  MoveTo(500, 300);
  draw();
  ASSERT_EQ(panel.focus.idInUse, GetCurrentFocusedWidget());
  const struct {
    uint32_t key;
    float scroll;
  } keys[] = {{KEY_DOWN, 60}, {KEY_UP, 40},       {KEY_PAGE_DOWN, 246}, {KEY_PAGE_DOWN, 341},
              {KEY_UP, 321},  {KEY_PAGE_UP, 115}, {KEY_PAGE_UP, 0},     {KEY_DOWN, 20}};
  for (const auto& k : keys) {
    TypeKey(k.key, draw);
    EXPECT_FLOAT_EQ(k.scroll, panel.scrollY) << "key " << k.key;
  }
  // Disabled, it is veiled grey and deaf to the wheel and the keys.
  const Rgba open_view = ReadPixel(500, 300);
  panel.enabled = 0;
  Wheel(kWheelTowards);
  draw();
  TypeKey(KEY_DOWN, draw);
  draw();
  EXPECT_FLOAT_EQ(20.0f, panel.scrollY);
  EXPECT_LT(ReadPixel(500, 300).r + 30, open_view.r);
}

}  // namespace
}  // namespace velkor_test
