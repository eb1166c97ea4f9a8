// Active areas: hit-tests of the pointer against rectangles, polygons and
// circles given in the caller's drawing coordinates, and the pointer's
// relative position in them.
//
// The pointer arrives in pixels of the native display. It is scaled to
// viewport pixels and mapped back through the inverse of the transformation
// in force, so the test happens where the widget is actually drawn, however
// its parents translated, scaled or rotated it. The status tests also ask the
// scissor in force, so a clipped-away part of a widget does not react.
#include <cmath>

#include "graphics/sgl.h"
#include "graphics/sgl_geometry.h"
#include "graphics/sgl_internal.h"
#include "graphics/sgl_masks_geometry.h"

namespace {

constexpr float kTiny = 1e-6f;

// Below half a drawing unit of height the arctangent's quotient would grow
// without bound; the direction is then plainly left or right.
constexpr float kFlatAngleBand = 0.5f;

struct pointer_position {
  float pixel_x, pixel_y;  // viewport pixels, for the scissor test
  float x, y;              // drawing coordinates
};

pointer_position locate_pointer(float px, float py) {
  const sgl_transformation* t = &glob_pr_sglStatemachine->transform;
  pointer_position p;
  p.pixel_x = px * t->ratio_x;
  p.pixel_y = py * t->ratio_y;
  sglConvertPixelToPoint(p.pixel_x, p.pixel_y, &p.x, &p.y);
  return p;
}

bool degenerate_rectangle(float x1, float y1, float x2, float y2) {
  return std::fabs(x2 - x1) < kTiny || std::fabs(y2 - y1) < kTiny;
}

}  // namespace

// ---------------------------------------------------------------------------
// Plain measures
// ---------------------------------------------------------------------------

float sgl_circle_rate(float dx, float dy, float r) {
  if (r <= 0.0f) {
    return 0.0f;
  }
  return mth_sqrtf(sgluFloatDiv(dx * dx + dy * dy, r * r));
}

float sgl_circle_angle(float dx, float dy) {
  if (std::fabs(dy) < kFlatAngleBand) {
    return dx < 0.0f ? 180.0f : 0.0f;
  }
  const float a = mth_atan_degree(sgluFloatDiv(dx, dy));
  return dy > 0.0f ? 90.0f - a : 270.0f - a;
}

float sgl_span_rate(float v, float a, float b) {
  if (std::fabs(b - a) < kTiny) {
    return 0.0f;
  }
  const float lo = a < b ? a : b;
  const float hi = a < b ? b : a;
  return sgluFloatDiv(v - lo, hi - lo);
}

// ---------------------------------------------------------------------------
// Status
// ---------------------------------------------------------------------------

bool sglShapeActiveAreaGetStatus(float px, float py, uint32_t n, const float* points) {
  // A missing vertex list is no area at all, not a read through null.
  if (points == nullptr) {
    return false;
  }
  const pointer_position p = locate_pointer(px, py);
  return mth_point_in_shape(p.x, p.y, n, points) &&
         sgl_pixel_point_is_inside_scissors(p.pixel_x, p.pixel_y);
}

bool sglRectangleActiveAreaGetStatus(float px, float py, float x1, float y1, float x2, float y2) {
  if (degenerate_rectangle(x1, y1, x2, y2)) {
    return false;
  }
  const float corners[8] = {x1, y1, x1, y2, x2, y2, x2, y1};
  return sglShapeActiveAreaGetStatus(px, py, 4, corners);
}

bool sglCircleActiveAreaGetStatus(float px, float py, float cx, float cy, float r) {
  if (r <= 0.0f) {
    return false;
  }
  const pointer_position p = locate_pointer(px, py);
  return sgl_circle_rate(p.x - cx, p.y - cy, r) <= 1.0f &&
         sgl_pixel_point_is_inside_scissors(p.pixel_x, p.pixel_y);
}

// ---------------------------------------------------------------------------
// Rates and angles (the scissor is not consulted)
// ---------------------------------------------------------------------------

float sglRectangleActiveAreaGetWidthRate(float px, float py, float x1, float y1, float x2,
                                         float y2) {
  if (degenerate_rectangle(x1, y1, x2, y2)) {
    return 0.0f;
  }
  return sgl_span_rate(locate_pointer(px, py).x, x1, x2);
}

float sglRectangleActiveAreaGetHeightRate(float px, float py, float x1, float y1, float x2,
                                          float y2) {
  if (degenerate_rectangle(x1, y1, x2, y2)) {
    return 0.0f;
  }
  return sgl_span_rate(locate_pointer(px, py).y, y1, y2);
}

float sglCircleActiveAreaGetRate(float px, float py, float cx, float cy, float r) {
  if (r <= 0.0f) {
    return 0.0f;
  }
  const pointer_position p = locate_pointer(px, py);
  return sgl_circle_rate(p.x - cx, p.y - cy, r);
}

float sglCircleActiveAreaGetAngle(float px, float py, float cx, float cy) {
  const pointer_position p = locate_pointer(px, py);
  return sgl_circle_angle(p.x - cx, p.y - cy);
}
