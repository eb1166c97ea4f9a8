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

}  // namespace
}  // namespace velkor_test
