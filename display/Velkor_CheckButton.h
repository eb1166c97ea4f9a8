// Velkor_CheckButton - a check box with its label.
//
// The box (Velkor_CheckBox, side 27) sits at the left, vertically centred,
// the clipped label beside it; the whole rectangle takes the pointer. A
// click or the space key flips it; a load puts `value` in at the next draw
// (a click in that same draw is ignored, so the loaded value shows as is).
// While focused a frame in the focus colour surrounds the widget.
//
// Use:
//   Velkor_CheckButton_init(&c);
//   every frame: Velkor_CheckButton_predraw(&c); Velkor_CheckButton_draw(&c, pass);
//                if (c.changed) ... c.checked ...
// checkMode 2 flips on a release over it after a press on it, any other
// mode on a left press. Disabled: greyed, pointer and keys ignored, loads
// still taken.
#pragma once

#include <cstdint>

#include "display/Velkor_CheckBox.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_display.h"
#include "widgets/CheckButton.h"

struct Velkor_CheckButton {
  uint32_t focusId;
  uint32_t focusNext;
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  const char* label;
  int32_t faceColor;  // background behind box and label, < 0: none
  int32_t font;
  int32_t labelColor;
  uint32_t labelAlignment;  // within the room right of the box (0 left)
  Velkor_DrawnRect drawnRect;
  uint32_t checkMode;  // 2 on release, else on press
  uint8_t value;
  uint8_t load;
  // outputs
  uint8_t checked;
  uint8_t changed;  // flipped by the user, one frame long
  uint8_t hover;
  uint8_t pressedWithFocus;
  uint8_t releasedWithFocus;
  uint8_t focusState;
  uint8_t spaceKey;
  // computed colours
  int32_t baseColor;
  int32_t frameColor;
  int32_t labelColorComputed;
  uint32_t pass;
  Velkor_CheckBox box;
  Velkor_IndividualFocus focus;
  Velkor_KeyEvent keys;
  CheckButton_State behaviour;
};

Velkor_CheckButton* Velkor_CheckButton_alloc();
void Velkor_CheckButton_free(Velkor_CheckButton* button);
void Velkor_CheckButton_init(Velkor_CheckButton* button);
void Velkor_CheckButton_predraw(Velkor_CheckButton* button);
void Velkor_CheckButton_draw(Velkor_CheckButton* button, uint32_t pass);
