// sgl_internal.h - what the area files of the drawing library share.
//
// Only graphics/*.cpp (and white-box tests) include this header. It holds the
// error log entry point, the OpenGL state cache through which every state
// change goes (so repeated settings cost no OpenGL call), the per-area
// initialisation and reset steps that sglInit and sglReset call, and the
// functions one area offers another. The error codes and image formats are
// public: graphics/sgl.h names them.
//
// Cache rule: a cached call issues OpenGL only when the value differs from the
// cached one, or while the cache bypass is set (a display list is recording
// and must hold every state call). Code that changes OpenGL state behind the
// cache's back must update the cache field or mark it unknown.
//
// OpenGL itself is reached only through graphics/sgl_stream_internal.h,
// which records a frame's calls.
//
// Threads: the drawing thread only, like the rest of the library.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "graphics/sgl.h"
#include "graphics/sgl_stream_internal.h"

// Appends (code, value) to the current context's log; after 32 entries only
// the overflow flag is set. Without a current context nothing is recorded.
void sgliSetError(uint32_t code, uint32_t value);

// ---------------------------------------------------------------------------
// OpenGL state cache
// ---------------------------------------------------------------------------
// GL_TEXTURE_2D, GL_STENCIL_TEST, GL_SCISSOR_TEST, GL_DEPTH_TEST; any other
// capability is taken as GL_BLEND.
void sgliEnable(uint32_t capability);
void sgliDisable(uint32_t capability);
void sgliTexEnvi(uint32_t target, uint32_t name, uint32_t value);
void sgliColor4f(float red, float green, float blue, float alpha);
void sgliColor4fv(const float* rgba);
// Sets the OpenGL colour from colour table entry `index` (clamped to the
// table), with the transparency and inverse video applied.
void sgliUpdateColor(uint32_t index);
// glBindTexture(GL_TEXTURE_2D, name) through the bound-texture cache.
void sgliBindTexture(uint32_t name);
// Line width in pixels of the native display: issued as
// width * (ratio x + ratio y) / 2, only when it differs from the last issued.
void sgliLineWidth(float width);
// Texture coordinate array enable and the two array pointers, cached.
void sgliTexCoordArray(bool enabled);
void sgliVertexPointer(const float* pointer);
void sgliTexCoordPointer(const float* pointer);

// The three widths (plain, core, outer) of the current line width entry.
const float* sgliCurrentLineWidth();

// Default tables installed by sglInit. font_line_width entry 0 also draws the
// smoothed outline of fills.
extern const float glob_s_default_colormap[1][4];
extern const float font_line_width[8][3];
extern const sgl_line_stipple default_line_stipple_table[5];

// ---------------------------------------------------------------------------
// Steps of sglInit and sglReset, one per area
// ---------------------------------------------------------------------------
void sgl_initialize_transformation(sgl_type_statemachine* context);
void sgl_initialize_clipping(sgl_type_statemachine* context);
void sgl_reset_clipping_attributes(sgl_type_statemachine* context);
void sgl_initialize_text_attributes(sgl_type_statemachine* context);
void sgl_reset_text_attributes(sgl_type_statemachine* context);
void sgl_reset_bounds(sgl_type_statemachine* context);

// ---------------------------------------------------------------------------
// Lines and shapes (sgl_lines.cpp)
// ---------------------------------------------------------------------------
// Adds a vertex to the buffer (dashes cut, pairs formed), no arc handling.
void sgliVertex2f(float x, float y);
// Draws count interleaved points (and texture coordinates when st is not
// null) as one OpenGL primitive; vertex by vertex while a display list records.
void sgli_draw_arrays(uint32_t gl_mode, const float* xy, const float* st, uint32_t count);
// Fills the vertex buffer by ear clipping; empties the buffer.
void sgl_tessellation();
// What drawing a fill's smoothed outline changes, saved and given back: the
// outline uses an entry of the default width table whatever table the
// application installed, with shape smoothing, stipple and line smoothing
// off (so that the fill drawn with it adds no second outline).
struct sgli_outline_state {
  const float* width_table;
  uint32_t width_count;
  uint32_t width_index;
  uint8_t polygon_smooth;
  uint8_t stipple_active;
  uint8_t smoothing;
};
void sgli_begin_smooth_outline(uint32_t width_index, sgli_outline_state* out_saved);
void sgli_end_smooth_outline(const sgli_outline_state& saved);
// Hooks by which texture coordinates (sgl_textures.cpp) and bounding boxes
// (sgl_bounds.cpp) reach lines and shapes.
void sgliSetTextureCoordinates(float x, float y);
void sgliSetGradientCoordinates(float x, float y);
void sgli_update_bounding_box();

