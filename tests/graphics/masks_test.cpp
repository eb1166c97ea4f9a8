// Stencil masks and clip planes: identifiers and their allocation, masks
// that restrict drawing to their shape (or, inverted, to the outside), clip
// boxes under the current matrix, several masks at once, clip planes cutting
// where their line says, the per-frame reset, and the refusals.
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

TEST_F(MasksTest, EightStencilMasksSixPlanesAndTheirRefusals) {
  for (uint32_t expected : {1u, 2u, 4u, 8u, 16u, 32u, 64u, 128u, 0u}) {
    EXPECT_EQ(expected, sglAllocateMaskID(1));
  }
  sglFreeMaskID(4);
  EXPECT_EQ(4u, sglAllocateMaskID(2)) << "kind 2 is a stencil mask as well";
  for (uint32_t expected : {256u, 512u, 1024u, 2048u, 4096u, 8192u, 0u}) {
    EXPECT_EQ(expected, sglAllocateMaskID(0));
  }
  EXPECT_EQ(0u, Context().errors.count) << "running out is no error";
  EXPECT_EQ(0u, sglAllocateMaskID(3));
  EXPECT_EQ(SGL_ERROR_ALLOCATE_MASK, LastError().code);
  EXPECT_EQ(3u, LastError().value);
  sglFreeMaskID(16384 + 2);  // only its low bits are freed
  EXPECT_EQ(SGL_ERROR_FREE_MASK, LastError().code);
  EXPECT_EQ(16386u, LastError().value);
  EXPECT_EQ(0x3FFDu, Clipping().allocated_masks);
  ASSERT_EQ(2u, Context().errors.count);
}

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

TEST_F(MasksTest, ClipBoxFollowsTheCurrentMatrixAndEitherCornerOrder) {
  const struct {
    float degrees;
    float x1, y1, x2, y2;
    int left, bottom, width, height;  // pixels let through
  } cases[] = {
      // Drawn at the origin (600, 400).
      {0.0f, 0, 0, 100, 50, 600, 400, 100, 50},
      {90.0f, 0, 0, 100, 50, 550, 400, 50, 100},
      {180.0f, 0, 0, 100, 50, 500, 350, 100, 50},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.degrees);
    ClearDisplay();
    sglSetActiveMasks(0);
    const uint32_t id = sglAllocateMaskID(1);
    sglPushMatrix();
    sglTranslatef(600, 400);
    sglRotatef(c.degrees);
    sglClipBox(id, 0, c.x1, c.y1, c.x2, c.y2);
    sglPopMatrix();
    sglSetActiveMasks(id);
    EXPECT_EQ(c.width * c.height, Painted());
    EXPECT_EQ(c.width * c.height, CountCoveredPixels(c.left, c.bottom, c.width, c.height));
    sglFreeMaskID(id);
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

TEST_F(MasksTest, RefusedMasksRecordTheirErrorAndDrawNothing) {
  const struct {
    uint32_t id;
    uint8_t inverted;
    float x2;
  } boxes[] = {
      {1, 0, 100}, {4, 2, 200}, {3, 0, 200}, {256, 0, 200}};  // flat, inverted 2, two bits, a plane
  for (const auto& c : boxes) {
    sglClipBox(c.id, c.inverted, 100, 100, c.x2, 200);
    EXPECT_EQ((velkor_test::ErrorList{{SGL_ERROR_CLIP_BOX, c.id}}), velkor_test::TakeErrors());
    EXPECT_EQ(0, velkor_test::ReadStencil(150, 150)) << c.id;
  }
  EXPECT_EQ(0u, sglBeginMaskDefinition(2));
  EXPECT_EQ((velkor_test::ErrorList{{SGL_ERROR_BEGIN_MASK_DEFINITION, 0}}),
            velkor_test::TakeErrors());
  EXPECT_EQ(0u, Clipping().allocated_masks);
  EXPECT_EQ(kDisplayArea, Painted());
  for (uint32_t k = 0; k < 8; ++k) {
    EXPECT_EQ(1u << k, sglBeginMaskDefinition(0));
    sglEndMaskDefinition();
  }
  EXPECT_EQ(0u, sglBeginMaskDefinition(0));
  EXPECT_EQ(0u, Context().errors.count) << "running out is no error";
  EXPECT_TRUE(ColourWritesOn()) << "no mask left: drawing stays in colour";
}

// ---------------------------------------------------------------- clip planes

TEST_F(MasksTest, ClipPlanesCutWhereTheirLineSays) {
  const struct {
    float x, y, angle;
    uint8_t side;
    int kept_x0, kept_y0, kept_w, kept_h;  // the rectangle left on the display
  } cases[] = {
      {300, 0, 90, 0, 300, 0, 980, 768}, {300, 0, 90, 1, 0, 0, 300, 768},
      {300, 0, 270, 0, 0, 0, 300, 768},  {0, 200, 0, 0, 0, 0, 1280, 200},
      {0, 200, 0, 1, 0, 200, 1280, 568}, {0, 200, 180, 0, 0, 200, 1280, 568},
  };
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

TEST_F(MasksTest, AnEnabledPlaneKeepsItsDefinitionAndAnUndefinedOneStaysOff) {
  const uint32_t id = sglAllocateMaskID(0);
  sglClipPlane(id, 300, 0, 90, 0);
  EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0)) << "defined, not yet active";
  sglSetActiveMasks(id);
  sglClipPlane(id, 600, 0, 90, 0);  // ignored while enabled
  EXPECT_EQ(980 * 768, Painted());
  sglSetActiveMasks(0);
  sglClipPlane(id, 600, 0, 90, 0);  // disabled: redefined
  sglSetActiveMasks(id);
  ClearDisplay();
  EXPECT_EQ(680 * 768, Painted());
  EXPECT_EQ(0u, Context().errors.count);

  sglClipPlane(1, 0, 0, 0, 0);  // a stencil identifier
  EXPECT_EQ(SGL_ERROR_CLIP_PLANE, LastError().code);
  const uint32_t undefined = sglAllocateMaskID(0);
  sglSetActiveMasks(id | undefined);
  EXPECT_EQ(SGL_ERROR_ACTIVE_MASKS, LastError().code);
  EXPECT_EQ(512u, LastError().value);
  EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE1));
  sglSetActiveMasks(16384 | id);  // beyond 14 bits: recorded, still used
  EXPECT_EQ(16384u | id, LastError().value);
  EXPECT_EQ(16384u | id, sglGetActiveMasks());
  EXPECT_EQ(3u, Context().errors.count);
}

