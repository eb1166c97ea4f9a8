// Crowns (ring sectors) and the curve segments of paths: quadratic and cubic
// Bezier curves with their smooth variants, and elliptical arcs. A crown is
// drawn like the arc sectors, as a strip or loops fed to sglBegin ... sglEnd;
// a curve is flattened into the open path's vertex buffer with as many
// pieces as its size in pixels needs. The geometry (points, piece counts,
// exact bounds, the centre of an elliptical arc) is plain arithmetic at the
// top of the file; the bounds queries of the segments are at the end.
#include <GL/gl.h>

#include <cmath>

#include "graphics/sgl.h"
#include "graphics/sgl_geometry.h"
#include "graphics/sgl_internal.h"

// ---------------------------------------------------------------- geometry

namespace {

// A quarter pixel: no flattened piece strays further from its curve, which
// keeps a smoothed line's edge indistinguishable from the true curve.
constexpr double kFlatness = 0.25;
constexpr uint32_t kMaxCurvePieces = 1024;
constexpr double kDegrees = 57.29577951308232;  // 180 / pi

void grow(float out[4], float x, float y) {
  out[0] = std::fmin(out[0], x);
  out[1] = std::fmin(out[1], y);
  out[2] = std::fmax(out[2], x);
  out[3] = std::fmax(out[3], y);
}

// Roots in (0, 1) of a t^2 + b t + c = 0; returns how many were written.
uint32_t unit_roots(double a, double b, double c, double out[2]) {
  uint32_t n = 0;
  auto keep = [&](double t) {
    if (t > 0.0 && t < 1.0) {
      out[n++] = t;
    }
  };
  if (std::fabs(a) < 1e-12) {
    if (std::fabs(b) >= 1e-12) {
      keep(-c / b);
    }
    return n;
  }
  const double d = b * b - 4.0 * a * c;
  if (d < 0.0) {
    return 0;
  }
  const double r = std::sqrt(d);
  keep((-b + r) / (2.0 * a));
  keep((-b - r) / (2.0 * a));
  return n;
}

// Angle in degrees of the vector (x, y).
double angle_of(double x, double y) {
  return std::atan2(y, x) * kDegrees;
}

}  // namespace

void sgl_bezier_point(const float* p, uint32_t degree, float t, float* out_x, float* out_y) {
  const double u = 1.0 - t;
  const double s = t;
  if (degree == 2) {
    const double w0 = u * u, w1 = 2.0 * u * s, w2 = s * s;
    *out_x = static_cast<float>(w0 * p[0] + w1 * p[2] + w2 * p[4]);
    *out_y = static_cast<float>(w0 * p[1] + w1 * p[3] + w2 * p[5]);
    return;
  }
  const double w0 = u * u * u, w1 = 3.0 * u * u * s, w2 = 3.0 * u * s * s, w3 = s * s * s;
  *out_x = static_cast<float>(w0 * p[0] + w1 * p[2] + w2 * p[4] + w3 * p[6]);
  *out_y = static_cast<float>(w0 * p[1] + w1 * p[3] + w2 * p[5] + w3 * p[7]);
}

uint32_t sgl_bezier_segment_count(const float* p, uint32_t degree, float units_x, float units_y) {
  const double ux = std::fabs(units_x) > 1e-12f ? std::fabs(units_x) : 1.0;
  const double uy = std::fabs(units_y) > 1e-12f ? std::fabs(units_y) : 1.0;
  // The largest second difference of the control points, in pixels,
  // bounds the curve's second derivative; with n equal steps in t the
  // polyline stays within degree (degree - 1) / 8 * m / n^2 of the curve.
  double m = 0.0;
  for (uint32_t i = 0; i + 2 <= degree; ++i) {
    const double dx = (p[2 * i] - 2.0 * p[2 * i + 2] + p[2 * i + 4]) / ux;
    const double dy = (p[2 * i + 1] - 2.0 * p[2 * i + 3] + p[2 * i + 5]) / uy;
    m = std::fmax(m, std::sqrt(dx * dx + dy * dy));
  }
  const double n = std::ceil(std::sqrt(degree * (degree - 1) / 8.0 * m / kFlatness));
  if (!(n >= 1.0)) {
    return 1;
  }
  return n > kMaxCurvePieces ? kMaxCurvePieces : static_cast<uint32_t>(n);
}

