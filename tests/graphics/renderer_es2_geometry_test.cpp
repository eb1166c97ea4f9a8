// The ES 2 renderer's plain numbers, against what OpenGL 1.x does: the
// matrices of glTranslate, glScale and glRotate, clip planes carried into eye
// coordinates, segments cut by half-spaces, the rectangles of lines and
// points llvmpipe covers, and the triangles of every primitive.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graphics/sgl_renderer_es2_internal.h"

namespace {

void expect_point(const float m[16], float x, float y, float ex, float ey) {
  float out[4];
  sgl_es2_transform(m, x, y, 0.0f, 1.0f, out);
  EXPECT_NEAR(ex, out[0], 1e-4f) << "x of (" << x << ", " << y << ")";
  EXPECT_NEAR(ey, out[1], 1e-4f) << "y of (" << x << ", " << y << ")";
}

// --------------------------------------------------------------- matrices

TEST(Es2Matrices, TransformationsComposeAsOpenGlDoes) {
  // glTranslate then glRotate: the rotation acts first on the vertex.
  float m[16];
  sgl_es2_identity(m);
  sgl_es2_translate(m, 100.0f, 50.0f, 0.0f);
  sgl_es2_rotate(m, 90.0f, 0.0f, 0.0f, 1.0f);
  expect_point(m, 10.0f, 0.0f, 100.0f, 60.0f);
  sgl_es2_scale(m, 2.0f, 3.0f, 1.0f);
  expect_point(m, 10.0f, 1.0f, 97.0f, 70.0f);
  // An axis of any length is a direction; no axis leaves the matrix alone.
  float a[16], b[16];
  sgl_es2_identity(a);
  sgl_es2_identity(b);
  sgl_es2_rotate(a, 30.0f, 0.0f, 0.0f, 5.0f);
  sgl_es2_rotate(b, 30.0f, 0.0f, 0.0f, 1.0f);
  for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(b[k], a[k]) << k;
  sgl_es2_rotate(a, 45.0f, 0.0f, 0.0f, 0.0f);
  for (int k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(b[k], a[k]) << k;
}

TEST(Es2Matrices, InverseUndoesAndSingularIsRefused) {
  struct Row {
    const char* name;
    float degrees, sx, sy, tx, ty;
  };
  const Row rows[] = {{"identity", 0, 1, 1, 0, 0},
                      {"ortho of the display", 0, 2.0f / 1280, 2.0f / 768, -1, -1},
                      {"turned and stretched", 33, 1.5f, 0.25f, 640, 384}};
  for (const Row& row : rows) {
    float m[16];
    sgl_es2_identity(m);
    sgl_es2_translate(m, row.tx, row.ty, 0.0f);
    sgl_es2_rotate(m, row.degrees, 0.0f, 0.0f, 1.0f);
    sgl_es2_scale(m, row.sx, row.sy, 1.0f);
    double inverse[16];
    ASSERT_TRUE(sgl_es2_invert(m, inverse)) << row.name;
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) {
        double sum = 0.0;
        for (int k = 0; k < 4; ++k) sum += m[4 * k + r] * inverse[4 * c + k];
        EXPECT_NEAR(r == c ? 1.0 : 0.0, sum, 1e-6) << row.name << " (" << r << ", " << c << ")";
      }
    }
  }
  float flat[16];
  sgl_es2_identity(flat);
  sgl_es2_scale(flat, 1.0f, 0.0f, 1.0f);
  double untouched[16] = {7.0};
  EXPECT_FALSE(sgl_es2_invert(flat, untouched));
  EXPECT_EQ(7.0, untouched[0]);
}

