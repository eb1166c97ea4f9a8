// Stencil masks, clip planes and the scissor stack.
//
// Masks and clip planes share one 14-bit word: bits 0..7 are the eight
// stencil masks (one stencil bit each), bits 8..13 the six OpenGL user clip
// planes. The active set says which of them restrict drawing; a pixel passes
// the stencil test only where every active stencil bit is set. Scissors are a
// stack of pixel rectangles, each cut to the one below it, so a child never
// draws outside its parent. The arithmetic lives in plain functions at the
// top of this file (declared in sgl_masks_geometry.h); the rest issues
// OpenGL with their results.
#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "graphics/sgl_masks_geometry.h"

namespace {

constexpr float kTiny = 1e-6f;
// Well above the float rounding of viewport pixel positions (a few 1e-4 at
// 4096), well below any intended fraction of a pixel.
constexpr float kPixelSnap = 2e-3f;

// OpenGL keeps GL_CLIP_PLANE0..5 consecutive.
const uint32_t kClipPlaneNames[SGL_CLIP_PLANE_COUNT] = {
    GL_CLIP_PLANE0, GL_CLIP_PLANE1, GL_CLIP_PLANE2, GL_CLIP_PLANE3, GL_CLIP_PLANE4, GL_CLIP_PLANE5,
};

sgl_type_statemachine* ctx() {
  return glob_pr_sglStatemachine;
}

int64_t right_edge(const sgl_scissor_rect& r) {
  return static_cast<int64_t>(r.x) + r.width;
}

int64_t top_edge(const sgl_scissor_rect& r) {
  return static_cast<int64_t>(r.y) + r.height;
}

// Rounded half away from zero, as the pixel tests of the hit-tests expect.
int64_t rounded(float v) {
  const int64_t magnitude = mth_f_to_l(v);
  return v < 0.0f ? -magnitude : magnitude;
}

// A corner that the matrix's float rounding put a hair off a pixel edge
// (149.99998 for 150 in a 768-high viewport) belongs on that edge: truncated
// as it is, it would cost the scissor a whole row or column.
float snapped_to_pixel(float v) {
  const float nearest = std::nearbyint(v);
  return std::fabs(v - nearest) < kPixelSnap ? nearest : v;
}

}  // namespace

// ---------------------------------------------------------------------------
// Plain geometry
// ---------------------------------------------------------------------------

uint32_t sgl_first_free_stencil_id(uint32_t allocated) {
  for (uint32_t id = 1; id <= 128; id <<= 1) {
    if ((allocated & id) == 0) {
      return id;
    }
  }
  return 0;
}

uint32_t sgl_first_free_clip_plane_id(uint32_t allocated) {
  uint32_t id = SGL_FIRST_CLIP_PLANE_ID;
  while ((allocated & id) != 0) {
    id <<= 1;
    if (id > SGL_LAST_CLIP_PLANE_ID) {
      return 0;
    }
  }
  return id;
}

bool sgl_is_stencil_id(uint32_t id) {
  return id != 0 && id <= 128 && (id & (id - 1)) == 0;
}

bool sgl_is_clip_plane_id(uint32_t id) {
  return id >= SGL_FIRST_CLIP_PLANE_ID && id <= SGL_LAST_CLIP_PLANE_ID && (id & (id - 1)) == 0;
}

uint32_t sgl_get_clip_plane_number(uint32_t id) {
  switch (id) {
    case 256:
      return 0;
    case 512:
      return 1;
    case 1024:
      return 2;
    case 2048:
      return 3;
    case 4096:
      return 4;
    default:
      return 5;
  }
}

