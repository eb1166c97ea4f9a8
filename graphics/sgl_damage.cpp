// Partial frames: the damage of a changed frame and its replay in part. The
// stages and the reason the pixels stay a whole redraw's are in
// sgl_damage_internal.h.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "graphics/sgl_damage_internal.h"
#include "graphics/sgl_internal.h"
#include "graphics/sgl_stream_internal.h"

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------
bool sgl_box_is_empty(const sgl_box& box) {
  return box.x0 >= box.x1 || box.y0 >= box.y1;
}

sgl_box sgl_whole_box() {
  return {0, 0, SGL_DAMAGE_LIMIT, SGL_DAMAGE_LIMIT};
}

sgl_box sgl_box_intersection(const sgl_box& a, const sgl_box& b) {
  const sgl_box r = {a.x0 > b.x0 ? a.x0 : b.x0, a.y0 > b.y0 ? a.y0 : b.y0,
                     a.x1 < b.x1 ? a.x1 : b.x1, a.y1 < b.y1 ? a.y1 : b.y1};
  return sgl_box_is_empty(r) ? sgl_box{0, 0, 0, 0} : r;
}

sgl_box sgl_box_bound(const sgl_box& a, const sgl_box& b) {
  if (sgl_box_is_empty(a)) return b;
  if (sgl_box_is_empty(b)) return a;
  return {a.x0 < b.x0 ? a.x0 : b.x0, a.y0 < b.y0 ? a.y0 : b.y0, a.x1 > b.x1 ? a.x1 : b.x1,
          a.y1 > b.y1 ? a.y1 : b.y1};
}

int64_t sgl_box_area(const sgl_box& box) {
  if (sgl_box_is_empty(box)) return 0;
  return static_cast<int64_t>(box.x1 - box.x0) * static_cast<int64_t>(box.y1 - box.y0);
}

bool sgl_box_contains(const sgl_box& outer, const sgl_box& inner) {
  return sgl_box_is_empty(inner) || (outer.x0 <= inner.x0 && outer.y0 <= inner.y0 &&
                                     outer.x1 >= inner.x1 && outer.y1 >= inner.y1);
}

namespace {

// Pixels the box around both adds to drawing them apart (negative when
// they overlap).
int64_t merge_cost(const sgl_box& a, const sgl_box& b) {
  return sgl_box_area(sgl_box_bound(a, b)) - sgl_box_area(a) - sgl_box_area(b);
}

bool worth_merging(const sgl_box& a, const sgl_box& b) {
  return !sgl_box_is_empty(sgl_box_intersection(a, b)) ||
         merge_cost(a, b) <= SGL_DAMAGE_PASS_PIXELS;
}

}  // namespace

void sgl_damage_add(sgl_box* boxes, uint32_t* count, const sgl_box& box) {
  if (sgl_box_is_empty(box)) return;
  sgl_box pending = box;
  // The list stays disjoint: a merged box may reach further ones, so look
  // again after each merge.
  for (bool merged = true; merged;) {
    merged = false;
    for (uint32_t i = 0; i < *count; ++i) {
      if (worth_merging(boxes[i], pending)) {
        pending = sgl_box_bound(boxes[i], pending);
        boxes[i] = boxes[--*count];
        merged = true;
        break;
      }
    }
  }
  if (*count < SGL_DAMAGE_RECTS) {
    boxes[(*count)++] = pending;
    return;
  }
  // Full: of the list and the new box, the two whose merging adds least go
  // together, and the others are kept as they are.
  sgl_box all[SGL_DAMAGE_RECTS + 1];
  for (uint32_t i = 0; i < SGL_DAMAGE_RECTS; ++i) all[i] = boxes[i];
  all[SGL_DAMAGE_RECTS] = pending;
  uint32_t best_a = 0;
  uint32_t best_b = 1;
  for (uint32_t a = 0; a <= SGL_DAMAGE_RECTS; ++a) {
    for (uint32_t b = a + 1; b <= SGL_DAMAGE_RECTS; ++b) {
      if (merge_cost(all[a], all[b]) < merge_cost(all[best_a], all[best_b])) {
        best_a = a;
        best_b = b;
      }
    }
  }
  *count = 0;
  for (uint32_t i = 0; i <= SGL_DAMAGE_RECTS; ++i) {
    if (i != best_a && i != best_b) boxes[(*count)++] = all[i];
  }
  sgl_damage_add(boxes, count, sgl_box_bound(all[best_a], all[best_b]));
}

bool sgl_window_transform(const double projection[16], const double modelview[16],
                          const int32_t viewport[4], double out[6]) {
  double c[16];
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += projection[k * 4 + row] * modelview[column * 4 + k];
      c[column * 4 + row] = sum;
    }
  }
  // w must not depend on x or y, or the map is a perspective one.
  const double w = c[15];
  if (c[3] != 0.0 || c[7] != 0.0 || !(w > 0.0) || !std::isfinite(w)) return false;
  const double half_width = viewport[2] / 2.0;
  const double half_height = viewport[3] / 2.0;
  out[0] = c[0] / w * half_width;
  out[1] = c[4] / w * half_width;
  out[2] = viewport[0] + (c[12] / w + 1.0) * half_width;
  out[3] = c[1] / w * half_height;
  out[4] = c[5] / w * half_height;
  out[5] = viewport[1] + (c[13] / w + 1.0) * half_height;
  for (int i = 0; i < 6; ++i) {
    if (!std::isfinite(out[i])) return false;
  }
  return true;
}

namespace {

int32_t clamp_pixel(double value) {
  if (!(value > 0.0)) return 0;  // also NaN
  if (value > SGL_DAMAGE_LIMIT) return SGL_DAMAGE_LIMIT;
  return static_cast<int32_t>(value);
}

}  // namespace

sgl_box sgl_footprint(const double window[6], float x0, float y0, float x1, float y1,
                      float margin) {
  // A comparison with NaN is false: it would slip past the minimum and
  // maximum below.
  if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) {
    return sgl_whole_box();
  }
  const double xs[2] = {x0, x1};
  const double ys[2] = {y0, y1};
  double min_x = HUGE_VAL, min_y = HUGE_VAL, max_x = -HUGE_VAL, max_y = -HUGE_VAL;
  for (const double x : xs) {
    for (const double y : ys) {
      const double wx = window[0] * x + window[1] * y + window[2];
      const double wy = window[3] * x + window[4] * y + window[5];
      min_x = wx < min_x ? wx : min_x;
      max_x = wx > max_x ? wx : max_x;
      min_y = wy < min_y ? wy : min_y;
      max_y = wy > max_y ? wy : max_y;
    }
  }
  if (!std::isfinite(min_x) || !std::isfinite(max_x) || !std::isfinite(min_y) ||
      !std::isfinite(max_y) || !std::isfinite(margin)) {
    return sgl_whole_box();
  }
  // The pixels whose squares the grown rectangle meets.
  const sgl_box box = {
      clamp_pixel(std::floor(min_x - margin)), clamp_pixel(std::floor(min_y - margin)),
      clamp_pixel(std::floor(max_x + margin) + 1.0), clamp_pixel(std::floor(max_y + margin) + 1.0)};
  return sgl_box_is_empty(box) ? sgl_box{0, 0, 0, 0} : box;
}

