#include "tests/support/line_probes.h"

#include <GL/gl.h>

#include "graphics/sgl.h"
#include "tests/support/gl_fixture.h"

namespace velkor_test {

namespace {

const float kColours[4][4] = {
    {1.0f, 1.0f, 1.0f, 1.0f},
    {1.0f, 0.0f, 0.0f, 1.0f},
    {0.0f, 1.0f, 0.0f, 1.0f},
    {0.0f, 0.0f, 1.0f, 1.0f},
};

bool Covered(const Rgba& p, int threshold) {
  return p.r > threshold || p.g > threshold || p.b > threshold;
}

}  // namespace

void InstallLineTestTables(const float* widths, uint32_t width_count) {
  sglColorPointerf(&kColours[0][0], 4);
  sglLineWidthPointerf(widths, width_count);
  sglIndexLineStipplei(0);
  sglIndexLineWidthi(0);
  sglIndexColori(kWhite);
  sglSetRenderMode(1);
  sglSetLineCaps(1);
}

int LastCoveredX(int y, int x_from, int x_to, int threshold) {
  for (int x = x_to; x >= x_from; --x) {
    if (Covered(ReadPixel(x, y), threshold)) {
      return x;
    }
  }
  return -1;
}

int FirstCoveredX(int y, int x_from, int x_to, int threshold) {
  for (int x = x_from; x <= x_to; ++x) {
    if (Covered(ReadPixel(x, y), threshold)) {
      return x;
    }
  }
  return -1;
}

int CoveredInColumn(int x, int y_from, int y_to, int threshold) {
  return CountCoveredPixels(x, y_from, 1, y_to - y_from + 1, threshold);
}

uint8_t ReadStencil(int x, int y) {
  GLubyte value = 0;
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &value);
  return value;
}

float VertexX(uint32_t k) {
  return sglGetCurrentContext()->vertices[k][0];
}

float VertexY(uint32_t k) {
  return sglGetCurrentContext()->vertices[k][1];
}

ErrorList TakeErrors() {
  sgl_error_log* log = &sglGetCurrentContext()->errors;
  ErrorList errors;
  for (uint32_t k = 0; k < log->count; ++k)
    errors.emplace_back(log->entries[k].code, log->entries[k].value);
  log->count = 0;
  return errors;
}

}  // namespace velkor_test
