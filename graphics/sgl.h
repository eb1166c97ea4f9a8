// sgl.h - the Velkor drawing library on fixed-function OpenGL 1.x.
//
// What it is
//   A 2D drawing library whose whole state lives in one record, the context
//   (sgl_type_statemachine), owned by the caller. Attributes are chosen by
//   index into tables the application installs once (colours, line widths,
//   line stipples, fonts, textures, gradients). The library never stops on
//   bad input: it appends (code, value) to the context's 32-entry error log
//   and goes on with a fallback, usually the last table entry or a saturated
//   value.
//
// How a program uses it
//   once, with an OpenGL context current:
//       static sgl_type_statemachine context;        // large: keep it static
//       sgl_parameters parameters = {1280, 768, scratch, 1024, 1024,
//                                    texture_slots, 254, nullptr, 0};
//       sglInit(&context, &parameters);
//       sglColorPointerf(colours, 2048);             // and the other tables
//   every frame (sglBeginFrame and sglEndFrame: see "Frames" below):
//       sglBeginFrame(clear_rgba);                   // clears, records with a buffer
//       sglReset();                                  // last table entries selected
//       sglViewport(0, 0, client_width, client_height);
//       sglOrtho(0, 1280, 0, 768);
//       sglIndexColori(3); sglPushMatrixAndTranslate(640, 384); ... draw ...
//       sglPopMatrixAndTranslate();
//       if (sglEndFrame()) ... read back, swap ...   // 0: the image did not change
//   after foreign OpenGL code: sglRestoreStates().
//
// Threads
//   Single-threaded: every operation works on the current context
//   (glob_pr_sglStatemachine) and must be called from the thread that owns
//   the OpenGL context. Nothing is locked.
//
// Units
//   Drawing units are those of sglOrtho under the current translations,
//   scales and rotations; "pixels" are viewport pixels (origin bottom-left);
//   "screen" units are pixels of the native display size (1280 x 768).
//
// Errors
//   Every refused call appends (code, value) to context->errors (the
//   SGL_ERROR_ codes below name them; the value is the offending argument,
//   else 0) and goes on. A caller that wants to know reads the log:
//       const sgl_error_log& log = sglGetCurrentContext()->errors;
//       for (uint32_t i = 0; i < log.count; ++i) ... log.entries[i].code ...
//   After 32 entries only log.overflow is set; sglInit empties the log,
//   sglReset does not.
//
// The context record's layout is in graphics/sgl_context.h (included here,
// since its owner keeps it by value).
#pragma once

#include <cstdint>

#include "graphics/sgl_context.h"

// ---------------------------------------------------------------------------
// Names of the numbers the operations take
// ---------------------------------------------------------------------------
// Capabilities of sglEnable / sglDisable.
constexpr uint8_t SGL_POLYGON_SMOOTH = 33;    // antialiased outline on opaque plain fills
constexpr uint8_t SGL_LINE_SMOOTH = 35;       // strands with halo for lines and text outlines
constexpr uint8_t SGL_TEXTURE_FILL = 56;      // fills take the current texture
constexpr uint8_t SGL_TEXTURE_MODULATE = 57;  // textures modulate the colour (else replace)
constexpr uint8_t SGL_TESSELLATION = 58;      // concave fills by ear clipping
constexpr uint8_t SGL_GRADIENT_FILL = 59;     // fills take the current gradient
constexpr uint8_t SGL_DEPTH_TEST = 60;        // depth order of halos and shapes
constexpr uint8_t SGL_PIXEL_ALIGNED_TEXT = 61;

// Modes of sglBegin (OpenGL's numbering); 1, 2, 4 ... 128 draw a shape into
// that stencil mask bit instead.
constexpr uint8_t SGL_PRIMITIVE_LINE_LOOP = 3;
constexpr uint8_t SGL_PRIMITIVE_POLYGON = 5;  // filled: a fan, or ear clipping with 58
constexpr uint8_t SGL_PRIMITIVE_TRIANGLE_STRIP = 7;
constexpr uint8_t SGL_PRIMITIVE_SEGMENTS = 9;  // separate pairs
constexpr uint8_t SGL_PRIMITIVE_LINE_STRIP = 11;

// Formats of texture images, with their bytes per pixel.
constexpr uint8_t SGL_FORMAT_RGB = 5;    // 3: red, green, blue
constexpr uint8_t SGL_FORMAT_RGBA = 6;   // 4: red, green, blue, alpha
constexpr uint8_t SGL_FORMAT_ALPHA = 7;  // 1: coverage only, the colour comes from the fill

