// Bounding boxes: the box of what is drawn between sglBeginBoundingBox and
// sglEndBoundingBox, the box of each stencil mask's shape, and the bounds of
// an arc segment. Boxes are kept in viewport pixels, so that they stay
// axis-aligned on the screen whatever the transformation; every line and
// shape reaches them through sgli_update_bounding_box just before it is drawn.
#include <cmath>
#include <cstdint>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"

namespace {

constexpr uint32_t kStencilBits = 8;

sgl_type_statemachine* ctx() {
  return glob_pr_sglStatemachine;
}

// Index 0..7 of a single stencil bit, 8 for anything else.
uint32_t stencil_index(uint32_t id) {
  for (uint32_t k = 0; k < kStencilBits; ++k) {
    if (id == (1u << k)) {
      return k;
    }
  }
  return kStencilBits;
}

void join(sgl_bounds_box* box, const sgl_bounds_box& add) {
  if (add.empty) {
    return;
  }
  if (box->empty) {
    *box = add;
    return;
  }
  box->x1 = std::fmin(box->x1, add.x1);
  box->y1 = std::fmin(box->y1, add.y1);
  box->x2 = std::fmax(box->x2, add.x2);
  box->y2 = std::fmax(box->y2, add.y2);
}

void cut(sgl_bounds_box* box, float x1, float y1, float x2, float y2) {
  if (box->empty) {
    return;
  }
  box->x1 = std::fmax(box->x1, x1);
  box->y1 = std::fmax(box->y1, y1);
  box->x2 = std::fmin(box->x2, x2);
  box->y2 = std::fmin(box->y2, y2);
  if (box->x1 > box->x2 || box->y1 > box->y2) {
    box->empty = 1;
  }
}

// Drawing units to viewport pixels through the current matrix.
void to_pixel(const sgl_transformation* t, float x, float y, float* px, float* py) {
  const float* m = t->matrix;
  *px = (x * m[0] + y * m[4] + m[12] + 1.0f) * t->half_width + t->viewport_x;
  *py = (x * m[1] + y * m[5] + m[13] + 1.0f) * t->half_height + t->viewport_y;
}

void grow(sgl_bounds_box* box, float px, float py) {
  if (box->empty) {
    *box = {0, px, py, px, py};
    return;
  }
  box->x1 = std::fmin(box->x1, px);
  box->y1 = std::fmin(box->y1, py);
  box->x2 = std::fmax(box->x2, px);
  box->y2 = std::fmax(box->y2, py);
}

// A box in viewport pixels goes where drawing goes right now: into the box
// of the mask under definition, or - cut to what the scissor and the normal
// masks in force let through - into the collected box.
void add_pixel_box(sgl_type_statemachine* context, sgl_bounds_box box) {
  if (box.empty) {
    return;
  }
  sgl_bounds_state* bounds = &context->bounds;
  const uint32_t defining = context->clipping.mask_under_definition;
  if (defining != 0) {
    const uint32_t k = stencil_index(defining);
    if (k < kStencilBits && bounds->mask_known[k]) {
      join(&bounds->mask_boxes[k], box);
    }
    return;
  }
  if (!bounds->collecting) {
    return;
  }
  const sgl_clipping_state* clipping = &context->clipping;
  if (clipping->scissor_depth > 0) {
    const sgl_scissor_rect& s = clipping->scissors[clipping->scissor_depth - 1];
    cut(&box, static_cast<float>(s.x), static_cast<float>(s.y), static_cast<float>(s.x + s.width),
        static_cast<float>(s.y + s.height));
  }
  // An inverted mask lets drawing through outside a shape, which no box
  // can bound; only normal masks with a known box cut.
  const uint32_t active = clipping->active_masks & 0xFF;
  for (uint32_t k = 0; k < kStencilBits; ++k) {
    if ((active & (1u << k)) == 0 || !bounds->mask_known[k] || bounds->mask_inverted[k]) {
      continue;
    }
    const sgl_bounds_box& mask = bounds->mask_boxes[k];
    if (mask.empty) {
      box.empty = 1;
    } else {
      cut(&box, mask.x1, mask.y1, mask.x2, mask.y2);
    }
  }
  join(&bounds->box, box);
}

// Half the width, in viewport pixels, of the widest pass the current line
// attributes draw (halo and main pass, as the line drawing chooses them).
float line_half_width(const sgl_type_statemachine* context) {
  const float* w = sgliCurrentLineWidth();
  const uint8_t s = context->smoothing;
  const bool halo = s == 1 || s == 2;
  const bool main = s == 0 || s == 1 || s == 3;
  float widest = 0.0f;
  if (main) {
    widest = s != 0 ? w[1] : w[0];
  }
  if (halo) {
    widest = std::fmax(widest, w[2]);
  }
  if (context->render_mode == 0) {
    // OpenGL line widths are given in pixels of the native display.
    const sgl_transformation* t = &context->transform;
    widest *= (t->ratio_x + t->ratio_y) / 2.0f;
  }
  return widest / 2.0f;
}

}  // namespace

