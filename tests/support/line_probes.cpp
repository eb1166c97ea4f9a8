#include "tests/support/line_probes.h"

#include <GL/gl.h>

#include "graphics/sgl.h"
#include "tests/support/gl_fixture.h"

namespace velkor_test {

// White, red, green, blue, all opaque.
const float kColours[16] = {1, 1, 1, 1, 1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1};

void InstallLineTestTables(const float* widths, uint32_t width_count) {
  sglColorPointerf(kColours, 4);
  sglLineWidthPointerf(widths, width_count);
  sglIndexLineStipplei(0);
  sglIndexLineWidthi(0);
  sglIndexColori(kWhite);
  sglSetRenderMode(1);
  sglSetLineCaps(1);
}

int FirstCoveredX(int y, int x_from, int x_to, int threshold) {
  for (int x = x_from; x <= x_to; ++x) {
    if (CountCoveredPixels(x, y, 1, 1, threshold) > 0) return x;
  }
  return -1;
}

uint8_t ReadStencil(int x, int y) {
  GLubyte value = 0;
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &value);
  return value;
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
