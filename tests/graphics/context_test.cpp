// The drawing library's context: the per-frame reset, attribute tables and
// their selection, the error log, checked numbers and rounding, and the
// numbered entry points.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/line_probes.h"

namespace {

using velkor_test::ErrorList;
using velkor_test::SglTest;
using velkor_test::TakeErrors;

const float kThreeColours[3][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
const float kFourWidths[4][3] = {{1, 1, 2}, {2, 1.5f, 3}, {3, 2, 4}, {4, 3, 5}};
const sgl_line_stipple kThreeStipples[3] = {
    {{1, 0, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 1, 1},
    {{4, 4, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
    {{2, 3, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 0}, 0, 2},
};

class ContextTest : public SglTest {
 protected:
  static void InstallTestTables() {
    sglColorPointerf(&kThreeColours[0][0], 3);
    sglLineWidthPointerf(&kFourWidths[0][0], 4);
    sglLineStipplePointer(kThreeStipples, 3);
  }
  static bool Reinit() {
    sgl_parameters parameters = HostParameters();
    return sglInit(&Context(), &parameters);
  }
  static uint32_t ErrorCount() { return Context().errors.count; }
  static sgl_error_entry Error(uint32_t i) { return Context().errors.entries[i]; }
};

// The reset selects the last entry of every table and turns capabilities
// off. A sequence still recording, a box still collecting, a texture
// coordinate without its vertex: none may reach into the next frame.
TEST_F(ContextTest, ResetSelectsLastEntriesAndEndsWhatTheLastFrameLeftOpen) {
  InstallTestTables();
  sglIndexColori(0);
  sglIndexLineWidthi(0);
  sglIndexLineStipplei(0);
  sglIndexHaloColori(1);
  sglTransparency8(10);
  for (uint8_t capability : {33, 35, 56, 57, 58, 59, 60}) {
    sglEnable(capability);
  }
  sglDisable(SGL_PIXEL_ALIGNED_TEXT);
  sglEnable(62);  // no capability: recorded with its number
  const uint8_t image[4] = {1, 2, 3, 4};
  sglTexImage2Dubv(1, SGL_FORMAT_ALPHA, 2, 2, image, 0);
  ASSERT_NE(0u, sglBeginStaticSequence(0, 0, 100, 100));
  sglBeginBoundingBox();
  sglTexCoord2f(7, 7);
  sglReset();
  const sgl_type_statemachine& c = Context();
  // Colour, text colour, width, halo (none) and transparency.
  EXPECT_EQ((std::vector<int64_t>{2, 2, 3, -1, 255}),
            (std::vector<int64_t>{c.color_index, c.text.color_index, c.line_width_index,
                                  c.halo_color_index, c.transparency}));
  EXPECT_EQ(&kThreeStipples[2], c.stipple);
  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(1.0f, colour[2]) << "the last colour is drawn until one is chosen";
  EXPECT_EQ(std::vector<int>(7, 0),
            (std::vector<int>{c.polygon_smooth, c.smoothing, c.texture_fill, c.texture_modulate,
                              c.tessellation, c.gradient_fill, c.depth_test}));
  // Pixel-aligned text and the error log outlive the frame.
  EXPECT_EQ(0, c.pixel_aligned_text);
  ASSERT_EQ(1u, ErrorCount());
  EXPECT_EQ(SGL_ERROR_ENABLE, Error(0).code);
  EXPECT_EQ(62u, Error(0).value);

  GLint list = 1;
  glGetIntegerv(GL_LIST_INDEX, &list);
  EXPECT_EQ(0, list);
  velkor_test::FillQuad(10, 10, 20, 20);
  EXPECT_EQ(100, velkor_test::CountCoveredPixels(0, 0, 100, 100)) << "drawn, not compiled";
  float box[4] = {-1, -1, -1, -1};
  EXPECT_FALSE(sglEndBoundingBox(&box[0], &box[1], &box[2], &box[3]));
  EXPECT_EQ(-1.0f, box[0]) << "outputs untouched";
  EXPECT_FALSE(sglEndTextBounds(nullptr, nullptr, nullptr, nullptr)) << "the text union ended too";
  ASSERT_NE(0u, sglBeginStaticSequence(0, 0, 100, 100)) << "a new sequence can begin";
  sglEndStaticSequence();
  sglBindTexture(SGL_TEXTURE_FILL, 1);
  sglEnable(SGL_TEXTURE_FILL);
  sglEnable(SGL_TEXTURE_MODULATE);  // an alpha image shapes the colour
  const float xs[2] = {0, 64}, ys[2] = {0, 64};
  sglFormatTexture(2, xs, ys, 1, 1, 0, 0);
  sglBegin(SGL_PRIMITIVE_POLYGON);
  sglVertex2f(0, 0);
  ASSERT_EQ(1u, c.texcoord_count);
  EXPECT_EQ(0.0f, c.texcoords[0][0]) << "the mapped coordinate, not (7, 7)";
  sglEnd();
  EXPECT_EQ(uint32_t{GL_NO_ERROR}, velkor_test::TakeGlError());
}

TEST_F(ContextTest, SelectionsClampAndRecord) {
  auto& c = Context();
  auto colour = [&c] { return static_cast<int64_t>(c.color_index); };
  auto halo = [&c] { return static_cast<int64_t>(c.halo_color_index); };
  auto width = [&c] { return static_cast<int64_t>(c.line_width_index); };
  auto stipple = [&c] { return static_cast<int64_t>(c.stipple - c.stipple_table); };
  auto alpha = [&c] { return static_cast<int64_t>(c.transparency); };
  const struct {
    const char* name;
    std::function<void()> call;
    std::function<int64_t()> selected;
    int64_t expected;
    uint32_t error_code;  // 0: none
    uint32_t error_value;
  } cases[] = {
      {"colour 3 of 3", [] { sglIndexColori(3); }, colour, 2, 49, 3},
      {"colour -1", [] { sglIndexColori(-1); }, colour, 2, 49, 0xFFFFFFFF},
      {"halo -7 is black", [] { sglIndexHaloColori(-7); }, halo, -7, 0, 0},
      {"halo 3 of 3", [] { sglIndexHaloColori(3); }, halo, 2, 102, 3},
      {"width -1 keeps", [] { sglIndexLineWidthi(-1); }, width, 1, 51, 0xFFFFFFFF},
      {"stipple 3 of 3", [] { sglIndexLineStipplei(3); }, stipple, 2, 50, 3},
      {"transparency 256 keeps", [] { sglTransparency8(256); }, alpha, 100, 55, 256},
  };
  InstallTestTables();
  for (const auto& s : cases) {
    SCOPED_TRACE(s.name);
    sglIndexLineWidthi(1);  // a known previous selection for the "keeps" cases
    sglIndexLineStipplei(1);
    sglTransparency8(100);
    c.errors.count = 0;
    s.call();
    EXPECT_EQ(s.expected, s.selected());
    ASSERT_EQ(s.error_code == 0 ? 0u : 1u, ErrorCount());
    if (s.error_code != 0) {
      EXPECT_EQ(s.error_code, Error(0).code);
      EXPECT_EQ(s.error_value, Error(0).value);
    }
  }
}

TEST_F(ContextTest, TablesAreValidatedBeforeTheyAreInstalled) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // A dashed pattern that never advances would hang the dash cutter.
  const sgl_line_stipple endless = {{0, 0, 9}, {1}, 0, 2}, no_segments = {{4, 4}, {1}, 0, 0},
                         solid_empty = {{0}, {0}, 1, 0};
  static float widths[2][3];
  static sgl_line_stipple stipples[2];
  const struct {
    const char* name;
    std::function<void()> install;
    uint32_t error;  // 0: accepted
  } cases[] = {
      {"no colours", [] { sglColorPointerf(nullptr, 3); }, SGL_ERROR_COLOR_POINTER},
      {"width 15.5", [] { widths[1][2] = 15.5f; }, SGL_ERROR_LINE_WIDTH_POINTER},
      {"width NaN", [nan] { widths[0][1] = nan; }, SGL_ERROR_LINE_WIDTH_POINTER},
      {"widths 0 and 15", [] { widths[0][0] = 0, widths[1][2] = 15; }, 0},
      {"dashed, zero length", [endless] { stipples[1] = endless; }, SGL_ERROR_LINE_STIPPLE_POINTER},
      {"dashed, no segments", [no_segments] { stipples[1] = no_segments; },
       SGL_ERROR_LINE_STIPPLE_POINTER},
      {"solid without segments", [solid_empty] { stipples[1] = solid_empty; }, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Reinit());
    std::memcpy(widths, kFourWidths, sizeof(widths));
    stipples[0] = stipples[1] = kThreeStipples[1];
    c.install();
    sglLineWidthPointerf(&widths[0][0], 2);
    sglLineStipplePointer(stipples, 2);
    ASSERT_EQ(c.error == 0 ? 0u : 1u, ErrorCount());
    if (c.error != 0) {
      EXPECT_EQ(c.error, Error(0).code);
    }
  }
  // A refused table leaves the one in force.
  ASSERT_TRUE(Reinit());
  widths[0][0] = -1;
  sglLineWidthPointerf(&widths[0][0], 2);
  EXPECT_EQ(&font_line_width[0][0], Context().line_width_table);
}

// Indices chosen under a longer table must not outlive it.
TEST_F(ContextTest, InstallingAShorterTableKeepsSelectionsInside) {
  static const float eight_colours[8][4] = {};
  sglColorPointerf(&eight_colours[0][0], 8);
  sglIndexColori(7);
  sglIndexHaloColori(6);
  sglIndexLineStipplei(4);
  sglColorPointerf(&kThreeColours[0][0], 3);
  EXPECT_EQ(2u, Context().color_index);
  EXPECT_EQ(2u, Context().text.color_index);
  EXPECT_EQ(2, Context().halo_color_index);
  sglLineWidthPointerf(&kFourWidths[0][0], 4);
  EXPECT_EQ(3u, Context().line_width_index);
  sglLineStipplePointer(kThreeStipples, 3);
  EXPECT_EQ(&kThreeStipples[2], Context().stipple);
  EXPECT_EQ(0u, ErrorCount());
}

TEST_F(ContextTest, ErrorLogKeeps32EntriesThenOnlyFlagsOverflow) {
  for (uint32_t i = 0; i < 32; i++) {
    sgliSetError(100 + i, i);
  }
  EXPECT_EQ(0, Context().errors.overflow);
  sglIndexColori(9);  // the 33rd
  EXPECT_EQ(32u, ErrorCount());
  EXPECT_EQ(1, Context().errors.overflow);
  EXPECT_EQ(131u, Error(31).code);
  sglReset();
  EXPECT_EQ(32u, ErrorCount());
  EXPECT_EQ(1, Context().errors.overflow);
}

// The edges of each target's range, from integers and from floating point
// (whose largest values inside the range are not the range's own ends).
TEST_F(ContextTest, ConversionsSaturateAndRecordTheErrorOfTheTargetType) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    std::function<long double()> call;
    long double expected;
    uint32_t error;  // 0: none expected; the value recorded is 0
  } cases[] = {
      {[] { return sglUInt8ToInt8(128); }, 127, 107},
      {[] { return sglFloatToInt8(-7.9f); }, -7, 0},  // truncated
      {[] { return sglDoubleToInt8(-128.5); }, -128, 107},
      {[] { return sglInt8ToUInt8(-1); }, 0, 108},
      {[] { return sglInt32ToInt16(-32769); }, -32768, 109},
      {[] { return sglInt64ToUInt16(-1); }, 0, 110},
      {[] { return sglFloatToInt32(2147483520.0f); }, 2147483520.0L, 0},
      {[] { return sglFloatToInt32(2147483648.0f); }, 2147483647, 104},
      {[nan] { return sglFloatToInt32(nan); }, 0, 104},
      {[] { return sglInt32ToUInt32(-2); }, 0, 105},
      {[] { return sglFloatToUInt32(4294967040.0f); }, 4294967040.0L, 0},
      {[] { return sglFloatToUInt32(4294967296.0f); }, 4294967295.0L, 105},
      {[] { return sglInt8ToUInt64(-3); }, 0, 111},
      {[] { return sglFloatToUInt64(18446744073709551616.0f); }, 18446744073709551615.0L, 111},
      {[] { return sglUInt64ToInt64(9223372036854775808ULL); }, 9223372036854775807.0L, 112},
      {[] { return sglDoubleToInt64(9223372036854775808.0); }, 9223372036854775807.0L, 112},
      {[] { return sglDoubleToFloat(-1e39); }, -std::numeric_limits<float>::max(), 106},
      {[] { return sglDoubleToFloat(std::nan("")); }, 0, 106},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    Context().errors.count = 0;
    EXPECT_EQ(c.expected, c.call());
    ASSERT_EQ(c.error == 0 ? 0u : 1u, ErrorCount());
    if (c.error != 0) {
      EXPECT_EQ(c.error, Error(0).code);
      EXPECT_EQ(0u, Error(0).value);
    }
  }
}

TEST(Rounding, HalfAwayFromZeroCeilingAndPowersOfTwo) {
  const struct {
    float v;
    uint32_t magnitude;
    float rounded;
    int32_t ceiling;
  } cases[] = {{2.5f, 3, 3, 3},
               {-2.5f, 3, -3, -2},
               {0.49999997f, 0, 0, 1},
               {2.0000001f, 2, 2, 2},
               {-0.2f, 0, -0.0f, 0},
               {-0.9f, 1, -1, 0},
               {100000.0f, 99999, 100000, 99999},
               {-1e9f, 99999, -1e9f, -99999}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.magnitude, mth_f_to_l(c.v)) << c.v;
    EXPECT_EQ(c.rounded, mth_f_round(c.v)) << c.v;
    EXPECT_EQ(c.ceiling, mth_f_to_l_ceil(c.v)) << c.v;
  }
  const struct {
    int32_t v, lo, hi, expected;
  } powers[] = {
      {300, 1, 1024, 512}, {64, 64, 1024, 64}, {256, 64, 1024, 256},
      {65, 64, 1024, 128}, {10, 64, 1024, 64}, {5000, 64, 1024, 1024},
      {-1, 1, 1024, 0},    {5, 8, 4, 0},       {(1 << 29) + 1, 1, 1 << 30, 1 << 30},
  };
  for (const auto& c : powers) {
    EXPECT_EQ(c.expected, mth_next_higher_power2(c.v, c.lo, c.hi))
        << c.v << " " << c.lo << " " << c.hi;
  }
}

// Each entry given an argument that only its own operation refuses.
TEST_F(ContextTest, EntriesRecordTheErrorOfTheirOperation) {
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