void sgl_clip_plane_equation(float x, float y, float angle, uint8_t side, double out[4]) {
  const double s = side == 1 ? -1.0 : 1.0;
  const double px = x;
  const double py = y;
  double a;
  double b;
  double d;
  // Axis-parallel lines are the common case (panel edges); the degree
  // approximation would tilt them by a few millionths.
  if (sgluFloatIsEqual(angle, 0.0f)) {
    a = 0.0;
    b = -s;
    d = s * py;
  } else if (sgluFloatIsEqual(angle, 180.0f)) {
    a = 0.0;
    b = s;
    d = -s * py;
  } else if (sgluFloatIsEqual(angle, 90.0f)) {
    a = s;
    b = 0.0;
    d = -s * px;
  } else if (sgluFloatIsEqual(angle, 270.0f)) {
    a = -s;
    b = 0.0;
    d = s * px;
  } else {
    float c;
    float n;
    mth_cos_sin_degree(angle, &c, &n);
    a = s * n;
    b = -s * c;
    d = s * (py * c - px * n);
  }
  out[0] = a;
  out[1] = b;
  out[2] = 0.0;
  out[3] = d;
}

void sgl_scissor_extent(float angle, float w, float h, float* out_dx, float* out_dy) {
  if (sgluFloatIsEqual(angle, 90.0f)) {
    *out_dx = -h;
    *out_dy = w;
  } else if (sgluFloatIsEqual(angle, 270.0f)) {
    *out_dx = h;
    *out_dy = -w;
  } else if (sgluFloatIsEqual(angle, 180.0f)) {
    *out_dx = -w;
    *out_dy = -h;
  } else {
    *out_dx = w;
    *out_dy = h;
  }
}

sgl_scissor_rect sgl_scissor_from_corners(float ax, float ay, float bx, float by) {
  ax = snapped_to_pixel(ax);
  ay = snapped_to_pixel(ay);
  bx = snapped_to_pixel(bx);
  by = snapped_to_pixel(by);
  const float x0 = ax < bx ? ax : bx;
  const float x1 = ax < bx ? bx : ax;
  const float y0 = ay < by ? ay : by;
  const float y1 = ay < by ? by : ay;
  sgl_scissor_rect rect;
  rect.x = sglFloatToInt32(x0);
  rect.y = sglFloatToInt32(y0);
  rect.width = sglFloatToInt32(x1 - x0);
  rect.height = sglFloatToInt32(y1 - y0);
  return rect;
}

sgl_scissor_rect sgl_compute_scissor_intersection(sgl_scissor_rect entry, sgl_scissor_rect parent) {
  const int32_t x = entry.x > parent.x ? entry.x : parent.x;
  const int32_t y = entry.y > parent.y ? entry.y : parent.y;
  const int64_t right =
      right_edge(entry) < right_edge(parent) ? right_edge(entry) : right_edge(parent);
  const int64_t top = top_edge(entry) < top_edge(parent) ? top_edge(entry) : top_edge(parent);
  // x is at least the parent's x, so a positive difference is at most the
  // parent's width and fits again.
  const int64_t width = right - x > 0 ? right - x : 0;
  const int64_t height = top - y > 0 ? top - y : 0;
  sgl_scissor_rect result;
  result.x = x;
  result.y = y;
  result.width = static_cast<int32_t>(width);
  result.height = static_cast<int32_t>(height);
  return result;
}

bool sgl_scissor_contains(const sgl_scissor_rect* rect, float px, float py) {
  const int64_t x = rounded(px);
  const int64_t y = rounded(py);
  return rect->x <= x && x <= right_edge(*rect) && rect->y <= y && y <= top_edge(*rect);
}

// ---------------------------------------------------------------------------
// Initialisation and reset
// ---------------------------------------------------------------------------

void sgl_clear_opengl_stencil() {
  sgliGlStencilMask(255);
  sgliGlClearStencil(0);
  sgliGlClear(GL_STENCIL_BUFFER_BIT);
  sgliGlStencilMask(0);
}

void sgl_initialize_clip_plane_structure(sgl_type_statemachine* context) {
  for (uint32_t i = 0; i < SGL_CLIP_PLANE_COUNT; i++) {
    context->clipping.clip_plane_state[i] = 0;
    context->clipping.gl_clipplane_code[i] = kClipPlaneNames[i];
  }
}