float sgl_primitive_margin(uint32_t gl_mode, float line_width, float point_size) {
  // Wide lines and points reach half their width from the centre line or
  // point; smoothing and the rasteriser's rounding add at most a pixel on
  // each side, and one more keeps the bound safe.
  switch (gl_mode) {
    case GL_POINTS:
      return point_size / 2.0f + 2.0f;
    case GL_LINES:
    case GL_LINE_LOOP:
    case GL_LINE_STRIP:
      return line_width / 2.0f + 2.0f;
    default:
      return 2.0f;
  }
}

// ---------------------------------------------------------------------------
// Items: the carried state
// ---------------------------------------------------------------------------
namespace {

// Capabilities followed by bit; any other goes to the four "other" slots.
constexpr GLenum kKnownCaps[] = {
    GL_BLEND,          GL_TEXTURE_2D,   GL_SCISSOR_TEST,    GL_STENCIL_TEST,   GL_DEPTH_TEST,
    GL_ALPHA_TEST,     GL_LINE_SMOOTH,  GL_POINT_SMOOTH,    GL_POLYGON_SMOOTH, GL_CULL_FACE,
    GL_LIGHTING,       GL_LINE_STIPPLE, GL_TEXTURE_1D,      GL_DITHER,         GL_FOG,
    GL_COLOR_LOGIC_OP, GL_NORMALIZE,    GL_POLYGON_STIPPLE, GL_CLIP_PLANE0,    GL_CLIP_PLANE1,
    GL_CLIP_PLANE2,    GL_CLIP_PLANE3,  GL_CLIP_PLANE4,     GL_CLIP_PLANE5,    GL_COLOR_MATERIAL,
};
constexpr uint32_t kCapBlend = 0;
constexpr uint32_t kCapTexture2D = 1;
constexpr uint32_t kCapScissor = 2;
constexpr uint32_t kCapStencil = 3;
constexpr uint32_t kCapDepth = 4;
constexpr uint32_t kCapAlpha = 5;
constexpr uint32_t kCapTexture1D = 12;
constexpr uint32_t kCapClipPlane0 = 18;
static_assert(kKnownCaps[kCapAlpha] == GL_ALPHA_TEST &&
                  kKnownCaps[kCapTexture1D] == GL_TEXTURE_1D &&
                  kKnownCaps[kCapClipPlane0] == GL_CLIP_PLANE0 &&
                  kKnownCaps[kCapClipPlane0 + 5] == GL_CLIP_PLANE5,
              "the bits name their capabilities");
constexpr uint32_t kOtherCapSlots = 4;
constexpr uint32_t kOtherTexEnvSlots = 2;

// The words of the carried state, each hashed into every key.
enum StateWord : uint32_t {
  kWordEnables,     // values of kKnownCaps by bit
  kWordEnablesSet,  // which of them a stream set since the state was forgotten
  kWordOtherCaps,   // kOtherCapSlots pairs (capability, on); capability 0: free
  kWordAlphaFunc = kWordOtherCaps + 2 * kOtherCapSlots,
  kWordAlphaReference,
  kWordBlendSource,
  kWordBlendDestination,
  kWordDepthFunc,
  kWordTexture2D,
  kWordOtherTexture,  // (target, name)
  kWordTexEnvMode = kWordOtherTexture + 2,
  kWordOtherTexEnv,  // kOtherTexEnvSlots triples (target, name, value)
  kWordColor = kWordOtherTexEnv + 3 * kOtherTexEnvSlots,
  kWordLineWidth = kWordColor + 4,
  kWordPointSize,
  kWordMatrices,  // the hash of each of the three current matrices, two words each
  kWordViewport = kWordMatrices + 6,
  kWordClearColor = kWordViewport + 4,
  kWordClearStencil = kWordClearColor + 4,
  kWordStencilMask,
  kWordStencilFunc,
  kWordStencilOp = kWordStencilFunc + 3,
  kWordColorMask = kWordStencilOp + 3,
  kWordScissor = kWordColorMask + 4,
  kWordClipPlanes = kWordScissor + 4,  // the hash of each plane's equation, two words each
  kWordTexCoord = kWordClipPlanes + 12,
  kWordCount = kWordTexCoord + 2,
};
static_assert(kWordCount <= SGL_DAMAGE_STATE_WORDS, "the carried state has room for every word");

constexpr uint32_t kModelView = 0;
constexpr uint32_t kProjection = 1;
constexpr uint32_t kTextureMatrix = 2;
constexpr uint32_t kUnknownMatrix = 3;

// ---- hashing

uint64_t mix(uint64_t hash, uint32_t word) {
  hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
  return hash ^ (hash >> 29);
}

uint64_t finish(uint64_t hash) {
  hash ^= hash >> 33;
  hash *= 0xFF51AFD7ED558CCDull;
  hash ^= hash >> 33;
  hash *= 0xC4CEB9FE1A85EC53ull;
  return hash ^ (hash >> 33);
}

uint64_t hash_words(uint64_t hash, const uint32_t* words, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) hash = mix(hash, words[i]);
  return hash;
}

float float_of(uint32_t word) {
  float value;
  std::memcpy(&value, &word, sizeof value);
  return value;
}

// ---- words

bool known(const sgl_damage_scan* s, uint32_t word) {
  return (s->known[word / 32] >> (word % 32) & 1u) != 0;
}

void set_word(sgl_damage_scan* s, uint32_t word, uint32_t value) {
  s->words[word] = value;
  s->known[word / 32] |= 1u << (word % 32);
}

void set_words(sgl_damage_scan* s, uint32_t word, const uint32_t* values, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) set_word(s, word + i, values[i]);
}

// 1 on, 0 off, -1 not known.
int cap_state(const sgl_damage_scan* s, uint32_t cap) {
  if ((s->words[kWordEnablesSet] >> cap & 1u) == 0) return -1;
  return static_cast<int>(s->words[kWordEnables] >> cap & 1u);
}

// Words of the state into a hash, each with whether it is known.
uint64_t hash_state(const sgl_damage_scan* s, uint64_t hash, uint32_t word, uint32_t count) {
  for (uint32_t i = word; i < word + count; ++i) {
    hash = known(s, i) ? mix(mix(hash, 1u), s->words[i]) : mix(hash, 0u);
  }
  return hash;
}