// ---------------------------------------------------------------------------
// Arcs and sectors (sgl_arcs.cpp)
// ---------------------------------------------------------------------------
// Adds the pending arc segment (sgluArcSegment) from the last vertex to
// (x, y), which becomes the last vertex; clears the pending arc.
void sgli_arc_segment_to(float x, float y);

// ---------------------------------------------------------------------------
// Text and fonts (sgl_text.cpp)
// ---------------------------------------------------------------------------
struct sgl_font;  // graphics/sgl_font.h
// The font of a slot; the default font (the table's first bitmap font) for
// an empty or invalid slot. False only when no bitmap font is loaded at all.
bool sgli_get_font(uint32_t slot, sgl_font* out_font);
// Decodes one character of text in the context's encoding, reading at most
// `available` bytes (at least 1); returns the bytes used.
uint32_t sgli_get_char_index(uint16_t* out_code, const char* text, uint32_t available);
// Width of the codes in the current font, in drawing units (advances times
// the text scale and the font scale); with ink_end the last character counts
// only to the end of its ink.
float sgli_get_string_width(const uint16_t* codes, uint32_t count, bool ink_end);

// ---------------------------------------------------------------------------
// Textures and bitmaps (sgl_textures.cpp)
// ---------------------------------------------------------------------------
// Power-of-two texture size of an image: each side the next power of two,
// at least 64 and at most the maximum; then made square where the maxima
// allow, never narrower than the image.
void sgl_texture_size(uint32_t width, uint32_t height, uint32_t max_width, uint32_t max_height,
                      uint32_t* out_width, uint32_t* out_height);
// Decodes run-length coded pixel words (0xAARRGGBB; a word written twice is
// followed by a count: it stands count + 2 times) into `size` bytes of
// `bytes_per_pixel` (RGB, RGBA, or the lowest byte for alpha). True only when
// exactly `size` bytes result; never writes beyond them.
bool sgl_decode_texture_words(const uint32_t* words, uint32_t count, uint32_t bytes_per_pixel,
                              uint8_t* out, uint32_t size);
// Enlarges the width x height image at the start of `buffer` in place to the
// texture size: stretched by nearest pixel when scaled, else in the corner
// with zeros around.
void sgl_enlarge_image(uint8_t* buffer, uint32_t width, uint32_t height, uint32_t texture_width,
                       uint32_t texture_height, uint32_t bytes_per_pixel, bool scaled);
// Slot `index` of a texture or gradient table when it holds an image; null
// without a table, outside it, or for a slot never loaded.
const sgl_texture_slot* sgli_loaded_slot(const sgl_texture_slot* table, uint32_t count,
                                         int64_t index);

// ---------------------------------------------------------------------------
// Masks, clip planes and scissors (sgl_masks.cpp); the plain arithmetic is in
// graphics/sgl_masks_geometry.h
// ---------------------------------------------------------------------------
// Lowest free stencil identifier (1, 2, 4 ... 128), 0 when all are taken.
uint32_t sgli_get_mask_id();
// Starts drawing into stencil bit id: colour writes off, the bit cleared (set
// when inverted) over the whole buffer, every pixel drawn then sets it
// (clears it when inverted). id joins the allocated set.
void sgli_select_mask(uint32_t id, uint8_t inverted);
// Stencil test for the low byte of an active set: off for 0, else a pixel
// passes only where every one of those bits is set.
void sgli_set_active_masks(uint32_t stencil_bits);
// True when the clip box arguments are refused (error 4).
bool sgl_clip_box_detect_error(uint32_t id, uint8_t inverted, float x1, float y1, float x2,
                               float y2);