// ---------------------------------------------------------------------------
// Error codes recorded in the error log, with the operation that records them
// ---------------------------------------------------------------------------
constexpr uint32_t SGL_ERROR_BEGIN = 1;  // sglBegin: unknown mode
constexpr uint32_t SGL_ERROR_BIND_TEXTURE = 2;
constexpr uint32_t SGL_ERROR_CLIP_BOX = 4;
constexpr uint32_t SGL_ERROR_CLIP_PLANE = 5;
constexpr uint32_t SGL_ERROR_ENABLE = 6;  // unknown capability
constexpr uint32_t SGL_ERROR_DISABLE = 7;
constexpr uint32_t SGL_ERROR_LOAD_FONTS = 9;
constexpr uint32_t SGL_ERROR_ORTHO = 13;
constexpr uint32_t SGL_ERROR_PUSH_MATRIX = 15;  // stack full
constexpr uint32_t SGL_ERROR_POP_MATRIX = 16;   // stack empty
constexpr uint32_t SGL_ERROR_VERTEX_BUFFER_FULL = 20;
constexpr uint32_t SGL_ERROR_ARC_SECTOR = 26;
constexpr uint32_t SGL_ERROR_CROWN = 27;
constexpr uint32_t SGL_ERROR_INDEX_FONT = 29;
constexpr uint32_t SGL_ERROR_WRITE_TEXT = 31;
constexpr uint32_t SGL_ERROR_VIEWPORT = 32;
constexpr uint32_t SGL_ERROR_INDEX_COLOR = 49;
constexpr uint32_t SGL_ERROR_INDEX_LINE_STIPPLE = 50;
constexpr uint32_t SGL_ERROR_INDEX_LINE_WIDTH = 51;
constexpr uint32_t SGL_ERROR_TEX_IMAGE = 52;
constexpr uint32_t SGL_ERROR_COMPRESSED_TEX_IMAGE = 53;
constexpr uint32_t SGL_ERROR_TRANSPARENCY = 55;
constexpr uint32_t SGL_ERROR_COLOR_POINTER = 57;
constexpr uint32_t SGL_ERROR_LINE_STIPPLE_POINTER = 61;
constexpr uint32_t SGL_ERROR_TEXT_ALIGNMENT = 65;
constexpr uint32_t SGL_ERROR_ACTIVE_MASKS = 66;
constexpr uint32_t SGL_ERROR_BEGIN_SCISSOR = 67;
constexpr uint32_t SGL_ERROR_END_SCISSOR = 68;
constexpr uint32_t SGL_ERROR_WRITE_TEXT_AREA = 71;
constexpr uint32_t SGL_ERROR_TABLE_INDEX = 72;
constexpr uint32_t SGL_ERROR_LONG_DIV = 73;
constexpr uint32_t SGL_ERROR_FLOAT_DIV = 74;
constexpr uint32_t SGL_ERROR_WRITE_FLOAT = 75;
constexpr uint32_t SGL_ERROR_DRAW_BITMAP = 76;
constexpr uint32_t SGL_ERROR_RICH_TEXT = 77;
constexpr uint32_t SGL_ERROR_FORMAT_TEXTURE = 78;
constexpr uint32_t SGL_ERROR_ALLOCATE_MASK = 79;
constexpr uint32_t SGL_ERROR_TEX_VERTEX = 80;
constexpr uint32_t SGL_ERROR_ARC_SEGMENT = 85;
constexpr uint32_t SGL_ERROR_FREE_MASK = 86;
constexpr uint32_t SGL_ERROR_WRITE_UNICODE_TEXT_AREA = 87;
constexpr uint32_t SGL_ERROR_FONT_VALUE = 88;
constexpr uint32_t SGL_ERROR_MODULO_ANGLE = 89;
constexpr uint32_t SGL_ERROR_ARC_SEGMENT_BOUNDS = 90;
constexpr uint32_t SGL_ERROR_ARC_ELLIPSE = 91;
constexpr uint32_t SGL_ERROR_PUSH_TRANSLATE = 93;  // light push, stack full
constexpr uint32_t SGL_ERROR_POP_TRANSLATE = 94;   // light pop, stack empty
constexpr uint32_t SGL_ERROR_FONT_LINE_WIDTH = 95;
constexpr uint32_t SGL_ERROR_LINE_WIDTH_POINTER = 96;
constexpr uint32_t SGL_ERROR_WRITE_UNICODE_TEXT = 97;
constexpr uint32_t SGL_ERROR_CREATE_STATIC_BITMAP = 98;
constexpr uint32_t SGL_ERROR_DRAW_STATIC_BITMAP = 99;
constexpr uint32_t SGL_ERROR_WRITE_WIDE_TEXT = 100;
constexpr uint32_t SGL_ERROR_WRITE_WIDE_TEXT_AREA = 101;
constexpr uint32_t SGL_ERROR_INDEX_HALO_COLOR = 102;
constexpr uint32_t SGL_ERROR_TO_INT32 = 104;  // checked conversions by target
constexpr uint32_t SGL_ERROR_TO_UINT32 = 105;
constexpr uint32_t SGL_ERROR_TO_FLOAT = 106;
constexpr uint32_t SGL_ERROR_TO_INT8 = 107;
constexpr uint32_t SGL_ERROR_TO_UINT8 = 108;
constexpr uint32_t SGL_ERROR_TO_INT16 = 109;
constexpr uint32_t SGL_ERROR_TO_UINT16 = 110;
constexpr uint32_t SGL_ERROR_TO_UINT64 = 111;
constexpr uint32_t SGL_ERROR_TO_INT64 = 112;
constexpr uint32_t SGL_ERROR_BEGIN_PATH = 113;
constexpr uint32_t SGL_ERROR_GRADIENT_TEXTURE = 114;
constexpr uint32_t SGL_ERROR_INDEX_GRADIENT = 115;
constexpr uint32_t SGL_ERROR_BEGIN_MASK_DEFINITION = 116;
constexpr uint32_t SGL_ERROR_FORMAT_GRADIENT = 117;
constexpr uint32_t SGL_ERROR_DOUBLE_DIV = 119;
constexpr uint32_t SGL_ERROR_POINT_TO_PIXEL = 120;
constexpr uint32_t SGL_ERROR_POINT_TO_SCREEN = 121;
constexpr uint32_t SGL_ERROR_PIXEL_TO_POINT = 122;
constexpr uint32_t SGL_ERROR_SCREEN_TO_POINT = 123;
constexpr uint32_t SGL_ERROR_CUBIC_BEZIER_BOUNDS = 124;
constexpr uint32_t SGL_ERROR_SMOOTH_CUBIC_BEZIER_BOUNDS = 125;
constexpr uint32_t SGL_ERROR_ELLIPTICAL_ARC_BOUNDS = 126;
constexpr uint32_t SGL_ERROR_QUADRATIC_BEZIER_BOUNDS = 127;
constexpr uint32_t SGL_ERROR_SMOOTH_QUADRATIC_BEZIER_BOUNDS = 128;

// ---------------------------------------------------------------------------
// Application-owned records
// ---------------------------------------------------------------------------

// Colour table entry: 4 floats red, green, blue, alpha (0..1), installed as a
// plain float array by sglColorPointerf.
// Line width table entry: 3 floats (pixels) - width without smoothing, core
// width with smoothing, outer (halo) width with smoothing.

// Line stipple table entry (14 bytes).
struct sgl_line_stipple {
  uint8_t lengths[6];  // segment lengths in pixels
  uint8_t on[6];       // 1: the segment is drawn
  uint8_t solid;       // 1: no dashes at all
  uint8_t count;       // segments used, below 7
};

// Texture and gradient slot, filled by the texture loader.
struct sgl_texture_slot {
  uint32_t name;   // OpenGL texture name, 0 until the first upload
  uint32_t width;  // image size
  uint32_t height;
  uint32_t texture_width;  // power-of-two texture size
  uint32_t texture_height;
  uint8_t loaded;
  uint8_t format;  // 5 RGB, 6 RGBA, 7 alpha
  uint8_t scaled;  // 1: image stretched over the whole texture
};

