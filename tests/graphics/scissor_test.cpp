// The scissor stack: the rectangle intersection exactly, then the pixels a
// scissor lets through under rotation and nesting.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "graphics/sgl.h"
#include "graphics/sgl_masks_geometry.h"
#include "tests/support/gl_fixture.h"

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

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

TEST(ScissorRectangles, IntersectionNeverGrowsBeyondTheParentNorWraps) {
  const sgl_scissor_rect parent{100, 100, 200, 100};
  const sgl_scissor_rect huge{0, 0, kIntMax, kIntMax};
  const struct {
    const char* name;
    sgl_scissor_rect entry, parent, expected;
  } cases[] = {
      {"larger on every side", {0, 0, 1000, 1000}, parent, {100, 100, 200, 100}},
      {"overlapping the top right", {250, 150, 100, 100}, parent, {250, 150, 50, 50}},
      {"disjoint below", {120, 0, 10, 10}, parent, {120, 100, 10, 0}},
      // In 32 bits 100 + INT32_MAX would turn negative and give width 0.
      {"saturated edges", {100, 100, kIntMax, 10}, huge, {100, 100, kIntMax - 100, 10}},
      {"saturated corner", {kIntMax, kIntMax, kIntMax, kIntMax}, parent, {kIntMax, kIntMax, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, sgl_compute_scissor_intersection(c.entry, c.parent)) << c.name;
  }
}

class ScissorTest : public SglTest {
 protected:
  static const sgl_clipping_state& Clipping() { return Context().clipping; }
  static sgl_scissor_rect Top() { return Clipping().scissors[Clipping().scissor_depth - 1]; }
  static sgl_scissor_rect GlScissorBox() {
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    return sgl_scissor_rect{box[0], box[1], box[2], box[3]};
  }

  // Paints the whole display and counts what the scissor let through, in
  // total and inside `rect`; OpenGL's box must be the stack's top.
  static void ExpectOnlyPainted(const sgl_scissor_rect& rect) {
    EXPECT_EQ(rect, GlScissorBox());
    sglPushMatrix();
    sglLoadIdentity();
    velkor_test::FillRectRaw(0, 0, 1280, 768, 1, 0, 0);
    sglPopMatrix();
    const int area = rect.width * rect.height;
    EXPECT_EQ(area, CountCoveredPixels(0, 0, 1280, 768)) << rect;
    EXPECT_EQ(area, CountCoveredPixels(rect.x, rect.y, rect.width, rect.height)) << rect;
  }
};

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
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
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
