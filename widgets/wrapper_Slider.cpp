#include "widgets/Slider.h"

void wrapper_Slider(float minimum, float maximum, float value, uint8_t load, uint32_t orientation,
                    float step, uint8_t pressed, uint8_t released, uint32_t button, uint8_t hover,
                    float xRate, float yRate, uint8_t stepUp, uint8_t stepDown, uint8_t confirm,
                    uint8_t held, float* outValue, uint8_t* outChanged, uint8_t* outDragging,
                    Slider_State* state) {
  const Slider_Inputs in{minimum, maximum, value, load,  orientation, step,     pressed, released,
                         button,  hover,   xRate, yRate, stepUp,      stepDown, confirm, held};
  Slider(&in, state);
  if (outValue) *outValue = state->value;
  if (outChanged) *outChanged = state->changed;
  if (outDragging) *outDragging = state->dragging;
}

void wrapper_Slider_reset(Slider_State* state) {
  Slider_reset(state);
}
