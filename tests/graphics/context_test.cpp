// The drawing library's context: initialisation, reset, capabilities,
// attribute tables, the error log and the OpenGL state cache.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::SglTest;

TEST_F(SglTest, FixtureDrawsThroughTheCurrentMatrix) {
    velkor_test::FillRectRaw(100, 200, 110, 220, 1, 0, 0);
    EXPECT_EQ(200, velkor_test::CountCoveredPixels(90, 190, 30, 40));
    velkor_test::Rgba inside = velkor_test::ReadPixel(105, 210);
    EXPECT_EQ(255, inside.r);
    EXPECT_EQ(0, inside.g);
    EXPECT_EQ(0u, Context().errors.count);
}

}  // namespace
