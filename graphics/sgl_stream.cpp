// The frame recorder: the library's OpenGL calls, issued at once or recorded
// as a stream of words, and the frames built on it (sglBeginFrame,
// sglEndFrame, sglInvalidateFrame).
//
// A record is a header word (operation in the low byte, payload words above
// it) and its payload: integers as they are, floats and doubles by their
// bits, so that two streams are equal exactly when memcmp says so. A draw
// carries (mode, count, has texture coordinates) and the copied arrays.
#include <cstring>

#include "graphics/sgl_internal.h"
#include "graphics/sgl_renderer_internal.h"
#include "graphics/sgl_stream_internal.h"

namespace {

enum StreamOp : uint32_t {
  kOpEnable = 1,
  kOpDisable,
  kOpEnableClientState,
  kOpDisableClientState,
  kOpAlphaFunc,
  kOpBlendFunc,
  kOpDepthFunc,
  kOpBindTexture,
  kOpTexEnvi,
  kOpColor4fv,
  kOpLineWidth,
  kOpPointSize,
  kOpMatrixMode,
  kOpLoadIdentity,
  kOpLoadMatrixf,
  kOpPushMatrix,
  kOpPopMatrix,
  kOpTranslatef,
  kOpRotatef,
  kOpScalef,
  kOpViewport,
  kOpClear,
  kOpClearColor,
  kOpClearStencil,
  kOpStencilMask,
  kOpStencilFunc,
  kOpStencilOp,
  kOpColorMask,
  kOpScissor,
  kOpClipPlane,
  kOpCallList,
  kOpBegin,
  kOpEnd,
  kOpVertex2f,
  kOpTexCoord2f,
  kOpDrawArrays,
};

constexpr uint32_t kOpBits = 8;
constexpr uint32_t kOpMask = (1u << kOpBits) - 1;
constexpr uint32_t kDrawHeaderWords = 3;  // mode, count, has texture coordinates
// No colour the library issues has these bits (a NaN), so the first colour
// of a frame always goes out.
constexpr uint32_t kUnknownColorBits = 0xFFFFFFFFu;

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

sgl_stream_state* stream_of() {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  return context == nullptr ? nullptr : &context->stream;
}

// The renderer's client arrays back to what the library gave them, after a
// replay pointed them at the records' copies.
void restore_array_pointers(const sgl_renderer* r, const sgl_stream_state* stream) {
  r->vertex_pointer(r->self, stream->vertex_pointer);
  r->tex_coord_pointer(r->self, stream->texcoord_pointer);
}

void replay_draw(const sgl_renderer* r, const uint32_t* payload) {
  const GLenum mode = payload[0];
  const uint32_t count = payload[1];
  const float* xy = reinterpret_cast<const float*>(payload + kDrawHeaderWords);
  r->vertex_pointer(r->self, xy);
  if (payload[2] != 0) r->tex_coord_pointer(r->self, xy + 2 * count);
  r->draw_arrays(r->self, mode, 0, static_cast<int32_t>(count));
}

void replay_record(const sgl_renderer* r, uint32_t op, const uint32_t* p) {
  const auto f = [p](uint32_t k) { return float_of(p[k]); };
  const auto i = [p](uint32_t k) { return static_cast<int32_t>(p[k]); };
  void* self = r->self;
  switch (op) {
    case kOpEnable:
      r->enable(self, p[0]);
      break;
    case kOpDisable:
      r->disable(self, p[0]);
      break;
    case kOpEnableClientState:
      r->enable_client_state(self, p[0]);
      break;
    case kOpDisableClientState:
      r->disable_client_state(self, p[0]);
      break;
    case kOpAlphaFunc:
      r->alpha_func(self, p[0], f(1));
      break;
    case kOpBlendFunc:
      r->blend_func(self, p[0], p[1]);
      break;
    case kOpDepthFunc:
      r->depth_func(self, p[0]);
      break;
    case kOpBindTexture:
      r->bind_texture(self, p[0], p[1]);
      break;
    case kOpTexEnvi:
      r->tex_env_i(self, p[0], p[1], i(2));
      break;
    case kOpColor4fv:
      r->color_4f(self, f(0), f(1), f(2), f(3));
      break;
    case kOpLineWidth:
      r->line_width(self, f(0));
      break;
    case kOpPointSize:
      r->point_size(self, f(0));
      break;
    case kOpMatrixMode:
      r->matrix_mode(self, p[0]);
      break;
    case kOpLoadIdentity:
      r->load_identity(self);
      break;
    case kOpLoadMatrixf:
      r->load_matrix_f(self, reinterpret_cast<const float*>(p));
      break;
    case kOpPushMatrix:
      r->push_matrix(self);
      break;
    case kOpPopMatrix:
      r->pop_matrix(self);
      break;
    case kOpTranslatef:
      r->translate_f(self, f(0), f(1), f(2));
      break;
    case kOpRotatef:
      r->rotate_f(self, f(0), f(1), f(2), f(3));
      break;
    case kOpScalef:
      r->scale_f(self, f(0), f(1), f(2));
      break;
    case kOpViewport:
      r->viewport(self, i(0), i(1), i(2), i(3));
      break;
    case kOpClear:
      r->clear(self, p[0]);
      break;
    case kOpClearColor:
      r->clear_color(self, f(0), f(1), f(2), f(3));
      break;
    case kOpClearStencil:
      r->clear_stencil(self, i(0));
      break;
    case kOpStencilMask:
      r->stencil_mask(self, p[0]);
      break;
    case kOpStencilFunc:
      r->stencil_func(self, p[0], i(1), p[2]);
      break;
    case kOpStencilOp:
      r->stencil_op(self, p[0], p[1], p[2]);
      break;
    case kOpColorMask:
      r->color_mask(self, static_cast<uint8_t>(p[0]), static_cast<uint8_t>(p[1]),
                    static_cast<uint8_t>(p[2]), static_cast<uint8_t>(p[3]));
      break;
    case kOpScissor:
      r->scissor(self, i(0), i(1), i(2), i(3));
      break;
    case kOpClipPlane: {
      GLdouble equation[4];
      std::memcpy(equation, p + 1, sizeof equation);
      r->clip_plane(self, p[0], equation);
      break;
    }
    case kOpCallList:
      r->call_list(self, p[0]);
      break;
    case kOpBegin:
      r->begin(self, p[0]);
      break;
    case kOpEnd:
      r->end(self);
      break;
    case kOpVertex2f:
      r->vertex_2f(self, f(0), f(1));
      break;
    case kOpTexCoord2f:
      r->tex_coord_2f(self, f(0), f(1));
      break;
    case kOpDrawArrays:
      replay_draw(r, p);
      break;
    default:
      break;
  }
}

// Sends words [0, count) of a stream to the renderer in order; the array
// pointers are left as the library gave them, for whatever is drawn directly
// next.
void replay(const sgl_stream_state* stream, const uint32_t* words, uint32_t count) {
  const sgl_renderer* r = sgli_renderer();
  for (uint32_t at = 0; at < count;) {
    const uint32_t op = words[at] & kOpMask;
    const uint32_t length = words[at] >> kOpBits;
    replay_record(r, op, words + at + 1);
    at += 1 + length;
  }
  restore_array_pointers(r, stream);
}

// A call made at once: the current context's renderer gets it.
template <typename Operation, typename... Arguments>
auto issue(Operation sgl_renderer::*operation, Arguments... arguments) {
  const sgl_renderer* r = sgli_renderer();
  return (r->*operation)(r->self, arguments...);
}

void note_stream_size(sgl_stream_state* stream) {
  const uint32_t bytes = stream->current_words * 4;
  if (bytes > stream->peak_bytes) stream->peak_bytes = bytes;
}

// What is recorded goes to OpenGL and the rest of the frame is drawn
// directly; the next frame is then compared with nothing.
void send_and_go_direct(sgl_stream_state* stream) {
  note_stream_size(stream);
  replay(stream, stream->current, stream->current_words);
  stream->current_words = 0;
  stream->recording = 0;
  stream->last_valid = 0;
}

// Where a record of `payload` words goes: its payload in the stream, or
// null when the call is to be made directly (outside a frame, which makes
// OpenGL differ from the last frame sent; without a buffer; after the frame
// went direct; or when the record does not fit, which sends what fits).
uint32_t* record(uint32_t op, uint32_t payload) {
  sgl_stream_state* stream = stream_of();
  if (stream == nullptr) return nullptr;
  if (!stream->in_frame) {
    stream->last_valid = 0;
    return nullptr;
  }
  if (!stream->recording) return nullptr;
  if (stream->capacity_words - stream->current_words < payload + 1) {
    stream->overflows++;
    send_and_go_direct(stream);
    return nullptr;
  }
  uint32_t* at = stream->current + stream->current_words;
  at[0] = op | (payload << kOpBits);
  stream->current_words += payload + 1;
  return at + 1;
}

// Before a call that cannot be recorded.
void leave_recording() {
  sgl_stream_state* stream = stream_of();
  if (stream == nullptr) return;
  if (stream->recording) {
    send_and_go_direct(stream);
  } else {
    stream->last_valid = 0;
  }
}

bool record1(uint32_t op, uint32_t a) {
  uint32_t* p = record(op, 1);
  if (p == nullptr) return false;
  p[0] = a;
  return true;
}

bool record2(uint32_t op, uint32_t a, uint32_t b) {
  uint32_t* p = record(op, 2);
  if (p == nullptr) return false;
  p[0] = a;
  p[1] = b;
  return true;
}

bool record3(uint32_t op, uint32_t a, uint32_t b, uint32_t c) {
  uint32_t* p = record(op, 3);
  if (p == nullptr) return false;
  p[0] = a;
  p[1] = b;
  p[2] = c;
  return true;
}

bool record4(uint32_t op, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  uint32_t* p = record(op, 4);
  if (p == nullptr) return false;
  p[0] = a;
  p[1] = b;
  p[2] = c;
  p[3] = d;
  return true;
}

uint32_t word_of(int32_t value) {
  return static_cast<uint32_t>(value);
}

}  // namespace

