// PushButton behaviour: turns the pointer and key pulses of a push button into
// a one-cycle click event.
//
// The display class steps its IndividualFocus and KeyEvent records, then once
// per cycle, in its draw pass:
//   wrapper_PushButton(mode, hover, pressedWithFocus, releasedWithFocus, lastButton,
//                      keyPressed, key, keyReleased, &activated, &down, &state);
// Mode 1 fires on the press (pointer on the button, or space); any other mode
// fires on the release that follows a press on the button — the release may
// happen anywhere, as long as the button kept the focus. Only the left
// button presses it: a wheel notch or a right press over it does nothing.
// Drawing thread only, like every behaviour.
#pragma once

#include <cstdint>

struct PushButton_Inputs {
  uint32_t mode;        // 1 fires on press, other values on release
  uint8_t hover;        // the pointer is over the button
  uint8_t pressed;      // pressed-with-focus pulse
  uint8_t released;     // released-with-focus pulse
  uint32_t button;      // last button of the pulses (BHVR_LeftButton)
  uint8_t keyPressed;   // KeyEvent pressed pulse
  uint32_t key;         // KeyEvent key code
  uint8_t keyReleased;  // KeyEvent released pulse
};

struct PushButton_State {
  uint8_t fired;  // output 1: the click event, one cycle long
  uint8_t armed;  // output 2: the button is held down
};

void PushButton_init(PushButton_State* state);
void PushButton_reset(PushButton_State* state);
void PushButton(const PushButton_Inputs* in, PushButton_State* state);

void wrapper_PushButton(uint32_t mode, uint8_t hover, uint8_t pressed, uint8_t released,
                        uint32_t button, uint8_t keyPressed, uint32_t key, uint8_t keyReleased,
                        uint8_t* outFired, uint8_t* outArmed, PushButton_State* state);
void wrapper_PushButton_reset(PushButton_State* state);