void sgl_bezier_bounds(const float* p, uint32_t degree, float out[4]) {
  const float* end = &p[2 * degree];
  out[0] = std::fmin(p[0], end[0]);
  out[1] = std::fmin(p[1], end[1]);
  out[2] = std::fmax(p[0], end[0]);
  out[3] = std::fmax(p[1], end[1]);
  for (uint32_t axis = 0; axis < 2; ++axis) {
    double roots[2];
    uint32_t n = 0;
    if (degree == 2) {
      // B'(t) is proportional to (p0 - 2 p1 + p2) t + (p1 - p0).
      const double a = p[axis], b = p[2 + axis], c = p[4 + axis];
      n = unit_roots(0.0, a - 2.0 * b + c, b - a, roots);
    } else {
      // B'(t) / 3 = (d0 - 2 d1 + d2) t^2 + 2 (d1 - d0) t + d0 with the
      // control polygon's differences d.
      const double d0 = p[2 + axis] - p[axis];
      const double d1 = p[4 + axis] - p[2 + axis];
      const double d2 = p[6 + axis] - p[4 + axis];
      n = unit_roots(d0 - 2.0 * d1 + d2, 2.0 * (d1 - d0), d0, roots);
    }
    for (uint32_t k = 0; k < n; ++k) {
      float x = 0.0f;
      float y = 0.0f;
      sgl_bezier_point(p, degree, static_cast<float>(roots[k]), &x, &y);
      grow(out, x, y);
    }
  }
}

void sgl_elliptical_arc_centre(float x0, float y0, float rx_in, float ry_in, float rotation,
                               bool large_arc, bool clockwise, float x, float y,
                               sgl_elliptical_arc* out) {
  *out = {};
  if (x0 == x && y0 == y) {
    return;
  }
  double rx = std::fabs(static_cast<double>(rx_in));
  double ry = std::fabs(static_cast<double>(ry_in));
  if (rx < 1e-9 || ry < 1e-9) {
    out->kind = 1;
    return;
  }
  const double phi = static_cast<double>(rotation) / kDegrees;
  const double c = std::cos(phi);
  const double s = std::sin(phi);
  // The chord's half in the ellipse's own axes.
  const double hx = (static_cast<double>(x0) - x) / 2.0;
  const double hy = (static_cast<double>(y0) - y) / 2.0;
  const double x1 = c * hx + s * hy;
  const double y1 = -s * hx + c * hy;
  // Radii too small to span the chord grow until the chord is a diameter.
  const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
  if (lambda > 1.0) {
    rx *= std::sqrt(lambda);
    ry *= std::sqrt(lambda);
  }
  const double numerator = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
  const double denominator = rx * rx * y1 * y1 + ry * ry * x1 * x1;
  double k = std::sqrt(std::fmax(0.0, numerator / denominator));
  // Of the two centres, the large counter-clockwise arc and the small
  // clockwise one share the one on the same side.
  if (large_arc == !clockwise) {
    k = -k;
  }
  const double cx1 = k * rx * y1 / ry;
  const double cy1 = -k * ry * x1 / rx;
  out->kind = 2;
  out->rx = rx;
  out->ry = ry;
  out->cos_rotation = c;
  out->sin_rotation = s;
  out->cx = c * cx1 - s * cy1 + (static_cast<double>(x0) + x) / 2.0;
  out->cy = s * cx1 + c * cy1 + (static_cast<double>(y0) + y) / 2.0;
  const double start = angle_of((x1 - cx1) / rx, (y1 - cy1) / ry);
  const double end = angle_of((-x1 - cx1) / rx, (-y1 - cy1) / ry);
  double sweep = std::fmod(end - start, 360.0);
  if (!clockwise && sweep < 0.0) {
    sweep += 360.0;
  } else if (clockwise && sweep > 0.0) {
    sweep -= 360.0;
  }
  out->start = start;
  out->sweep = sweep;
}

