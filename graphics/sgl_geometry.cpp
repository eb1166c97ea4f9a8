// Geometry of lines, dashes, fills and arcs on plain numbers (see
// sgl_geometry.h). No OpenGL, no context.
#include "graphics/sgl_geometry.h"

#include <cmath>

namespace {

// sin 10 degrees and 1 / cos 10 degrees: the outermost strands sit at 10
// degrees off the line so that the antialiased fringe of the centre strand
// and the outer ones overlap instead of leaving a lighter seam.
constexpr float kSin10 = 0.1736482f;
constexpr float kInvCos10 = 1.0154266f;

// The core of a smoothed strand is about 7/8 pixel; the fan radius leaves
// that much so that the outer strands do not widen the line.
constexpr float kStrandCore = 0.875f;

constexpr float kTiny = 1e-6f;

bool nearly_equal(float a, float b) {
  const float d = a - b;
  return d > -kTiny && d < kTiny;
}

// Unit direction of A -> B, (1, 0) for a vanishing segment.
void unit_direction(float dx, float dy, float* ux, float* uy) {
  const float length = std::sqrt(dx * dx + dy * dy);
  if (length <= kTiny) {
    *ux = 1.0f;
    *uy = 0.0f;
    return;
  }
  *ux = dx / length;
  *uy = dy / length;
}

}  // namespace

// ---------------------------------------------------------------- strands

uint32_t sgl_strand_count(float half_width) {
  if (!(half_width >= 1.0f)) {
    return 1;
  }
  const uint32_t whole = static_cast<uint32_t>(half_width);
  uint32_t n = static_cast<uint32_t>(half_width * 10.0f / 7.0f);
  if (n > whole) {
    n += 1;
  }
  if (n % 2 == 0) {
    n += 1;
  }
  // Widths are validated to 15 pixels (11 strands); a larger one is drawn
  // with the widest fan the tables hold rather than reading past them.
  if (n > SGL_MAX_STRANDS) {
    n = SGL_MAX_STRANDS;
  }
  return n;
}

void sgl_strand_setup(sgl_strand_params* params, float half_width, float units_x, float units_y,
                      const float* circle_table, float sin_phi, bool flat_caps) {
  const float p = (units_x + units_y) / 2.0f;
  params->count = sgl_strand_count(half_width);
  params->end_extension = p * kSin10;
  params->spacing = params->count == 1 ? 0.0f : (half_width - kStrandCore) * p * kInvCos10;
  params->units_x = units_x;
  params->units_y = units_y;
  params->flat_caps = flat_caps;
  params->flat_cut = sin_phi * params->spacing - params->end_extension;
  for (uint32_t k = 0; k < 2 * SGL_MAX_STRANDS; ++k) {
    params->cos_sin[k] = 0.0f;
  }
  if (params->count > 1 && circle_table != nullptr) {
    for (uint32_t k = 0; k < 2 * params->count; ++k) {
      params->cos_sin[k] = circle_table[k];
    }
  }
}

uint32_t sgl_expand_segment(const sgl_strand_params* params, float ax, float ay, float bx, float by,
                            bool flat_start, bool flat_end, float* out) {
  float dx = bx - ax;
  float dy = by - ay;
  // A segment inside one pixel would vanish under antialiasing (or be
  // skipped by OpenGL); it is drawn one pixel long instead, so that dots and
  // zero-length segments stay visible.
  if (std::fabs(dx) <= params->units_x && std::fabs(dy) <= params->units_y) {
    if (std::fabs(dx) > 1.0f / 4096.0f) {
      bx = ax + (dx > 0.0f ? params->units_x : -params->units_x);
    } else {
      by = ay + (dy > 0.0f ? params->units_y : -params->units_y);
    }
    dx = bx - ax;
    dy = by - ay;
  }
  float ux = 0.0f;
  float uy = 0.0f;
  unit_direction(dx, dy, &ux, &uy);
  const float vx = -uy;
  const float vy = ux;
  const float e = params->end_extension;

  if (params->count <= 1) {
    out[0] = ax - e * ux;
    out[1] = ay - e * uy;
    out[2] = bx + e * ux;
    out[3] = by + e * uy;
    return 1;
  }

  const float c = params->spacing;
  const bool cut_start = params->flat_caps && flat_start;
  const bool cut_end = params->flat_caps && flat_end;
  const float a1x = ax + e * ux;
  const float a1y = ay + e * uy;
  const float b1x = bx - e * ux;
  const float b1y = by - e * uy;
  for (uint32_t k = 0; k < params->count; ++k) {
    const float across = params->cos_sin[2 * k] * c;
    const float along = params->cos_sin[2 * k + 1] * c;
    float* strand = out + 4 * k;
    if (cut_start) {
      strand[0] = ax + across * vx - params->flat_cut * ux;
      strand[1] = ay + across * vy - params->flat_cut * uy;
    } else {
      strand[0] = a1x + across * vx - along * ux;
      strand[1] = a1y + across * vy - along * uy;
    }
    if (cut_end) {
      strand[2] = bx + across * vx + params->flat_cut * ux;
      strand[3] = by + across * vy + params->flat_cut * uy;
    } else {
      strand[2] = b1x + across * vx + along * ux;
      strand[3] = b1y + across * vy + along * uy;
    }
  }
  return params->count;
}

