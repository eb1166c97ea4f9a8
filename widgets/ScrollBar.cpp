#include "widgets/ScrollBar.h"

#include "widgets/interactivity_mapping.h"

void ScrollBar_init(ScrollBar_State* state) {
  state->position = 0.0f;
  state->moved = 1;
  state->loadPending = 1;
  state->dragging = 0;
}

void ScrollBar_reset(ScrollBar_State* state) {
  state->loadPending = 1;
  state->dragging = 0;
}

// One cycle (direction 1, orientation 1; with another direction every sign
// below turns round). The first row that applies wins:
//   dragging (thumb pressed, not yet released) | maximum x pointer rate | moved 1
//   line down button or KEY_DOWN               | start - line step      | moved 1
//   page up area or KEY_PAGE_UP                | start + page step      | moved 1
//   page down area or KEY_PAGE_DOWN            | start - page step      | moved 1
//   load                                       | value                  | moved 0
//   line up button or KEY_UP                   | start + line step      | moved 1
//   nothing                                    | start                  | moved 0
// start is the loaded value in the first step after a reset, else the
// position. The result is always limited to 0..maximum. Horizontal bars use
// KEY_RIGHT as up and KEY_LEFT as down and have no page keys.
void ScrollBar(const ScrollBar_Inputs* in, ScrollBar_State* state) {
  float start = state->position;
  if (state->loadPending) {
    start = in->value;
    state->loadPending = 0;
  }
  state->dragging = (state->dragging && !in->dragEnd) || in->dragStart;

  const bool vertical = in->orientation == 1;
  const float sign = in->direction == 1 ? 1.0f : -1.0f;
  const uint32_t upKey = vertical ? KEY_UP : KEY_RIGHT;
  const uint32_t downKey = vertical ? KEY_DOWN : KEY_LEFT;
  const bool keyUp = in->keyPressed && in->key == upKey;
  const bool keyDown = in->keyPressed && in->key == downKey;
  const bool keyPageUp = in->keyPressed && vertical && in->key == KEY_PAGE_UP;
  const bool keyPageDown = in->keyPressed && vertical && in->key == KEY_PAGE_DOWN;

  float position;
  uint8_t moved = 1;
  if (state->dragging) {
    const float rate = in->direction == 1 ? in->pointerRate : 1.0f - in->pointerRate;
    position = in->maximum * rate;
  } else if (in->lineDown || keyDown) {
    position = start - sign * in->lineStep;
  } else if (in->pageUp || keyPageUp) {
    position = start + sign * in->pageStep;
  } else if (in->pageDown || keyPageDown) {
    position = start - sign * in->pageStep;
  } else if (in->load) {
    position = in->value;
    moved = 0;
  } else if (in->lineUp || keyUp) {
    position = start + sign * in->lineStep;
  } else {
    position = start;
    moved = 0;
  }

  // Written so that a position that is not a number also ends at 0.
  if (position > in->maximum) position = in->maximum;
  if (!(position > 0.0f)) position = 0.0f;
  state->position = position;
  state->moved = moved;
}