void sgl_elliptical_arc_point(const sgl_elliptical_arc* arc, double angle, float* out_x,
                              float* out_y) {
  const double a = angle / kDegrees;
  const double ex = arc->rx * std::cos(a);
  const double ey = arc->ry * std::sin(a);
  *out_x = static_cast<float>(arc->cx + arc->cos_rotation * ex - arc->sin_rotation * ey);
  *out_y = static_cast<float>(arc->cy + arc->sin_rotation * ex + arc->cos_rotation * ey);
}

void sgl_elliptical_arc_bounds(const sgl_elliptical_arc* arc, float x0, float y0, float x, float y,
                               float out[4]) {
  out[0] = std::fmin(x0, x);
  out[1] = std::fmin(y0, y);
  out[2] = std::fmax(x0, x);
  out[3] = std::fmax(y0, y);
  if (arc->kind != 2) {
    return;
  }
  const double rx = arc->rx, ry = arc->ry, c = arc->cos_rotation, s = arc->sin_rotation;
  // x(a) = cx + rx c cos a - ry s sin a is extreme where its derivative
  // vanishes, y(a) = cy + rx s cos a + ry c sin a likewise; each has two
  // such angles half a turn apart.
  const double ax = angle_of(rx * c, -ry * s);
  const double ay = angle_of(rx * s, ry * c);
  const double candidates[4] = {ax, ax + 180.0, ay, ay + 180.0};
  for (double candidate : candidates) {
    double along =
        std::fmod((arc->sweep >= 0.0 ? candidate - arc->start : arc->start - candidate), 360.0);
    if (along < 0.0) {
      along += 360.0;
    }
    if (along <= std::fabs(arc->sweep)) {
      float px = 0.0f;
      float py = 0.0f;
      sgl_elliptical_arc_point(arc, candidate, &px, &py);
      grow(out, px, py);
    }
  }
}

// ---------------------------------------------------------------- crowns

