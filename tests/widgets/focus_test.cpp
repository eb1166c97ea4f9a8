// Who holds the focus: taking and keeping it, ties decided by stepping order,
// overrides, containers, the focus order and its navigation, and the pointer
// pulses a focused widget receives.
#include "widgets/Focus.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/cycle_driver.h"

namespace {

using velkor_test::CycleDriver;
using velkor_test::TestWidget;

// Two widgets side by side, A at x 0..100, B at x 200..300.
class FocusTest : public ::testing::Test {
 protected:
  void MoveOver(const TestWidget& w) { driver.MoveTo(w.left + 10.0f, w.bottom + 10.0f); }
  void MoveAway() { driver.MoveTo(1000.0f, 700.0f); }

  CycleDriver driver;
  TestWidget a{0, 0, 100, 50};
  TestWidget b{200, 0, 100, 50};
  bool aFirst = true;
  bool drawA = true;

  void SetUp() override {
    driver.OnCycle([this] {
      if (aFirst) {
        if (drawA) a.Sense();
        b.Sense();
      } else {
        b.Sense();
        if (drawA) a.Sense();
      }
    });
  }
};

TEST(FocusIdTest, GetIdGivesEveryFieldItsOwnStableId) {
  uint32_t fields[3] = {0, 0, 0};
  for (uint32_t& f : fields) GetId(&f);
  EXPECT_NE(fields[0], fields[1]);
  EXPECT_NE(fields[1], fields[2]);
  EXPECT_NE(0u, fields[0]);
  uint32_t again = 0;
  GetId(&fields[1]);
  again = fields[1];
  GetId(&fields[1]);
  EXPECT_EQ(again, fields[1]);
}

TEST_F(FocusTest, HoveredWidgetTakesTheFocusAndKeepsItAfterThePointerLeaves) {
  MoveOver(a);
  driver.Cycle();
  EXPECT_EQ(FOCUS_HELD, a.focusState());
  EXPECT_EQ(FOCUS_NONE, b.focusState());
  EXPECT_EQ(a.id(), GetCurrentFocusedWidget());

  MoveAway();
  driver.KeyDown('x');
  driver.Cycle();
  EXPECT_EQ(FOCUS_HELD, a.focusState()) << "no widget hovered: the last one keeps the focus";
  EXPECT_EQ(1, a.keyPressed()) << "and keeps receiving keys";
  EXPECT_EQ(uint32_t('x'), a.key());
  EXPECT_EQ(0, b.keyPressed());
}

TEST_F(FocusTest, ANewRequesterWinsInTheSameCycleWhenSteppedAfterTheHolder) {
  MoveOver(a);
  driver.Cycle();
  MoveOver(b);
  driver.Cycle();
  EXPECT_EQ(FOCUS_HELD, b.focusState());
  EXPECT_EQ(b.id(), GetCurrentFocusedWidget());
  EXPECT_EQ(FOCUS_HELD, a.focusState()) << "A was still the holder when it was stepped";
  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, a.focusState());
  EXPECT_EQ(FOCUS_HELD, b.focusState());
}

TEST_F(FocusTest, ANewRequesterSteppedBeforeTheHolderWinsOneCycleLater) {
  aFirst = false;  // B is stepped first
  MoveOver(a);
  driver.Cycle();
  MoveOver(b);
  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, b.focusState()) << "A's request was still active when B asked";
  EXPECT_EQ(FOCUS_HELD, a.focusState());
  driver.Cycle();
  EXPECT_EQ(FOCUS_HELD, b.focusState());
  EXPECT_EQ(b.id(), GetCurrentFocusedWidget());
}

TEST_F(FocusTest, AnActiveRequestBlocksOverlappingWidgets) {
  b.left = 50.0f;  // B overlaps A's right half
  driver.MoveTo(60.0f, 10.0f);
  driver.Cycles(3);
  EXPECT_EQ(FOCUS_HELD, a.focusState());
  EXPECT_EQ(FOCUS_NONE, b.focusState());
}

TEST_F(FocusTest, AHolderThatStopsBeingDrawnBlocksUntilGlobalFocusCountsItDown) {
  b.left = 50.0f;
  driver.MoveTo(60.0f, 10.0f);
  driver.Cycle();
  ASSERT_EQ(FOCUS_HELD, a.focusState());
  drawA = false;  // A vanishes with its request still set
  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, b.focusState());
  EXPECT_EQ(a.id(), GetRequestingFocus());

  ManageGlobalFocus(0, 0, 0, 0, nullptr, nullptr);
  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, b.focusState()) << "liveness 2 counted down once";
  ManageGlobalFocus(0, 0, 0, 0, nullptr, nullptr);
  driver.Cycle();
  EXPECT_EQ(FOCUS_HELD, b.focusState());
}

