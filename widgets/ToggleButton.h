// ToggleButton behaviour: an on/off button that flips on a click or the space
// key and can be loaded with a value.
//
// Once per cycle, from the display class:
//   wrapper_ToggleButton(mode, hover, pressedWithFocus, releasedWithFocus,
//                        lastButton, value, load, spaceKey, &changed, &on, &state);
// Mode 2 toggles on a release over the button that follows a press on it;
// any other mode toggles on a left press over it. A load makes the next step
// take the value (a click in that same step flips the loaded value).
// Drawing thread only.
#pragma once

#include <cstdint>

struct ToggleButton_Inputs {
  uint32_t mode;  // 2 toggles on release, other values on press
  uint8_t hover;
  uint8_t pressed;   // pressed-with-focus pulse
  uint8_t released;  // released-with-focus pulse
  uint32_t button;   // last button of a focus pulse; 0 or 1 count as left
  uint8_t value;     // value to load
  uint8_t load;      // take value in this step
  uint8_t spaceKey;  // KeyEvent output with key 32
};

struct ToggleButton_State {
  uint8_t event;  // output 1: the state changed by the user, one cycle long
  uint8_t state;  // output 2: on / off
  uint8_t loadPending;
  uint8_t previousReleased;
  uint8_t armed;
  uint8_t previousEvent;
};

void ToggleButton_init(ToggleButton_State* state);
void ToggleButton_reset(ToggleButton_State* state);
void ToggleButton(const ToggleButton_Inputs* in, ToggleButton_State* state);
// The machine both two-state buttons run (CheckButton.h is the same machine):
// hitWithLoad 1 lets a click flip a value loaded in the same cycle, 0
// ignores that click so the loaded value shows unchanged.
void ToggleButton_step(const ToggleButton_Inputs* in, uint8_t hitWithLoad,
                       ToggleButton_State* state);

void wrapper_ToggleButton(uint32_t mode, uint8_t hover, uint8_t pressed, uint8_t released,
                          uint32_t button, uint8_t value, uint8_t load, uint8_t spaceKey,
                          uint8_t* outEvent, uint8_t* outState, ToggleButton_State* state);
void wrapper_ToggleButton_reset(ToggleButton_State* state);