bool sgli_bounding_box_wanted() {
  const sgl_type_statemachine* context = ctx();
  if (context == nullptr) {
    return false;
  }
  const uint32_t defining = context->clipping.mask_under_definition;
  if (defining != 0) {
    const uint32_t k = stencil_index(defining);
    return k < kStencilBits && context->bounds.mask_known[k];
  }
  return context->bounds.collecting != 0;
}

void sgli_bounding_box_add_point(float x, float y) {
  sgl_type_statemachine* context = ctx();
  if (!sgli_bounding_box_wanted()) {
    return;
  }
  sgl_bounds_box box{1, 0.0f, 0.0f, 0.0f, 0.0f};
  float px = 0.0f;
  float py = 0.0f;
  to_pixel(&context->transform, x, y, &px, &py);
  grow(&box, px, py);
  add_pixel_box(context, box);
}

void sgli_bounding_box_add_rect(float x1, float y1, float x2, float y2) {
  sgl_type_statemachine* context = ctx();
  if (!sgli_bounding_box_wanted()) {
    return;
  }
  sgl_bounds_box box{1, 0.0f, 0.0f, 0.0f, 0.0f};
  const float corners[4][2] = {{x1, y1}, {x2, y1}, {x1, y2}, {x2, y2}};
  for (const auto& corner : corners) {
    float px = 0.0f;
    float py = 0.0f;
    to_pixel(&context->transform, corner[0], corner[1], &px, &py);
    grow(&box, px, py);
  }
  add_pixel_box(context, box);
}

void sgli_bounding_box_begin_mask(uint32_t id, uint8_t inverted) {
  sgl_type_statemachine* context = ctx();
  const uint32_t k = stencil_index(id);
  if (context == nullptr || k >= kStencilBits) {
    return;
  }
  context->bounds.mask_boxes[k] = {1, 0.0f, 0.0f, 0.0f, 0.0f};
  context->bounds.mask_known[k] = 1;
  context->bounds.mask_inverted[k] = inverted != 0 ? 1 : 0;
}

bool sgli_bounding_box_get_mask(uint32_t id, sgl_bounds_box* out_box, uint8_t* out_inverted) {
  const sgl_type_statemachine* context = ctx();
  const uint32_t k = stencil_index(id);
  if (context == nullptr || k >= kStencilBits || !context->bounds.mask_known[k] ||
      context->bounds.mask_boxes[k].empty) {
    return false;
  }
  if (out_box != nullptr) {
    *out_box = context->bounds.mask_boxes[k];
  }
  if (out_inverted != nullptr) {
    *out_inverted = context->bounds.mask_inverted[k];
  }
  return true;
}

// Called by lines and shapes just before they are drawn, with the vertices
// that will be drawn in the buffer. A line covers its width beyond them; a
// shape ends at its vertices. Fewer vertices than a line (2) or a shape (3)
// needs draw nothing and add nothing.
void sgli_update_bounding_box() {
  sgl_type_statemachine* context = ctx();
  if (!sgli_bounding_box_wanted()) {
    return;
  }
  const uint32_t mode = context->begin_mode;
  const bool line = (mode == SGL_PRIMITIVE_LINE_LOOP || mode == SGL_PRIMITIVE_SEGMENTS ||
                     mode == SGL_PRIMITIVE_LINE_STRIP) &&
                    context->clipping.mask_under_definition == 0;
  const uint32_t count = context->vertex_count;
  if (count < (line ? 2u : 3u)) {
    return;
  }
  sgl_bounds_box box{1, 0.0f, 0.0f, 0.0f, 0.0f};
  for (uint32_t k = 0; k < count; ++k) {
    float px = 0.0f;
    float py = 0.0f;
    to_pixel(&context->transform, context->vertices[k][0], context->vertices[k][1], &px, &py);
    grow(&box, px, py);
  }
  if (line) {
    const float h = line_half_width(context);
    box.x1 -= h;
    box.y1 -= h;
    box.x2 += h;
    box.y2 += h;
  }
  add_pixel_box(context, box);
}

