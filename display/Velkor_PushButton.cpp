#include "display/Velkor_PushButton.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_Interaction.h"
#include "display/button_drawing_internal.h"
#include "graphics/sgl.h"

Velkor_PushButton* Velkor_PushButton_alloc() {
  return static_cast<Velkor_PushButton*>(std::calloc(1, sizeof(Velkor_PushButton)));
}

void Velkor_PushButton_free(Velkor_PushButton* button) {
  std::free(button);
}

void Velkor_PushButton_init(Velkor_PushButton* button) {
  *button = Velkor_PushButton{};
  button->width = 150.0f;
  button->height = 50.0f;
  button->enabled = 1;
  button->frameStyle = kVelkorDefaultFrameStyle;
  button->faceColor = kVelkorFromScheme;
  button->font = static_cast<int32_t>(kVelkorDefaultFont);
  button->labelColor = kVelkorFromScheme;
  button->labelAlignment = kVelkorAlignCentre;
  button->activationMode = 2;
  // The colours of scheme 0 without focus, until the first draw computes them.
  button->baseColor = kVelkorColorSchemeFirst;
  button->frameColor = kVelkorColorSchemeFirst + kVelkorColorFrame;
  button->bevelColor = kVelkorColorSchemeFirst + kVelkorColorBevel;
  button->faceColorComputed = kVelkorColorSchemeFirst + kVelkorColorBevel;
  button->pressedFaceColor = kVelkorColorSchemeFirst + kVelkorColorFrame;
  button->labelColorComputed = kVelkorColorSchemeFirst + kVelkorColorLabel;
  Velkor_IndividualFocus_init(&button->focus);
  Velkor_KeyEvent_init(&button->keys);
  wrapper_PushButton_reset(&button->state);
}

void Velkor_PushButton_predraw(Velkor_PushButton* button) {
  Velkor_ClearDrawnRect(&button->drawnRect);
  button->activated = 0;
  button->hover = 0;
  button->pressedWithFocus = 0;
  button->releasedWithFocus = 0;
  button->keyState = 0;
  button->keyPressed = 0;
  button->keyReleased = 0;
  Velkor_IndividualFocus_predraw(&button->focus);
  Velkor_KeyEvent_predraw(&button->keys);
}

void Velkor_PushButton_draw(Velkor_PushButton* button, uint32_t pass) {
  if (pass != button->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(button->width, button->height, &button->drawnRect);
  const uint8_t enabled = button->enabled != 0 ? 1 : 0;
  Velkor_KeyEvent* keys = Velkor_InteractButton(button, button->activationMode, pass);
  button->keyState = keys->key;
  button->keyPressed = keys->pressedPulse;
  button->keyReleased = keys->releasedPulse;

  Velkor_ButtonColors colors;
  Velkor_ComputeButtonColors(button->colorScheme, button->focusState != FOCUS_NONE,
                             button->faceColor, button->labelColor, pass, &colors);
  button->baseColor = colors.base;
  button->frameColor = colors.frame;
  button->bevelColor = colors.bevel;
  button->faceColorComputed = colors.face;
  button->pressedFaceColor = colors.pressedFace;
  button->labelColorComputed = colors.label;

  Velkor_ButtonLook look;
  look.width = button->width;
  look.height = button->height;
  look.frameStyle = button->frameStyle;
  look.colors = colors;
  look.faceOverride = button->faceColor;
  look.pressedLayer = (!button->hover || button->down || !enabled) ? 1 : 0;
  look.down = button->down;
  look.enabled = enabled;
  look.label = button->label;
  look.font = button->font;
  look.alignment = button->labelAlignment;
  Velkor_DrawButtonLook(&look, masks, pass);
  sglSetActiveMasks(masks);

  // A disabled button, or one whose focus went elsewhere while it was held,
  // is let go: its release pulse can no longer arrive, and the next release
  // after it regains the focus must not fire it.
  if (!enabled || (button->state.armed && button->focusState == FOCUS_NONE)) {
    wrapper_PushButton_reset(&button->state);
    button->activated = 0;
    button->down = 0;
    button->releasePending = 0;
    return;
  }
  uint8_t pressed = button->pressedWithFocus;
  uint8_t released = button->releasedWithFocus;
  // The release kept from the last frame lets the button go now; before a
  // new press of this frame, if there is one.
  if (button->releasePending != 0) {
    button->releasePending = 0;
    if (pressed != 0) {
      wrapper_PushButton(button->activationMode, button->hover, 0, 1,
                         button->focus.focus.lastButton, 0, button->keyState, 0, &button->activated,
                         &button->down, &button->state);
    } else {
      released = 1;
    }
  }
  // A button that gets the focus only in the release frame (another widget,
  // an edit box still being edited, held on to it during the press) sees the
  // press and the release together. The press is handed over on its own
  // first, or the behaviour would arm on it, drop the release and lose the
  // click. A button that fires on the press keeps the release for the next
  // frame: handed over now, it would take back the click of this one.
  if (pressed != 0 && released != 0) {
    wrapper_PushButton(button->activationMode, button->hover, 1, 0, button->focus.focus.lastButton,
                       0, button->keyState, 0, &button->activated, &button->down, &button->state);
    if (button->activationMode == 1) {
      button->releasePending = 1;
      return;
    }
    pressed = 0;
  }
  wrapper_PushButton(button->activationMode, button->hover, pressed, released,
                     button->focus.focus.lastButton, button->keyPressed, button->keyState,
                     button->keyReleased, &button->activated, &button->down, &button->state);
}
