// Who holds the focus: taking and keeping it, ties decided by stepping order,
// overrides, containers, the focus order and its navigation, and the pointer
// pulses a focused widget receives.
#include "widgets/Focus.h"

#include <gtest/gtest.h>

#include <cctype>
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
  bool drawA = true;

  void SetUp() override {
    driver.OnCycle([this] {
      if (drawA) a.Sense();
      b.Sense();
    });
  }
  void MoveOver(const TestWidget& w) { driver.MoveTo(w.left + 10.0f, w.bottom + 10.0f); }
  void MoveAway() { driver.MoveTo(1000.0f, 700.0f); }
};

TEST(Focus, TakenKeptAndTiesDecidedByTheSteppingOrder) {
  for (bool aSteppedFirst : {true, false}) {
    SCOPED_TRACE(aSteppedFirst ? "A stepped first" : "B stepped first");
    velkor_test::CycleDriver driver;
    TestWidget a(0, 0, 100, 50);
    TestWidget b(200, 0, 100, 50);
    driver.OnCycle([&] {
      if (aSteppedFirst) a.Sense();
      b.Sense();
      if (!aSteppedFirst) a.Sense();
    });
    driver.MoveTo(10, 10);
    driver.Cycle();
    EXPECT_EQ(FOCUS_HELD, a.focusState());
    driver.MoveTo(210, 10);
    driver.Cycle();
    // Stepped after the holder has dropped its request, B wins at once;
    // stepped before it, B still meets A's request and wins a cycle later.
    EXPECT_EQ(aSteppedFirst ? FOCUS_HELD : FOCUS_NONE, b.focusState());
    driver.Cycle();
    EXPECT_EQ(FOCUS_HELD, b.focusState());
    EXPECT_EQ(FOCUS_NONE, a.focusState());
    driver.MoveTo(1000, 10);
    driver.KeyDown('x');
    driver.Cycle();
    EXPECT_EQ(FOCUS_HELD, b.focusState()) << "no widget hovered: the last one keeps the focus";
    EXPECT_EQ(uint32_t('x'), b.key()) << "and its keys";
    EXPECT_EQ(0, a.keyPressed());
  }
}

TEST_F(FocusTest, AnActiveRequestBlocksUntilItsHolderIsNoLongerDrawn) {
  b.left = 50.0f;  // B overlaps A's right half
  driver.MoveTo(60.0f, 10.0f);
  // The host counts the holder's liveness down once per cycle; a holder
  // that is drawn renews it.
  std::string trace;
  for (int cycle = 0; cycle < 7; ++cycle) {
    drawA = cycle < 4;  // then A vanishes with its request still set
    driver.Cycle();
    ManageGlobalFocus(0, 0, 0, 0, nullptr, nullptr);
    trace += std::to_string(b.focusState());
  }
  EXPECT_EQ("0000011", trace) << "B takes the focus two countdowns after A vanished";
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
  // Actions over A (capitals) or away from it: 'P' / 'p' left press, 'Q'
  // right press, 'R' / 'r' release, '-' / '_' nothing. Traces A's focus,
  // pressed and released pulses and last button per cycle.
  std::string trace;
  for (char action : std::string("p--rQRPP")) {
    if (std::isupper(action) || action == '-') {
      MoveOver(a);
    } else {
      MoveAway();
    }
    if (action == 'P' || action == 'p' || action == 'Q') driver.Press(action == 'Q' ? 2 : 1);
    if (action == 'R' || action == 'r') driver.Release();
    driver.Cycle();
    trace += std::to_string(a.focusState()) + std::to_string(a.pressed()) +
             std::to_string(a.released()) + std::to_string(a.button()) + " ";
    EXPECT_EQ(0, b.pressed() + b.released()) << "no focus, no pulses";
  }
  // A press just before the pointer arrives counts once the focus is taken;
  // a release away from A still reaches it; two presses in a row pulse once.
  EXPECT_EQ("0000 1101 1001 1011 1102 1011 1101 1001 ", trace);
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

TEST(FocusOrder, GlobalFocusMovesAlongLinksAndTableOrder) {
  // 10 -> 30 linked out of table order; 20 and 40 unlinked.
  // The focused id before, next / previous / an id to move to, the focus after.
  const struct {
    uint32_t start;
    uint8_t next, previous;
    uint32_t id, expected;
  } cases[] = {
      {10, 1, 0, 0, 30},  {20, 1, 0, 0, 30},  {40, 1, 0, 0, 10},  // linked, following, wrapping
      {30, 0, 1, 0, 10},  {20, 0, 1, 0, 10},  {10, 0, 1, 0, 40},  // the same backwards
      {0, 1, 0, 0, 10},   {0, 0, 1, 0, 40},                       // from nobody: first, last
      {10, 0, 0, 40, 40}, {20, 0, 0, 77, 20},                     // a registered id, an unknown one
  };
  for (const auto& c : cases) {
    velkor_test::CycleDriver clean;
    for (const uint32_t id : {10u, 20u, 30u, 40u}) InitialiseFocus(id, id == 10 ? 30 : 0);
    uint8_t state = 0;
    if (c.start != 0) ManageIndividualFocus(1, 0, c.start, 0, 0, 0, &state);
    uint32_t current = 0, requesting = 0;
    ManageGlobalFocus(c.next, c.previous, c.id, 0, &current, &requesting);
    EXPECT_EQ(c.expected, current) << "from " << c.start;
    EXPECT_EQ(c.start, requesting) << "from " << c.start;
  }
  // A full order table registers no more widgets; they still take the focus
  // by pointer.
  for (uint32_t id = 100; id < 101 + FOCUS_ORDER_SIZE; ++id) InitialiseFocus(id, 0);
  uint8_t state = 0;
  ManageIndividualFocus(1, 0, 5000, 0, 0, 1, &state);
  EXPECT_EQ(FOCUS_HELD, state);
}

}  // namespace