// ---------------------------------------------------------------------------
// Set-up
// ---------------------------------------------------------------------------
void sgli_stream_initialize(sgl_type_statemachine* context, uint8_t* buffer, uint32_t bytes) {
  sgl_stream_state* stream = &context->stream;
  std::memset(stream, 0, sizeof *stream);
  if (buffer == nullptr) return;
  // Words need 4-byte alignment; the caller's buffer may start anywhere.
  const uint32_t skip = static_cast<uint32_t>((4 - reinterpret_cast<uintptr_t>(buffer) % 4) % 4);
  if (bytes <= skip) return;
  const uint32_t half = (bytes - skip) / 4 / 2;
  if (half < 2) return;
  stream->current = reinterpret_cast<uint32_t*>(buffer + skip);
  stream->last = stream->current + half;
  stream->capacity_words = half;
}

// ---------------------------------------------------------------------------
// Frames
// ---------------------------------------------------------------------------
void sglBeginFrame(const float clear_rgba[4]) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context == nullptr) return;
  sgl_stream_state* stream = &context->stream;
  if (stream->in_frame) sglEndFrame();  // a frame never ended still goes out
  // A static sequence the last frame left recording would swallow the clear
  // (sglReset would end it only after).
  if (context->statics.sequence_list != 0) {
    sgliGlEndList();
    context->statics.sequence_list = 0;
    context->cache_bypass = 0;
  }
  stream->in_frame = 1;
  stream->recording = stream->capacity_words > 0 ? 1 : 0;
  stream->current_words = 0;
  // The stream must say everything its pixels depend on: a colour the cache
  // kept from the last frame would be left out, and two frames drawn in
  // different colours could record the same words.
  std::memcpy(context->gl_color, &kUnknownColorBits, sizeof(float));
  // The clear must reach the whole buffer, whatever the last frame left.
  sgliGlDisable(GL_SCISSOR_TEST);
  context->gl_scissor_test = 0;
  sgliGlDisable(GL_DEPTH_TEST);
  context->gl_depth_test = 0;
  sgliGlColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  sgliGlStencilMask(0xFFFFFFFFu);
  sgliGlClearStencil(0);
  const float black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  const float* rgba = clear_rgba != nullptr ? clear_rgba : black;
  sgliGlClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
  sgliGlClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