// The sets and stacks start empty with the cleared context; the reset that
// ends sglInit empties them again every frame.
void sgl_initialize_clipping(sgl_type_statemachine* context) {
  sgl_initialize_clip_plane_structure(context);
  sgl_clear_opengl_stencil();
}

void sgl_disable_clip_planes(sgl_type_statemachine* context) {
  for (uint32_t i = 0; i < SGL_CLIP_PLANE_COUNT; i++) {
    sgliGlDisable(context->clipping.gl_clipplane_code[i]);
  }
}

void sgl_reset_clipping_attributes(sgl_type_statemachine* context) {
  sgl_clipping_state* clipping = &context->clipping;
  sgl_initialize_clip_plane_structure(context);
  sgl_disable_clip_planes(context);
  clipping->allocated_masks = 0;
  std::memset(clipping->scissors, 0, sizeof(clipping->scissors));
  clipping->scissor_depth = 0;
  clipping->mask_under_definition = 0;
  // The reset leaves OpenGL with no stencil test and no clip plane, so the
  // active set is empty too. A set kept from the last frame would make the
  // first sglSetActiveMasks with the same value a no-op, and its planes and
  // masks would silently not clip.
  clipping->active_masks = 0;
  // A frame that ended inside a mask definition must not leave colour
  // writes off for every later frame.
  sgliGlColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  sgliGlStencilMask(0);
}

// ---------------------------------------------------------------------------
// Stencil masks
// ---------------------------------------------------------------------------

uint32_t sgli_get_mask_id() {
  return sgl_first_free_stencil_id(ctx()->clipping.allocated_masks);
}

void sgli_select_mask(uint32_t id, uint8_t inverted) {
  sgl_type_statemachine* context = ctx();
  context->clipping.allocated_masks |= id;
  sgliEnable(GL_STENCIL_TEST);
  sgliGlColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  sgliGlStencilMask(id);
  sgliGlClearStencil(inverted ? 65535 : 0);
  // The clear must reach the whole bit, not only the scissor in force: a
  // bit left over from an earlier use of this identifier outside the
  // scissor would let drawing through there once the scissor is gone.
  const bool scissored = context->gl_scissor_test != 0;
  if (scissored) {
    sgliGlDisable(GL_SCISSOR_TEST);
  }
  sgliGlClear(GL_STENCIL_BUFFER_BIT);
  if (scissored) {
    sgliGlEnable(GL_SCISSOR_TEST);
  }
  sgliGlStencilFunc(GL_ALWAYS, inverted ? 0 : 65535, id);
  sgliGlStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  // The bit starts empty, so its box does too; a normal mask's box then
  // cuts the boxes collected while it is active.
  sgli_bounding_box_begin_mask(id, inverted);
}

void sgli_set_active_masks(uint32_t stencil_bits) {
  const uint32_t m = stencil_bits & SGL_STENCIL_MASK_BITS;
  if (m == 0) {
    sgliDisable(GL_STENCIL_TEST);
    return;
  }
  sgliEnable(GL_STENCIL_TEST);
  sgliGlStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  sgliGlStencilFunc(GL_EQUAL, static_cast<GLint>(m), m);
}

uint32_t sglBeginMaskDefinition(uint8_t inverted) {
  if (inverted >= 2) {
    sgliSetError(SGL_ERROR_BEGIN_MASK_DEFINITION, 0);
    return 0;
  }
  const uint32_t id = sgli_get_mask_id();
  if (id == 0) {
    return 0;
  }
  sgli_select_mask(id, inverted);
  ctx()->clipping.mask_under_definition = id;
  return id;
}

void sglEndMaskDefinition() {
  sgl_type_statemachine* context = ctx();
  sgliGlColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  sgliGlStencilMask(0);
  sgli_set_active_masks(context->clipping.active_masks);
  context->clipping.mask_under_definition = 0;
}

bool sgl_clip_box_detect_error(uint32_t id, uint8_t inverted, float x1, float y1, float x2,
                               float y2) {
  return std::fabs(x2 - x1) <= kTiny || std::fabs(y2 - y1) <= kTiny || inverted >= 2 ||
         !sgl_is_stencil_id(id);
}

