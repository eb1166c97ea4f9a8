// Combo box behaviour: whether the drop-down list of a combo box is open.
//
// The ComboBox display class steps it once per cycle with its KeyEvent
// pulse, the click of its button part and the "item chosen" event of its
// open list (a ScrollList), which it steps under a focus override while the
// list is open (Focus.h). Calling convention in interactivity_mapping.h.
// Drawing thread only.
#pragma once

#include <cstdint>

// Mode that keeps the list closed whatever is clicked.
constexpr uint32_t COMBOBOX_MODE_LOCKED = 3;

struct ComboBox_Inputs {
  uint8_t enabled;     // shown and active
  uint8_t keyPressed;  // KeyEvent pressed pulse
  uint32_t key;
  uint8_t click;       // the button part was clicked
  uint8_t itemChosen;  // an item of the open list was chosen in this cycle
  uint32_t mode;       // COMBOBOX_MODE_LOCKED keeps the list closed
};

struct ComboBox_State {
  uint8_t open;  // output
  uint8_t previousItemChosen;
};

void ComboBox_init(ComboBox_State* state);
void ComboBox_reset(ComboBox_State* state);
void ComboBox(const ComboBox_Inputs* in, ComboBox_State* state);

void wrapper_ComboBox(uint8_t enabled, uint8_t keyPressed, uint32_t key, uint8_t click,
                      uint8_t itemChosen, uint32_t mode, uint8_t* outOpen, ComboBox_State* state);
void wrapper_ComboBox_reset(ComboBox_State* state);