// The state a draw of `gl_mode` depends on. Only what it reads goes in, so
// that what an earlier frame left behind and this one has not used yet (a
// texture bound, a line width) does not tell two equal draws apart.
uint64_t draw_state_hash(const sgl_damage_scan* s, uint32_t gl_mode, bool own_texcoords) {
  uint64_t h = hash_state(s, 0xD7D7u, kWordEnables, 2);
  h = hash_state(s, h, kWordOtherCaps, 2 * kOtherCapSlots);
  h = hash_state(s, h, kWordColor, 4);
  h = hash_state(s, h, kWordMatrices, 4);  // model-view and projection
  h = hash_state(s, h, kWordViewport, 4);
  h = hash_state(s, h, kWordColorMask, 4);
  if (cap_state(s, kCapBlend) != 0) h = hash_state(s, h, kWordBlendSource, 2);
  if (cap_state(s, kCapAlpha) != 0) h = hash_state(s, h, kWordAlphaFunc, 2);
  if (cap_state(s, kCapDepth) != 0) h = hash_state(s, h, kWordDepthFunc, 1);
  if (cap_state(s, kCapTexture2D) != 0 || cap_state(s, kCapTexture1D) == 1) {
    h = hash_state(s, h, kWordTexture2D, kWordColor - kWordTexture2D);  // textures, environment
    h = hash_state(s, h, kWordMatrices + 4, 2);
    if (!own_texcoords) h = hash_state(s, h, kWordTexCoord, 2);
  }
  if (gl_mode == GL_LINES || gl_mode == GL_LINE_LOOP || gl_mode == GL_LINE_STRIP) {
    h = hash_state(s, h, kWordLineWidth, 1);
  } else if (gl_mode == GL_POINTS) {
    h = hash_state(s, h, kWordPointSize, 1);
  }
  if (cap_state(s, kCapStencil) != 0) {
    h = hash_state(s, h, kWordStencilMask, 1);
    h = hash_state(s, h, kWordStencilFunc, 6);  // function and operations
  }
  if (cap_state(s, kCapScissor) != 0) h = hash_state(s, h, kWordScissor, 4);
  for (uint32_t plane = 0; plane < 6; ++plane) {
    if (cap_state(s, kCapClipPlane0 + plane) != 0) {
      h = hash_state(s, h, kWordClipPlanes + 2 * plane, 2);
    }
  }
  return h;
}

// The state a clear of `mask` depends on.
uint64_t clear_state_hash(const sgl_damage_scan* s, uint32_t mask) {
  const int scissor = cap_state(s, kCapScissor);
  uint64_t h = mix(0xC1C1u, static_cast<uint32_t>(scissor + 1));
  if (scissor != 0) h = hash_state(s, h, kWordScissor, 4);
  if (mask & GL_COLOR_BUFFER_BIT) {
    h = hash_state(s, h, kWordClearColor, 4);
    h = hash_state(s, h, kWordColorMask, 4);
  }
  if (mask & GL_STENCIL_BUFFER_BIT) {
    h = hash_state(s, h, kWordClearStencil, 1);
    h = hash_state(s, h, kWordStencilMask, 1);
  }
  return h;
}

// Sets a capability; false when it is none of the known ones and the other
// slots are full.
bool set_cap(sgl_damage_scan* s, GLenum capability, bool on) {
  for (uint32_t bit = 0; bit < sizeof kKnownCaps / sizeof kKnownCaps[0]; ++bit) {
    if (kKnownCaps[bit] != capability) continue;
    const uint32_t value = (s->words[kWordEnables] & ~(1u << bit)) | (on ? 1u << bit : 0u);
    set_word(s, kWordEnables, value);
    set_word(s, kWordEnablesSet, s->words[kWordEnablesSet] | 1u << bit);
    return true;
  }
  for (uint32_t slot = 0; slot < kOtherCapSlots; ++slot) {
    const uint32_t word = kWordOtherCaps + 2 * slot;
    if (s->words[word] == capability || !known(s, word)) {
      set_word(s, word, capability);
      set_word(s, word + 1, on ? 1u : 0u);
      return true;
    }
  }
  return false;
}

// ---- matrices

void write_matrix_words(sgl_damage_scan* s, uint32_t mode) {
  const uint64_t token = s->tokens[mode][s->depth[mode]];
  set_word(s, kWordMatrices + 2 * mode, static_cast<uint32_t>(token));
  set_word(s, kWordMatrices + 2 * mode + 1, static_cast<uint32_t>(token >> 32));
  s->window_valid = 0;
}

void multiply_right(double m[16], const double r[16]) {
  double out[16];
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * r[column * 4 + k];
      out[column * 4 + row] = sum;
    }
  }
  std::memcpy(m, out, sizeof out);
}

void identity(double m[16]) {
  for (int i = 0; i < 16; ++i) m[i] = i % 5 == 0 ? 1.0 : 0.0;
}

// The matrix a translation, rotation or scale record multiplies by.
void operation_matrix(uint32_t op, const uint32_t* p, double r[16]) {
  identity(r);
  const double a = float_of(p[0]), b = float_of(p[1]), c = float_of(p[2]);
  if (op == kOpTranslatef) {
    r[12] = a;
    r[13] = b;
    r[14] = c;
  } else if (op == kOpScalef) {
    r[0] = a;
    r[5] = b;
    r[10] = c;
  } else {
    // glRotatef(angle, x, y, z): the axis normalised, angle in degrees.
    double x = b, y = c, z = float_of(p[3]);
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length > 0.0) {
      x /= length;
      y /= length;
      z /= length;
    }
    const double radians = a * 3.14159265358979323846 / 180.0;
    const double co = std::cos(radians), si = std::sin(radians), t = 1.0 - co;
    r[0] = x * x * t + co;
    r[1] = y * x * t + z * si;
    r[2] = x * z * t - y * si;
    r[4] = x * y * t - z * si;
    r[5] = y * y * t + co;
    r[6] = y * z * t + x * si;
    r[8] = x * z * t + y * si;
    r[9] = y * z * t - x * si;
    r[10] = z * z * t + co;
  }
}