// A collection left open by the last frame must not gather the next one's
// drawing, and the masks the reset frees take their boxes with them.
void sgl_reset_bounds(sgl_type_statemachine* context) {
  sgl_bounds_state* bounds = &context->bounds;
  bounds->collecting = 0;
  bounds->box = {1, 0.0f, 0.0f, 0.0f, 0.0f};
  for (uint32_t k = 0; k < kStencilBits; ++k) {
    bounds->mask_boxes[k] = {1, 0.0f, 0.0f, 0.0f, 0.0f};
    bounds->mask_known[k] = 0;
    bounds->mask_inverted[k] = 0;
  }
  // The text union that sglBeginBoundingBox opened ends with it.
  context->text.bounds_collecting = 0;
}

void sglBeginBoundingBox() {
  sgl_type_statemachine* context = ctx();
  context->bounds.collecting = 1;
  context->bounds.box = {1, 0.0f, 0.0f, 0.0f, 0.0f};
  // The WithBBox text writers keep their own union of what they wrote.
  sglBeginTextBounds();
}

bool sglEndBoundingBox(float* out_x1, float* out_y1, float* out_x2, float* out_y2) {
  sgl_type_statemachine* context = ctx();
  if (!context->bounds.collecting) {
    return false;
  }
  context->bounds.collecting = 0;
  sgl_bounds_box box = context->bounds.box;
  sgl_bounds_box text{1, 0.0f, 0.0f, 0.0f, 0.0f};
  if (sglEndTextBounds(&text.x1, &text.y1, &text.x2, &text.y2)) {
    text.empty = 0;
  }
  join(&box, text);
  if (box.empty) {
    return false;
  }
  if (out_x1 != nullptr) *out_x1 = box.x1;
  if (out_y1 != nullptr) *out_y1 = box.y1;
  if (out_x2 != nullptr) *out_x2 = box.x2;
  if (out_y2 != nullptr) *out_y2 = box.y2;
  return true;
}

bool sglGetArcSegmentBounds(float x0, float y0, float x1, float y1, uint32_t clockwise, float angle,
                            float* out_x1, float* out_y1, float* out_x2, float* out_y2) {
  if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1) ||
      !std::isfinite(angle) || clockwise >= 2) {
    sgliSetError(SGL_ERROR_ARC_SEGMENT_BOUNDS, 0);
    return false;
  }
  const float reduced = sgluModuloAngle(angle);
  if (sgluFloatIsEqual(reduced, 0.0f) || sgluFloatIsEqual(reduced, 360.0f)) {
    sgliSetError(SGL_ERROR_ARC_SEGMENT_BOUNDS, 0);
    return false;
  }
  float box[4] = {std::fmin(x0, x1), std::fmin(y0, y1), std::fmax(x0, x1), std::fmax(y0, y1)};
  const double dx = static_cast<double>(x1) - x0;
  const double dy = static_cast<double>(y1) - y0;
  const double chord = std::sqrt(dx * dx + dy * dy);
  // The same circle the arc segment draws on: through both points, its
  // centre on the chord's perpendicular bisector, `reduced` degrees of it
  // between them.
  if (std::fabs(angle) > 2.0f && chord > 1e-6) {
    constexpr double kRadians = 3.14159265358979323846 / 180.0;
    const double half = reduced * kRadians / 2.0;
    const double radius = chord / (2.0 * std::sin(half));
    const double offset = std::cos(half) * radius / chord;
    const double side = clockwise ? -1.0 : 1.0;
    sgl_elliptical_arc arc{};
    arc.kind = 2;
    arc.cx = (static_cast<double>(x0) + x1) / 2.0 - side * offset * dy;
    arc.cy = (static_cast<double>(y0) + y1) / 2.0 + side * offset * dx;
    arc.rx = arc.ry = radius;
    arc.cos_rotation = 1.0;
    arc.sin_rotation = 0.0;
    arc.start = std::atan2(y0 - arc.cy, x0 - arc.cx) / kRadians;
    arc.sweep = side * reduced;
    sgl_elliptical_arc_bounds(&arc, x0, y0, x1, y1, box);
  }
  if (out_x1 != nullptr) *out_x1 = box[0];
  if (out_y1 != nullptr) *out_y1 = box[1];
  if (out_x2 != nullptr) *out_x2 = box[2];
  if (out_y2 != nullptr) *out_y2 = box[3];
  return true;
}
