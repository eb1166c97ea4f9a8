#include "display/Velkor_ScrollBar.h"

#include <cstdlib>

#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_parts_internal.h"
#include "graphics/sgl.h"
#include "widgets/interactivity_mapping.h"

namespace {

constexpr uint32_t kClickOnPress = 1;

// Places a click area over a box of the bar given along / across its axis.
void step_area(Velkor_ClickArea* area, uint32_t masks, uint32_t pass, bool vertical,
               float thickness, float start, float length, uint8_t enabled) {
  area->enabled = enabled;
  area->mode = kClickOnPress;
  area->showHighlight = 0;
  area->width = vertical ? thickness : length;
  area->height = vertical ? length : thickness;
  area->pass = pass;
  sglSetActiveMasks(masks);
  sglPushMatrixAndTranslate(vertical ? 0.0f : start, vertical ? start : 0.0f);
  Velkor_ClickArea_draw(area, pass);
  sglPopMatrixAndTranslate();
}

}  // namespace

Velkor_ScrollBarLayout Velkor_ScrollBarPlace(float width, float height, uint32_t orientation,
                                             uint32_t direction, float maximum, float pageStep,
                                             float position) {
  Velkor_ScrollBarLayout l{};
  const bool vertical = orientation == kVelkorScrollBarVertical;
  const float along = vertical ? height : width;
  const float thickness = vertical ? width : height;
  l.arrow = thickness * 2.0f < along ? thickness : along / 2.0f;
  l.trackStart = l.arrow;
  l.trackLength = along - 2.0f * l.arrow;
  if (l.trackLength < 0.0f) l.trackLength = 0.0f;
  float share = 1.0f;
  if (maximum > 0.0f) {
    const float page = pageStep > 0.0f ? pageStep : 0.0f;
    share = page / (maximum + page);
  }
  l.thumbLength = l.trackLength * share;
  if (l.thumbLength < thickness) l.thumbLength = thickness;
  if (l.thumbLength > l.trackLength) l.thumbLength = l.trackLength;
  float p = maximum > 0.0f ? Velkor_Clamp(position / maximum, 0.0f, 1.0f) : 0.0f;
  l.thumbFraction = direction == 1 ? p : 1.0f - p;
  l.thumbStart = l.trackStart + (l.trackLength - l.thumbLength) * l.thumbFraction;
  return l;
}

Velkor_ScrollBar* Velkor_ScrollBar_alloc() {
  return static_cast<Velkor_ScrollBar*>(std::calloc(1, sizeof(Velkor_ScrollBar)));
}

void Velkor_ScrollBar_free(Velkor_ScrollBar* bar) {
  std::free(bar);
}

void Velkor_ScrollBar_init(Velkor_ScrollBar* bar) {
  *bar = Velkor_ScrollBar{};
  bar->width = 14.0f;
  bar->height = 150.0f;
  bar->enabled = 1;
  bar->frameStyle = kVelkorCornerRound;
  bar->orientation = kVelkorScrollBarVertical;
  bar->direction = 0;
  bar->maximum = 10.0f;
  bar->pageStep = 5.0f;
  bar->lineStep = 1.0f;
  Velkor_ClickArea_init(&bar->lineUpArea);
  Velkor_ClickArea_init(&bar->lineDownArea);
  Velkor_ClickArea_init(&bar->pageUpArea);
  Velkor_ClickArea_init(&bar->pageDownArea);
  Velkor_ClickArea_init(&bar->thumbArea);
  Velkor_KeyEvent_init(&bar->keys);
  bar->keys.mode = 1;
  wrapper_ScrollBar_reset(&bar->state);
}

void Velkor_ScrollBar_predraw(Velkor_ScrollBar* bar) {
  Velkor_ClearDrawnRect(&bar->drawnRect);
  bar->moved = 0;
  bar->hover = 0;
  Velkor_ClickArea_predraw(&bar->lineUpArea);
  Velkor_ClickArea_predraw(&bar->lineDownArea);
  Velkor_ClickArea_predraw(&bar->pageUpArea);
  Velkor_ClickArea_predraw(&bar->pageDownArea);
  Velkor_ClickArea_predraw(&bar->thumbArea);
  Velkor_KeyEvent_predraw(&bar->keys);
}