TEST(Es2Matrices, ClipPlaneFollowsTheModelViewOfItsMoment) {
  // x >= 1 given while the model-view moves by (5, 0): in eye coordinates
  // the plane is x >= 6, as glClipPlane keeps it.
  float m[16];
  sgl_es2_identity(m);
  sgl_es2_translate(m, 5.0f, 0.0f, 0.0f);
  const double x_at_least_1[4] = {1.0, 0.0, 0.0, -1.0};
  double eye[4];
  ASSERT_TRUE(sgl_es2_plane_through(x_at_least_1, m, eye));
  EXPECT_DOUBLE_EQ(1.0, eye[0]);
  EXPECT_DOUBLE_EQ(-6.0, eye[3]);
  // Turned a quarter: x >= 1 becomes y >= 1.
  sgl_es2_identity(m);
  sgl_es2_rotate(m, 90.0f, 0.0f, 0.0f, 1.0f);
  ASSERT_TRUE(sgl_es2_plane_through(x_at_least_1, m, eye));
  EXPECT_NEAR(0.0, eye[0], 1e-7);
  EXPECT_NEAR(1.0, eye[1], 1e-7);
  EXPECT_NEAR(-1.0, eye[3], 1e-7);
}

// --------------------------------------------------------------- segments cut by planes

TEST(Es2ClipSegment, KeepsThePartOnEveryPlanesSide) {
  struct Row {
    const char* name;
    std::vector<float> d0, d1;
    bool kept;
    float t0, t1;
  };
  const Row rows[] = {
      {"inside all", {1, 2}, {3, 4}, true, 0, 1},
      {"outside one", {1, -2}, {3, -1}, false, 0, 0},
      {"enters a quarter in", {-1}, {3}, true, 0.25f, 1},
      {"leaves at three quarters", {3}, {-1}, true, 0, 0.75f},
      {"two planes narrow it", {-1, 4}, {3, -4}, true, 0.25f, 0.5f},
      {"planes that leave nothing", {-3, 1}, {1, -3}, false, 0, 0},
      {"touching counts as inside", {0}, {2}, true, 0, 1},
  };
  for (const Row& row : rows) {
    float t0 = -1.0f, t1 = -1.0f;
    ASSERT_EQ(row.d0.size(), row.d1.size());
    EXPECT_EQ(row.kept, sgl_es2_clip_segment(row.d0.data(), row.d1.data(),
                                             static_cast<uint32_t>(row.d0.size()), &t0, &t1))
        << row.name;
    if (!row.kept) continue;
    EXPECT_FLOAT_EQ(row.t0, t0) << row.name;
    EXPECT_FLOAT_EQ(row.t1, t1) << row.name;
  }
}

// --------------------------------------------------------------- lines and points

TEST(Es2Lines, SmoothRectangleCoversOnePixelBeyondTheBoxFilters) {
  struct Row {
    const char* name;
    float x0, y0, x1, y1, width;
    float half_width, half_length;
    float corner0_x, corner0_y, corner3_x, corner3_y;  // first end right, second end left
  };
  const Row rows[] = {
      {"to the right, one wide", 10, 10.5f, 30, 10.5f, 1, 0.5f, 10, 9, 9, 31, 12},
      {"thinner than a pixel is one pixel", 10, 10.5f, 30, 10.5f, 0.3f, 0.5f, 10, 9, 9, 31, 12},
      {"upwards, three wide", 5, 0, 5, 8, 3, 1.5f, 4, 7.5f, -1, 2.5f, 9},
      {"down and left", 30, 20, 10, 20, 2, 1, 10, 31, 22, 9, 18},
  };
  for (const Row& row : rows) {
    sgl_es2_line_corner c[4];
    float half_width = 0, half_length = 0;
    ASSERT_TRUE(sgl_es2_smooth_line(row.x0, row.y0, row.x1, row.y1, row.width, c, &half_width,
                                    &half_length))
        << row.name;
    EXPECT_FLOAT_EQ(row.half_width, half_width) << row.name;
    EXPECT_FLOAT_EQ(row.half_length, half_length) << row.name;
    EXPECT_FLOAT_EQ(row.corner0_x, c[0].x) << row.name;
    EXPECT_FLOAT_EQ(row.corner0_y, c[0].y) << row.name;
    EXPECT_FLOAT_EQ(row.corner3_x, c[3].x) << row.name;
    EXPECT_FLOAT_EQ(row.corner3_y, c[3].y) << row.name;
    // The distances the shader interpolates: across and along from the middle.
    EXPECT_FLOAT_EQ(-(half_width + 1), c[0].across) << row.name;
    EXPECT_FLOAT_EQ(half_width + 1, c[3].across) << row.name;
    EXPECT_FLOAT_EQ(-(half_length + 1), c[1].along) << row.name;
    EXPECT_FLOAT_EQ(half_length + 1, c[2].along) << row.name;
  }
  sgl_es2_line_corner c[4];
  float h = 0, l = 0;
  EXPECT_FALSE(sgl_es2_smooth_line(3, 4, 3, 4, 2, c, &h, &l)) << "no length covers nothing";
}