// Initialisation record handed to sglInit.
struct sgl_parameters {
  uint32_t width;  // native display size in pixels
  uint32_t height;
  uint8_t* texture_buffer;     // scratch buffer for image conversion, or null
  uint32_t max_texture_width;  // powers of two >= 64 with a buffer, 0 without
  uint32_t max_texture_height;
  sgl_texture_slot* texture_table;
  uint32_t texture_count;
  sgl_texture_slot* gradient_table;
  uint32_t gradient_count;
  // Room for recording frames (sglBeginFrame), split into the frame being
  // drawn and the last one sent; null: frames go straight to OpenGL. The
  // caller keeps it as long as the context.
  uint8_t* stream_buffer = nullptr;
  uint32_t stream_bytes = 0;
  // Who draws (graphics/sgl_renderer.h); null: fixed-function OpenGL 1.x.
  // The caller keeps it as long as the context.
  sgl_renderer* renderer = nullptr;
};

// Layout of a number written by sgluWriteFloat.
struct sgl_float_format {
  uint32_t integer_digits;  // 0..9: digits kept of the integral part
  int32_t fraction_digits;  // 0..9
  int32_t split;            // -integer_digits .. fraction_digits + 1: where the second font begins
  uint32_t sign_mode;       // 0 sign always, 1 no sign, 2 minus sign only
  uint8_t separator;        // decimal separator character
  uint8_t leading_zeros;    // 1: the integral part padded to integer_digits
};

// ---------------------------------------------------------------------------
// Context and attributes
// ---------------------------------------------------------------------------
// Makes context current and starts it afresh from the parameters (tables
// zeroed, default colour, width and stipple tables, empty error log). False,
// and the current context unchanged, for a null record, a zero size, or
// texture maxima that are not powers of two from 64 (0 without a buffer).
bool sglInit(sgl_type_statemachine* context, const sgl_parameters* parameters);
// Start of a frame: the last entry of every table selected, capabilities 33
// to 60 off, matrix stack, masks, scissors and text state emptied, a
// sequence or mask definition left open ended. The error log stays.
void sglReset();

// ---------------------------------------------------------------------------
// Frames
// ---------------------------------------------------------------------------
// An idle display draws the same frame again and again; a software renderer
// would rasterise it again every time. With a stream buffer (sgl_parameters)
// the library records a frame's OpenGL calls and sends them only when they
// differ from the last frame sent:
//       const float clear[4] = {r, g, b, 0.0f};
//       sglBeginFrame(clear);                        // the clear is recorded too
//       sglReset(); sglViewport(...); ... draw ...
//       if (sglEndFrame()) { read back / swap } else { the last image stands }
// Without a buffer every call goes straight to OpenGL and sglEndFrame says 1.
// A frame also goes out whole after sglInit, sglInvalidateFrame, or any
// OpenGL output of the library between frames (a texture upload, a static
// sequence compiled, direct drawing such as a cursor over the frame). A call
// that needs an answer from OpenGL (an upload, a static sequence) in a frame,
// and a frame too long for its buffer, send what is recorded and draw the
// rest directly: correct pixels, result 1.
//
// Clears colour (clear_rgba; null: transparent black), depth and stencil
// with scissor off and every colour and stencil bit writable, and starts
// recording. A frame not ended is ended first.
void sglBeginFrame(const float clear_rgba[4]);
// 1: the frame went to OpenGL (flush, read back, swap as usual); 0: it is
// the last one sent, byte for byte, and nothing was drawn. 1 outside a frame.
uint8_t sglEndFrame();
// What OpenGL shows may no longer be the last frame (window exposed or
// resized, foreign drawing): the next frame, or the one being drawn, is sent.
void sglInvalidateFrame();
sgl_type_statemachine* sglGetCurrentContext();
// 0: lines as OpenGL lines; 1: lines as antialiased strands.
void sglSetRenderMode(uint8_t mode);
// The SGL_ capabilities above; any other: error 6 (7 for disable).
void sglEnable(uint8_t capability);
void sglDisable(uint8_t capability);
// Tables: count entries, kept by pointer (they must outlive their use).
// A table with a bad entry is refused whole and the one in force stays:
// colours 57, line widths 96 (each width 0 ... 15), stipples 61 (a dashed
// entry needs 1 ... 6 segments and some length). Selections beyond a new,
// shorter table move to its last entry.
void sglColorPointerf(const float* table, uint32_t count);
void sglLineWidthPointerf(const float* table, uint32_t count);
void sglLineStipplePointer(const sgl_line_stipple* table, uint32_t count);
// Selections: an index beyond the table records its error (49 colour,
// 102 halo, 51 width, 50 stipple) and takes the last entry. A negative
// index records it too: the colour takes the last entry, width and stipple
// keep the previous one; a negative halo colour is valid (a black halo).
// A gradient slot beyond the table or not loaded: error 115, unchanged.
void sglIndexColori(int32_t index);
void sglIndexHaloColori(int32_t index);
// 0 transparent ... 255 opaque; above 255: error 55, unchanged.
void sglTransparency8(uint32_t alpha);
void sglIndexLineWidthi(int32_t index);
void sglIndexLineStipplei(int32_t index);
void sglIndexGradienti(int32_t index);
// 1 round, 0 flat free ends of wide lines.
void sglSetLineCaps(uint32_t caps);
// Issues the cached OpenGL state again (after foreign OpenGL code).
void sglRestoreStates();
const char* getDefaultFont();

// ---------------------------------------------------------------------------
// Transformations. Drawing units -> window pixels -> native screen pixels.
// ---------------------------------------------------------------------------
void sglViewport(uint32_t x, uint32_t y, uint32_t width, int32_t height);
void sglOrtho(float left, float right, float bottom, float top);
void sglLoadIdentity();
void sglTranslatef(float x, float y);
void sglScalef(float sx, float sy);
void sglRotatef(float degrees);
void sglPushMatrix();
void sglPopMatrix();
void sglPushMatrixAndTranslate(float x, float y);
void sglPopMatrixAndTranslate();
void sglConvertPointToPixel(float x, float y, float* px, float* py);
void sglConvertPixelToPoint(float px, float py, float* x, float* y);
void sglConvertPointToScreen(float x, float y, float* sx, float* sy);
void sglConvertScreenToPoint(float sx, float sy, float* x, float* y);
float sgluModuloAngle(float degrees);
bool sgluFloatIsEqual(float a, float b);

