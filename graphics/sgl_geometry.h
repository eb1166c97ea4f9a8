// sgl_geometry.h - the drawing library's geometry on plain numbers.
//
// What it is: the pure stages between the vertices a display hands to
// sglVertex2f and the OpenGL calls that draw them. Nothing here touches
// OpenGL or the context; every function takes numbers and writes numbers into
// caller-owned fixed arrays (ear clipping keeps one fixed scratch record per
// thread), so each stage can be tested exactly.
//
//   wide lines   sgl_strand_count, sgl_strand_setup, sgl_expand_segment:
//                a smoothed line of half-width h pixels becomes n thin
//                antialiased strands laid across its width, their ends
//                following a half circle (round) or a perpendicular (flat).
//   dashes       sgl_cut_dashes: cuts one segment into the on-pieces of a
//                stipple pattern whose position carries over to the next
//                segment of the same primitive.
//   fills        mth_point_in_shape, sgl_is_ear, sgl_get_first_ear,
//                sgl_ear_clip: ear clipping of a (possibly concave) polygon
//                into triangles.
//   arcs         sgl_arc_steps, mth_move_in_good_quadrant: vertex density of
//                an arc from its radius in pixels, and the quadrant of a
//                start angle.
//
// How a frame uses it: sgl_lines.cpp and sgl_arcs.cpp call these while a
// primitive is ended; the buffers are the context's fixed 4096-entry arrays.
// Point arrays are interleaved (x0, y0, x1, y1, ...).
//
// Thread: pure functions, callable from any thread; the drawing library
// itself calls them from the drawing thread only.
#pragma once

#include <cstdint>

// ---------------------------------------------------------------- strands

// Largest strand count any line can need: table widths are at most 15 pixels,
// a half-width of 7.5 gives 11 strands; the join and cap tables go to 15.
constexpr uint32_t kSglMaxStrands = 15;

// Strand count for a half-width h in pixels: 1 below one pixel, else about
// h * 10/7, always odd so that one strand runs along the centre line.
uint32_t sgl_strand_count(float half_width);

// Everything sgl_expand_segment needs for one line, computed once per line.
struct sgl_strand_params {
  uint32_t count;       // n, odd
  float end_extension;  // e = p * sin 10 degrees, drawing units
  float spacing;        // c: radius of the strand fan, drawing units (0 for n = 1)
  float units_x;        // ux: drawing units per pixel along x
  float units_y;        // uy
  float flat_cut;       // sin(phi) * c - e: how far a flat end reaches past its vertex
  bool flat_caps;       // line caps 0: flagged ends are flat
  float cos_sin[2 * kSglMaxStrands];  // (cos theta_k, sin theta_k), k = 1..n
};

// Fills params for half-width h (pixels) at ux, uy drawing units per pixel.
// circle_table holds n pairs (cos, sin) of the angles 10 + k * 160 / (n + 1)
// degrees, sin_phi the sine of 10 + 80 * n / (n + 1) degrees; both come from
// the library's degree trigonometry so that every caller agrees to the bit.
void sgl_strand_setup(sgl_strand_params* params, float half_width, float units_x, float units_y,
                      const float* circle_table, float sin_phi, bool flat_caps);

// Expands the segment A -> B into params->count strands, written to out as
// 4 floats each (start x, y, end x, y). flat_start / flat_end mark the free
// ends of the line: with flat caps they are cut square, otherwise (and at
// joints) the ends stay round so that corners of a strip stay closed.
// Returns the number of strands written.
uint32_t sgl_expand_segment(const sgl_strand_params* params, float ax, float ay, float bx, float by,
                            bool flat_start, bool flat_end, float* out);

// ---------------------------------------------------------------- dashes

// Where a stipple pattern stands: the current pattern segment and how many
// pixels of it are already used. Zeroed at the start of every primitive.
struct sgl_stipple_position {
  uint32_t segment;
  float used;
};

// One stipple pattern: up to six segments (length in pixels, on/off).
struct sgl_stipple_pattern {
  const uint8_t* lengths;  // 6 entries
  const uint8_t* on;       // 6 entries
  uint8_t segment_count;
};

// Cuts A -> B into dashes, appending each on-piece as a vertex pair to
// out_xy (out_count vertices stored, capacity vertices at most). px_x, px_y
// are the orthographic units per pixel, so the pattern scales with
// sglScalef. Returns false when a dash did not fit (count + 2 >= capacity);
// the dashes before it stay. A pattern with no length at all (all segments
// 0, or no segments) cannot advance and is drawn solid.
bool sgl_cut_dashes(const sgl_stipple_pattern* pattern, sgl_stipple_position* position, float ax,
                    float ay, float bx, float by, float px_x, float px_y, float* out_xy,
                    uint32_t* out_count, uint32_t capacity);

// ---------------------------------------------------------------- fills

// Even-odd point-in-polygon test on n interleaved points. A point on a vertex
// is inside; a ray through a vertex's height is raised by 0.01; a crossing at
// the same abscissa as the previous one counts once.
bool mth_point_in_shape(float x, float y, uint32_t n, const float* points);

// The triangle at vertex i (neighbours wrap around) is an ear when no other
// vertex lies in it and the midpoint of its base lies inside the polygon.
bool sgl_is_ear(const float* xy, uint32_t n, uint32_t i);

// Lowest i that is an ear; 0 when none is (so that clipping always advances,
// also on self-intersecting input).
uint32_t sgl_get_first_ear(const float* xy, uint32_t n);

// Ear clipping in place: xy (and st, the texture coordinates, when not null)
// lose a vertex per triangle cut, always the first ear (sgl_get_first_ear).
// Triangles are appended as 6 floats to triangles (and texture_triangles when
// st is given) while *triangle_count is below capacity. Returns the number of
// triangles the polygon yields (n - 2 for n >= 3, else 0), whether or not
// all fitted. *n is left at 0.
// Ear tests are remembered between cuts and the outline is filed in
// horizontal bands (a fixed per-thread record for up to 4096 vertices), so a
// simple polygon of 4096 vertices costs a few million vertex and edge visits.
// The work is bounded at 8M visits: a polygon that spends it (one that
// crosses itself along the whole height and has no ear to find) has its
// remaining vertices cut as a fan, still n - 2 triangles, instead of
// stalling the drawing thread.
uint32_t sgl_ear_clip(float* xy, float* st, uint32_t* n, float* triangles, float* texture_triangles,
                      uint32_t* triangle_count, uint32_t capacity);

// ---------------------------------------------------------------- arcs

// Step angle (degrees, positive) and step count of an arc of the given sweep
// whose radius is radius_px pixels: few vertices for small circles, more
// for large ones.
void sgl_arc_steps(float radius_px, float sweep, float* out_step, uint32_t* out_count);

// Puts an angle a0 in 0..90 (an arccosine of |dx|/r) into the quadrant of the
// vector (dx, dy): negated below the centre, mirrored left of it.
float mth_move_in_good_quadrant(float a0, float dx, float dy);