uint8_t sglEndFrame() {
  sgl_stream_state* stream = stream_of();
  if (stream == nullptr || !stream->in_frame) return 1;
  stream->in_frame = 0;
  if (!stream->recording) {
    stream->last_valid = 0;
    stream->frames_sent++;
    return 1;
  }
  stream->recording = 0;
  note_stream_size(stream);
  if (stream->last_valid && stream->current_words == stream->last_words &&
      std::memcmp(stream->current, stream->last, stream->current_words * 4) == 0) {
    stream->frames_kept++;
    return 0;
  }
  replay(stream, stream->current, stream->current_words);
  uint32_t* sent = stream->current;
  stream->current = stream->last;
  stream->last = sent;
  stream->last_words = stream->current_words;
  stream->current_words = 0;
  stream->last_valid = 1;
  stream->frames_sent++;
  return 1;
}

void sglInvalidateFrame() {
  sgl_stream_state* stream = stream_of();
  if (stream != nullptr) stream->last_valid = 0;
}

// ---------------------------------------------------------------------------
// Recordable calls
// ---------------------------------------------------------------------------
void sgliGlEnable(GLenum capability) {
  if (!record1(kOpEnable, capability)) issue(&sgl_renderer::enable, capability);
}

void sgliGlDisable(GLenum capability) {
  if (!record1(kOpDisable, capability)) issue(&sgl_renderer::disable, capability);
}

