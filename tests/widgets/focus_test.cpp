// Who holds the focus: stepping order, containers, the focus order. (Pulses: display tests.)
#include "widgets/Focus.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

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
};

TEST(Focus, TakenKeptAndTiesDecidedByTheSteppingOrder) {
  for (bool aSteppedFirst : {true, false}) {
    velkor_test::CycleDriver driver;
    TestWidget a(0, 0, 100, 50);
    TestWidget b(200, 0, 100, 50);
    driver.OnCycle([&] {
      if (aSteppedFirst) a.Sense();
      b.Sense();
      if (!aSteppedFirst) a.Sense();
    });
    std::string trace;  // A's and B's focus state per cycle: over A, twice over B, over nothing
    for (float x : {10.0f, 210.0f, 210.0f, 1000.0f}) {
      driver.MoveTo(x, 10.0f);
      driver.Cycle();
      trace += std::to_string(a.focusState()) + std::to_string(b.focusState()) + " ";
    }
    // B wins at once stepped after A, a cycle later before it; then keeps it over nothing.
    EXPECT_EQ(aSteppedFirst ? "10 11 01 01 " : "10 10 01 01 ", trace) << aSteppedFirst;
  }
}

TEST_F(FocusTest, AnActiveRequestBlocksUntilItsHolderIsNoLongerDrawn) {
  b.left = 50.0f;  // B overlaps A's right half
  driver.MoveTo(60.0f, 10.0f);
  // The host counts the holder's liveness down once per cycle; a drawn holder renews it.
  std::string trace;
  for (int cycle = 0; cycle < 7; ++cycle) {
    drawA = cycle < 4;  // then A vanishes with its request still set
    driver.Cycle();
    ManageGlobalFocus(0, 0, 0, 0, nullptr, nullptr);
    trace += std::to_string(b.focusState());
  }
  EXPECT_EQ("0000011", trace) << "B takes the focus two countdowns after A vanished";
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

TEST_F(FocusTest, ALatePressPulseCarriesTheButtonOfThatPress) {
  driver.MoveTo(10.0f, 10.0f);  // over A
  driver.Press(2);
  driver.Release(2);
  driver.Cycles(2);
  driver.MoveTo(1000.0f, 700.0f);
  driver.Press(1);  // left press seen one cycle before the focus moves to B
  driver.Cycle();
  driver.MoveTo(210.0f, 10.0f);
  driver.Cycle();
  EXPECT_EQ(1, b.pressed());
  EXPECT_EQ(1u, b.button()) << "a left press must not look like the older right click";
}

TEST(FocusOrder, GlobalFocusMovesAlongLinksAndTableOrder) {
  // 10 -> 30 linked out of table order; 20 and 40 unlinked. The focused id before, next /
  // previous / an id to move to, the focus after.
  const std::tuple<uint32_t, uint8_t, uint8_t, uint32_t, uint32_t> cases[] = {
      {10, 1, 0, 0, 30},  {20, 1, 0, 0, 30},  {40, 1, 0, 0, 10},  // linked, following, wrapping
      {30, 0, 1, 0, 10},  {20, 0, 1, 0, 10},  {10, 0, 1, 0, 40},  // the same backwards
      {0, 1, 0, 0, 10},   {0, 0, 1, 0, 40},                       // from nobody: first, last
      {10, 0, 0, 40, 40}, {20, 0, 0, 77, 20},                     // a registered id, an unknown one
  };
  for (const auto& [start, next, previous, id, expected] : cases) {
    velkor_test::CycleDriver clean;
    for (const uint32_t w : {10u, 20u, 30u, 40u}) InitialiseFocus(w, w == 10 ? 30 : 0);
    uint8_t state = 0;
    if (start != 0) ManageIndividualFocus(1, 0, start, 0, 0, 0, &state);
    uint32_t current = 0, requesting = 0;
    ManageGlobalFocus(next, previous, id, 0, &current, &requesting);
    EXPECT_EQ(std::make_pair(expected, start), std::make_pair(current, requesting)) << start;
  }
}

}  // namespace
