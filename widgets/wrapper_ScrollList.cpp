#include <cstring>

#include "widgets/ScrollList.h"

void wrapper_ScrollList(uint8_t pressed, uint8_t released, uint32_t button, const uint8_t* rowHover,
                        int32_t count, int32_t rows, const char (*items)[TEXT_SIZE_Strings],
                        int32_t selectedIn, uint8_t load, const uint8_t* itemEnabled, uint32_t mode,
                        float scrollPosition, uint8_t scrollMoved, uint8_t keyPressed, uint32_t key,
                        uint8_t active, uint8_t lock, uint8_t rowsEnabled,
                        int32_t* outSelectedIndex, uint8_t* outEvent,
                        char (*outVisibleTexts)[TEXT_SIZE_Strings], uint8_t* outVisibleEnabled,
                        uint8_t* outVisibleHighlighted, uint8_t* outVisibleSelected,
                        int32_t* outFirstVisible, uint8_t* outScrollChanged,
                        ScrollList_State* state) {
  // About 4 KB of item texts: static rather than on the drawing thread's
  // stack, like the scale's records. Not reentrant; the drawing thread steps
  // one behaviour at a time.
  static ScrollList_Inputs in;
  in.pressed = pressed;
  in.released = released;
  in.button = button;
  std::memcpy(in.rowHover, rowHover, sizeof in.rowHover);
  in.count = count;
  in.rows = rows;
  std::memcpy(in.items, items, sizeof in.items);
  in.selectedIn = selectedIn;
  in.load = load;
  std::memcpy(in.itemEnabled, itemEnabled, sizeof in.itemEnabled);
  in.mode = mode;
  in.scrollPosition = scrollPosition;
  in.scrollMoved = scrollMoved;
  in.keyPressed = keyPressed;
  in.key = key;
  in.active = active;
  in.lock = lock;
  in.rowsEnabled = rowsEnabled;

  ScrollList(&in, state);

  if (outSelectedIndex) *outSelectedIndex = state->selectedIndex;
  if (outEvent) *outEvent = state->event;
  if (outVisibleTexts)
    std::memcpy(outVisibleTexts, state->visibleTexts, sizeof state->visibleTexts);
  if (outVisibleEnabled)
    std::memcpy(outVisibleEnabled, state->visibleEnabled, sizeof state->visibleEnabled);
  if (outVisibleHighlighted) {
    std::memcpy(outVisibleHighlighted, state->visibleHighlighted, sizeof state->visibleHighlighted);
  }
  if (outVisibleSelected) {
    std::memcpy(outVisibleSelected, state->visibleSelected, sizeof state->visibleSelected);
  }
  if (outFirstVisible) *outFirstVisible = state->firstVisible;
  if (outScrollChanged) *outScrollChanged = state->scrollChanged;
}

void wrapper_ScrollList_reset(ScrollList_State* state) {
  ScrollList_reset(state);
}
