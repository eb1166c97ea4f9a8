// Filled shapes on the off-screen context: ear clipping of concave polygons,
// the smoothed outline of opaque fills, mask modes and alpha textures.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ClearDisplay;
using velkor_test::CountCoveredPixels;
using velkor_test::ReadPixel;

const float kWidths[2][3] = {{1.0f, 1.0f, 1.0f}, {4.0f, 4.0f, 4.0f}};

class ShapesTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    velkor_test::SglTest::SetUp();
    velkor_test::InstallLineTestTables(&kWidths[0][0], 2);
  }

  static void Polygon(const float* xy, uint32_t n, uint8_t mode = 5) {
    sglBegin(mode);
    for (uint32_t k = 0; k < n; ++k) sglVertex2f(xy[2 * k], xy[2 * k + 1]);
    sglEnd();
  }
};

// An L of 30000 pixels whose notch is the square (200..300, 200..300). The
// first vertex is the notch's lower-right corner, so that a fan from it
// sweeps over the notch.
TEST_F(ShapesTest, ConcaveLLeavesItsNotchEmptyOnlyWithCapability58) {
  const float l[12] = {300, 200, 200, 200, 200, 300, 100, 300, 100, 100, 300, 100};
  sglEnable(SGL_TESSELLATION);
  Polygon(l, 6);
  EXPECT_EQ(30000, CountCoveredPixels(100, 100, 200, 200));
  EXPECT_EQ(0, CountCoveredPixels(200, 200, 100, 100)) << "the notch stays empty";

  ClearDisplay();
  sglDisable(SGL_TESSELLATION);
  Polygon(l, 6);
  // The fan's first triangle (300,200) (200,200) (200,300) lies in the notch.
  EXPECT_EQ(255, ReadPixel(220, 220).r);
  EXPECT_EQ(0, ReadPixel(280, 280).r);
}

TEST_F(ShapesTest, OpaqueFillGetsAThinSmoothedOutline) {
  struct Case {
    bool smooth;
    uint32_t transparency;
    bool tessellate, outline;
  };
  const Case cases[] = {{false, 255, false, false},
                        {true, 255, false, true},
                        {true, 255, true, true},
                        {true, 200, false, false}};  // translucent fills keep a plain edge
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "smooth " << c.smooth << " alpha " << c.transparency
                                    << " tess " << c.tessellate);
    ClearDisplay();
    c.smooth ? sglEnable(SGL_POLYGON_SMOOTH) : sglDisable(SGL_POLYGON_SMOOTH);
    c.tessellate ? sglEnable(SGL_TESSELLATION) : sglDisable(SGL_TESSELLATION);
    sglTransparency8(c.transparency);
    // A triangle of 30000 pixels: its slanted edge is where an outline shows.
    const float triangle[6] = {100.0f, 100.0f, 400.0f, 100.0f, 100.0f, 300.0f};
    Polygon(triangle, 3);
    EXPECT_EQ(c.outline, CountCoveredPixels(90, 90, 320, 220) > 30000 + 300);
  }
  // The outline borrowed the default width table and gave the
  // application's one back.
  EXPECT_EQ(&kWidths[0][0], Context().line_width_table);
  EXPECT_EQ(2u, Context().line_width_count);
}

// A mask bit is defined afresh over the whole display, also under a
// scissor: a bit left from an earlier use must not survive outside it.
TEST_F(ShapesTest, MaskModeDrawsIntoItsEmptiedStencilBitOnly) {
  glStencilMask(4);
  glClearStencil(4);
  glClear(GL_STENCIL_BUFFER_BIT);
  sgliEnable(GL_SCISSOR_TEST);
  glScissor(0, 0, 400, 400);
  const float square[8] = {100, 100, 200, 100, 200, 200, 100, 200};
  Polygon(square, 4, 4);
  sgliDisable(GL_SCISSOR_TEST);
  EXPECT_EQ(0, CountCoveredPixels(0, 0, 400, 400)) << "nothing reaches the colour buffer";
  EXPECT_EQ(4, velkor_test::ReadStencil(150, 150));
  EXPECT_EQ(0, velkor_test::ReadStencil(250, 150));
  EXPECT_EQ(0, velkor_test::ReadStencil(600, 600)) << "outside the scissor";
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
