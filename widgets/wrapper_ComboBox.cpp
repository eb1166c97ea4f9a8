#include "widgets/ComboBox.h"

void wrapper_ComboBox(uint8_t enabled, uint8_t keyPressed, uint32_t key, uint8_t click,
                      uint8_t itemChosen, uint32_t mode, uint8_t* outOpen, ComboBox_State* state) {
  const ComboBox_Inputs in{enabled, keyPressed, key, click, itemChosen, mode};
  ComboBox(&in, state);
  if (outOpen) *outOpen = state->open;
}

void wrapper_ComboBox_reset(ComboBox_State* state) {
  ComboBox_reset(state);
}
