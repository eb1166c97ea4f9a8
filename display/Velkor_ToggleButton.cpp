#include "display/Velkor_ToggleButton.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_Interaction.h"
#include "display/button_drawing_internal.h"
#include "graphics/sgl.h"

Velkor_ToggleButton* Velkor_ToggleButton_alloc() {
  return static_cast<Velkor_ToggleButton*>(std::calloc(1, sizeof(Velkor_ToggleButton)));
}

void Velkor_ToggleButton_free(Velkor_ToggleButton* button) {
  std::free(button);
}

void Velkor_ToggleButton_init(Velkor_ToggleButton* button) {
  *button = Velkor_ToggleButton{};
  button->width = 150.0f;
  button->height = 50.0f;
  button->enabled = 1;
  button->frameStyle = kVelkorDefaultFrameStyle;
  button->faceColor = kVelkorFromScheme;
  button->font = static_cast<int32_t>(kVelkorDefaultFont);
  button->labelColor = kVelkorFromScheme;
  button->labelColor2 = kVelkorFromScheme;
  button->labelAlignment = kVelkorAlignCentre;
  button->toggleMode = 2;
  button->baseColor = kVelkorColorSchemeFirst;
  button->frameColor = kVelkorColorSchemeFirst + kVelkorColorFrame;
  button->bevelColor = kVelkorColorSchemeFirst + kVelkorColorBevel;
  button->faceColorComputed = kVelkorColorSchemeFirst + kVelkorColorBevel;
  button->pressedFaceColor = kVelkorColorSchemeFirst + kVelkorColorFrame;
  button->labelColorComputed = kVelkorColorSchemeFirst + kVelkorColorLabel;
  Velkor_IndividualFocus_init(&button->focus);
  Velkor_KeyEvent_init(&button->keys);
  wrapper_ToggleButton_reset(&button->behaviour);
}

void Velkor_ToggleButton_predraw(Velkor_ToggleButton* button) {
  Velkor_ClearDrawnRect(&button->drawnRect);
  button->changed = 0;
  button->hover = 0;
  button->pressedWithFocus = 0;
  button->releasedWithFocus = 0;
  button->spaceKey = 0;
  Velkor_IndividualFocus_predraw(&button->focus);
  Velkor_KeyEvent_predraw(&button->keys);
}

void Velkor_ToggleButton_draw(Velkor_ToggleButton* button, uint32_t pass) {
  if (pass != button->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(button->width, button->height, &button->drawnRect);
  const uint8_t enabled = button->enabled != 0 ? 1 : 0;
  Velkor_KeyEvent* keys = Velkor_InteractButton(button, 1, pass);
  button->spaceKey = (keys->output && keys->key == KEY_SPACE) ? 1 : 0;

  const bool on = button->state != 0;
  Velkor_ButtonColors colors;
  Velkor_ComputeButtonColors(button->colorScheme, button->focusState != FOCUS_NONE,
                             button->faceColor, on ? button->labelColor : button->labelColor2, pass,
                             &colors);
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
  look.pressedLayer = (!button->hover || on || !enabled) ? 1 : 0;
  look.down = on ? 1 : 0;
  look.enabled = enabled;
  look.label = on ? button->label : button->label2;
  look.font = button->font;
  look.alignment = button->labelAlignment;
  Velkor_DrawButtonLook(&look, masks, pass);
  sglSetActiveMasks(masks);

  // A press whose release can no longer reach this button (disabled, or the
  // focus taken by another widget) must not count for a later release.
  if (!enabled || button->focusState == FOCUS_NONE) button->behaviour.armed = 0;
  wrapper_ToggleButton(button->toggleMode, button->hover, button->pressedWithFocus,
                       button->releasedWithFocus, button->focus.lastButton, button->value,
                       button->load, button->spaceKey, &button->changed, &button->state,
                       &button->behaviour);
}
