// Scroll bar behaviour: a position between 0 and a maximum, moved by the
// arrow buttons, the page areas of the track, keys, or by dragging the thumb.
//
// The ScrollBar display class steps it once per cycle with the clicks of its
// parts (ClickArea), the pointer rate along its track and its KeyEvent pulse;
// the wheel over the bar arrives as a line up or line down click. Calling
// convention in interactivity_mapping.h. Drawing thread only.
#pragma once

#include <cstdint>

struct ScrollBar_Inputs {
  float pageStep;
  float lineStep;
  float value;  // position to load
  float maximum;
  uint8_t lineUp;    // first arrow button clicked
  uint8_t lineDown;  // second arrow button clicked
  uint8_t pageUp;    // track before the thumb clicked
  uint8_t pageDown;  // track after the thumb clicked
  uint8_t load;
  float pointerRate;   // pointer along the track, 0..1
  uint8_t dragStart;   // the thumb was pressed
  uint8_t dragEnd;     // the pointer was released
  uint32_t direction;  // 1: the position grows with the pointer rate; other: it shrinks
  uint8_t keyPressed;
  uint32_t key;
  uint32_t orientation;  // 1 vertical (up, down, page keys); other: horizontal (left, right)
};

struct ScrollBar_State {
  float position;  // output 1
  uint8_t moved;   // output 2
  uint8_t loadPending;
  uint8_t dragging;
};

void ScrollBar_init(ScrollBar_State* state);
void ScrollBar_reset(ScrollBar_State* state);
void ScrollBar(const ScrollBar_Inputs* in, ScrollBar_State* state);

void wrapper_ScrollBar(float pageStep, float lineStep, float value, float maximum, uint8_t lineUp,
                       uint8_t lineDown, uint8_t pageUp, uint8_t pageDown, uint8_t load,
                       float pointerRate, uint8_t dragStart, uint8_t dragEnd, uint32_t direction,
                       uint8_t keyPressed, uint32_t key, uint32_t orientation, float* outPosition,
                       uint8_t* outMoved, ScrollBar_State* state);
void wrapper_ScrollBar_reset(ScrollBar_State* state);
