#include "display/Velkor_CheckButton.h"

#include <cstdlib>

#include "display/Velkor_ClippedLabel.h"
#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_Interaction.h"
#include "graphics/sgl.h"

namespace {

constexpr float kBoxMargin = 4.0f;
constexpr float kLabelGap = 8.0f;

}  // namespace

Velkor_CheckButton* Velkor_CheckButton_alloc() {
  return static_cast<Velkor_CheckButton*>(std::calloc(1, sizeof(Velkor_CheckButton)));
}

void Velkor_CheckButton_free(Velkor_CheckButton* button) {
  std::free(button);
}

void Velkor_CheckButton_init(Velkor_CheckButton* button) {
  *button = Velkor_CheckButton{};
  button->width = 150.0f;
  button->height = 35.0f;
  button->enabled = 1;
  button->frameStyle = kVelkorDefaultFrameStyle;
  button->faceColor = kVelkorColorNone;
  button->font = static_cast<int32_t>(kVelkorDefaultFont);
  button->labelColor = kVelkorFromScheme;
  button->labelAlignment = 0;
  button->checkMode = 2;
  button->baseColor = kVelkorColorSchemeFirst;
  button->frameColor = kVelkorColorSchemeFirst + kVelkorColorFrame;
  button->labelColorComputed = kVelkorColorSchemeFirst + kVelkorColorLabel;
  Velkor_CheckBox_init(&button->box);
  Velkor_IndividualFocus_init(&button->focus);
  Velkor_KeyEvent_init(&button->keys);
  wrapper_CheckButton_reset(&button->behaviour);
}

void Velkor_CheckButton_predraw(Velkor_CheckButton* button) {
  Velkor_ClearDrawnRect(&button->drawnRect);
  button->changed = 0;
  button->hover = 0;
  button->pressedWithFocus = 0;
  button->releasedWithFocus = 0;
  button->spaceKey = 0;
  Velkor_CheckBox_predraw(&button->box);
  Velkor_IndividualFocus_predraw(&button->focus);
  Velkor_KeyEvent_predraw(&button->keys);
}

void Velkor_CheckButton_draw(Velkor_CheckButton* button, uint32_t pass) {
  if (pass != button->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(button->width, button->height, &button->drawnRect);
  const uint8_t enabled = button->enabled != 0 ? 1 : 0;
  Velkor_KeyEvent* keys = Velkor_InteractButton(button, 1, pass);
  button->spaceKey = (keys->output && keys->key == KEY_SPACE) ? 1 : 0;

  const bool focused = button->focusState != FOCUS_NONE;
  button->baseColor = Velkor_SchemeBase(button->colorScheme, pass);
  button->frameColor = button->baseColor + (focused ? kVelkorColorFrameFocused : kVelkorColorFrame);
  button->labelColorComputed =
      button->labelColor >= 0 ? button->labelColor : button->baseColor + kVelkorColorLabel;

  // Background and the focus frame.
  Velkor_FrameShape shape;
  Velkor_FrameShape_init(&shape);
  shape.width = button->width;
  shape.height = button->height;
  shape.cornerStyle = kVelkorCornerRound;
  shape.radius = 6.0f;
  shape.fillColor = button->faceColor;
  shape.lineColor = focused ? button->frameColor : kVelkorColorNone;
  shape.pass = pass;
  Velkor_FrameShape_draw(&shape, pass);

  sglSetActiveMasks(masks);
  Velkor_CheckBox* box = &button->box;
  box->enabled = enabled;
  box->frameStyle = button->frameStyle;
  box->colorScheme = button->colorScheme;
  box->checked = button->checked;
  box->hover = button->hover;
  box->focused = focused ? 1 : 0;
  box->pass = pass;
  sglPushMatrixAndTranslate(kBoxMargin, (button->height - box->height) / 2.0f);
  Velkor_CheckBox_draw(box, pass);
  sglPopMatrixAndTranslate();

  sglSetActiveMasks(masks);
  const float label_x = kBoxMargin + box->width + kLabelGap;
  Velkor_ClippedLabel label;
  Velkor_ClippedLabel_init(&label);
  label.width = button->width - label_x - kBoxMargin;
  label.height = button->height;
  label.text = button->label;
  label.font = button->font;
  label.color = button->labelColorComputed;
  label.alignment = button->labelAlignment;
  label.pass = pass;
  sglPushMatrixAndTranslate(label_x, 0.0f);
  Velkor_ClippedLabel_draw(&label, pass);
  sglPopMatrixAndTranslate();
  sglSetActiveMasks(masks);

  if (!enabled || button->focusState == FOCUS_NONE) button->behaviour.armed = 0;
  wrapper_CheckButton(button->value, button->load, button->checkMode, button->pressedWithFocus,
                      button->releasedWithFocus, button->focus.lastButton, button->hover,
                      button->spaceKey, &button->checked, &button->changed, &button->behaviour);
}