// A normal mask smaller than the shape bounds what is seen; an inverted one
// lets the shape through outside it, so the collected box stays whole.
TEST_F(MasksTest, CollectedBoxIsCutByANormalMaskOnly) {
  const struct {
    bool clip_box;  // else sglBeginMaskDefinition with a drawn quad
    uint8_t inverted;
    float x1, y1, x2, y2;
  } cases[] = {
      {true, 0, 120, 130, 180, 170},
      {false, 0, 120, 130, 180, 170},
      {true, 1, 100, 100, 300, 200},
      {false, 1, 100, 100, 300, 200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << (c.clip_box ? "clip box" : "definition") << " inverted " << int(c.inverted));
    uint32_t id = 0;
    if (c.clip_box) {
      id = sglAllocateMaskID(1);
      sglClipBox(id, c.inverted, 180, 170, 120, 130);
    } else {
      id = sglBeginMaskDefinition(c.inverted);
      velkor_test::FillQuad(120, 130, 180, 170);
      sglEndMaskDefinition();
    }
    ASSERT_NE(0u, id);
    sglSetActiveMasks(id);
    sglBeginBoundingBox();
    velkor_test::FillQuad(100, 100, 300, 200);
    float box[4] = {0, 0, 0, 0};
    ASSERT_TRUE(sglEndBoundingBox(&box[0], &box[1], &box[2], &box[3]));
    EXPECT_NEAR(c.x1, box[0], 1e-3f);
    EXPECT_NEAR(c.y1, box[1], 1e-3f);
    EXPECT_NEAR(c.x2, box[2], 1e-3f);
    EXPECT_NEAR(c.y2, box[3], 1e-3f);
    sglSetActiveMasks(0);
    sglFreeMaskID(id);
  }
}

// ---------------------------------------------------------------- across frames

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

// A scissor only limits what a mask's shape covers, not the clearing of its
// bit: an earlier use of the identifier elsewhere must not leak through.
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
