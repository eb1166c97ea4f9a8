// The frame recorder: the library's OpenGL calls, issued at once or recorded
// as a stream of words, and the frames built on it (sglBeginFrame,
// sglEndFrame, sglInvalidateFrame).
//
// A record is a header word (operation in the low byte, payload words above
// it) and its payload: integers as they are, floats and doubles by their
// bits, so that two streams are equal exactly when memcmp says so. A draw
// carries (mode, count, has texture coordinates) and the copied arrays.
#include <cstring>

#include "graphics/sgl_damage_internal.h"
#include "graphics/sgl_internal.h"
#include "graphics/sgl_stream_internal.h"

namespace {

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

// OpenGL's client arrays back to what the library gave them, after a replay
// pointed them at the records' copies.
void restore_array_pointers(const sgl_stream_state* stream) {
  glVertexPointer(2, GL_FLOAT, 0, stream->vertex_pointer);
  glTexCoordPointer(2, GL_FLOAT, 0, stream->texcoord_pointer);
}

void replay_draw(const uint32_t* payload) {
  const GLenum mode = payload[0];
  const uint32_t count = payload[1];
  const float* xy = reinterpret_cast<const float*>(payload + kDrawHeaderWords);
  glVertexPointer(2, GL_FLOAT, 0, xy);
  if (payload[2] != 0) glTexCoordPointer(2, GL_FLOAT, 0, xy + 2 * count);
  glDrawArrays(mode, 0, static_cast<GLsizei>(count));
}

void replay_record(uint32_t op, const uint32_t* p) {
  const auto f = [p](uint32_t k) { return float_of(p[k]); };
  switch (op) {
    case kOpEnable:
      glEnable(p[0]);
      break;
    case kOpDisable:
      glDisable(p[0]);
      break;
    case kOpEnableClientState:
      glEnableClientState(p[0]);
      break;
    case kOpDisableClientState:
      glDisableClientState(p[0]);
      break;
    case kOpAlphaFunc:
      glAlphaFunc(p[0], f(1));
      break;
    case kOpBlendFunc:
      glBlendFunc(p[0], p[1]);
      break;
    case kOpDepthFunc:
      glDepthFunc(p[0]);
      break;
    case kOpBindTexture:
      glBindTexture(p[0], p[1]);
      break;
    case kOpTexEnvi:
      glTexEnvi(p[0], p[1], static_cast<GLint>(p[2]));
      break;
    case kOpColor4fv:
      glColor4f(f(0), f(1), f(2), f(3));
      break;
    case kOpLineWidth:
      glLineWidth(f(0));
      break;
    case kOpPointSize:
      glPointSize(f(0));
      break;
    case kOpMatrixMode:
      glMatrixMode(p[0]);
      break;
    case kOpLoadIdentity:
      glLoadIdentity();
      break;
    case kOpLoadMatrixf:
      glLoadMatrixf(reinterpret_cast<const GLfloat*>(p));
      break;
    case kOpPushMatrix:
      glPushMatrix();
      break;
    case kOpPopMatrix:
      glPopMatrix();
      break;
    case kOpTranslatef:
      glTranslatef(f(0), f(1), f(2));
      break;
    case kOpRotatef:
      glRotatef(f(0), f(1), f(2), f(3));
      break;
    case kOpScalef:
      glScalef(f(0), f(1), f(2));
      break;
    case kOpViewport:
      glViewport(static_cast<GLint>(p[0]), static_cast<GLint>(p[1]), static_cast<GLsizei>(p[2]),
                 static_cast<GLsizei>(p[3]));
      break;
    case kOpClear:
      glClear(p[0]);
      break;
    case kOpClearColor:
      glClearColor(f(0), f(1), f(2), f(3));
      break;
    case kOpClearStencil:
      glClearStencil(static_cast<GLint>(p[0]));
      break;
    case kOpStencilMask:
      glStencilMask(p[0]);
      break;
    case kOpStencilFunc:
      glStencilFunc(p[0], static_cast<GLint>(p[1]), p[2]);
      break;
    case kOpStencilOp:
      glStencilOp(p[0], p[1], p[2]);
      break;
    case kOpColorMask:
      glColorMask(static_cast<GLboolean>(p[0]), static_cast<GLboolean>(p[1]),
                  static_cast<GLboolean>(p[2]), static_cast<GLboolean>(p[3]));
      break;
    case kOpScissor:
      glScissor(static_cast<GLint>(p[0]), static_cast<GLint>(p[1]), static_cast<GLsizei>(p[2]),
                static_cast<GLsizei>(p[3]));
      break;
    case kOpClipPlane: {
      GLdouble equation[4];
      std::memcpy(equation, p + 1, sizeof equation);
      glClipPlane(p[0], equation);
      break;
    }
    case kOpCallList:
      glCallList(p[0]);
      break;
    case kOpBegin:
      glBegin(p[0]);
      break;
    case kOpEnd:
      glEnd();
      break;
    case kOpVertex2f:
      glVertex2f(f(0), f(1));
      break;
    case kOpTexCoord2f:
      glTexCoord2f(f(0), f(1));
      break;
    case kOpDrawArrays:
      replay_draw(p);
      break;
    default:
      break;
  }
}

}  // namespace

