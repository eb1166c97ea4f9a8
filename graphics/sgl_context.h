// sgl_context.h - the layout of the drawing library's context record.
//
// What it is
//   sgl_type_statemachine holds the whole state of the library: the error
//   log, the attribute tables the application installed, the current
//   attributes, the OpenGL state cache, the vertex buffers and one
//   sub-record per area (transform, ortho, texture, clipping, text,
//   appearance, path, lines, arcs, bounds, statics). An area adds the fields
//   it needs inside its own sub-record. Every buffer is a fixed array here,
//   so drawing never allocates.
//
// Who reads it
//   graphics/sgl.h includes it because its owner keeps the record by value
//   (the host holds one inside its application record):
//       static sgl_type_statemachine context;   // large: keep it static
//       sglInit(&context, &parameters);
//   Callers otherwise go through the operations of sgl.h. Reading a field is
//   allowed (the error log, the transformation of a widget); writing one is
//   the library's business, except that foreign OpenGL code is followed by
//   sglRestoreStates.
//
// Threads: the drawing thread only, like every operation of the library.
#pragma once

#include <cstdint>

// Application-owned records the context points at (graphics/sgl.h).
struct sgl_line_stipple;
struct sgl_texture_slot;
struct sgl_renderer;

// ---------------------------------------------------------------------------
// Sizes
// ---------------------------------------------------------------------------
constexpr uint32_t SGL_ERROR_LOG_SIZE = 32;
constexpr uint32_t SGL_VERTEX_BUFFER_SIZE = 4096;
constexpr uint32_t SGL_TRIANGLE_BUFFER_SIZE = 4096;
constexpr uint32_t SGL_FONT_TEXTURE_COUNT = 1024;
constexpr uint32_t SGL_MATRIX_STACK_SIZE = 32;
constexpr uint32_t SGL_SCISSOR_STACK_SIZE = 16;
constexpr uint32_t SGL_CLIP_PLANE_COUNT = 6;
constexpr uint32_t SGL_STATIC_BITMAP_COUNT = 1024;
constexpr uint32_t SGL_TEXT_LINE_COUNT = 256;
constexpr uint32_t SGL_SEPARATOR_COUNT = 8;
// Unit-circle tables for strand ends and joins: table n (1..15) holds n points.
constexpr uint32_t SGL_CIRCLE_TABLE_COUNT = 15;

// No font selected: drawing falls back to the default font.
constexpr uint32_t SGL_FONT_NONE = 0x0FFFFFFF;
// The bound-texture cache does not know which texture OpenGL has bound.
constexpr uint32_t SGL_BOUND_TEXTURE_UNKNOWN = 0xFFFFFFFF;

// ---------------------------------------------------------------------------
// The context
// ---------------------------------------------------------------------------
struct sgl_error_entry {
  uint32_t code;
  uint32_t value;
};

struct sgl_error_log {
  uint32_t count;
  sgl_error_entry entries[SGL_ERROR_LOG_SIZE];
  uint8_t overflow;  // set by every error after the 32nd
};

// Current 2D transformation, kept in step with OpenGL's model-view matrix.
struct sgl_transformation {
  float matrix[16];               // M, column-major; m12, m13 translation
  float viewport_x, viewport_y;   // viewport origin in window pixels
  float half_width, half_height;  // half the viewport size
  float ratio_x, ratio_y;         // viewport size / native size (pointer scales)
  float units_x, units_y;         // drawing units per pixel after scaling (ux, uy)
  float scale_x, scale_y;         // accumulated absolute scales (ax, ay)
  float line_scale_x;             // bx = ax * ux: units of one viewport pixel before scaling
  float line_scale_y;
  float font_scale_x;  // bx * rx: units of one native-display pixel
  float font_scale_y;
  float rotation;  // accumulated rotation in degrees
  float z_offset;  // depth order of halos, saved by push and pop
};

// One matrix stack entry: M, ux, uy, ax, ay, rotation, z offset.
struct sgl_matrix_stack_entry {
  float matrix[16];
  float units_x, units_y;
  float scale_x, scale_y;
  float rotation;
  float z_offset;
  uint8_t gl_pushed;  // OpenGL's own stack took this push (its depth is limited)
};

