// Lines and filled shapes: the strands OpenGL is given, flat caps, halos,
// dashes, the vertex buffer's limit; concave fills, smoothed outlines, mask
// mode and alpha textures.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "graphics/sgl.h"
#include "tests/graphics/gl_feedback.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ClearDisplay;
using velkor_test::CountCoveredPixels;
using velkor_test::ErrorList;
using velkor_test::Fed;
using velkor_test::Feed;
using velkor_test::FirstCoveredX;
using velkor_test::ReadPixel;
using velkor_test::TakeErrors;

// Entries: 0 thin (h = 0.6), 1 two-pixel smoothed core, 2 eight pixels
// (h = 4), 3 plain 4 (h = 2), 4 plain 1 with a wide outer halo.
const float kWidths[5][3] = {{1.2f, 1.5f, 3}, {2, 2, 4}, {8, 8, 8}, {4, 4, 4}, {1, 2, 8}};

class LinesTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    velkor_test::SglTest::SetUp();
    velkor_test::InstallLineTestTables(&kWidths[0][0], 5);
  }

  static void Strip(const std::vector<float>& xy, uint8_t mode = SGL_PRIMITIVE_LINE_STRIP) {
    sglBegin(mode);
    for (size_t k = 0; k + 1 < xy.size(); k += 2) sglVertex2f(xy[k], xy[k + 1]);
    sglEnd();
  }
  static float GlLineWidth() {
    float width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    return width;
  }
};

using ShapesTest = LinesTest;

TEST_F(LinesTest, StrandsPerSegmentFollowTheWidthEntryAndTheMode) {
  const struct {
    int32_t width;
    uint8_t smoothing, mode;
    uint32_t strands;  // OpenGL segments for the whole primitive
    float gl_width;
  } cases[] = {
      {0, 0, 11, 2 * 1, 1.2f},  // h = 0.6: one strand as wide as the line
      {1, 1, 11, 2 * 4, 2.0f},  // smoothed: core h = 1 (1 strand) and halo g = 2 (3)
      {3, 0, 11, 2 * 3, 2.0f},  // h = 2
      {2, 0, 11, 2 * 7, 2.0f},  // h = 4
      {3, 0, 3, 3 * 3, 2.0f},   // a loop draws its closing segment
      {3, 0, 9, 1 * 3, 2.0f},   // separate segments: one pair of the three vertices
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "width " << c.width << " mode " << int{c.mode});
    sglIndexLineWidthi(c.width);
    c.smoothing ? sglEnable(SGL_LINE_SMOOTH) : sglDisable(SGL_LINE_SMOOTH);
    const Fed fed = Feed([&] { Strip({100.5f, 100.5f, 300.5f, 100.5f, 300.5f, 300.5f}, c.mode); });
    EXPECT_EQ(c.strands, fed.lines);
    EXPECT_EQ(c.gl_width, GlLineWidth());
  }
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

TEST_F(LinesTest, FlatCapsGiveFlatFreeEndsAndARoundJoint) {
  sglIndexLineWidthi(2);
  sglSetLineCaps(0);
  Strip({200.0f, 300.0f, 400.0f, 300.0f, 400.0f, 500.0f});
  // Every row (column) of a free end stops at the same place.
  const int start = FirstCoveredX(300, 180, 210, 64);
  const int top = CountCoveredPixels(400, 500, 1, 10, 64);
  for (int k = -3; k <= 3; ++k) {
    EXPECT_EQ(start, FirstCoveredX(300 + k, 180, 210, 64)) << "row " << 300 + k;
    EXPECT_EQ(top, CountCoveredPixels(400 + k, 500, 1, 10, 64)) << "column " << 400 + k;
  }
  // The joint stays round: the elbow is filled, its outer corner left open.
  EXPECT_GT(ReadPixel(402, 298).r, 128);
  EXPECT_LT(ReadPixel(403, 296).r, 128);
}

