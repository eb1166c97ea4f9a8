#include "widgets/PushButton.h"

#include "widgets/interactivity_mapping.h"

void PushButton_init(PushButton_State* state) {
  state->fired = 0;
  state->armed = 0;
}

void PushButton_reset(PushButton_State* state) {
  PushButton_init(state);
}

// One cycle of a push button (the host acknowledges every cycle).
//
//  mode 1 (fires on press)          | other modes (fire on release)
//  cycle  input          fired armed | cycle  input               fired armed
//   1     press on it    1     1     |  1     press on it         0     1
//   2     release        0     0     |  2     release (anywhere)  1     0
//   3     -              0     0     |  3     -                   0     0
//   4     space down     1     1     |  4     press elsewhere     0     0
//   5     space up       0     0     |  5     release on it       0     0   never armed
//   6     wheel on it    0     0     |  6     wheel or right press 0     0   not armed either
//
// A held event is cleared once the host has acknowledged it, before this
// cycle's input is applied: a click right after a click (press, release,
// press in consecutive cycles) must fire again rather than cancel the event
// that is still showing.
void PushButton(const PushButton_Inputs* in, PushButton_State* state) {
  // The wheel and the right button have no meaning for a button: were they
  // to arm it, a release anywhere later would fire it.
  const bool press = (in->hover != 0 && in->pressed != 0 && BHVR_LeftButton(in->button)) ||
                     (in->keyPressed != 0 && in->key == KEY_SPACE);
  const bool release = in->released != 0 || in->keyReleased != 0;
  const uint8_t held = (BHVR_AsynchronousACK != 0) ? 0 : state->fired;

  if (in->mode == 1) {
    if (press) {
      state->armed = 1;
      state->fired = held ? 0 : 1;
      return;
    }
    if (release) {
      state->armed = 0;
      state->fired = held;
      return;
    }
  } else {
    if (press) {
      state->armed = 1;
      state->fired = held;
      return;
    }
    if (release) {
      if (state->armed != 0) {
        state->armed = 0;
        state->fired = held ? 0 : 1;
      } else {
        state->fired = held;
      }
      return;
    }
  }
  state->fired = held;
}
