// Transformations: the library's own copy of the 2D model-view matrix, the
// viewport, the pixel sizes derived from them, the matrix stack and the
// conversions between drawing units, window pixels and native screen pixels.
//
// OpenGL's projection matrix stays the identity; the orthographic matrix is
// loaded into the model-view matrix, so every vertex goes through M alone and
// the library always knows where a drawing unit lands on the screen.
#include <cmath>
#include <cstring>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"

static const float kEpsilon = 1e-6f;

// bx, by and the font scales follow ux, uy, ax, ay and the viewport ratios.
static void sgl_update_derived_scales(sgl_transformation* t) {
  t->line_scale_x = t->scale_x * t->units_x;
  t->line_scale_y = t->scale_y * t->units_y;
  t->font_scale_x = t->line_scale_x * t->ratio_x;
  t->font_scale_y = t->line_scale_y * t->ratio_y;
}

// What a full push saves and its pop restores.
static void sgl_save_transformation(sgl_matrix_stack_entry* entry, const sgl_transformation* t) {
  std::memcpy(entry->matrix, t->matrix, sizeof(entry->matrix));
  entry->units_x = t->units_x;
  entry->units_y = t->units_y;
  entry->scale_x = t->scale_x;
  entry->scale_y = t->scale_y;
  entry->rotation = t->rotation;
  entry->z_offset = t->z_offset;
}

void sgl_initialize_transformation(sgl_type_statemachine* context) {
  sgl_transformation* t = &context->transform;
  sgl_orthographic* ortho = &context->ortho;
  float width = static_cast<float>(context->native_width);
  float height = static_cast<float>(context->native_height);
  ortho->depth = 0;
  t->units_x = t->units_y = 1.0f;
  t->scale_x = t->scale_y = 1.0f;
  t->rotation = 0.0f;
  t->z_offset = 0.0f;
  t->half_width = width / 2.0f;
  t->half_height = height / 2.0f;
  t->ratio_x = t->ratio_y = 1.0f;
  ortho->left = 0.0f;
  ortho->right = width;
  ortho->bottom = 0.0f;
  ortho->top = height;
  // The only questions asked of OpenGL's matrix stack: where it stands now
  // (pushes of foreign code count) and how deep it may go.
  GLint gl_depth = 1;
  GLint gl_limit = 0;
  sgliGlGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &gl_depth);
  sgliGlGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &gl_limit);
  ortho->gl_depth = gl_depth > 0 ? static_cast<uint32_t>(gl_depth) : 1;
  ortho->gl_depth_limit = gl_limit > 0 ? static_cast<uint32_t>(gl_limit) : 0;
  sgliGlMatrixMode(GL_PROJECTION);
  sgliGlLoadIdentity();
  sgliGlMatrixMode(GL_MODELVIEW);
  sglViewport(0, 0, context->native_width, static_cast<int32_t>(context->native_height));
  sglOrtho(0.0f, width, 0.0f, height);
  for (sgl_matrix_stack_entry& entry : ortho->stack) {
    sgl_save_transformation(&entry, t);
    entry.gl_pushed = 0;
  }
}

void sglViewport(uint32_t x, uint32_t y, uint32_t width, int32_t height) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  sgl_transformation* t = &context->transform;
  const sgl_orthographic* ortho = &context->ortho;
  if (ortho->depth != 0) {
    sgliSetError(SGL_ERROR_VIEWPORT, 0);
    return;
  }
  if (width < 1 || height < 1) {
    sgliSetError(SGL_ERROR_VIEWPORT, 0);
    x = context->native_width / 4;
    y = context->native_height / 4;
    width = context->native_width / 2;
    height = static_cast<int32_t>(context->native_height / 2);
  }
  sgliGlViewport(static_cast<GLint>(x), static_cast<GLint>(y), static_cast<GLsizei>(width), height);
  float w = static_cast<float>(width);
  float h = static_cast<float>(height);
  t->viewport_x = static_cast<float>(x);
  t->viewport_y = static_cast<float>(y);
  t->half_width = w / 2.0f;
  t->half_height = h / 2.0f;
  t->ratio_x = w / static_cast<float>(context->native_width);
  t->ratio_y = h / static_cast<float>(context->native_height);
  t->units_x = std::fabs((ortho->right - ortho->left) / w);
  t->units_y = std::fabs((ortho->top - ortho->bottom) / h);
  sgl_update_derived_scales(t);
}