namespace {

constexpr float kAngleLimit = 99999.0f;

sgl_type_statemachine* ctx() {
  return glob_pr_sglStatemachine;
}

bool angle_in_range(float a) {
  return a >= -kAngleLimit && a <= kAngleLimit;
}

// As for the arcs: a radius in pixels of the viewport, from the line scales.
float radius_in_pixels(float radius) {
  const sgl_transformation* t = &ctx()->transform;
  return (sgluFloatDiv(radius, t->line_scale_y) + sgluFloatDiv(radius, t->line_scale_x)) / 2.0f;
}

struct ring {
  float cx, cy;
  float inner, outer;
  float start, end;  // the end is start + sweep in the ring's direction
  float sweep;
  uint32_t clockwise;
};

void point_at(const ring& r, float radius, float angle, float* x, float* y) {
  float c = 0.0f;
  float s = 0.0f;
  mth_cos_sin_degree(angle, &c, &s);
  *x = r.cx + c * radius;
  *y = r.cy + s * radius;
}

// One arc of the ring from `angle` over the ring's sweep, into the
// primitive begun by the caller; backwards runs against the ring's direction.
void ring_arc(const ring& r, float radius, float angle, bool backwards) {
  float x0 = 0.0f;
  float y0 = 0.0f;
  point_at(r, radius, angle, &x0, &y0);
  const uint32_t clockwise = backwards ? 1u - r.clockwise : r.clockwise;
  sgluArcCircleLinePointsList2f(r.cx, r.cy, x0, y0, radius, radius, clockwise, r.sweep);
}

void closed_circle(const ring& r, float radius) {
  sglBegin(SGL_PRIMITIVE_LINE_LOOP);
  ring_arc(r, radius, r.start, false);
  sglEnd();
}

void open_arc(const ring& r, float radius) {
  sglBegin(SGL_PRIMITIVE_LINE_STRIP);
  ring_arc(r, radius, r.start, false);
  sglEnd();
}

// Outer arc forwards, inner arc backwards; the loop's closing segment and
// the step from one arc to the other are the two radial edges. A full ring
// has no edges: two circles.
void crown_outline(const ring& r) {
  if (r.sweep >= 360.0f) {
    closed_circle(r, r.outer);
    if (r.inner > 0.0f) {
      closed_circle(r, r.inner);
    }
    return;
  }
  sglBegin(SGL_PRIMITIVE_LINE_LOOP);
  ring_arc(r, r.outer, r.start, false);
  ring_arc(r, r.inner, r.end, true);
  sglEnd();
}

void crown_arcs(const ring& r) {
  if (r.sweep >= 360.0f) {
    crown_outline(r);
    return;
  }
  open_arc(r, r.outer);
  if (r.inner > 0.0f) {
    open_arc(r, r.inner);
  }
}

// What the smoothed outline of a filled crown changes for the whole call:
// a thin antialiased loop from the default width table (entry 1, as for the
// arc sectors), and no second outline added by the fill after it.
struct smooth_backup {
  bool active;
  uint8_t polygon_smooth;
  uint8_t smoothing;
  uint8_t stipple_active;
  const float* width_table;
  uint32_t width_count;
  uint32_t width_index;
};

smooth_backup backup_for_polygon_smooth(sgl_type_statemachine* context) {
  smooth_backup backup{true,
                       context->polygon_smooth,
                       context->smoothing,
                       context->stipple_active,
                       context->line_width_table,
                       context->line_width_count,
                       context->line_width_index};
  context->polygon_smooth = 0;
  context->smoothing = 0;
  context->stipple_active = 0;
  context->line_width_table = &font_line_width[0][0];
  context->line_width_count = 8;
  context->line_width_index = 1;
  return backup;
}

void restore_after_polygon_smooth(sgl_type_statemachine* context, const smooth_backup& backup) {
  if (!backup.active) {
    return;
  }
  context->polygon_smooth = backup.polygon_smooth;
  context->smoothing = backup.smoothing;
  context->stipple_active = backup.stipple_active;
  context->line_width_table = backup.width_table;
  context->line_width_count = backup.width_count;
  context->line_width_index = backup.width_index;
}

// A triangle strip that zigzags between the outer and the inner arc at the
// same angles, as many steps as the outer arc would take.
void filled_crown(const ring& r) {
  sgl_type_statemachine* context = ctx();
  smooth_backup backup{};
  if (context->polygon_smooth && context->transparency == 255 && !context->texture_fill &&
      !context->gradient_fill) {
    backup = backup_for_polygon_smooth(context);
    crown_outline(r);
  }
  float step = 0.0f;
  uint32_t count = 0;
  sgl_arc_steps(radius_in_pixels(r.outer), r.sweep, &step, &count);
  if (count == 0) {
    count = 1;
  }
  const float direction = r.clockwise ? -1.0f : 1.0f;
  context->lines.shape_from_arc = 1;
  sglBegin(7);
  for (uint32_t k = 0; k <= count; ++k) {
    // The arcs' steps, the last one shorter where the sweep is not a
    // whole number of them, so that the fill meets its outline's vertices.
    const float angle = k == count ? r.end : r.start + direction * step * static_cast<float>(k);
    float x = 0.0f;
    float y = 0.0f;
    point_at(r, r.outer, angle, &x, &y);
    sglVertex2f(x, y);
    point_at(r, r.inner, angle, &x, &y);
    sglVertex2f(x, y);
  }
  sglEnd();
  context->lines.shape_from_arc = 0;
  restore_after_polygon_smooth(context, backup);
}

// Smaller than a pixel: a round dot is all that can show, as for a sector.
void crown_dot(sgl_type_statemachine* context, const ring& r, float radius_px) {
  if (!(radius_px > 0.0f)) {
    return;
  }
  sgliDisable(GL_TEXTURE_2D);
  sgliEnable(GL_BLEND);
  sgliUpdateColor(context->color_index);
  sgliGlPointSize(2.0f * radius_px);
  const float centre[2] = {r.cx, r.cy};
  if (sgli_bounding_box_wanted()) {
    sgli_bounding_box_add_rect(r.cx - r.outer, r.cy - r.outer, r.cx + r.outer, r.cy + r.outer);
  }
  sgli_draw_arrays(GL_POINTS, centre, nullptr, 1);
}

}  // namespace