void sgliGlEnableClientState(GLenum array) {
  if (sgl_stream_state* stream = stream_of()) {
    if (array == GL_VERTEX_ARRAY) stream->vertex_array = 1;
    if (array == GL_TEXTURE_COORD_ARRAY) stream->texcoord_array = 1;
  }
  if (!record1(kOpEnableClientState, array)) issue(&sgl_renderer::enable_client_state, array);
}

void sgliGlDisableClientState(GLenum array) {
  if (sgl_stream_state* stream = stream_of()) {
    if (array == GL_VERTEX_ARRAY) stream->vertex_array = 0;
    if (array == GL_TEXTURE_COORD_ARRAY) stream->texcoord_array = 0;
  }
  if (!record1(kOpDisableClientState, array)) issue(&sgl_renderer::disable_client_state, array);
}

void sgliGlAlphaFunc(GLenum function, GLfloat reference) {
  if (!record2(kOpAlphaFunc, function, bits_of(reference)))
    issue(&sgl_renderer::alpha_func, function, reference);
}

void sgliGlBlendFunc(GLenum source, GLenum destination) {
  if (!record2(kOpBlendFunc, source, destination))
    issue(&sgl_renderer::blend_func, source, destination);
}

void sgliGlDepthFunc(GLenum function) {
  if (!record1(kOpDepthFunc, function)) issue(&sgl_renderer::depth_func, function);
}

void sgliGlBindTexture(GLenum target, GLuint name) {
  if (!record2(kOpBindTexture, target, name)) issue(&sgl_renderer::bind_texture, target, name);
}

void sgliGlTexEnvi(GLenum target, GLenum name, GLint value) {
  if (!record3(kOpTexEnvi, target, name, word_of(value)))
    issue(&sgl_renderer::tex_env_i, target, name, value);
}

void sgliGlColor4fv(const GLfloat* rgba) {
  if (!record4(kOpColor4fv, bits_of(rgba[0]), bits_of(rgba[1]), bits_of(rgba[2]),
               bits_of(rgba[3]))) {
    issue(&sgl_renderer::color_4f, rgba[0], rgba[1], rgba[2], rgba[3]);
  }
}

void sgliGlLineWidth(GLfloat width) {
  if (!record1(kOpLineWidth, bits_of(width))) issue(&sgl_renderer::line_width, width);
}

void sgliGlPointSize(GLfloat size) {
  if (!record1(kOpPointSize, bits_of(size))) issue(&sgl_renderer::point_size, size);
}

void sgliGlMatrixMode(GLenum mode) {
  if (!record1(kOpMatrixMode, mode)) issue(&sgl_renderer::matrix_mode, mode);
}

void sgliGlLoadIdentity() {
  if (record(kOpLoadIdentity, 0) == nullptr) issue(&sgl_renderer::load_identity);
}

