#include "widgets/ScrollBar.h"

void wrapper_ScrollBar(float pageStep, float lineStep, float value, float maximum, uint8_t lineUp,
                       uint8_t lineDown, uint8_t pageUp, uint8_t pageDown, uint8_t load,
                       float pointerRate, uint8_t dragStart, uint8_t dragEnd, uint32_t direction,
                       uint8_t keyPressed, uint32_t key, uint32_t orientation, float* outPosition,
                       uint8_t* outMoved, ScrollBar_State* state) {
  const ScrollBar_Inputs in{pageStep,  lineStep,   value, maximum,     lineUp,    lineDown,
                            pageUp,    pageDown,   load,  pointerRate, dragStart, dragEnd,
                            direction, keyPressed, key,   orientation};
  ScrollBar(&in, state);
  if (outPosition) *outPosition = state->position;
  if (outMoved) *outMoved = state->moved;
}

void wrapper_ScrollBar_reset(ScrollBar_State* state) {
  ScrollBar_reset(state);
}