// Orthographic bounds, their matrix and the matrix stack.
struct sgl_orthographic {
  float left, right, bottom, top;
  float matrix[16];
  sgl_matrix_stack_entry stack[SGL_MATRIX_STACK_SIZE];
  uint32_t depth;
  // OpenGL's model-view stack as the library's pushes left it (1: the
  // current matrix alone) and its limit, asked once at initialisation: a
  // query per push would stop the frame from being recorded.
  uint32_t gl_depth;
  uint32_t gl_depth_limit;
};

// Current texture and gradient, and how fills map onto them.
struct sgl_texture_state {
  uint32_t current_texture;   // texture count = none
  uint32_t current_gradient;  // gradient count = none
  float origin_x, origin_y;   // box of the shape being mapped
  float width, height;
  float repeat_x, repeat_y;  // repetitions nx, ny
  float offset_x, offset_y;  // alignment offsets dx, dy
  float factor_x, factor_y;  // image size / texture size, 1 for scaled images
  // sglTexCoord2f: the coordinate the next textured vertex takes instead of
  // the mapped one.
  uint8_t explicit_pending;
  float explicit_s, explicit_t;
};

struct sgl_scissor_rect {
  int32_t x, y, width, height;
};

// Stencil masks, clip planes and scissors.
struct sgl_clipping_state {
  uint32_t allocated_masks;
  uint32_t active_masks;
  uint32_t mask_under_definition;
  uint8_t clip_plane_state[SGL_CLIP_PLANE_COUNT];  // 0 undefined, 2 defined, 1 enabled
  uint32_t gl_clipplane_code[SGL_CLIP_PLANE_COUNT];
  sgl_scissor_rect scissors[SGL_SCISSOR_STACK_SIZE];
  uint32_t scissor_depth;
};

// One formed line of a text area.
struct sgl_text_line {
  uint32_t start;   // first character
  uint32_t length;  // characters
  float width;      // drawing units
};

// Text attributes.
struct sgl_text_state {
  uint32_t font;               // slot, SGL_FONT_NONE for none
  uint32_t font_line_width;    // 0..7
  int32_t outline_width_step;  // font line width - 1, 0 for 0
  uint32_t color_index;
  uint32_t align_h, align_v;             // 0, 1, 2
  float align_factor_h, align_factor_v;  // 0, 0.5, 1
  uint8_t encoding;                      // 0 single byte with escapes, 1 UTF-8, 2 double byte
  uint8_t word_separators[SGL_SEPARATOR_COUNT];
  uint32_t word_separator_count;
  uint8_t line_separators[SGL_SEPARATOR_COUNT];
  uint32_t line_separator_count;
  uint8_t inverse_video;
  float text_scale;
  uint32_t second_font;  // font of the fractional part of numbers
  uint32_t second_font_line_width;
  uint32_t second_color_index;
  uint8_t second_color_given;  // 0: the second piece takes the text colour
  sgl_text_line ts_lines[SGL_TEXT_LINE_COUNT];
  uint32_t line_count;
  // Union of the texts written by the WithBBox variants since
  // sglBeginTextBounds, in viewport pixels.
  uint8_t bounds_collecting;
  uint8_t bounds_empty;
  float bounds_x1, bounds_y1, bounds_x2, bounds_y2;
};

// Appearance of fills and colours.
struct sgl_appearance_state {
  int32_t values[4];      // -1 at initialisation
  uint8_t flag;           // 1 at initialisation
  uint8_t inverse_video;  // colours drawn as (1 - r, 1 - g, 1 - b)
};

// Paths (sglBeginPath ... sglEndPath).
struct sgl_path_state {
  uint8_t kind;          // 0 none, 1 stroke, 2 fill
  uint8_t last_command;  // 1 move, 2 line, 3 cubic, 4 quadratic, 5 elliptical arc, 7 close
  float start_x, start_y;
  float current_x, current_y;
  // --- curve segments (sgl_paths.cpp): the last control point of a cubic
  // or quadratic segment, which the smooth variants mirror
  float control_x, control_y;
};