// The halo lies under the line, also with the depth test; none without smoothing.
TEST_F(LinesTest, HaloUnderTheLineEvenWithTheDepthTest) {
  sglIndexLineWidthi(4);  // core 2, halo 8
  sglIndexHaloColori(velkor_test::kRed);
  sglIndexColori(velkor_test::kGreen);
  sglEnable(SGL_DEPTH_TEST);
  sglEnable(SGL_LINE_SMOOTH);
  Strip({100.0f, 400.0f, 300.0f, 400.0f});
  EXPECT_EQ(255, ReadPixel(200, 400).g);
  EXPECT_EQ(255, ReadPixel(200, 402).r);
  sglDisable(SGL_LINE_SMOOTH);
  Strip({100.0f, 300.0f, 300.0f, 300.0f});
  EXPECT_EQ(0, ReadPixel(200, 302).r);
}

// OpenGL is given the ends of every dash. Each primitive follows one that
// ended mid-pattern, so each also shows the pattern starting afresh.
TEST_F(LinesTest, DashesCarryAcrossCornersScaleAndCloseLoops) {
  // Drawn for real, the dots (on 1, off 6) light their pixels and leave the gaps dark.
  sglIndexLineStipplei(3);
  Strip({100, 400.5f, 169, 400.5f});
  for (int k = 0; k < 10; ++k) {
    EXPECT_GT(ReadPixel(100 + 7 * k, 400).r, 128) << "dash " << k;
    EXPECT_EQ(0, ReadPixel(103 + 7 * k, 400).r) << "gap " << k;
  }
  sglSetRenderMode(0);
  // `probes`: vertex index, x, y.
  auto expect_dashes = [](float scale, uint8_t mode, const std::vector<float>& xy,
                          uint32_t vertices, const std::vector<float>& probes) {
    sglPushMatrix();
    sglScalef(scale, scale);
    const Fed fed = Feed([&] { Strip(xy, mode); });
    sglPopMatrix();
    ASSERT_EQ(vertices, fed.StripSize());
    for (size_t p = 0; p < probes.size(); p += 3) {
      const uint32_t k = static_cast<uint32_t>(probes[p]);
      EXPECT_NEAR(probes[p + 1], fed.x(k), 1e-3f) << "vertex " << k;
      EXPECT_NEAR(probes[p + 2], fed.y(k), 1e-3f) << "vertex " << k;
    }
  };
  // Ten dots along x, then up the corner one pixel of the gap is left.
  expect_dashes(
      1, 11, {100, 400.5f, 169, 400.5f, 169, 420}, 26,
      {0, 100, 400.5f, 1, 101, 400.5f, 18, 163, 400.5f, 20, 169, 401.5f, 24, 169, 415.5f});
  // Measured before scaling: 34.5 units give the dots of a 34.5-pixel line, twice as long.
  expect_dashes(2, 11, {50, 50.25f, 84.5f, 50.25f}, 10, {8, 156, 100.5f, 9, 158, 100.5f});
  // On 12, off 12: sides of 60 and a closing diagonal of 84.9 take three, two and four dashes.
  sglIndexLineStipplei(1);
  const float diagonal_end = 84.0f * 0.70710678f;
  expect_dashes(1, SGL_PRIMITIVE_LINE_LOOP, {100, 100.5f, 160, 100.5f, 160, 160.5f}, 18,
                {17, 160.0f - diagonal_end, 160.5f - diagonal_end});
  // A first segment that falls in a gap must not lose the next one.
  static const sgl_line_stipple kGapFirst[1] = {{{10, 10, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0}, 0, 2}};
  sglLineStipplePointer(kGapFirst, 1);
  sglIndexLineStipplei(0);
  expect_dashes(1, 11, {100, 100.5f, 105, 100.5f, 130, 100.5f}, 2,
                {0, 110, 100.5f, 1, 120, 100.5f});
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

TEST_F(LinesTest, VerticesBeyondTheBufferAreDroppedWithError20) {
  std::vector<float> xy;
  for (uint32_t k = 0; k < SGL_VERTEX_BUFFER_SIZE + 3; ++k)
    xy.insert(xy.end(), {100.0f + k % 2, 100.0f + k * 0.1f});
  sglSetRenderMode(0);
  EXPECT_EQ(SGL_VERTEX_BUFFER_SIZE, Feed([&] { Strip(xy); }).StripSize());
  EXPECT_EQ(ErrorList(3, {SGL_ERROR_VERTEX_BUFFER_FULL, 0}), TakeErrors());
}

// An L of 30000 pixels whose notch is the square (200..300, 200..300). The
// first vertex is the notch's lower-right corner, so that a fan from it
// sweeps over the notch.
TEST_F(ShapesTest, ConcaveLLeavesItsNotchEmptyOnlyWithCapability58) {
  const std::vector<float> l = {300, 200, 200, 200, 200, 300, 100, 300, 100, 100, 300, 100};
  sglEnable(SGL_TESSELLATION);
  Strip(l, SGL_PRIMITIVE_POLYGON);
  EXPECT_EQ(30000, CountCoveredPixels(100, 100, 200, 200));
  EXPECT_EQ(0, CountCoveredPixels(200, 200, 100, 100)) << "the notch stays empty";

  ClearDisplay();
  sglDisable(SGL_TESSELLATION);
  Strip(l, SGL_PRIMITIVE_POLYGON);
  // The fan's first triangle (300,200) (200,200) (200,300) lies in the notch.
  EXPECT_EQ(255, ReadPixel(220, 220).r);
  EXPECT_EQ(0, ReadPixel(280, 280).r);
}

TEST_F(ShapesTest, OpaqueFillGetsAThinSmoothedOutline) {
  const struct {
    bool smooth;
    uint32_t transparency;
    bool tessellate, outline;
  } cases[] = {{false, 255, false, false},
               {true, 255, false, true},
               {true, 255, true, true},
               {true, 200, false, false}};  // translucent fills keep a plain edge
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.smooth << " " << c.transparency << " " << c.tessellate);
    ClearDisplay();
    c.smooth ? sglEnable(SGL_POLYGON_SMOOTH) : sglDisable(SGL_POLYGON_SMOOTH);
    c.tessellate ? sglEnable(SGL_TESSELLATION) : sglDisable(SGL_TESSELLATION);
    sglTransparency8(c.transparency);
    // A triangle of 30000 pixels: its slanted edge is where an outline shows.
    Strip({100, 100, 400, 100, 100, 300}, SGL_PRIMITIVE_POLYGON);
    EXPECT_EQ(c.outline, CountCoveredPixels(90, 90, 320, 220) > 30000 + 300);
  }
  // The outline borrowed the default width table and gave this one back.
  EXPECT_EQ(&kWidths[0][0], Context().line_width_table);
  EXPECT_EQ(5u, Context().line_width_count);
}

