// The OpenGL ES 2 renderer: the drawing library's fixed-function OpenGL 1.x
// calls done with a small shader program of its own (in variants), at the
// level of WebGL 1 (GLSL ES 1.00, buffer objects only, 16-bit indices, no
// extension).
//
// How it works
//   Everything that decides where a vertex lands is kept on the processor
//   (sgl_renderer_es2_internal.h): the matrix stacks, the current colour
//   and texture coordinate, line width and point size, the clip planes.
//   Each draw becomes triangles in clip coordinates, cut by the clip planes
//   that are on, appended to a batch; a line becomes a rectangle per
//   segment that carries its distances across and along, from which the
//   fragment shader takes llvmpipe's coverage. The batch goes to OpenGL
//   (two buffer uploads and one glDrawElements) only when something it
//   depends on changes: blending, tests, masks, scissor or viewport (OpenGL
//   state), or texturing and alpha test (which choose the program's variant
//   and its uniforms). Colours, matrices, widths and clip planes ride on the
//   vertices and never break a batch.
//
//   Display lists, which ES 2 lacks, are kept here as words (an operation
//   and its arguments) and played through the same code as the calls
//   themselves. Calls OpenGL would not compile into a list (client arrays,
//   queries, names, pixel storage) run at once; so do texture parameters
//   and images, which the library never compiles.
//
// What is left out, because the library never asks for it: texture
// environments other than replace and modulate (others modulate), lighting,
// fog, point smoothing, line stipple (the library cuts its own dashes),
// pixel storage other than the alignments, and texture images compiled into
// a list.
#include <GLES2/gl2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "graphics/sgl_renderer_es2_internal.h"
#include "graphics/sgl_renderer_internal.h"

namespace {

// ---------------------------------------------------------------------------
// OpenGL 1.x numbers the ES 2 header does not have
// ---------------------------------------------------------------------------
constexpr uint32_t kGlAlphaTest = 0x0BC0;
constexpr uint32_t kGlLineSmooth = 0x0B20;
constexpr uint32_t kGlTexture2d = 0x0DE1;
constexpr uint32_t kGlClipPlane0 = 0x3000;
constexpr uint32_t kGlVertexArray = 0x8074;
constexpr uint32_t kGlTextureCoordArray = 0x8078;
constexpr uint32_t kGlModelview = 0x1700;
constexpr uint32_t kGlProjection = 0x1701;
constexpr uint32_t kGlTexture = 0x1702;
constexpr uint32_t kGlTextureEnv = 0x2300;
constexpr uint32_t kGlTextureEnvMode = 0x2200;
constexpr uint32_t kGlModulate = 0x2100;
constexpr uint32_t kGlNever = 0x0200;
constexpr uint32_t kGlAlways = 0x0207;
constexpr uint32_t kGlCompile = 0x1300;
constexpr uint32_t kGlCompileAndExecute = 0x1301;
constexpr uint32_t kGlMatrixModeQuery = 0x0BA0;
constexpr uint32_t kGlModelviewStackDepth = 0x0BA3;
constexpr uint32_t kGlProjectionStackDepth = 0x0BA4;
constexpr uint32_t kGlMaxModelviewStackDepth = 0x0D36;
constexpr uint32_t kGlMaxProjectionStackDepth = 0x0D38;
constexpr uint32_t kGlMaxClipPlanes = 0x0D32;
constexpr uint32_t kGlClamp = 0x2900;
constexpr uint32_t kGlClampToBorder = 0x812D;
constexpr uint32_t kGlLuminance8 = 0x8040;
constexpr uint32_t kGlAlpha8 = 0x803C;
constexpr uint32_t kGlRgb8 = 0x8051;

// ---------------------------------------------------------------------------
// Sizes, fixed at creation: a frame allocates nothing
// ---------------------------------------------------------------------------
constexpr uint32_t kStackDepth = 32;  // what Mesa offers for both stacks
constexpr uint32_t kTextureStackDepth = 4;
constexpr uint32_t kClipPlanes = 6;
constexpr uint32_t kBatchVertices = 65536;  // 16-bit indices
constexpr uint32_t kBatchIndices = 3 * 65536;
constexpr uint32_t kImmediateVertices = 16384;
constexpr uint32_t kListWords = 1u << 20;
constexpr uint32_t kLists = 4096;
constexpr uint32_t kListNesting = 64;  // OpenGL's least nesting depth
constexpr uint32_t kTextureNames = 4096;

// A batch vertex: clip position (4), colour (4), s and t (2), coverage:
// across, along, half width, half length (4).
constexpr uint32_t kFloatsPerVertex = 14;
constexpr GLsizei kVertexBytes = kFloatsPerVertex * sizeof(float);
enum Attribute : GLuint { kPosition, kColor, kTexcoord, kCoverage };

// What a fill or a point carries for coverage: no half width, so the shader
// takes the pixel whole and fills and text keep their colours to the bit.
constexpr float kFullCoverage[4] = {0.0f, 0.0f, 0.0f, 0.0f};

// The operations a display list holds, each with its arguments as words.
enum ListOp : uint32_t {
  kListEnable = 1,
  kListDisable,
  kListAlphaFunc,
  kListBlendFunc,
  kListDepthFunc,
  kListBindTexture,
  kListTexEnv,
  kListColor,
  kListLineWidth,
  kListPointSize,
  kListMatrixMode,
  kListLoadIdentity,
  kListLoadMatrix,
  kListPushMatrix,
  kListPopMatrix,
  kListTranslate,
  kListRotate,
  kListScale,
  kListViewport,
  kListClear,
  kListClearColor,
  kListClearStencil,
  kListStencilMask,
  kListStencilFunc,
  kListStencilOp,
  kListColorMask,
  kListScissor,
  kListClipPlane,
  kListCallList,
  kListBegin,
  kListEnd,
  kListVertex,
  kListTexCoord,
  kListDraw,  // mode, count, has (s, t), then x, y ... and s, t ...
};
constexpr uint32_t kListOpBits = 8;

struct ListEntry {
  uint32_t start;
  uint32_t length;
};

// Per texture name: the base format of its image (0: none yet), whether its
// minifying filter wants mipmaps, and which of the levels a whole chain needs
// were given: OpenGL 1.x leaves a texture untextured while its filter wants
// levels it lacks.
struct TextureInfo {
  uint32_t format;
  uint8_t wants_mipmaps;
  uint8_t levels_needed;  // level 0 down to 1 x 1
  uint32_t levels_given;  // bit k: level k was uploaded
};

// The levels from a width x height image down to 1 x 1.
uint8_t mipmap_levels(int32_t width, int32_t height) {
  uint8_t levels = 1;
  for (int32_t side = width > height ? width : height; side > 1; side /= 2) ++levels;
  return levels;
}

bool has_whole_chain(const TextureInfo& info) {
  const uint32_t all = info.levels_needed >= 32 ? ~0u : (1u << info.levels_needed) - 1u;
  return (info.levels_given & all) == all;
}

struct Es2Renderer {
  sgl_renderer table;

  // OpenGL objects; the program variants are compiled when first wanted.
  struct Program {
    GLuint id;
    GLint u_texture, u_modulate, u_texture_mask, u_alpha_test;
    bool uniforms_stale;  // the renderer's state moved on since they were set
  } programs[kSglEs2Variants];
  uint32_t variant;  // in use
  GLuint vertex_buffer;
  GLuint index_buffer;
  GLuint blit_program;
  GLuint blit_buffer;
  GLuint blit_texture;
  GLint blit_image;

  // Matrix stacks; the top is entry depth - 1.
  float modelview[kStackDepth][16];
  uint32_t modelview_depth;
  float projection[kStackDepth][16];
  uint32_t projection_depth;
  float texture_matrix[kTextureStackDepth][16];
  uint32_t texture_depth;
  uint32_t matrix_mode;
  float mvp[16];  // projection x model-view, while mvp_valid
  bool mvp_valid;

  // Current vertex attributes and rasterisation.
  float color[4];
  float texcoord[2];
  float line_width;
  float point_size;
  bool line_smooth;
  int32_t viewport[4];

