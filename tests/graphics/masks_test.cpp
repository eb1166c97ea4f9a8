// Clipping: stencil masks (shapes, inversion, several at once, across
// scissors and frames), clip planes, and the scissor stack.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "graphics/sgl.h"
#include "graphics/sgl_masks_geometry.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

// Found by argument-dependent lookup, so they live beside the record.
static bool operator==(const sgl_scissor_rect& a, const sgl_scissor_rect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

static std::ostream& operator<<(std::ostream& out, const sgl_scissor_rect& r) {
  return out << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}

namespace {

using velkor_test::ClearDisplay;
using velkor_test::CountCoveredPixels;
using velkor_test::SglTest;

constexpr int kDisplayArea = velkor_test::kDisplayWidth * velkor_test::kDisplayHeight;
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

class MasksTest : public SglTest {
 protected:
  static const sgl_clipping_state& Clipping() { return Context().clipping; }
  // Paints the whole display through the current matrix; the pixels let through.
  static int Painted() {
    velkor_test::FillRectRaw(0, 0, 1280, 768, 1, 0, 0);
    return CountCoveredPixels(0, 0, 1280, 768);
  }
  static sgl_scissor_rect Top() { return Clipping().scissors[Clipping().scissor_depth - 1]; }
  // Only `rect` is painted, and OpenGL's scissor box is the stack's top.
  static void ExpectOnlyPainted(const sgl_scissor_rect& rect) {
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(rect, (sgl_scissor_rect{box[0], box[1], box[2], box[3]}));
    sglPushMatrix();
    sglLoadIdentity();
    EXPECT_EQ(rect.width * rect.height, Painted()) << rect;
    sglPopMatrix();
    EXPECT_EQ(rect.width * rect.height, CountCoveredPixels(rect.x, rect.y, rect.width, rect.height))
        << rect;
  }
};
using ScissorTest = MasksTest;

TEST_F(MasksTest, MaskRestrictsDrawingToItsShapeAndInvertedToTheOutside) {
  for (uint8_t inverted : {0, 1}) {
    SCOPED_TRACE(inverted ? "inverted" : "normal");
    sglReset();
    ClearDisplay();
    ASSERT_EQ(1u, sglBeginMaskDefinition(inverted));
    velkor_test::FillQuad(100, 100, 200, 150);
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768)) << "a mask's shape never reaches the colours";
    sglEndMaskDefinition();  // colours are written again, as the painting shows
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

// Each frame ends inside a mask definition, which must not blank the next.
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
    ASSERT_EQ(2u, sglBeginMaskDefinition(0));
    sglReset();
    EXPECT_EQ(0u, Clipping().allocated_masks);
    EXPECT_EQ(0u, Clipping().mask_under_definition);
    EXPECT_EQ(0u, sglGetActiveMasks());
    EXPECT_FALSE(glIsEnabled(GL_CLIP_PLANE0));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
  }
  ClearDisplay();
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

// In 32 bits 100 + INT32_MAX would turn negative and give width 0.
TEST(ScissorRectangles, IntersectionSaturatesInsteadOfWrapping) {
  EXPECT_EQ((sgl_scissor_rect{100, 100, kIntMax - 100, 10}),
            sgl_compute_scissor_intersection({100, 100, kIntMax, 10}, {0, 0, kIntMax, kIntMax}));
  EXPECT_EQ(
      (sgl_scissor_rect{kIntMax, kIntMax, 0, 0}),
      sgl_compute_scissor_intersection({kIntMax, kIntMax, kIntMax, kIntMax}, {100, 100, 200, 100}));
}

TEST_F(ScissorTest, RotatedContextTurnsTheExtentByQuarterTurns) {
  const struct {
    float degrees;
    sgl_scissor_rect expected;
  } cases[] = {
      // Origin (400, 300), extent 100 x 50 drawing units.
      {0.0f, {400, 300, 100, 50}},   {90.0f, {350, 300, 50, 100}},  // leftwards by h, upwards by w
      {180.0f, {300, 250, 100, 50}}, {-90.0f, {400, 200, 50, 100}}, {450.0f, {350, 300, 50, 100}},
      {30.0f, {400, 300, 100, 50}},  // not a quarter turn: left unturned
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.degrees);
    ClearDisplay();
    sglPushMatrix();
    sglTranslatef(400, 300);
    sglRotatef(c.degrees);
    sglBeginScissor(100, 50);
    sglPopMatrix();
    EXPECT_EQ(c.expected, Top());
    ExpectOnlyPainted(c.expected);
    sglEndScissor();
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  }
  EXPECT_EQ(0u, Context().errors.count);
}

TEST_F(ScissorTest, NestedScissorsNeverGrowAndEndRestoresTheParent) {
  sglPushMatrixAndTranslate(100, 100);
  sglBeginScissor(200, 100);
  const sgl_scissor_rect parent = Top();
  sglPushMatrixAndTranslate(50, 50);
  sglBeginScissor(500, 500);  // reaches far beyond the parent
  EXPECT_EQ((sgl_scissor_rect{150, 150, 150, 50}), Top());
  ExpectOnlyPainted(Top());
  sglPushMatrixAndTranslate(400, 400);
  sglBeginScissor(10, 10);  // outside its parent altogether
  EXPECT_EQ((sgl_scissor_rect{550, 550, 0, 0}), Top());
  sglEndScissor();
  sglPopMatrixAndTranslate();
  // Inside the outermost scissor but below its own parent: cut to the parent.
  sglPushMatrixAndTranslate(-40, -40);
  sglBeginScissor(30, 30);
  EXPECT_EQ((sgl_scissor_rect{150, 150, 0, 0}), Top());
  sglEndScissor();
  sglPopMatrixAndTranslate();
  sglEndScissor();
  ClearDisplay();
  ExpectOnlyPainted(parent);
  sglPopMatrixAndTranslate();
  sglEndScissor();
  sglPopMatrixAndTranslate();
  EXPECT_EQ(0u, Clipping().scissor_depth);
  EXPECT_EQ(0u, Context().errors.count);
}

}  // namespace