// ---------------------------------------------------------------- dashes

bool sgl_cut_dashes(const sgl_stipple_pattern* pattern, sgl_stipple_position* position, float ax,
                    float ay, float bx, float by, float px_x, float px_y, float* out_xy,
                    uint32_t* out_count, uint32_t capacity) {
  const uint32_t segments = pattern->segment_count > 6 ? 6 : pattern->segment_count;
  uint32_t total = 0;
  for (uint32_t k = 0; k < segments; ++k) {
    total += pattern->lengths[k];
  }

  auto append = [&](float x0, float y0, float x1, float y1) {
    if (*out_count + 2 >= capacity) {
      return false;
    }
    out_xy[2 * *out_count + 0] = x0;
    out_xy[2 * *out_count + 1] = y0;
    out_xy[2 * *out_count + 2] = x1;
    out_xy[2 * *out_count + 3] = y1;
    *out_count += 2;
    return true;
  };

  // Without any length the pattern could never move on; drawing the segment
  // solid keeps the line visible instead of spinning forever.
  if (total == 0) {
    return append(ax, ay, bx, by);
  }
  if (position->segment >= segments) {
    position->segment = 0;
    position->used = 0.0f;
  }

  const float dx = bx - ax;
  const float dy = by - ay;
  float pixels = 0.0f;
  if (nearly_equal(dx, 0.0f)) {
    pixels = std::fabs(dy / px_y);
  } else if (nearly_equal(dy, 0.0f)) {
    pixels = std::fabs(dx / px_x);
  } else {
    const float qx = dx / px_x;
    const float qy = dy / px_y;
    pixels = std::sqrt(qx * qx + qy * qy);
  }
  const float length = std::sqrt(dx * dx + dy * dy);
  float step_x = 1.0f;
  float step_y = 0.0f;
  if (length > kTiny) {
    step_x = dx * px_x / length;
    step_y = dy * px_y / length;
  }

  float start_x = ax;
  float start_y = ay;
  float d = static_cast<float>(pattern->lengths[position->segment]) - position->used;
  // Every pattern cycle (six steps at most) adds a dash, so a full buffer
  // ends the loop; the bound also ends it for patterns whose dashes vanish
  // (all off, zero-length on-pieces) on an enormous or infinite segment.
  const uint64_t step_limit = 4ull * capacity + 12;
  uint64_t steps = 0;
  while (pixels >= d && steps++ < step_limit) {
    const float qx = ax + d * step_x;
    const float qy = ay + d * step_y;
    if (pattern->on[position->segment] != 0 && !(qx == start_x && qy == start_y)) {
      if (!append(start_x, start_y, qx, qy)) {
        return false;
      }
    }
    start_x = qx;
    start_y = qy;
    position->segment = (position->segment + 1) % segments;
    d += static_cast<float>(pattern->lengths[position->segment]);
  }
  if (pattern->on[position->segment] != 0 && !(start_x == bx && start_y == by)) {
    if (!append(start_x, start_y, bx, by)) {
      return false;
    }
  }
  position->used = static_cast<float>(pattern->lengths[position->segment]) - (d - pixels);
  return true;
}

// ---------------------------------------------------------------- fills

bool mth_point_in_shape(float x, float y, uint32_t n, const float* points) {
  for (uint32_t k = 0; k < n; ++k) {
    if (nearly_equal(x, points[2 * k]) && nearly_equal(y, points[2 * k + 1])) {
      return true;
    }
  }
  if (n == 0) {
    return false;
  }
  uint32_t crossings = 0;
  float last = 0.0f;
  float first = 0.0f;
  bool have_first = false;
  for (uint32_t k = 1; k <= n; ++k) {
    const float xa = points[2 * (k - 1)];
    const float ya = points[2 * (k - 1) + 1];
    const float xb = points[2 * (k % n)];
    const float yb = points[2 * (k % n) + 1];
    // A ray through a vertex would be counted for both edges that meet
    // there; moving it off the vertex's height keeps the count honest.
    if (nearly_equal(y, ya) || nearly_equal(y, yb)) {
      y += 0.01f;
    }
    const float lo = ya < yb ? ya : yb;
    const float hi = ya < yb ? yb : ya;
    if (!(lo < y && y < hi) || (xa > xb ? xa : xb) < x) {
      continue;
    }
    const float xi = xa + (y - ya) * (xb - xa) / (yb - ya);
    if (std::fabs(xb - xa) >= kTiny && xi < x) {
      continue;
    }
    if (crossings == 0) {
      crossings = 1;
      last = xi;
      if (k == 1) {
        first = xi;
        have_first = true;
      }
      continue;
    }
    if (nearly_equal(xi, last)) {
      continue;
    }
    if (k == n && have_first && nearly_equal(xi, first)) {
      continue;
    }
    last = xi;
    crossings += 1;
  }
  return crossings % 2 == 1;
}