void sglOrtho(float left, float right, float bottom, float top) {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  sgl_orthographic* ortho = &context->ortho;
  if (std::fabs(right - left) < kEpsilon || std::fabs(top - bottom) < kEpsilon ||
      ortho->depth != 0) {
    sgliSetError(SGL_ERROR_ORTHO, 0);
    return;
  }
  ortho->left = left;
  ortho->right = right;
  ortho->bottom = bottom;
  ortho->top = top;
  float* o = ortho->matrix;
  std::memset(o, 0, sizeof(ortho->matrix));
  o[0] = 2.0f / (right - left);
  o[5] = 2.0f / (top - bottom);
  o[10] = 1.0f;
  o[12] = -(left + right) / (right - left);
  o[13] = -(bottom + top) / (top - bottom);
  o[15] = 1.0f;
  sglLoadIdentity();
}

void sglLoadIdentity() {
  sgl_type_statemachine* context = glob_pr_sglStatemachine;
  sgl_transformation* t = &context->transform;
  const sgl_orthographic* ortho = &context->ortho;
  std::memcpy(t->matrix, ortho->matrix, sizeof(t->matrix));
  sgliGlLoadMatrixf(t->matrix);
  t->units_x = std::fabs((ortho->right - ortho->left) / (2.0f * t->half_width));
  t->units_y = std::fabs((ortho->top - ortho->bottom) / (2.0f * t->half_height));
  t->scale_x = t->scale_y = 1.0f;
  sgl_update_derived_scales(t);
}

void sglTranslatef(float x, float y) {
  float* m = glob_pr_sglStatemachine->transform.matrix;
  m[12] += x * m[0] + y * m[4];
  m[13] += x * m[1] + y * m[5];
  sgliGlTranslatef(x, y, 0.0f);
}

void sglScalef(float sx, float sy) {
  sgl_transformation* t = &glob_pr_sglStatemachine->transform;
  float* m = t->matrix;
  for (int i = 0; i < 4; i++) {
    m[i] *= sx;
    m[4 + i] *= sy;
  }
  // A collapsed axis has no pixel size; 1 keeps every later division finite.
  if (std::fabs(sx) > kEpsilon) {
    t->units_x = std::fabs(t->units_x / sx);
    t->scale_x = std::fabs(t->scale_x * sx);
  } else {
    t->units_x = 1.0f;
  }
  if (std::fabs(sy) > kEpsilon) {
    t->units_y = std::fabs(t->units_y / sy);
    t->scale_y = std::fabs(t->scale_y * sy);
  } else {
    t->units_y = 1.0f;
  }
  sgl_update_derived_scales(t);
  sgliGlScalef(sx, sy, 1.0f);
}

void sglRotatef(float degrees) {
  sgl_transformation* t = &glob_pr_sglStatemachine->transform;
  float a = sgluModuloAngle(degrees);
  float c;
  float s;
  // Quarter turns are common in the panel and must not smear pixel-exact
  // drawing with the approximation's rounding.
  if (sgluFloatIsEqual(a, 90.0f)) {
    c = 0.0f;
    s = 1.0f;
  } else {
    mth_cos_sin_degree(a, &c, &s);
  }
  float* m = t->matrix;
  float m0 = m[0];
  float m1 = m[1];
  m[0] = m0 * c + m[4] * s;
  m[4] = m[4] * c - m0 * s;
  m[1] = m1 * c + m[5] * s;
  m[5] = m[5] * c - m1 * s;
  t->rotation += a;
  sgliGlRotatef(a, 0.0f, 0.0f, 1.0f);
}