// ---------------------------------------------------------------------------
// Checked numbers. Out-of-range values saturate and record the error of the
// target type (value 0); floating values are truncated toward zero.
// ---------------------------------------------------------------------------
int8_t sglUInt8ToInt8(uint8_t v);
int8_t sglInt16ToInt8(int16_t v);
int8_t sglUInt16ToInt8(uint16_t v);
int8_t sglInt32ToInt8(int32_t v);
int8_t sglUInt32ToInt8(uint32_t v);
int8_t sglInt64ToInt8(int64_t v);
int8_t sglUInt64ToInt8(uint64_t v);
int8_t sglFloatToInt8(float v);
int8_t sglDoubleToInt8(double v);
uint8_t sglInt8ToUInt8(int8_t v);
uint8_t sglInt16ToUInt8(int16_t v);
uint8_t sglUInt16ToUInt8(uint16_t v);
uint8_t sglInt32ToUInt8(int32_t v);
uint8_t sglUInt32ToUInt8(uint32_t v);
uint8_t sglInt64ToUInt8(int64_t v);
uint8_t sglUInt64ToUInt8(uint64_t v);
uint8_t sglFloatToUInt8(float v);
uint8_t sglDoubleToUInt8(double v);
int16_t sglUInt16ToInt16(uint16_t v);
int16_t sglInt32ToInt16(int32_t v);
int16_t sglUInt32ToInt16(uint32_t v);
int16_t sglInt64ToInt16(int64_t v);
int16_t sglUInt64ToInt16(uint64_t v);
int16_t sglFloatToInt16(float v);
int16_t sglDoubleToInt16(double v);
uint16_t sglInt8ToUInt16(int8_t v);
uint16_t sglInt16ToUInt16(int16_t v);
uint16_t sglInt32ToUInt16(int32_t v);
uint16_t sglUInt32ToUInt16(uint32_t v);
uint16_t sglInt64ToUInt16(int64_t v);
uint16_t sglUInt64ToUInt16(uint64_t v);
uint16_t sglFloatToUInt16(float v);
uint16_t sglDoubleToUInt16(double v);
int32_t sglUInt32ToInt32(uint32_t v);
int32_t sglInt64ToInt32(int64_t v);
int32_t sglUInt64ToInt32(uint64_t v);
int32_t sglFloatToInt32(float v);
int32_t sglDoubleToInt32(double v);
uint32_t sglInt8ToUInt32(int8_t v);
uint32_t sglInt16ToUInt32(int16_t v);
uint32_t sglInt32ToUInt32(int32_t v);
uint32_t sglInt64ToUInt32(int64_t v);
uint32_t sglUInt64ToUInt32(uint64_t v);
uint32_t sglFloatToUInt32(float v);
uint32_t sglDoubleToUInt32(double v);
uint64_t sglInt8ToUInt64(int8_t v);
uint64_t sglInt16ToUInt64(int16_t v);
uint64_t sglInt32ToUInt64(int32_t v);
uint64_t sglInt64ToUInt64(int64_t v);
uint64_t sglFloatToUInt64(float v);
uint64_t sglDoubleToUInt64(double v);
int64_t sglUInt64ToInt64(uint64_t v);
int64_t sglFloatToInt64(float v);
int64_t sglDoubleToInt64(double v);
float sglDoubleToFloat(double v);

float sgluFloatDiv(float a, float b);       // |b| < 1e-6: error 74, divides anyway
double sgluDoubleDiv(double a, double b);   // |b| < 1e-6: error 119, divides anyway
int32_t sgluLongDiv(int32_t a, int32_t b);  // b = 0 or INT32_MIN / -1: error 73, 0
int32_t sgluGetTableIndex(int32_t index, int32_t count);

// ---------------------------------------------------------------------------
// Maths in degrees, with the library's own approximations and tables
// ---------------------------------------------------------------------------
extern float mth_tf_acos_table[882];      // arccos(i / 900) in degrees
extern float mth_tf_acos_low_table[201];  // arccos((9800 + j) / 10000) in degrees
extern float stc_tf_tabforsqrt[256][2];   // (slope, intercept) chords of sqrt on [0.5, 2)

uint32_t mth_f_to_l(float v);
float mth_f_round(float v);
int32_t mth_f_to_l_ceil(float v);
int32_t mth_next_higher_power2(int32_t v, int32_t lo, int32_t hi);
float mth_norm(float x1, float y1, float x2, float y2);
float mth_sin_degree(float degrees);
float mth_cos_degree(float degrees);
void mth_cos_sin_degree(float degrees, float* out_cos, float* out_sin);
float mth_atan_degree(float x);
float mth_acos_degree(float x, float r);
float mth_sqrtf(float x);

// ---------------------------------------------------------------------------
// Lines and shapes (sgl_lines.cpp)
// ---------------------------------------------------------------------------
// Modes of sglBegin: 3 line loop, 9 separate segments (pairs), 11 line strip,
// 5 filled polygon (fan, or ear clipping with capability 58), 7 filled
// triangle strip, 1, 2, 4 ... 128 a shape drawn into that stencil mask bit.
// Other modes record error 1 and draw nothing until the next valid sglBegin.
void sglBegin(uint8_t mode);
void sglVertex2f(float x, float y);  // more than 4096: error 20, dropped
void sglEnd();                       // draws with the current attributes
// Paths: kind 1 stroke, 2 fill (other kinds: error 113). sglMoveTo draws the
// pending sub-path first; other path calls do nothing while no path is open.
void sglBeginPath(uint8_t kind);
void sglMoveTo(float x, float y);
void sglLineTo(float x, float y);
void sglHorizontalLineTo(float x);
void sglVerticalLineTo(float y);
void sglClosePath();
void sglEndPath();

// ---------------------------------------------------------------------------
// Arcs and sectors (sgl_arcs.cpp)
// ---------------------------------------------------------------------------
// Angles in degrees, counter-clockwise from +x unless clockwise is 1. The
// vertex count follows the radius in pixels; below one pixel a sector is one
// OpenGL point. Bad angles (beyond +-99999), modes or directions: error 26
// (error 91 for the ellipse), nothing drawn.
// mode 1 filled sector, 2 sector outline (arc and both radii), 3 arc only.
void sgluArcSector2f(float cx, float cy, float radius, float start_angle, float end_angle,
                     uint32_t clockwise, uint32_t mode);
// outline 0 filled sector, 1 arc only.
void sgluArcEllipse2f(float cx, float cy, float rx, float ry, float start_angle, float end_angle,
                      uint32_t clockwise, uint32_t outline);
// Emits, into the primitive begun by the caller, the vertices of an arc of
// `sweep` degrees starting at (x0, y0) on the circle or ellipse round (cx, cy).
void sgluArcCircleLinePointsList2f(float cx, float cy, float x0, float y0, float rx, float ry,
                                   uint32_t clockwise, float sweep);