void sgliGlLoadMatrixf(const GLfloat* matrix) {
  uint32_t* p = record(kOpLoadMatrixf, 16);
  if (p == nullptr) {
    issue(&sgl_renderer::load_matrix_f, matrix);
    return;
  }
  std::memcpy(p, matrix, 16 * sizeof(GLfloat));
}

void sgliGlPushMatrix() {
  if (record(kOpPushMatrix, 0) == nullptr) issue(&sgl_renderer::push_matrix);
}

void sgliGlPopMatrix() {
  if (record(kOpPopMatrix, 0) == nullptr) issue(&sgl_renderer::pop_matrix);
}

void sgliGlTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  if (!record3(kOpTranslatef, bits_of(x), bits_of(y), bits_of(z)))
    issue(&sgl_renderer::translate_f, x, y, z);
}

void sgliGlRotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z) {
  if (!record4(kOpRotatef, bits_of(degrees), bits_of(x), bits_of(y), bits_of(z))) {
    issue(&sgl_renderer::rotate_f, degrees, x, y, z);
  }
}

void sgliGlScalef(GLfloat x, GLfloat y, GLfloat z) {
  if (!record3(kOpScalef, bits_of(x), bits_of(y), bits_of(z)))
    issue(&sgl_renderer::scale_f, x, y, z);
}

void sgliGlViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (!record4(kOpViewport, word_of(x), word_of(y), word_of(width), word_of(height))) {
    issue(&sgl_renderer::viewport, x, y, width, height);
  }
}

void sgliGlClear(GLbitfield mask) {
  if (!record1(kOpClear, mask)) issue(&sgl_renderer::clear, mask);
}

void sgliGlClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
  if (!record4(kOpClearColor, bits_of(red), bits_of(green), bits_of(blue), bits_of(alpha))) {
    issue(&sgl_renderer::clear_color, red, green, blue, alpha);
  }
}

void sgliGlClearStencil(GLint value) {
  if (!record1(kOpClearStencil, word_of(value))) issue(&sgl_renderer::clear_stencil, value);
}

void sgliGlStencilMask(GLuint mask) {
  if (!record1(kOpStencilMask, mask)) issue(&sgl_renderer::stencil_mask, mask);
}

void sgliGlStencilFunc(GLenum function, GLint reference, GLuint mask) {
  if (!record3(kOpStencilFunc, function, word_of(reference), mask)) {
    issue(&sgl_renderer::stencil_func, function, reference, mask);
  }
}

void sgliGlStencilOp(GLenum fail, GLenum depth_fail, GLenum pass) {
  if (!record3(kOpStencilOp, fail, depth_fail, pass))
    issue(&sgl_renderer::stencil_op, fail, depth_fail, pass);
}

void sgliGlColorMask(GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha) {
  if (!record4(kOpColorMask, red, green, blue, alpha))
    issue(&sgl_renderer::color_mask, red, green, blue, alpha);
}

void sgliGlScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (!record4(kOpScissor, word_of(x), word_of(y), word_of(width), word_of(height))) {
    issue(&sgl_renderer::scissor, x, y, width, height);
  }
}

void sgliGlClipPlane(GLenum plane, const GLdouble* equation) {
  uint32_t* p = record(kOpClipPlane, 1 + 8);
  if (p == nullptr) {
    issue(&sgl_renderer::clip_plane, plane, equation);
    return;
  }
  p[0] = plane;
  std::memcpy(p + 1, equation, 4 * sizeof(GLdouble));
}

void sgliGlCallList(GLuint list) {
  if (!record1(kOpCallList, list)) issue(&sgl_renderer::call_list, list);
}

void sgliGlBegin(GLenum mode) {
  if (!record1(kOpBegin, mode)) issue(&sgl_renderer::begin, mode);
}

void sgliGlEnd() {
  if (record(kOpEnd, 0) == nullptr) issue(&sgl_renderer::end);
}

void sgliGlVertex2f(GLfloat x, GLfloat y) {
  if (!record2(kOpVertex2f, bits_of(x), bits_of(y))) issue(&sgl_renderer::vertex_2f, x, y);
}