void sgluCrown2f(float cx, float cy, float inner_radius, float outer_radius, float start_angle,
                 float end_angle, uint32_t clockwise, uint32_t mode) {
  sgl_type_statemachine* context = ctx();
  if (!angle_in_range(start_angle) || !angle_in_range(end_angle) || mode < 1 || mode > 3 ||
      clockwise >= 2) {
    sgliSetError(SGL_ERROR_CROWN, 0);
    return;
  }
  ring r{cx,
         cy,
         std::fmax(0.0f, inner_radius),
         std::fmax(0.0f, outer_radius),
         start_angle,
         0.0f,
         0.0f,
         clockwise};
  if (r.inner > r.outer) {
    const float swap = r.inner;
    r.inner = r.outer;
    r.outer = swap;
  }
  r.sweep = sgluModuloAngle(clockwise ? start_angle - end_angle : end_angle - start_angle);
  if (sgluFloatIsEqual(r.sweep, 0.0f)) {
    return;
  }
  r.end = clockwise ? r.start - r.sweep : r.start + r.sweep;
  context->arcs.full_circle = sgluFloatIsEqual(r.sweep, 360.0f) ? 1 : 0;

  const float rp = radius_in_pixels(r.outer);
  if (rp <= 1.0f) {
    crown_dot(context, r, rp);
  } else if (mode == 1) {
    filled_crown(r);
  } else if (mode == 2) {
    crown_outline(r);
  } else {
    crown_arcs(r);
  }
  context->arcs.full_circle = 0;
  context->arcs.vertex_count = 0;
}

// ---------------------------------------------------------------- curve segments

namespace {

bool finite(float v) {
  return std::isfinite(v);
}

// The open path's current point; false before its first sglMoveTo.
bool current_point(const sgl_type_statemachine* context, float* x, float* y) {
  if (context->path.kind == 0 || context->path.last_command == 0) {
    return false;
  }
  *x = context->path.current_x;
  *y = context->path.current_y;
  return true;
}

// The first control point of a smooth segment: the previous segment's last
// control point mirrored through the current point when that segment was of
// the same kind, else the current point itself.
void mirrored_control(const sgl_type_statemachine* context, uint8_t kind, float x0, float y0,
                      float* x, float* y) {
  if (context->path.last_command == kind) {
    *x = 2.0f * x0 - context->path.control_x;
    *y = 2.0f * y0 - context->path.control_y;
  } else {
    *x = x0;
    *y = y0;
  }
}

// Adds the curve's points after its start (already the path's last vertex);
// the end point is given exactly so that the next segment starts there.
void flatten_bezier(sgl_type_statemachine* context, const float* p, uint32_t degree) {
  const uint32_t n =
      sgl_bezier_segment_count(p, degree, context->transform.units_x, context->transform.units_y);
  for (uint32_t k = 1; k < n; ++k) {
    float x = 0.0f;
    float y = 0.0f;
    sgl_bezier_point(p, degree, static_cast<float>(k) / static_cast<float>(n), &x, &y);
    sgliVertex2f(x, y);
  }
  sgliVertex2f(p[2 * degree], p[2 * degree + 1]);
}

constexpr uint8_t kCubicCommand = 3;
constexpr uint8_t kQuadraticCommand = 4;
constexpr uint8_t kEllipticalArcCommand = 5;

void bezier_segment(const float* p, uint32_t degree, uint8_t command) {
  sgl_type_statemachine* context = ctx();
  flatten_bezier(context, p, degree);
  context->path.control_x = p[2 * degree - 2];
  context->path.control_y = p[2 * degree - 1];
  context->path.current_x = p[2 * degree];
  context->path.current_y = p[2 * degree + 1];
  context->path.last_command = command;
}

bool all_finite(const float* v, uint32_t n) {
  for (uint32_t k = 0; k < n; ++k) {
    if (!finite(v[k])) {
      return false;
    }
  }
  return true;
}

// The control points of each segment from the current point; false when
// there is no current point or an argument is not finite.
bool cubic_points(const sgl_type_statemachine* context, float x1, float y1, float x2, float y2,
                  float x, float y, float p[8]) {
  const float given[6] = {x1, y1, x2, y2, x, y};
  if (!all_finite(given, 6) || !current_point(context, &p[0], &p[1])) {
    return false;
  }
  p[2] = x1, p[3] = y1, p[4] = x2, p[5] = y2, p[6] = x, p[7] = y;
  return true;
}

bool smooth_cubic_points(const sgl_type_statemachine* context, float x2, float y2, float x, float y,
                         float p[8]) {
  const float given[4] = {x2, y2, x, y};
  if (!all_finite(given, 4) || !current_point(context, &p[0], &p[1])) {
    return false;
  }
  mirrored_control(context, kCubicCommand, p[0], p[1], &p[2], &p[3]);
  p[4] = x2, p[5] = y2, p[6] = x, p[7] = y;
  return true;
}

bool quadratic_points(const sgl_type_statemachine* context, float x1, float y1, float x, float y,
                      float p[6]) {
  const float given[4] = {x1, y1, x, y};
  if (!all_finite(given, 4) || !current_point(context, &p[0], &p[1])) {
    return false;
  }
  p[2] = x1, p[3] = y1, p[4] = x, p[5] = y;
  return true;
}

bool smooth_quadratic_points(const sgl_type_statemachine* context, float x, float y, float p[6]) {
  const float given[2] = {x, y};
  if (!all_finite(given, 2) || !current_point(context, &p[0], &p[1])) {
    return false;
  }
  mirrored_control(context, kQuadraticCommand, p[0], p[1], &p[2], &p[3]);
  p[4] = x, p[5] = y;
  return true;
}

bool elliptical_arc_of(const sgl_type_statemachine* context, float rx, float ry, float rotation,
                       uint32_t large_arc, uint32_t clockwise, float x, float y, float* x0,
                       float* y0, sgl_elliptical_arc* arc) {
  const float given[5] = {rx, ry, rotation, x, y};
  if (!all_finite(given, 5) || !current_point(context, x0, y0)) {
    return false;
  }
  sgl_elliptical_arc_centre(*x0, *y0, rx, ry, rotation, large_arc != 0, clockwise != 0, x, y, arc);
  return true;
}

}  // namespace