// The next sglLineTo of the path becomes an arc bulging by `angle` degrees
// (2 degrees or less: straight). Angle 0 or 360, or clockwise >= 2: error 85.
void sgluArcSegment(uint32_t clockwise, float angle);

// ---------------------------------------------------------------------------
// Crowns and curve segments of paths (sgl_paths.cpp)
// ---------------------------------------------------------------------------
// Ring sector round (cx, cy) between the two radii (either order; negative
// ones count as 0), angles as for sgluArcSector2f, with the arcs' vertex
// density. mode 1 filled, 2 outline (outer arc, radial edge, inner arc,
// radial edge; a full ring is two circles), 3 the two arcs only. Angles
// beyond +-99999, another mode or clockwise >= 2: error 27, nothing drawn.
void sgluCrown2f(float cx, float cy, float inner_radius, float outer_radius, float start_angle,
                 float end_angle, uint32_t clockwise, uint32_t mode);
// Curve segments from the current point of the open path (after sglMoveTo),
// flattened into it with as many vertices as their size in pixels needs;
// the end point becomes the current point. Without a current point, or with
// an argument that is not a finite number, they do nothing. The smooth
// variants take as first control point the mirror of the previous segment's
// last control point when that segment was of the same kind, else the
// current point.
void sglCubicBezier(float x1, float y1, float x2, float y2, float x, float y);
void sglSmoothCubicBezier(float x2, float y2, float x, float y);
void sglQuadraticBezier(float x1, float y1, float x, float y);
void sglSmoothQuadraticBezier(float x, float y);
// Elliptical arc to (x, y) on an ellipse of radii rx, ry whose x axis is
// turned by `rotation` degrees: of the four arcs that fit, the larger one
// when large_arc is not 0, running clockwise when clockwise is not 0. Radii
// too small to reach are enlarged in proportion; a radius of 0 gives a
// straight line; an end point equal to the current point adds nothing.
void sglEllipticalArc(float rx, float ry, float rotation, uint32_t large_arc, uint32_t clockwise,
                      float x, float y);
// Axis-aligned bounds, in drawing units, of the curve the matching segment
// operation would add now (the line width is not included); nothing is
// drawn and the path is unchanged. Without a current point (error value 0)
// or with an argument that is not finite (value 1): errors 124 cubic, 125
// smooth cubic, 127 quadratic, 128 smooth quadratic, 126 elliptical arc,
// and false with the outputs untouched. Outputs may be null.
bool sglCubicBezierBounds(float x1, float y1, float x2, float y2, float x, float y, float* out_x1,
                          float* out_y1, float* out_x2, float* out_y2);
bool sglSmoothCubicBezierBounds(float x2, float y2, float x, float y, float* out_x1, float* out_y1,
                                float* out_x2, float* out_y2);
bool sglQuadraticBezierBounds(float x1, float y1, float x, float y, float* out_x1, float* out_y1,
                              float* out_x2, float* out_y2);
bool sglSmoothQuadraticBezierBounds(float x, float y, float* out_x1, float* out_y1, float* out_x2,
                                    float* out_y2);
bool sglEllipticalArcBounds(float rx, float ry, float rotation, uint32_t large_arc,
                            uint32_t clockwise, float x, float y, float* out_x1, float* out_y1,
                            float* out_x2, float* out_y2);

// ---------------------------------------------------------------------------
// Bounding boxes (sgl_bounds.cpp)
// ---------------------------------------------------------------------------
// Axis-aligned bounds, in drawing units, of the arc segment that
// sgluArcSegment(clockwise, angle) followed by a line from (x0, y0) to
// (x1, y1) draws (a straight segment for 2 degrees or less). The arguments
// sgluArcSegment refuses, or one that is not finite: error 90 and false.
bool sglGetArcSegmentBounds(float x0, float y0, float x1, float y1, uint32_t clockwise, float angle,
                            float* out_x1, float* out_y1, float* out_x2, float* out_y2);
// Collects the box, in viewport pixels, of everything drawn until
// sglEndBoundingBox: lines (with their width), shapes, arcs and paths, each
// cut to the scissor in force and to the normal stencil masks in force, and
// the texts of the WithBBox writers (through sglBeginTextBounds, which the
// begin starts too). A new begin starts afresh. The end gives false
// (outputs untouched) when nothing was drawn.
void sglBeginBoundingBox();
bool sglEndBoundingBox(float* out_x1, float* out_y1, float* out_x2, float* out_y2);

// ---------------------------------------------------------------------------
// Text and fonts (sgl_text.cpp)
// ---------------------------------------------------------------------------
// Fonts come from a font table (format tag 661; layout in graphics/sgl_font.h)
// loaded once after sglInit: sgluLoadFonts(&Velkor_font_table). A slot that
// holds no font, and "no font" itself, answer with the default font: the
// table's first bitmap font.
// Loads the table's glyph textures. null: no fonts. A refused table records
// error 9 (1 header, 3 font record) and changes nothing; a texture that does
// not decode or fit records error 9 (2) and stays empty.
void sgluLoadFonts(const void* table);
// Slot outside the table: no font (the default font draws), error 29.
void sglIndexFonti(int32_t index);
// Outline width of stroke fonts, 0..7: < 0 error 95, unchanged; >= 8 error 95 and 7.
void sglIndexFontLineWidthi(int32_t index);
// 0 left / bottom, 1 centre, 2 right / top of the first line; a value above 2
// records error 65 and leaves that axis as it was.
void sglSetTextAlignment(uint32_t horizontal, uint32_t vertical);
// Kinds 0..3 measure the glyph of `character` (0 ink width, 1 ink height,
// 2 left bearing of the ink, 3 advance); kinds 4..9 are the font values 4..9
// (7 ascent, 9 descent, 7 + 9 the line height). Kind 10 or more, or a slot
// beyond the table: error 88 and 0. In pixels of the native display.
float sglGetFontValue(uint32_t font, uint32_t character, uint32_t kind);
// Writes at most `length` characters of text (up to its 0 byte) at (x, y) in
// the current font and colour, placed by the text alignment; line breaks (10,
// 13, or the pair 13 10) start a new line one line height lower. No text or
// a negative length: error 31, nothing drawn; more than 1024: error 31 and
// the first 1024.
void sgluWriteText(float x, float y, const char* text, int32_t length);
// The same for 16-bit character codes (a surrogate pair draws the
// replacement character) - error 97 - and for wchar_t text (codes beyond
// 16 bits draw the replacement character) - error 100.
void sgluWriteUnicodeText(float x, float y, const uint16_t* text, int32_t length);
void sgluWriteWideText(float x, float y, const wchar_t* text, int32_t length);
// Writes at most `length` (<= 4096) characters wrapped into the rectangle
// (x1, y1) - (x2, y2): a line that grows wider than the rectangle breaks
// after its last word separator (the space), or before the first character
// that does not fit; line separators (10, 13) break too. Lines stack from
// the top with vertical alignment 2, from the bottom with 0, centred with 1,
// and each is aligned horizontally within the rectangle. No text or a
// negative length: error 71, nothing drawn; more than 4096 characters or
// more than 256 lines: error 71 and the first ones written. Unicode and
// wide texts as above, errors 87 and 101.
void sgluWriteTextArea(float x1, float y1, float x2, float y2, const char* text, int32_t length);
void sgluWriteUnicodeTextArea(float x1, float y1, float x2, float y2, const uint16_t* text,
                              int32_t length);