// Mode 4 defines mask bit 4 afresh: a bit left from an earlier use is emptied.
TEST_F(ShapesTest, MaskModeDrawsIntoItsEmptiedStencilBitOnly) {
  glStencilMask(4);
  glClearStencil(4);
  glClear(GL_STENCIL_BUFFER_BIT);
  Strip({100, 100, 200, 100, 200, 200, 100, 200}, 4);
  EXPECT_EQ(0, CountCoveredPixels(0, 0, 400, 400)) << "nothing reaches the colour buffer";
  EXPECT_EQ(4, velkor_test::ReadStencil(150, 150));
  EXPECT_EQ(0, velkor_test::ReadStencil(250, 150));
  EXPECT_EQ(0u, Context().clipping.mask_under_definition);
  EXPECT_EQ(4u, Context().clipping.allocated_masks);
  velkor_test::FillQuad(300, 300, 310, 310);
  EXPECT_EQ(100, CountCoveredPixels(290, 290, 30, 30)) << "colour drawing works again";
}

TEST_F(ShapesTest, AlphaTextureWithoutModulationSkipsTheFill) {
  sgl_type_statemachine& c = Context();
  c.texture_table[0].format = 7;
  c.texture_table[0].loaded = 1;
  c.texture.current_texture = 0;
  sglEnable(SGL_TEXTURE_FILL);
  velkor_test::FillQuad(100, 100, 200, 200);
  sglBeginPath(2);
  EXPECT_EQ(0u, c.path.kind) << "a fill path is ignored as well";
  EXPECT_EQ(0, CountCoveredPixels(90, 90, 120, 120));
  // Modulating, the texture tints the colour: the fill is drawn.
  sglEnable(SGL_TEXTURE_MODULATE);
  velkor_test::FillQuad(100, 100, 200, 200);
  EXPECT_EQ(10000, CountCoveredPixels(90, 90, 120, 120));
}

}  // namespace