void sglClipBox(uint32_t id, uint8_t inverted, float x1, float y1, float x2, float y2) {
  if (sgl_clip_box_detect_error(id, inverted, x1, y1, x2, y2)) {
    sgliSetError(SGL_ERROR_CLIP_BOX, id);
    return;
  }
  sgl_type_statemachine* context = ctx();
  sgli_select_mask(id, inverted);
  // Marked as under definition so that the rectangle reaches the mask's
  // box rather than a box being collected; the end clears the mark.
  context->clipping.mask_under_definition = id;
  sgli_bounding_box_add_rect(x1, y1, x2, y2);
  const float quad[8] = {x1, y1, x1, y2, x2, y2, x2, y1};
  sgli_draw_arrays(GL_TRIANGLE_FAN, quad, nullptr, 4);
  // The quad lives on this call's stack: point OpenGL back at the
  // context's buffer before anything else draws from the cached pointer.
  sgliVertexPointer(&context->vertices[0][0]);
  sglEndMaskDefinition();
}

// ---------------------------------------------------------------------------
// Clip planes
// ---------------------------------------------------------------------------

void sgl_clip_plane(uint32_t id, const double equation[4]) {
  if (!sgl_is_clip_plane_id(id)) {
    sgliSetError(SGL_ERROR_CLIP_PLANE, id);
    return;
  }
  sgl_clipping_state* clipping = &ctx()->clipping;
  const uint32_t n = sgl_get_clip_plane_number(id);
  // An enabled plane clips what is being drawn right now; redefining it
  // would move that clip under the caller's feet.
  if (clipping->clip_plane_state[n] == 1) {
    return;
  }
  // OpenGL takes the plane through the inverse of the current model-view
  // matrix, so it is given in the caller's drawing coordinates.
  sgliGlClipPlane(clipping->gl_clipplane_code[n], equation);
  clipping->clip_plane_state[n] = 2;
}

void sglClipPlane(uint32_t id, float x, float y, float angle, uint8_t side) {
  double equation[4];
  sgl_clip_plane_equation(x, y, angle, side, equation);
  sgl_clip_plane(id, equation);
}

void sgl_enable_clip_plane(uint32_t id) {
  sgl_clipping_state* clipping = &ctx()->clipping;
  const uint32_t n = sgl_get_clip_plane_number(id);
  switch (clipping->clip_plane_state[n]) {
    case 0:
      sgliSetError(SGL_ERROR_ACTIVE_MASKS, id);
      break;
    case 2:
      clipping->clip_plane_state[n] = 1;
      sgliGlEnable(clipping->gl_clipplane_code[n]);
      break;
    default:
      break;
  }
}

void sgl_disable_clip_plane(uint32_t id) {
  sgl_clipping_state* clipping = &ctx()->clipping;
  const uint32_t n = sgl_get_clip_plane_number(id);
  if (clipping->clip_plane_state[n] == 1) {
    clipping->clip_plane_state[n] = 2;
    sgliGlDisable(clipping->gl_clipplane_code[n]);
  }
}

// ---------------------------------------------------------------------------
// Identifiers and the active set
// ---------------------------------------------------------------------------

uint32_t sglAllocateMaskID(uint8_t kind) {
  sgl_clipping_state* clipping = &ctx()->clipping;
  uint32_t id;
  if (kind == 0) {
    id = sgl_first_free_clip_plane_id(clipping->allocated_masks);
  } else if (kind == 1 || kind == 2) {
    id = sgli_get_mask_id();
  } else {
    sgliSetError(SGL_ERROR_ALLOCATE_MASK, kind);
    return 0;
  }
  clipping->allocated_masks |= id;
  return id;
}

void sglFreeMaskID(uint32_t id) {
  sgl_clipping_state* clipping = &ctx()->clipping;
  if (id > SGL_MASK_WORD_BITS) {
    sgliSetError(SGL_ERROR_FREE_MASK, id);
    id &= SGL_MASK_WORD_BITS;
  }
  clipping->allocated_masks &= ~id;
  sglSetActiveMasks(clipping->active_masks & clipping->allocated_masks);
}