float sgluModuloAngle(float degrees) {
  if (std::fabs(degrees) > 100000.0f) {
    sgliSetError(SGL_ERROR_MODULO_ANGLE, 0);
    return 0.0f;
  }
  if (sgluFloatIsEqual(degrees, 0.0f)) {
    return 0.0f;
  }
  float r = degrees - std::trunc(degrees / 360.0f) * 360.0f;
  if (r < 0.0f) {
    r += 360.0f;
  }
  if (r == 0.0f) {
    r = 360.0f;
  }
  return r;
}

bool sgluFloatIsEqual(float a, float b) {
  float d = a - b;
  return d > -kEpsilon && d < kEpsilon;
}

// ---------------------------------------------------------------------------
// Matrix stack
// ---------------------------------------------------------------------------

// OpenGL's model-view stack may be shallower than the library's 32 entries
// (Mesa has 32 including the current matrix). A push that OpenGL cannot take
// is remembered and its pop reloads the matrix instead. The depth is counted
// here rather than asked of OpenGL, so that pushes can be recorded.
static uint8_t sgl_gl_push() {
  sgl_orthographic* ortho = &glob_pr_sglStatemachine->ortho;
  if (ortho->gl_depth < ortho->gl_depth_limit) {
    sgliGlPushMatrix();
    ortho->gl_depth++;
    return 1;
  }
  return 0;
}

static void sgl_gl_pop(const sgl_matrix_stack_entry* entry, const float* restored) {
  if (entry->gl_pushed) {
    sgliGlPopMatrix();
    sgl_orthographic* ortho = &glob_pr_sglStatemachine->ortho;
    if (ortho->gl_depth > 1) ortho->gl_depth--;
  } else {
    sgliGlLoadMatrixf(restored);
  }
}

// The entry a push fills (OpenGL's push made), or null with error `code`
// when the stack is full.
static sgl_matrix_stack_entry* sgl_push_entry(uint32_t code) {
  sgl_orthographic* ortho = &glob_pr_sglStatemachine->ortho;
  if (ortho->depth >= SGL_MATRIX_STACK_SIZE) {
    sgliSetError(code, 0);
    return nullptr;
  }
  sgl_matrix_stack_entry* entry = &ortho->stack[ortho->depth++];
  entry->gl_pushed = sgl_gl_push();
  return entry;
}

// The entry a pop restores, or null with error `code` when the stack is empty.
static const sgl_matrix_stack_entry* sgl_pop_entry(uint32_t code) {
  sgl_orthographic* ortho = &glob_pr_sglStatemachine->ortho;
  if (ortho->depth == 0) {
    sgliSetError(code, 0);
    return nullptr;
  }
  return &ortho->stack[--ortho->depth];
}

void sglPushMatrix() {
  sgl_matrix_stack_entry* entry = sgl_push_entry(SGL_ERROR_PUSH_MATRIX);
  if (entry != nullptr) {
    sgl_save_transformation(entry, &glob_pr_sglStatemachine->transform);
  }
}

void sglPopMatrix() {
  sgl_transformation* t = &glob_pr_sglStatemachine->transform;
  const sgl_matrix_stack_entry* entry = sgl_pop_entry(SGL_ERROR_POP_MATRIX);
  if (entry == nullptr) {
    return;
  }
  std::memcpy(t->matrix, entry->matrix, sizeof(t->matrix));
  t->units_x = entry->units_x;
  t->units_y = entry->units_y;
  t->scale_x = entry->scale_x;
  t->scale_y = entry->scale_y;
  t->rotation = entry->rotation;
  t->z_offset = entry->z_offset;
  sgl_update_derived_scales(t);
  sgl_gl_pop(entry, t->matrix);
}

