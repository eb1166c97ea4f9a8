// The OpenGL ES 2 renderer's plain numbers: matrices, planes, cutting
// segments, the rectangles of lines and points, triangle lists.
#include <cmath>
#include <cstring>

#include "graphics/sgl_renderer_es2_internal.h"

namespace {

constexpr uint32_t kGlAlpha = 0x1906;
constexpr uint32_t kGlRgb = 0x1907;
constexpr uint32_t kGlLuminance = 0x1909;
constexpr uint32_t kGlLuminanceAlpha = 0x190A;

float element(const float m[16], int row, int column) {
  return m[4 * column + row];
}

}  // namespace

// ---------------------------------------------------------------------------
// Matrices
// ---------------------------------------------------------------------------
void sgl_es2_identity(float out[16]) {
  for (int k = 0; k < 16; ++k) out[k] = k % 5 == 0 ? 1.0f : 0.0f;
}

void sgl_es2_multiply(const float a[16], const float b[16], float out[16]) {
  float product[16];
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += element(a, row, k) * element(b, k, column);
      product[4 * column + row] = sum;
    }
  }
  std::memcpy(out, product, sizeof product);
}

void sgl_es2_translate(float m[16], float x, float y, float z) {
  // Only the last column changes: m x T adds x, y, z times the first three.
  for (int row = 0; row < 4; ++row) {
    m[12 + row] += m[row] * x + m[4 + row] * y + m[8 + row] * z;
  }
}

void sgl_es2_scale(float m[16], float x, float y, float z) {
  for (int row = 0; row < 4; ++row) {
    m[row] *= x;
    m[4 + row] *= y;
    m[8 + row] *= z;
  }
}

void sgl_es2_rotate(float m[16], float degrees, float x, float y, float z) {
  const double length = std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y +
                                  static_cast<double>(z) * z);
  if (!(length > 0.0)) return;
  const double ux = x / length;
  const double uy = y / length;
  const double uz = z / length;
  const double radians = degrees * 3.14159265358979323846 / 180.0;
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  const double t = 1.0 - c;
  // The rotation matrix of the glRotate reference page, column by column.
  const float r[16] = {static_cast<float>(ux * ux * t + c),
                       static_cast<float>(uy * ux * t + uz * s),
                       static_cast<float>(ux * uz * t - uy * s),
                       0.0f,
                       static_cast<float>(ux * uy * t - uz * s),
                       static_cast<float>(uy * uy * t + c),
                       static_cast<float>(uy * uz * t + ux * s),
                       0.0f,
                       static_cast<float>(ux * uz * t + uy * s),
                       static_cast<float>(uy * uz * t - ux * s),
                       static_cast<float>(uz * uz * t + c),
                       0.0f,
                       0.0f,
                       0.0f,
                       0.0f,
                       1.0f};
  sgl_es2_multiply(m, r, m);
}

bool sgl_es2_invert(const float m[16], double out[16]) {
  // Gauss-Jordan elimination with partial pivoting on [m | I].
  double a[4][8];
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      a[row][column] = element(m, row, column);
      a[row][4 + column] = row == column ? 1.0 : 0.0;
    }
  }
  for (int column = 0; column < 4; ++column) {
    int pivot = column;
    for (int row = column + 1; row < 4; ++row) {
      if (std::fabs(a[row][column]) > std::fabs(a[pivot][column])) pivot = row;
    }
    if (a[pivot][column] == 0.0) return false;
    if (pivot != column) {
      for (int k = 0; k < 8; ++k) {
        const double swap = a[column][k];
        a[column][k] = a[pivot][k];
        a[pivot][k] = swap;
      }
    }
    const double scale = 1.0 / a[column][column];
    for (int k = 0; k < 8; ++k) a[column][k] *= scale;
    for (int row = 0; row < 4; ++row) {
      if (row == column || a[row][column] == 0.0) continue;
      const double factor = a[row][column];
      for (int k = 0; k < 8; ++k) a[row][k] -= factor * a[column][k];
    }
  }
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) out[4 * column + row] = a[row][4 + column];
  }
  return true;
}

