// Velkor_PushButton - a button that reports one click per press-and-release.
//
// Drawn as an outer frame (its colour shows the focus), a bevel and a face;
// the face is shaded raised while the pointer is away and pressed in while
// the button is held down, plain while the pointer is over it. The label is
// clipped to the face; a disabled button is covered by a grey veil and
// neither hovers nor fires, by pointer or by key.
//
// Use:
//   Velkor_PushButton_init(&b);
//   every frame: b.label = text; Velkor_PushButton_predraw(&b);
//                Velkor_PushButton_draw(&b, pass);
//                if (b.activated) ...          // one frame per click
// activationMode 1 fires on the press (pointer or space), any other mode on
// the release that follows a press on the button; the release may happen off
// the button while it keeps the focus. A button that loses the focus while
// held (the pointer dragged onto a widget that takes it) is let go without
// firing, so a later release elsewhere cannot fire it.
#pragma once

#include <cstdint>

#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_display.h"
#include "widgets/PushButton.h"

struct Velkor_PushButton {
  uint32_t focusId;
  uint32_t focusNext;
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  const char* label;
  int32_t faceColor;
  int32_t font;
  int32_t labelColor;
  uint32_t labelAlignment;
  Velkor_DrawnRect drawnRect;
  uint32_t activationMode;  // 1 fire on press, else on release (2)
  // outputs
  uint8_t activated;          // the click, one frame long
  uint8_t hover;              // per frame
  uint8_t pressedWithFocus;   // per frame
  uint8_t releasedWithFocus;  // per frame
  uint8_t down;               // held down
  uint8_t focusState;
  uint32_t keyState;  // key code of this frame's key pulse
  uint8_t keyPressed;
  uint8_t keyReleased;
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
  // A release that arrived with the press that fired the button (mode 1),
  // handed to the behaviour in the next frame.
  uint8_t releasePending;
  PushButton_State state;
};

Velkor_PushButton* Velkor_PushButton_alloc();
void Velkor_PushButton_free(Velkor_PushButton* button);
void Velkor_PushButton_init(Velkor_PushButton* button);
void Velkor_PushButton_predraw(Velkor_PushButton* button);
void Velkor_PushButton_draw(Velkor_PushButton* button, uint32_t pass);
