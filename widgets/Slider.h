// Slider behaviour: a value between a minimum and a maximum, set by dragging
// the thumb, by the wheel over the slider, by step keys or by loading.
//
// The Slider display class keeps a Slider_State in its instance, calls
// wrapper_Slider_reset from its init and wrapper_Slider once per cycle with
// the pointer rates along its track (calling convention in
// interactivity_mapping.h). Drawing thread only.
#pragma once

#include <cstdint>

struct Slider_Inputs {
  float minimum;
  float maximum;  // the display class passes minimum + 10 when not above minimum
  float value;    // value to load
  uint8_t load;
  uint32_t orientation;  // 2: 1 - x rate, 3: y rate, 4: 1 - y rate, other: x rate
  float step;            // granularity; 0 continuous
  uint8_t pressed;
  uint8_t released;
  uint32_t button;  // 0 none, 1 left, 4 and 5 wheel
  uint8_t hover;
  float xRate;  // pointer along the track, 0..1
  float yRate;
  uint8_t stepUp;    // key step towards the maximum
  uint8_t stepDown;  // key step towards the minimum
  uint8_t confirm;   // Enter on the slider
  uint8_t held;      // the press that started a drag still holds
};

struct Slider_State {
  float value;       // output 1
  uint8_t changed;   // output 2
  uint8_t dragging;  // output 3
  float rawValue;    // before limiting; wheel and keys step from the limited value
  uint8_t previousDragging;
  uint8_t loadPending;
};

void Slider_init(Slider_State* state);
void Slider_reset(Slider_State* state);
void Slider(const Slider_Inputs* in, Slider_State* state);

void wrapper_Slider(float minimum, float maximum, float value, uint8_t load, uint32_t orientation,
                    float step, uint8_t pressed, uint8_t released, uint32_t button, uint8_t hover,
                    float xRate, float yRate, uint8_t stepUp, uint8_t stepDown, uint8_t confirm,
                    uint8_t held, float* outValue, uint8_t* outChanged, uint8_t* outDragging,
                    Slider_State* state);
void wrapper_Slider_reset(Slider_State* state);