void sgluWriteWideTextArea(float x1, float y1, float x2, float y2, const wchar_t* text,
                           int32_t length);
// Rich text: at most `length` (<= 4096) bytes written at (x, y) like
// sgluWriteText, with escapes - byte 27, a letter and, for A, B, C, @ and P,
// one character as argument:
//   A c / B c   text colour / background colour (a box behind the glyphs)
//   C f         font slot
//   D / E       start / end inverted text: a box in the text colour under
//               glyphs in the background colour, or in the text colour's
//               complement when no background is set
//   H / I       underline on / off        L / M   strike-through on / off
//   @ c         outline colour            N       outline on
//   O           underline, strike-through and outline off
//   J / K       hidden text on / off (it keeps its place, nothing is drawn)
//   P n ... Q   the section written n times (0: skipped); no nesting
// other letters are ignored. A byte 13 (or 10, or 13 10) starts a new line
// below the tallest font of the line before. Errors 77: no text or a
// negative length (nothing drawn), more than 4096 bytes or 4096 characters,
// a 257th line, a colour or font beyond its table (the last entry, the
// default font), more than 64 style changes.
void sgluWriteRichText(float x, float y, const char* text, int32_t length);
// The font, font line width (0..7) and colour used for the second piece of
// numbers; a negative colour keeps the text colour. A font slot outside
// the table selects none (the default font) with error 29; line widths and
// colours are checked as by sglIndexFontLineWidthi (95) and sglIndexColori (49).
void sglSetSecondFontAttributes(int32_t font, int32_t line_width, int32_t color);
// Writes a number at (x, y) by the format (sgl_float_format), in two pieces
// one after the other on the same baseline, the whole aligned by the text
// alignment: the piece before the split in the current font and colour,
// the rest in the second font attributes. No format: error 75, nothing
// drawn. A format out of range: error 75 and 9 integer digits, 9 fraction
// digits, split 0, sign always, leading zeros. A value beyond +-2147483520
// (or not a number): error 75, written as 0 in the default font.
void sgluWriteFloat(float x, float y, float value, const sgl_float_format* format);
// WithBBox variants: they write as above and add the box of what they drew
// (the glyph bitmaps, boxes and bars; one pixel more for a halo or outline)
// to the text bounds being collected (sglBeginTextBounds, which
// sglBeginBoundingBox starts too) and, while a stencil mask is being
// defined, fill it into the mask and add it to the mask's box.
void sgluWriteTextWithBBox(float x, float y, const char* text, int32_t length);
void sgluWriteTextUnicodeWithBBox(float x, float y, const uint16_t* text, int32_t length);
void sgluWriteWideTextWithBBox(float x, float y, const wchar_t* text, int32_t length);
void sgluWriteTextAreaWithBBox(float x1, float y1, float x2, float y2, const char* text,
                               int32_t length);
void sgluWriteTextAreaUnicodeWithBBox(float x1, float y1, float x2, float y2, const uint16_t* text,
                                      int32_t length);
void sgluWriteWideTextAreaWithBBox(float x1, float y1, float x2, float y2, const wchar_t* text,
                                   int32_t length);
void sgluWriteRichTextWithBBox(float x, float y, const char* text, int32_t length);
void sgluWriteFloatWithBBox(float x, float y, float value, const sgl_float_format* format);
// Bounds of a text as its writer would draw it, in the current drawing
// units, without drawing; false (outputs untouched) when nothing would be
// drawn. The writer's errors are recorded.
bool sglGetTextMultilineBounds(float x, float y, const char* text, int32_t length, float* out_x1,
                               float* out_y1, float* out_x2, float* out_y2);
bool sglGetTextAreaBounds(float x1, float y1, float x2, float y2, const char* text, int32_t length,
                          float* out_x1, float* out_y1, float* out_x2, float* out_y2);
bool sglGetRichTextBounds(float x, float y, const char* text, int32_t length, float* out_x1,
                          float* out_y1, float* out_x2, float* out_y2);
bool sglGetFloatBounds(float x, float y, float value, const sgl_float_format* format, float* out_x1,
                       float* out_y1, float* out_x2, float* out_y2);
// Collects the union of the boxes of the texts written by WithBBox variants,
// in viewport pixels, until sglEndTextBounds gives it (false: none written).
void sglBeginTextBounds();
bool sglEndTextBounds(float* out_x1, float* out_y1, float* out_x2, float* out_y2);

// ---------------------------------------------------------------------------
// Textures and bitmaps (sgl_textures.cpp)
// ---------------------------------------------------------------------------
// Images fill numbered texture slots once, after sglInit. Formats: 5 RGB,
// 6 RGBA, 7 alpha; rows bottom first. The texture is the image's size rounded
// up to powers of two (at least 64, square where the maxima allow); scaled 1
// stretches the image over it, 0 puts it in the corner (coordinates 0 .. w/W2,
// 0 .. h/H2). Refused calls record the error with the slot and change nothing.
// Raw bytes, width x height x bytes per pixel: error 52.
void sglTexImage2Dubv(int32_t slot, uint8_t format, uint32_t width, uint32_t height,
                      const uint8_t* data, uint8_t scaled);
