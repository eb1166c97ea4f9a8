#include "widgets/PushButton.h"

void wrapper_PushButton(uint32_t mode, uint8_t hover, uint8_t pressed, uint8_t released,
                        uint32_t button, uint8_t keyPressed, uint32_t key, uint8_t keyReleased,
                        uint8_t* outFired, uint8_t* outArmed, PushButton_State* state) {
  const PushButton_Inputs in{mode, hover, pressed, released, button, keyPressed, key, keyReleased};
  PushButton(&in, state);
  if (outFired != nullptr) *outFired = state->fired;
  if (outArmed != nullptr) *outArmed = state->armed;
}

void wrapper_PushButton_reset(PushButton_State* state) {
  PushButton_reset(state);
}