// A matrix record: the current matrix's hash follows the calls that made it,
// its numbers the matrix itself. False when it cannot be followed.
bool apply_matrix_record(sgl_damage_scan* s, uint32_t op, const uint32_t* record, uint32_t length) {
  const uint32_t mode = s->matrix_mode;
  if (mode == kUnknownMatrix) return false;
  uint32_t& depth = s->depth[mode];
  const uint64_t record_hash = hash_words(0x3B3Bu, record, 1 + length);
  const uint32_t* p = record + 1;
  switch (op) {
    case kOpPushMatrix:
      if (depth + 1 >= SGL_DAMAGE_MATRIX_DEPTH) return false;
      s->tokens[mode][depth + 1] = s->tokens[mode][depth];
      if (mode != kTextureMatrix) {
        std::memcpy(s->matrices[mode][depth + 1], s->matrices[mode][depth], sizeof(double) * 16);
        s->numbers_known[mode][depth + 1] = s->numbers_known[mode][depth];
      }
      ++depth;
      break;
    case kOpPopMatrix:
      if (depth > 0) {
        --depth;
      } else {
        // Below what the frames pushed: OpenGL's own entry (or an error),
        // the same every time, but not known as numbers.
        s->tokens[mode][0] = mix(s->tokens[mode][0], 0x9090u);
        if (mode != kTextureMatrix) s->numbers_known[mode][0] = 0;
      }
      break;
    case kOpLoadIdentity:
    case kOpLoadMatrixf:
      s->tokens[mode][depth] = finish(record_hash);
      if (mode != kTextureMatrix) {
        double* m = s->matrices[mode][depth];
        if (op == kOpLoadIdentity) {
          identity(m);
        } else {
          for (int i = 0; i < 16; ++i) m[i] = float_of(p[i]);
        }
        s->numbers_known[mode][depth] = 1;
      }
      break;
    default: {  // translation, rotation, scale
      const uint64_t chained = mix(s->tokens[mode][depth], static_cast<uint32_t>(record_hash));
      s->tokens[mode][depth] = finish(mix(chained, static_cast<uint32_t>(record_hash >> 32)));
      if (mode != kTextureMatrix) {
        double r[16];
        operation_matrix(op, p, r);
        multiply_right(s->matrices[mode][depth], r);
      }
      break;
    }
  }
  write_matrix_words(s, mode);
  return true;
}

// ---------------------------------------------------------------------------
// Items: the scan
// ---------------------------------------------------------------------------
struct Scan {
  sgl_damage_state* damage;
  sgl_damage_scan* s;
  const uint32_t* words;
  sgl_damage_item* items;
  uint32_t capacity;
  uint32_t count;  // may pass capacity: the items that did not fit are counted
};

void cannot_bound(Scan* scan) {
  scan->damage->unboundable = 1;
}

sgl_box box_of_rect(const uint32_t* p) {
  const int64_t x = static_cast<int32_t>(p[0]);
  const int64_t y = static_cast<int32_t>(p[1]);
  const int64_t x1 = x + static_cast<int32_t>(p[2]);
  const int64_t y1 = y + static_cast<int32_t>(p[3]);
  const auto clamp = [](int64_t v) {
    return static_cast<int32_t>(v < 0 ? 0 : (v > SGL_DAMAGE_LIMIT ? SGL_DAMAGE_LIMIT : v));
  };
  return {clamp(x), clamp(y), clamp(x1), clamp(y1)};
}

// The box a scissor test in force cuts drawing to; the whole box without
// one. Unknown scissor state cannot be bounded.
sgl_box scissor_cut(Scan* scan) {
  const sgl_damage_scan* s = scan->s;
  const int on = cap_state(s, kCapScissor);
  if (on == 0) return sgl_whole_box();
  if (on < 0 || !known(s, kWordScissor)) {
    cannot_bound(scan);
    return sgl_whole_box();
  }
  return box_of_rect(&s->words[kWordScissor]);
}

bool window_map(sgl_damage_scan* s) {
  if (s->window_valid) return true;
  const uint32_t mv = s->depth[kModelView];
  const uint32_t pr = s->depth[kProjection];
  if (!s->numbers_known[kModelView][mv] || !s->numbers_known[kProjection][pr] ||
      !known(s, kWordViewport)) {
    return false;
  }
  int32_t viewport[4];
  for (int i = 0; i < 4; ++i) viewport[i] = static_cast<int32_t>(s->words[kWordViewport + i]);
  s->window_valid = sgl_window_transform(s->matrices[kProjection][pr], s->matrices[kModelView][mv],
                                         viewport, s->window)
                        ? 1
                        : 0;
  return s->window_valid != 0;
}

// The pixels a primitive of `gl_mode` with points in the given range can
// change, the scissor in force applied.
sgl_box primitive_box(Scan* scan, uint32_t gl_mode, float x0, float y0, float x1, float y1) {
  sgl_damage_scan* s = scan->s;
  const sgl_box cut = scissor_cut(scan);
  const bool is_line = gl_mode == GL_LINES || gl_mode == GL_LINE_LOOP || gl_mode == GL_LINE_STRIP;
  const bool width_known =
      is_line ? known(s, kWordLineWidth) : (gl_mode != GL_POINTS || known(s, kWordPointSize));
  if (!window_map(s) || !width_known) return cut;
  const float margin = sgl_primitive_margin(gl_mode, float_of(s->words[kWordLineWidth]),
                                            float_of(s->words[kWordPointSize]));
  return sgl_box_intersection(sgl_footprint(s->window, x0, y0, x1, y1, margin), cut);
}

// Stencil and depth a draw writes, for the clears after it.
void note_writes(Scan* scan, const sgl_box& box) {
  sgl_damage_scan* s = scan->s;
  const int stencil = cap_state(s, kCapStencil);
  if (stencil != 0) {
    const bool ops_known = known(s, kWordStencilOp) && known(s, kWordStencilMask);
    const bool all_keep = ops_known && s->words[kWordStencilOp] == GL_KEEP &&
                          s->words[kWordStencilOp + 1] == GL_KEEP &&
                          s->words[kWordStencilOp + 2] == GL_KEEP;
    const uint32_t written =
        known(s, kWordStencilMask) ? s->words[kWordStencilMask] & 0xFFu : 0xFFu;
    if (!all_keep) {
      for (uint32_t bit = 0; bit < 8; ++bit) {
        if (written >> bit & 1u) s->stencil_dirty[bit] = sgl_box_bound(s->stencil_dirty[bit], box);
      }
    }
  }
  if (cap_state(s, kCapDepth) != 0) s->depth_dirty = sgl_box_bound(s->depth_dirty, box);
}

// Whether a draw without its own texture coordinates reads the current one,
// and whether that is one OpenGL left undefined.
void check_texcoord_use(Scan* scan, bool has_own) {
  sgl_damage_scan* s = scan->s;
  if (has_own) return;
  // The library never uses one-dimensional textures: they count only when a
  // stream turned them on.
  const bool texturing = cap_state(s, kCapTexture2D) != 0 || cap_state(s, kCapTexture1D) == 1;
  if (texturing && s->texcoord_undefined) cannot_bound(scan);
}

void add_item(Scan* scan, uint64_t key, uint32_t first, uint32_t words, const sgl_box& box,
              bool keep) {
  if (scan->count < scan->capacity) {
    sgl_damage_item& item = scan->items[scan->count];
    item.key = key;
    item.first = first;
    item.words = words;
    item.box = box;
    item.keep = keep ? 1 : 0;
  }
  ++scan->count;
}