TEST_F(FocusTest, ReleaseHandsTheFocusOnToTheSuccessor) {
  MoveOver(a);
  driver.Cycle();
  MoveAway();
  a.nextId = b.id();
  a.release = 1;
  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, a.focusState());
  EXPECT_EQ(b.id(), GetCurrentFocusedWidget());
  EXPECT_EQ(FOCUS_HELD, b.focusState()) << "B is stepped after A, so it reports the focus at once";
}

TEST_F(FocusTest, OverrideForcesOrWithholdsTheFocusOfSubWidgets) {
  MoveOver(a);
  driver.OnCycle([this] {
    FocusOverride(FOCUS_OVERRIDE_UNFOCUSED);
    a.Sense();
    b.Sense();
    ReleaseOverride();
  });
  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, a.focusState()) << "hovered, but the group is not focused";
  EXPECT_EQ(0u, GetCurrentFocusedWidget()) << "and it takes nothing";

  driver.OnCycle([this] {
    FocusOverride(FOCUS_OVERRIDE_FOCUSED);
    a.Sense();
    b.Sense();
    ReleaseOverride();
  });
  driver.Press();
  driver.Cycle();
  EXPECT_EQ(FOCUS_FORCED, a.focusState());
  EXPECT_EQ(FOCUS_FORCED, b.focusState()) << "hovered or not";
  EXPECT_EQ(1, a.pressed());
  EXPECT_EQ(0u, GetCurrentFocusedWidget());
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
  EXPECT_EQ(FOCUS_HELD, container.focusState()) << "stepped before its child";
  EXPECT_EQ(FOCUS_HELD, child.focusState());
  EXPECT_EQ(child.id(), GetCurrentFocusedWidget());

  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, container.focusState()) << "the child keeps it while it requests";
  EXPECT_EQ(FOCUS_HELD, child.focusState());
}

TEST_F(FocusTest, WithoutAContainerAChildOverAnotherRequesterWaits) {
  TestWidget outer(0, 0, 400, 200);
  TestWidget inner(10, 10, 50, 20);
  driver.OnCycle([&] {
    outer.Sense();
    inner.Sense();
  });
  driver.MoveTo(300.0f, 100.0f);
  driver.Cycle();
  driver.MoveTo(20.0f, 20.0f);
  driver.Cycle();
  EXPECT_EQ(FOCUS_NONE, inner.focusState());
  EXPECT_EQ(FOCUS_HELD, outer.focusState());
}

// ---- IndividualFocus pulses -----------------------------------------------------

enum class Input { kNone, kPress, kRelease, kRightPress };

struct PulseRow {
  Input input;
  bool overA;
  int focus;
  int pressed;
  int released;
  uint32_t lastButton;
};

TEST_F(FocusTest, PulsesLastOneCycleAndNeedTheFocus) {
  const PulseRow story[] = {
      {Input::kPress, false, FOCUS_NONE, 0, 0, 0},  // pressed just before arriving
      {Input::kNone, true, FOCUS_HELD, 1, 0, 1},    // focus taken, that press counts
      {Input::kNone, true, FOCUS_HELD, 0, 0, 1},
      {Input::kRelease, false, FOCUS_HELD, 0, 1, 1},  // released outside, focus kept
      {Input::kRightPress, true, FOCUS_HELD, 1, 0, 2},
      {Input::kRelease, true, FOCUS_HELD, 0, 1, 1},
      {Input::kPress, true, FOCUS_HELD, 1, 0, 1},
      {Input::kPress, true, FOCUS_HELD, 0, 0, 1},  // two presses in a row: one pulse
  };
  for (const PulseRow& row : story) {
    if (row.overA) {
      MoveOver(a);
    } else {
      MoveAway();
    }
    if (row.input == Input::kPress) driver.Press();
    if (row.input == Input::kRelease) driver.Release();
    if (row.input == Input::kRightPress) driver.Press(2);
    driver.Cycle();
    EXPECT_EQ(row.focus, a.focusState()) << "cycle " << driver.cycle();
    EXPECT_EQ(row.pressed, a.pressed()) << "cycle " << driver.cycle();
    EXPECT_EQ(row.released, a.released()) << "cycle " << driver.cycle();
    EXPECT_EQ(row.lastButton, a.button()) << "cycle " << driver.cycle();
    EXPECT_EQ(0, b.pressed()) << "cycle " << driver.cycle();
    EXPECT_EQ(0, b.released()) << "cycle " << driver.cycle();
  }
}

TEST_F(FocusTest, ALatePressPulseCarriesTheButtonOfThatPress) {
  MoveOver(a);
  driver.Press(2);
  driver.Release(2);
  driver.Cycles(2);
  ASSERT_EQ(2u, a.button());
  MoveAway();
  driver.Press(1);  // left press seen one cycle before the focus moves to B
  driver.Cycle();
  MoveOver(b);
  driver.Cycle();
  EXPECT_EQ(1, b.pressed());
  EXPECT_EQ(1u, b.button()) << "a left press must not look like the older right click";
}

