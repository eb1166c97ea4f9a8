// Stencil masks and clip planes: shapes, inversion, several at once, planes,
// scissors and frames.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/sgl.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ClearDisplay;
using velkor_test::CountCoveredPixels;
using velkor_test::SglTest;

constexpr int kDisplayArea = velkor_test::kDisplayWidth * velkor_test::kDisplayHeight;

class MasksTest : public SglTest {
 protected:
  static const sgl_clipping_state& Clipping() { return Context().clipping; }
  static int Painted() {
    velkor_test::FillRectRaw(0, 0, 1280, 768, 1, 0, 0);
    return CountCoveredPixels(0, 0, 1280, 768);
  }
  static bool ColourWritesOn() {
    GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    return mask[0] && mask[1] && mask[2] && mask[3];
  }
};

TEST_F(MasksTest, MaskRestrictsDrawingToItsShapeAndInvertedToTheOutside) {
  for (uint8_t inverted : {0, 1}) {
    SCOPED_TRACE(inverted ? "inverted" : "normal");
    sglReset();
    ClearDisplay();
    ASSERT_EQ(1u, sglBeginMaskDefinition(inverted));
    velkor_test::FillQuad(100, 100, 200, 150);
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768)) << "a mask's shape never reaches the colours";
    sglEndMaskDefinition();
    EXPECT_TRUE(ColourWritesOn());
    sglSetActiveMasks(1);
    const int inside = inverted ? 0 : 100 * 50;
    EXPECT_EQ(inverted ? kDisplayArea - 100 * 50 : inside, Painted());
    EXPECT_EQ(inside, CountCoveredPixels(100, 100, 100, 50));
  }
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, SeveralActiveMasksLetThroughOnlyWhereAllAgree) {
  const uint32_t a = sglAllocateMaskID(1);
  const uint32_t b = sglAllocateMaskID(1);
  const uint32_t c = sglAllocateMaskID(1);
  sglClipBox(a, 0, 100, 100, 300, 200);
  sglClipBox(b, 0, 200, 150, 400, 300);  // defining b leaves a's bit alone
  sglClipBox(c, 1, 250, 0, 260, 768);    // inverted: a slit cut out
  sglSetActiveMasks(a | b | c);
  EXPECT_EQ(90 * 50, Painted());
  EXPECT_EQ(0, CountCoveredPixels(250, 0, 10, 768));
  // Freeing a mask drops it from the active set and from the stencil test.
  sglFreeMaskID(c);
  EXPECT_EQ(a | b, sglGetActiveMasks());
  ClearDisplay();  // the stencil too: the boxes are drawn again
  sglClipBox(a, 0, 100, 100, 300, 200);
  sglClipBox(b, 0, 200, 150, 400, 300);
  EXPECT_EQ(100 * 50, Painted());
  EXPECT_EQ(100 * 50, CountCoveredPixels(200, 150, 100, 50));
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, ClipPlanesCutWhereTheirLineSays) {
  const struct {
    float x, y, angle;
    uint8_t side;
    int kept_x0, kept_y0, kept_w, kept_h;  // the rectangle left on the display
  } cases[] = {{300, 0, 90, 0, 300, 0, 980, 768},
               {300, 0, 90, 1, 0, 0, 300, 768},
               {0, 200, 0, 1, 0, 200, 1280, 568},
               {0, 200, 180, 0, 0, 200, 1280, 568}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.angle << " side " << int(c.side));
    ClearDisplay();
    const uint32_t id = sglAllocateMaskID(0);
    sglClipPlane(id, c.x, c.y, c.angle, c.side);
    sglSetActiveMasks(id);
    EXPECT_EQ(c.kept_w * c.kept_h, Painted());
    EXPECT_EQ(c.kept_w * c.kept_h, CountCoveredPixels(c.kept_x0, c.kept_y0, c.kept_w, c.kept_h));
    sglFreeMaskID(id);
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0)) << "freed: dropped from the active set";
  }
  // A plane is given in drawing units: translated by 100, x = 200 is pixel 300.
  ClearDisplay();
  const uint32_t shifted = sglAllocateMaskID(0);
  sglPushMatrix();
  sglTranslatef(100, 0);
  sglClipPlane(shifted, 200, 0, 90, 0);
  sglPopMatrix();
  sglSetActiveMasks(shifted);
  EXPECT_EQ(980 * 768, Painted());
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(MasksTest, ResetFreesEverythingAndTheSameSetClipsAgainNextFrame) {
  for (int frame = 0; frame < 2; ++frame) {
    SCOPED_TRACE(frame);
    ClearDisplay();
    EXPECT_EQ(1u, sglAllocateMaskID(1));
    EXPECT_EQ(256u, sglAllocateMaskID(0));
    sglClipBox(1, 0, 100, 100, 500, 200);
    sglClipPlane(256, 300, 0, 90, 0);
    sglSetActiveMasks(1 | 256);
    // With a stale active set the second frame's call would be skipped.
    EXPECT_EQ(200 * 100, Painted());
    sglReset();
    EXPECT_EQ(0u, Clipping().allocated_masks);
    EXPECT_EQ(0u, sglGetActiveMasks());
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
  }
}

TEST_F(MasksTest, FrameEndingInsideAMaskDefinitionDoesNotBlankTheNext) {
  ASSERT_EQ(1u, sglBeginMaskDefinition(0));
  velkor_test::FillQuad(100, 100, 200, 200);
  sglReset();
  EXPECT_EQ(0u, Clipping().mask_under_definition);
  EXPECT_EQ(kDisplayArea, Painted());
}

// A scissor limits a mask's shape, not the clearing of its bit: an earlier
// use of the identifier elsewhere must not leak through.
TEST_F(MasksTest, MaskDefinedUnderAScissorStartsFromAnEmptyBit) {
  const uint32_t first = sglAllocateMaskID(1);
  sglClipBox(first, 0, 100, 100, 200, 200);
  sglFreeMaskID(first);
  sglPushMatrixAndTranslate(500, 100);
  sglBeginScissor(100, 100);
  ASSERT_EQ(first, sglBeginMaskDefinition(0));
  velkor_test::FillQuad(0, 0, 100, 100);
  sglEndMaskDefinition();
  sglEndScissor();
  sglPopMatrixAndTranslate();
  sglSetActiveMasks(first);
  EXPECT_EQ(100 * 100, Painted());
  EXPECT_EQ(0, CountCoveredPixels(100, 100, 100, 100));
}

}  // namespace
