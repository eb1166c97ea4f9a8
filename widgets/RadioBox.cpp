#include "widgets/RadioBox.h"

#include <cstring>

#include "widgets/interactivity_mapping.h"

namespace {

bool in_items(int32_t index) {
  return index >= 0 && index < RADIOBOX_MAX_ITEMS;
}

}  // namespace

void RadioBox_init(RadioBox_State* state) {
  std::memset(state->selection, 0, sizeof state->selection);
  state->event = 1;
  state->selectedIndex = -1;
  state->cursor = 0;
  state->previousEvent = 0;
  state->loadPending = 1;
}

void RadioBox_reset(RadioBox_State* state) {
  std::memset(state->selection, 0, sizeof state->selection);
  state->selectedIndex = -1;
  state->previousEvent = 0;
  state->loadPending = 1;
}

// One cycle of a radio box of 3 buttons, button 2 disabled (host
// acknowledging every cycle).
//
//  cycle  input                     cursor  selected  event
//   1     (first step, selectedIn 0) 0      0         0
//   2     click on button 1         0       1         1
//   3     click on button 1         0       1         0    already selected
//   4     KEY_RIGHT                 1       1         0    the cursor alone moves
//   5     KEY_RIGHT                 2       1         0
//   6     KEY_RIGHT                 2       1         0    stays on the last button
//   7     Enter                     2       1         0    button 2 is disabled
//   8     KEY_LEFT                  1       1         0
//   9     Enter                     1       1         1    Enter chooses the cursor's button
void RadioBox(const RadioBox_Inputs* in, RadioBox_State* state) {
  const int32_t n = in->count;

  // Clicks on buttons that are not already selected; one entry past the
  // count is read as the generated box did, never past the 16 flags.
  uint8_t clicked[RADIOBOX_MAX_ITEMS];
  std::memset(clicked, 0, sizeof clicked);
  bool anyClick = false;
  int32_t firstClicked = -1;
  const int32_t scanned = (n < 0) ? 0 : (n < RADIOBOX_MAX_ITEMS ? n + 1 : RADIOBOX_MAX_ITEMS);
  for (int32_t i = 0; i < scanned; ++i) {
    clicked[i] = (in->clicks[i] != 0 && state->selection[i] == 0) ? 1 : 0;
    if (clicked[i] != 0 && !anyClick) {
      anyClick = true;
      firstClicked = i;
    }
  }

  // Keyboard cursor. The arithmetic is written so that no input value can
  // overflow it.
  if (state->loadPending != 0) {
    state->cursor = in->selectedIn;
  } else {
    int32_t request = -1;
    for (int32_t i = 0; i < RADIOBOX_MAX_ITEMS; ++i) {
      if (in->focusRequests[i] != 0) {
        request = i;
        break;
      }
    }
    if (request >= 0) {
      state->cursor = request;
    } else if (in->keyPressed != 0 && (in->key == KEY_LEFT || in->key == KEY_UP)) {
      state->cursor = (state->cursor >= 1) ? state->cursor - 1 : 0;
    } else if (in->keyPressed != 0 && (in->key == KEY_RIGHT || in->key == KEY_DOWN)) {
      const int32_t last = (n > 0 ? n : 0) - 1;  // a negative count has no last button
      state->cursor = (state->cursor >= last) ? last : state->cursor + 1;
    }
  }

  const bool enter = in->keyPressed != 0 && in->key == KEY_ENTER && in_items(state->cursor) &&
                     in->enabled[state->cursor] != 0;
  state->event = BHVR_HoldEvent(enter || anyClick, &state->previousEvent);

  int32_t candidate;
  if (enter) {
    candidate = state->cursor;
  } else if (in->selectedIn >= 0 && in->selectedIn < n) {
    candidate = in->selectedIn;
  } else {
    candidate = 0;
  }
  const bool apply = state->loadPending != 0 || in->load != 0 || enter;
  state->loadPending = 0;

  if (anyClick) {
    state->selectedIndex = firstClicked;
    std::memcpy(state->selection, clicked, sizeof clicked);
  } else if (apply) {
    state->selectedIndex = candidate;
    std::memset(state->selection, 0, sizeof state->selection);
    if (in_items(candidate)) state->selection[candidate] = 1;
  }
}
