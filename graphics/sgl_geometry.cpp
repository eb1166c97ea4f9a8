// Geometry of lines, dashes, fills and arcs on plain numbers (see
// sgl_geometry.h). No OpenGL, no context.
#include "graphics/sgl_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// The work ear clipping may spend on ear tests before it cuts the rest of a
// polygon as a fan, in vertices and edges visited: some tens of
// milliseconds, far more than any simple outline of 4096 points needs.
constexpr uint64_t kEarWorkBudget = uint64_t{1} << 23;
constexpr uint64_t kCheapSteps = 16;

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
  if (n > kSglMaxStrands) {
    n = kSglMaxStrands;
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
  for (uint32_t k = 0; k < 2 * kSglMaxStrands; ++k) {
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

namespace {

// The even-odd test behind mth_point_in_shape; *out_raised tells whether the
// ray had to be moved off a vertex's height, which makes the answer depend
// on vertices near (and up to 0.01 per edge above) the point's height.
bool point_in_shape(float x, float y, uint32_t n, const float* points, bool* out_raised) {
  *out_raised = false;
  if (n == 0) {
    return false;
  }
  // A point on a vertex is inside whatever the crossings say; each vertex
  // starts one edge, so the walk over the edges meets them all.
  const float given_y = y;
  uint32_t crossings = 0;
  float last = 0.0f;
  float first = 0.0f;
  bool have_first = false;
  for (uint32_t k = 1; k <= n; ++k) {
    const uint32_t b = k < n ? k : 0;  // the closing edge ends at the first vertex
    const float xa = points[2 * (k - 1)];
    const float ya = points[2 * (k - 1) + 1];
    const float xb = points[2 * b];
    const float yb = points[2 * b + 1];
    if (nearly_equal(x, xa) && nearly_equal(given_y, ya)) {
      return true;
    }
    // A ray through a vertex would be counted for both edges that meet
    // there; moving it off the vertex's height keeps the count honest.
    if (nearly_equal(y, ya) || nearly_equal(y, yb)) {
      y += 0.01f;
      *out_raised = true;
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

constexpr uint32_t kNoBlocker = 0xFFFFFFFFu;
// How far below a triangle a point may lie and still be raised into it by
// the three edges of the triangle test.
constexpr float kRaiseSlack = 0.07f;

// Why the vertex at a position is or is not an ear, as far as clipping
// another vertex can change it.
struct EarVerdict {
  bool ear;
  uint32_t blocker;      // position of a vertex inside the triangle, kNoBlocker for none
  bool midpoint_raised;  // the midpoint test moved its ray (see point_in_shape)
};

// Where a point may lie and still be inside a triangle for mth_point_in_shape:
// not right of it, not above it, nor further below than three raises of the
// ray lift it. The margins grow with the coordinates, so that they survive
// float rounding (50 + 1e-6 is 50 in float).
struct TriangleReach {
  float right, top, bottom;
  bool may_hold(float x, float y) const { return x <= right && y <= top && y >= bottom; }
};

TriangleReach triangle_reach(const float* triangle) {
  const float right = std::max(triangle[0], std::max(triangle[2], triangle[4]));
  const float top = std::max(triangle[1], std::max(triangle[3], triangle[5]));
  const float bottom = std::min(triangle[1], std::min(triangle[3], triangle[5]));
  auto margin = [](float v) { return 2.0f * kTiny + std::fabs(v) * 1e-6f; };
  return {right + margin(right), top + margin(top), bottom - kRaiseSlack - margin(bottom)};
}

// The ear test of sgl_is_ear, telling also what decided it. Vertices are
// tried from the back: clipping works from the front, so a blocker found
// there stays in the polygon longest and the verdict stays valid longest.
EarVerdict ear_verdict(const float* xy, uint32_t n, uint32_t i) {
  EarVerdict verdict = {false, kNoBlocker, false};
  if (n < 3) {
    return verdict;
  }
  const uint32_t prev = (i + n - 1) % n;
  const uint32_t next = (i + 1) % n;
  const float triangle[6] = {xy[2 * prev],  xy[2 * prev + 1], xy[2 * i],
                             xy[2 * i + 1], xy[2 * next],     xy[2 * next + 1]};
  // Points right of, above or well below the triangle cannot be inside it
  // (the ray rises by at most three raises of 0.01, a float step each):
  // skipping them spares the full test for nearly every vertex.
  const TriangleReach reach = triangle_reach(triangle);
  for (uint32_t k = n; k-- > 0;) {
    const float x = xy[2 * k];
    const float y = xy[2 * k + 1];
    if (!reach.may_hold(x, y) || k == prev || k == i || k == next) {
      continue;
    }
    if (mth_point_in_shape(x, y, 3, triangle)) {
      verdict.blocker = k;
      return verdict;
    }
  }
  const float mx = (triangle[0] + triangle[4]) / 2.0f;
  const float my = (triangle[1] + triangle[5]) / 2.0f;
  verdict.ear = point_in_shape(mx, my, n, xy, &verdict.midpoint_raised);
  return verdict;
}

}  // namespace

bool mth_point_in_shape(float x, float y, uint32_t n, const float* points) {
  bool raised = false;
  return point_in_shape(x, y, n, points, &raised);
}

bool sgl_is_ear(const float* xy, uint32_t n, uint32_t i) {
  return ear_verdict(xy, n, i).ear;
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

template <typename T>
void remove_at(T* values, uint32_t n, uint32_t i, uint32_t stride) {
  std::memmove(values + stride * i, values + stride * (i + 1), sizeof(T) * stride * (n - i - 1));
}

// The largest polygon whose ear verdicts are remembered (the context's
// vertex buffer); larger ones are clipped without the memory.
constexpr uint32_t kMaxRemembered = 4096;
constexpr uint32_t kWords = kMaxRemembered / 64;
// Horizontal bands of the polygon's height that index its edges and vertices.
constexpr uint32_t kBands = 256;
// An edge or vertex is filed in every band within this distance of it: more
// than the 1e-6 at which a point counts as on a vertex's height.
constexpr float kBandMargin = 0.01f;

// Edges and vertices of the polygon being clipped, filed by height, so that
// a point-in-polygon or point-in-triangle test visits only what lies near
// the point's height. Vertices go by their original number; since cutting
// keeps the order of the rest, walking the numbers upwards walks the
// outline as the positions do, and the walk gives the same answer as the
// full one.
struct BandIndex {
  bool usable;  // false for coordinates that are not finite
  float bottom, band_height;
  float x[kMaxRemembered], y[kMaxRemembered];  // by original number
  uint32_t next[kMaxRemembered];               // the following vertex's number
  uint64_t edges[kBands][kWords];              // edge (v, next[v]) by v
  uint64_t vertices[kBands][kWords];
  uint64_t edge_words[kBands];    // which words of a band's edges are not 0
  uint64_t vertex_words[kBands];  // the same for its vertices

  uint32_t band(float value) const {
    const float b = (value - bottom) / band_height;
    if (!(b > 0.0f)) return 0;
    return b >= static_cast<float>(kBands - 1) ? kBands - 1 : static_cast<uint32_t>(b);
  }
  void file(uint64_t (*bits)[kWords], uint64_t* words, uint32_t v, float lo, float hi, bool set) {
    const uint32_t last = band(hi + kBandMargin);
    for (uint32_t b = band(lo - kBandMargin); b <= last; ++b) {
      uint64_t& word = bits[b][v / 64];
      if (set) {
        word |= uint64_t{1} << (v % 64);
        words[b] |= uint64_t{1} << (v / 64);
      } else {
        word &= ~(uint64_t{1} << (v % 64));
        if (word == 0) words[b] &= ~(uint64_t{1} << (v / 64));
      }
    }
  }
  void file_edge(uint32_t v, bool set) {
    const float ya = y[v], yb = y[next[v]];
    file(edges, edge_words, v, std::min(ya, yb), std::max(ya, yb), set);
  }
  void file_vertex(uint32_t v, bool set) { file(vertices, vertex_words, v, y[v], y[v], set); }
  // Calls visit(v) for every v filed in band b, in increasing order, while
  // it returns true; false when a visit stopped the walk.
  template <typename Visit>
  static bool walk(const uint64_t* bits, uint64_t words, uint64_t* work, Visit visit) {
    for (; words != 0; words &= words - 1) {
      const uint32_t w = static_cast<uint32_t>(__builtin_ctzll(words));
      for (uint64_t word = bits[w]; word != 0; word &= word - 1) {
        *work += 1;
        if (!visit(64 * w + static_cast<uint32_t>(__builtin_ctzll(word)))) return false;
      }
    }
    return true;
  }
};

// Ear tests of a polygon being clipped, remembered between cuts. Cutting
// the first ear each time asks again about every vertex before it; most
// answers cannot have changed, and asking afresh made one clipping cubic in
// the vertex count. A remembered verdict is dropped when the cut could
// change it: the cut vertex was a neighbour, was the vertex found inside
// the triangle, or its triangle reaches the height of the midpoint test
// (the only edges whose crossings change are that triangle's).
struct EarMemory {
  enum State : uint8_t { kUnknown, kEar, kNotEar };
  // By original number (they need not move when a vertex is cut):
  State state[kMaxRemembered];
  bool raised[kMaxRemembered];
  uint32_t blocker[kMaxRemembered];  // the blocking vertex's original number, or kNoBlocker
  // By position:
  uint32_t number[kMaxRemembered];  // original number of the vertex at each position
  uint32_t known_end;               // no verdict is remembered at or beyond this position
  BandIndex index;
};

void build_index(BandIndex* index, const float* xy, uint32_t n) {
  float lo = xy[1], hi = xy[1];
  index->usable = true;
  for (uint32_t k = 0; k < n; ++k) {
    index->x[k] = xy[2 * k];
    index->y[k] = xy[2 * k + 1];
    index->next[k] = k + 1 < n ? k + 1 : 0;
    index->usable = index->usable && std::isfinite(xy[2 * k]) && std::isfinite(xy[2 * k + 1]);
    lo = std::min(lo, xy[2 * k + 1]);
    hi = std::max(hi, xy[2 * k + 1]);
  }
  if (!index->usable) return;
  index->bottom = lo;
  index->band_height = std::max((hi - lo) / static_cast<float>(kBands), 1e-3f);
  std::memset(index->edges, 0, sizeof index->edges);
  std::memset(index->vertices, 0, sizeof index->vertices);
  std::memset(index->edge_words, 0, sizeof index->edge_words);
  std::memset(index->vertex_words, 0, sizeof index->vertex_words);
  for (uint32_t k = 0; k < n; ++k) {
    index->file_edge(k, true);
    index->file_vertex(k, true);
  }
}

// The even-odd test of point_in_shape walking only the edges filed at the
// point's height, from the first vertex `first` to the last `last` (their
// original numbers). False with *out_unsure when the ray would have to be
// raised: the raised ray reaches other bands, so the full walk decides.
bool indexed_point_in_shape(const BandIndex& index, float x, float y, uint32_t first, uint32_t last,
                            bool* out_unsure, uint64_t* work) {
  *out_unsure = false;
  uint32_t crossings = 0;
  float last_x = 0.0f;
  float first_x = 0.0f;
  bool have_first = false;
  const uint32_t b = index.band(y);
  bool inside_vertex = false;
  BandIndex::walk(index.edges[b], index.edge_words[b], work, [&](uint32_t a) {
    const float xa = index.x[a], ya = index.y[a];
    const float xb = index.x[index.next[a]], yb = index.y[index.next[a]];
    if (nearly_equal(x, xa) && nearly_equal(y, ya)) {
      inside_vertex = true;
      return false;
    }
    if (nearly_equal(y, ya) || nearly_equal(y, yb)) {
      *out_unsure = true;
      return false;
    }
    const float lo = ya < yb ? ya : yb;
    const float hi = ya < yb ? yb : ya;
    if (!(lo < y && y < hi) || (xa > xb ? xa : xb) < x) {
      return true;
    }
    const float xi = xa + (y - ya) * (xb - xa) / (yb - ya);
    if (std::fabs(xb - xa) >= kTiny && xi < x) {
      return true;
    }
    if (crossings == 0) {
      crossings = 1;
      last_x = xi;
      if (a == first) {
        first_x = xi;
        have_first = true;
      }
      return true;
    }
    if (nearly_equal(xi, last_x) || (a == last && have_first && nearly_equal(xi, first_x))) {
      return true;
    }
    last_x = xi;
    crossings += 1;
    return true;
  });
  if (inside_vertex) return true;
  if (*out_unsure) return false;
  return crossings % 2 == 1;
}

// ear_verdict through the index: the same answer, visiting only the
// vertices and edges near the triangle's and the midpoint's heights.
EarVerdict remembered_verdict(const EarMemory& memory, const float* xy, uint32_t n, uint32_t i,
                              uint64_t* work) {
  const BandIndex& index = memory.index;
  if (!index.usable || n < 3) {
    *work += 2 * n;
    EarVerdict verdict = ear_verdict(xy, n, i);
    if (verdict.blocker != kNoBlocker) verdict.blocker = memory.number[verdict.blocker];
    return verdict;
  }
  EarVerdict verdict = {false, kNoBlocker, false};
  const uint32_t prev = (i + n - 1) % n;
  const uint32_t next = (i + 1) % n;
  const float triangle[6] = {xy[2 * prev],  xy[2 * prev + 1], xy[2 * i],
                             xy[2 * i + 1], xy[2 * next],     xy[2 * next + 1]};
  const uint32_t skip[3] = {memory.number[prev], memory.number[i], memory.number[next]};
  const TriangleReach reach = triangle_reach(triangle);
  // Bands may repeat a vertex filed in several; it is merely tested again.
  for (uint32_t b = index.band(reach.bottom), last = index.band(reach.top); b <= last; ++b) {
    const bool clear =
        BandIndex::walk(index.vertices[b], index.vertex_words[b], work, [&](uint32_t v) {
          const float x = index.x[v], y = index.y[v];
          if (!reach.may_hold(x, y) || v == skip[0] || v == skip[1] || v == skip[2] ||
              !mth_point_in_shape(x, y, 3, triangle)) {
            return true;
          }
          verdict.blocker = v;
          return false;
        });
    if (!clear) return verdict;
  }
  const float mx = (triangle[0] + triangle[4]) / 2.0f;
  const float my = (triangle[1] + triangle[5]) / 2.0f;
  bool unsure = false;
  verdict.ear =
      indexed_point_in_shape(index, mx, my, memory.number[0], memory.number[n - 1], &unsure, work);
  if (unsure) {
    *work += n;
    verdict.ear = point_in_shape(mx, my, n, xy, &verdict.midpoint_raised);
  }
  return verdict;
}

// Takes the vertex at position `at` (of n) out of the index.
void cut_from_index(EarMemory* memory, uint32_t n, uint32_t at) {
  BandIndex& index = memory->index;
  if (!index.usable) return;
  const uint32_t cut = memory->number[at];
  const uint32_t before = memory->number[(at + n - 1) % n];
  index.file_edge(before, false);
  index.file_edge(cut, false);
  index.file_vertex(cut, false);
  index.next[before] = index.next[cut];
  index.file_edge(before, true);
}

// The rise of the ray over a whole midpoint test, when it is raised at
// every edge (0.01 each, rounded up for float steps at large heights).
float raise_reach(uint32_t n) {
  return 0.02f * static_cast<float>(n);
}

// Whether cutting the triangle (with vertex heights ty) can change the
// midpoint test of the base (mx, my) whose ray was raised or not.
bool cut_reaches_midpoint(const float* triangle, float mx, float my, bool raised, uint32_t n) {
  const float lo = std::min(triangle[1], std::min(triangle[3], triangle[5]));
  const float hi = std::max(triangle[1], std::max(triangle[3], triangle[5]));
  const float right = std::max(triangle[0], std::max(triangle[2], triangle[4]));
  // Float slack of the crossing arithmetic, absolute and relative.
  const float slack = 0.02f + 1e-5f * (std::fabs(my) + std::fabs(mx));
  const float top = my + (raised ? raise_reach(n) : 0.0f) + slack;
  const float bottom = my - slack;
  if (hi < bottom || lo > top) {
    return false;
  }
  // Below the raise, only a triangle reaching right of the point crosses
  // the ray; but a vertex at the ray's height would raise it.
  if (!raised && right < mx - slack) {
    for (uint32_t k = 0; k < 3; ++k) {
      if (std::fabs(triangle[2 * k + 1] - my) <= slack) {
        return true;
      }
    }
    return false;
  }
  return true;
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

  static thread_local EarMemory memory;
  const bool remember = *n <= kMaxRemembered;
  if (remember) {
    for (uint32_t k = 0; k < *n; ++k) {
      memory.state[k] = EarMemory::kUnknown;
      memory.number[k] = k;
    }
    memory.known_end = 0;
    build_index(&memory.index, xy, *n);
  }
  // Work spent on ear tests, in vertices and edges visited. Where neither
  // the memory nor the index helps (self-intersecting outlines with no ear
  // left, whose every vertex is asked about at every cut, along edges that
  // span the whole height), the rest of the polygon is cut as a fan once
  // the budget is spent: the output is as meaningless as before, but the
  // drawing thread no longer stalls for seconds.
  // Stepping over remembered verdicts costs a fraction of a visit: it is
  // counted as one visit per kCheapSteps steps.
  uint64_t work = 0;
  uint64_t cheap = 0;
  auto within_budget = [&] { return work + cheap / kCheapSteps <= kEarWorkBudget; };

  while (*n > 3) {
    uint32_t ear = 0;
    for (uint32_t i = 0; i < *n && within_budget(); ++i) {
      if (!remember) {
        work += 2 * *n;
        if (sgl_is_ear(xy, *n, i)) {
          ear = i;
          break;
        }
        continue;
      }
      cheap += 1;
      const uint32_t v = memory.number[i];
      if (memory.state[v] == EarMemory::kUnknown) {
        const EarVerdict verdict = remembered_verdict(memory, xy, *n, i, &work);
        memory.state[v] = verdict.ear ? EarMemory::kEar : EarMemory::kNotEar;
        memory.raised[v] = verdict.midpoint_raised;
        memory.blocker[v] = verdict.blocker;
        memory.known_end = std::max(memory.known_end, i + 1);
      }
      if (memory.state[v] == EarMemory::kEar) {
        ear = i;
        break;
      }
    }
    float cut[6];
    copy_triangle(xy, *n, ear, cut);
    add_triangle(ear);
    remove_at(xy, *n, ear, 2);
    if (st != nullptr) {
      remove_at(st, *n, ear, 2);
    }
    if (!remember || !within_budget()) {
      // Past the budget every cut is at the first vertex: nothing more to remember.
      *n -= 1;
      continue;
    }
    const uint32_t cut_number = memory.number[ear];
    cut_from_index(&memory, *n, ear);
    remove_at(memory.number, *n, ear, 1);
    if (ear < memory.known_end) {
      memory.known_end -= 1;
    }
    *n -= 1;
    const uint32_t before = (ear + *n - 1) % *n;
    const uint32_t after = ear % *n;
    for (uint32_t p = 0; p < memory.known_end; ++p) {
      cheap += 1;
      const uint32_t v = memory.number[p];
      if (memory.state[v] == EarMemory::kUnknown) {
        continue;
      }
      bool changed = p == before || p == after;
      if (!changed && memory.blocker[v] != kNoBlocker) {
        changed = memory.blocker[v] == cut_number;
      } else if (!changed) {
        const uint32_t prev = (p + *n - 1) % *n;
        const uint32_t next = (p + 1) % *n;
        const float mx = (xy[2 * prev] + xy[2 * next]) / 2.0f;
        const float my = (xy[2 * prev + 1] + xy[2 * next + 1]) / 2.0f;
        changed = cut_reaches_midpoint(cut, mx, my, memory.raised[v], *n + 1);
      }
      if (changed) {
        memory.state[v] = EarMemory::kUnknown;
      }
    }
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
