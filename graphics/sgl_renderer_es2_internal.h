// sgl_renderer_es2_internal.h - the plain-number parts of the OpenGL ES 2
// renderer (sgl_renderer_es2_geometry.cpp): what fixed-function OpenGL
// computes before a pixel is touched, done on the processor so that the
// shader program stays small and every step can be tested exactly.
//
// What fixed function does and how this renderer does it
//   - Matrix stacks, rotate/translate/scale/load: kept here, column by
//     column as OpenGL keeps them; a vertex leaves as clip coordinates
//     (projection x model-view x vertex).
//   - Clip planes: given in object coordinates, kept in eye coordinates
//     (the equation times the inverse model-view of the moment), as OpenGL
//     does, and cut by here: a triangle into the convex polygon left of it,
//     a line's ends before it gets its width, a point whole or not at all.
//   - Antialiased lines: llvmpipe covers a pixel by the product of two box
//     filters, the overlap of the line's width and of its length with one
//     pixel measured across and along the line, a width below one pixel
//     counting as one. Each segment becomes a rectangle one pixel larger all
//     round, carrying its distances across and along; the shader takes the
//     overlaps and drops pixels left uncovered (they would still write
//     stencil and depth).
//   - Lines without smoothing: a rectangle of the width rounded, set
//     vertically on a line that runs more across than up, else
//     horizontally, as OpenGL's wide lines are.
//   - Points: a square of the size rounded (at least one pixel), centred on
//     a pixel centre for an odd size and a pixel corner for an even one.
//   - Fans, strips, quads and polygons: triangle lists of 16-bit indices (a
//     WebGL 1 limit), with the winding OpenGL gives each triangle.
//
// Threads: any; nothing here keeps state.
#pragma once

#include <cstdint>

// OpenGL 1.x numbers the renderer understands; the ES 2 headers lack the
// fixed-function ones and the renderer includes no desktop header.
constexpr uint32_t kEs2GlPoints = 0x0000;
constexpr uint32_t kEs2GlLines = 0x0001;
constexpr uint32_t kEs2GlLineLoop = 0x0002;
constexpr uint32_t kEs2GlLineStrip = 0x0003;
constexpr uint32_t kEs2GlTriangles = 0x0004;
constexpr uint32_t kEs2GlTriangleStrip = 0x0005;
constexpr uint32_t kEs2GlTriangleFan = 0x0006;
constexpr uint32_t kEs2GlQuads = 0x0007;
constexpr uint32_t kEs2GlQuadStrip = 0x0008;
constexpr uint32_t kEs2GlPolygon = 0x0009;

// ---------------------------------------------------------------------------
// Matrices: 16 floats, column by column (element (row r, column c) at 4c + r)
// ---------------------------------------------------------------------------
void sgl_es2_identity(float out[16]);
// out = a x b; out may be a or b.
void sgl_es2_multiply(const float a[16], const float b[16], float out[16]);
// m = m x (the transformation), as glTranslatef, glScalef and glRotatef do;
// a rotation about a zero axis leaves m alone.
void sgl_es2_translate(float m[16], float x, float y, float z);
void sgl_es2_scale(float m[16], float x, float y, float z);
void sgl_es2_rotate(float m[16], float degrees, float x, float y, float z);
// The inverse, computed in double; false (out untouched) when m is singular.
bool sgl_es2_invert(const float m[16], double out[16]);
// out = m x (x, y, z, w).
void sgl_es2_transform(const float m[16], float x, float y, float z, float w, float out[4]);

// A plane equation (a, b, c, d: a x + b y + c z + d w >= 0 is kept) carried
// through a coordinate change whose matrix is m (new = m x old): the
// equation times the inverse of m. False for a singular m.
bool sgl_es2_plane_through(const double equation[4], const float m[16], double out[4]);