namespace {

// Stage 1: the click areas over the parts as they stand from the last
// frame: that is where the user saw and clicked them.
void place_areas(Velkor_ScrollBar* bar, const Velkor_ScrollBarLayout& before, bool vertical,
                 float thickness, uint32_t masks, uint32_t pass) {
  const uint8_t enabled = bar->enabled;
  const float high_arrow_start = before.trackStart + before.trackLength;
  const float thumb_end = before.thumbStart + before.thumbLength;
  step_area(&bar->lineDownArea, masks, pass, vertical, thickness, 0.0f, before.arrow, enabled);
  step_area(&bar->lineUpArea, masks, pass, vertical, thickness, high_arrow_start, before.arrow,
            enabled);
  step_area(&bar->pageDownArea, masks, pass, vertical, thickness, before.trackStart,
            before.thumbStart - before.trackStart, enabled);
  step_area(&bar->pageUpArea, masks, pass, vertical, thickness, thumb_end,
            high_arrow_start - thumb_end, enabled);
  step_area(&bar->thumbArea, masks, pass, vertical, thickness, before.thumbStart,
            before.thumbLength, enabled);
  sglSetActiveMasks(masks);
}

// Stage 3: the pointer rate along the travel of the thumb's centre, kept
// relative to where the thumb was grabbed so that it does not jump to the
// pointer.
float pointer_rate(Velkor_ScrollBar* bar, const Velkor_ScrollBarLayout& before, bool vertical,
                   float thickness) {
  float px = 0.0f;
  float py = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &px, &py);
  const float travel_start = before.trackStart + before.thumbLength / 2.0f;
  const float travel_end = before.trackStart + before.trackLength - before.thumbLength / 2.0f;
  float rate = 0.0f;
  if (travel_end - travel_start > 1e-3f) {
    rate =
        vertical
            ? sglRectangleActiveAreaGetHeightRate(px, py, 0.0f, travel_start, thickness, travel_end)
            : sglRectangleActiveAreaGetWidthRate(px, py, travel_start, 0.0f, travel_end, thickness);
  }
  if (bar->thumbArea.onPress) bar->grabOffset = rate - before.thumbFraction;
  return Velkor_Clamp(rate - bar->grabOffset, 0.0f, 1.0f);
}

// Stage 5: the colours of the scheme; a dragged thumb darkens.
int32_t compute_colors(Velkor_ScrollBar* bar, uint32_t pass) {
  Velkor_ColorBase colours;
  Velkor_ColorBase_init(&colours);
  colours.colorScheme = bar->colorScheme;
  colours.pass = pass;
  Velkor_ColorBase_draw(&colours, pass);
  bar->trackColor = colours.base + kVelkorColorFrame;
  bar->thumbColor =
      colours.base + (bar->state.dragging ? kVelkorColorAccentDark : kVelkorColorAccent);
  bar->arrowColor = colours.base + kVelkorColorLabel;
  if (!bar->enabled) bar->thumbColor = colours.base + kVelkorColorLabel;
  return colours.base + kVelkorColorBevel;
}

// Stage 6: the arrow buttons at both ends, their heads pointing outwards.
void draw_arrows(const Velkor_ScrollBar* bar, const Velkor_ScrollBarLayout& now, bool vertical,
                 int32_t face, uint32_t masks, uint32_t pass) {
  const float a = now.arrow;
  const float hi = now.trackStart + now.trackLength;
  const float m = a * 0.25f;
  if (vertical) {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, a, a, face, bar->trackColor, bar->frameStyle,
                     a / 4.0f);
    Velkor_DrawFrame(masks, pass, 0.0f, hi, a, a, face, bar->trackColor, bar->frameStyle, a / 4.0f);
    Velkor_DrawTriangle(masks, m, a - m, a - m, a - m, a / 2.0f, m, bar->arrowColor);
    Velkor_DrawTriangle(masks, m, hi + m, a - m, hi + m, a / 2.0f, hi + a - m, bar->arrowColor);
  } else {
    Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, a, a, face, bar->trackColor, bar->frameStyle,
                     a / 4.0f);
    Velkor_DrawFrame(masks, pass, hi, 0.0f, a, a, face, bar->trackColor, bar->frameStyle, a / 4.0f);
    Velkor_DrawTriangle(masks, a - m, m, a - m, a - m, m, a / 2.0f, bar->arrowColor);
    Velkor_DrawTriangle(masks, hi + m, m, hi + a - m, a / 2.0f, hi + m, a - m, bar->arrowColor);
  }
}