uint64_t item_key(uint64_t state, const uint32_t* words, uint32_t count) {
  return finish(hash_words(state, words, count));
}

void scan_draw_arrays(Scan* scan, uint32_t at, uint32_t length) {
  const uint32_t* p = scan->words + at + 1;
  const uint32_t mode = p[0];
  const uint32_t n = p[1];
  const bool has_st = p[2] != 0;
  if (length != kDrawHeaderWords + (has_st ? 4u : 2u) * n || n == 0) {
    cannot_bound(scan);
    return;
  }
  check_texcoord_use(scan, has_st);
  const float* xy = reinterpret_cast<const float*>(p + kDrawHeaderWords);
  float x0 = xy[0], y0 = xy[1], x1 = xy[0], y1 = xy[1];
  bool finite = true;
  for (uint32_t k = 0; k < n; ++k) {
    const float x = xy[2 * k];
    const float y = xy[2 * k + 1];
    finite = finite && std::isfinite(x) && std::isfinite(y);
    x0 = x < x0 ? x : x0;
    x1 = x > x1 ? x : x1;
    y0 = y < y0 ? y : y0;
    y1 = y > y1 ? y : y1;
  }
  const sgl_box box = finite ? primitive_box(scan, mode, x0, y0, x1, y1)
                             : sgl_box_intersection(sgl_whole_box(), scissor_cut(scan));
  const uint64_t key =
      item_key(draw_state_hash(scan->s, mode, has_st), scan->words + at, 1 + length);
  add_item(scan, key, at, 1 + length, box, false);
  note_writes(scan, box);
  // OpenGL need not keep the current texture coordinate after an array draw.
  if (has_st) scan->s->texcoord_undefined = 1;
}

void scan_clear(Scan* scan, uint32_t at) {
  sgl_damage_scan* s = scan->s;
  const uint32_t mask = scan->words[at + 1];
  const sgl_box region = scissor_cut(scan);
  sgl_box box = {0, 0, 0, 0};
  if (mask & GL_COLOR_BUFFER_BIT) {
    bool writes_colour = true;
    if (known(s, kWordColorMask)) {
      writes_colour = (s->words[kWordColorMask] | s->words[kWordColorMask + 1] |
                       s->words[kWordColorMask + 2] | s->words[kWordColorMask + 3]) != 0;
    }
    if (writes_colour) box = region;
  }
  if (mask & GL_STENCIL_BUFFER_BIT) {
    const bool values_known = known(s, kWordStencilMask) && known(s, kWordClearStencil);
    const uint32_t written = values_known ? s->words[kWordStencilMask] & 0xFFu : 0xFFu;
    const uint32_t value = s->words[kWordClearStencil];
    for (uint32_t bit = 0; bit < 8; ++bit) {
      if ((written >> bit & 1u) == 0) continue;
      if (!values_known || (value >> bit & 1u) != 0) {
        // Set to 1: a change anywhere in the region.
        box = sgl_box_bound(box, region);
        s->stencil_dirty[bit] = sgl_box_bound(s->stencil_dirty[bit], region);
      } else {
        // Set to 0: a change only where a draw may have set it.
        box = sgl_box_bound(box, sgl_box_intersection(s->stencil_dirty[bit], region));
        if (sgl_box_contains(region, s->stencil_dirty[bit])) s->stencil_dirty[bit] = {0, 0, 0, 0};
      }
    }
  }
  if (mask & GL_DEPTH_BUFFER_BIT) {
    // The clear depth is never changed by the library: it stays 1.
    box = sgl_box_bound(box, sgl_box_intersection(s->depth_dirty, region));
    if (sgl_box_contains(region, s->depth_dirty)) s->depth_dirty = {0, 0, 0, 0};
  }
  add_item(scan, item_key(clear_state_hash(s, mask), scan->words + at, 2), at, 2, box, false);
}

// A state record outside a draw; false when it cannot be followed.
bool scan_state_record(Scan* scan, uint32_t op, uint32_t at, uint32_t length) {
  sgl_damage_scan* s = scan->s;
  const uint32_t* record = scan->words + at;
  const uint32_t* p = record + 1;
  switch (op) {
    case kOpEnable:
    case kOpDisable:
      return set_cap(s, p[0], op == kOpEnable);
    case kOpEnableClientState:
    case kOpDisableClientState:
      return true;  // each draw carries what its arrays gave
    case kOpAlphaFunc:
      set_words(s, kWordAlphaFunc, p, 2);
      return true;
    case kOpBlendFunc:
      set_words(s, kWordBlendSource, p, 2);
      return true;
    case kOpDepthFunc:
      set_word(s, kWordDepthFunc, p[0]);
      return true;
    case kOpBindTexture:
      if (p[0] == GL_TEXTURE_2D) {
        set_word(s, kWordTexture2D, p[1]);
        return true;
      }
      if (known(s, kWordOtherTexture) && s->words[kWordOtherTexture] != p[0]) return false;
      set_words(s, kWordOtherTexture, p, 2);
      return true;
    case kOpTexEnvi:
      if (p[0] == GL_TEXTURE_ENV && p[1] == GL_TEXTURE_ENV_MODE) {
        set_word(s, kWordTexEnvMode, p[2]);
        return true;
      }
      for (uint32_t slot = 0; slot < kOtherTexEnvSlots; ++slot) {
        const uint32_t word = kWordOtherTexEnv + 3 * slot;
        if (!known(s, word) || (s->words[word] == p[0] && s->words[word + 1] == p[1])) {
          set_words(s, word, p, 3);
          return true;
        }
      }
      return false;
    case kOpColor4fv:
      set_words(s, kWordColor, p, 4);
      return true;
    case kOpLineWidth:
      set_word(s, kWordLineWidth, p[0]);
      return true;
    case kOpPointSize:
      set_word(s, kWordPointSize, p[0]);
      return true;
    case kOpMatrixMode:
      s->matrix_mode = p[0] == GL_MODELVIEW    ? kModelView
                       : p[0] == GL_PROJECTION ? kProjection
                       : p[0] == GL_TEXTURE    ? kTextureMatrix
                                               : kUnknownMatrix;
      return true;
    case kOpLoadIdentity:
    case kOpLoadMatrixf:
    case kOpPushMatrix:
    case kOpPopMatrix:
    case kOpTranslatef:
    case kOpRotatef:
    case kOpScalef:
      return apply_matrix_record(s, op, record, length);
    case kOpViewport:
      // OpenGL refuses a negative size and keeps the viewport it has.
      if (static_cast<int32_t>(p[2]) < 0 || static_cast<int32_t>(p[3]) < 0) return true;
      set_words(s, kWordViewport, p, 4);
      s->window_valid = 0;
      scan->damage->bounds = sgl_box_bound(scan->damage->bounds, box_of_rect(p));
      return true;
    case kOpClearColor:
      set_words(s, kWordClearColor, p, 4);
      return true;
    case kOpClearStencil:
      set_word(s, kWordClearStencil, p[0]);
      return true;
    case kOpStencilMask:
      set_word(s, kWordStencilMask, p[0]);
      return true;
    case kOpStencilFunc:
      set_words(s, kWordStencilFunc, p, 3);
      return true;
    case kOpStencilOp:
      set_words(s, kWordStencilOp, p, 3);
      return true;
    case kOpColorMask:
      set_words(s, kWordColorMask, p, 4);
      return true;
    case kOpScissor:
      if (static_cast<int32_t>(p[2]) < 0 || static_cast<int32_t>(p[3]) < 0) return true;
      set_words(s, kWordScissor, p, 4);
      return true;
    case kOpClipPlane: {
      // OpenGL keeps the plane in eye coordinates: the equation with the
      // model-view matrix it was given under.
      const uint32_t plane = p[0] - GL_CLIP_PLANE0;
      if (plane >= 6) return false;
      uint64_t hash = hash_words(s->tokens[kModelView][s->depth[kModelView]], p, length);
      hash = finish(hash);
      set_word(s, kWordClipPlanes + 2 * plane, static_cast<uint32_t>(hash));
      set_word(s, kWordClipPlanes + 2 * plane + 1, static_cast<uint32_t>(hash >> 32));
      return true;
    }
    case kOpTexCoord2f:
      set_words(s, kWordTexCoord, p, 2);
      s->texcoord_undefined = 0;
      return true;
    case kOpVertex2f:
    case kOpEnd:
      return true;  // outside a block OpenGL ignores them
    default:
      // A display list's calls are not in the stream; anything unknown
      // cannot be followed either.
      return false;
  }
}

