#include "display/Velkor_FrameShape.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/sgl.h"

namespace {

constexpr float kHalfPi = 1.57079632679f;

int square_outline(float w, float h, float* xs, float* ys) {
  const float px[4] = {0.0f, w, w, 0.0f};
  const float py[4] = {0.0f, 0.0f, h, h};
  std::copy(px, px + 4, xs);
  std::copy(py, py + 4, ys);
  return 4;
}

// Corner centres and the angle at which each corner's arc starts, walking
// counter-clockwise: lower right, upper right, upper left, lower left.
struct Corner {
  float cx, cy, start;
};

void corners(float w, float h, float r, Corner out[4]) {
  out[0] = {w - r, r, -kHalfPi};
  out[1] = {w - r, h - r, 0.0f};
  out[2] = {r, h - r, kHalfPi};
  out[3] = {r, r, 2.0f * kHalfPi};
}

int round_outline(float w, float h, float r, float* xs, float* ys) {
  Corner c[4];
  corners(w, h, r, c);
  int n = 0;
  for (const Corner& corner : c) {
    for (int i = 0; i < kVelkorCornerPoints; ++i) {
      const float a = corner.start + kHalfPi * static_cast<float>(i) / (kVelkorCornerPoints - 1);
      xs[n] = corner.cx + r * std::cos(a);
      ys[n] = corner.cy + r * std::sin(a);
      ++n;
    }
  }
  return n;
}

int cut_outline(float w, float h, float r, float* xs, float* ys) {
  const float px[8] = {r, w - r, w, w, w - r, r, 0.0f, 0.0f};
  const float py[8] = {0.0f, 0.0f, r, h - r, h, h, h - r, r};
  std::copy(px, px + 8, xs);
  std::copy(py, py + 8, ys);
  return 8;
}

}  // namespace

int Velkor_FrameShapeOutline(uint32_t cornerStyle, float width, float height, float radius,
                             float* xs, float* ys, int capacity) {
  if (!(width > 0.0f) || !(height > 0.0f)) return 0;
  const float limit = std::min(width, height) / 2.0f;
  float r = std::clamp(std::isfinite(radius) ? radius : 0.0f, 0.0f, limit);
  if (cornerStyle == kVelkorCornerRoundEnds) r = limit;
  const bool shaped =
      r > 0.0f && (cornerStyle == kVelkorCornerRound || cornerStyle == kVelkorCornerCut ||
                   cornerStyle == kVelkorCornerRoundEnds);
  const int needed =
      !shaped ? 4 : (cornerStyle == kVelkorCornerCut ? 8 : kVelkorFrameShapeMaxPoints);
  if (capacity < needed) return 0;
  if (!shaped) return square_outline(width, height, xs, ys);
  if (cornerStyle == kVelkorCornerCut) return cut_outline(width, height, r, xs, ys);
  return round_outline(width, height, r, xs, ys);
}

Velkor_FrameShape* Velkor_FrameShape_alloc() {
  return static_cast<Velkor_FrameShape*>(std::calloc(1, sizeof(Velkor_FrameShape)));
}

void Velkor_FrameShape_free(Velkor_FrameShape* shape) {
  std::free(shape);
}

void Velkor_FrameShape_init(Velkor_FrameShape* shape) {
  *shape = Velkor_FrameShape{};
  shape->width = 150.0f;
  shape->height = 50.0f;
  shape->fillColor = kVelkorColorNone;
  shape->lineColor = kVelkorColorNone;
  shape->cornerStyle = kVelkorCornerRound;
  shape->radius = 8.0f;
  shape->texture = kVelkorNoTexture;
  shape->fillTransparency = 255;
  shape->lineTransparency = 255;
  shape->lineWidth = 0;
}

void Velkor_FrameShape_predraw(Velkor_FrameShape* shape) {
  Velkor_ClearDrawnRect(&shape->drawnRect);
}

void Velkor_FrameShape_draw(Velkor_FrameShape* shape, uint32_t pass) {
  if (pass != shape->pass) return;
  Velkor_RecordDrawnRect(shape->width, shape->height, &shape->drawnRect);
  float xs[kVelkorFrameShapeMaxPoints];
  float ys[kVelkorFrameShapeMaxPoints];
  const int n = Velkor_FrameShapeOutline(shape->cornerStyle, shape->width, shape->height,
                                         shape->radius, xs, ys, kVelkorFrameShapeMaxPoints);
  if (n < 3) return;

  if (shape->fillColor >= 0) {
    sglIndexColori(shape->fillColor);
    sglTransparency8(std::min<uint32_t>(shape->fillTransparency, 255));
    const bool textured = shape->texture >= 0;
    if (textured) {
      sglBindTexture(SGL_TEXTURE_FILL, static_cast<uint32_t>(shape->texture));
      // One image stretched over the box of the outline.
      sglFormatTexture(static_cast<uint32_t>(n), xs, ys, 1.0f, 1.0f, 0, 0);
      sglEnable(SGL_TEXTURE_FILL);
      sglEnable(SGL_TEXTURE_MODULATE);
    }
    sglBegin(5);
    for (int i = 0; i < n; ++i) sglVertex2f(xs[i], ys[i]);
    sglEnd();
    if (textured) {
      sglDisable(SGL_TEXTURE_MODULATE);
      sglDisable(SGL_TEXTURE_FILL);
    }
  }
  if (shape->lineColor >= 0 && shape->lineWidth >= 0) {
    sglIndexColori(shape->lineColor);
    sglTransparency8(std::min<uint32_t>(shape->lineTransparency, 255));
    sglIndexLineWidthi(shape->lineWidth);
    sglIndexLineStipplei(0);  // frames are solid whatever the last line was
    sglBegin(SGL_PRIMITIVE_LINE_LOOP);
    for (int i = 0; i < n; ++i) sglVertex2f(xs[i], ys[i]);
    sglEnd();
  }
  sglTransparency8(255);
}
