// Arcs and sectors: circle and ellipse sectors, arcs, and the arc segments of
// paths. Each becomes a polyline or polygon fed to sglBegin ... sglEnd; the
// vertex density follows the radius in pixels (sgl_arc_steps).
#include <GL/gl.h>

#include <cmath>

#include "graphics/sgl.h"
#include "graphics/sgl_geometry.h"
#include "graphics/sgl_internal.h"

namespace {

constexpr float kAngleLimit = 99999.0f;

sgl_type_statemachine* ctx() {
  return glob_pr_sglStatemachine;
}

bool angle_in_range(float a) {
  return a >= -kAngleLimit && a <= kAngleLimit;
}

// Pixels per drawing unit, averaged over both axes: the line scales are the
// drawing units of one viewport pixel.
float radius_in_pixels(float rx, float ry) {
  const sgl_transformation* t = &ctx()->transform;
  return (sgluFloatDiv(ry, t->line_scale_y) + sgluFloatDiv(rx, t->line_scale_x)) / 2.0f;
}

bool continues_path(const sgl_type_statemachine* context) {
  return context->path.kind != 0 && context->lines.has_last;
}

// The point of the ellipse round (cx, cy) at the parametric angle (degrees).
void point_at(float cx, float cy, float rx, float ry, float angle, float* out_x, float* out_y) {
  float c = 0.0f;
  float s = 0.0f;
  mth_cos_sin_degree(angle, &c, &s);
  *out_x = cx + c * rx;
  *out_y = cy + s * ry;
}

void emit(float x, float y) {
  sgl_type_statemachine* context = ctx();
  context->arcs.vertex_count += 1;
  sglVertex2f(x, y);
}

// The arc from (x0, y0) round (cx, cy), direction +1 counter-clockwise or -1
// clockwise, over sweep degrees (at most 360). With exact_end the last vertex
// is that point instead of the one computed from the end angle, so that an
// arc segment of a path ends exactly where the path goes on.
void simple_arc(float cx, float cy, float x0, float y0, float direction, float sweep, float rx,
                float ry, bool emit_start, const float* exact_end) {
  sgl_type_statemachine* context = ctx();
  const float rp = radius_in_pixels(rx, ry);
  float step = 0.0f;
  uint32_t count = 0;
  sgl_arc_steps(rp, sweep, &step, &count);
  step *= direction;

  const float a0 = mth_move_in_good_quadrant(mth_acos_degree(x0 - cx, rx), x0 - cx, y0 - cy);
  const float a1 = a0 + direction * sweep;

  if (emit_start) {
    emit(x0, y0);
  }
  // A small arc drawn as a line may leave out its last intermediate point:
  // the end point follows closely enough and the strands' round ends fill
  // the corner.
  uint32_t skipped = 1;
  if (rp < 15.0f && std::fabs(a0) < 110.0f && context->color_validity == 1 &&
      !context->arcs.full_circle) {
    skipped = 2;
  }
  float c = 0.0f;
  float s = 0.0f;
  mth_cos_sin_degree(a0, &c, &s);
  float step_c = 0.0f;
  float step_s = 0.0f;
  mth_cos_sin_degree(step, &step_c, &step_s);
  for (uint32_t k = skipped; k < count; ++k) {
    const float nc = c * step_c - s * step_s;
    const float ns = s * step_c + c * step_s;
    c = nc;
    s = ns;
    emit(cx + c * rx, cy + s * ry);
  }

  if (sweep >= 360.0f) {
    // A loop closes itself; any other primitive must come back to the
    // start explicitly.
    if (!context->lines.close_loop) {
      emit(x0, y0);
    }
    return;
  }
  if (exact_end != nullptr) {
    emit(exact_end[0], exact_end[1]);
    return;
  }
  float ex = 0.0f;
  float ey = 0.0f;
  point_at(cx, cy, rx, ry, a1, &ex, &ey);
  if (context->path.kind != 0 && std::fabs(ex - context->path.current_x) < 0.0001f &&
      std::fabs(ey - context->path.current_y) < 0.0001f) {
    return;
  }
  emit(ex, ey);
}

void sector_outline(float cx, float cy, float x0, float y0, float rx, float ry, uint32_t clockwise,
                    float sweep) {
  sglBegin(SGL_PRIMITIVE_LINE_LOOP);
  if (sweep < 360.0f) {
    emit(cx, cy);
  }
  sgluArcCircleLinePointsList2f(cx, cy, x0, y0, rx, ry, clockwise, sweep);
  sglEnd();
}

void filled_sector(float cx, float cy, float x0, float y0, float rx, float ry, uint32_t clockwise,
                   float sweep) {
  sgl_type_statemachine* context = ctx();
  // The outline (entry 1 of the default widths) is drawn first and its
  // state kept for the whole call, so that the fill adds no second one.
  const bool outline = context->polygon_smooth && context->transparency == 255 &&
                       !context->texture_fill && !context->gradient_fill;
  sgli_outline_state saved{};
  if (outline) {
    sgli_begin_smooth_outline(1, &saved);
    sector_outline(cx, cy, x0, y0, rx, ry, clockwise, sweep);
  }
  context->lines.shape_from_arc = 1;
  sglBegin(5);
  emit(cx, cy);
  sgluArcCircleLinePointsList2f(cx, cy, x0, y0, rx, ry, clockwise, sweep);
  sglEnd();
  context->lines.shape_from_arc = 0;
  if (outline) {
    sgli_end_smooth_outline(saved);
  }
}

void arc_only(float cx, float cy, float x0, float y0, float rx, float ry, uint32_t clockwise,
              float sweep) {
  sglBegin(SGL_PRIMITIVE_LINE_STRIP);
  sgluArcCircleLinePointsList2f(cx, cy, x0, y0, rx, ry, clockwise, sweep);
  sglEnd();
}

// Sweep of an arc from start to end in its direction, in (0, 360]; 0 when
// the two angles coincide.
float sweep_of(float start_angle, float end_angle, uint32_t clockwise) {
  return sgluModuloAngle(clockwise ? start_angle - end_angle : end_angle - start_angle);
}

void end_arc_call() {
  sgl_type_statemachine* context = ctx();
  context->arcs.full_circle = 0;
  context->arcs.ellipse = 0;
  context->arcs.vertex_count = 0;
}

// Draws the sector from the point at start_angle: mode 1 filled, 2 its
// outline, 3 the arc only; then the call's flags end.
void draw_sector(float cx, float cy, float rx, float ry, float start_angle, uint32_t clockwise,
                 float sweep, uint32_t mode) {
  float x0 = 0.0f;
  float y0 = 0.0f;
  point_at(cx, cy, rx, ry, start_angle, &x0, &y0);
  if (mode == 1) {
    filled_sector(cx, cy, x0, y0, rx, ry, clockwise, sweep);
  } else if (mode == 2) {
    sector_outline(cx, cy, x0, y0, rx, ry, clockwise, sweep);
  } else {
    arc_only(cx, cy, x0, y0, rx, ry, clockwise, sweep);
  }
  end_arc_call();
}

}  // namespace