  // Clip planes in eye coordinates.
  uint32_t clip_enabled;  // bit k: plane k
  double clip_eye[kClipPlanes][4];

  // What the program's uniforms say.
  bool texture_2d;
  uint32_t texture_env;
  bool alpha_test;
  uint32_t alpha_function;
  float alpha_reference;

  // OpenGL state held here to skip calls that change nothing.
  uint32_t bound_texture;
  uint8_t blend, scissor_test, stencil_test, depth_test, cull_face;
  TextureInfo textures[kTextureNames];

  // Client arrays.
  bool vertex_array;
  bool texcoord_array;
  const float* vertex_pointer;
  const float* texcoord_pointer;

  // glBegin ... glEnd.
  bool in_begin;
  uint32_t immediate_mode;
  uint32_t immediate_count;
  float (*immediate_xy)[2];
  float (*immediate_st)[2];
  float (*immediate_rgba)[4];

  // Display lists.
  uint32_t* list_words;
  uint32_t list_used;
  ListEntry lists[kLists];
  uint32_t next_list;
  uint32_t compiling;  // the list being compiled, 0 for none
  uint32_t compile_mode;
  uint32_t compile_start;
  uint32_t call_depth;

  // The batch.
  float* vertices;
  uint16_t* indices;
  uint32_t vertex_count;
  uint32_t index_count;
  bool batch_has_lines;  // antialiased lines, which want the coverage variant

  // Frames read back and shown.
  uint8_t* pixels;
  size_t pixel_bytes;
};

Es2Renderer* es2(void* self) {
  return static_cast<Es2Renderer*>(self);
}

uint32_t bits_of(float value) {
  uint32_t word;
  std::memcpy(&word, &value, sizeof word);
  return word;
}

float float_of(uint32_t word) {
  float value;
  std::memcpy(&value, &word, sizeof value);
  return value;
}

// ---------------------------------------------------------------------------
// The batch
// ---------------------------------------------------------------------------
GLuint link(const char* vertex_source, const char* fragment_source, uint32_t variant,
            const char* const* attributes, GLuint attribute_count);

// Whether the bound texture takes part: OpenGL 1.x leaves a texture without
// an image, or whose minifying filter wants mipmaps it lacks, out.
bool texturing(const Es2Renderer* r) {
  if (!r->texture_2d) return false;
  if (r->bound_texture >= kTextureNames) return true;  // made outside the library
  const TextureInfo& info = r->textures[r->bound_texture];
  return info.format != 0 && (info.wants_mipmaps == 0 || has_whole_chain(info));
}

bool alpha_testing(const Es2Renderer* r) {
  return r->alpha_test && r->alpha_function != kGlAlways;
}

// Every variant's uniforms are out of date.
void uniforms_changed(Es2Renderer* r) {
  for (Es2Renderer::Program& program : r->programs) program.uniforms_stale = true;
}

// The variant the batch needs, in use with its uniforms up to date; false
// when it does not compile (nothing can be drawn then).
bool use_program(Es2Renderer* r) {
  const uint32_t variant = (texturing(r) ? kSglEs2VariantTexture : 0) |
                           (r->batch_has_lines ? kSglEs2VariantCoverage : 0) |
                           (alpha_testing(r) ? kSglEs2VariantAlphaTest : 0);
  Es2Renderer::Program& program = r->programs[variant];
  if (program.id == 0) {
    const char* const attributes[] = {"a_position", "a_color", "a_texcoord", "a_coverage"};
    program.id = link(kSglEs2VertexShader, kSglEs2FragmentShader, variant, attributes, 4);
    if (program.id == 0) return false;
    program.u_texture = glGetUniformLocation(program.id, "u_texture");
    program.u_modulate = glGetUniformLocation(program.id, "u_modulate");
    program.u_texture_mask = glGetUniformLocation(program.id, "u_texture_mask");
    program.u_alpha_test = glGetUniformLocation(program.id, "u_alpha_test");
    program.uniforms_stale = true;
  }
  if (variant != r->variant) {
    glUseProgram(program.id);
    r->variant = variant;
  }
  if (!program.uniforms_stale) return true;
  program.uniforms_stale = false;
  if ((variant & kSglEs2VariantTexture) != 0) {
    const uint32_t format = r->bound_texture < kTextureNames ? r->textures[r->bound_texture].format
                                                             : static_cast<uint32_t>(GL_RGBA);
    float mask[4];
    sgl_es2_texture_mask(format, mask);
    glUniform1i(program.u_texture, 0);
    glUniform1f(program.u_modulate, r->texture_env == kGlModulate ? 1.0f : 0.0f);
    glUniform4fv(program.u_texture_mask, 1, mask);
  }
  if ((variant & kSglEs2VariantAlphaTest) != 0) {
    glUniform2f(program.u_alpha_test, static_cast<float>(r->alpha_function - kGlNever + 1),
                r->alpha_reference);
  }
  return true;
}

void point_attributes_at_batch(const Es2Renderer* r) {
  glBindBuffer(GL_ARRAY_BUFFER, r->vertex_buffer);
  glVertexAttribPointer(kPosition, 4, GL_FLOAT, GL_FALSE, kVertexBytes, nullptr);
  glVertexAttribPointer(kColor, 4, GL_FLOAT, GL_FALSE, kVertexBytes,
                        reinterpret_cast<const void*>(4 * sizeof(float)));
  glVertexAttribPointer(kTexcoord, 2, GL_FLOAT, GL_FALSE, kVertexBytes,
                        reinterpret_cast<const void*>(8 * sizeof(float)));
  glVertexAttribPointer(kCoverage, 4, GL_FLOAT, GL_FALSE, kVertexBytes,
                        reinterpret_cast<const void*>(10 * sizeof(float)));
  for (GLuint a = kPosition; a <= kCoverage; ++a) glEnableVertexAttribArray(a);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, r->index_buffer);
}

void flush_batch(Es2Renderer* r) {
  if (r->index_count > 0 && use_program(r)) {
    const GLsizeiptr vertex_bytes = static_cast<GLsizeiptr>(r->vertex_count) * kVertexBytes;
    const GLsizeiptr index_bytes = static_cast<GLsizeiptr>(r->index_count) * sizeof(uint16_t);
#ifdef __EMSCRIPTEN__
    // A browser's WebGL (ANGLE) copies the whole of a buffer that an earlier
    // draw still uses before a partial update, about a millisecond for each
    // batch: new contents for the whole buffer need no copy.
    glBufferData(GL_ARRAY_BUFFER, vertex_bytes, r->vertices, GL_STREAM_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, index_bytes, r->indices, GL_STREAM_DRAW);
#else
    glBufferSubData(GL_ARRAY_BUFFER, 0, vertex_bytes, r->vertices);
    glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, index_bytes, r->indices);
#endif
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(r->index_count), GL_UNSIGNED_SHORT, nullptr);
  }
  r->vertex_count = 0;
  r->index_count = 0;
  r->batch_has_lines = false;
}

// Before anything the pending triangles depend on changes.
void before_state_change(Es2Renderer* r) {
  if (r->index_count > 0) flush_batch(r);
}

void before_uniform_change(Es2Renderer* r) {
  before_state_change(r);
  uniforms_changed(r);
}

// Room for this many vertices and indices, sending the batch when full.
void reserve(Es2Renderer* r, uint32_t vertices, uint32_t indices) {
  if (r->vertex_count + vertices > kBatchVertices || r->index_count + indices > kBatchIndices) {
    flush_batch(r);
  }
}

void put_vertex(Es2Renderer* r, const float position[4], const float* rgba, const float* st,
                const float coverage[4]) {
  float* v = r->vertices + static_cast<size_t>(r->vertex_count++) * kFloatsPerVertex;
  std::memcpy(v, position, 4 * sizeof(float));
  std::memcpy(v + 4, rgba, 4 * sizeof(float));
  v[8] = st[0];
  v[9] = st[1];
  std::memcpy(v + 10, coverage, 4 * sizeof(float));
}

void put_index(Es2Renderer* r, uint32_t vertex) {
  r->indices[r->index_count++] = static_cast<uint16_t>(vertex);
}

