#include "display/Velkor_display.h"

#include <algorithm>

#include "graphics/sgl.h"
#include "widgets/interactivity_mapping.h"

void Velkor_RecordDrawnRect(float width, float height, Velkor_DrawnRect* rect) {
  const float xs[4] = {0.0f, width, width, 0.0f};
  const float ys[4] = {0.0f, 0.0f, height, height};
  float left = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
  float top = 0.0f;
  // A rotated widget covers the box of its four corners.
  for (int i = 0; i < 4; ++i) {
    float px = 0.0f;
    float py = 0.0f;
    sglConvertPointToPixel(xs[i], ys[i], &px, &py);
    if (i == 0) {
      left = right = px;
      bottom = top = py;
    } else {
      left = std::min(left, px);
      right = std::max(right, px);
      bottom = std::min(bottom, py);
      top = std::max(top, py);
    }
  }
  *rect = Velkor_DrawnRect{left, bottom, right - left, top - bottom};
}

void Velkor_ClearDrawnRect(Velkor_DrawnRect* rect) {
  *rect = Velkor_DrawnRect{};
}

void Velkor_DrawnRectCentre(const Velkor_DrawnRect* rect, float* x, float* y) {
  if (x != nullptr) *x = rect->x + rect->width / 2.0f;
  if (y != nullptr) *y = rect->y + rect->height / 2.0f;
}

uint8_t Velkor_PointerHover(float width, float height) {
  float x = 0.0f;
  float y = 0.0f;
  Velkor_locate(BHVR_ANY_DEVICE, &x, &y);
  return sglRectangleActiveAreaGetStatus(x, y, 0.0f, 0.0f, width, height) ? 1 : 0;
}

void Velkor_PointerState(uint8_t* pressed, uint8_t* released, uint32_t* button) {
  uint8_t p = 0;
  uint8_t r = 0;
  uint32_t b = 0;
  Velkor_pointer(0, &p, &r, &b, nullptr, nullptr, nullptr);
  if (pressed != nullptr) *pressed = p;
  if (released != nullptr) *released = r;
  if (button != nullptr) *button = b;
}