void sglCubicBezier(float x1, float y1, float x2, float y2, float x, float y) {
  float p[8];
  if (cubic_points(ctx(), x1, y1, x2, y2, x, y, p)) {
    bezier_segment(p, 3, kCubicCommand);
  }
}

void sglSmoothCubicBezier(float x2, float y2, float x, float y) {
  float p[8];
  if (smooth_cubic_points(ctx(), x2, y2, x, y, p)) {
    bezier_segment(p, 3, kCubicCommand);
  }
}

void sglQuadraticBezier(float x1, float y1, float x, float y) {
  float p[6];
  if (quadratic_points(ctx(), x1, y1, x, y, p)) {
    bezier_segment(p, 2, kQuadraticCommand);
  }
}

void sglSmoothQuadraticBezier(float x, float y) {
  float p[6];
  if (smooth_quadratic_points(ctx(), x, y, p)) {
    bezier_segment(p, 2, kQuadraticCommand);
  }
}

void sglEllipticalArc(float rx, float ry, float rotation, uint32_t large_arc, uint32_t clockwise,
                      float x, float y) {
  sgl_type_statemachine* context = ctx();
  float x0 = 0.0f;
  float y0 = 0.0f;
  sgl_elliptical_arc arc;
  if (!elliptical_arc_of(context, rx, ry, rotation, large_arc, clockwise, x, y, &x0, &y0, &arc) ||
      arc.kind == 0) {
    return;
  }
  if (arc.kind == 2) {
    // The arcs' density rule, on the ellipse's mean radius in pixels.
    const sgl_transformation* t = &context->transform;
    const float rp =
        static_cast<float>((arc.rx / std::fabs(t->units_x) + arc.ry / std::fabs(t->units_y)) / 2.0);
    float step = 0.0f;
    uint32_t count = 0;
    sgl_arc_steps(rp, static_cast<float>(std::fabs(arc.sweep)), &step, &count);
    for (uint32_t k = 1; k < count; ++k) {
      float px = 0.0f;
      float py = 0.0f;
      sgl_elliptical_arc_point(&arc, arc.start + arc.sweep * k / count, &px, &py);
      sgliVertex2f(px, py);
    }
  }
  sgliVertex2f(x, y);
  context->path.current_x = x;
  context->path.current_y = y;
  context->path.last_command = kEllipticalArcCommand;
}

