#include "widgets/PopUpPanel.h"

void PopUpPanel_init(PopUpPanel_State* state) {
  state->isOpen = 1;
  state->previousIsOpen = 0;
}

// The panel starts closed: only the memory matters to the next step.
void PopUpPanel_reset(PopUpPanel_State* state) {
  state->previousIsOpen = 0;
}

// One cycle of a pop-up panel.
//
//  cycle  input                          isOpen (mode 1)  isOpen (mode 0)
//   1     -                              0                0
//   2     apply open                     1                1
//   3     press inside                   1                1
//   4     press outside                  0                1
//   5     apply close                    0                0
//   6     apply open + press outside     1                1   the request wins
void PopUpPanel(const PopUpPanel_Inputs* in, PopUpPanel_State* state) {
  const bool pressOutside = in->rawPressed != 0 && in->hover == 0 && in->mode == 1;
  const bool close = pressOutside || (in->apply != 0 && in->open == 0);
  const bool open = in->apply != 0 && in->open != 0;
  state->isOpen = ((state->previousIsOpen != 0 && !close) || open) ? 1 : 0;
  state->previousIsOpen = state->isOpen;
}
