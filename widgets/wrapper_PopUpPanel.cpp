#include "widgets/PopUpPanel.h"

void wrapper_PopUpPanel(uint8_t open, uint8_t apply, uint8_t hover, uint8_t rawPressed,
                        uint32_t mode, uint8_t* outIsOpen, PopUpPanel_State* state) {
  PopUpPanel_Inputs in;
  in.open = open;
  in.apply = apply;
  in.hover = hover;
  in.rawPressed = rawPressed;
  in.mode = mode;
  PopUpPanel(&in, state);
  if (outIsOpen != nullptr) *outIsOpen = state->isOpen;
}

void wrapper_PopUpPanel_reset(PopUpPanel_State* state) { PopUpPanel_reset(state); }
