// Who holds the focus: taking and keeping it, ties decided by stepping order,
// overrides, containers, the focus order and its navigation, and the pointer
// pulses a focused widget receives.
#include "widgets/Focus.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/cycle_driver.h"

namespace {

using velkor_test::TestWidget;

// Two widgets side by side, A at x 0..100, B at x 200..300.
class FocusTest : public ::testing::Test {
 protected:
  velkor_test::CycleDriver driver;
  TestWidget a{0, 0, 100, 50};
  TestWidget b{200, 0, 100, 50};
  bool aFirst = true;
  bool drawA = true;

  void SetUp() override {
    driver.OnCycle([this] {
      if (aFirst && drawA) a.Sense();
      b.Sense();
      if (!aFirst && drawA) a.Sense();
    });
  }
  void MoveOver(const TestWidget& w) { driver.MoveTo(w.left + 10.0f, w.bottom + 10.0f); }
  void MoveAway() { driver.MoveTo(1000.0f, 700.0f); }
};

TEST_F(FocusTest, HoveredWidgetTakesTheFocusAndKeepsItAfterThePointerLeaves) {
  MoveOver(a);
  driver.Cycle();
  EXPECT_EQ(FOCUS_HELD, a.focusState());
  EXPECT_EQ(FOCUS_NONE, b.focusState());
  MoveAway();
  driver.KeyDown('x');
  driver.Cycle();
  EXPECT_EQ(FOCUS_HELD, a.focusState()) << "no widget hovered: the last one keeps the focus";
  EXPECT_EQ(uint32_t('x'), a.key()) << "and keeps receiving keys";
  EXPECT_EQ(0, b.keyPressed());
}

TEST(Focus, TiesAreDecidedByTheSteppingOrder) {
  for (bool aSteppedFirst : {true, false}) {
    SCOPED_TRACE(aSteppedFirst ? "A stepped first" : "B stepped first");
    velkor_test::CycleDriver fresh;
    TestWidget a(0, 0, 100, 50);
    TestWidget b(200, 0, 100, 50);
    fresh.OnCycle([&] {
      if (aSteppedFirst) a.Sense();
      b.Sense();
      if (!aSteppedFirst) a.Sense();
    });
    fresh.MoveTo(10, 10);
    fresh.Cycle();
    fresh.MoveTo(210, 10);
    fresh.Cycle();
    // Stepped after the holder has dropped its request, B wins at once;
    // stepped before it, B still meets A's request and wins a cycle later.
    EXPECT_EQ(aSteppedFirst ? FOCUS_HELD : FOCUS_NONE, b.focusState());
    fresh.Cycle();
    EXPECT_EQ(FOCUS_HELD, b.focusState());
    EXPECT_EQ(FOCUS_NONE, a.focusState());
    EXPECT_EQ(b.id(), GetCurrentFocusedWidget());
  }
}

TEST_F(FocusTest, AnActiveRequestBlocksUntilItsHolderIsNoLongerDrawn) {
  b.left = 50.0f;  // B overlaps A's right half
  driver.MoveTo(60.0f, 10.0f);
  driver.Cycles(3);
  EXPECT_EQ(FOCUS_HELD, a.focusState());
  EXPECT_EQ(FOCUS_NONE, b.focusState());

  drawA = false;  // A vanishes with its request still set
  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, b.focusState());
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(FOCUS_NONE, b.focusState()) << "liveness counted down " << round << " times";
    ManageGlobalFocus(0, 0, 0, 0, nullptr, nullptr);
    driver.Cycle();
  }
  EXPECT_EQ(FOCUS_HELD, b.focusState());
}

TEST_F(FocusTest, ReleaseHandsTheFocusOnToTheSuccessorByExplicitIds) {
  a.focusId = 10;
  b.focusId = 20;
  a.nextId = 20;
  MoveOver(a);
  driver.Cycle();
  EXPECT_EQ(10u, GetCurrentFocusedWidget());
  MoveAway();
  a.release = 1;
  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, a.focusState());
  EXPECT_EQ(FOCUS_HELD, b.focusState()) << "stepped after A, B reports the focus at once";
}