// A glBegin ... glEnd block from `at`; returns the word after its end.
uint32_t scan_block(Scan* scan, uint32_t at, uint32_t count) {
  sgl_damage_scan* s = scan->s;
  const uint32_t mode = scan->words[at + 1];
  // Whether the block brings its own texture coordinate is known only
  // later: the current one counts.
  const uint64_t state = draw_state_hash(s, mode, false);
  const sgl_box cut_before = scissor_cut(scan);
  bool keep = false;
  bool any_vertex = false;
  bool own_texcoord = false;
  float x0 = 0.0f, y0 = 0.0f, x1 = 0.0f, y1 = 0.0f;
  bool finite = true;
  uint32_t end = at + 2;
  bool closed = false;
  while (end < count && !closed) {
    const uint32_t op = scan->words[end] & kOpMask;
    const uint32_t length = scan->words[end] >> kOpBits;
    const uint32_t* p = scan->words + end + 1;
    if (end + 1 + length > count) break;
    if (op == kOpEnd) {
      closed = true;
    } else if (op == kOpVertex2f) {
      const float x = float_of(p[0]);
      const float y = float_of(p[1]);
      if (!any_vertex) {
        check_texcoord_use(scan, own_texcoord);
        x0 = x1 = x;
        y0 = y1 = y;
      }
      any_vertex = true;
      finite = finite && std::isfinite(x) && std::isfinite(y);
      x0 = x < x0 ? x : x0;
      x1 = x > x1 ? x : x1;
      y0 = y < y0 ? y : y0;
      y1 = y > y1 ? y : y1;
    } else {
      // A texture coordinate (or a colour) inside the block stays current
      // after it: the block must be sent wherever it is.
      if (op == kOpTexCoord2f) own_texcoord = true;
      keep = true;
      if (!scan_state_record(scan, op, end, length)) cannot_bound(scan);
    }
    end += 1 + length;
  }
  if (!closed) cannot_bound(scan);
  sgl_box box = {0, 0, 0, 0};
  if (any_vertex) {
    box = finite ? primitive_box(scan, mode, x0, y0, x1, y1) : cut_before;
  }
  const uint64_t key = item_key(state, scan->words + at, end - at);
  add_item(scan, key, at, end - at, box, keep);
  note_writes(scan, box);
  return end;
}

}  // namespace

void sgli_damage_forget_state(sgl_damage_scan* s) {
  std::memset(s, 0, sizeof *s);
  s->known[kWordEnables / 32] |= 1u << (kWordEnables % 32);
  s->known[kWordEnablesSet / 32] |= 1u << (kWordEnablesSet % 32);
  s->matrix_mode = kUnknownMatrix;
  for (uint32_t mode = 0; mode < 3; ++mode) {
    // Whatever OpenGL held at this moment, the same until a stream changes it.
    s->tokens[mode][0] = finish(0xF0F0u + mode);
    write_matrix_words(s, mode);
  }
  for (sgl_box& box : s->stencil_dirty) box = sgl_whole_box();
  s->depth_dirty = sgl_whole_box();
  s->texcoord_undefined = 1;
}

uint32_t sgli_damage_list_items(sgl_type_statemachine* context, const uint32_t* words,
                                uint32_t count, sgl_damage_item* out_items, uint32_t capacity) {
  Scan scan = {&context->damage, &context->damage.scan, words, out_items, capacity, 0};
  for (uint32_t at = 0; at < count;) {
    const uint32_t op = words[at] & kOpMask;
    const uint32_t length = words[at] >> kOpBits;
    if (at + 1 + length > count) {
      cannot_bound(&scan);
      break;
    }
    if (op == kOpBegin) {
      at = scan_block(&scan, at, count);
      continue;
    }
    if (op == kOpDrawArrays) {
      scan_draw_arrays(&scan, at, length);
    } else if (op == kOpClear) {
      scan_clear(&scan, at);
    } else if (!scan_state_record(&scan, op, at, length)) {
      cannot_bound(&scan);
    }
    at += 1 + length;
  }
  return scan.count > capacity ? capacity + 1 : scan.count;
}

// ---------------------------------------------------------------------------
// Difference
// ---------------------------------------------------------------------------
namespace {

// Comparisons the alignment may make before it gives the frame up as whole:
// far more than a busy frame needs, far less than a frame's drawing costs.
constexpr uint64_t kDiffBudget = 1u << 22;

}  // namespace