// ---------------------------------------------------------------------------
// Transformations
// ---------------------------------------------------------------------------
float* current_matrix(Es2Renderer* r) {
  if (r->matrix_mode == kGlProjection) return r->projection[r->projection_depth - 1];
  if (r->matrix_mode == kGlTexture) return r->texture_matrix[r->texture_depth - 1];
  return r->modelview[r->modelview_depth - 1];
}

void before_matrix_change(Es2Renderer* r) {
  r->mvp_valid = false;
}

const float* mvp_of(Es2Renderer* r) {
  if (!r->mvp_valid) {
    sgl_es2_multiply(r->projection[r->projection_depth - 1], r->modelview[r->modelview_depth - 1],
                     r->mvp);
    r->mvp_valid = true;
  }
  return r->mvp;
}

bool texture_matrix_is_identity(const Es2Renderer* r) {
  float identity[16];
  sgl_es2_identity(identity);
  return std::memcmp(identity, r->texture_matrix[r->texture_depth - 1], sizeof identity) == 0;
}

// A vertex's texture coordinates through the texture matrix.
void texture_coordinates(const Es2Renderer* r, const float* st, bool identity, float out[2]) {
  if (identity) {
    out[0] = st[0];
    out[1] = st[1];
    return;
  }
  float q[4];
  sgl_es2_transform(r->texture_matrix[r->texture_depth - 1], st[0], st[1], 0.0f, 1.0f, q);
  out[0] = q[3] != 0.0f ? q[0] / q[3] : q[0];
  out[1] = q[3] != 0.0f ? q[1] / q[3] : q[1];
}

// Window coordinates (pixels) of a point in clip coordinates, and back. The
// viewport is a scale and an offset, applied in this order as llvmpipe does:
// a point at a whole pixel must not land a rounding below it.
void clip_to_window(const Es2Renderer* r, const float clip[4], float out[3]) {
  const float w = clip[3];
  const float half_width = static_cast<float>(r->viewport[2]) * 0.5f;
  const float half_height = static_cast<float>(r->viewport[3]) * 0.5f;
  out[0] = clip[0] / w * half_width + (static_cast<float>(r->viewport[0]) + half_width);
  out[1] = clip[1] / w * half_height + (static_cast<float>(r->viewport[1]) + half_height);
  out[2] = clip[2] / w;
}

