#include "widgets/ToggleButton.h"

void wrapper_ToggleButton(uint32_t mode, uint8_t hover, uint8_t pressed, uint8_t released,
                          uint32_t button, uint8_t value, uint8_t load, uint8_t spaceKey,
                          uint8_t* outEvent, uint8_t* outState, ToggleButton_State* state) {
  const ToggleButton_Inputs in{mode, hover, pressed, released, button, value, load, spaceKey};
  ToggleButton(&in, state);
  if (outEvent != nullptr) *outEvent = state->event;
  if (outState != nullptr) *outState = state->state;
}

void wrapper_ToggleButton_reset(ToggleButton_State* state) {
  ToggleButton_reset(state);
}