void sgluArcCircleLinePointsList2f(float cx, float cy, float x0, float y0, float rx, float ry,
                                   uint32_t clockwise, float sweep) {
  if (!(sweep > 0.0f)) {
    return;
  }
  if (sweep > 360.0f) {
    sweep = 360.0f;
  }
  const float distance = std::hypot(x0 - cx, y0 - cy);
  float d = radius_in_pixels(distance, distance);
  if (d < 0.1f) {
    d = 0.1f;
  }
  if (d <= 1.0f) {
    emit(cx, cy);
    emit(cx, cy);
    return;
  }
  simple_arc(cx, cy, x0, y0, clockwise ? -1.0f : 1.0f, sweep, rx, ry, !continues_path(ctx()),
             nullptr);
}

void sgluArcSector2f(float cx, float cy, float radius, float start_angle, float end_angle,
                     uint32_t clockwise, uint32_t mode) {
  sgl_type_statemachine* context = ctx();
  if (!angle_in_range(start_angle) || !angle_in_range(end_angle) || mode < 1 || mode > 3 ||
      clockwise >= 2) {
    sgliSetError(SGL_ERROR_ARC_SECTOR, 0);
    return;
  }
  if (radius < 0.0f) {
    radius = 0.0f;
  }
  const float sweep = sweep_of(start_angle, end_angle, clockwise);
  if (sgluFloatIsEqual(sweep, 0.0f)) {
    return;
  }
  context->arcs.full_circle = sgluFloatIsEqual(sweep, 360.0f) ? 1 : 0;

  const float rp = radius_in_pixels(radius, radius);
  if (rp <= 1.0f) {
    // Smaller than a pixel: a round dot is all that can show. A radius of
    // 0 has no size at all (and OpenGL rejects a point size of 0).
    if (rp > 0.0f) {
      sgliDisable(GL_TEXTURE_2D);
      sgliEnable(GL_BLEND);
      sgliUpdateColor(context->color_index);
      sgliGlPointSize(2.0f * rp);
      const float centre[2] = {cx, cy};
      sgli_draw_arrays(GL_POINTS, centre, nullptr, 1);
    }
    end_arc_call();
    return;
  }

  draw_sector(cx, cy, radius, radius, start_angle, clockwise, sweep, mode);
}

