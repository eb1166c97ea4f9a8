#include "widgets/ScrollList.h"

#include <algorithm>
#include <cstring>

#include "widgets/interactivity_mapping.h"

namespace {

// The first visible item the scroll bar asks for: its position without the
// fraction, within 0..maxFirst. Compared as a float first, so that no
// position (huge, negative, not a number) can overflow the conversion.
int32_t first_from_scroll(float position, int32_t maxFirst) {
  if (!(position >= 0.0f)) return 0;
  if (position >= static_cast<float>(maxFirst)) return maxFirst;
  return static_cast<int32_t>(position);
}

}  // namespace

const char EMPTY_STRING_ScrollList[TEXT_SIZE_Strings] = {
#define VELKOR_SPACES_16 \
  ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    VELKOR_SPACES_16,
    ' ',
    ' ',
    ' ',
    ' ',
    ' ',
    ' ',
    ' ',
    ' ',
    ' ',
    ' ',
    ' ',
    ' ',
    ' ',
    ' ',
    ' '
#undef VELKOR_SPACES_16
};

void ScrollList_reset(ScrollList_State* state) {
  state->armed = 0;
  state->previousReleased = 0;
  state->previousEvent = 0;
  state->previousFirst = 0;
  state->firstTime = 1;
  state->loadPending = 1;
}

void ScrollList_init(ScrollList_State* state) {
  ScrollList_reset(state);
  state->event = 1;
  state->scrollChanged = 1;
  state->previousLock = 1;
  for (int32_t r = 0; r < SCROLLLIST_ROWS; ++r) {
    std::memcpy(state->visibleTexts[r], EMPTY_STRING_ScrollList, TEXT_SIZE_Strings);
    state->visibleEnabled[r] = 1;
    state->visibleHighlighted[r] = 1;
    state->visibleSelected[r] = 1;
  }
  state->selectedIndex = 0;
  state->cursorRow = 0;
  state->firstVisible = 0;
}