void window_to_clip(const Es2Renderer* r, float x, float y, float z, float out[4]) {
  const float half_width = static_cast<float>(r->viewport[2]) * 0.5f;
  const float half_height = static_cast<float>(r->viewport[3]) * 0.5f;
  out[0] = (x - (static_cast<float>(r->viewport[0]) + half_width)) / half_width;
  out[1] = (y - (static_cast<float>(r->viewport[1]) + half_height)) / half_height;
  out[2] = z;
  out[3] = 1.0f;
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------
// The vertices of one draw: positions, and per vertex (s, t) and colour
// when given (else the current ones).
struct Vertices {
  uint32_t count;
  const float* xy;
  const float* st;
  const float* rgba;
};

const float* st_of(const Es2Renderer* r, const Vertices& v, uint32_t k) {
  return v.st != nullptr ? v.st + 2 * k : r->texcoord;
}

const float* rgba_of(const Es2Renderer* r, const Vertices& v, uint32_t k) {
  return v.rgba != nullptr ? v.rgba + 4 * k : r->color;
}

// A vertex on its way: clip and eye coordinates (eye only while a clip
// plane is on), colour and texture coordinates.
struct Vertex {
  float clip[4];
  float eye[4];
  float rgba[4];
  float st[2];
};

void vertex_of(Es2Renderer* r, const Vertices& v, uint32_t k, bool identity, Vertex* out) {
  const float x = v.xy[2 * k];
  const float y = v.xy[2 * k + 1];
  sgl_es2_transform(mvp_of(r), x, y, 0.0f, 1.0f, out->clip);
  if (r->clip_enabled != 0) {
    sgl_es2_transform(r->modelview[r->modelview_depth - 1], x, y, 0.0f, 1.0f, out->eye);
  } else {
    std::memset(out->eye, 0, sizeof out->eye);
  }
  texture_coordinates(r, st_of(r, v, k), identity, out->st);
  std::memcpy(out->rgba, rgba_of(r, v, k), sizeof out->rgba);
}

// The point a fraction t of the way from a to b; OpenGL interpolates
// everything a cut vertex carries linearly in clip coordinates.
Vertex lerp(const Vertex& a, const Vertex& b, float t) {
  Vertex out;
  for (int i = 0; i < 4; ++i) {
    out.clip[i] = a.clip[i] + (b.clip[i] - a.clip[i]) * t;
    out.eye[i] = a.eye[i] + (b.eye[i] - a.eye[i]) * t;
    out.rgba[i] = a.rgba[i] + (b.rgba[i] - a.rgba[i]) * t;
  }
  for (int i = 0; i < 2; ++i) out.st[i] = a.st[i] + (b.st[i] - a.st[i]) * t;
  return out;
}

float plane_distance(const double plane[4], const float eye[4]) {
  return static_cast<float>(plane[0] * eye[0] + plane[1] * eye[1] + plane[2] * eye[2] +
                            plane[3] * eye[3]);
}

// Signed distances of a vertex from the six sides of the view volume and
// the clip planes that are on; returns how many.
uint32_t distances(const Es2Renderer* r, const Vertex& v, float* out) {
  const float* clip = v.clip;
  out[0] = clip[3] + clip[0];
  out[1] = clip[3] - clip[0];
  out[2] = clip[3] + clip[1];
  out[3] = clip[3] - clip[1];
  out[4] = clip[3] + clip[2];
  out[5] = clip[3] - clip[2];
  uint32_t n = 6;
  for (uint32_t k = 0; k < kClipPlanes; ++k) {
    if ((r->clip_enabled & (1u << k)) != 0) out[n++] = plane_distance(r->clip_eye[k], v.eye);
  }
  return n;
}

void put_fill_vertex(Es2Renderer* r, const Vertex& v) {
  put_vertex(r, v.clip, v.rgba, v.st, kFullCoverage);
}

// One triangle cut by the clip planes that are on, as OpenGL cuts it (the
// view volume's sides are left to ES 2, which cuts by them the same way):
// what is left is a convex polygon, drawn as a fan.
void draw_clipped_triangle(Es2Renderer* r, const Vertex& a, const Vertex& b, const Vertex& c) {
  constexpr uint32_t kMost = 3 + kClipPlanes;
  Vertex polygon[2][kMost];
  uint32_t count = 3;
  polygon[0][0] = a;
  polygon[0][1] = b;
  polygon[0][2] = c;
  int from = 0;
  for (uint32_t k = 0; k < kClipPlanes && count > 0; ++k) {
    if ((r->clip_enabled & (1u << k)) == 0) continue;
    const Vertex* in = polygon[from];
    Vertex* out = polygon[1 - from];
    uint32_t kept = 0;
    for (uint32_t i = 0; i < count; ++i) {
      const Vertex& p = in[i];
      const Vertex& q = in[(i + 1) % count];
      const float dp = plane_distance(r->clip_eye[k], p.eye);
      const float dq = plane_distance(r->clip_eye[k], q.eye);
      if (dp >= 0.0f) out[kept++] = p;
      if ((dp >= 0.0f) != (dq >= 0.0f)) out[kept++] = lerp(p, q, dp / (dp - dq));
    }
    count = kept;
    from = 1 - from;
  }
  if (count < 3) return;
  reserve(r, count, 3 * (count - 2));
  const uint32_t base = r->vertex_count;
  for (uint32_t i = 0; i < count; ++i) put_fill_vertex(r, polygon[from][i]);
  for (uint32_t i = 1; i + 1 < count; ++i) {
    put_index(r, base);
    put_index(r, base + i);
    put_index(r, base + i + 1);
  }
}

void draw_fill(Es2Renderer* r, uint32_t mode, const Vertices& v) {
  const uint32_t triangles = sgl_es2_triangle_count(mode, v.count);
  if (triangles == 0) return;
  const bool identity = texture_matrix_is_identity(r);
  auto put = [&](uint32_t k) {
    Vertex vertex;
    vertex_of(r, v, k, identity, &vertex);
    put_fill_vertex(r, vertex);
  };
  uint32_t corner[3];
  if (r->clip_enabled != 0) {
    for (uint32_t t = 0; t < triangles; ++t) {
      sgl_es2_triangle(mode, t, corner);
      Vertex a, b, c;
      vertex_of(r, v, corner[0], identity, &a);
      vertex_of(r, v, corner[1], identity, &b);
      vertex_of(r, v, corner[2], identity, &c);
      draw_clipped_triangle(r, a, b, c);
    }
    return;
  }
  if (v.count <= kBatchVertices && 3 * triangles <= kBatchIndices) {
    reserve(r, v.count, 3 * triangles);
    const uint32_t base = r->vertex_count;
    for (uint32_t k = 0; k < v.count; ++k) put(k);
    for (uint32_t t = 0; t < triangles; ++t) {
      sgl_es2_triangle(mode, t, corner);
      for (uint32_t c : corner) put_index(r, base + c);
    }
    return;
  }
  // More than a batch holds: triangle by triangle.
  for (uint32_t t = 0; t < triangles; ++t) {
    sgl_es2_triangle(mode, t, corner);
    reserve(r, 3, 3);
    for (uint32_t c : corner) {
      put_index(r, r->vertex_count);
      put(c);
    }
  }
}

void draw_segment(Es2Renderer* r, const Vertex& first, const Vertex& second) {
  float d0[6 + kClipPlanes];
  float d1[6 + kClipPlanes];
  const uint32_t n = distances(r, first, d0);
  distances(r, second, d1);
  float t0 = 0.0f;
  float t1 = 1.0f;
  if (!sgl_es2_clip_segment(d0, d1, n, &t0, &t1)) return;
  const Vertex a = t0 > 0.0f ? lerp(first, second, t0) : first;
  const Vertex b = t1 < 1.0f ? lerp(first, second, t1) : second;
  float wa[3];
  float wb[3];
  clip_to_window(r, a.clip, wa);
  clip_to_window(r, b.clip, wb);
  sgl_es2_line_corner corners[4];
  float coverage[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  if (r->line_smooth) {
    if (!sgl_es2_smooth_line(wa[0], wa[1], wb[0], wb[1], r->line_width, corners, &coverage[2],
                             &coverage[3])) {
      return;
    }
  } else if (!sgl_es2_aliased_line(wa[0], wa[1], wb[0], wb[1], r->line_width, corners)) {
    return;
  }
  reserve(r, 4, 6);
  r->batch_has_lines = r->batch_has_lines || r->line_smooth;
  const uint32_t base = r->vertex_count;
  for (int k = 0; k < 4; ++k) {
    const Vertex& end = k < 2 ? a : b;
    float position[4];
    window_to_clip(r, corners[k].x, corners[k].y, k < 2 ? wa[2] : wb[2], position);
    if (r->line_smooth) {
      coverage[0] = corners[k].across;
      coverage[1] = corners[k].along;
    }
    put_vertex(r, position, end.rgba, end.st, r->line_smooth ? coverage : kFullCoverage);
  }
  const uint32_t order[6] = {0, 1, 2, 1, 3, 2};
  for (uint32_t k : order) put_index(r, base + k);
}

void draw_lines(Es2Renderer* r, uint32_t mode, const Vertices& v) {
  const uint32_t segments = sgl_es2_segment_count(mode, v.count);
  const bool identity = texture_matrix_is_identity(r);
  for (uint32_t k = 0; k < segments; ++k) {
    uint32_t i = 0;
    uint32_t j = 0;
    sgl_es2_segment(mode, v.count, k, &i, &j);
    Vertex first;
    Vertex second;
    vertex_of(r, v, i, identity, &first);
    vertex_of(r, v, j, identity, &second);
    draw_segment(r, first, second);
  }
}

void draw_points(Es2Renderer* r, const Vertices& v) {
  const bool identity = texture_matrix_is_identity(r);
  for (uint32_t k = 0; k < v.count; ++k) {
    Vertex p;
    vertex_of(r, v, k, identity, &p);
    // A point is drawn whole or not at all, by its vertex alone.
    float d[6 + kClipPlanes];
    const uint32_t n = distances(r, p, d);
    bool inside = true;
    for (uint32_t i = 0; i < n; ++i) inside = inside && d[i] >= 0.0f;
    if (!inside) continue;
    float window[3];
    clip_to_window(r, p.clip, window);
    float square[4];
    sgl_es2_point_square(window[0], window[1], r->point_size, square);
    reserve(r, 4, 6);
    const uint32_t base = r->vertex_count;
    for (int c = 0; c < 4; ++c) {
      float position[4];
      window_to_clip(r, square[(c & 1) != 0 ? 2 : 0], square[(c & 2) != 0 ? 3 : 1], window[2],
                     position);
      put_vertex(r, position, p.rgba, p.st, kFullCoverage);
    }
    const uint32_t order[6] = {0, 1, 2, 1, 3, 2};
    for (uint32_t i : order) put_index(r, base + i);
  }
}

void draw(Es2Renderer* r, uint32_t mode, const Vertices& v) {
  if (v.count == 0 || r->viewport[2] <= 0 || r->viewport[3] <= 0) return;
  if (mode == kEs2GlPoints) {
    draw_points(r, v);
  } else if (mode == kEs2GlLines || mode == kEs2GlLineLoop || mode == kEs2GlLineStrip) {
    draw_lines(r, mode, v);
  } else {
    draw_fill(r, mode, v);
  }
}

// ---------------------------------------------------------------------------
// State
// ---------------------------------------------------------------------------
uint8_t* gl_flag(Es2Renderer* r, uint32_t capability) {
  switch (capability) {
    case GL_BLEND:
      return &r->blend;
    case GL_SCISSOR_TEST:
      return &r->scissor_test;
    case GL_STENCIL_TEST:
      return &r->stencil_test;
    case GL_DEPTH_TEST:
      return &r->depth_test;
    case GL_CULL_FACE:
      return &r->cull_face;
    default:
      return nullptr;
  }
}

void set_capability(Es2Renderer* r, uint32_t capability, bool on) {
  if (uint8_t* flag = gl_flag(r, capability)) {
    if (*flag == (on ? 1 : 0)) return;
    before_state_change(r);
    *flag = on ? 1 : 0;
    if (on) {
      glEnable(capability);
    } else {
      glDisable(capability);
    }
    return;
  }
  if (capability == kGlTexture2d || capability == kGlAlphaTest) {
    bool* flag = capability == kGlTexture2d ? &r->texture_2d : &r->alpha_test;
    if (*flag == on) return;
    before_uniform_change(r);
    *flag = on;
  } else if (capability >= kGlClipPlane0 && capability < kGlClipPlane0 + kClipPlanes) {
    // Planes cut on the processor, before anything reaches the batch.
    const uint32_t bit = 1u << (capability - kGlClipPlane0);
    r->clip_enabled = on ? r->clip_enabled | bit : r->clip_enabled & ~bit;
  } else if (capability == kGlLineSmooth) {
    r->line_smooth = on;  // decided per line, on the processor
  }
  // Lighting, fog and the rest are never on in the library's drawing.
}

void matrix_push(Es2Renderer* r) {
  float(*stack)[16] = r->modelview;
  uint32_t* depth = &r->modelview_depth;
  uint32_t limit = kStackDepth;
  if (r->matrix_mode == kGlProjection) {
    stack = r->projection;
    depth = &r->projection_depth;
  } else if (r->matrix_mode == kGlTexture) {
    stack = r->texture_matrix;
    depth = &r->texture_depth;
    limit = kTextureStackDepth;
  }
  if (*depth >= limit) return;  // a stack overflow changes nothing
  std::memcpy(stack[*depth], stack[*depth - 1], sizeof stack[0]);
  ++*depth;
}

void matrix_pop(Es2Renderer* r) {
  uint32_t* depth = r->matrix_mode == kGlProjection ? &r->projection_depth
                    : r->matrix_mode == kGlTexture  ? &r->texture_depth
                                                    : &r->modelview_depth;
  if (*depth <= 1) return;  // nor does an underflow
  before_matrix_change(r);
  --*depth;
}

void set_clip_plane(Es2Renderer* r, uint32_t plane, const double equation[4]) {
  if (plane < kGlClipPlane0 || plane >= kGlClipPlane0 + kClipPlanes) return;
  const uint32_t k = plane - kGlClipPlane0;
  // Kept in eye coordinates: the model-view of this moment decides where
  // the plane lies, whatever happens to the matrix later.
  if (!sgl_es2_plane_through(equation, r->modelview[r->modelview_depth - 1], r->clip_eye[k])) {
    std::memcpy(r->clip_eye[k], equation, sizeof r->clip_eye[k]);
  }
}

void immediate_vertex(Es2Renderer* r, float x, float y) {
  if (!r->in_begin || r->immediate_count >= kImmediateVertices) return;
  const uint32_t k = r->immediate_count++;
  r->immediate_xy[k][0] = x;
  r->immediate_xy[k][1] = y;
  std::memcpy(r->immediate_st[k], r->texcoord, sizeof r->immediate_st[k]);
  std::memcpy(r->immediate_rgba[k], r->color, sizeof r->immediate_rgba[k]);
}

void immediate_end(Es2Renderer* r) {
  if (!r->in_begin) return;
  r->in_begin = false;
  const Vertices v = {r->immediate_count, &r->immediate_xy[0][0], &r->immediate_st[0][0],
                      &r->immediate_rgba[0][0]};
  draw(r, r->immediate_mode, v);
  r->immediate_count = 0;
}

void call_list(Es2Renderer* r, uint32_t list);

// One operation, from a call or a display list.
void execute(Es2Renderer* r, uint32_t op, const uint32_t* p) {
  const auto f = [p](uint32_t k) { return float_of(p[k]); };
  const auto i = [p](uint32_t k) { return static_cast<int32_t>(p[k]); };
  switch (op) {
    case kListEnable:
    case kListDisable:
      set_capability(r, p[0], op == kListEnable);
      break;
    case kListAlphaFunc: {
      float reference = f(1);
      reference = reference < 0.0f ? 0.0f : reference > 1.0f ? 1.0f : reference;
      if (p[0] < kGlNever || p[0] > kGlAlways) break;
      if (p[0] == r->alpha_function && reference == r->alpha_reference) break;
      before_uniform_change(r);
      r->alpha_function = p[0];
      r->alpha_reference = reference;
      break;
    }
    case kListBlendFunc:
      before_state_change(r);
      glBlendFunc(p[0], p[1]);
      break;
    case kListDepthFunc:
      before_state_change(r);
      glDepthFunc(p[0]);
      break;
    case kListBindTexture:
      if (p[0] != GL_TEXTURE_2D || p[1] == r->bound_texture) break;
      before_uniform_change(r);
      glBindTexture(GL_TEXTURE_2D, p[1]);
      r->bound_texture = p[1];
      break;
    case kListTexEnv:
      if (p[0] != kGlTextureEnv || p[1] != kGlTextureEnvMode || p[2] == r->texture_env) break;
      before_uniform_change(r);
      r->texture_env = p[2];
      break;
    case kListColor:
      for (int k = 0; k < 4; ++k) r->color[k] = f(k);
      break;
    case kListLineWidth:
      if (f(0) > 0.0f) r->line_width = f(0);
      break;
    case kListPointSize:
      if (f(0) > 0.0f) r->point_size = f(0);
      break;
    case kListMatrixMode:
      if (p[0] == kGlModelview || p[0] == kGlProjection || p[0] == kGlTexture) {
        r->matrix_mode = p[0];
      }
      break;
    case kListLoadIdentity:
      before_matrix_change(r);
      sgl_es2_identity(current_matrix(r));
      break;
    case kListLoadMatrix:
      before_matrix_change(r);
      std::memcpy(current_matrix(r), p, 16 * sizeof(float));
      break;
    case kListPushMatrix:
      matrix_push(r);
      break;
    case kListPopMatrix:
      matrix_pop(r);
      break;
    case kListTranslate:
      before_matrix_change(r);
      sgl_es2_translate(current_matrix(r), f(0), f(1), f(2));
      break;
    case kListRotate:
      before_matrix_change(r);
      sgl_es2_rotate(current_matrix(r), f(0), f(1), f(2), f(3));
      break;
    case kListScale:
      before_matrix_change(r);
      sgl_es2_scale(current_matrix(r), f(0), f(1), f(2));
      break;
    case kListViewport:
      if (i(2) < 0 || i(3) < 0) break;
      if (i(0) == r->viewport[0] && i(1) == r->viewport[1] && i(2) == r->viewport[2] &&
          i(3) == r->viewport[3]) {
        break;
      }
      before_state_change(r);
      for (int k = 0; k < 4; ++k) r->viewport[k] = i(k);
      glViewport(i(0), i(1), i(2), i(3));
      break;
    case kListClear:
      before_state_change(r);
      glClear(p[0] & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT));
      break;
    case kListClearColor:
      glClearColor(f(0), f(1), f(2), f(3));  // read by the next clear only
      break;
    case kListClearStencil:
      glClearStencil(i(0));
      break;
    case kListStencilMask:
      before_state_change(r);
      glStencilMask(p[0]);
      break;
    case kListStencilFunc:
      before_state_change(r);
      glStencilFunc(p[0], i(1), p[2]);
      break;
    case kListStencilOp:
      before_state_change(r);
      glStencilOp(p[0], p[1], p[2]);
      break;
    case kListColorMask:
      before_state_change(r);
      glColorMask(p[0] != 0, p[1] != 0, p[2] != 0, p[3] != 0);
      break;
    case kListScissor:
      if (i(2) < 0 || i(3) < 0) break;
      before_state_change(r);
      glScissor(i(0), i(1), i(2), i(3));
      break;
    case kListClipPlane: {
      double equation[4];
      std::memcpy(equation, p + 1, sizeof equation);
      set_clip_plane(r, p[0], equation);
      break;
    }
    case kListCallList:
      call_list(r, p[0]);
      break;
    case kListBegin:
      if (r->in_begin) break;
      r->in_begin = true;
      r->immediate_mode = p[0];
      r->immediate_count = 0;
      break;
    case kListEnd:
      immediate_end(r);
      break;
    case kListVertex:
      immediate_vertex(r, f(0), f(1));
      break;
    case kListTexCoord:
      r->texcoord[0] = f(0);
      r->texcoord[1] = f(1);
      break;
    case kListDraw: {
      const uint32_t count = p[1];
      const float* xy = reinterpret_cast<const float*>(p + 3);
      const Vertices v = {count, xy, p[2] != 0 ? xy + 2 * count : nullptr, nullptr};
      draw(r, p[0], v);
      break;
    }
    default:
      break;
  }
}

void call_list(Es2Renderer* r, uint32_t list) {
  if (list == 0 || list >= kLists || r->call_depth >= kListNesting) return;
  const ListEntry entry = r->lists[list];
  ++r->call_depth;
  for (uint32_t at = entry.start; at < entry.start + entry.length;) {
    const uint32_t header = r->list_words[at];
    execute(r, header & ((1u << kListOpBits) - 1), r->list_words + at + 1);
    at += 1 + (header >> kListOpBits);
  }
  --r->call_depth;
}

// Room in the list being compiled for an operation of `words` arguments:
// where they go, or null when the list store is full (the list ends there,
// as OpenGL's would on running out of memory).
uint32_t* list_record(Es2Renderer* r, uint32_t op, uint32_t words) {
  if (kListWords - r->list_used < words + 1) return nullptr;
  uint32_t* at = r->list_words + r->list_used;
  at[0] = op | (words << kListOpBits);
  r->list_used += words + 1;
  return at + 1;
}

// A call: compiled into the list being made, executed, or both.
void call(Es2Renderer* r, uint32_t op, const uint32_t* arguments, uint32_t words) {
  if (r->compiling != 0) {
    // An operation without arguments has none to copy (and no pointer).
    uint32_t* at = list_record(r, op, words);
    if (at != nullptr && words > 0) std::memcpy(at, arguments, words * 4);
    if (r->compile_mode == kGlCompile) return;
  }
  execute(r, op, arguments);
}

void call0(void* self, uint32_t op) {
  call(es2(self), op, nullptr, 0);
}

template <typename... Words>
void call_words(void* self, uint32_t op, Words... words) {
  const uint32_t arguments[] = {static_cast<uint32_t>(words)...};
  call(es2(self), op, arguments, sizeof...(Words));
}

// ---------------------------------------------------------------------------
// The table's operations
// ---------------------------------------------------------------------------
void es2_enable(void* self, uint32_t capability) {
  call_words(self, kListEnable, capability);
}
void es2_disable(void* self, uint32_t capability) {
  call_words(self, kListDisable, capability);
}
void es2_enable_client_state(void* self, uint32_t array) {
  if (array == kGlVertexArray) es2(self)->vertex_array = true;
  if (array == kGlTextureCoordArray) es2(self)->texcoord_array = true;
}
void es2_disable_client_state(void* self, uint32_t array) {
  if (array == kGlVertexArray) es2(self)->vertex_array = false;
  if (array == kGlTextureCoordArray) es2(self)->texcoord_array = false;
}
void es2_alpha_func(void* self, uint32_t function, float reference) {
  call_words(self, kListAlphaFunc, function, bits_of(reference));
}
void es2_blend_func(void* self, uint32_t source, uint32_t destination) {
  call_words(self, kListBlendFunc, source, destination);
}
void es2_depth_func(void* self, uint32_t function) {
  call_words(self, kListDepthFunc, function);
}
void es2_bind_texture(void* self, uint32_t target, uint32_t name) {
  call_words(self, kListBindTexture, target, name);
}
void es2_tex_env_i(void* self, uint32_t target, uint32_t name, int32_t value) {
  call_words(self, kListTexEnv, target, name, value);
}
void es2_color_4f(void* self, float red, float green, float blue, float alpha) {
  call_words(self, kListColor, bits_of(red), bits_of(green), bits_of(blue), bits_of(alpha));
}
void es2_line_width(void* self, float width) {
  call_words(self, kListLineWidth, bits_of(width));
}
void es2_point_size(void* self, float size) {
  call_words(self, kListPointSize, bits_of(size));
}
void es2_matrix_mode(void* self, uint32_t mode) {
  call_words(self, kListMatrixMode, mode);
}
void es2_load_identity(void* self) {
  call0(self, kListLoadIdentity);
}
void es2_load_matrix_f(void* self, const float* matrix) {
  uint32_t words[16];
  std::memcpy(words, matrix, sizeof words);
  call(es2(self), kListLoadMatrix, words, 16);
}
void es2_push_matrix(void* self) {
  call0(self, kListPushMatrix);
}
void es2_pop_matrix(void* self) {
  call0(self, kListPopMatrix);
}
void es2_translate_f(void* self, float x, float y, float z) {
  call_words(self, kListTranslate, bits_of(x), bits_of(y), bits_of(z));
}
void es2_rotate_f(void* self, float degrees, float x, float y, float z) {
  call_words(self, kListRotate, bits_of(degrees), bits_of(x), bits_of(y), bits_of(z));
}
void es2_scale_f(void* self, float x, float y, float z) {
  call_words(self, kListScale, bits_of(x), bits_of(y), bits_of(z));
}
void es2_viewport(void* self, int32_t x, int32_t y, int32_t width, int32_t height) {
  call_words(self, kListViewport, x, y, width, height);
}
void es2_clear(void* self, uint32_t mask) {
  call_words(self, kListClear, mask);
}
void es2_clear_color(void* self, float red, float green, float blue, float alpha) {
  call_words(self, kListClearColor, bits_of(red), bits_of(green), bits_of(blue), bits_of(alpha));
}
void es2_clear_stencil(void* self, int32_t value) {
  call_words(self, kListClearStencil, value);
}
void es2_stencil_mask(void* self, uint32_t mask) {
  call_words(self, kListStencilMask, mask);
}
void es2_stencil_func(void* self, uint32_t function, int32_t reference, uint32_t mask) {
  call_words(self, kListStencilFunc, function, reference, mask);
}
void es2_stencil_op(void* self, uint32_t fail, uint32_t depth_fail, uint32_t pass) {
  call_words(self, kListStencilOp, fail, depth_fail, pass);
}
void es2_color_mask(void* self, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  call_words(self, kListColorMask, red, green, blue, alpha);
}
void es2_scissor(void* self, int32_t x, int32_t y, int32_t width, int32_t height) {
  call_words(self, kListScissor, x, y, width, height);
}
void es2_clip_plane(void* self, uint32_t plane, const double* equation) {
  uint32_t words[9];
  words[0] = plane;
  std::memcpy(words + 1, equation, 4 * sizeof(double));
  call(es2(self), kListClipPlane, words, 9);
}
void es2_call_list(void* self, uint32_t list) {
  call_words(self, kListCallList, list);
}
void es2_begin(void* self, uint32_t mode) {
  call_words(self, kListBegin, mode);
}
void es2_end(void* self) {
  call0(self, kListEnd);
}
void es2_vertex_2f(void* self, float x, float y) {
  call_words(self, kListVertex, bits_of(x), bits_of(y));
}
void es2_tex_coord_2f(void* self, float s, float t) {
  call_words(self, kListTexCoord, bits_of(s), bits_of(t));
}
void es2_vertex_pointer(void* self, const float* pointer) {
  es2(self)->vertex_pointer = pointer;
}
void es2_tex_coord_pointer(void* self, const float* pointer) {
  es2(self)->texcoord_pointer = pointer;
}

void es2_draw_arrays(void* self, uint32_t mode, int32_t first, int32_t count) {
  Es2Renderer* r = es2(self);
  if (first < 0 || count <= 0 || !r->vertex_array || r->vertex_pointer == nullptr) return;
  const float* xy = r->vertex_pointer + 2 * static_cast<size_t>(first);
  const float* st = r->texcoord_array && r->texcoord_pointer != nullptr
                        ? r->texcoord_pointer + 2 * static_cast<size_t>(first)
                        : nullptr;
  const uint32_t n = static_cast<uint32_t>(count);
  if (r->compiling != 0) {
    // A list keeps the arrays as they are now, as OpenGL's does.
    const uint32_t words = 3 + (st != nullptr ? 4 : 2) * n;
    if (uint32_t* at = list_record(r, kListDraw, words)) {
      at[0] = mode;
      at[1] = n;
      at[2] = st != nullptr ? 1 : 0;
      std::memcpy(at + 3, xy, 2 * n * sizeof(float));
      if (st != nullptr) std::memcpy(at + 3 + 2 * n, st, 2 * n * sizeof(float));
    }
    if (r->compile_mode == kGlCompile) return;
  }
  const Vertices v = {n, xy, st, nullptr};
  draw(r, mode, v);
}

void es2_get_integer_v(void* self, uint32_t name, int32_t* out_values) {
  Es2Renderer* r = es2(self);
  switch (name) {
    case kGlModelviewStackDepth:
      *out_values = static_cast<int32_t>(r->modelview_depth);
      return;
    case kGlProjectionStackDepth:
      *out_values = static_cast<int32_t>(r->projection_depth);
      return;
    case kGlMaxModelviewStackDepth:
    case kGlMaxProjectionStackDepth:
      *out_values = static_cast<int32_t>(kStackDepth);
      return;
    case kGlMatrixModeQuery:
      *out_values = static_cast<int32_t>(r->matrix_mode);
      return;
    case kGlMaxClipPlanes:
      *out_values = static_cast<int32_t>(kClipPlanes);
      return;
    case GL_VIEWPORT:
      std::memcpy(out_values, r->viewport, sizeof r->viewport);
      return;
    default:
      glGetIntegerv(name, out_values);
      return;
  }
}

void es2_gen_textures(void* self, int32_t count, uint32_t* out_names) {
  Es2Renderer* r = es2(self);
  if (count <= 0) return;
  glGenTextures(count, out_names);
  for (int32_t k = 0; k < count; ++k) {
    if (out_names[k] < kTextureNames) r->textures[out_names[k]] = {0, 1, 0, 0};
  }
}

void es2_delete_textures(void* self, int32_t count, const uint32_t* names) {
  Es2Renderer* r = es2(self);
  if (count <= 0) return;
  before_state_change(r);
  glDeleteTextures(count, names);
  for (int32_t k = 0; k < count; ++k) {
    if (names[k] < kTextureNames) r->textures[names[k]] = {0, 1, 0, 0};
    // Deleting the bound texture binds name 0, in ES 2 as in OpenGL.
    if (names[k] == r->bound_texture && names[k] != 0) {
      r->bound_texture = 0;
      uniforms_changed(r);
    }
  }
}

void es2_tex_parameter_i(void* self, uint32_t target, uint32_t name, int32_t value) {
  Es2Renderer* r = es2(self);
  if (target != GL_TEXTURE_2D) return;
  // The texture may be read by the triangles waiting in the batch.
  before_uniform_change(r);
  if ((name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) &&
      (static_cast<uint32_t>(value) == kGlClamp ||
       static_cast<uint32_t>(value) == kGlClampToBorder)) {
    value = GL_CLAMP_TO_EDGE;  // the nearest ES 2 has
  }
  if (name == GL_TEXTURE_MIN_FILTER && r->bound_texture < kTextureNames) {
    r->textures[r->bound_texture].wants_mipmaps = value != GL_NEAREST && value != GL_LINEAR ? 1 : 0;
  }
  glTexParameteri(GL_TEXTURE_2D, name, value);
}

void es2_pixel_store_i(void*, uint32_t name, int32_t value) {
  if (name == GL_UNPACK_ALIGNMENT || name == GL_PACK_ALIGNMENT) glPixelStorei(name, value);
}

// The base format of an OpenGL 1.x internal format.
uint32_t base_format(int32_t internal_format) {
  switch (static_cast<uint32_t>(internal_format)) {
    case 1:
    case GL_LUMINANCE:
    case kGlLuminance8:
      return GL_LUMINANCE;
    case 2:
    case GL_LUMINANCE_ALPHA:
      return GL_LUMINANCE_ALPHA;
    case GL_ALPHA:
    case kGlAlpha8:
      return GL_ALPHA;
    case 3:
    case GL_RGB:
    case kGlRgb8:
      return GL_RGB;
    default:
      return GL_RGBA;
  }
}

void es2_tex_image_2d(void* self, uint32_t target, int32_t level, int32_t internal_format,
                      int32_t width, int32_t height, int32_t border, uint32_t format, uint32_t type,
                      const void* pixels) {
  Es2Renderer* r = es2(self);
  if (target != GL_TEXTURE_2D || border != 0) return;
  before_uniform_change(r);
  // ES 2 takes the image in the format it keeps; the library always gives
  // the two alike.
  glTexImage2D(GL_TEXTURE_2D, level, static_cast<GLint>(format), width, height, 0, format, type,
               pixels);
  if (r->bound_texture < kTextureNames && level >= 0 && level < 32) {
    TextureInfo& info = r->textures[r->bound_texture];
    if (level == 0) {
      // A new image starts a new chain.
      info.format = base_format(internal_format);
      info.levels_needed = mipmap_levels(width, height);
      info.levels_given = 0;
    }
    info.levels_given |= 1u << level;
  }
}

uint32_t es2_gen_lists(void* self, int32_t range) {
  Es2Renderer* r = es2(self);
  if (range <= 0 || static_cast<uint32_t>(range) >= kLists - r->next_list) return 0;
  const uint32_t first = r->next_list;
  r->next_list += static_cast<uint32_t>(range);
  return first;
}

void es2_new_list(void* self, uint32_t list, uint32_t mode) {
  Es2Renderer* r = es2(self);
  if (list == 0 || list >= kLists || r->compiling != 0) return;
  if (mode != kGlCompile && mode != kGlCompileAndExecute) return;
  r->compiling = list;
  r->compile_mode = mode;
  r->compile_start = r->list_used;
}

void es2_end_list(void* self) {
  Es2Renderer* r = es2(self);
  if (r->compiling == 0) return;
  r->lists[r->compiling] = {r->compile_start, r->list_used - r->compile_start};
  r->compiling = 0;
}

void es2_read_pixels(void* self, int32_t x, int32_t y, int32_t width, int32_t height,
                     int32_t row_pixels, uint8_t* out_bgra) {
  Es2Renderer* r = es2(self);
  flush_batch(r);
  // ES 2 reads RGBA only: as many rows as the scratch holds at a time, each
  // turned into blue, green, red, alpha on its way to its row.
  const size_t row_bytes = static_cast<size_t>(width) * 4;
  if (row_bytes == 0 || row_bytes > r->pixel_bytes) return;
  const int32_t rows_at_once = static_cast<int32_t>(r->pixel_bytes / row_bytes);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  for (int32_t row = 0; row < height; row += rows_at_once) {
    const int32_t rows = height - row < rows_at_once ? height - row : rows_at_once;
    glReadPixels(x, y + row, width, rows, GL_RGBA, GL_UNSIGNED_BYTE, r->pixels);
    for (int32_t k = 0; k < rows; ++k) {
      const uint8_t* from = r->pixels + static_cast<size_t>(k) * row_bytes;
      uint8_t* to = out_bgra + static_cast<size_t>(row + k) * static_cast<size_t>(row_pixels) * 4;
      for (int32_t p = 0; p < width; ++p) {
        to[4 * p + 0] = from[4 * p + 2];
        to[4 * p + 1] = from[4 * p + 1];
        to[4 * p + 2] = from[4 * p + 0];
        to[4 * p + 3] = from[4 * p + 3];
      }
    }
  }
}

void es2_draw_pixels(void* self, int32_t width, int32_t height, const uint8_t* bgra,
                     int32_t to_width, int32_t to_height) {
  Es2Renderer* r = es2(self);
  flush_batch(r);
  const uint8_t saved[5] = {r->blend, r->scissor_test, r->stencil_test, r->depth_test,
                            r->cull_face};
  const GLenum capabilities[5] = {GL_BLEND, GL_SCISSOR_TEST, GL_STENCIL_TEST, GL_DEPTH_TEST,
                                  GL_CULL_FACE};
  for (GLenum c : capabilities) glDisable(c);
  glViewport(0, 0, to_width, to_height);
  glUseProgram(r->blit_program);
  glBindTexture(GL_TEXTURE_2D, r->blit_texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, bgra);
  for (GLuint a = kColor; a <= kCoverage; ++a) glDisableVertexAttribArray(a);
  glBindBuffer(GL_ARRAY_BUFFER, r->blit_buffer);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  // Back to the library's state, as the drawing code left it.
  for (int k = 0; k < 5; ++k) {
    if (saved[k] != 0) glEnable(capabilities[k]);
  }
  glViewport(r->viewport[0], r->viewport[1], r->viewport[2], r->viewport[3]);
  glUseProgram(r->variant < kSglEs2Variants ? r->programs[r->variant].id : 0);
  glBindTexture(GL_TEXTURE_2D, r->bound_texture);
  point_attributes_at_batch(r);
}

void es2_flush(void* self) {
  flush_batch(es2(self));
  glFlush();
}

const sgl_renderer kEs2Table = {
    "es2",
    nullptr,
    es2_enable,
    es2_disable,
    es2_enable_client_state,
    es2_disable_client_state,
    es2_alpha_func,
    es2_blend_func,
    es2_depth_func,
    es2_bind_texture,
    es2_tex_env_i,
    es2_color_4f,
    es2_line_width,
    es2_point_size,
    es2_matrix_mode,
    es2_load_identity,
    es2_load_matrix_f,
    es2_push_matrix,
    es2_pop_matrix,
    es2_translate_f,
    es2_rotate_f,
    es2_scale_f,
    es2_viewport,
    es2_clear,
    es2_clear_color,
    es2_clear_stencil,
    es2_stencil_mask,
    es2_stencil_func,
    es2_stencil_op,
    es2_color_mask,
    es2_scissor,
    es2_clip_plane,
    es2_call_list,
    es2_begin,
    es2_end,
    es2_vertex_2f,
    es2_tex_coord_2f,
    es2_vertex_pointer,
    es2_tex_coord_pointer,
    es2_draw_arrays,
    es2_get_integer_v,
    es2_gen_textures,
    es2_delete_textures,
    es2_tex_parameter_i,
    es2_pixel_store_i,
    es2_tex_image_2d,
    es2_gen_lists,
    es2_new_list,
    es2_end_list,
    es2_read_pixels,
    es2_draw_pixels,
    es2_flush,
};

// ---------------------------------------------------------------------------
// Creation
// ---------------------------------------------------------------------------
GLuint compile(GLenum kind, const char* source) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[512] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "es2 renderer: shader not compiled: %s\n", log);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

