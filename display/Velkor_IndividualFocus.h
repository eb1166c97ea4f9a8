// Velkor_IndividualFocus - the focus step of one interactive widget.
//
// Asks for the focus while `request` is set (the widget is hovered and
// enabled), and forms the widget's pointer pulses: pressedPulse and
// releasedPulse reach only a focused widget. Drawn once per frame by its
// owner before the owner's behaviour:
//   f->request = hover; f->focusId = w->focusId; f->focusNext = w->focusNext;
//   f->pass = pass; Velkor_IndividualFocus_draw(f, pass);
//   ... f->focusState, f->pressedPulse, f->releasedPulse, f->lastButton
// A container (a scroll panel) sets isContainer and, after its children,
// calls ResetInteractivityStatus(f->idInUse).
#pragma once

#include <cstdint>

#include "display/Velkor_Init.h"
#include "widgets/Focus.h"

struct Velkor_IndividualFocus {
  // parameters
  uint8_t request;
  uint8_t release;  // hand the focus on to focusNext
  uint8_t isContainer;
  uint32_t focusId;    // 0: the instance's own id
  uint32_t focusNext;  // successor id, 0 none
  // outputs
  uint8_t focusState;  // FOCUS_NONE, FOCUS_HELD, FOCUS_FORCED
  uint8_t pressedPulse;
  uint8_t releasedPulse;
  uint32_t lastButton;
  uint32_t idInUse;
  uint32_t pass;
  Velkor_Init init;
  IndividualFocus focus;
};

Velkor_IndividualFocus* Velkor_IndividualFocus_alloc();
void Velkor_IndividualFocus_free(Velkor_IndividualFocus* focus);
void Velkor_IndividualFocus_init(Velkor_IndividualFocus* focus);
// Clears the pulses, so a widget not drawn this frame has none.
void Velkor_IndividualFocus_predraw(Velkor_IndividualFocus* focus);
void Velkor_IndividualFocus_draw(Velkor_IndividualFocus* focus, uint32_t pass);