// Line and shape assembly.
struct sgl_line_state {
  float last_x, last_y;    // last vertex given
  float first_x, first_y;  // first vertex of the buffer, for closing loops
  uint8_t close_loop;
  uint8_t stipple_splitting;
  uint8_t pair_started;  // first vertex of a separate segment seen
  float pair_x, pair_y;
  uint32_t stipple_segment;  // current pattern segment
  float stipple_used;        // pixels already used of it
  uint8_t shape_from_arc;    // the shape comes from the arc operations
  uint8_t arc_pending;       // the next path segment is an arc
  uint8_t arc_clockwise;
  float arc_angle;
  float triangles[SGL_TRIANGLE_BUFFER_SIZE][6];          // glob_t_triangles
  float texture_triangles[SGL_TRIANGLE_BUFFER_SIZE][6];  // glob_t_texture_triangles
  uint32_t triangle_count;                               // glob_ul_triangle_number
  uint8_t has_last;                                      // a vertex was given in this primitive
};

// Flags that live for the duration of one arc call.
struct sgl_arc_state {
  uint8_t full_circle;
  uint8_t ellipse;
  uint32_t vertex_count;
};

// --- bounding boxes (sgl_bounds.cpp): boxes in viewport pixels
struct sgl_bounds_box {
  uint8_t empty;
  float x1, y1, x2, y2;
};

// The box of what is drawn between sglBeginBoundingBox and
// sglEndBoundingBox, and the box of each stencil mask's shape (a normal
// mask lets drawing through only inside it, so it also bounds what is seen).
struct sgl_bounds_state {
  uint8_t collecting;
  sgl_bounds_box box;
  sgl_bounds_box mask_boxes[8];  // by stencil bit 1, 2, 4 ... 128
  uint8_t mask_known[8];         // the box was begun with its definition
  uint8_t mask_inverted[8];
};

struct sgl_static_bitmap {
  uint32_t width, height;
  float x, y;
  uint32_t name;
  uint8_t used;
};

// Static bitmaps and recorded display lists.
struct sgl_static_state {
  sgl_static_bitmap bitmaps[SGL_STATIC_BITMAP_COUNT];
  uint32_t bitmap_count;
  uint32_t sequence_list;  // display list being recorded, 0 for none
};

// The frame recorder (sgl_stream.cpp). Between sglBeginFrame and
// sglEndFrame the library's OpenGL calls are appended to the current half of
// the caller's stream buffer as words; sglEndFrame compares them with the
// last frame sent and sends them only when they differ.
struct sgl_stream_state {
  uint32_t* current;        // the frame being recorded
  uint32_t* last;           // the last frame sent, last_words long
  uint32_t capacity_words;  // of each half; 0: no buffer, nothing recorded
  uint32_t current_words;
  uint32_t last_words;
  uint8_t last_valid;    // last holds what OpenGL shows now
  uint8_t in_frame;      // between sglBeginFrame and sglEndFrame
  uint8_t recording;     // in a frame and still appending
  uint8_t vertex_array;  // the client array state the library gave
  uint8_t texcoord_array;
  const float* vertex_pointer;
  const float* texcoord_pointer;
  // Figures for whoever tunes the buffer size: frames sent and kept, frames
  // that did not fit, the longest stream recorded (bytes).
  uint32_t frames_sent;
  uint32_t frames_kept;
  uint32_t overflows;
  uint32_t peak_bytes;
};

struct sgl_type_statemachine {
  // 1. Error log
  sgl_error_log errors;

  // 2. Attribute tables (the application owns them)
  const float* color_table;  // count x (r, g, b, a)
  uint32_t color_count;
  const sgl_line_stipple* stipple_table;
  uint32_t stipple_count;
  const float* line_width_table;  // count x (plain, core, outer)
  uint32_t line_width_count;
  const uint8_t* font_table;  // the font records of the loaded font table
  uint32_t font_count;

  // 3. OpenGL texture names of the font glyph textures
  uint32_t font_texture_names[SGL_FONT_TEXTURE_COUNT];

