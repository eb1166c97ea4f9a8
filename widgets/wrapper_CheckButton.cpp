#include "widgets/CheckButton.h"

void wrapper_CheckButton(uint8_t value, uint8_t load, uint32_t mode, uint8_t pressed,
                         uint8_t released, uint32_t button, uint8_t hover, uint8_t spaceKey,
                         uint8_t* outState, uint8_t* outEvent, CheckButton_State* state) {
  const CheckButton_Inputs in{value, load, mode, pressed, released, button, hover, spaceKey};
  CheckButton(&in, state);
  if (outState != nullptr) *outState = state->state;
  if (outEvent != nullptr) *outEvent = state->event;
}

void wrapper_CheckButton_reset(CheckButton_State* state) {
  CheckButton_reset(state);
}