// Scrolling with the keys, 16 items seen through 9 rows, the list focused:
//   cycle | input                  | first | cursor row | cursor on item | scroll changed
//   ------+------------------------+-------+------------+----------------+---------------
//     0   | first step, load item 8 |   0   |     8      |       8        |      1
//     1   | KEY_DOWN               |   1   |     8      |       9        |      1
//   2..6  | KEY_DOWN               | 2..6  |     8      |    10..14      |      1
//     7   | KEY_DOWN               |   7   |     8      |      15        |      1
//     8   | KEY_DOWN (last item)   |   7   |     8      |      15        |      1
//     9   | KEY_UP                 |   7   |     7      |      14        |      0
//    10   | scroll bar moved to 6  |   6   |     8      |      14        |      0
// A scroll by other means keeps the cursor on its item while that item is in
// view. Enter, or a click on a row (on press; in mode 2 on release after a
// press on the list), selects the cursor's item and raises the event for one
// cycle.
void ScrollList(const ScrollList_Inputs* in, ScrollList_State* state) {
  const int32_t count = std::clamp(in->count, 0, SCROLLLIST_ITEMS);
  const int32_t rows = std::clamp(in->rows, 1, SCROLLLIST_ROWS);
  const int32_t maxFirst = count - rows;
  const bool validLoad = in->selectedIn >= 0 && in->selectedIn < count;
  const int32_t loadIndex = validLoad ? in->selectedIn : 0;
  const bool keyDown = in->keyPressed && in->active && in->key == KEY_DOWN;
  const bool keyUp = in->keyPressed && in->active && in->key == KEY_UP;
  const bool enter = in->keyPressed && in->key == KEY_ENTER;

  // Where the cursor stood; after a reset, on the loaded item.
  const int32_t cursor0 = state->loadPending ? loadIndex : state->cursorRow;
  const uint8_t referenceLock = state->loadPending ? in->lock : state->previousLock;

  // First visible item.
  int32_t first;
  uint8_t scrollChanged;
  if (maxFirst < 1) {
    first = 0;
    scrollChanged = 0;
  } else {
    if (in->load || state->firstTime) {
      first = loadIndex < rows ? 0 : (loadIndex > maxFirst ? maxFirst : loadIndex);
      scrollChanged = 1;
    } else if (in->scrollMoved) {
      first = first_from_scroll(in->scrollPosition, maxFirst);
      scrollChanged = 0;
    } else if (keyDown && cursor0 >= rows - 1) {
      first = state->previousFirst + 1;
      scrollChanged = 1;
    } else if (keyUp && cursor0 < 1) {
      first = state->previousFirst - 1;
      scrollChanged = 1;
    } else {
      first = state->previousFirst;
      scrollChanged = 0;
    }
    // The item count may have shrunk since the previous cycle.
    first = std::clamp(first, 0, maxFirst);
    state->firstTime = 0;
  }

  // Visible rows.
  for (int32_t r = 0; r < SCROLLLIST_ROWS; ++r) {
    const int32_t i = first + r;
    uint8_t enabled = 1;
    if (i < SCROLLLIST_ITEMS) {
      std::memcpy(state->visibleTexts[r], in->items[i], TEXT_SIZE_Strings);
      enabled = in->itemEnabled[i];
    } else {
      std::memcpy(state->visibleTexts[r], EMPTY_STRING_ScrollList, TEXT_SIZE_Strings);
    }
    state->visibleEnabled[r] = (in->rowsEnabled && enabled) ? 1 : 0;
  }

  // The row under the pointer; only a shown row that holds an item counts.
  int32_t hitRow = -1;
  for (int32_t r = 0; r < rows && hitRow < 0; ++r) {
    if (in->rowHover[r] && state->visibleEnabled[r] && first + r < count) hitRow = r;
  }
  const bool hitting = in->active && hitRow >= 0;

  // A choice by the pointer.
  const bool leftButton = BHVR_LeftButton(in->button);
  bool choose;
  if (in->mode == SCROLLLIST_MODE_RELEASE) {
    state->armed =
        (state->armed && !state->previousReleased) || (in->pressed && leftButton && hitting);
    choose = in->released && state->armed && hitting;
    state->previousReleased = in->released;
  } else {
    choose = hitting && leftButton && in->pressed;
  }

  // The cursor row, needed by validation. It is relative to the
  // first visible item in every case, also after the load of a reset: an
  // absolute index there would let Enter select first + index, beyond the
  // items.
  int32_t cursorRow;
  if (state->loadPending) {
    cursorRow = loadIndex - first;
  } else if (hitting) {
    cursorRow = hitRow;
  } else if (in->load) {
    // An index outside the items loads item 0, as after a reset.
    cursorRow = loadIndex - first;
  } else if (!in->keyPressed && first != state->previousFirst) {
    cursorRow = cursor0 + (state->previousFirst - first);
    if (cursorRow > rows) cursorRow = rows;
    if (cursorRow < 1) cursorRow = 0;
  } else if (keyUp) {
    cursorRow = cursor0 - 1 < 0 ? 0 : cursor0 - 1;
  } else if (keyDown) {
    cursorRow = cursor0 + 1 > rows - 1 ? rows - 1 : cursor0 + 1;
  } else {
    cursorRow = cursor0;
  }
  const int32_t target = cursorRow + first;

  // Validation: Enter or a choice while focused, not in the cycle in
  // which the lock rises, and only onto an item that exists.
  const bool lockRising = in->lock && referenceLock == 0;
  const bool validate =
      !lockRising && (enter || choose) && in->active && target >= 0 && target < count;
  state->previousLock = in->lock;

  // The event holds until acknowledged.
  state->event = BHVR_HoldEvent(validate, &state->previousEvent);

  // Selection.
  if (state->loadPending) {
    state->selectedIndex = loadIndex;
    state->loadPending = 0;
  } else if (in->load || validate) {
    // A load selects the loaded item even while the pointer rests on a row:
    // hovering only moves the cursor there. Were the selection taken at the
    // cursor, a pointer merely passing over the list would overwrite what
    // the panel loads.
    state->selectedIndex = in->load && !validate ? loadIndex : target;
  }
  // The item count may have dropped below the selection since it was made:
  // the selection then stands on the last item that still exists.
  if (state->selectedIndex >= count) state->selectedIndex = count > 0 ? count - 1 : 0;
  state->cursorRow = cursorRow;

  // Row flags.
  for (int32_t r = 0; r < SCROLLLIST_ROWS; ++r) {
    state->visibleHighlighted[r] = (in->active && r == cursorRow) ? 1 : 0;
    state->visibleSelected[r] = (r == state->selectedIndex - first) ? 1 : 0;
  }

  state->previousFirst = first;
  state->firstVisible = first;
  state->scrollChanged = scrollChanged;
}
