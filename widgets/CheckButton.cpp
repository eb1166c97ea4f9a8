#include "widgets/CheckButton.h"

#include "widgets/ToggleButton.h"

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
//
// The toggle button's machine, run on this record's fields (the two records
// order their outputs differently).
void CheckButton(const CheckButton_Inputs* in, CheckButton_State* state) {
  const ToggleButton_Inputs same{in->mode,   in->hover, in->pressed, in->released,
                                 in->button, in->value, in->load,    in->spaceKey};
  ToggleButton_State machine{state->event,       state->state,
                             state->loadPending, state->previousReleased,
                             state->armed,       state->previousEvent};
  ToggleButton_step(&same, 0, &machine);
  *state = CheckButton_State{machine.state,       machine.event,
                             machine.loadPending, machine.previousReleased,
                             machine.armed,       machine.previousEvent};
}
