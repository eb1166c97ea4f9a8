// Velkor_keys - the panel's keyboard shortcuts.
//
//   F5  FETCH/DECODE          F6  EXECUTE        F7  one whole instruction
//   F8  continuous execution on / off            F9  breakpoint at the
//   selected ROM row          F1  help on / off  Escape closes the help
//   Ctrl+Z step back          Ctrl+Y or Ctrl+Shift+Z step forward
//
// A key acts as the click it stands for: F5 and F6 are a click on the
// button of that phase (the same path as a continuous tick, so the pointer
// resting on a table or a register does nothing meanwhile), F7 clicks
// FETCH/DECODE and, in the next frame, EXECUTE with what was decoded, F8
// flips ENABLE Continous Execution. While continuous execution runs, F5, F6
// and F7 do nothing, as the buttons do nothing then. No shortcut acts while
// an edit box is being edited (the keys belong to the text), and F11 stays
// the window's.
//
// How a frame uses it:
//   step 1   if (Velkor_keys_read(c)) ... hide the pointer from the main view
//   step 8   Velkor_keys_force_step(c);
//   step 19  Velkor_keys_load_run_toggle(c) before EnableExecToggleButton is
//            drawn, Velkor_keys_start_run(c) after its outputs are read
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "panel/Velkor_symbology_layer_internal.h"

// The command a key-down stands for (kKeyCommandNone for any other key).
// Escape means something only while the help is open.
uint8_t Velkor_keys_command(uint32_t key, uint32_t modifiers, uint8_t helpOpen);

// Whether one of the panel's edit boxes is being edited.
bool Velkor_keys_editing(const Velkor_symbology_layer_context* c);

// Step 1: reads the key of the frame into c->classroom.keyCommand and acts
// on the commands that need no step (help, breakpoint). True when this
// frame's FETCH/DECODE or EXECUTE comes from a key (F5, F6, F7 or F7's
// EXECUTE due now): the caller then hides the pointer from the main view,
// so that the forced click lands on that button alone.
bool Velkor_keys_read(Velkor_symbology_layer_context* c);

// Step 8: the key's click on the button of its phase.
void Velkor_keys_force_step(Velkor_symbology_layer_context* c);

// Step 19: F8 loads the run toggle with the other state; a run switched on
// by the key starts as one switched on by a click.
void Velkor_keys_load_run_toggle(Velkor_symbology_layer_context* c, uint8_t drawn);
void Velkor_keys_start_run(Velkor_symbology_layer_context* c);
