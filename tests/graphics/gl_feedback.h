// gl_feedback.h - what a drawing call hands to OpenGL, read back through
// OpenGL's feedback mode instead of the framebuffer.
//
// What it is
//   The library's own buffers say what it meant to draw; feedback says what
//   OpenGL was given: every line segment, polygon and point after the
//   transformation, in window pixels (the fixture's display units when no
//   matrix is pushed), exact to about 1e-4. Nothing reaches the framebuffer
//   while a call is recorded.
//
// How a test uses it
//   sglSetRenderMode(0);                       // lines as OpenGL lines
//   const velkor_test::Fed fed = velkor_test::Feed([] { sgluArcSector2f(...); });
//   ASSERT_EQ(21u, fed.StripSize());           // vertices of the line strips
//   EXPECT_NEAR(100.0f, fed.x(0), 1e-3f);
//   EXPECT_EQ(72u, fed.polygons);              // triangles of fills
//
// Threads: the test's main thread, with the fixture's context current.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace velkor_test {

struct Fed {
  // Vertices of the line segments joined in order: a segment that starts
  // where the last one ended adds its end only, any other adds both ends.
  // A strip of n vertices gives n; a loop gives its first vertex again.
  std::vector<float> strip;
  std::vector<float> fill;  // vertices of the filled polygons, one after another
  uint32_t lines = 0;       // segments
  uint32_t polygons = 0;    // filled polygons (OpenGL hands fans and strips over as triangles)
  uint32_t points = 0;

  uint32_t StripSize() const { return static_cast<uint32_t>(strip.size() / 2); }
  float x(uint32_t k) const { return strip[2 * k]; }
  float y(uint32_t k) const { return strip[2 * k + 1]; }
};

inline Fed Feed(const std::function<void()>& draw) {
  static std::vector<GLfloat> buffer(1u << 21);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  const GLint n = glRenderMode(GL_RENDER);
  Fed fed;
  if (n < 0) {
    ADD_FAILURE() << "the feedback buffer overflowed";
    return fed;
  }
  const GLfloat* b = buffer.data();
  for (GLint i = 0; i < n;) {
    const GLint token = static_cast<GLint>(b[i++]);
    switch (token) {
      case GL_LINE_RESET_TOKEN:
      case GL_LINE_TOKEN: {
        const size_t size = fed.strip.size();
        if (size < 2 || fed.strip[size - 2] != b[i] || fed.strip[size - 1] != b[i + 1]) {
          fed.strip.insert(fed.strip.end(), {b[i], b[i + 1]});
        }
        fed.strip.insert(fed.strip.end(), {b[i + 2], b[i + 3]});
        ++fed.lines;
        i += 4;
        break;
      }
      case GL_POLYGON_TOKEN: {
        const GLint count = static_cast<GLint>(b[i++]);
        fed.fill.insert(fed.fill.end(), b + i, b + i + 2 * count);
        ++fed.polygons;
        i += 2 * count;
        break;
      }
      case GL_POINT_TOKEN:
        ++fed.points;
        i += 2;
        break;
      case GL_BITMAP_TOKEN:
      case GL_DRAW_PIXEL_TOKEN:
      case GL_COPY_PIXEL_TOKEN:
        i += 2;
        break;
      case GL_PASS_THROUGH_TOKEN:
        i += 1;
        break;
      default:
        ADD_FAILURE() << "unknown feedback token " << token;
        return fed;
    }
  }
  return fed;
}

}  // namespace velkor_test
