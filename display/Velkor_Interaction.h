// Velkor_Interaction - the first step of every interactive display class.
//
// Each interactive class opens its draw the same way: is the pointer over
// it, does it ask for the focus, does it hold the focus, which pointer
// pulses and keys reach it. This unit is that step, once for all of them,
// in the manner of a button behaviour run before the drawing:
//   Velkor_InteractionRequest r = {w->width, w->height, w->enabled};
//   r.focusId = w->focusId; r.focusNext = w->focusNext;
//   const Velkor_Interaction i = Velkor_Interact(r, &w->focus, &w->keys, pass);
//   w->hover = i.hover; ... i.focused, i.pressed, i.released, w->keys.key
//
// One frame, for an enabled widget (disabled: hover, focused and the
// pulses are 0; the focus record is still stepped, so a disabled widget
// lets go of the focus like any other that stops asking):
//
//   pointer             | hover | asks for focus     | pulses, keys
//   --------------------+-------+--------------------+-----------------------
//   over the rectangle  |   1   | yes                | once it holds the focus
//   over alsoOver part  |   1   | yes                | once it holds the focus
//   elsewhere           |   0   | only if keepAsking | while it still holds it
//   elsewhere, disabled |   0   | no                 | none
//
// The focus stays with the widget that took it until another one takes it
// (widgets/Focus.h); the keys go only to the widget holding the focus.
//
// Threads: the drawing thread only.
#pragma once

#include <cstdint>

#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_KeyEvent.h"

struct Velkor_InteractionRequest {
  float width;  // the rectangle (0, 0)-(width, height) in the current frame
  float height;
  uint8_t enabled;     // 0: no hover, no focus, no pulses, no keys
  uint8_t alsoOver;    // the pointer is over a part outside the rectangle (an open list)
  uint8_t keepAsking;  // ask for the focus without the pointer (a drag, an edit under way)
  uint32_t focusId;    // handed to IndividualFocus (0: the instance's own id)
  uint32_t focusNext;  // successor in the focus order, 0 none
};

struct Velkor_Interaction {
  uint8_t hover;       // enabled and the pointer over the widget
  uint8_t focusState;  // as IndividualFocus reports it, also while disabled
  uint8_t focused;     // enabled and holding the focus
  uint8_t pressed;     // the pointer's pulses for the focused widget; 0 while disabled
  uint8_t released;
};

// Steps `focus` (in pass `pass`) and then `keys` (may be null: a class that
// takes no keys) for one frame. The key record's mode is the caller's.
Velkor_Interaction Velkor_Interact(const Velkor_InteractionRequest& request,
                                   Velkor_IndividualFocus* focus, Velkor_KeyEvent* keys,
                                   uint32_t pass);

// The step of the three button classes (push, toggle, check), which keep its
// outcome in the same five fields: the key record takes `key_mode`, and the
// record is handed back for the class's own reading of the keys.
template <typename Button>
Velkor_KeyEvent* Velkor_InteractButton(Button* button, uint32_t key_mode, uint32_t pass) {
  Velkor_KeyEvent* keys = &button->keys;
  keys->mode = key_mode;
  const Velkor_Interaction step = Velkor_Interact(
      {button->width, button->height, static_cast<uint8_t>(button->enabled != 0 ? 1 : 0), 0, 0,
       button->focusId, button->focusNext},
      &button->focus, keys, pass);
  button->hover = step.hover;
  button->focusState = step.focusState;
  button->pressedWithFocus = step.pressed;
  button->releasedWithFocus = step.released;
  return keys;
}
