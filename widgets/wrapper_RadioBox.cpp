#include <cstring>

#include "widgets/RadioBox.h"

namespace {

void copy_flags(uint8_t (&to)[RADIOBOX_MAX_ITEMS], const uint8_t* from) {
  if (from == nullptr) {
    std::memset(to, 0, sizeof to);
  } else {
    std::memcpy(to, from, sizeof to);
  }
}

}  // namespace

void wrapper_RadioBox(int32_t count, const uint8_t* clicks, int32_t selectedIn, uint8_t load,
                      uint8_t keyPressed, uint32_t key, const uint8_t* focusRequests,
                      const uint8_t* enabled, uint8_t* outSelection, uint8_t* outEvent,
                      int32_t* outSelectedIndex, int32_t* outCursor, RadioBox_State* state) {
  RadioBox_Inputs in;
  in.count = count;
  copy_flags(in.clicks, clicks);
  in.selectedIn = selectedIn;
  in.load = load;
  in.keyPressed = keyPressed;
  in.key = key;
  copy_flags(in.focusRequests, focusRequests);
  copy_flags(in.enabled, enabled);
  RadioBox(&in, state);
  if (outSelection != nullptr) std::memcpy(outSelection, state->selection, sizeof state->selection);
  if (outEvent != nullptr) *outEvent = state->event;
  if (outSelectedIndex != nullptr) *outSelectedIndex = state->selectedIndex;
  if (outCursor != nullptr) *outCursor = state->cursor;
}

void wrapper_RadioBox_reset(RadioBox_State* state) {
  RadioBox_reset(state);
}
