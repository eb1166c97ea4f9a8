// gl_feedback.h - what a drawing call hands to OpenGL (line segments,
// polygons, points in window pixels), read through OpenGL's feedback mode;
// nothing reaches the framebuffer while a call is recorded.
//
//   sglSetRenderMode(0);                       // lines as OpenGL lines
//   const velkor_test::Fed fed = velkor_test::Feed([] { sgluArcSector2f(...); });
//   ASSERT_EQ(21u, fed.StripSize());           // vertices of the line strips
//   EXPECT_NEAR(100.0f, fed.x(0), 1e-3f);
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace velkor_test {

struct Fed {
  // Segment ends joined in order: a segment starting where the last ended
  // adds its end only, so a strip of n vertices gives n.
  std::vector<float> strip;
  uint32_t lines = 0;  // segments; filled polygons and points are passed over

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
      case GL_POLYGON_TOKEN:
        i += 1 + 2 * static_cast<GLint>(b[i]);
        break;
      case GL_POINT_TOKEN:
      case GL_BITMAP_TOKEN:
      case GL_DRAW_PIXEL_TOKEN:
      case GL_COPY_PIXEL_TOKEN:
        i += 2;
        break;
      default:
        ADD_FAILURE() << "unknown feedback token " << token;
        return fed;
    }
  }
  return fed;
}

}  // namespace velkor_test
