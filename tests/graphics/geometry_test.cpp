// The drawing library's pure geometry: stipple dashes, point-in-polygon and
// ear clipping. Exact numbers, no OpenGL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "graphics/sgl_geometry.h"

namespace {

// The default stipple table's entry 3 (on 1, off 6).
const uint8_t kDot[6] = {1, 6, 0, 0, 0, 0};
const uint8_t kOnOff[6] = {1, 0, 0, 0, 0, 0};

struct Dashes {
  float xy[2 * 4096];
  uint32_t count = 0;
  sgl_stipple_position position{};
  bool Cut(const sgl_stipple_pattern& p, float ax, float ay, float bx, float by,
           uint32_t capacity = 4096) {
    return sgl_cut_dashes(&p, &position, ax, ay, bx, by, 1.0f, 1.0f, xy, &count, capacity);
  }
};

// A pattern that cannot advance is solid, one that never draws ends even on
// an endless segment, a full buffer keeps the dashes so far.
TEST(Dashes, DegeneratePatternsAndFullBuffersEnd) {
  const uint8_t zero[6] = {};
  for (const sgl_stipple_pattern& solid :
       {sgl_stipple_pattern{zero, kOnOff, 2}, {kDot, kOnOff, 0}}) {
    Dashes d;
    ASSERT_TRUE(d.Cut(solid, 0.0f, 0.0f, 10.0f, 0.0f));
    ASSERT_EQ(2u, d.count);
    EXPECT_EQ(10.0f, d.xy[2]);
  }
  for (float far : {1e30f, INFINITY}) {
    Dashes d;
    EXPECT_TRUE(d.Cut({kDot, zero, 2}, 0.0f, 0.0f, far, 0.0f)) << far;
    EXPECT_EQ(0u, d.count) << far;
  }
  Dashes endless;
  EXPECT_FALSE(endless.Cut({kDot, kOnOff, 2}, 0.0f, 0.0f, INFINITY, 0.0f));
  EXPECT_EQ(4094u, endless.count);
  Dashes small;
  EXPECT_FALSE(small.Cut({kDot, kOnOff, 2}, 0.0f, 0.0f, 69.0f, 0.0f, 6));
  EXPECT_EQ(4u, small.count);
}

const float kSquare[] = {0, 0, 10, 0, 10, 10, 0, 10};
// An L: the notch is the square (5..10, 5..10).
const float kL[] = {0, 0, 10, 0, 10, 5, 5, 5, 5, 10, 0, 10};

TEST(PointInShape, EvenOddWithVertexAndEdgeRules) {
  const struct {
    const float* shape;
    uint32_t n;
    float x, y;
    bool inside;
  } cases[] = {
      {kSquare, 4, 5.0f, 5.0f, true},   {kSquare, 4, 15.0f, 5.0f, false},
      {kSquare, 4, 0.0f, 0.0f, true},   {kSquare, 4, 5.0f, 0.0f, true},  // a vertex; a ray raised
      {kSquare, 4, 5.0f, 10.0f, false}, {kL, 6, 2.0f, 8.0f, true},
      {kL, 6, 7.5f, 7.5f, false},       {kL, 6, 2.0f, 5.0f, true},  // at the notch's height
      {kL, 6, 7.0f, 5.0f, false},       {kSquare, 0, 0.0f, 0.0f, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.inside, mth_point_in_shape(c.x, c.y, c.n, c.shape)) << c.x << "," << c.y;
  }
}

double shoelace(const float* xy, uint32_t n) {
  double twice = 0.0;
  for (uint32_t k = 0; k < n; ++k) {
    const uint32_t j = (k + 1) % n;
    twice += static_cast<double>(xy[2 * k]) * xy[2 * j + 1] -
             static_cast<double>(xy[2 * j]) * xy[2 * k + 1];
  }
  return std::fabs(twice) / 2.0;
}

using Points = std::vector<float>;

// n points on a circle around (640, 384), radius from `radius(k)`, visited
// `step` positions apart (step 1: a simple outline).
template <typename Radius>
Points Ring(uint32_t n, uint32_t step, Radius radius) {
  Points p;
  for (uint32_t k = 0; k < n; ++k) {
    const double a = 2.0 * M_PI * static_cast<double>((k * step) % n) / n, r = radius(k);
    p.push_back(static_cast<float>(640.0 + r * std::cos(a)));
    p.push_back(static_cast<float>(384.0 + r * std::sin(a)));
  }
  return p;
}

// A comb of `teeth` teeth 5 wide with gaps of 5, 20 high on a 5-high back.
Points Comb(uint32_t teeth) {
  Points p = {0, 0, static_cast<float>(10 * teeth - 5), 0};
  for (uint32_t t = teeth; t-- > 0;) {
    const float right = static_cast<float>(10 * t + 5), left = static_cast<float>(10 * t);
    p.insert(p.end(), {right, 25, left, 25});
    if (t > 0) p.insert(p.end(), {left, 5, left - 5, 5});
  }
  return p;
}

// An ear: no other vertex in the triangle at i, its base's midpoint inside.
bool IsEar(const Points& xy, uint32_t n, uint32_t i) {
  const uint32_t a = (i + n - 1) % n, b = (i + 1) % n;
  const float t[6] = {xy[2 * a], xy[2 * a + 1], xy[2 * i], xy[2 * i + 1], xy[2 * b], xy[2 * b + 1]};
  for (uint32_t k = 0; k < n; ++k) {
    if (k != a && k != i && k != b && mth_point_in_shape(xy[2 * k], xy[2 * k + 1], 3, t)) {
      return false;
    }
  }
  return mth_point_in_shape((t[0] + t[4]) / 2, (t[1] + t[5]) / 2, n, xy.data());
}

// The clipper's rule, asked afresh every time: the first ear, else vertex 0.
std::vector<float> ClipByFirstEars(Points xy) {
  std::vector<float> out;
  uint32_t n = static_cast<uint32_t>(xy.size() / 2);
  auto take = [&](uint32_t i) {
    for (uint32_t v : {(i + n - 1) % n, i, (i + 1) % n}) {
      out.push_back(xy[2 * v]);
      out.push_back(xy[2 * v + 1]);
    }
  };
  for (; n > 3; --n) {
    uint32_t ear = 0;
    while (ear < n && !IsEar(xy, n, ear)) ++ear;
    if (ear == n) ear = 0;
    take(ear);
    xy.erase(xy.begin() + 2 * ear, xy.begin() + 2 * ear + 2);
  }
  take(1);
  return out;
}

std::vector<float> Clip(Points xy, uint32_t capacity = 4096) {
  uint32_t n = static_cast<uint32_t>(xy.size() / 2), count = 0;
  std::vector<float> triangles(6 * capacity);
  const uint32_t yielded =
      sgl_ear_clip(xy.data(), nullptr, &n, triangles.data(), nullptr, &count, capacity);
  EXPECT_EQ(xy.size() / 2 - 2, yielded);
  EXPECT_EQ(0u, n);
  triangles.resize(6 * count);
  return triangles;
}

// Simple outlines: every step finds an ear.
TEST(EarClip, FixturePolygonsKeepTheirAreaAndTheFirstEarRule) {
  uint32_t seed = 12345;
  auto jitter = [&seed](uint32_t) {  // a fixed pseudo-random radius in 100..300
    seed = seed * 1103515245u + 12345u;
    return 100.0 + (seed >> 16) % 200;
  };
  const struct {
    const char* name;
    Points points;
  } fixtures[] = {
      {"L counter-clockwise", {0, 0, 10, 0, 10, 5, 5, 5, 5, 10, 0, 10}},
      {"notch first", {5, 5, 5, 10, 0, 10, 0, 0, 10, 0, 10, 5}},
      {"collinear edge", {0, 0, 5, 0, 10, 0, 10, 10, 0, 10}},
      {"arrow", {0, 4, 10, 4, 10, 0, 16, 6, 10, 12, 10, 8, 0, 8}},
      {"comb of 40 teeth", Comb(40)},
      {"star of 300", Ring(300, 1, [](uint32_t k) { return k % 2 ? 300.0 : 150.0; })},
      {"jagged ring of 500", Ring(500, 1, jitter)},
  };
  for (const auto& f : fixtures) {
    SCOPED_TRACE(f.name);
    const uint32_t n = static_cast<uint32_t>(f.points.size() / 2);
    const std::vector<float> triangles = Clip(f.points);
    ASSERT_EQ(6 * (n - 2), triangles.size());
    double area = 0.0;
    for (size_t t = 0; t < triangles.size(); t += 6) {
      const float* tri = &triangles[t];
      area += shoelace(tri, 3);
      EXPECT_TRUE(mth_point_in_shape((tri[0] + tri[2] + tri[4]) / 3.0f,
                                     (tri[1] + tri[3] + tri[5]) / 3.0f, n, f.points.data()))
          << "triangle " << t / 6 << " lies outside";
    }
    EXPECT_NEAR(shoelace(f.points.data(), n), area, 1e-6 * shoelace(f.points.data(), n));
    EXPECT_EQ(ClipByFirstEars(f.points), triangles);
  }
}

// Self-crossing outlines follow the same rule; a 4096-point star without any
// ear still ends, with n - 2 triangles of its own points.
TEST(EarClip, SelfIntersectingOutlinesEndWithBoundedOutput) {
  Points scribble;  // 300 fixed pseudo-random points: ears come and go
  for (uint32_t k = 0, seed = 7; k < 600; ++k) {
    seed = seed * 1103515245u + 12345u;
    scribble.push_back(static_cast<float>((seed >> 16) % 700));
  }
  Points teeth;  // 64 teeth on one baseline, each foot on the next one's
  for (uint32_t t = 0; t < 64; ++t) {
    const float x = 10.0f * static_cast<float>(t);
    teeth.insert(teeth.end(), {x, 5, x + 2, 100, x + 7, 100, x + 10, 5});
  }
  for (const Points& outline : {Points{0, 0, 10, 10, 10, 0, 0, 10}, scribble, teeth}) {
    EXPECT_EQ(ClipByFirstEars(outline), Clip(outline)) << outline.size() / 2 << " points";
  }
  const Points star = Ring(4096, 2047, [](uint32_t) { return 300.0; });
  const std::vector<float> triangles = Clip(star);
  ASSERT_EQ(6u * 4094, triangles.size());
  std::set<std::pair<float, float>> corners;
  for (size_t k = 0; k < star.size(); k += 2) corners.insert({star[k], star[k + 1]});
  size_t strangers = 0;
  for (size_t k = 0; k < triangles.size(); k += 2)
    strangers += corners.count({triangles[k], triangles[k + 1]}) == 0;
  EXPECT_EQ(0u, strangers);
}

// A full list keeps the triangles that fit.
TEST(EarClip, AFullListDropsTheRest) {
  const Points l(kL, kL + 12);
  const std::vector<float> all = ClipByFirstEars(l);
  EXPECT_EQ(std::vector<float>(all.begin(), all.begin() + 12), Clip(l, 2));
}

}  // namespace