bool sgl_damage_diff(const sgl_damage_item* old_items, uint32_t old_count,
                     const uint32_t* old_words, const sgl_damage_item* new_items,
                     uint32_t new_count, const uint32_t* new_words, sgl_box* boxes,
                     uint32_t* box_count) {
  const auto same = [&](uint32_t i, uint32_t j) {
    const sgl_damage_item& a = old_items[i];
    const sgl_damage_item& b = new_items[j];
    return a.key == b.key && a.words == b.words &&
           std::memcmp(old_words + a.first, new_words + b.first, sizeof(uint32_t) * a.words) == 0;
  };
  // The common tail first, so that the walk below meets it in step.
  uint32_t n = old_count;
  uint32_t m = new_count;
  while (n > 0 && m > 0 && same(n - 1, m - 1)) {
    --n;
    --m;
  }
  uint64_t budget = kDiffBudget;
  uint32_t i = 0;
  uint32_t j = 0;
  while (i < n && j < m) {
    if (same(i, j)) {
      ++i;
      ++j;
      continue;
    }
    // The nearest place where the two fall in step again: old item i later
    // in the new frame (new items were inserted), or new item j later in the
    // old one (old items were removed). Neither: one item replaced another.
    bool found = false;
    for (uint32_t k = 1; j + k < m || i + k < n; ++k) {
      if (budget-- == 0) return false;
      if (j + k < m && same(i, j + k)) {
        for (uint32_t t = j; t < j + k; ++t) {
          sgl_damage_add(boxes, box_count, new_items[t].box);
        }
        j += k;
        found = true;
        break;
      }
      if (i + k < n && same(i + k, j)) {
        for (uint32_t t = i; t < i + k; ++t) {
          sgl_damage_add(boxes, box_count, old_items[t].box);
        }
        i += k;
        found = true;
        break;
      }
    }
    if (!found) {
      sgl_damage_add(boxes, box_count, old_items[i++].box);
      sgl_damage_add(boxes, box_count, new_items[j++].box);
    }
  }
  for (; i < n; ++i) {
    sgl_damage_add(boxes, box_count, old_items[i].box);
  }
  for (; j < m; ++j) {
    sgl_damage_add(boxes, box_count, new_items[j].box);
  }
  return true;
}

// ---------------------------------------------------------------------------
// The frame
// ---------------------------------------------------------------------------
namespace {

void emit_scissor(const sgl_box& box) {
  const uint32_t p[4] = {static_cast<uint32_t>(box.x0), static_cast<uint32_t>(box.y0),
                         static_cast<uint32_t>(box.x1 > box.x0 ? box.x1 - box.x0 : 0),
                         static_cast<uint32_t>(box.y1 > box.y0 ? box.y1 - box.y0 : 0)};
  sgli_stream_replay_record(kOpScissor, p);
}

void emit_scissor_test(bool on) {
  const uint32_t p[1] = {GL_SCISSOR_TEST};
  sgli_stream_replay_record(on ? kOpEnable : kOpDisable, p);
}

// State records a partial pass holds back until an item is drawn: between
// two drawn items only the last value of each piece of state counts, and a
// pass leaves out most items. Each piece is independent of the others, so
// the order they are sent in does not matter; matrix calls, which build on
// each other, are never held.
class HeldState {
 public:
  // Takes a record that sets one piece of state; false for any other.
  bool Hold(uint32_t op, const uint32_t* p, uint32_t length) {
    uint32_t keys = 0;
    uint32_t group = op;
    switch (op) {
      case kOpEnable:
      case kOpDisable:
        group = kOpEnable;
        keys = 1;
        break;
      case kOpEnableClientState:
      case kOpDisableClientState:
        group = kOpEnableClientState;
        keys = 1;
        break;
      case kOpBindTexture:
        keys = 1;
        break;
      case kOpTexEnvi:
        keys = 2;
        break;
      case kOpAlphaFunc:
      case kOpBlendFunc:
      case kOpDepthFunc:
      case kOpColor4fv:
      case kOpLineWidth:
      case kOpPointSize:
      case kOpClearColor:
      case kOpClearStencil:
      case kOpStencilMask:
      case kOpStencilFunc:
      case kOpStencilOp:
      case kOpColorMask:
        break;
      default:
        return false;
    }
    if (length > 4 || length < keys) return false;
    Slot* slot = find(group, p, keys);
    if (slot == nullptr) return false;  // full: the caller sends it at once
    slot->op = op;
    slot->length = length;
    std::memcpy(slot->held, p, sizeof(uint32_t) * length);
    slot->pending = true;
    return true;
  }

  // What OpenGL holds is no longer known (records were sent around the
  // table): the next send sends every held piece.
  void Forget() {
    for (uint32_t i = 0; i < count_; ++i) slots_[i].sent_valid = false;
  }

  // Sends every held piece that differs from what was last sent.
  void Send() {
    for (uint32_t i = 0; i < count_; ++i) {
      Slot& slot = slots_[i];
      if (!slot.pending) continue;
      slot.pending = false;
      if (slot.sent_valid && slot.sent_op == slot.op &&
          std::memcmp(slot.sent, slot.held, sizeof(uint32_t) * slot.length) == 0) {
        continue;
      }
      sgli_stream_replay_record(slot.op, slot.held);
      slot.sent_op = slot.op;
      std::memcpy(slot.sent, slot.held, sizeof slot.sent);
      slot.sent_valid = true;
    }
  }

 private:
  struct Slot {
    uint32_t group;
    uint32_t key[2];
    uint32_t op, length;
    uint32_t held[4];
    uint32_t sent_op;
    uint32_t sent[4];
    bool pending, sent_valid;
  };

  Slot* find(uint32_t group, const uint32_t* p, uint32_t keys) {
    for (uint32_t i = 0; i < count_; ++i) {
      Slot& slot = slots_[i];
      if (slot.group == group && (keys < 1 || slot.key[0] == p[0]) &&
          (keys < 2 || slot.key[1] == p[1])) {
        return &slot;
      }
    }
    if (count_ == kSlots) return nullptr;
    Slot& slot = slots_[count_++];
    slot = Slot{};
    slot.group = group;
    slot.key[0] = keys >= 1 ? p[0] : 0;
    slot.key[1] = keys >= 2 ? p[1] : 0;
    return &slot;
  }

