// Velkor_classroom - what the panel adds for the classroom: the markers kept
// in view, the keyboard shortcuts with their help pop-up, breakpoints, and
// the step-back history. One record, embedded at the end of the layer
// context (Velkor_symbology_layer.h), so the layer stays one block.
//
// How a frame uses it (pass 0 hooks, in frame order; see the units):
//   step 1   Velkor_keys_read              the key of the frame -> a command
//   step 8   Velkor_keys_force_step        F5 / F6 / F7 act as a click on
//            Velkor_breakpoints_hold       FETCH/DECODE or EXECUTE; a run stops
//                                          before the FETCH at a breakpoint
//   step 12  Velkor_breakpoints_right_click   a right click on a ROM address
//   step 19  Velkor_keys_run_toggle        F8 switches continuous execution
//   step 1b  Velkor_history_step           "Schritt zurück" / "Schritt vor",
//                                          Ctrl+Z / Ctrl+Y: a state restored
//   end      Velkor_follow_markers         after a step the markers show
//            Velkor_classroom_draw         the new controls and messages
// and pass 2 ends with Velkor_classroom_draw_help (the F1 pop-up) and
// Velkor_history_end_frame (the frame's action recorded).
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "core/mycode.h"
#include "panel/Velkor_history.h"
#include "panel/Velkor_symbology_layer.h"

// What the key of a frame asks the panel to do.
enum Velkor_KeyCommand : uint8_t {
  kKeyCommandNone = 0,
  kKeyCommandFetch,        // F5
  kKeyCommandExecute,      // F6
  kKeyCommandInstruction,  // F7: FETCH/DECODE, then EXECUTE in the next frame
  kKeyCommandRun,          // F8: continuous execution on / off
  kKeyCommandBreakpoint,   // F9: breakpoint at the selected ROM row
  kKeyCommandUndo,         // Ctrl+Z
  kKeyCommandRedo,         // Ctrl+Y, Ctrl+Shift+Z
  kKeyCommandHelp,         // F1: the help pop-up on / off
  kKeyCommandClose,        // Escape: closes the help pop-up
};

// The breakpoint message ("Haltepunkt FF86 erreicht") has the room of
// kBreakpointMessageSize (Velkor_symbology_layer.h).
struct Velkor_classroom {
  // ---- Keyboard ------------------------------------------------------------
  uint8_t keyCommand;      // the command of this frame
  uint8_t pendingExecute;  // F7's EXECUTE, due in the next frame
  uint8_t keyStep;         // this frame's FETCH/EXECUTE comes from a key
  uint8_t helpOpen;        // the F1 pop-up is shown
  // ---- Breakpoints -----------------------------------------------------------
  uint8_t breakpoints[kMemoryRowCount];  // per ROM row, 1: set
  // The row a run was started on: its breakpoint lets the first FETCH pass,
  // or a run started at a breakpoint would stop again at once.
  int32_t resumeRow;
  char breakpointMessage[kBreakpointMessageSize];
  // ---- Markers in view -------------------------------------------------------
  uint8_t stepped;  // a step, tick, RESET or NMI ran in this frame
  // ---- Step back and forward (Velkor_history.h) ------------------------------
  Velkor_History history;
  Velkor_HistoryState historyBefore;   // the machine as this frame found it
  Velkor_HistoryState historyScratch;  // the state a step back or forward shows
  uint8_t historyCommand;              // a step back or forward waiting a frame
  uint8_t historyRestored;             // this frame stepped: it is no action
  uint8_t historyFollowUp;             // this frame ends the last frame's action
  uint8_t historyFollowUpNext;         // the next frame ends this frame's action
  uint8_t historyRecorded;             // the last frame recorded an action
};