TEST(Es2Lines, AliasedRectangleIsMeasuredUpOrAcross) {
  sgl_es2_line_corner c[4];
  // Mostly across: three pixels high, the ends where they are.
  ASSERT_TRUE(sgl_es2_aliased_line(0, 10, 20, 14, 3.2f, c));
  EXPECT_FLOAT_EQ(0, c[0].x);
  EXPECT_FLOAT_EQ(8.5f, c[0].y);
  EXPECT_FLOAT_EQ(20, c[3].x);
  EXPECT_FLOAT_EQ(15.5f, c[3].y);
  // Mostly up: two pixels wide (2.4 rounds to 2), the left corner to the left.
  ASSERT_TRUE(sgl_es2_aliased_line(10, 0, 12, 30, 2.4f, c));
  EXPECT_FLOAT_EQ(11, c[0].x);
  EXPECT_FLOAT_EQ(9, c[1].x);
  EXPECT_FLOAT_EQ(30, c[3].y);
  EXPECT_FALSE(sgl_es2_aliased_line(1, 1, 1, 1, 1, c));
}

TEST(Es2Points, SquaresAsLlvmpipeRasterisesThem) {
  // Measured on Mesa's llvmpipe with glPointSize and GL_POINTS: the pixels
  // set, as x0, y0 (first pixel) and x1, y1 (one past the last).
  struct Row {
    float x, y, size;
    float x0, y0, x1, y1;
  };
  const Row rows[] = {
      {46.8254f, 17.0913f, 1.01427f, 46, 17, 47, 18},
      {25.6861f, 27.9525f, 1.37696f, 25, 27, 26, 28},
      {31.2612f, 16.3573f, 3.72316f, 29, 14, 33, 18},
      {23.299f, 37.9344f, 0.561236f, 23, 37, 24, 38},
      {20.875f, 18.0261f, 1.52556f, 20, 17, 22, 19},
      {25.037f, 21.8615f, 2.70972f, 24, 20, 27, 23},
      {44.869f, 19.5324f, 1.94155f, 44, 19, 46, 21},
      {12.3312f, 27.8212f, 2.52071f, 11, 26, 14, 29},
  };
  for (const Row& row : rows) {
    float square[4];
    sgl_es2_point_square(row.x, row.y, row.size, square);
    EXPECT_FLOAT_EQ(row.x0, square[0]) << row.x << ", " << row.y << " size " << row.size;
    EXPECT_FLOAT_EQ(row.y0, square[1]) << row.x << ", " << row.y << " size " << row.size;
    EXPECT_FLOAT_EQ(row.x1, square[2]) << row.x << ", " << row.y << " size " << row.size;
    EXPECT_FLOAT_EQ(row.y1, square[3]) << row.x << ", " << row.y << " size " << row.size;
  }
}

// --------------------------------------------------------------- primitives

// Twice the signed area of triangle (a, b, c) of the points.
float twice_area(const std::vector<float>& xy, const uint32_t t[3]) {
  const float* a = &xy[2 * t[0]];
  const float* b = &xy[2 * t[1]];
  const float* c = &xy[2 * t[2]];
  return (b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1]);
}

