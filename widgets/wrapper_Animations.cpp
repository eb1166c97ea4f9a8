#include "widgets/Animations.h"

void wrapper_Animations(uint8_t forward, uint8_t backward, int32_t duration, int32_t cycle,
                        int32_t profile, uint8_t reverse, uint8_t* outDone, float* outValue,
                        int32_t* outLevel, Animations_State* state) {
  const Animations_Inputs in{forward, backward, duration, cycle, profile, reverse};
  Animations(&in, state);
  if (outDone != nullptr) *outDone = state->done;
  if (outValue != nullptr) *outValue = state->value;
  if (outLevel != nullptr) *outLevel = state->level;
}

void wrapper_Animations_reset(Animations_State* state) {
  Animations_reset(state);
}