// Run-length coded pixel words (0xAARRGGBB; a word given twice is followed by
// a count c and stands c + 2 times): error 53, also when they do not decode
// to exactly the image.
void sglCompressedTexImage2D(uint32_t slot, uint8_t format, uint32_t width, uint32_t height,
                             uint32_t count, const uint32_t* words, uint8_t scaled);
// Selects a loaded slot as the current texture; target must be 56 (texture
// fill). Error 2 with the target, or with the slot when it is not loaded.
void sglBindTexture(uint8_t target, uint32_t slot);
// Maps the next fills onto the current texture: the box of the n points
// (2 <= n < 4096) holds nx x ny repetitions of the image (nx, ny <= 0: the
// image's own pixel size; one of them <= 0: the image's aspect kept),
// aligned 0 at the box's left / bottom, 1 centred, 2 ending at its right /
// top. Vertices of fills drawn while capability 56 is on take their
// coordinates from this mapping. Refused (error 78 with n): no texture
// table, an alignment above 2, no points.
void sglFormatTexture(uint32_t n, const float* xs, const float* ys, float nx, float ny,
                      uint32_t align_x, uint32_t align_y);
// A vertex with its own coordinate (s, t), counted in whole images of the
// mapping ((nx + dx) s, (ny + dy) t). Only while texture or gradient fill is
// on and the vertex buffer has room, else error 80.
void sglTexVertex4f(float x, float y, float s, float t);
// The next vertex given while texture or gradient fill is on takes (s, t),
// counted as by sglTexVertex4f, instead of its mapped coordinate.
void sglTexCoord2f(float s, float t);
// Draws a loaded slot's image with its lower-left corner at (x, y), one
// image pixel per pixel of the native display, replacing the colour (an
// alpha-only image carries no colour and draws nothing). The caller's
// texture selection, mapping and modes are kept. Error 76 with the slot.
void sgluDrawBitmap(int32_t slot, float x, float y);
// Gradients: RGBA images (run-length words when compressed, size counting
// their bytes; else at least width x height x 4 raw bytes) uploaded as a new
// texture into a gradient slot, selected with sglIndexGradienti and mapped
// once over the box of n points by sglFormatGradient (ignored while texture
// fill is on). Errors 114 (slot) and 117 (n).
void sglGradientTexture(int32_t slot, int32_t width, uint32_t height, uint32_t size,
                        const void* data, uint8_t compressed);
void sglFormatGradient(uint32_t n, const float* xs, const float* ys);
// Static bitmaps: up to 1024 RGBA images (data as for gradients) fixed at
// (x, y) in the drawing units current when drawn; the id is given in order
// and never reused. A refused image records error 98 with the count of
// bitmaps and returns that count, which names no bitmap. Drawing an id that
// names none: error 99.
uint32_t sglCreateStaticBitmap(float x, float y, int32_t width, int32_t height, uint32_t size,
                               const void* data, uint8_t compressed);
void sglDrawStaticBitmap(uint32_t id);
// Static sequences: the drawing between begin and end is recorded into an
// OpenGL display list (nothing reaches the screen) and replayed by
// sglCallStaticSequence. Begin returns the list, or 0 for a box with
// x1 < x0 or y1 < y0 or while another sequence records. After the end and
// after every call OpenGL is brought back to the library's cached state and
// matrix; the end also turns texture modulation off.
uint32_t sglBeginStaticSequence(float x0, float y0, float x1, float y1);
void sglEndStaticSequence();
void sglCallStaticSequence(uint32_t id);

// ---------------------------------------------------------------------------
// Masks, scissors and clip planes (sgl_masks.cpp)
// ---------------------------------------------------------------------------
// Masks and clip planes share one 14-bit word: stencil masks 1, 2, 4 ... 128
// (one stencil bit each) and clip planes 256, 512 ... 8192. The active set
// (0..16383) says which restrict drawing: a pixel is drawn only inside every
// active stencil mask and on the kept side of every active plane. A widget
// saves the set (sglGetActiveMasks), adds its own masks, draws its children
// and sets the saved value back. sglReset frees every identifier, empties
// the scissor stack and leaves the active set 0.
// Kind 0: a clip-plane identifier; 1 or 2: a stencil one; 0 when none is
// free. Other kinds: error 79 and 0.
uint32_t sglAllocateMaskID(uint8_t kind);
// Frees id and drops it from the active set. id above 16383: error 86, and
// only its low 14 bits are freed.
void sglFreeMaskID(uint32_t id);
// The drawing until sglEndMaskDefinition goes into a free stencil mask
// (inverted 1: the mask lets drawing through outside it instead); returns the
// identifier, 0 when none is free. inverted >= 2: error 116 and 0.
uint32_t sglBeginMaskDefinition(uint8_t inverted);
void sglEndMaskDefinition();
// Defines stencil mask id (allocated by the caller) as the rectangle with
// corners (x1, y1), (x2, y2). A side of 1e-6 or less, inverted >= 2 or an id
// that is not one stencil bit: error 4 (value id), nothing drawn.
void sglClipBox(uint32_t id, uint8_t inverted, float x1, float y1, float x2, float y2);
// Defines clip plane id as the half-plane right of the line through (x, y)
// running at `angle` degrees (side 1: left of it). An id other than the six
// plane identifiers: error 5 (value id). A plane that is active keeps its
// definition.
void sglClipPlane(uint32_t id, float x, float y, float angle, uint8_t side);
// A set above 16383 records error 66 and is used anyway; making an undefined
// plane active records error 66 with its id and leaves it off. Setting the
// set in force again issues no OpenGL call.
void sglSetActiveMasks(uint32_t set);
uint32_t sglGetActiveMasks();
// Pushes a scissor from the current drawing origin over width x height
// drawing units (turned with the accumulated rotation by quarter turns), cut
// to the scissor below it or to the viewport. 16 deep at most: error 67.
void sglBeginScissor(float width, float height);
// Pops a scissor; with none: error 68.
void sglEndScissor();
// The point (drawing units) lies inside the scissor in force, edges included;
// always true without a scissor.
bool sglPointIsInsideScissors(float x, float y);