// A program from two shaders with the attributes at the given locations,
// the variant's bits defined for both (a variant of kSglEs2Variants: no defines).
GLuint link(const char* vertex_source, const char* fragment_source, uint32_t variant,
            const char* const* attributes, GLuint attribute_count) {
  char defines[96] = "";
  if (variant < kSglEs2Variants) {
    std::snprintf(defines, sizeof defines,
                  "#define TEXTURE %d\n#define COVERAGE %d\n#define ALPHA_TEST %d\n",
                  (variant & kSglEs2VariantTexture) != 0, (variant & kSglEs2VariantCoverage) != 0,
                  (variant & kSglEs2VariantAlphaTest) != 0);
  }
  const std::string vertex_text = std::string(defines) + vertex_source;
  const std::string fragment_text = std::string(defines) + fragment_source;
  const GLuint vertex = compile(GL_VERTEX_SHADER, vertex_text.c_str());
  const GLuint fragment = compile(GL_FRAGMENT_SHADER, fragment_text.c_str());
  if (vertex == 0 || fragment == 0) {
    if (vertex != 0) glDeleteShader(vertex);
    if (fragment != 0) glDeleteShader(fragment);
    return 0;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  for (GLuint a = 0; a < attribute_count; ++a) glBindAttribLocation(program, a, attributes[a]);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[512] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    std::fprintf(stderr, "es2 renderer: program not linked: %s\n", log);
    glDeleteProgram(program);
    return 0;
  }
  return program;
}

