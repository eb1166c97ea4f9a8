// sgl_masks_geometry.h - the numbers behind masks, scissors and hit-tests.
//
// What it is: the plain arithmetic of the clipping and active-area code,
// apart from OpenGL and from the context, so that each rule can be tested
// exactly. sgl_masks.cpp and sgl_active_areas.cpp feed these functions with
// the context's values and issue the OpenGL calls with what they return.
//
//   identifiers  sgl_first_free_stencil_id, sgl_first_free_clip_plane_id,
//                sgl_get_clip_plane_number: the 14-bit mask word (bits 0..7
//                stencil masks, bits 8..13 clip planes).
//   clip planes  sgl_clip_plane_equation: the half-plane of a line through a
//                point at an angle.
//   scissors     sgl_scissor_extent (quarter-turn rule),
//                sgl_scissor_from_corners, sgl_compute_scissor_intersection,
//                sgl_scissor_contains: pixel rectangles of the scissor stack.
//   hit-tests    sgl_circle_rate, sgl_circle_angle, sgl_span_rate: the
//                measures of a pointer against a circle or a rectangle's side.
//
// Thread: the drawing thread (the conversions and divisions record their
// errors in the current context, when there is one).
#pragma once

#include <cstdint>

#include "graphics/sgl.h"

// ---------------------------------------------------------------- identifiers

// Mask word layout: stencil masks 1, 2, 4 ... 128, clip planes 256 ... 8192.
constexpr uint32_t SGL_STENCIL_MASK_BITS = 0x00FF;
constexpr uint32_t SGL_CLIP_PLANE_BITS = 0x3F00;
constexpr uint32_t SGL_MASK_WORD_BITS = 0x3FFF;  // 16383, the largest valid set
constexpr uint32_t SGL_FIRST_CLIP_PLANE_ID = 256;
constexpr uint32_t SGL_LAST_CLIP_PLANE_ID = 8192;

// Lowest stencil identifier (1, 2, 4 ... 128) whose bit is clear in
// `allocated`; 0 when all eight are taken.
uint32_t sgl_first_free_stencil_id(uint32_t allocated);

// Lowest clip-plane identifier (256 ... 8192) whose bit is clear in
// `allocated`; 0 when all six are taken.
uint32_t sgl_first_free_clip_plane_id(uint32_t allocated);

// True for exactly one of 1, 2, 4 ... 128.
bool sgl_is_stencil_id(uint32_t id);
// True for exactly one of 256, 512 ... 8192.
bool sgl_is_clip_plane_id(uint32_t id);

// Index 0..5 of a clip-plane identifier: 256 -> 0 ... 4096 -> 4, and any
// other value -> 5, so that the result always indexes the six planes.
uint32_t sgl_get_clip_plane_number(uint32_t id);

// ---------------------------------------------------------------- clip planes

// Coefficients (a, b, c, d), c = 0, of the plane that keeps the points with
// a*X + b*Y + d >= 0: with side 0 the half-plane on the right of the line
// through (x, y) running in direction `angle` degrees (angle 0: Y <= y);
// with side 1 the left one. Quarter turns are exact.
void sgl_clip_plane_equation(float x, float y, float angle, uint8_t side, double out[4]);

// ---------------------------------------------------------------- scissors

// The extent (w, h) in drawing units as it lies on the screen after the
// accumulated rotation `angle` (already reduced to 0 < angle <= 360, or 0):
// 90 -> (-h, w), 180 -> (-w, -h), 270 -> (h, -w), anything else -> (w, h).
// Scissors stay axis-aligned, so only quarter turns are followed.
void sgl_scissor_extent(float angle, float w, float h, float* out_dx, float* out_dy);

// The pixel rectangle spanned by two corners in viewport pixels: ordered so
// that x and y grow, each of x, y, width, height truncated toward zero by
// sglFloatToInt32 (beyond +-2147483520 it saturates and records error 104).
// A corner within 0.002 of a pixel edge is taken as on it first, so float
// rounding in the matrix cannot cost a row.
sgl_scissor_rect sgl_scissor_from_corners(float ax, float ay, float bx, float by);

// The part of `entry` inside `parent`: the larger x and y, and width =
// max(0, min(right edges) - new x), height likewise. Edges are summed in 64
// bits, so saturated rectangles cannot overflow; the result never reaches
// beyond the parent.
sgl_scissor_rect sgl_compute_scissor_intersection(sgl_scissor_rect entry, sgl_scissor_rect parent);

// A viewport pixel position against a scissor rectangle: px and py are
// rounded half away from zero (magnitudes above 99999 become 99999), and
// both edges count as inside: x <= px <= x + width, y <= py <= y + height.
bool sgl_scissor_contains(const sgl_scissor_rect* rect, float px, float py);

// ---------------------------------------------------------------- hit-tests

// Distance of (dx, dy) from a circle's centre divided by the radius r,
// not clamped; 0 for r <= 0.
float sgl_circle_rate(float dx, float dy, float r);

// Direction of (dx, dy) seen from the centre, counter-clockwise from +x in
// degrees 0..360. Within half a unit of the centre's height the result is
// 0 (right) or 180 (left), so the arctangent never divides by a tiny dy.
float sgl_circle_angle(float dx, float dy);

// Where v lies across the span between a and b: 0 at the smaller end, 1 at
// the larger, not clamped; 0 for a span shorter than 1e-6.
float sgl_span_rate(float v, float a, float b);