// ---------------------------------------------------------------------------
// Active areas (sgl_active_areas.cpp)
// ---------------------------------------------------------------------------
// Hit-tests of the pointer while a widget draws. (px, py) is the pointer in
// pixels of the native display (origin bottom-left), as the interactivity
// mapping hands it over; areas are in the caller's current drawing
// coordinates, so a translated, scaled or rotated widget is hit exactly
// where it is drawn. The status tests also require the pointer inside the
// scissor in force; rates and angles do not.
// Rectangle with corners (x1, y1), (x2, y2); a side below 1e-6: false.
bool sglRectangleActiveAreaGetStatus(float px, float py, float x1, float y1, float x2, float y2);
// Polygon of n vertices, points = n (x, y) pairs; no points: false.
bool sglShapeActiveAreaGetStatus(float px, float py, uint32_t n, const float* points);
// Circle of radius r round (cx, cy), edge included; r <= 0: false.
bool sglCircleActiveAreaGetStatus(float px, float py, float cx, float cy, float r);
// Where the pointer lies across the rectangle: 0 at its smaller x (y), 1 at
// its larger, not clamped; 0 for a rectangle with a side below 1e-6.
float sglRectangleActiveAreaGetWidthRate(float px, float py, float x1, float y1, float x2,
                                         float y2);
float sglRectangleActiveAreaGetHeightRate(float px, float py, float x1, float y1, float x2,
                                          float y2);
// Distance from the centre divided by r, not clamped; r <= 0: 0.
float sglCircleActiveAreaGetRate(float px, float py, float cx, float cy, float r);
// Direction of the pointer from the centre, counter-clockwise from +x, 0..360.
float sglCircleActiveAreaGetAngle(float px, float py, float cx, float cy);

// ---------------------------------------------------------------------------
// Numbered entry points used by generated display code (f001 ... f127).
// Each forwards its arguments unchanged to one operation.
// ---------------------------------------------------------------------------
void f001(uint8_t mode);
void f002();
void f003(uint8_t target, uint32_t slot);
void f005(uint32_t id, uint8_t inverted, float x1, float y1, float x2, float y2);
void f006(uint32_t id, float x, float y, float angle, uint8_t side);
void f008(uint8_t capability);
void f009(uint8_t capability);
void f013(int32_t index);
void f014(int32_t index);
void f015(int32_t index);
void f016();
void f019();
void f020();
void f022(float degrees);
void f023(float sx, float sy);
void f027(float x, float y);
void f030(float cx, float cy, float radius, float start_angle, float end_angle, uint32_t clockwise,
          uint32_t mode);
void f031(float cx, float cy, float inner_radius, float outer_radius, float start_angle,
          float end_angle, uint32_t clockwise, uint32_t mode);
void f034(float x, float y, const char* text, int32_t length);
void f035(float x, float y);
void f036(uint32_t alpha);
void f037(int32_t slot, uint8_t format, uint32_t width, uint32_t height, const uint8_t* data,
          uint8_t scaled);
void f039(uint32_t slot, uint8_t format, uint32_t width, uint32_t height, uint32_t count,
          const uint32_t* words, uint8_t scaled);
bool f041(float px, float py, float cx, float cy, float r);
float f042(float px, float py, float cx, float cy, float r);
float f043(float px, float py, float cx, float cy);
bool f044(float px, float py, float x1, float y1, float x2, float y2);
float f045(float px, float py, float x1, float y1, float x2, float y2);
float f046(float px, float py, float x1, float y1, float x2, float y2);
bool f047(float px, float py, uint32_t n, const float* points);
void f048(int32_t index);
void f049(int32_t font, int32_t line_width, int32_t color);
void f050(uint32_t horizontal, uint32_t vertical);
void f051(uint32_t clockwise, float angle);
void f052(uint32_t n, const float* xs, const float* ys, float nx, float ny, uint32_t align_x,
          uint32_t align_y);
void f053(float x1, float y1, float x2, float y2, const char* text, int32_t length);
void f054(float x, float y, float value, const sgl_float_format* format);
void f055(int32_t slot, float x, float y);
void f056(uint32_t set);
void f057(float width, float height);
void f058();
void f059(float x, float y, float* sx, float* sy);
uint32_t f060(uint8_t kind);
void f061(uint32_t id);
void f062(float x, float y, const uint16_t* text, int32_t length);
void f063(float x1, float y1, float x2, float y2, const uint16_t* text, int32_t length);
void f064();
uint32_t f065();
void f066(float x, float y, const char* text, int32_t length);
void f067(float x, float y, float s, float t);
void f068(uint32_t caps);
void f069(float x, float y, const char* text, int32_t length);
void f070(float x, float y, const uint16_t* text, int32_t length);
bool f071(float x0, float y0, float x1, float y1, uint32_t clockwise, float angle, float* out_x1,
          float* out_y1, float* out_x2, float* out_y2);
void f072(float cx, float cy, float rx, float ry, float start_angle, float end_angle,
          uint32_t clockwise, uint32_t outline);
void f073(float x, float y);
void f074();
void f075(int32_t index);
uint32_t f076(float x0, float y0, float x1, float y1);
void f077();
void f078(uint32_t id);
void f079(float sx, float sy, float* x, float* y);
uint32_t f080(float x, float y, int32_t width, int32_t height, uint32_t size, const void* data,
              uint8_t compressed);
void f081(uint32_t id);
void f083(float x, float y, const wchar_t* text, int32_t length);
void f084(float x1, float y1, float x2, float y2, const wchar_t* text, int32_t length);
void f085(int32_t index);
void f086(float x, float y);
void f087(float x, float y);
void f089(float x1, float y1, float x2, float y2, float x, float y);
void f090(float x2, float y2, float x, float y);
void f091(float x1, float y1, float x, float y);
void f092(float x, float y);
void f093(float rx, float ry, float rotation, uint32_t large_arc, uint32_t clockwise, float x,
          float y);
void f094();
void f095(uint8_t kind);
void f096();
bool f097(float x1, float y1, float x2, float y2, float x, float y, float* out_x1, float* out_y1,
          float* out_x2, float* out_y2);
bool f098(float x2, float y2, float x, float y, float* out_x1, float* out_y1, float* out_x2,
          float* out_y2);
bool f099(float x1, float y1, float x, float y, float* out_x1, float* out_y1, float* out_x2,
          float* out_y2);
bool f100(float x, float y, float* out_x1, float* out_y1, float* out_x2, float* out_y2);
bool f120(float rx, float ry, float rotation, uint32_t large_arc, uint32_t clockwise, float x,
          float y, float* out_x1, float* out_y1, float* out_x2, float* out_y2);
void f121(int32_t index);
void f122(uint32_t n, const float* xs, const float* ys);
void f123(int32_t slot, int32_t width, uint32_t height, uint32_t size, const void* data,
          uint8_t compressed);
void f124(float x);
void f125(float y);
uint32_t f126(uint8_t inverted);
void f127();
