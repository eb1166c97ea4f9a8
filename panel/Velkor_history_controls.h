// Velkor_history_controls - the history in the panel's frame: the buttons
// "Schritt zurück" and "Schritt vor" with their tool tips, Ctrl+Z and
// Ctrl+Y (Ctrl+Shift+Z), and the frame's action recorded at its end.
//
// What counts as an action: a frame after which the machine differs from
// how the frame found it (registers, highlights, flags, RAM, ROM, ports and
// switches, markers, the phase) or the decoded instruction does, and a
// FETCH/DECODE that changed anything (it reloads the selectors). An
// action's second half in the next frame (F7's EXECUTE, the RESET after a
// word that does not decode, the phase an NMI sets) belongs to the first.
// Choosing an instruction, typing an operand or selecting a table row is no
// action; a step back restores them as they were before the action undone.
//
// A step back or forward
//   - stops a continuous run first (the step goes back from where it stopped);
//   - waits a frame while an action is half done (see above);
//   - leaves the breakpoints alone (they are not the machine) and clears the
//     message of where a run stopped;
//   - leaves an open pop-up open; an operand box shows the restored text,
//     and what was typed there without Enter is dropped (a click on a
//     button ends the edit anyway; the keys belong to a box being edited).
//   - scrolls the tables, if they must, to show the restored markers.
//
// How a frame uses it:
//   pass 0, step 1b  Velkor_history_step(c, pass)      after the key is read
//   pass 2, last     Velkor_history_end_frame(c)
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "panel/Velkor_symbology_layer_internal.h"

// Draws the two buttons (inert and veiled while there is nothing to step
// to) and a tool tip under the one the pointer rests on; takes this frame's
// click or key and steps back or forward.
void Velkor_history_step(Velkor_symbology_layer_context* c, uint32_t pass);

// Records the frame as an action when it was one.
void Velkor_history_end_frame(Velkor_symbology_layer_context* c);