void sgli_stream_replay_record(uint32_t op, const uint32_t* payload) {
  replay_record(op, payload);
}

void sgli_stream_restore_arrays() {
  if (const sgl_stream_state* stream = stream_of()) restore_array_pointers(stream);
}

namespace {

// Sends words [0, count) of a stream to OpenGL in order; the array pointers
// are left as the library gave them, for whatever is drawn directly next.
void replay(const sgl_stream_state* stream, const uint32_t* words, uint32_t count) {
  for (uint32_t at = 0; at < count;) {
    const uint32_t op = words[at] & kOpMask;
    const uint32_t length = words[at] >> kOpBits;
    replay_record(op, words + at + 1);
    at += 1 + length;
  }
  restore_array_pointers(stream);
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
  // Only where it differs from the last frame, when that can be bounded.
  if (!sgli_damage_send(glob_pr_sglStatemachine)) {
    replay(stream, stream->current, stream->current_words);
  }
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
  if (!record1(kOpEnable, capability)) glEnable(capability);
}

void sgliGlDisable(GLenum capability) {
  if (!record1(kOpDisable, capability)) glDisable(capability);
}

void sgliGlEnableClientState(GLenum array) {
  if (sgl_stream_state* stream = stream_of()) {
    if (array == GL_VERTEX_ARRAY) stream->vertex_array = 1;
    if (array == GL_TEXTURE_COORD_ARRAY) stream->texcoord_array = 1;
  }
  if (!record1(kOpEnableClientState, array)) glEnableClientState(array);
}

void sgliGlDisableClientState(GLenum array) {
  if (sgl_stream_state* stream = stream_of()) {
    if (array == GL_VERTEX_ARRAY) stream->vertex_array = 0;
    if (array == GL_TEXTURE_COORD_ARRAY) stream->texcoord_array = 0;
  }
  if (!record1(kOpDisableClientState, array)) glDisableClientState(array);
}

void sgliGlAlphaFunc(GLenum function, GLfloat reference) {
  if (!record2(kOpAlphaFunc, function, bits_of(reference))) glAlphaFunc(function, reference);
}

void sgliGlBlendFunc(GLenum source, GLenum destination) {
  if (!record2(kOpBlendFunc, source, destination)) glBlendFunc(source, destination);
}

void sgliGlDepthFunc(GLenum function) {
  if (!record1(kOpDepthFunc, function)) glDepthFunc(function);
}

void sgliGlBindTexture(GLenum target, GLuint name) {
  if (!record2(kOpBindTexture, target, name)) glBindTexture(target, name);
}

void sgliGlTexEnvi(GLenum target, GLenum name, GLint value) {
  if (!record3(kOpTexEnvi, target, name, word_of(value))) glTexEnvi(target, name, value);
}

void sgliGlColor4fv(const GLfloat* rgba) {
  if (!record4(kOpColor4fv, bits_of(rgba[0]), bits_of(rgba[1]), bits_of(rgba[2]),
               bits_of(rgba[3]))) {
    glColor4fv(rgba);
  }
}

void sgliGlLineWidth(GLfloat width) {
  if (!record1(kOpLineWidth, bits_of(width))) glLineWidth(width);
}

void sgliGlPointSize(GLfloat size) {
  if (!record1(kOpPointSize, bits_of(size))) glPointSize(size);
}

void sgliGlMatrixMode(GLenum mode) {
  if (!record1(kOpMatrixMode, mode)) glMatrixMode(mode);
}

void sgliGlLoadIdentity() {
  if (record(kOpLoadIdentity, 0) == nullptr) glLoadIdentity();
}

void sgliGlLoadMatrixf(const GLfloat* matrix) {
  uint32_t* p = record(kOpLoadMatrixf, 16);
  if (p == nullptr) {
    glLoadMatrixf(matrix);
    return;
  }
  std::memcpy(p, matrix, 16 * sizeof(GLfloat));
}

void sgliGlPushMatrix() {
  if (record(kOpPushMatrix, 0) == nullptr) glPushMatrix();
}

void sgliGlPopMatrix() {
  if (record(kOpPopMatrix, 0) == nullptr) glPopMatrix();
}

void sgliGlTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  if (!record3(kOpTranslatef, bits_of(x), bits_of(y), bits_of(z))) glTranslatef(x, y, z);
}

void sgliGlRotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z) {
  if (!record4(kOpRotatef, bits_of(degrees), bits_of(x), bits_of(y), bits_of(z))) {
    glRotatef(degrees, x, y, z);
  }
}

void sgliGlScalef(GLfloat x, GLfloat y, GLfloat z) {
  if (!record3(kOpScalef, bits_of(x), bits_of(y), bits_of(z))) glScalef(x, y, z);
}

void sgliGlViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (!record4(kOpViewport, word_of(x), word_of(y), word_of(width), word_of(height))) {
    glViewport(x, y, width, height);
  }
}

void sgliGlClear(GLbitfield mask) {
  if (!record1(kOpClear, mask)) glClear(mask);
}

void sgliGlClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
  if (!record4(kOpClearColor, bits_of(red), bits_of(green), bits_of(blue), bits_of(alpha))) {
    glClearColor(red, green, blue, alpha);
  }
}

void sgliGlClearStencil(GLint value) {
  if (!record1(kOpClearStencil, word_of(value))) glClearStencil(value);
}

void sgliGlStencilMask(GLuint mask) {
  if (!record1(kOpStencilMask, mask)) glStencilMask(mask);
}

void sgliGlStencilFunc(GLenum function, GLint reference, GLuint mask) {
  if (!record3(kOpStencilFunc, function, word_of(reference), mask)) {
    glStencilFunc(function, reference, mask);
  }
}

void sgliGlStencilOp(GLenum fail, GLenum depth_fail, GLenum pass) {
  if (!record3(kOpStencilOp, fail, depth_fail, pass)) glStencilOp(fail, depth_fail, pass);
}

void sgliGlColorMask(GLboolean red, GLboolean green, GLboolean blue, GLboolean alpha) {
  if (!record4(kOpColorMask, red, green, blue, alpha)) glColorMask(red, green, blue, alpha);
}

void sgliGlScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
  if (!record4(kOpScissor, word_of(x), word_of(y), word_of(width), word_of(height))) {
    glScissor(x, y, width, height);
  }
}

void sgliGlClipPlane(GLenum plane, const GLdouble* equation) {
  uint32_t* p = record(kOpClipPlane, 1 + 8);
  if (p == nullptr) {
    glClipPlane(plane, equation);
    return;
  }
  p[0] = plane;
  std::memcpy(p + 1, equation, 4 * sizeof(GLdouble));
}

void sgliGlCallList(GLuint list) {
  if (!record1(kOpCallList, list)) glCallList(list);
}

void sgliGlBegin(GLenum mode) {
  if (!record1(kOpBegin, mode)) glBegin(mode);
}

void sgliGlEnd() {
  if (record(kOpEnd, 0) == nullptr) glEnd();
}

void sgliGlVertex2f(GLfloat x, GLfloat y) {
  if (!record2(kOpVertex2f, bits_of(x), bits_of(y))) glVertex2f(x, y);
}

void sgliGlTexCoord2f(GLfloat s, GLfloat t) {
  if (!record2(kOpTexCoord2f, bits_of(s), bits_of(t))) glTexCoord2f(s, t);
}

void sgliGlVertexPointer(const GLfloat* pointer) {
  sgl_stream_state* stream = stream_of();
  if (stream != nullptr) {
    stream->vertex_pointer = pointer;
    if (stream->recording) return;  // each recorded draw points at its copy
    if (!stream->in_frame) stream->last_valid = 0;
  }
  glVertexPointer(2, GL_FLOAT, 0, pointer);
}

void sgliGlTexCoordPointer(const GLfloat* pointer) {
  sgl_stream_state* stream = stream_of();
  if (stream != nullptr) {
    stream->texcoord_pointer = pointer;
    if (stream->recording) return;
    if (!stream->in_frame) stream->last_valid = 0;
  }
  glTexCoordPointer(2, GL_FLOAT, 0, pointer);
}

void sgliGlDrawArrays(GLenum mode, GLint first, GLsizei count) {
  sgl_stream_state* stream = stream_of();
  if (count <= 0 || first < 0) {
    if (stream != nullptr && !stream->in_frame) stream->last_valid = 0;
    glDrawArrays(mode, first, count);
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
    glDrawArrays(mode, first, count);
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
  glGetIntegerv(name, out_values);
}

void sgliGlGenTextures(GLsizei count, GLuint* out_names) {
  leave_recording();
  glGenTextures(count, out_names);
}

void sgliGlDeleteTextures(GLsizei count, const GLuint* names) {
  leave_recording();
  glDeleteTextures(count, names);
}

void sgliGlTexParameteri(GLenum target, GLenum name, GLint value) {
  leave_recording();
  glTexParameteri(target, name, value);
}

void sgliGlPixelStorei(GLenum name, GLint value) {
  leave_recording();
  glPixelStorei(name, value);
}

void sgliGlTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width,
                      GLsizei height, GLint border, GLenum format, GLenum type,
                      const void* pixels) {
  leave_recording();
  glTexImage2D(target, level, internal_format, width, height, border, format, type, pixels);
}

GLuint sgliGlGenLists(GLsizei range) {
  leave_recording();
  return glGenLists(range);
}

void sgliGlNewList(GLuint list, GLenum mode) {
  leave_recording();
  glNewList(list, mode);
}

void sgliGlEndList() {
  leave_recording();
  glEndList();
}