// ---------------------------------------------------------------------------
// Cutting a segment by half-spaces
// ---------------------------------------------------------------------------
// d0[k], d1[k]: signed distances of the two ends from plane k (kept where
// >= 0). The part kept runs from parameter *t0 to *t1 (0 = first end,
// 1 = second); false when nothing is kept.
bool sgl_es2_clip_segment(const float* d0, const float* d1, uint32_t planes, float* t0, float* t1);

// ---------------------------------------------------------------------------
// Lines and points in window coordinates (pixels, origin bottom-left)
// ---------------------------------------------------------------------------
// A corner of a line's rectangle: where it is, and its distances from the
// line's axis (across, positive to the left of the direction) and from the
// segment's middle (along, positive towards the second end).
struct sgl_es2_line_corner {
  float x, y;
  float across, along;
};
// The rectangle of an antialiased segment: the corners in the order first
// end right, first end left, second end right, second end left; the half
// width (at least half a pixel) and half length it is covered by. False for
// a segment of no length, which covers nothing.
bool sgl_es2_smooth_line(float x0, float y0, float x1, float y1, float width,
                         sgl_es2_line_corner out_corners[4], float* out_half_width,
                         float* out_half_length);
// The rectangle of a line without smoothing, corners in the same order.
// False for a segment of no length.
bool sgl_es2_aliased_line(float x0, float y0, float x1, float y1, float width,
                          sgl_es2_line_corner out_corners[4]);
// The square a point of this size covers: out = x0, y0, x1, y1.
void sgl_es2_point_square(float x, float y, float size, float out[4]);

// ---------------------------------------------------------------------------
// Primitives
// ---------------------------------------------------------------------------
// The triangles of count vertices drawn as mode (a triangle, strip, fan,
// quad, quad strip or polygon mode): how many, and the vertex indices of
// triangle k in the order that keeps OpenGL's facing.
uint32_t sgl_es2_triangle_count(uint32_t mode, uint32_t count);
void sgl_es2_triangle(uint32_t mode, uint32_t k, uint32_t out_vertices[3]);
// The segments of count vertices drawn as a line mode: how many, and the
// vertex indices of segment k.
uint32_t sgl_es2_segment_count(uint32_t mode, uint32_t count);
void sgl_es2_segment(uint32_t mode, uint32_t count, uint32_t k, uint32_t* out_first,
                     uint32_t* out_second);

// What a texel gives in the texture environment, by the image's format
// (OpenGL's GL_ALPHA, GL_LUMINANCE, GL_LUMINANCE_ALPHA, GL_RGB, GL_RGBA):
// 1 where the texel's channel replaces (or, modulating, multiplies) the
// colour's, 0 where the colour's stays. An ES 2 sampler returns 0 for the
// colour of an alpha texture and 1 for the alpha of an RGB one, which the
// mask keeps out.
void sgl_es2_texture_mask(uint32_t format, float out_mask[4]);

// ---------------------------------------------------------------------------
// The shader program (sgl_renderer_es2_shaders.cpp)
// ---------------------------------------------------------------------------
// It comes in variants by what a batch needs, given to both shaders as 0 or
// 1 defines (TEXTURE, COVERAGE, ALPHA_TEST): llvmpipe shades the plain fills
// that cover most pixels of a frame about three times faster without the
// texture, coverage and alpha test arithmetic they would skip anyway.
constexpr uint32_t kSglEs2VariantTexture = 1;
constexpr uint32_t kSglEs2VariantCoverage = 2;
constexpr uint32_t kSglEs2VariantAlphaTest = 4;
constexpr uint32_t kSglEs2Variants = 8;
// Attributes a_position (clip coordinates), a_color, a_texcoord and
// a_coverage (across, along, half width, half length; a half width of 0 for
// what covers its pixels whole).
extern const char kSglEs2VertexShader[];
extern const char kSglEs2FragmentShader[];
// Shows a kept frame: blue, green, red, alpha bytes uploaded as they are.
extern const char kSglEs2BlitVertexShader[];
extern const char kSglEs2BlitFragmentShader[];