TEST_F(FocusTest, OverridesForceOrWithholdTheFocusOfSubWidgets) {
  for (uint32_t mode : {FOCUS_OVERRIDE_UNFOCUSED, FOCUS_OVERRIDE_FOCUSED}) {
    driver.OnCycle([&] {
      FocusOverride(mode);
      a.Sense();
      b.Sense();
      ReleaseOverride();
    });
    MoveOver(a);
    driver.Press();
    driver.Cycle();
    const int expected = mode == FOCUS_OVERRIDE_FOCUSED ? FOCUS_FORCED : FOCUS_NONE;
    EXPECT_EQ(expected, a.focusState()) << "mode " << mode;
    EXPECT_EQ(expected, b.focusState()) << "mode " << mode << ", hovered or not";
    EXPECT_EQ(expected != FOCUS_NONE ? 1 : 0, a.pressed()) << "mode " << mode;
    EXPECT_EQ(0u, GetCurrentFocusedWidget()) << "sub-widgets never take the focus";
  }
}

TEST_F(FocusTest, AFocusedContainerLetsItsChildTakeTheFocusAtOnce) {
  TestWidget container(0, 0, 400, 200);
  container.isContainer = 1;
  TestWidget child(10, 10, 50, 20);
  a.left = 250.0f;  // a plain widget overlapping the container, drawn after it
  driver.OnCycle([&] {
    container.Sense();
    child.Sense();
    ResetInteractivityStatus(container.id());
    a.Sense();
  });
  driver.MoveTo(300.0f, 20.0f);  // over the container and A
  driver.Cycle();
  ASSERT_EQ(FOCUS_HELD, container.focusState());
  EXPECT_EQ(FOCUS_NONE, a.focusState()) << "the container's scope ended before A";
  driver.MoveTo(20.0f, 20.0f);  // over the child; the container still requests
  driver.Cycle();
  EXPECT_EQ(FOCUS_HELD, child.focusState());
  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, container.focusState());
  EXPECT_EQ(FOCUS_HELD, child.focusState());
}

TEST_F(FocusTest, PulsesLastOneCycleAndNeedTheFocus) {
  // input ('-', 'p' left press, 'P' right press, 'r' release), pointer over
  // A, then A's focus, pulses and last button after the cycle.
  const struct {
    char input;
    bool overA;
    int focus, pressed, released;
    uint32_t lastButton;
  } story[] = {
      {'p', false, FOCUS_NONE, 0, 0, 0},  // pressed just before arriving
      {'-', true, FOCUS_HELD, 1, 0, 1},   // focus taken, that press counts
      {'-', true, FOCUS_HELD, 0, 0, 1},
      {'r', false, FOCUS_HELD, 0, 1, 1},  // released outside, focus kept
      {'P', true, FOCUS_HELD, 1, 0, 2},
      {'r', true, FOCUS_HELD, 0, 1, 1},
      {'p', true, FOCUS_HELD, 1, 0, 1},
      {'p', true, FOCUS_HELD, 0, 0, 1},  // two presses in a row: one pulse
  };
  for (const auto& row : story) {
    if (row.overA) {
      MoveOver(a);
    } else {
      MoveAway();
    }
    if (row.input == 'p' || row.input == 'P') driver.Press(row.input == 'p' ? 1 : 2);
    if (row.input == 'r') driver.Release();
    driver.Cycle();
    SCOPED_TRACE("cycle " + std::to_string(driver.cycle()));
    EXPECT_EQ(row.focus, a.focusState());
    EXPECT_EQ(row.pressed, a.pressed());
    EXPECT_EQ(row.released, a.released());
    EXPECT_EQ(row.lastButton, a.button());
    EXPECT_EQ(0, b.pressed() + b.released());
  }
}

