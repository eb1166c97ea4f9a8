#include "widgets/ToggleButton.h"

#include "widgets/interactivity_mapping.h"

void ToggleButton_init(ToggleButton_State* state) {
  state->event = 1;
  state->state = 1;
  state->loadPending = 1;
  state->previousReleased = 0;
  state->armed = 0;
  state->previousEvent = 0;
}

void ToggleButton_reset(ToggleButton_State* state) {
  state->loadPending = 1;
  state->previousReleased = 0;
  state->armed = 0;
  state->previousEvent = 0;
}

// One cycle of a toggle button (host acknowledging every cycle).
//
//  mode 1                                  | mode 2
//  cycle  input            state event     | cycle  input               state event
//   0     (reset, value 0) 0     0         |  1     press on it         0     0
//   1     left press on it 1     1         |  2     release on it       1     1
//   2     release          1     0         |  3     press on it         1     0
//   3     right press      1     0         |  4     drag off, release   1     0
//   4     space            0     1         |
//   5     load 1 + press   0     1  (loaded value flipped by the click)
void ToggleButton(const ToggleButton_Inputs* in, ToggleButton_State* state) {
  ToggleButton_step(in, 1, state);
}

void ToggleButton_step(const ToggleButton_Inputs* in, uint8_t hitWithLoad,
                       ToggleButton_State* state) {
  if (in->load != 0) state->loadPending = 1;

  const bool leftButton = BHVR_LeftButton(in->button);
  bool hit;
  if (in->mode != 2) {
    hit = in->hover != 0 && in->pressed != 0 && leftButton;
  } else {
    // Armed from a left press on the button until the release after it.
    state->armed = ((state->armed != 0 && state->previousReleased == 0) ||
                    (in->pressed != 0 && leftButton && in->hover != 0))
                       ? 1
                       : 0;
    state->previousReleased = in->released;
    hit = state->armed != 0 && in->hover != 0 && in->released != 0;
  }
  const bool counted = hit && (hitWithLoad != 0 || in->load == 0);
  const uint8_t toggle = (counted || in->spaceKey != 0) ? 1 : 0;

  if (state->loadPending != 0) {
    state->state = toggle ^ (in->value != 0 ? 1 : 0);
    state->loadPending = 0;
  } else {
    state->state = toggle ^ state->state;
  }

  state->event = BHVR_HoldEvent(toggle != 0, &state->previousEvent);
}
