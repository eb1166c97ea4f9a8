// The classroom additions without a window: where the tables scroll to keep
// their markers in view, which key asks for what, and when a run stops at
// a breakpoint; over a real layer context.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "panel/Velkor_breakpoints.h"
#include "panel/Velkor_follow.h"
#include "panel/Velkor_keys.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "tests/panel/layer_fixture.h"
#include "widgets/interactivity_mapping.h"

namespace {

// ---- Markers in view -------------------------------------------------------------

TEST(FollowMarkers, ScrollsTheFewestRowsAndOnlyForAShownMarker) {
  struct Case {
    const char* name;
    uint32_t marked;
    uint8_t on;
    int32_t first;
    int32_t expected;
  };
  // A table of 64 rows that shows 10.
  const Case cases[] = {
      {"in view at the top", 20, 1, 20, 20},
      {"in view at the bottom", 29, 1, 20, 20},
      {"one below: one row down", 30, 1, 20, 21},
      {"one above: one row up", 19, 1, 20, 19},
      {"far below: marker on the bottom row", 63, 1, 0, 54},
      {"far above: marker on the top row", 0, 1, 54, 0},
      {"marker off: the view stays", 63, 0, 0, 0},
      {"no marked row: the view stays", kNoMarkedRow, 1, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, Velkor_follow_first_row(c.marked, c.on, c.first, 10, 64)) << c.name;
  }
}

TEST(FollowMarkers, AskOnlyAfterAStep) {
  Layer c = NewLayer();
  c->MemoryMultiColumn.firstRow = 0;
  c->MemoryMultiColumn.visibleRows = 10;
  c->MemoryMultiColumn.followFirst = -1;
  c->romMarker.row = 63;
  c->romMarkerOn = 1;
  c->classroom.stepped = 0;
  Velkor_follow_markers(c.get());
  EXPECT_EQ(-1, c->MemoryMultiColumn.followFirst) << "the student's scrolling stays";
  c->classroom.stepped = 1;
  Velkor_follow_markers(c.get());
  EXPECT_EQ(54, c->MemoryMultiColumn.followFirst);
  EXPECT_EQ(0, c->classroom.stepped) << "answered once";
}

// ---- Keys --------------------------------------------------------------------------

TEST(Keys, EachShortcutAndWhatIsNoShortcut) {
  constexpr uint32_t kCtrl = MODIFIER_CONTROL;
  constexpr uint32_t kShift = MODIFIER_SHIFT;
  const struct {
    const char* name;
    uint32_t key, modifiers;
    uint8_t help_open, expected;
  } cases[] = {
      {"F5", KEY_F5, 0, 0, kKeyCommandFetch},
      {"F6", KEY_F6, 0, 0, kKeyCommandExecute},
      {"F7", KEY_F7, 0, 0, kKeyCommandInstruction},
      {"F8", KEY_F8, 0, 0, kKeyCommandRun},
      {"F9", KEY_F9, 0, 0, kKeyCommandBreakpoint},
      {"F1", KEY_F1, 0, 0, kKeyCommandHelp},
      {"Ctrl+Z as the window sends it", 26, kCtrl, 0, kKeyCommandUndo},
      {"Ctrl+Shift+Z", 26, kCtrl | kShift, 0, kKeyCommandRedo},
      {"Ctrl+Y", 25, kCtrl, 0, kKeyCommandRedo},
      {"Ctrl+z as a letter", 'z', kCtrl, 0, kKeyCommandUndo},
      {"Escape closes an open help", KEY_ESCAPE, 0, 1, kKeyCommandClose},
      {"Escape is nothing without it", KEY_ESCAPE, 0, 0, kKeyCommandNone},
      {"F11 stays the window's", KEY_F11, 0, 0, kKeyCommandNone},
      {"Ctrl+F5 is no step", KEY_F5, kCtrl, 0, kKeyCommandNone},
      {"a plain z types", 'z', 0, 0, kKeyCommandNone},
      {"Ctrl+X (26 is Z, 24 is X)", 24, kCtrl, 0, kKeyCommandNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Velkor_keys_command(c.key, c.modifiers, c.help_open)) << c.name;
  }
}

// ---- Breakpoints -------------------------------------------------------------------

// A tick of a run about to FETCH at PC: which ones stop it.
TEST(Breakpoints, ARunStopsOnlyBeforeTheFetchAtABreakpoint) {
  const struct {
    const char* name;
    const char* pc;
    uint8_t phase, tick, start_here, stops;
  } cases[] = {
      {"FETCH at FF88", "FF88", 0, 1, 0, 1},
      {"EXECUTE is next", "FF88", 1, 1, 0, 0},
      {"between ticks", "FF88", 0, 0, 0, 0},
      {"no breakpoint at FF8A", "FF8A", 0, 1, 0, 0},
      {"the run started here", "FF88", 0, 1, 1, 0},
      {"PC outside program memory", "0200", 0, 1, 0, 0},
  };
  for (const auto& k : cases) {
    Layer c = NewLayer();
    Velkor_breakpoints_toggle(c.get(), (0xFFFE - 0xFF88) / 2);
    snprintf(c->registers[0], kTextCellSize, "%s", k.pc);
    c->continuousExecution = 1;
    c->phaseFlag = k.phase;
    c->animationTick = k.tick;
    c->fetchHighlighted = (k.phase == 0 && k.tick) ? 1 : 0;
    c->clickFlag = k.tick;
    if (k.start_here) c->classroom.resumeRow = Velkor_breakpoints_pc_row(c.get());
    Velkor_breakpoints_hold(c.get());
    EXPECT_EQ(k.stops ? 0 : 1, c->continuousExecution) << k.name;
    EXPECT_EQ(k.stops ? 0 : k.tick, c->clickFlag) << k.name;
    EXPECT_EQ(k.stops ? 0 : k.tick, c->animationTick) << k.name;
    EXPECT_STREQ(k.stops ? "Haltepunkt FF88 erreicht" : "", c->classroom.breakpointMessage)
        << k.name;
  }
}

}  // namespace
