// Velkor_ToggleButton - a push button that stays in or out.
//
// Looks like a push button whose face is pressed in while the button is on;
// each state has its own label and label colour (label / labelColor while
// on, label2 / labelColor2 while off). A click or the space key flips it;
// a load puts `value` in at the next draw.
//
// Use:
//   Velkor_ToggleButton_init(&t);
//   every frame: Velkor_ToggleButton_predraw(&t); Velkor_ToggleButton_draw(&t, pass);
//                if (t.changed) ... t.state ...
// toggleMode 2 flips on a release over the button that follows a press on
// it; any other mode on a left press over it. A disabled button shows the
// grey veil and ignores pointer and keys but still takes loads.
#pragma once

#include <cstdint>

#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_display.h"
#include "widgets/ToggleButton.h"

struct Velkor_ToggleButton {
  uint32_t focusId;
  uint32_t focusNext;
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  const char* label;   // shown while on
  const char* label2;  // shown while off
  int32_t faceColor;
  int32_t font;
  int32_t labelColor;  // while on
  uint32_t labelAlignment;
  Velkor_DrawnRect drawnRect;
  int32_t labelColor2;  // while off
  uint32_t toggleMode;  // 2 on release, else on press
  uint8_t value;        // value to load
  uint8_t load;         // load it in this draw
  // outputs
  uint8_t changed;  // flipped by the user, one frame long
  uint8_t state;    // on / off
  uint8_t hover;
  uint8_t pressedWithFocus;
  uint8_t releasedWithFocus;
  uint8_t focusState;
  uint8_t spaceKey;
  // computed colours
  int32_t baseColor;
  int32_t frameColor;
  int32_t bevelColor;
  int32_t faceColorComputed;
  int32_t pressedFaceColor;
  int32_t labelColorComputed;
  uint32_t pass;
  Velkor_IndividualFocus focus;
  Velkor_KeyEvent keys;
  ToggleButton_State behaviour;
};

Velkor_ToggleButton* Velkor_ToggleButton_alloc();
void Velkor_ToggleButton_free(Velkor_ToggleButton* button);
void Velkor_ToggleButton_init(Velkor_ToggleButton* button);
void Velkor_ToggleButton_predraw(Velkor_ToggleButton* button);
void Velkor_ToggleButton_draw(Velkor_ToggleButton* button, uint32_t pass);