TEST_F(FocusTest, ExplicitIdReplacesTheInstanceId) {
  a.focusId = 4242;
  MoveOver(a);
  driver.Cycle();
  EXPECT_EQ(4242u, a.id());
  EXPECT_EQ(4242u, GetCurrentFocusedWidget());
}

// ---- Focus order and navigation ----------------------------------------------------

class FocusOrderTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearFocus(); }
  void TearDown() override { ClearFocus(); }
};

TEST_F(FocusOrderTest, RegistrationLinksSuccessorsAndPredecessors) {
  InitialiseFocus(10, 20);
  InitialiseFocus(20, 30);
  InitialiseFocus(30, 0);
  InitialiseFocus(20, 99);  // already registered with a successor: unchanged
  ASSERT_EQ(3, GetFocusOrderCount());
  const FocusOrderEntry expected[] = {{10, 20, 0}, {20, 30, 10}, {30, 0, 20}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(expected[i].id, GetFocusOrderEntry(i).id) << i;
    EXPECT_EQ(expected[i].next, GetFocusOrderEntry(i).next) << i;
    EXPECT_EQ(expected[i].prev, GetFocusOrderEntry(i).prev) << i;
  }
}

TEST_F(FocusOrderTest, RegistrationStopsAtTheTableSizeAndPointerFocusStillWorks) {
  for (uint32_t id = 1; id <= FOCUS_ORDER_SIZE + 5; ++id) InitialiseFocus(id, 0);
  EXPECT_EQ(FOCUS_ORDER_SIZE, GetFocusOrderCount());
  EXPECT_EQ(uint32_t(FOCUS_ORDER_SIZE), GetFocusOrderEntry(FOCUS_ORDER_SIZE - 1).id);
  EXPECT_EQ(0u, GetFocusOrderEntry(FOCUS_ORDER_SIZE).id) << "reading past the table is safe";
  EXPECT_EQ(0u, GetFocusOrderEntry(-1).id);

  uint8_t state = 0;
  ManageIndividualFocus(1, 0, FOCUS_ORDER_SIZE + 50, 0, 0, 1, &state);
  EXPECT_EQ(FOCUS_HELD, state);
  EXPECT_EQ(FOCUS_ORDER_SIZE, GetFocusOrderCount());
}

struct NavigationCase {
  const char* what;
  uint32_t start;
  uint8_t next;
  uint8_t previous;
  uint32_t id;
  uint32_t expected;
};

TEST_F(FocusOrderTest, GlobalFocusMovesAlongLinksAndTableOrder) {
  // 10 -> 30 linked out of table order; 20 and 40 unlinked.
  const NavigationCase cases[] = {
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
  for (const NavigationCase& c : cases) {
    ClearFocus();
    InitialiseFocus(10, 30);
    InitialiseFocus(20, 0);
    InitialiseFocus(30, 0);
    InitialiseFocus(40, 0);
    if (c.start != 0) {
      uint8_t state = 0;
      ManageIndividualFocus(1, 0, c.start, 0, 0, 0, &state);
      ASSERT_EQ(FOCUS_HELD, state) << c.what;
    }
    uint32_t current = 0, requesting = 0;
    ManageGlobalFocus(c.next, c.previous, c.id, 0, &current, &requesting);
    EXPECT_EQ(c.expected, current) << c.what;
    EXPECT_EQ(c.expected, GetCurrentFocusedWidget()) << c.what;
    EXPECT_EQ(c.start, requesting) << c.what;
  }
}

TEST_F(FocusOrderTest, GlobalFocusWithAnEmptyOrderChangesNothing) {
  uint32_t current = 5;
  ManageGlobalFocus(1, 1, 0, 0, &current, nullptr);
  EXPECT_EQ(0u, current);
}

TEST_F(FocusOrderTest, ResetZeroesTheLinksButKeepsTheCount) {
  InitialiseFocus(10, 20);
  InitialiseFocus(20, 0);
  ManageGlobalFocus(0, 0, 0, 1, nullptr, nullptr);
  EXPECT_EQ(2, GetFocusOrderCount());
  EXPECT_EQ(0u, GetFocusOrderEntry(0).id);
  EXPECT_EQ(0u, GetFocusOrderEntry(0).next);
}

TEST_F(FocusOrderTest, FirstStepOfAWidgetRegistersIt) {
  CycleDriver driver;
  std::unique_ptr<TestWidget> w(new TestWidget(0, 0, 10, 10));
  w->nextId = 1234;
  driver.OnCycle([&] { w->Sense(); });
  driver.Cycles(3);
  ASSERT_EQ(1, GetFocusOrderCount());
  EXPECT_EQ(w->id(), GetFocusOrderEntry(0).id);
  EXPECT_EQ(1234u, GetFocusOrderEntry(0).next);
}

}  // namespace
