// Velkor_FrameShape - a filled rectangle with shaped corners and an outline.
//
// The building block of every framed widget: the owner fills in the
// parameters and draws it at the origin of the current frame (a scratch
// instance on the draw's stack is the usual way):
//   Velkor_FrameShape shape;
//   Velkor_FrameShape_init(&shape);
//   shape.width = 150; shape.height = 50; shape.radius = 8;
//   shape.fillColor = face; shape.lineColor = frame; shape.pass = pass;
//   Velkor_FrameShape_draw(&shape, pass);
//
// Corner styles (cornerStyle):
//   0  square corners
//   1  quarter-circle corners of `radius`
//   2  corners cut straight at 45 degrees, `radius` along each side
//   3  round ends: the corner radius is half the shorter side (a capsule)
//   any other value draws square corners.
// The radius is limited to half the shorter side. A texture (an alpha
// ramp of the texture table) is stretched once over the shape and shades
// the fill colour. The outline is solid (line stipple 0). Transparencies are alphas: 255 opaque, 0 invisible. A
// negative fill or line colour leaves that part out.
#pragma once

#include <cstdint>

#include "display/Velkor_display.h"

constexpr uint32_t kVelkorCornerSquare = 0;
constexpr uint32_t kVelkorCornerRound = 1;
constexpr uint32_t kVelkorCornerCut = 2;
constexpr uint32_t kVelkorCornerRoundEnds = 3;
// Vertices of one rounded corner; the outline holds four of them.
constexpr int kVelkorCornerPoints = 9;
constexpr int kVelkorFrameShapeMaxPoints = 4 * kVelkorCornerPoints;

struct Velkor_FrameShape {
  float width;
  float height;
  Velkor_DrawnRect drawnRect;
  int32_t fillColor;  // colour index, < 0: no fill
  int32_t lineColor;  // colour index, < 0: no outline
  uint32_t cornerStyle;
  float radius;
  int32_t texture;            // texture slot shading the fill, < 0: none
  uint32_t fillTransparency;  // alpha of the fill, 255 opaque
  uint32_t lineTransparency;  // alpha of the outline
  int32_t lineWidth;          // line width index, < 0: no outline
  uint32_t pass;
};

Velkor_FrameShape* Velkor_FrameShape_alloc();
void Velkor_FrameShape_free(Velkor_FrameShape* shape);
void Velkor_FrameShape_init(Velkor_FrameShape* shape);
void Velkor_FrameShape_predraw(Velkor_FrameShape* shape);
void Velkor_FrameShape_draw(Velkor_FrameShape* shape, uint32_t pass);

// The outline of a shape, counter-clockwise from the lower edge, as plain
// numbers: writes at most `capacity` points and returns their number; 0 for
// a width or height that is not above 0 or a capacity too small.
int Velkor_FrameShapeOutline(uint32_t cornerStyle, float width, float height, float radius,
                             float* xs, float* ys, int capacity);
