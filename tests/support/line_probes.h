// line_probes.h - test helpers for lines, shapes, arcs and text drawn
// through the drawing library (on top of gl_fixture.h).
//
//   velkor_test::InstallLineTestTables(kWidths, 2);   // colours and widths below
//   sglIndexColori(velkor_test::kRed);
//   ... sglBegin / sglVertex2f / sglEnd ...
//   int left = velkor_test::FirstCoveredX(200, 100, 400);
//
// Threads: the test's main thread, with the fixture's context current.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace velkor_test {

// Colour indexes of the test colour table.
constexpr int32_t kWhite = 0, kRed = 1, kGreen = 2, kBlue = 3;

// Installs a four-colour table (white, red, green, blue, all opaque), the
// given line width table (count x (plain, core, outer)) and the default
// stipple table with the solid entry 0 selected; render mode 1, caps round.
// The tables must outlive the test.
void InstallLineTestTables(const float* widths, uint32_t width_count);

// Smallest x in [x_from, x_to] of row y covered above threshold; -1 when none.
int FirstCoveredX(int y, int x_from, int x_to, int threshold = 0);

// The stencil value at (x, y).
uint8_t ReadStencil(int x, int y);

// The context's error log as (code, value) pairs, oldest first; the log is
// emptied, so that a test can compare what each step recorded:
//   EXPECT_EQ((velkor_test::ErrorList{{SGL_ERROR_BEGIN, 6}}), velkor_test::TakeErrors());
using ErrorList = std::vector<std::pair<uint32_t, uint32_t>>;
ErrorList TakeErrors();

}  // namespace velkor_test
