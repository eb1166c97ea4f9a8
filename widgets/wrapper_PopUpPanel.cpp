#include "widgets/PopUpPanel.h"

void wrapper_PopUpPanel(uint8_t open, uint8_t apply, uint8_t hover, uint8_t rawPressed,
                        uint32_t mode, uint8_t* outIsOpen, PopUpPanel_State* state) {
  const PopUpPanel_Inputs in{open, apply, hover, rawPressed, mode};
  PopUpPanel(&in, state);
  if (outIsOpen != nullptr) *outIsOpen = state->isOpen;
}

void wrapper_PopUpPanel_reset(PopUpPanel_State* state) {
  PopUpPanel_reset(state);
}
