#include "display/Velkor_Slider.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_Interaction.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"

namespace {

// Height (across the track) of the zone that holds the thumb when a scale
// is shown below it; without a scale the thumb takes the whole box.
constexpr float kThumbZone = 24.0f;
constexpr float kGrooveThickness = 6.0f;

bool is_vertical(uint32_t orientation) {
  return orientation == kVelkorSliderBottomToTop || orientation == kVelkorSliderTopToBottom;
}

bool is_reversed(uint32_t orientation) {
  return orientation == kVelkorSliderRightToLeft || orientation == kVelkorSliderTopToBottom;
}

}  // namespace

Velkor_SliderTrack Velkor_SliderLayout(float width, float height, uint32_t orientation,
                                       float thumbLength, uint8_t showScale, float fraction) {
  Velkor_SliderTrack t{};
  const bool vertical = is_vertical(orientation);
  const float along = vertical ? height : width;
  const float across_box = vertical ? width : height;
  const float across = showScale && across_box > kThumbZone ? kThumbZone : across_box;
  float len = thumbLength;
  if (len > along / 2.0f) len = along / 2.0f;
  const float travel = along - len;
  const float f = is_reversed(orientation) ? 1.0f - fraction : fraction;
  // The zone of the thumb lies along the top edge (horizontal) or the left
  // edge (vertical); the scale takes the rest.
  if (vertical) {
    t.thumbX = 0.0f;
    t.thumbY = travel * f;
    t.thumbW = across;
    t.thumbH = len;
    t.rateX1 = 0.0f;
    t.rateY1 = len / 2.0f;
    t.rateX2 = across;
    t.rateY2 = along - len / 2.0f;
    t.grooveX = (across - kGrooveThickness) / 2.0f;
    t.grooveY = 0.0f;
    t.grooveW = kGrooveThickness;
    t.grooveH = along;
    t.scaleX = across;
    t.scaleY = len / 2.0f;
    t.scaleW = across_box - across;
    t.scaleH = travel;
  } else {
    t.thumbX = travel * f;
    t.thumbY = across_box - across;
    t.thumbW = len;
    t.thumbH = across;
    t.rateX1 = len / 2.0f;
    t.rateY1 = across_box - across;
    t.rateX2 = along - len / 2.0f;
    t.rateY2 = across_box;
    t.grooveX = 0.0f;
    t.grooveY = across_box - (across + kGrooveThickness) / 2.0f;
    t.grooveW = along;
    t.grooveH = kGrooveThickness;
    t.scaleX = len / 2.0f;
    t.scaleY = 0.0f;
    t.scaleW = travel;
    t.scaleH = across_box - across;
  }
  return t;
}

Velkor_Slider* Velkor_Slider_alloc() {
  return static_cast<Velkor_Slider*>(std::calloc(1, sizeof(Velkor_Slider)));
}

void Velkor_Slider_free(Velkor_Slider* slider) {
  std::free(slider);
}

void Velkor_Slider_init(Velkor_Slider* slider) {
  *slider = Velkor_Slider{};
  slider->width = 280.0f;
  slider->height = 50.0f;
  slider->enabled = 1;
  slider->frameStyle = kVelkorCornerRound;
  slider->faceColor = kVelkorFromScheme;
  slider->font = 20;
  slider->labelColor = kVelkorFromScheme;
  slider->maximum = 100.0f;
  slider->orientation = kVelkorSliderLeftToRight;
  slider->showScale = 1;
  slider->thumbLength = 14.0f;
  Velkor_Scale_init(&slider->scale);
  Velkor_SliderThumb_init(&slider->thumb);
  Velkor_IndividualFocus_init(&slider->focus);
  Velkor_KeyEvent_init(&slider->keys);
  slider->keys.mode = 1;
  wrapper_Slider_reset(&slider->state);
}

void Velkor_Slider_predraw(Velkor_Slider* slider) {
  Velkor_ClearDrawnRect(&slider->drawnRect);
  slider->changed = 0;
  slider->hover = 0;
  Velkor_Scale_predraw(&slider->scale);
  Velkor_SliderThumb_predraw(&slider->thumb);
  Velkor_IndividualFocus_predraw(&slider->focus);
  Velkor_KeyEvent_predraw(&slider->keys);
}

