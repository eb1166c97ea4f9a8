// What the panel adds for the classroom, through the real velkor binary off
// screen: the markers that stay in view, the keyboard shortcuts,
// breakpoints and the step-back history, read back from the state file.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/run_velkor.h"

namespace velkor_test {
namespace {

// Snapshot pixels on the rows of the two tables (for the wheel).
constexpr const char* kRomRows = "900 150";
constexpr const char* kRamRows = "1150 150";
// Address cells of ROM rows while the table shows FF92 .. FF80.
constexpr const char* kFf88Address = "858 176";
constexpr const char* kFf8aAddress = "858 154";
constexpr const char* kR4Value = "466 717";
constexpr const char* kFastItem = "@SpeedRadioBox+10,5";
constexpr const char* kNowhere = "700 560";

void Wheel(Script* s, const char* direction, const char* where, int notches) {
  std::string lines;
  int frame = s->frame();
  for (int i = 0; i < notches; ++i) {
    lines += std::to_string(frame++) + " wheel " + direction + " " + where + "\n";
  }
  s->Raw(lines, frame + 2);
}

void Step(Script* s, int instructions) {
  for (int i = 0; i < instructions; ++i) {
    s->Click("@DisasmButton");
    s->Click("@ExecButton");
  }
}

void Key(Script* s, const std::string& name) {
  s->Raw(std::to_string(s->frame()) + " key " + name + "\n", s->frame() + 3);
}

void RightClick(Script* s, const std::string& where) {
  s->Raw(std::to_string(s->frame()) + " move " + where + "\n" + std::to_string(s->frame() + 1) +
             " rclick " + where + "\n",
         s->frame() + 3);
}

VelkorRun Play(const ScratchDir& dir, const Script& s) {
  VelkorRun run = RunOffscreen(dir, s);
  EXPECT_EQ(run.status, 0) << run.output;
  return run;
}

// ---- Markers in view ----------------------------------------------------------

// The ROM table scrolled to its top stays there while nothing runs; RESET
// puts PC on FF80 (row 63) and the table scrolls the fewest rows to show it:
// FF80 becomes its bottom row, not its top.
TEST(MarkersInView, RomTableFollowsPcAfterAStepOnly) {
  ScratchDir dir;
  Script s;
  s.Move(kRomRows);
  Wheel(&s, "up", kRomRows, 60);
  s.Move("700 560");
  s.Wait(20);
  VelkorRun run = Play(dir, s);
  ExpectState(run.state, {"/rom_view/first", 0, "/rom_view/rows", 10, "/rom_marker/row", 63});

  s.Click("@ResetButton");
  run = Play(dir, s);
  ExpectState(run.state, {"/rom_view/first", 54, "/rom_marker/row", 63, "/rom_marker/on", true});
}

// SP's marker: the RAM table scrolled to its bottom rows; the demonstration
// program's CALL pushes to 027E (row 0), and the table scrolls back up to it.
// Scrolled away again by the student, it stays until the next step.
TEST(MarkersInView, RamTableFollowsSpOnEveryStepButNotTheWheel) {
  ScratchDir dir;
  Script s;
  s.Move(kRamRows);
  Wheel(&s, "down", kRamRows, 60);
  Step(&s, 2);
  VelkorRun run = Play(dir, s);
  ExpectState(run.state, {"/ram_view/first", 54, "/registers/1", "0280"});

  Step(&s, 1);  // CALL #0xFF92
  run = Play(dir, s);
  ExpectState(run.state, {"/ram_view/first", 0, "/ram_marker/row", 0, "/registers/1", "027E"});

  s.Move(kRamRows);
  Wheel(&s, "down", kRamRows, 5);
  s.Wait(10);
  run = Play(dir, s);
  ExpectState(run.state, {"/ram_view/first", 5});

  s.Click("@DisasmButton");  // a step that moves no marker still shows it
  run = Play(dir, s);
  ExpectState(run.state, {"/ram_view/first", 0});
}

// ---- Keyboard -------------------------------------------------------------------

// The demonstration program by keys: F5 and F6 are the two buttons, F7 both
// phases of one instruction. The pointer rests on the ROM table's address
// column meanwhile: a key is no click there, so the marker stays shown.
TEST(Keys, StepTheProgramLikeTheButtons) {
  ScratchDir dir;
  Script s;
  s.Move(kFf8aAddress);
  Key(&s, "F5");
  Key(&s, "F6");
  VelkorRun run = Play(dir, s);
  ExpectState(run.state, {"/registers/0", "FF84", "/registers/1", "0280", "/selection/operation",
                          "MOV", "/rom_marker/on", true, "/state_text", "FETCH/DECODE"});
  Key(&s, "F7");
  Key(&s, "F7");  // MOV #0x8000,R4, then CALL #0xFF92
  run = Play(dir, s);
  ExpectState(run.state, {"/registers/0", "FF92", "/registers/4", "8000", "/ram/027E", "FF8C",
                          "/rom_marker/on", true, "/popups/slots", false});
}

// While an edit box is being edited the keys belong to it: F5 neither
// fetches nor leaves the box. F8 switches the run on and off; F1 opens the
// help, Escape closes it, and a click only closes it.
TEST(Keys, NotWhileEditingAndTheRunAndHelpToggles) {
  ScratchDir dir;
  Script s;
  s.Click(kR4Value);
  s.Click("@RegTextEditBox");
  Key(&s, "F5");
  VelkorRun run = Play(dir, s);
  ExpectState(run.state, {"/popups/register", true, "/selection/format", "---no instruction---",
                          "/registers/0", "FF80"});

  Script t;
  Key(&t, "F8");
  run = Play(dir, t);
  ExpectState(run.state, {"/continuous", true});
  Key(&t, "F8");
  Key(&t, "F1");
  run = Play(dir, t);
  ExpectState(run.state, {"/continuous", false, "/help", true});
  Key(&t, "Escape");
  run = Play(dir, t);
  ExpectState(run.state, {"/help", false});
  Key(&t, "F1");
  t.Click("@DisasmButton");
  run = Play(dir, t);
  ExpectState(run.state, {"/help", false, "/selection/format", "---no instruction---"});
}

// ---- Breakpoints ------------------------------------------------------------------

// A right click on an address sets a breakpoint and is no click: the marker
// stays shown, the selection stays, no pop-up opens. A second right click clears it; F9 sets one on the
// selected row.
TEST(Breakpoints, RightClickAndF9Toggle) {
  ScratchDir dir;
  Script s;
  Key(&s, "F7");  // the marker on, at FF84
  RightClick(&s, kFf88Address);
  VelkorRun run = Play(dir, s);
  ExpectState(run.state, {"/breakpoints", nlohmann::json::array({"FF88"}), "/rom_marker/on", true,
                          "/rom_selection/row", 63, "/popups/slots", false});
  RightClick(&s, kFf88Address);
  s.Click(kFf8aAddress);
  Key(&s, "F9");
  run = Play(dir, s);
  ExpectState(run.state,
              {"/breakpoints", nlohmann::json::array({"FF8A"}), "/rom_selection/row", 58});
}

// The right button clicks nothing but an address: over FETCH/DECODE and
// EXECUTE it neither fetches nor executes, over R4's value it opens no
// pop-up, and nothing is recorded as an action.
TEST(Breakpoints, TheRightButtonClicksNothingElse) {
  ScratchDir dir;
  Script s;
  RightClick(&s, "@DisasmButton");
  RightClick(&s, "@ExecButton");
  RightClick(&s, kR4Value);
  VelkorRun run = Play(dir, s);
  ExpectState(run.state, {"/registers/0", "FF80", "/state_text", "FETCH/DECODE", "/popups/register",
                          false, "/breakpoints", nlohmann::json::array(), "/history/undo", 0});
}

// A fast run stops before fetching at FF88 and says so; started again there
// it runs past the breakpoint (into the subroutine at FF92); RESET keeps it.
TEST(Breakpoints, ARunStopsBeforeTheFetchAndResumesPastIt) {
  ScratchDir dir;
  Script s;
  RightClick(&s, kFf88Address);
  s.Click(kFastItem);
  s.Click("@EnableExecToggleButton");
  s.Move(kNowhere);
  s.Wait(40);
  VelkorRun run = Play(dir, s);
  ExpectState(run.state, {"/continuous", false, "/registers/0", "FF88", "/registers/4", "8000",
                          "/state_text", "FETCH/DECODE", "/breakpoint_message",
                          "Haltepunkt FF88 erreicht", "/rom_marker/row", 59});
  Key(&s, "F8");
  s.Wait(12);
  Key(&s, "F8");
  run = Play(dir, s);
  EXPECT_NE(run.state["registers"][0], "FF88");
  ExpectState(run.state, {"/ram/027E", "FF8C", "/breakpoint_message", ""});
  s.Click("@ResetButton");
  run = Play(dir, s);
  ExpectState(run.state, {"/registers/0", "FF80", "/breakpoints", nlohmann::json::array({"FF88"})});
}

}  // namespace
}  // namespace velkor_test