  // 4. Resources
  sgl_texture_slot* texture_table;
  uint32_t texture_count;
  sgl_texture_slot* gradient_table;
  uint32_t gradient_count;
  uint32_t native_width, native_height;
  uint32_t max_texture_width, max_texture_height;
  uint8_t render_mode;          // 0 OpenGL lines, 1 strands
  uint32_t texture_format_rgb;  // OpenGL internal formats for uploads
  uint32_t texture_format_rgba;

  // 5. Current attributes
  uint32_t line_width_index;
  float gl_line_width;  // last issued, 0 = unknown
  uint32_t color_index;
  int32_t halo_color_index;         // negative: black halo
  const sgl_line_stipple* stipple;  // current stipple entry
  uint8_t stipple_active;           // the current entry is not solid
  uint8_t transparency;             // 0..255
  float gl_color[4];                // last issued colour

  // 6. Capabilities and the OpenGL state cache
  uint8_t polygon_smooth;      // 33
  uint8_t smoothing;           // 35: 0 off, 1 halo and main, 2 halo only, 3 main only
  uint8_t texture_fill;        // 56
  uint8_t texture_modulate;    // 57
  uint8_t tessellation;        // 58
  uint8_t gradient_fill;       // 59
  uint8_t depth_test;          // 60
  uint8_t pixel_aligned_text;  // 61
  uint8_t gl_texture_2d;       // cached enables
  uint8_t gl_blend;
  uint8_t gl_stencil_test;
  uint8_t gl_scissor_test;
  uint8_t gl_depth_test;
  uint32_t gl_tex_env[3];     // target, name, value
  uint32_t gl_bound_texture;  // SGL_BOUND_TEXTURE_UNKNOWN when unknown

  // 7. Vertex buffers
  uint8_t primitive;
  uint32_t vertex_count;
  float vertices[SGL_VERTEX_BUFFER_SIZE][2];
  uint32_t segment_count;  // pairs of points for GL_LINES
  float segments[SGL_VERTEX_BUFFER_SIZE][2];
  uint32_t texcoord_count;
  float texcoords[SGL_VERTEX_BUFFER_SIZE][2];
  uint8_t gl_texcoord_array;       // cached texture coordinate array enable
  const float* gl_vertex_pointer;  // cached array pointers
  const float* gl_texcoord_pointer;

  // 8. Current drawing mode
  uint32_t begin_mode;
  uint8_t color_validity;  // 0 unknown, 1 set for lines, 2 set for fills

  // 9. Transformation
  sgl_transformation transform;

  // 10. Texture selection, clipping, text, appearance, paths, lines, arcs
  sgl_texture_state texture;
  sgl_clipping_state clipping;
  sgl_text_state text;
  sgl_appearance_state appearance;
  sgl_path_state path;
  sgl_line_state lines;
  sgl_arc_state arcs;
  sgl_bounds_state bounds;  // --- bounding boxes (sgl_bounds.cpp)
  uint8_t line_caps;        // 1 round, 0 flat free ends
  // circle_cos[n - 1][k - 1], circle_sin[n - 1][k - 1]: the k-th of n points
  // at 10 + k * 160 / (n + 1) degrees.
  float circle_cos[SGL_CIRCLE_TABLE_COUNT][SGL_CIRCLE_TABLE_COUNT];
  float circle_sin[SGL_CIRCLE_TABLE_COUNT][SGL_CIRCLE_TABLE_COUNT];

  // 11. Texture scratch buffer
  uint8_t* texture_buffer;

  // 12. Cache bypass: set while a display list records, so every state call lands in it
  uint8_t cache_bypass;

  // 13. Orthographic bounds and the matrix stack
  sgl_orthographic ortho;

  // 14. Static bitmaps and sequences
  sgl_static_state statics;

  // 15. The frame recorder
  sgl_stream_state stream;

  // 16. Where the recorder sends every OpenGL call (graphics/sgl_renderer.h)
  const sgl_renderer* renderer;
};

// The current context, set by sglInit; every operation works on it.
extern sgl_type_statemachine* glob_pr_sglStatemachine;
