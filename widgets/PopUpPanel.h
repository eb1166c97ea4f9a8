// PopUpPanel behaviour: whether a pop-up panel is open.
//
// Once per cycle, from the display class:
//   wrapper_PopUpPanel(open, apply, hover, rawPressed, mode, &isOpen, &state);
// With apply set the panel takes the requested state at once; otherwise it
// keeps its state, except that in mode 1 a press outside it closes it.
// rawPressed is the pointer record's own press flag, not a focus pulse: a
// press anywhere counts, whichever widget holds the focus.
// Drawing thread only.
#pragma once

#include <cstdint>

struct PopUpPanel_Inputs {
  uint8_t open;        // requested state
  uint8_t apply;       // apply the requested state in this cycle
  uint8_t hover;       // the pointer is over the panel
  uint8_t rawPressed;  // the pointer record's pressed flag
  uint32_t mode;       // 1 closes on a press outside the panel
};

struct PopUpPanel_State {
  uint8_t isOpen;  // output
  uint8_t previousIsOpen;
};

void PopUpPanel_init(PopUpPanel_State* state);
void PopUpPanel_reset(PopUpPanel_State* state);
void PopUpPanel(const PopUpPanel_Inputs* in, PopUpPanel_State* state);

void wrapper_PopUpPanel(uint8_t open, uint8_t apply, uint8_t hover, uint8_t rawPressed,
                        uint32_t mode, uint8_t* outIsOpen, PopUpPanel_State* state);
void wrapper_PopUpPanel_reset(PopUpPanel_State* state);