void sgl_es2_transform(const float m[16], float x, float y, float z, float w, float out[4]) {
  for (int row = 0; row < 4; ++row) {
    out[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row] * w;
  }
}

bool sgl_es2_plane_through(const double equation[4], const float m[16], double out[4]) {
  double inverse[16];
  if (!sgl_es2_invert(m, inverse)) return false;
  // The plane is a row vector: new plane = plane x inverse(m).
  double plane[4];
  for (int column = 0; column < 4; ++column) {
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) sum += equation[k] * inverse[4 * column + k];
    plane[column] = sum;
  }
  std::memcpy(out, plane, sizeof plane);
  return true;
}

// ---------------------------------------------------------------------------
// Cutting a segment
// ---------------------------------------------------------------------------
bool sgl_es2_clip_segment(const float* d0, const float* d1, uint32_t planes, float* t0, float* t1) {
  float low = 0.0f;
  float high = 1.0f;
  for (uint32_t k = 0; k < planes; ++k) {
    const float a = d0[k];
    const float b = d1[k];
    if (a >= 0.0f && b >= 0.0f) continue;
    if (a < 0.0f && b < 0.0f) return false;
    const float t = a / (a - b);  // where the distance is 0
    if (a < 0.0f) {
      if (t > low) low = t;
    } else if (t < high) {
      high = t;
    }
  }
  if (low > high) return false;
  *t0 = low;
  *t1 = high;
  return true;
}

// ---------------------------------------------------------------------------
// Lines and points
// ---------------------------------------------------------------------------
bool sgl_es2_smooth_line(float x0, float y0, float x1, float y1, float width,
                         sgl_es2_line_corner out_corners[4], float* out_half_width,
                         float* out_half_length) {
  const double dx = static_cast<double>(x1) - x0;
  const double dy = static_cast<double>(y1) - y0;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (!(length > 0.0)) return false;
  const double ux = dx / length;
  const double uy = dy / length;
  const double half_width = (width > 1.0f ? width : 1.0f) / 2.0;
  const double half_length = length / 2.0;
  // One pixel beyond where any coverage can be, so that every partly
  // covered pixel centre lies inside.
  const double across = half_width + 1.0;
  const double along = half_length + 1.0;
  const double mx = (static_cast<double>(x0) + x1) / 2.0;
  const double my = (static_cast<double>(y0) + y1) / 2.0;
  for (int k = 0; k < 4; ++k) {
    const double a = (k & 1) != 0 ? across : -across;  // left of the direction: +
    const double b = (k & 2) != 0 ? along : -along;
    out_corners[k].x = static_cast<float>(mx + ux * b - uy * a);
    out_corners[k].y = static_cast<float>(my + uy * b + ux * a);
    out_corners[k].across = static_cast<float>(a);
    out_corners[k].along = static_cast<float>(b);
  }
  *out_half_width = static_cast<float>(half_width);
  *out_half_length = static_cast<float>(half_length);
  return true;
}

bool sgl_es2_aliased_line(float x0, float y0, float x1, float y1, float width,
                          sgl_es2_line_corner out_corners[4]) {
  const float dx = x1 - x0;
  const float dy = y1 - y0;
  if (dx == 0.0f && dy == 0.0f) return false;
  float pixels = std::floor(width + 0.5f);
  if (pixels < 1.0f) pixels = 1.0f;
  const float half = pixels / 2.0f;
  // Mostly across: the width is measured up and down, else left and right;
  // "left of the direction" keeps the corner order of the smooth rectangle.
  const bool x_major = std::fabs(dx) >= std::fabs(dy);
  const float sign = x_major ? (dx > 0.0f ? 1.0f : -1.0f) : (dy > 0.0f ? 1.0f : -1.0f);
  const float ox = x_major ? 0.0f : -sign * half;
  const float oy = x_major ? sign * half : 0.0f;
  const float ends[2][2] = {{x0, y0}, {x1, y1}};
  for (int k = 0; k < 4; ++k) {
    const float* end = ends[k >> 1];
    const float s = (k & 1) != 0 ? 1.0f : -1.0f;
    out_corners[k] = {end[0] + s * ox, end[1] + s * oy, 0.0f, 0.0f};
  }
  return true;
}

