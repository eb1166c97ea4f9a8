#include "widgets/CheckButton.h"

#include "widgets/interactivity_mapping.h"

void CheckButton_init(CheckButton_State* state) {
  state->state = 1;
  state->event = 1;
  state->loadPending = 1;
  state->previousReleased = 0;
  state->armed = 0;
  state->previousEvent = 0;
}

void CheckButton_reset(CheckButton_State* state) {
  state->loadPending = 1;
  state->previousReleased = 0;
  state->armed = 0;
  state->previousEvent = 0;
}

// One cycle of a check button (host acknowledging every cycle).
//
//  mode 1
//  cycle  input                state event
//   0     (reset, value 0)     0     0
//   1     left press on it     1     1
//   2     -                    1     0
//   3     load 0 + press on it 0     0   the load wins, the click is ignored
//   4     space                1     1
//  mode 2: as the toggle button, toggling on the release that follows a
//  press on the box while the pointer is still over it.
void CheckButton(const CheckButton_Inputs* in, CheckButton_State* state) {
  if (in->load != 0) state->loadPending = 1;

  const bool leftButton = in->button == 0 || in->button == 1;
  bool hit;
  if (in->mode != 2) {
    hit = in->hover != 0 && in->pressed != 0 && leftButton;
  } else {
    state->armed = ((state->armed != 0 && state->previousReleased == 0) ||
                    (in->pressed != 0 && leftButton && in->hover != 0))
                       ? 1
                       : 0;
    state->previousReleased = in->released;
    hit = state->armed != 0 && in->hover != 0 && in->released != 0;
  }
  const uint8_t toggle = ((hit && in->load == 0) || in->spaceKey != 0) ? 1 : 0;

  if (state->loadPending != 0) {
    state->state = toggle ^ (in->value != 0 ? 1 : 0);
    state->loadPending = 0;
  } else {
    state->state = toggle ^ state->state;
  }

  state->event = (toggle != 0 || (state->previousEvent != 0 && BHVR_AsynchronousACK == 0)) ? 1 : 0;
  state->previousEvent = state->event;
}