void delete_programs(Es2Renderer* r) {
  glUseProgram(0);
  for (Es2Renderer::Program& program : r->programs) {
    if (program.id != 0) glDeleteProgram(program.id);
    program.id = 0;
  }
  if (r->blit_program != 0) glDeleteProgram(r->blit_program);
  r->blit_program = 0;
}

void free_memory(Es2Renderer* r) {
  std::free(r->vertices);
  std::free(r->indices);
  std::free(r->immediate_xy);
  std::free(r->immediate_st);
  std::free(r->immediate_rgba);
  std::free(r->list_words);
  std::free(r->pixels);
  std::free(r);
}

}  // namespace

sgl_renderer* sglCreateRendererEs2(int32_t max_width, int32_t max_height) {
  if (max_width <= 0 || max_height <= 0) return nullptr;
  auto* r = static_cast<Es2Renderer*>(std::calloc(1, sizeof(Es2Renderer)));
  if (r == nullptr) return nullptr;
  r->pixel_bytes = static_cast<size_t>(max_width) * static_cast<size_t>(max_height) * 4;
  r->vertices = static_cast<float*>(std::malloc(kBatchVertices * size_t{kVertexBytes}));
  r->indices = static_cast<uint16_t*>(std::malloc(kBatchIndices * sizeof(uint16_t)));
  r->immediate_xy = static_cast<float(*)[2]>(std::malloc(kImmediateVertices * sizeof(float[2])));
  r->immediate_st = static_cast<float(*)[2]>(std::malloc(kImmediateVertices * sizeof(float[2])));
  r->immediate_rgba = static_cast<float(*)[4]>(std::malloc(kImmediateVertices * sizeof(float[4])));
  r->list_words = static_cast<uint32_t*>(std::malloc(kListWords * sizeof(uint32_t)));
  r->pixels = static_cast<uint8_t*>(std::malloc(r->pixel_bytes));
  if (r->vertices == nullptr || r->indices == nullptr || r->immediate_xy == nullptr ||
      r->immediate_st == nullptr || r->immediate_rgba == nullptr || r->list_words == nullptr ||
      r->pixels == nullptr) {
    std::fprintf(stderr, "es2 renderer: out of memory\n");
    free_memory(r);
    return nullptr;
  }

  // The variant with everything is made now: a context that cannot
  // compile it gets no renderer. The others follow when first wanted.
  const char* const blit_attributes[] = {"a_corner"};
  r->blit_program =
      link(kSglEs2BlitVertexShader, kSglEs2BlitFragmentShader, kSglEs2Variants, blit_attributes, 1);
  r->texture_2d = r->alpha_test = r->batch_has_lines = true;
  r->alpha_function = kGlNever;
  r->bound_texture = kTextureNames;
  if (r->blit_program == 0 || !use_program(r)) {
    delete_programs(r);
    free_memory(r);
    return nullptr;
  }
  r->texture_2d = r->alpha_test = r->batch_has_lines = false;
  r->bound_texture = 0;
  r->blit_image = glGetUniformLocation(r->blit_program, "u_image");

  glGenBuffers(1, &r->vertex_buffer);
  glGenBuffers(1, &r->index_buffer);
  glGenBuffers(1, &r->blit_buffer);
  glGenTextures(1, &r->blit_texture);
  const float corners[8] = {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f};
  glBindBuffer(GL_ARRAY_BUFFER, r->blit_buffer);
  glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
  // The kept frame is shown pixel for pixel, or stretched by repeating them.
  glBindTexture(GL_TEXTURE_2D, r->blit_texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glUseProgram(r->blit_program);
  glUniform1i(r->blit_image, 0);
  glBindTexture(GL_TEXTURE_2D, 0);

  glBindBuffer(GL_ARRAY_BUFFER, r->vertex_buffer);
  glBufferData(GL_ARRAY_BUFFER, kBatchVertices * kVertexBytes, nullptr, GL_STREAM_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, r->index_buffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, kBatchIndices * sizeof(uint16_t), nullptr, GL_STREAM_DRAW);
  glActiveTexture(GL_TEXTURE0);
  point_attributes_at_batch(r);

  // OpenGL 1.x's initial state.
  for (uint32_t k = 0; k < kStackDepth; ++k) {
    sgl_es2_identity(r->modelview[k]);
    sgl_es2_identity(r->projection[k]);
  }
  for (uint32_t k = 0; k < kTextureStackDepth; ++k) sgl_es2_identity(r->texture_matrix[k]);
  r->modelview_depth = r->projection_depth = r->texture_depth = 1;
  r->matrix_mode = kGlModelview;
  r->color[0] = r->color[1] = r->color[2] = r->color[3] = 1.0f;
  r->line_width = 1.0f;
  r->point_size = 1.0f;
  r->texture_env = kGlModulate;
  r->alpha_function = kGlAlways;
  r->alpha_reference = 0.0f;
  for (TextureInfo& info : r->textures) info = {0, 1, 0, 0};
  r->next_list = 1;
  glGetIntegerv(GL_VIEWPORT, r->viewport);
  r->variant = kSglEs2Variants;  // none in use yet
  uniforms_changed(r);

  r->table = kEs2Table;
  r->table.self = r;
  return &r->table;
}

void sglDestroyRendererEs2(sgl_renderer* renderer) {
  if (renderer == nullptr) return;
  Es2Renderer* r = es2(renderer->self);
  glDeleteBuffers(1, &r->vertex_buffer);
  glDeleteBuffers(1, &r->index_buffer);
  glDeleteBuffers(1, &r->blit_buffer);
  glDeleteTextures(1, &r->blit_texture);
  delete_programs(r);
  free_memory(r);
}