void sgl_es2_point_square(float x, float y, float size, float out[4]) {
  float pixels = std::floor(size + 0.5f);
  if (pixels < 1.0f) pixels = 1.0f;
  // An odd square is centred on the pixel centre the point falls in, an
  // even one on the pixel corner nearest to it.
  const bool odd = std::fmod(pixels, 2.0f) == 1.0f;
  const float cx = odd ? std::floor(x) + 0.5f : std::floor(x + 0.5f);
  const float cy = odd ? std::floor(y) + 0.5f : std::floor(y + 0.5f);
  const float half = pixels / 2.0f;
  out[0] = cx - half;
  out[1] = cy - half;
  out[2] = cx + half;
  out[3] = cy + half;
}

// ---------------------------------------------------------------------------
// Primitives
// ---------------------------------------------------------------------------
uint32_t sgl_es2_triangle_count(uint32_t mode, uint32_t count) {
  switch (mode) {
    case kEs2GlTriangles:
      return count / 3;
    case kEs2GlTriangleStrip:
    case kEs2GlTriangleFan:
    case kEs2GlPolygon:
      return count >= 3 ? count - 2 : 0;
    case kEs2GlQuads:
      return count / 4 * 2;
    case kEs2GlQuadStrip:
      return count >= 4 ? (count / 2 - 1) * 2 : 0;
    default:
      return 0;
  }
}

void sgl_es2_triangle(uint32_t mode, uint32_t k, uint32_t out_vertices[3]) {
  uint32_t a = 0, b = 0, c = 0;
  switch (mode) {
    case kEs2GlTriangles:
      a = 3 * k, b = a + 1, c = a + 2;
      break;
    case kEs2GlTriangleStrip:
      // Every other triangle of a strip turns the other way; OpenGL swaps
      // its first two vertices so that all face the same side.
      a = (k & 1) == 0 ? k : k + 1, b = (k & 1) == 0 ? k + 1 : k, c = k + 2;
      break;
    case kEs2GlQuads: {
      const uint32_t q = 4 * (k / 2);
      a = q, b = (k & 1) == 0 ? q + 1 : q + 2, c = (k & 1) == 0 ? q + 2 : q + 3;
      break;
    }
    case kEs2GlQuadStrip: {
      // Quad j of a strip is 2j, 2j+1, 2j+3, 2j+2 around its edge.
      const uint32_t q = 2 * (k / 2);
      a = q, b = (k & 1) == 0 ? q + 1 : q + 3, c = (k & 1) == 0 ? q + 3 : q + 2;
      break;
    }
    default:  // fans and polygons
      a = 0, b = k + 1, c = k + 2;
      break;
  }
  out_vertices[0] = a;
  out_vertices[1] = b;
  out_vertices[2] = c;
}

uint32_t sgl_es2_segment_count(uint32_t mode, uint32_t count) {
  switch (mode) {
    case kEs2GlLines:
      return count / 2;
    case kEs2GlLineStrip:
      return count >= 2 ? count - 1 : 0;
    case kEs2GlLineLoop:
      return count >= 2 ? count : 0;
    default:
      return 0;
  }
}

void sgl_es2_segment(uint32_t mode, uint32_t count, uint32_t k, uint32_t* out_first,
                     uint32_t* out_second) {
  if (mode == kEs2GlLines) {
    *out_first = 2 * k;
    *out_second = 2 * k + 1;
  } else {
    *out_first = k;
    *out_second = k + 1 < count ? k + 1 : 0;  // the loop's closing segment
  }
}

void sgl_es2_texture_mask(uint32_t format, float out_mask[4]) {
  const bool colour = format != kGlAlpha;
  const bool alpha = format == kGlAlpha || format == kGlLuminanceAlpha ||
                     (format != kGlRgb && format != kGlLuminance);
  out_mask[0] = out_mask[1] = out_mask[2] = colour ? 1.0f : 0.0f;
  out_mask[3] = alpha ? 1.0f : 0.0f;
}