void sglSetActiveMasks(uint32_t set) {
  sgl_clipping_state* clipping = &ctx()->clipping;
  if (set > SGL_MASK_WORD_BITS) {
    sgliSetError(SGL_ERROR_ACTIVE_MASKS, set);
  }
  if (set == clipping->active_masks) {
    return;
  }
  clipping->active_masks = set;
  for (uint32_t id = SGL_FIRST_CLIP_PLANE_ID; id <= SGL_LAST_CLIP_PLANE_ID; id <<= 1) {
    if ((set & id) != 0) {
      sgl_enable_clip_plane(id);
    } else {
      sgl_disable_clip_plane(id);
    }
  }
  sgli_set_active_masks(set);
}

uint32_t sglGetActiveMasks() {
  return ctx()->clipping.active_masks;
}

// ---------------------------------------------------------------------------
// Scissors
// ---------------------------------------------------------------------------

void sglBeginScissor(float width, float height) {
  sgl_type_statemachine* context = ctx();
  sgl_clipping_state* clipping = &context->clipping;
  if (clipping->scissor_depth >= SGL_SCISSOR_STACK_SIZE) {
    sgliSetError(SGL_ERROR_BEGIN_SCISSOR, SGL_SCISSOR_STACK_SIZE);
    return;
  }
  const sgl_transformation* t = &context->transform;
  float dx;
  float dy;
  sgl_scissor_extent(sgluModuloAngle(t->rotation), width, height, &dx, &dy);
  // The corner is the current drawing origin, in viewport pixels.
  const float ox = (t->matrix[12] + 1.0f) * t->half_width + t->viewport_x;
  const float oy = (t->matrix[13] + 1.0f) * t->half_height + t->viewport_y;
  const float fx = ox + sgluFloatDiv(dx, t->units_x);
  const float fy = oy + sgluFloatDiv(dy, t->units_y);
  sgl_scissor_rect parent;
  if (clipping->scissor_depth == 0) {
    parent.x = sglFloatToInt32(t->viewport_x);
    parent.y = sglFloatToInt32(t->viewport_y);
    parent.width = sglFloatToInt32(2.0f * t->half_width);
    parent.height = sglFloatToInt32(2.0f * t->half_height);
  } else {
    parent = clipping->scissors[clipping->scissor_depth - 1];
  }
  const sgl_scissor_rect entry =
      sgl_compute_scissor_intersection(sgl_scissor_from_corners(ox, oy, fx, fy), parent);
  clipping->scissors[clipping->scissor_depth] = entry;
  sgliGlScissor(entry.x, entry.y, entry.width, entry.height);
  clipping->scissor_depth++;
  if (clipping->scissor_depth == 1) {
    sgliEnable(GL_SCISSOR_TEST);
  }
}

void sglEndScissor() {
  sgl_clipping_state* clipping = &ctx()->clipping;
  if (clipping->scissor_depth == 0) {
    sgliSetError(SGL_ERROR_END_SCISSOR, 0);
    return;
  }
  clipping->scissor_depth--;
  if (clipping->scissor_depth == 0) {
    sgliDisable(GL_SCISSOR_TEST);
    return;
  }
  const sgl_scissor_rect& entry = clipping->scissors[clipping->scissor_depth - 1];
  sgliGlScissor(entry.x, entry.y, entry.width, entry.height);
}

bool sgl_pixel_point_is_inside_scissors(float px, float py) {
  const sgl_clipping_state* clipping = &ctx()->clipping;
  if (clipping->scissor_depth == 0) {
    return true;
  }
  return sgl_scissor_contains(&clipping->scissors[clipping->scissor_depth - 1], px, py);
}

bool sglPointIsInsideScissors(float x, float y) {
  float px;
  float py;
  sglConvertPointToPixel(x, y, &px, &py);
  return sgl_pixel_point_is_inside_scissors(px, py);
}
