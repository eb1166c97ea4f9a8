// The history without a window: the ring of states (wrap at its capacity,
// the undone branch dropped by a new action), the compact state taken from
// and put back into a real layer context, what counts as an action, and the
// frame's end that records it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "panel/Velkor_history.h"
#include "panel/Velkor_history_controls.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "tests/panel/layer_fixture.h"

namespace {

// A state told apart by the number in R4's cell.
Velkor_HistoryState Numbered(int n) {
  Velkor_HistoryState s;
  memset(&s, 0, sizeof s);
  char text[8];
  snprintf(text, sizeof text, "%04X", n & 0xFFFF);
  memcpy(s.machine.registers[4], text, 4);
  return s;
}

int NumberOf(const Velkor_HistoryState& s) {
  char text[5] = {};
  memcpy(text, s.machine.registers[4], 4);
  return static_cast<int>(strtol(text, nullptr, 16));
}

// ---- The ring ----------------------------------------------------------------------

struct RingRun {
  std::unique_ptr<Velkor_History> h{new Velkor_History};
  int shown = 0;  // the state the panel shows: what the last step restored
  RingRun() { Velkor_history_init(h.get()); }
  // An action from the shown state to the state `n`.
  void Act(int n) {
    const Velkor_HistoryState before = Numbered(shown);
    Velkor_history_record(h.get(), &before);
    shown = n;
  }
  bool Back() { return Step(Velkor_history_undo); }
  bool Forward() { return Step(Velkor_history_redo); }
  bool Step(bool (*step)(Velkor_History*, const Velkor_HistoryState*, Velkor_HistoryState*)) {
    const Velkor_HistoryState now = Numbered(shown);
    Velkor_HistoryState out = Numbered(0xBAD);
    if (!step(h.get(), &now, &out)) {
      EXPECT_EQ(0xBAD, NumberOf(out)) << "a refused step leaves the output alone";
      return false;
    }
    shown = NumberOf(out);
    return true;
  }
  int Undo() const { return Velkor_history_undo_count(h.get()); }
  int Redo() const { return Velkor_history_redo_count(h.get()); }
};

TEST(HistoryRing, StepsBackAndForwardThroughTheStatesInOrder) {
  RingRun r;
  EXPECT_FALSE(r.Back()) << "nothing to undo at start";
  EXPECT_FALSE(r.Forward()) << "nothing to redo at start";
  for (int n = 1; n <= 5; ++n) r.Act(n);
  EXPECT_EQ(5, r.Undo());
  EXPECT_EQ(0, r.Redo());
  for (int n = 4; n >= 0; --n) {
    ASSERT_TRUE(r.Back());
    EXPECT_EQ(n, r.shown);
    EXPECT_EQ(n, r.Undo());
    EXPECT_EQ(5 - n, r.Redo());
  }
  EXPECT_FALSE(r.Back());
  EXPECT_EQ(0, r.shown);
  for (int n = 1; n <= 5; ++n) {
    ASSERT_TRUE(r.Forward());
    EXPECT_EQ(n, r.shown);
  }
  EXPECT_FALSE(r.Forward());
  EXPECT_EQ(5, r.Undo());
}

TEST(HistoryRing, ANewActionDropsTheUndoneBranch) {
  RingRun r;
  for (int n = 1; n <= 4; ++n) r.Act(n);
  ASSERT_TRUE(r.Back());
  ASSERT_TRUE(r.Back());
  EXPECT_EQ(2, r.shown);
  EXPECT_EQ(2, r.Redo());
  r.Act(20);
  EXPECT_EQ(3, r.Undo());
  EXPECT_EQ(0, r.Redo()) << "3 and 4 are gone";
  EXPECT_FALSE(r.Forward());
  ASSERT_TRUE(r.Back());
  EXPECT_EQ(2, r.shown);
  ASSERT_TRUE(r.Forward());
  EXPECT_EQ(20, r.shown);
}

TEST(HistoryRing, AStepBackKeepsWhatWasShownEvenIfItChangedSinceTheAction) {
  // The selection may change between actions without being one: a step
  // forward brings back the panel as the step back found it.
  RingRun r;
  r.Act(1);
  r.shown = 7;  // changed, but no action
  ASSERT_TRUE(r.Back());
  EXPECT_EQ(0, r.shown);
  ASSERT_TRUE(r.Forward());
  EXPECT_EQ(7, r.shown);
}

TEST(HistoryRing, WrapsAtItsCapacityKeepingTheNewestActions) {
  RingRun r;
  const int actions = kHistorySteps + 300;
  for (int n = 1; n <= actions; ++n) {
    r.Act(n);
    ASSERT_EQ(n < kHistorySteps ? n : kHistorySteps, r.Undo()) << "after action " << n;
  }
  for (int k = 1; k <= kHistorySteps; ++k) {
    ASSERT_TRUE(r.Back()) << k;
    ASSERT_EQ(actions - k, r.shown) << k;
  }
  EXPECT_FALSE(r.Back()) << "the oldest 300 were dropped";
  EXPECT_EQ(kHistorySteps, r.Redo());
  for (int k = 1; k <= kHistorySteps; ++k) ASSERT_TRUE(r.Forward()) << k;
  EXPECT_EQ(actions, r.shown);
  // Full again after steps back: a new action still drops the oldest one.
  ASSERT_TRUE(r.Back());
  r.Act(9999);
  EXPECT_EQ(kHistorySteps, r.Undo());
  EXPECT_GE(kHistorySteps, 1000) << "at least a thousand actions deep";
  EXPECT_LT(kHistoryBytes, size_t{2} << 20) << "bounded: the ring fits in 2 MiB";
}

// ---- The compact state -------------------------------------------------------------

void SetCell(char* cell, size_t size, const char* text) {
  snprintf(cell, size, "%s", text);
}

// A panel far from its start in every field a state holds.
void Scramble(Velkor_symbology_layer_context* c) {
  for (int r = 0; r < kRegisterCount; ++r) {
    char text[8];
    snprintf(text, sizeof text, "%04X", 0x1111 * (r % 15) + 2);
    SetCell(c->registers[r], kTextCellSize, text);
    c->registerHighlight[r] = r % 2 ? kHighlightWritten : kHighlightSource;
  }
  SetCell(c->ramRows[0].cells[kRowHighCell], kTextCellSize, "AB");
  SetCell(c->ramRows[63].cells[kRowLowCell], kTextCellSize, "CD");
  SetCell(c->romRows[5].cells[kRowHighCell], kTextCellSize, "12");
  SetCell(c->romRows[63].cells[kRowLowCell], kTextCellSize, "EF");
  SetCell(c->ports[1], kPortCellSize, "0x55");
  SetCell(c->ports[2], kPortCellSize, "0xFF");
  c->statusFlags[kFlagN] = 1;
  c->statusFlags[kFlagC] = 1;
  c->p2Input[3] = 1;
  c->p1Output[0] = 1;
  c->ramMarker = {17, 3};
  c->ramMarkerOn = 1;
  c->romMarker = {40, 0};
  c->romMarkerOn = 0;
  c->phaseFlag = 1;
  c->decodedFormat = kFormatJump;
  c->decodedJumpOperation = kJumpGE;
  c->decodedPcOffset = -3.0f;
  SetCell(c->decodedSourceText, kTextCellSize, "0x1234");
  c->instructionFormat = kFormatDoubleOperand;
  c->dualOperation = kOpXOR;
  c->sourceMode = kModeImmediate;
  c->destinationMode = kModeAbsolute;
  c->destinationRegister = 9;
  c->pcOffset = 12.0f;
  c->romSelection[0] = 30;
  c->ramSelection[0] = 2;
  c->ramSelection[1] = 1;
  SetCell(c->sourceEditText, kTextCellSize, "-17");
  SetCell(c->destinationEditText, kTextCellSize, "0x0200");
  c->wordOperation = 0;
}

TEST(HistoryState, RestoreBringsBackEveryFieldItTook) {
  Layer c = NewLayer();
  Scramble(c.get());
  std::unique_ptr<Velkor_HistoryState> taken(new Velkor_HistoryState);
  Velkor_history_capture(c.get(), taken.get());
  Layer fresh = NewLayer();
  Velkor_history_restore(fresh.get(), taken.get());
  std::unique_ptr<Velkor_HistoryState> again(new Velkor_HistoryState);
  Velkor_history_capture(fresh.get(), again.get());
  EXPECT_EQ(0, memcmp(taken.get(), again.get(), sizeof *again)) << "capture, restore, capture";
  // Spot checks in the panel's own cells.
  EXPECT_STREQ("2224", fresh->registers[2]);
  EXPECT_STREQ("AB", fresh->ramRows[0].cells[kRowHighCell]);
  EXPECT_STREQ("00", fresh->ramRows[0].cells[kRowLowCell]);
  EXPECT_STREQ("EF", fresh->romRows[63].cells[kRowLowCell]);
  EXPECT_STREQ("FF80", fresh->romRows[63].cells[kRowAddressCell]) << "addresses are not touched";
  EXPECT_STREQ("0x55", fresh->ports[1]);
  EXPECT_STREQ("0x1234", fresh->decodedSourceText);
  EXPECT_STREQ("-17", fresh->sourceEditText);
  EXPECT_EQ(kHighlightWritten, fresh->registerHighlight[1]);
  EXPECT_EQ(17u, fresh->ramMarker.row);
  EXPECT_EQ(0, fresh->romMarkerOn);
  EXPECT_EQ(1, fresh->phaseFlag);
  EXPECT_EQ(-3.0f, fresh->decodedPcOffset);
  // The operands are converted at once, for this frame's Assemble.
  EXPECT_STREQ("FFEF", fresh->sourceOperandText);
  EXPECT_EQ(1, fresh->sourceValid);
  EXPECT_STREQ("0200", fresh->destinationOperandText);
  // Widgets holding a copy are loaded: the switch of bit 3 is ToggleButton_4.
  EXPECT_EQ(1, fresh->ToggleButton_4.load);
  EXPECT_EQ(1, fresh->ToggleButton_4.value);
  EXPECT_EQ(0, fresh->ToggleButton_3.value);
  EXPECT_EQ(1, fresh->MemoryMultiColumn.load);
  EXPECT_EQ(30, fresh->MemoryMultiColumn.loadRow);
  EXPECT_EQ(1, fresh->MemoryMultiColumn_1.loadColumn);
}

TEST(HistoryState, WhatMakesAFrameAnAction) {
  using Change = void (*)(Velkor_symbology_layer_context*);
  struct Row {
    const char* name;
    Change change;
    bool changed;  // an action
    bool differs;  // anything at all
  };
  const Row rows[] = {
      {"nothing", [](Velkor_symbology_layer_context*) {}, false, false},
      {"a register", [](Velkor_symbology_layer_context* c) { c->registers[15][3] = '1'; }, true,
       true},
      {"a highlight", [](Velkor_symbology_layer_context* c) { c->registerHighlight[0] = 2; }, true,
       true},
      {"a RAM byte",
       [](Velkor_symbology_layer_context* c) { c->ramRows[9].cells[kRowLowCell][1] = '7'; }, true,
       true},
      {"a ROM byte",
       [](Velkor_symbology_layer_context* c) { c->romRows[0].cells[kRowHighCell][0] = '0'; }, true,
       true},
      {"P1OUT", [](Velkor_symbology_layer_context* c) { c->ports[1][3] = '1'; }, true, true},
      {"a flag", [](Velkor_symbology_layer_context* c) { c->statusFlags[kFlagZ] = 1; }, true, true},
      {"a switch", [](Velkor_symbology_layer_context* c) { c->p2Input[0] = 1; }, true, true},
      {"the RAM marker", [](Velkor_symbology_layer_context* c) { c->ramMarker.row = 5; }, true,
       true},
      {"the ROM marker shown", [](Velkor_symbology_layer_context* c) { c->romMarkerOn ^= 1; }, true,
       true},
      {"the phase", [](Velkor_symbology_layer_context* c) { c->phaseFlag = 1; }, true, true},
      {"the decoded word",
       [](Velkor_symbology_layer_context* c) { c->decodedFormat = kFormatEmulated; }, true, true},
      // P2IN and the lamps as the next Ports call leaves them anyway: a frame
      // that only carries them through is no action of its own.
      {"P2IN catching up with its switches",
       [](Velkor_symbology_layer_context* c) {
         c->p2Input[0] = 1;
         Ports(c->ports, c->p2Input, c->ports, c->p1Output);
         c->p2Input[0] = 0;
       },
       false, false},
      {"the selection", [](Velkor_symbology_layer_context* c) { c->dualOperation = kOpADD; }, false,
       true},
      {"an operand typed",
       [](Velkor_symbology_layer_context* c) { SetCell(c->sourceEditText, kTextCellSize, "5"); },
       false, true},
      {"a ROM row selected", [](Velkor_symbology_layer_context* c) { c->romSelection[0] = 2; },
       false, true},
      {"a slot message", [](Velkor_symbology_layer_context* c) { SetCell(c->slotMessage, 8, "x"); },
       false, false},
      {"a breakpoint", [](Velkor_symbology_layer_context* c) { c->classroom.breakpoints[3] = 1; },
       false, false},
  };
  for (const Row& row : rows) {
    Layer c = NewLayer();
    // P2IN settled for the start's switches, as every frame leaves it.
    Ports(c->ports, c->p2Input, c->ports, c->p1Output);
    std::unique_ptr<Velkor_HistoryState> before(new Velkor_HistoryState);
    std::unique_ptr<Velkor_HistoryState> after(new Velkor_HistoryState);
    Velkor_history_capture(c.get(), before.get());
    row.change(c.get());
    Velkor_history_capture(c.get(), after.get());
    EXPECT_EQ(row.changed, Velkor_history_changed(before.get(), after.get())) << row.name;
    EXPECT_EQ(row.differs, Velkor_history_differs(before.get(), after.get())) << row.name;
  }
}

// ---- The frame's end ---------------------------------------------------------------

TEST(HistoryFrame, RecordsAFrameThatChangedTheMachineAndNothingElse) {
  Layer c = NewLayer();
  Velkor_classroom* k = &c->classroom;
  const auto frame = [&](void (*change)(Velkor_symbology_layer_context*)) {
    Velkor_history_capture(c.get(), &k->historyBefore);
    k->historyRestored = 0;
    k->historyFollowUp = k->historyFollowUpNext;
    change(c.get());
    Velkor_history_end_frame(c.get());
  };
  frame([](Velkor_symbology_layer_context*) {});
  EXPECT_EQ(0, Velkor_history_undo_count(&k->history)) << "an idle frame is no action";
  frame([](Velkor_symbology_layer_context* c) { c->dualOperation = kOpSUB; });
  EXPECT_EQ(0, Velkor_history_undo_count(&k->history)) << "choosing an operation is none";
  frame([](Velkor_symbology_layer_context* c) { c->registers[4][3] = '9'; });
  EXPECT_EQ(1, Velkor_history_undo_count(&k->history));
  // A FETCH/DECODE that reloads the selectors with the word decoded before.
  frame([](Velkor_symbology_layer_context* c) {
    c->fetchHighlighted = 1;
    c->clickFlag = 1;
    c->dualOperation = kOpMOV;
  });
  EXPECT_EQ(2, Velkor_history_undo_count(&k->history)) << "a FETCH that changed the selection";
  c->fetchHighlighted = 0;
  // F7: FETCH/DECODE in one frame, its EXECUTE in the next is the same action.
  frame([](Velkor_symbology_layer_context* c) {
    c->decodedFormat = kFormatJump;
    c->classroom.pendingExecute = 1;
  });
  EXPECT_EQ(3, Velkor_history_undo_count(&k->history));
  frame([](Velkor_symbology_layer_context* c) {
    c->classroom.pendingExecute = 0;
    c->registers[0][2] = '9';
  });
  EXPECT_EQ(3, Velkor_history_undo_count(&k->history)) << "the EXECUTE joins its FETCH";
  frame([](Velkor_symbology_layer_context* c) { c->registers[5][3] = '1'; });
  EXPECT_EQ(4, Velkor_history_undo_count(&k->history)) << "the next action is its own";
  // A frame that stepped back records nothing, whatever changed.
  Velkor_history_capture(c.get(), &k->historyBefore);
  k->historyRestored = 1;
  c->registers[6][3] = '1';
  Velkor_history_end_frame(c.get());
  EXPECT_EQ(4, Velkor_history_undo_count(&k->history));
}

}  // namespace