// Defines clip plane id (one of 256 ... 8192, else error 5) with the
// coefficients a, b, c, d unless it is enabled right now.
void sgl_clip_plane(uint32_t id, const double equation[4]);
// State changes of one plane: undefined (0; enabling records error 66),
// defined (2) and enabled (1).
void sgl_enable_clip_plane(uint32_t id);
void sgl_disable_clip_plane(uint32_t id);
// Turns all six OpenGL clip planes off, whatever their states.
void sgl_disable_clip_planes(sgl_type_statemachine* context);
// The whole stencil buffer to 0 with all eight bits writable, then none.
void sgl_clear_opengl_stencil();
// Plane states undefined and the OpenGL names of the six planes.
void sgl_initialize_clip_plane_structure(sgl_type_statemachine* context);
// A position in viewport pixels against the scissor in force (edges
// included, rounded half away from zero); true without a scissor.
bool sgl_pixel_point_is_inside_scissors(float px, float py);

// ---------------------------------------------------------------------------
// Curve geometry (sgl_paths.cpp): plain numbers, no context
// ---------------------------------------------------------------------------
// Control points are interleaved (x0, y0, x1, y1, ...), degree + 1 of them.
// Point of a quadratic (degree 2) or cubic (degree 3) Bezier curve at t.
void sgl_bezier_point(const float* points, uint32_t degree, float t, float* out_x, float* out_y);
// Straight pieces a Bezier curve needs so that none strays more than a
// quarter pixel from the curve (Wang's bound on the second differences),
// with units_x, units_y drawing units per pixel; 1 to 1024.
uint32_t sgl_bezier_segment_count(const float* points, uint32_t degree, float units_x,
                                  float units_y);
// Exact axis-aligned bounds of the curve (its end points and the extremes
// where a coordinate's derivative vanishes): out = x1, y1, x2, y2.
void sgl_bezier_bounds(const float* points, uint32_t degree, float out[4]);

// An elliptical arc between two points, as centre, radii (enlarged when
// too small to reach), axis rotation, start angle and signed sweep (degrees,
// positive counter-clockwise). kind 0: nothing to draw (same end points),
// 1: a straight line (a radius of 0), 2: the arc.
struct sgl_elliptical_arc {
  uint8_t kind;
  double cx, cy, rx, ry;
  double cos_rotation, sin_rotation;
  double start, sweep;
};
void sgl_elliptical_arc_centre(float x0, float y0, float rx, float ry, float rotation,
                               bool large_arc, bool clockwise, float x, float y,
                               sgl_elliptical_arc* out);
// Point of the arc's ellipse at angle degrees.
void sgl_elliptical_arc_point(const sgl_elliptical_arc* arc, double angle, float* out_x,
                              float* out_y);
// Exact bounds of the arc from (x0, y0) to (x, y): out = x1, y1, x2, y2.
void sgl_elliptical_arc_bounds(const sgl_elliptical_arc* arc, float x0, float y0, float x, float y,
                               float out[4]);

// ---------------------------------------------------------------------------
// Bounding boxes (sgl_bounds.cpp)
// ---------------------------------------------------------------------------
// Boxes are kept in viewport pixels, so that whatever the transformation a
// box is axis-aligned on the screen. What is added goes to the box of the
// stencil mask under definition when there is one (nothing reaches the
// colour buffer then), else - cut to the scissor and the normal stencil
// masks in force - to the box being collected, when one is.
// True while there is somewhere to add to: callers skip their work otherwise.
bool sgli_bounding_box_wanted();
// A point, and a rectangle given by two corners (all four corners are
// added, so a rotated rectangle gives the box round it), in drawing units.
void sgli_bounding_box_add_point(float x, float y);
void sgli_bounding_box_add_rect(float x1, float y1, float x2, float y2);
// The mask code calls this when the definition of stencil mask id (1, 2, 4
// ... 128) begins: its box starts empty and remembers the inverted flag.
void sgli_bounding_box_begin_mask(uint32_t id, uint8_t inverted);
// The box of stencil mask id in viewport pixels and its inverted flag;
// false when its definition did not go through sgli_bounding_box_begin_mask
// or drew nothing.
bool sgli_bounding_box_get_mask(uint32_t id, sgl_bounds_box* out_box, uint8_t* out_inverted);