TEST(Es2Primitives, TrianglesCoverThePrimitiveFacingOneWay) {
  // Every triangle of a primitive must face the way its first one does (a
  // strip's every other triangle is turned back) and together they must
  // cover the fixture's area exactly once.
  struct Row {
    const char* name;
    uint32_t mode;
    std::vector<float> xy;
    uint32_t triangles;
    float area;
  };
  const std::vector<float> hexagon = {2, 0, 4, 1, 4, 3, 2, 4, 0, 3, 0, 1};
  const Row rows[] = {
      {"fan", kEs2GlTriangleFan, hexagon, 4, 12},
      {"polygon", kEs2GlPolygon, hexagon, 4, 12},
      {"two triangles and a stray vertex",
       kEs2GlTriangles,
       {0, 0, 1, 0, 0, 1, 5, 5, 6, 5, 5, 6, 9, 9},
       2,
       1},
      {"strip", kEs2GlTriangleStrip, {0, 0, 2, 0, 0, 2, 2, 2, 0, 4, 2, 4}, 4, 8},
      {"quads", kEs2GlQuads, {0, 0, 3, 0, 3, 2, 0, 2, 5, 0, 6, 0, 6, 1, 5, 1}, 4, 7},
      {"quad strip", kEs2GlQuadStrip, {0, 0, 0, 2, 3, 0, 3, 2, 5, 0, 5, 2}, 4, 10},
      {"too few", kEs2GlTriangleFan, {0, 0, 1, 1}, 0, 0},
  };
  for (const Row& row : rows) {
    const uint32_t count = static_cast<uint32_t>(row.xy.size() / 2);
    ASSERT_EQ(row.triangles, sgl_es2_triangle_count(row.mode, count)) << row.name;
    float area = 0.0f;
    float first = 0.0f;
    for (uint32_t k = 0; k < row.triangles; ++k) {
      uint32_t t[3];
      sgl_es2_triangle(row.mode, k, t);
      for (uint32_t v : t) ASSERT_LT(v, count) << row.name << " triangle " << k;
      const float a = twice_area(row.xy, t);
      if (k == 0) first = a;
      EXPECT_GT(a * first, 0.0f) << row.name << " triangle " << k << " faces the other way";
      area += std::fabs(a) / 2.0f;
    }
    EXPECT_FLOAT_EQ(row.area, area) << row.name;
  }
}

TEST(Es2Primitives, SegmentsOfEveryLineMode) {
  struct Row {
    const char* name;
    uint32_t mode, count;
    std::vector<uint32_t> pairs;
  };
  const Row rows[] = {
      {"pairs, the odd one out dropped", kEs2GlLines, 5, {0, 1, 2, 3}},
      {"strip", kEs2GlLineStrip, 4, {0, 1, 1, 2, 2, 3}},
      {"loop closes", kEs2GlLineLoop, 3, {0, 1, 1, 2, 2, 0}},
      {"loop of two goes there and back", kEs2GlLineLoop, 2, {0, 1, 1, 0}},
      {"one vertex draws nothing", kEs2GlLineStrip, 1, {}},
  };
  for (const Row& row : rows) {
    const uint32_t n = sgl_es2_segment_count(row.mode, row.count);
    ASSERT_EQ(row.pairs.size() / 2, n) << row.name;
    for (uint32_t k = 0; k < n; ++k) {
      uint32_t a = 0, b = 0;
      sgl_es2_segment(row.mode, row.count, k, &a, &b);
      EXPECT_EQ(row.pairs[2 * k], a) << row.name << " segment " << k;
      EXPECT_EQ(row.pairs[2 * k + 1], b) << row.name << " segment " << k;
    }
  }
}

TEST(Es2Primitives, TextureEnvironmentByImageFormat) {
  // What the texel decides: an alpha image only the alpha, RGB and
  // luminance only the colour, RGBA and luminance-alpha both.
  struct Row {
    const char* name;
    uint32_t format;
    float mask[4];
  };
  const Row rows[] = {{"alpha", 0x1906, {0, 0, 0, 1}},
                      {"rgb", 0x1907, {1, 1, 1, 0}},
                      {"rgba", 0x1908, {1, 1, 1, 1}},
                      {"luminance", 0x1909, {1, 1, 1, 0}},
                      {"luminance alpha", 0x190A, {1, 1, 1, 1}}};
  for (const Row& row : rows) {
    float mask[4];
    sgl_es2_texture_mask(row.format, mask);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(row.mask[c], mask[c]) << row.name << " channel " << c;
  }
}

}  // namespace