// ---------------------------------------------------------------- bounds of segments

namespace {

// Refused queries: 0 without a current point, 1 for an argument that is
// not a finite number.
void refuse(const sgl_type_statemachine* context, uint32_t code) {
  float x = 0.0f;
  float y = 0.0f;
  sgliSetError(code, current_point(context, &x, &y) ? 1u : 0u);
}

bool give(const float box[4], float* out_x1, float* out_y1, float* out_x2, float* out_y2) {
  if (out_x1 != nullptr) *out_x1 = box[0];
  if (out_y1 != nullptr) *out_y1 = box[1];
  if (out_x2 != nullptr) *out_x2 = box[2];
  if (out_y2 != nullptr) *out_y2 = box[3];
  return true;
}

bool bezier_bounds(const float* p, uint32_t degree, float* out_x1, float* out_y1, float* out_x2,
                   float* out_y2) {
  float box[4];
  sgl_bezier_bounds(p, degree, box);
  return give(box, out_x1, out_y1, out_x2, out_y2);
}

}  // namespace

bool sglCubicBezierBounds(float x1, float y1, float x2, float y2, float x, float y, float* out_x1,
                          float* out_y1, float* out_x2, float* out_y2) {
  float p[8];
  if (!cubic_points(ctx(), x1, y1, x2, y2, x, y, p)) {
    refuse(ctx(), SGL_ERROR_CUBIC_BEZIER_BOUNDS);
    return false;
  }
  return bezier_bounds(p, 3, out_x1, out_y1, out_x2, out_y2);
}

bool sglSmoothCubicBezierBounds(float x2, float y2, float x, float y, float* out_x1, float* out_y1,
                                float* out_x2, float* out_y2) {
  float p[8];
  if (!smooth_cubic_points(ctx(), x2, y2, x, y, p)) {
    refuse(ctx(), SGL_ERROR_SMOOTH_CUBIC_BEZIER_BOUNDS);
    return false;
  }
  return bezier_bounds(p, 3, out_x1, out_y1, out_x2, out_y2);
}

bool sglQuadraticBezierBounds(float x1, float y1, float x, float y, float* out_x1, float* out_y1,
                              float* out_x2, float* out_y2) {
  float p[6];
  if (!quadratic_points(ctx(), x1, y1, x, y, p)) {
    refuse(ctx(), SGL_ERROR_QUADRATIC_BEZIER_BOUNDS);
    return false;
  }
  return bezier_bounds(p, 2, out_x1, out_y1, out_x2, out_y2);
}

bool sglSmoothQuadraticBezierBounds(float x, float y, float* out_x1, float* out_y1, float* out_x2,
                                    float* out_y2) {
  float p[6];
  if (!smooth_quadratic_points(ctx(), x, y, p)) {
    refuse(ctx(), SGL_ERROR_SMOOTH_QUADRATIC_BEZIER_BOUNDS);
    return false;
  }
  return bezier_bounds(p, 2, out_x1, out_y1, out_x2, out_y2);
}

bool sglEllipticalArcBounds(float rx, float ry, float rotation, uint32_t large_arc,
                            uint32_t clockwise, float x, float y, float* out_x1, float* out_y1,
                            float* out_x2, float* out_y2) {
  float x0 = 0.0f;
  float y0 = 0.0f;
  sgl_elliptical_arc arc;
  if (!elliptical_arc_of(ctx(), rx, ry, rotation, large_arc, clockwise, x, y, &x0, &y0, &arc)) {
    refuse(ctx(), SGL_ERROR_ELLIPTICAL_ARC_BOUNDS);
    return false;
  }
  float box[4];
  sgl_elliptical_arc_bounds(&arc, x0, y0, x, y, box);
  return give(box, out_x1, out_y1, out_x2, out_y2);
}