void sgliGlTexCoord2f(GLfloat s, GLfloat t) {
  if (!record2(kOpTexCoord2f, bits_of(s), bits_of(t))) issue(&sgl_renderer::tex_coord_2f, s, t);
}

void sgliGlVertexPointer(const GLfloat* pointer) {
  sgl_stream_state* stream = stream_of();
  if (stream != nullptr) {
    stream->vertex_pointer = pointer;
    if (stream->recording) return;  // each recorded draw points at its copy
    if (!stream->in_frame) stream->last_valid = 0;
  }
  issue(&sgl_renderer::vertex_pointer, pointer);
}

void sgliGlTexCoordPointer(const GLfloat* pointer) {
  sgl_stream_state* stream = stream_of();
  if (stream != nullptr) {
    stream->texcoord_pointer = pointer;
    if (stream->recording) return;
    if (!stream->in_frame) stream->last_valid = 0;
  }
  issue(&sgl_renderer::tex_coord_pointer, pointer);
}

void sgliGlDrawArrays(GLenum mode, GLint first, GLsizei count) {
  sgl_stream_state* stream = stream_of();
  if (count <= 0 || first < 0) {
    if (stream != nullptr && !stream->in_frame) stream->last_valid = 0;
    issue(&sgl_renderer::draw_arrays, mode, first, count);
    return;
  }
  // A draw is recorded with copies of the arrays it reads; arrays the
  // recorder does not know cannot be copied, so the frame goes direct.
  if (stream != nullptr && stream->recording &&
      (!stream->vertex_array || stream->vertex_pointer == nullptr ||
       (stream->texcoord_array && stream->texcoord_pointer == nullptr))) {
    send_and_go_direct(stream);
  }
  const uint32_t n = static_cast<uint32_t>(count);
  const bool with_st = stream != nullptr && stream->texcoord_array;
  const uint32_t payload = kDrawHeaderWords + (with_st ? 4 : 2) * n;
  uint32_t* p = record(kOpDrawArrays, payload);
  if (p == nullptr) {
    issue(&sgl_renderer::draw_arrays, mode, first, count);
    return;
  }
  p[0] = mode;
  p[1] = n;
  p[2] = with_st ? 1 : 0;
  const size_t offset = 2 * static_cast<size_t>(first);
  std::memcpy(p + kDrawHeaderWords, stream->vertex_pointer + offset, 2 * n * sizeof(float));
  if (with_st) {
    std::memcpy(p + kDrawHeaderWords + 2 * n, stream->texcoord_pointer + offset,
                2 * n * sizeof(float));
  }
}

// ---------------------------------------------------------------------------
// Calls that cannot wait
// ---------------------------------------------------------------------------
void sgliGlGetIntegerv(GLenum name, GLint* out_values) {
  leave_recording();
  issue(&sgl_renderer::get_integer_v, name, out_values);
}

void sgliGlGenTextures(GLsizei count, GLuint* out_names) {
  leave_recording();
  issue(&sgl_renderer::gen_textures, count, out_names);
}

void sgliGlDeleteTextures(GLsizei count, const GLuint* names) {
  leave_recording();
  issue(&sgl_renderer::delete_textures, count, names);
}

void sgliGlTexParameteri(GLenum target, GLenum name, GLint value) {
  leave_recording();
  issue(&sgl_renderer::tex_parameter_i, target, name, value);
}

void sgliGlPixelStorei(GLenum name, GLint value) {
  leave_recording();
  issue(&sgl_renderer::pixel_store_i, name, value);
}

void sgliGlTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width,
                      GLsizei height, GLint border, GLenum format, GLenum type,
                      const void* pixels) {
  leave_recording();
  issue(&sgl_renderer::tex_image_2d, target, level, internal_format, width, height, border, format,
        type, pixels);
}

GLuint sgliGlGenLists(GLsizei range) {
  leave_recording();
  return issue(&sgl_renderer::gen_lists, range);
}

void sgliGlNewList(GLuint list, GLenum mode) {
  leave_recording();
  issue(&sgl_renderer::new_list, list, mode);
}

void sgliGlEndList() {
  leave_recording();
  issue(&sgl_renderer::end_list);
}
