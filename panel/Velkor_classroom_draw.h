// Velkor_classroom_draw - what the classroom additions draw themselves: the
// "F1: Hilfe" hint beside the version line, the breakpoint message, and the
// F1 help pop-up that lists the keys and mouse controls in German.
//
//   Velkor_classroom_init(&c->classroom);          // in the layer's init
//   pass 0, step 1: if (Velkor_classroom_help_takes_press(c, press)) ...
//   pass 0, end:    Velkor_classroom_draw_main(c);
//   pass 2, last:   Velkor_classroom_draw_help(c);  // over every pop-up
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "panel/Velkor_symbology_layer_internal.h"

void Velkor_classroom_init(Velkor_classroom* classroom);

// The hint and, while there is one, the breakpoint message (centred frame).
void Velkor_classroom_draw_main(const Velkor_symbology_layer_context* c);

// While the help is open, a press anywhere closes it and does nothing else:
// true then (the caller hides the press from the panel).
bool Velkor_classroom_help_takes_press(Velkor_symbology_layer_context* c, uint8_t pressed);

// The help pop-up, while it is open (centred frame).
void Velkor_classroom_draw_help(const Velkor_symbology_layer_context* c);