// The light push saves only the translation and the depth offset.
void sglPushMatrixAndTranslate(float x, float y) {
  const sgl_transformation* t = &glob_pr_sglStatemachine->transform;
  sgl_matrix_stack_entry* entry = sgl_push_entry(SGL_ERROR_PUSH_TRANSLATE);
  if (entry == nullptr) {
    return;
  }
  entry->matrix[12] = t->matrix[12];
  entry->matrix[13] = t->matrix[13];
  entry->z_offset = t->z_offset;
  sglTranslatef(x, y);
}

void sglPopMatrixAndTranslate() {
  sgl_transformation* t = &glob_pr_sglStatemachine->transform;
  const sgl_matrix_stack_entry* entry = sgl_pop_entry(SGL_ERROR_POP_TRANSLATE);
  if (entry == nullptr) {
    return;
  }
  t->matrix[12] = entry->matrix[12];
  t->matrix[13] = entry->matrix[13];
  t->z_offset = entry->z_offset;
  sgl_gl_pop(entry, t->matrix);
}

// ---------------------------------------------------------------------------
// Conversions
// ---------------------------------------------------------------------------
static void sgl_point_to_pixel(const sgl_transformation* t, float x, float y, float* px,
                               float* py) {
  const float* m = t->matrix;
  *px = (x * m[0] + y * m[4] + m[12] + 1.0f) * t->half_width + t->viewport_x;
  *py = (x * m[1] + y * m[5] + m[13] + 1.0f) * t->half_height + t->viewport_y;
}

// The inverse of the affine map of sgl_point_to_pixel. A transformation that
// collapses an axis has no inverse: the point is then reported as the origin.
static void sgl_pixel_to_point(const sgl_transformation* t, float px, float py, float* x,
                               float* y) {
  const float* m = t->matrix;
  double a = static_cast<double>(m[0]) * t->half_width;
  double b = static_cast<double>(m[4]) * t->half_width;
  double c = static_cast<double>(m[1]) * t->half_height;
  double d = static_cast<double>(m[5]) * t->half_height;
  double u = px - ((static_cast<double>(m[12]) + 1.0) * t->half_width + t->viewport_x);
  double v = py - ((static_cast<double>(m[13]) + 1.0) * t->half_height + t->viewport_y);
  double determinant = a * d - b * c;
  if (std::fabs(determinant) < 1e-12) {
    *x = 0.0f;
    *y = 0.0f;
    return;
  }
  *x = static_cast<float>((d * u - b * v) / determinant);
  *y = static_cast<float>((a * v - c * u) / determinant);
}

void sglConvertPointToPixel(float x, float y, float* px, float* py) {
  if (px == nullptr || py == nullptr) {
    sgliSetError(SGL_ERROR_POINT_TO_PIXEL, 0);
    return;
  }
  sgl_point_to_pixel(&glob_pr_sglStatemachine->transform, x, y, px, py);
}

void sglConvertPixelToPoint(float px, float py, float* x, float* y) {
  if (x == nullptr || y == nullptr) {
    sgliSetError(SGL_ERROR_PIXEL_TO_POINT, 0);
    return;
  }
  sgl_pixel_to_point(&glob_pr_sglStatemachine->transform, px, py, x, y);
}

void sglConvertPointToScreen(float x, float y, float* sx, float* sy) {
  if (sx == nullptr || sy == nullptr) {
    sgliSetError(SGL_ERROR_POINT_TO_SCREEN, 0);
    return;
  }
  const sgl_transformation* t = &glob_pr_sglStatemachine->transform;
  float px;
  float py;
  sgl_point_to_pixel(t, x, y, &px, &py);
  *sx = px / t->ratio_x;
  *sy = py / t->ratio_y;
}

void sglConvertScreenToPoint(float sx, float sy, float* x, float* y) {
  if (x == nullptr || y == nullptr) {
    sgliSetError(SGL_ERROR_SCREEN_TO_POINT, 0);
    return;
  }
  const sgl_transformation* t = &glob_pr_sglStatemachine->transform;
  sgl_pixel_to_point(t, sx * t->ratio_x, sy * t->ratio_y, x, y);
}