TEST_F(FocusTest, ALatePressPulseCarriesTheButtonOfThatPress) {
  MoveOver(a);
  driver.Press(2);
  driver.Release(2);
  driver.Cycles(2);
  MoveAway();
  driver.Press(1);  // left press seen one cycle before the focus moves to B
  driver.Cycle();
  MoveOver(b);
  driver.Cycle();
  EXPECT_EQ(1, b.pressed());
  EXPECT_EQ(1u, b.button()) << "a left press must not look like the older right click";
}

// ---- Focus order and navigation ----------------------------------------------------

TEST(FocusOrder, RegistrationLinksNeighboursAndStopsAtTheTableSize) {
  velkor_test::CycleDriver clean;
  InitialiseFocus(10, 20);
  InitialiseFocus(20, 30);
  InitialiseFocus(30, 0);
  InitialiseFocus(20, 99);  // already registered with a successor: unchanged
  const FocusOrderEntry expected[] = {{10, 20, 0}, {20, 30, 10}, {30, 0, 20}};
  ASSERT_EQ(3, GetFocusOrderCount());
  for (int i = 0; i < 3; ++i) {
    const FocusOrderEntry entry = GetFocusOrderEntry(i);
    EXPECT_EQ(expected[i].id, entry.id) << i;
    EXPECT_EQ(expected[i].next, entry.next) << i;
    EXPECT_EQ(expected[i].prev, entry.prev) << i;
  }
  ManageGlobalFocus(0, 0, 0, 1, nullptr, nullptr);  // reset: links gone, count kept
  EXPECT_EQ(3, GetFocusOrderCount());
  EXPECT_EQ(0u, GetFocusOrderEntry(1).next);

  for (uint32_t id = 100; id < 100 + FOCUS_ORDER_SIZE; ++id) InitialiseFocus(id, 0);
  EXPECT_EQ(FOCUS_ORDER_SIZE, GetFocusOrderCount());
  EXPECT_EQ(0u, GetFocusOrderEntry(FOCUS_ORDER_SIZE).id) << "reading past the table is safe";
  uint8_t state = 0;
  ManageIndividualFocus(1, 0, 5000, 0, 0, 1, &state);
  EXPECT_EQ(FOCUS_HELD, state) << "an unregistered widget still takes the focus by pointer";
}

TEST(FocusOrder, GlobalFocusMovesAlongLinksAndTableOrder) {
  // 10 -> 30 linked out of table order; 20 and 40 unlinked.
  const struct {
    const char* what;
    uint32_t start;
    uint8_t next, previous;
    uint32_t id, expected;
  } cases[] = {
      {"linked successor", 10, 1, 0, 0, 30},
      {"unlinked: following entry", 20, 1, 0, 0, 30},
      {"last entry wraps to the first", 40, 1, 0, 0, 10},
      {"linked predecessor", 30, 0, 1, 0, 10},
      {"unlinked: preceding entry", 20, 0, 1, 0, 10},
      {"first entry wraps to the last", 10, 0, 1, 0, 40},
      {"nobody focused: next starts at the first", 0, 1, 0, 0, 10},
      {"nobody focused: previous starts at the last", 0, 0, 1, 0, 40},
      {"registered id", 10, 0, 0, 40, 40},
      {"unknown id leaves the focus", 20, 0, 0, 77, 20},
  };
  for (const auto& c : cases) {
    velkor_test::CycleDriver clean;
    for (const uint32_t id : {10u, 20u, 30u, 40u}) InitialiseFocus(id, id == 10 ? 30 : 0);
    uint8_t state = 0;
    if (c.start != 0) ManageIndividualFocus(1, 0, c.start, 0, 0, 0, &state);
    uint32_t current = 0, requesting = 0;
    ManageGlobalFocus(c.next, c.previous, c.id, 0, &current, &requesting);
    EXPECT_EQ(c.expected, current) << c.what;
    EXPECT_EQ(c.start, requesting) << c.what;
  }
}

}  // namespace
