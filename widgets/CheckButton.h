// CheckButton behaviour: a check box that flips on a click or the space key
// and can be loaded with a value.
//
// Once per cycle, from the display class:
//   wrapper_CheckButton(value, load, mode, pressedWithFocus, releasedWithFocus,
//                       lastButton, hover, spaceKey, &checked, &changed, &state);
// The same machine as the toggle button, except that a click in a cycle that
// also loads is ignored: the check box then shows exactly the loaded value.
// Drawing thread only.
#pragma once

#include <cstdint>

struct CheckButton_Inputs {
  uint8_t value;  // value to load
  uint8_t load;
  uint32_t mode;     // 2 toggles on release, other values on press
  uint8_t pressed;   // pressed-with-focus pulse
  uint8_t released;  // released-with-focus pulse
  uint32_t button;   // last button; 0 or 1 count as left
  uint8_t hover;
  uint8_t spaceKey;  // KeyEvent output with key 32
};

struct CheckButton_State {
  uint8_t state;  // output 1: checked
  uint8_t event;  // output 2: changed by the user, one cycle long
  uint8_t loadPending;
  uint8_t previousReleased;
  uint8_t armed;
  uint8_t previousEvent;
};

void CheckButton_init(CheckButton_State* state);
void CheckButton_reset(CheckButton_State* state);
void CheckButton(const CheckButton_Inputs* in, CheckButton_State* state);

void wrapper_CheckButton(uint8_t value, uint8_t load, uint32_t mode, uint8_t pressed,
                         uint8_t released, uint32_t button, uint8_t hover, uint8_t spaceKey,
                         uint8_t* outState, uint8_t* outEvent, CheckButton_State* state);
void wrapper_CheckButton_reset(CheckButton_State* state);
