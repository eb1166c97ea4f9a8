// sgl_damage_internal.h - partial frames: where a changed frame changes pixels.
//
// What it is
//   A software renderer spends a changed frame filling pixels that did not
//   change. When a frame's stream differs from the last one sent, this unit
//   finds the rectangles where the two frames' pixels can differ and sends
//   the frame once per rectangle with the scissor cut to it; everything else
//   stays as the last frame left it. In stages:
//     geometry  plain numbers (below, tested exactly): boxes, the merging of
//               a damage list, the affine map of projection, model-view and
//               viewport, the pixels a primitive can touch;
//     items     a stream read as a list of drawing calls (a draw, a clear, a
//               begin-end block), each with a key (its words and every piece
//               of OpenGL state it is drawn with, hashed) and a box (the
//               pixels it can change, scissor applied);
//     diff      the two frames' lists aligned in order: an item of either
//               frame without an equal partner damages its box;
//     replay    the new stream once per damaged rectangle: the stream's own
//               scissors intersected with the rectangle, draws outside it
//               left out.
//
// Why the pixels are a whole redraw's
//   A pixel's final value depends only on the items that change it, in
//   order, and on their keys. A pixel outside every unmatched item's box is
//   changed by the matched items only, which are the same in both frames and
//   in the same order: it keeps the last frame's value. A clear of stencil
//   or depth changes only where a draw since the last clear may have written
//   (the dirty boxes), so an inserted mask clear does not damage the screen.
//   State a stream inherits from the frame before is carried from frame to
//   frame; after an invalidation nothing is known and the next frame is whole.
//   States are compared by 64-bit hash, draw words exactly.
//
// What is not bounded (the frame goes whole): no last frame, a list that does
// not fit, a display list called (its calls are not in the stream), a scissor
// enabled with an unknown box, a draw whose texture coordinate OpenGL left
// undefined, too tangled a difference, or a damaged area above half the
// frame's viewport.
//
// Threads: the drawing thread, like the rest of the library.
#pragma once

#include <cstdint>

#include "graphics/sgl.h"

// ---------------------------------------------------------------------------
// Geometry (plain numbers)
// ---------------------------------------------------------------------------
// Pixel coordinates are kept within [0, SGL_DAMAGE_LIMIT]; the whole box is
// that square, larger than any framebuffer.
constexpr int32_t SGL_DAMAGE_LIMIT = 1 << 15;
// A replay pass costs about as much as filling this many pixels (measured
// with Mesa's software renderer on the panel's frames): two boxes are drawn
// as one when the box around both adds fewer pixels than that.
constexpr int64_t SGL_DAMAGE_PASS_PIXELS = 128 * 96;

bool sgl_box_is_empty(const sgl_box& box);
sgl_box sgl_whole_box();
sgl_box sgl_box_intersection(const sgl_box& a, const sgl_box& b);
// The smallest box holding both (an empty one adds nothing).
sgl_box sgl_box_bound(const sgl_box& a, const sgl_box& b);
int64_t sgl_box_area(const sgl_box& box);
bool sgl_box_contains(const sgl_box& outer, const sgl_box& inner);

// Adds a box to a list of at most SGL_DAMAGE_RECTS disjoint boxes: it is
// merged with every box it overlaps or whose merging costs less than a pass;
// when the list is full, the pair whose bounding box adds least is merged.
void sgl_damage_add(sgl_box* boxes, uint32_t* count, const sgl_box& box);

// The affine map (x, y) -> (w[0] x + w[1] y + w[2], w[3] x + w[4] y + w[5])
// from drawing coordinates to window pixels of a projection and model-view
// matrix (column-major, as OpenGL keeps them) and a viewport {x, y, width,
// height}; false when the combined matrix is not affine in x and y.
bool sgl_window_transform(const double projection[16], const double modelview[16],
                          const int32_t viewport[4], double out[6]);

// The pixels a primitive whose points lie in [x0, x1] x [y0, y1] can touch
// under the map, `margin` pixels around; the whole box when a number is not
// finite. Pixel (i, j) is the square [i, i + 1) x [j, j + 1).
sgl_box sgl_footprint(const double window[6], float x0, float y0, float x1, float y1, float margin);

// Pixels around a primitive's points that rasterisation may reach: wide and
// smoothed lines and points half their width and two more, fills two.
float sgl_primitive_margin(uint32_t gl_mode, float line_width, float point_size);

// ---------------------------------------------------------------------------
// Items and their difference
// ---------------------------------------------------------------------------
// Reads `count` words of a stream into items (at most `capacity`), from the
// carried state in context->damage.scan, which it leaves as the stream
// leaves OpenGL. Returns the number of items, or capacity + 1 when they do
// not fit. Sets context->damage.unboundable when something cannot be bounded
// and grows context->damage.bounds by the viewports.
uint32_t sgli_damage_list_items(sgl_type_statemachine* context, const uint32_t* words,
                                uint32_t count, sgl_damage_item* out_items, uint32_t capacity);

// Forgets the carried state: nothing is known of OpenGL's any more.
void sgli_damage_forget_state(sgl_damage_scan* scan);

// Aligns two item lists (their words in old_words, new_words) and adds the
// box of every item without an equal partner to the damage list. False when
// the difference is too tangled to follow in bounded time.
bool sgl_damage_diff(const sgl_damage_item* old_items, uint32_t old_count,
                     const uint32_t* old_words, const sgl_damage_item* new_items,
                     uint32_t new_count, const uint32_t* new_words, sgl_box* boxes,
                     uint32_t* box_count);

// ---------------------------------------------------------------------------
// The frame (sglInit, sglEndFrame)
// ---------------------------------------------------------------------------
// With partial frames asked for and a buffer, takes the item lists from the
// end of the stream buffer and leaves the rest (*inout_bytes) to the frames.
void sgli_damage_initialize(sgl_type_statemachine* context, uint8_t* buffer, uint32_t* inout_bytes,
                            uint8_t partial_frames);

// For a recorded frame that differs from the last one sent: measures the
// damage and, when it is bounded, sends the frame in part and returns true;
// false: the caller sends it whole (sglGetFrameDamage says so).
bool sgli_damage_send(sgl_type_statemachine* context);
