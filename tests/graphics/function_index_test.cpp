// The numbered entry points the generated display code calls: each one
// reaches its own operation, shown by the error only that operation records
// or by doing exactly what the operation does when called directly. Every
// entry is called at least once here.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "graphics/sgl.h"
#include "tests/graphics/gl_feedback.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ErrorList;
using velkor_test::TakeErrors;

const float kWidths[1][3] = {{1.0f, 1.0f, 1.0f}};

class FunctionIndexTest : public velkor_test::SglTest {
 protected:
  void SetUp() override {
    velkor_test::SglTest::SetUp();
    velkor_test::InstallLineTestTables(&kWidths[0][0], 1);
  }

  // The vertices of the lines, then of the fills, OpenGL is given by draw.
  static std::vector<float> DrawnVertices(void (*draw)()) {
    sglSetRenderMode(0);
    velkor_test::Fed fed = velkor_test::Feed(draw);
    sglSetRenderMode(1);
    fed.strip.insert(fed.strip.end(), fed.fill.begin(), fed.fill.end());
    return fed.strip;
  }
};
;

// Each entry given an argument that only its own operation refuses.
TEST_F(FunctionIndexTest, EntriesRecordTheErrorOfTheirOperation) {
  const struct {
    uint32_t code;
    void (*call)();
  } cases[] = {
      {SGL_ERROR_BEGIN, [] { f001(200); }},
      {SGL_ERROR_BIND_TEXTURE, [] { f003(55, 0); }},
      {SGL_ERROR_CLIP_BOX, [] { f005(3, 0, 0.0f, 0.0f, 1.0f, 1.0f); }},
      {SGL_ERROR_CLIP_PLANE, [] { f006(7, 0.0f, 0.0f, 0.0f, 0); }},
      {SGL_ERROR_ENABLE, [] { f008(99); }},
      {SGL_ERROR_DISABLE, [] { f009(99); }},
      {SGL_ERROR_INDEX_COLOR, [] { f013(99); }},
      {SGL_ERROR_INDEX_LINE_STIPPLE, [] { f014(99); }},
      {SGL_ERROR_INDEX_LINE_WIDTH, [] { f015(99); }},
      {SGL_ERROR_ARC_SECTOR, [] { f030(0, 0, 10, 0, 90, 0, 9); }},
      {SGL_ERROR_CROWN, [] { f031(0, 0, 5, 10, 0, 90, 0, 9); }},
      {SGL_ERROR_WRITE_TEXT, [] { f034(0, 0, nullptr, 1); }},
      {SGL_ERROR_TRANSPARENCY, [] { f036(256); }},
      {SGL_ERROR_TEX_IMAGE, [] { f037(0, 9, 1, 1, nullptr, 0); }},
      {SGL_ERROR_COMPRESSED_TEX_IMAGE, [] { f039(0, 9, 1, 1, 0, nullptr, 0); }},
      {SGL_ERROR_INDEX_FONT, [] { f048(99); }},
      {SGL_ERROR_INDEX_FONT, [] { f049(99, 0, 0); }},
      {SGL_ERROR_TEXT_ALIGNMENT, [] { f050(3, 0); }},
      {SGL_ERROR_ARC_SEGMENT, [] { f051(2, 90); }},
      {SGL_ERROR_FORMAT_TEXTURE, [] { f052(0, nullptr, nullptr, 0, 0, 0, 0); }},
      {SGL_ERROR_WRITE_TEXT_AREA, [] { f053(0, 0, 9, 9, nullptr, 1); }},
      {SGL_ERROR_WRITE_FLOAT, [] { f054(0, 0, 1.0f, nullptr); }},
      {SGL_ERROR_DRAW_BITMAP, [] { f055(-1, 0, 0); }},
      {SGL_ERROR_ACTIVE_MASKS, [] { f056(20000); }},
      {SGL_ERROR_END_SCISSOR, [] { f058(); }},
      {SGL_ERROR_ALLOCATE_MASK, [] { f060(5); }},
      {SGL_ERROR_FREE_MASK, [] { f061(20000); }},
      {SGL_ERROR_WRITE_UNICODE_TEXT, [] { f062(0, 0, nullptr, 1); }},
      {SGL_ERROR_WRITE_UNICODE_TEXT_AREA, [] { f063(0, 0, 9, 9, nullptr, 1); }},
      {SGL_ERROR_RICH_TEXT, [] { f066(0, 0, nullptr, 1); }},
      {SGL_ERROR_TEX_VERTEX, [] { f067(0, 0, 0, 0); }},
      {SGL_ERROR_WRITE_TEXT, [] { f069(0, 0, nullptr, 1); }},
      {SGL_ERROR_WRITE_UNICODE_TEXT, [] { f070(0, 0, nullptr, 1); }},
      {SGL_ERROR_ARC_SEGMENT_BOUNDS,
       [] { f071(0, 0, 1, 1, 2, 90, nullptr, nullptr, nullptr, nullptr); }},
      {SGL_ERROR_ARC_ELLIPSE, [] { f072(0, 0, 10, 5, 0, 90, 0, 2); }},
      {SGL_ERROR_FONT_LINE_WIDTH, [] { f075(-1); }},
      {SGL_ERROR_CREATE_STATIC_BITMAP, [] { (void)f080(0, 0, -1, 1, 0, nullptr, 0); }},
      {SGL_ERROR_DRAW_STATIC_BITMAP, [] { f081(12345); }},
      {SGL_ERROR_WRITE_WIDE_TEXT, [] { f083(0, 0, nullptr, 1); }},
      {SGL_ERROR_WRITE_WIDE_TEXT_AREA, [] { f084(0, 0, 9, 9, nullptr, 1); }},
      {SGL_ERROR_INDEX_HALO_COLOR, [] { f085(99); }},
      {SGL_ERROR_BEGIN_PATH, [] { f095(3); }},
      // The bounds queries without a current point.
      {SGL_ERROR_CUBIC_BEZIER_BOUNDS,
       [] { f097(0, 0, 1, 1, 2, 2, nullptr, nullptr, nullptr, nullptr); }},
      {SGL_ERROR_SMOOTH_CUBIC_BEZIER_BOUNDS,
       [] { f098(1, 1, 2, 2, nullptr, nullptr, nullptr, nullptr); }},
      {SGL_ERROR_QUADRATIC_BEZIER_BOUNDS,
       [] { f099(1, 1, 2, 2, nullptr, nullptr, nullptr, nullptr); }},
      {SGL_ERROR_SMOOTH_QUADRATIC_BEZIER_BOUNDS,
       [] { f100(2, 2, nullptr, nullptr, nullptr, nullptr); }},
      {SGL_ERROR_ELLIPTICAL_ARC_BOUNDS,
       [] { f120(5, 5, 0, 0, 0, 2, 2, nullptr, nullptr, nullptr, nullptr); }},
      {SGL_ERROR_INDEX_GRADIENT, [] { f121(0); }},
      {SGL_ERROR_FORMAT_GRADIENT, [] { f122(0, nullptr, nullptr); }},
      {SGL_ERROR_BEGIN_MASK_DEFINITION, [] { (void)f126(2); }},
      {SGL_ERROR_GRADIENT_TEXTURE, [] { f123(-1, 1, 1, 0, nullptr, 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases) << ", error " << c.code);
    c.call();
    const ErrorList errors = TakeErrors();
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(c.code, errors[0].first);
  }
}

// Entries that record nothing do what their operation does when called directly.
TEST_F(FunctionIndexTest, DrawingEntriesDrawAsTheirOperations) {
  const struct {
    const char* name;
    void (*numbered)();
    void (*direct)();
  } cases[] = {
      {"f001 f035 f002 filled square",
       [] {
         f001(5);
         f035(100, 100);
         f035(150, 100);
         f035(150, 150);
         f035(100, 150);
         f002();
       },
       [] { velkor_test::FillQuad(100, 100, 150, 150); }},
      {"path entries",
       [] {
         f095(1);
         f086(100, 100);
         f087(200, 100);
         f124(250);
         f125(150);
         f089(260, 200, 300, 200, 320, 150);
         f090(400, 100, 420, 150);
         f091(450, 200, 480, 150);
         f092(520, 150);
         f093(40, 30, 15, 1, 0, 560, 180);
         f051(0, 90);
         f087(600, 100);
         f094();
         f096();
       },
       [] {
         sglBeginPath(1);
         sglMoveTo(100, 100);
         sglLineTo(200, 100);
         sglHorizontalLineTo(250);
         sglVerticalLineTo(150);
         sglCubicBezier(260, 200, 300, 200, 320, 150);
         sglSmoothCubicBezier(400, 100, 420, 150);
         sglQuadraticBezier(450, 200, 480, 150);
         sglSmoothQuadraticBezier(520, 150);
         sglEllipticalArc(40, 30, 15, 1, 0, 560, 180);
         sgluArcSegment(0, 90);
         sglLineTo(600, 100);
         sglClosePath();
         sglEndPath();
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<float> direct = DrawnVertices(c.direct);
    EXPECT_EQ(direct, DrawnVertices(c.numbered));
    EXPECT_GE(direct.size(), 6u);
  }
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

TEST_F(FunctionIndexTest, TransformationEntriesMoveTheMatrixAsTheirOperations) {
  auto matrix = [] {
    return std::vector<float>(Context().transform.matrix, Context().transform.matrix + 16);
  };
  const std::vector<float> start = matrix();
  sglPushMatrix();
  sglTranslatef(10, 20);
  sglRotatef(30);
  sglScalef(2, 3);
  sglPushMatrixAndTranslate(5, 6);
  const std::vector<float> direct = matrix();
  float direct_x = 0, direct_y = 0, x = 0, y = 0, back_x = 0, back_y = 0;
  sglConvertPointToScreen(1, 1, &direct_x, &direct_y);
  sglPopMatrixAndTranslate();
  sglPopMatrix();

  f019();
  f027(10, 20);
  f022(30);
  f023(2, 3);
  f073(5, 6);
  EXPECT_EQ(direct, matrix());
  f059(1, 1, &x, &y);
  EXPECT_EQ(direct_x, x);
  EXPECT_EQ(direct_y, y);
  f079(x, y, &back_x, &back_y);
  EXPECT_NEAR(1.0f, back_x, 1e-3f);
  EXPECT_NEAR(1.0f, back_y, 1e-3f);
  f074();
  f020();
  EXPECT_EQ(start, matrix());
  EXPECT_EQ(0u, Context().ortho.depth);
  sglTranslatef(3, 4);
  f016();
  EXPECT_EQ(start, matrix()) << "f016 loads the identity";
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

TEST_F(FunctionIndexTest, QueryEntriesAnswerAsTheirOperations) {
  const float square[8] = {0, 0, 10, 0, 10, 10, 0, 10};
  EXPECT_EQ(sglCircleActiveAreaGetStatus(645, 390, 640, 384, 10), f041(645, 390, 640, 384, 10));
  EXPECT_EQ(sglCircleActiveAreaGetRate(645, 390, 640, 384, 10), f042(645, 390, 640, 384, 10));
  EXPECT_EQ(sglCircleActiveAreaGetAngle(645, 390, 640, 384), f043(645, 390, 640, 384));
  EXPECT_TRUE(f044(5, 5, 0, 0, 10, 10));
  EXPECT_FALSE(f044(15, 5, 0, 0, 10, 10));
  EXPECT_FLOAT_EQ(0.3f, f045(3, 7, 0, 0, 10, 10));
  EXPECT_FLOAT_EQ(0.7f, f046(3, 7, 0, 0, 10, 10));
  EXPECT_TRUE(f047(5, 5, 4, square));
  EXPECT_FALSE(f047(15, 5, 4, square));
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

// Entries that record nothing and draw nothing: the state they leave.
TEST_F(FunctionIndexTest, StateEntriesSetTheirState) {
  sgl_type_statemachine& context = Context();
  f068(0);
  EXPECT_EQ(0u, context.line_caps);
  const uint32_t stencil = sglAllocateMaskID(1);
  sglSetActiveMasks(stencil);
  EXPECT_EQ(stencil, f065());
  sglSetActiveMasks(0);
  ASSERT_NE(0u, sglBeginMaskDefinition(0));
  f127();
  EXPECT_EQ(0u, context.clipping.mask_under_definition);
  f057(100, 100);
  EXPECT_EQ(1u, context.clipping.scissor_depth);
  sglEndScissor();
  // Static sequences record and replay; restoring states keeps OpenGL quiet.
  const uint32_t list = f076(0, 0, 100, 100);
  EXPECT_NE(0u, list);
  f077();
  f078(list);
  f064();
  EXPECT_EQ(static_cast<uint32_t>(GL_NO_ERROR), velkor_test::TakeGlError());
  EXPECT_EQ(ErrorList{}, TakeErrors());
}

}  // namespace