namespace {

// Stage 2: the pointer's rates over the thumb's travel.
void pointer_rates(const Velkor_Slider* slider, float* x_rate, float* y_rate) {
  const Velkor_SliderTrack box =
      Velkor_SliderLayout(slider->width, slider->height, slider->orientation, slider->thumbLength,
                          slider->showScale, 0.0f);
  float px = 0.0f;
  float py = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
  *x_rate = Velkor_Clamp(
      sglRectangleActiveAreaGetWidthRate(px, py, box.rateX1, box.rateY1, box.rateX2, box.rateY2),
      0.0f, 1.0f);
  *y_rate = Velkor_Clamp(
      sglRectangleActiveAreaGetHeightRate(px, py, box.rateX1, box.rateY1, box.rateX2, box.rateY2),
      0.0f, 1.0f);
}

// Stage 4: the colours of the scheme. Returns the labels' colour.
int32_t compute_colors(Velkor_Slider* slider, uint32_t pass) {
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = slider->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  slider->baseColor = colours.base;
  slider->trackColor = colours.base + kVelkorColorFrame;
  slider->frameColor = colours.base + kVelkorColorLabel;
  return slider->labelColor >= 0 ? slider->labelColor : colours.base + kVelkorColorLabel;
}

// Stage 6: the scale beside the groove.
void draw_scale(Velkor_Slider* slider, const Velkor_SliderTrack& t, float minimum, float maximum,
                int32_t label_colour, uint32_t masks, uint32_t pass) {
  Velkor_Scale* scale = &slider->scale;
  scale->width = t.scaleW;
  scale->height = t.scaleH;
  scale->vertical = is_vertical(slider->orientation) ? 1 : 0;
  scale->minimum = minimum;
  scale->maximum = maximum;
  scale->font = static_cast<int32_t>(slider->font);
  scale->labelColor = label_colour;
  scale->pass = pass;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(t.scaleX, t.scaleY);
  Velkor_Scale_draw(scale, pass);
  sglPopMatrixAndTranslate();
}

// Stage 7: the thumb where the value puts it.
void draw_thumb(Velkor_Slider* slider, const Velkor_SliderTrack& t, bool focused, uint32_t masks,
                uint32_t pass) {
  Velkor_SliderThumb* thumb = &slider->thumb;
  thumb->width = t.thumbW;
  thumb->height = t.thumbH;
  thumb->enabled = slider->enabled;
  thumb->frameStyle = slider->frameStyle;
  thumb->colorScheme = slider->colorScheme;
  thumb->faceColor = slider->faceColor;
  thumb->pressed = slider->dragging;
  thumb->focused = focused ? 1 : 0;
  thumb->pass = pass;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(t.thumbX, t.thumbY);
  Velkor_SliderThumb_draw(thumb, pass);
  sglPopMatrixAndTranslate();
}

}  // namespace

void Velkor_Slider_draw(Velkor_Slider* slider, uint32_t pass) {
  if (pass != slider->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(slider->width, slider->height, &slider->drawnRect);
  const bool enabled = slider->enabled != 0;
  float minimum = slider->minimum;
  float maximum = slider->maximum;
  if (!(maximum > minimum)) maximum = minimum + 10.0f;

  // Stage 1: pointer, focus and keys. A drag keeps the focus after the
  // pointer has left the slider.
  const Velkor_Interaction step =
      Velkor_Interact({slider->width, slider->height, enabled, 0, slider->state.dragging,
                       slider->focusId, slider->focusNext},
                      &slider->focus, &slider->keys, pass);
  slider->hover = step.hover;
  const bool focused = step.focused != 0;
  uint8_t raw_pressed = 0;
  uint8_t raw_released = 0;
  uint32_t raw_button = 0;
  Velkor_PointerState(&raw_pressed, &raw_released, &raw_button);
  // Only the focused slider takes a press (a widget on top of it keeps it).
  const uint8_t pressed = focused && raw_pressed ? 1 : 0;
  if (pressed && BHVR_LeftButton(raw_button)) slider->held = 1;
  if (raw_released || !enabled) slider->held = 0;
  float x_rate = 0.0f;
  float y_rate = 0.0f;
  pointer_rates(slider, &x_rate, &y_rate);

  // Stage 3: the behaviour. The arrow keys step towards the end they point at.
  const uint32_t key = slider->keys.output ? slider->keys.key : 0;
  const bool towards_high = key == KEY_RIGHT || key == KEY_UP;
  const bool towards_low = key == KEY_LEFT || key == KEY_DOWN;
  const bool reversed = is_reversed(slider->orientation);
  const uint8_t step_up = (reversed ? towards_low : towards_high) ? 1 : 0;
  const uint8_t step_down = (reversed ? towards_high : towards_low) ? 1 : 0;
  const uint8_t confirm = key == KEY_ENTER ? 1 : 0;
  wrapper_Slider(minimum, maximum, slider->forcedValue, slider->force, slider->orientation,
                 slider->step, pressed, raw_released, raw_button, slider->hover, x_rate, y_rate,
                 step_up, step_down, confirm, slider->held, &slider->value, &slider->changed,
                 &slider->dragging, &slider->state);

  const int32_t label_colour = compute_colors(slider, pass);
  // Stage 5: the groove.
  const float fraction = Velkor_RangeFraction(slider->value, minimum, maximum);
  const Velkor_SliderTrack t =
      Velkor_SliderLayout(slider->width, slider->height, slider->orientation, slider->thumbLength,
                          slider->showScale, fraction);
  Velkor_DrawFrame(masks, pass, t.grooveX, t.grooveY, t.grooveW, t.grooveH, slider->trackColor,
                   slider->frameColor, kVelkorCornerRoundEnds, 0.0f);
  // A scale reads from its start, so a reversed slider shows none.
  if (slider->showScale && !reversed && t.scaleW > 1.0f && t.scaleH > 1.0f) {
    draw_scale(slider, t, minimum, maximum, label_colour, masks, pass);
  }
  draw_thumb(slider, t, focused, masks, pass);
  // Stage 8: the greyed veil of a disabled slider.
  if (!enabled) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, slider->width, slider->height,
                     slider->baseColor + kVelkorColorGreyed, -1, kVelkorCornerRound, 4.0f);
  }
  sglSetActiveMasks(masks);
}