namespace {

// Point of the ellipse in the polar direction theta, and its parametric
// angle (the angle whose cosine and sine give the point as cx + cos * rx,
// cy + sin * ry).
float parametric_angle(float rx, float ry, float theta) {
  float c = 0.0f;
  float s = 0.0f;
  mth_cos_sin_degree(theta, &c, &s);
  const float denominator = mth_sqrtf((ry * c) * (ry * c) + (rx * s) * (rx * s));
  const float r = sgluFloatDiv(rx * ry, denominator);
  const float dx = r * c;
  const float dy = r * s;
  return mth_move_in_good_quadrant(mth_acos_degree(dx, rx), dx, dy);
}

// An ellipse too thin to show its curve is drawn as a line along its other
// axis (a dot when both radii vanish).
void degenerate_ellipse(float cx, float cy, float rx, float ry) {
  sglBegin(SGL_PRIMITIVE_SEGMENTS);
  if (rx >= ry) {
    sglVertex2f(cx - rx, cy);
    sglVertex2f(cx + rx, cy);
  } else {
    sglVertex2f(cx, cy - ry);
    sglVertex2f(cx, cy + ry);
  }
  sglEnd();
}

}  // namespace

void sgluArcEllipse2f(float cx, float cy, float rx, float ry, float start_angle, float end_angle,
                      uint32_t clockwise, uint32_t outline) {
  sgl_type_statemachine* context = ctx();
  if (!angle_in_range(start_angle) || !angle_in_range(end_angle) || clockwise >= 2 ||
      outline >= 2) {
    sgliSetError(SGL_ERROR_ARC_ELLIPSE, 0);
    return;
  }
  if (rx < 0.0f) {
    rx = 0.0f;
  }
  if (ry < 0.0f) {
    ry = 0.0f;
  }
  const sgl_transformation* t = &context->transform;
  if (rx == 0.0f || ry == 0.0f || rx / t->font_scale_x <= 1.0f || ry / t->font_scale_y <= 1.0f) {
    degenerate_ellipse(cx, cy, rx, ry);
    return;
  }
  const float requested = sweep_of(start_angle, end_angle, clockwise);
  if (sgluFloatIsEqual(requested, 0.0f)) {
    return;
  }
  float start = start_angle;
  float sweep = requested;
  if (requested <= 355.0f) {
    start = parametric_angle(rx, ry, start_angle);
    const float end = parametric_angle(rx, ry, end_angle);
    sweep = sweep_of(start, end, clockwise);
  }
  context->arcs.ellipse = 1;
  context->arcs.full_circle = sgluFloatIsEqual(sweep, 360.0f) ? 1 : 0;
  draw_sector(cx, cy, rx, ry, start, clockwise, sweep, outline == 0 ? 1 : 3);
}

void sgluArcSegment(uint32_t clockwise, float angle) {
  sgl_type_statemachine* context = ctx();
  const float reduced = sgluModuloAngle(angle);
  if (sgluFloatIsEqual(reduced, 0.0f) || sgluFloatIsEqual(reduced, 360.0f) || clockwise >= 2) {
    sgliSetError(SGL_ERROR_ARC_SEGMENT, 0);
    return;
  }
  if (std::fabs(angle) <= 2.0f) {
    return;
  }
  context->lines.arc_pending = 1;
  context->lines.arc_clockwise = static_cast<uint8_t>(clockwise);
  context->lines.arc_angle = reduced;
}

void sgli_arc_segment_to(float x, float y) {
  sgl_type_statemachine* context = ctx();
  context->lines.arc_pending = 0;
  const float x0 = context->lines.last_x;
  const float y0 = context->lines.last_y;
  const float dx = x - x0;
  const float dy = y - y0;
  const float chord = std::sqrt(dx * dx + dy * dy);
  if (chord <= 1e-6f) {
    sgliVertex2f(x, y);
    return;
  }
  const float angle = context->lines.arc_angle;
  const float radius = chord / (2.0f * mth_cos_degree((180.0f - angle) / 2.0f));
  // The centre lies on the chord's perpendicular bisector, left of the
  // chord for a counter-clockwise arc; past 180 degrees the cosine turns
  // negative and moves it to the other side by itself.
  const float offset = mth_cos_degree(angle / 2.0f) * radius / chord;
  const float side = context->lines.arc_clockwise ? -1.0f : 1.0f;
  const float cx = (x0 + x) / 2.0f - side * offset * dy;
  const float cy = (y0 + y) / 2.0f + side * offset * dx;
  const float end[2] = {x, y};
  simple_arc(cx, cy, x0, y0, context->lines.arc_clockwise ? -1.0f : 1.0f, angle, radius, radius,
             false, end);
  context->arcs.vertex_count = 0;
}