bool sgl_is_ear(const float* xy, uint32_t n, uint32_t i) {
  if (n < 3) {
    return false;
  }
  const uint32_t prev = (i + n - 1) % n;
  const uint32_t next = (i + 1) % n;
  const float triangle[6] = {xy[2 * prev],  xy[2 * prev + 1], xy[2 * i],
                             xy[2 * i + 1], xy[2 * next],     xy[2 * next + 1]};
  for (uint32_t k = 0; k < n; ++k) {
    if (k == prev || k == i || k == next) {
      continue;
    }
    if (mth_point_in_shape(xy[2 * k], xy[2 * k + 1], 3, triangle)) {
      return false;
    }
  }
  const float mx = (triangle[0] + triangle[4]) / 2.0f;
  const float my = (triangle[1] + triangle[5]) / 2.0f;
  return mth_point_in_shape(mx, my, n, xy);
}

uint32_t sgl_get_first_ear(const float* xy, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) {
    if (sgl_is_ear(xy, n, i)) {
      return i;
    }
  }
  return 0;
}

namespace {

void copy_triangle(const float* from, uint32_t n, uint32_t i, float* to) {
  const uint32_t prev = (i + n - 1) % n;
  const uint32_t next = (i + 1) % n;
  to[0] = from[2 * prev];
  to[1] = from[2 * prev + 1];
  to[2] = from[2 * i];
  to[3] = from[2 * i + 1];
  to[4] = from[2 * next];
  to[5] = from[2 * next + 1];
}

void remove_pair(float* xy, uint32_t n, uint32_t i) {
  for (uint32_t k = i; k + 1 < n; ++k) {
    xy[2 * k] = xy[2 * k + 2];
    xy[2 * k + 1] = xy[2 * k + 3];
  }
}

}  // namespace

uint32_t sgl_ear_clip(float* xy, float* st, uint32_t* n, float* triangles, float* texture_triangles,
                      uint32_t* triangle_count, uint32_t capacity) {
  if (*n < 3) {
    *n = 0;
    return 0;
  }
  const uint32_t yielded = *n - 2;
  auto add_triangle = [&](uint32_t i) {
    if (*triangle_count >= capacity) {
      return;
    }
    copy_triangle(xy, *n, i, triangles + 6 * *triangle_count);
    if (st != nullptr && texture_triangles != nullptr) {
      copy_triangle(st, *n, i, texture_triangles + 6 * *triangle_count);
    }
    *triangle_count += 1;
  };
  while (*n > 3) {
    const uint32_t ear = sgl_get_first_ear(xy, *n);
    add_triangle(ear);
    remove_pair(xy, *n, ear);
    if (st != nullptr) {
      remove_pair(st, *n, ear);
    }
    *n -= 1;
  }
  add_triangle(1);
  *n = 0;
  return yielded;
}

// ---------------------------------------------------------------- arcs

void sgl_arc_steps(float radius_px, float sweep, float* out_step, uint32_t* out_count) {
  if (!(sweep > 0.0f)) {
    *out_step = 28.0f;
    *out_count = 0;
    return;
  }
  if (sweep > 360.0f) {
    sweep = 360.0f;
  }
  if (radius_px < 10.0f) {
    *out_step = 28.0f;
    *out_count = static_cast<uint32_t>(sweep / 28.0f) + 1;
    return;
  }
  float step = 3.4f;
  if (radius_px < 20.0f) {
    step = 17.0f;
  } else if (radius_px < 60.0f) {
    step = 9.0f;
  } else if (radius_px < 260.0f) {
    step = 5.0f;
  }
  // A ceiling that takes a quotient within 1e-4 of a whole number as that
  // number: a sweep of whole steps (10.2 degrees in steps of 3.4) divides
  // to a hair either side of it in float, and neither side may cost or add
  // a step. The slack is a few float roundings at the largest quotient
  // (106), and a 1e-4 step is far below anything visible.
  constexpr float kWholeStepSlack = 1e-4f;
  const float q = sweep / step;
  const float nearest = std::round(q);
  const uint32_t count =
      static_cast<uint32_t>(std::fabs(q - nearest) < kWholeStepSlack ? nearest : std::ceil(q));
  *out_step = step;
  *out_count = count;
}

float mth_move_in_good_quadrant(float a0, float dx, float dy) {
  if (dx < 0.0f) {
    const float mirrored = 180.0f - a0;
    return dy < 0.0f ? -mirrored : mirrored;
  }
  return dy < 0.0f ? -a0 : a0;
}
