#include "widgets/ComboBox.h"

#include "widgets/interactivity_mapping.h"

void ComboBox_init(ComboBox_State* state) {
  state->open = 0;
  state->previousItemChosen = 0;
}

void ComboBox_reset(ComboBox_State* state) {
  ComboBox_init(state);
}

// One cycle, for an enabled combo box in mode 0:
//   item chosen | key / click        | chosen last cycle | open becomes
//   ------------+--------------------+-------------------+---------------
//        1      | anything           |        -          | 0 (a choice closes)
//        0      | Escape             |        -          | 0
//        0      | space or click     |        0          | not open
//        0      | space or click     |        1          | unchanged: the click that
//               |                    |                   | made the choice lands here
//        0      | nothing            |        -          | unchanged
// A disabled combo box is closed; COMBOBOX_MODE_LOCKED never opens it.
void ComboBox(const ComboBox_Inputs* in, ComboBox_State* state) {
  if (in->enabled && !in->itemChosen) {
    const bool escape = in->keyPressed && in->key == KEY_ESCAPE;
    const bool toggle = (in->keyPressed && in->key == KEY_SPACE) || in->click;
    if (escape) {
      state->open = 0;
    } else if (toggle && !state->previousItemChosen && in->mode != COMBOBOX_MODE_LOCKED) {
      state->open = state->open ? 0 : 1;
    }
  } else {
    state->open = 0;
  }
  state->previousItemChosen = in->itemChosen;
}