// Stage 7: the thumb, inset from the track's sides.
void draw_thumb(const Velkor_ScrollBar* bar, const Velkor_ScrollBarLayout& now, bool vertical,
                float thickness, uint32_t masks, uint32_t pass) {
  if (!(now.trackLength > 0.0f)) return;
  const float inset = thickness * 0.15f;
  const float tx = vertical ? inset : now.thumbStart;
  const float ty = vertical ? now.thumbStart : inset;
  const float tw = vertical ? thickness - 2.0f * inset : now.thumbLength;
  const float th = vertical ? now.thumbLength : thickness - 2.0f * inset;
  Velkor_DrawFrame(masks, pass, tx, ty, tw, th, bar->thumbColor, bar->arrowColor,
                   kVelkorCornerRoundEnds, 0.0f);
}

}  // namespace

void Velkor_ScrollBar_draw(Velkor_ScrollBar* bar, uint32_t pass) {
  if (pass != bar->pass) return;
  const uint32_t masks = sglGetActiveMasks();
  Velkor_RecordDrawnRect(bar->width, bar->height, &bar->drawnRect);
  const bool vertical = bar->orientation == kVelkorScrollBarVertical;
  const float thickness = vertical ? bar->width : bar->height;
  const uint8_t enabled = bar->enabled;
  const float maximum = bar->maximum > 0.0f ? bar->maximum : 0.0f;
  const Velkor_ScrollBarLayout before =
      Velkor_ScrollBarPlace(bar->width, bar->height, bar->orientation, bar->direction, maximum,
                            bar->pageStep, bar->state.position);
  place_areas(bar, before, vertical, thickness, masks, pass);

  // Stage 2: hover and keys; the bar takes no focus of its own; its owner
  // says when the keys are its.
  bar->hover = enabled ? Velkor_PointerHover(bar->width, bar->height) : 0;
  Velkor_KeyEvent* keys = &bar->keys;
  keys->enable = enabled ? bar->keyEnable : 0;
  keys->pass = pass;
  Velkor_KeyEvent_draw(keys, pass);
  uint8_t raw_pressed = 0;
  uint8_t raw_released = 0;
  uint32_t raw_button = 0;
  Velkor_PointerState(&raw_pressed, &raw_released, &raw_button);
  // The wheel over the bar steps one line.
  uint8_t wheel_up = 0;
  uint8_t wheel_down = 0;
  if (bar->hover && raw_pressed && BHVR_WheelButton(raw_button)) {
    const bool away = raw_button == BHVR_WHEEL_AWAY;
    const bool up = vertical ? away : !away;
    wheel_up = up ? 1 : 0;
    wheel_down = up ? 0 : 1;
  }
  const uint8_t line_up = bar->lineUpArea.click || wheel_up || (enabled && bar->lineUpIn);
  const uint8_t line_down = bar->lineDownArea.click || wheel_down || (enabled && bar->lineDownIn);
  const uint8_t drag_start = bar->thumbArea.onPress;
  const float rate = pointer_rate(bar, before, vertical, thickness);

  // Stage 4: the behaviour.
  wrapper_ScrollBar(bar->pageStep, bar->lineStep, bar->value, maximum, line_up, line_down,
                    bar->pageUpArea.click, bar->pageDownArea.click, bar->load, rate, drag_start,
                    raw_released || !enabled, bar->direction, keys->output, keys->key,
                    bar->orientation, &bar->position, &bar->moved, &bar->state);

  // The parts where they stand now: track, arrows, thumb.
  const int32_t face = compute_colors(bar, pass);
  const Velkor_ScrollBarLayout now =
      Velkor_ScrollBarPlace(bar->width, bar->height, bar->orientation, bar->direction, maximum,
                            bar->pageStep, bar->position);
  Velkor_DrawFrame(masks, pass, 0.0f, 0.0f, bar->width, bar->height, bar->trackColor,
                   bar->trackColor, bar->frameStyle, thickness / 3.0f);
  draw_arrows(bar, now, vertical, face, masks, pass);
  draw_thumb(bar, now, vertical, thickness, masks, pass);
  sglSetActiveMasks(masks);
}
