// Velkor_breakpoints - breakpoints on program memory rows.
//
// A right click on a ROM row's address, or F9 on the selected ROM row,
// sets or clears a breakpoint there; it is drawn as a red dot in the
// address cell. Continuous execution stops before the FETCH/DECODE of a
// word at a breakpoint: the run is switched off, the phase stays FETCH/DECODE
// and the panel says where it stopped ("Haltepunkt FF86 erreicht"). A run
// started on a breakpoint's row lets that first FETCH/DECODE pass, or it
// could never leave the breakpoint. Breakpoints belong to the session: RESET
// keeps them and slot files do not hold them.
//
// How a frame uses it:
//   step 8   Velkor_breakpoints_hold(c)          after the forced tick
//   step 12  Velkor_breakpoints_right_click(c)   after the ROM table is drawn,
//            Velkor_breakpoints_draw_marks(c)    before its marker rule
//   step 19  Velkor_breakpoints_after_run_toggle(c, drawn)
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "panel/Velkor_symbology_layer_internal.h"

// The ROM row that PC's text names, -1 when PC is not in program memory.
int32_t Velkor_breakpoints_pc_row(const Velkor_symbology_layer_context* c);

// Sets or clears the breakpoint on ROM row `row` (0 = FFFE .. 63 = FF80);
// another row does nothing.
void Velkor_breakpoints_toggle(Velkor_symbology_layer_context* c, int32_t row);

// Step 8: on a tick that would FETCH/DECODE at a breakpoint, no step
// happens and the run stops.
void Velkor_breakpoints_hold(Velkor_symbology_layer_context* c);

// Step 12: a right press on the address cell of a ROM row toggles its
// breakpoint and is no click for the panel (the marker stays shown). Also
// while continuous execution runs.
void Velkor_breakpoints_right_click(Velkor_symbology_layer_context* c);

// Step 12: the dots of the breakpoints on the rows the ROM table shows, in
// the centred panel frame (the table's lower-left corner at x, y, `width`
// wide and `height` high).
void Velkor_breakpoints_draw_marks(const Velkor_symbology_layer_context* c, float x, float y,
                                   float height);

// Step 19: a stop asked the run toggle to switch off; the load is answered
// once the toggle has been drawn.
void Velkor_breakpoints_after_run_toggle(Velkor_symbology_layer_context* c, uint8_t drawn);
