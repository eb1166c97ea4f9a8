// The numbered entry points the generated display code calls: each one
// reaches its own operation, shown by the error only that operation records.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "graphics/sgl.h"
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
};

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

}  // namespace