  static constexpr uint32_t kSlots = 48;
  Slot slots_[kSlots];
  uint32_t count_ = 0;
};

// Sends a stream with every pixel outside `area` left alone: OpenGL's
// scissor stays on, cut to the area and to the stream's own scissor; the
// items that cannot reach the area are left out, and the state records
// before them held back until an item is drawn.
void replay_within(const uint32_t* words, uint32_t count, const sgl_damage_item* items,
                   uint32_t item_count, const sgl_box& area) {
  emit_scissor_test(true);
  emit_scissor(area);
  bool on = false;
  sgl_box own = sgl_whole_box();
  HeldState held;
  uint32_t next = 0;
  for (uint32_t at = 0; at < count;) {
    if (next < item_count && items[next].first == at) {
      const sgl_damage_item& item = items[next++];
      if (!item.keep && sgl_box_is_empty(sgl_box_intersection(item.box, area))) {
        at += item.words;
        continue;
      }
      // The item's records (a begin-end block's included) go as they are.
      held.Send();
      for (const uint32_t end = at + item.words; at < end;) {
        sgli_stream_replay_record(words[at] & kOpMask, words + at + 1);
        at += 1 + (words[at] >> kOpBits);
      }
      // A block that set state inside (a colour) changed OpenGL's.
      if (item.keep) held.Forget();
      continue;
    }
    const uint32_t op = words[at] & kOpMask;
    const uint32_t length = words[at] >> kOpBits;
    const uint32_t* p = words + at + 1;
    at += 1 + length;
    if ((op == kOpEnable || op == kOpDisable) && p[0] == GL_SCISSOR_TEST) {
      on = op == kOpEnable;
      emit_scissor(on ? sgl_box_intersection(own, area) : area);
    } else if (op == kOpScissor) {
      if (static_cast<int32_t>(p[2]) >= 0 && static_cast<int32_t>(p[3]) >= 0) own = box_of_rect(p);
      if (on) emit_scissor(sgl_box_intersection(own, area));
    } else if (!held.Hold(op, p, length)) {
      sgli_stream_replay_record(op, p);
    }
  }
  held.Send();  // the stream's last state, which the next frame inherits
}

// The scissor as the stream left it, which the next frame may inherit.
void restore_scissor(sgl_damage_state* d) {
  sgl_damage_scan* s = &d->scan;
  if (known(s, kWordScissor)) {
    sgli_stream_replay_record(kOpScissor, &s->words[kWordScissor]);
  } else {
    // The stream never set one, and the replay changed OpenGL's: from now
    // on it is known to be the frame's bounds.
    const sgl_box& b = d->bounds;
    const uint32_t p[4] = {static_cast<uint32_t>(b.x0), static_cast<uint32_t>(b.y0),
                           static_cast<uint32_t>(b.x1 - b.x0), static_cast<uint32_t>(b.y1 - b.y0)};
    sgli_stream_replay_record(kOpScissor, p);
    set_words(s, kWordScissor, p, 4);
  }
  emit_scissor_test(cap_state(s, kCapScissor) == 1);
}

}  // namespace

void sgli_damage_initialize(sgl_type_statemachine* context, uint8_t* buffer, uint32_t* inout_bytes,
                            uint8_t partial_frames) {
  sgl_damage_state* d = &context->damage;
  std::memset(d, 0, sizeof *d);
  sgli_damage_forget_state(&d->scan);
  if (partial_frames == 0 || buffer == nullptr) return;
  // The last quarter of the buffer, aligned for the items, holds two lists.
  const uint32_t bytes = *inout_bytes;
  const uint32_t share = bytes / 4;
  uint8_t* start = buffer + (bytes - share);
  const uint32_t skip = static_cast<uint32_t>(
      (alignof(sgl_damage_item) - reinterpret_cast<uintptr_t>(start) % alignof(sgl_damage_item)) %
      alignof(sgl_damage_item));
  if (share <= skip) return;
  const uint32_t per_list = (share - skip) / 2 / static_cast<uint32_t>(sizeof(sgl_damage_item));
  if (per_list == 0) return;
  d->items[0] = reinterpret_cast<sgl_damage_item*>(start + skip);
  d->items[1] = d->items[0] + per_list;
  d->item_capacity = per_list;
  d->enabled = 1;
  *inout_bytes = bytes - share;
}

bool sgli_damage_send(sgl_type_statemachine* context) {
  sgl_damage_state* d = &context->damage;
  const sgl_stream_state* stream = &context->stream;
  if (!d->enabled) return false;
  if (!stream->last_valid) {
    // OpenGL may have been changed behind the streams' back.
    sgli_damage_forget_state(&d->scan);
    d->last_complete = 0;
  }
  d->unboundable = 0;
  d->bounds = {0, 0, 0, 0};
  const uint32_t current = d->current;
  const uint32_t listed = sgli_damage_list_items(context, stream->current, stream->current_words,
                                                 d->items[current], d->item_capacity);
  const bool complete = listed <= d->item_capacity;
  if (!complete) d->item_overflows++;
  const uint32_t count = complete ? listed : 0;
  if (count > d->items_peak) d->items_peak = count;
  if (sgl_box_is_empty(d->bounds)) {
    d->bounds = {0, 0, static_cast<int32_t>(context->native_width),
                 static_cast<int32_t>(context->native_height)};
  }
  const uint32_t last = 1 - current;
  sgl_box boxes[SGL_DAMAGE_RECTS];
  uint32_t box_count = 0;
  bool partial = complete && d->last_complete && stream->last_valid && !d->unboundable &&
                 sgl_damage_diff(d->items[last], d->item_count[last], stream->last,
                                 d->items[current], count, stream->current, boxes, &box_count);
  // The new list is the last frame's from now on.
  d->item_count[current] = count;
  d->last_complete = complete ? 1 : 0;
  d->current = last;
  int64_t area = 0;
  uint32_t kept = 0;
  for (uint32_t i = 0; partial && i < box_count; ++i) {
    const sgl_box box = sgl_box_intersection(boxes[i], d->bounds);
    if (sgl_box_is_empty(box)) continue;
    boxes[kept++] = box;
    area += sgl_box_area(box);
  }
  const int64_t frame_area = sgl_box_area(d->bounds);
  // Above half the screen, one whole pass costs no more.
  if (partial && 2 * area > frame_area) partial = false;
  d->frame_pixels += static_cast<uint64_t>(frame_area);
  if (!partial) {
    d->whole_frames++;
    d->damaged_pixels += static_cast<uint64_t>(frame_area);
    return false;
  }
  d->partial_frames++;
  d->damaged_pixels += static_cast<uint64_t>(area);
  d->damage.whole = 0;
  d->damage.count = kept;
  for (uint32_t i = 0; i < kept; ++i) {
    d->damage.rects[i] = {boxes[i].x0, boxes[i].y0, boxes[i].x1 - boxes[i].x0,
                          boxes[i].y1 - boxes[i].y0};
  }
  d->damage_frame = stream->frames_sent + 1;
  // Nothing to draw still leaves OpenGL's state as the stream says.
  const sgl_box nothing = {0, 0, 0, 0};
  for (uint32_t i = 0; i < (kept > 0 ? kept : 1); ++i) {
    replay_within(stream->current, stream->current_words, d->items[current], count,
                  kept > 0 ? boxes[i] : nothing);
  }
  restore_scissor(d);
  sgli_stream_restore_arrays();
  return true;
}

const sgl_frame_damage* sglGetFrameDamage() {
  static const sgl_frame_damage kWhole = {1, 0, {}};
  const sgl_type_statemachine* context = glob_pr_sglStatemachine;
  if (context == nullptr || context->damage.damage_frame != context->stream.frames_sent ||
      context->damage.damage.whole) {
    return &kWhole;
  }
  return &context->damage.damage;
}
