// Velkor_follow - the ROM marker (PC) and the RAM marker (SP) stay in view.
//
// When a step of the machine (FETCH/DECODE, EXECUTE, a tick of continuous
// execution, RESET, NMI) leaves a shown marker outside the rows its table
// shows, the table scrolls by the fewest rows that bring it back. The
// student's own scrolling is left alone: a table scrolled away from its
// marker stays where it is until the next step.
//
//   c->classroom.stepped = ran_fetch || ran_execute || ...;   // the frame's steps
//   Velkor_follow_markers(c);        // at the end of pass 0: asks the tables
//                                    // to scroll in their next draw
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "panel/Velkor_symbology_layer_internal.h"

// The first row a table of `rows` rows showing `visible` rows from `first`
// must show so that the marked row `marked` is in view; `first` when it is
// already in view or the marker is off or outside the table.
int32_t Velkor_follow_first_row(uint32_t marked, uint8_t on, int32_t first, int32_t visible,
                                int32_t rows);

// After a step (c->classroom.stepped): each table whose marker is off
// screen scrolls to it in its next draw.
void Velkor_follow_markers(Velkor_symbology_layer_context* c);
