#include "tests/support/cycle_driver.h"

#include <cmath>

namespace velkor_test {

bool PointInRect(float x, float y, float left, float bottom, float width, float height) {
  // A degenerate rectangle has no inside, however the point lies on it.
  if (std::fabs(width) <= 1e-6f || std::fabs(height) <= 1e-6f) return false;
  const float right = left + width;
  const float top = bottom + height;
  const float x0 = std::fmin(left, right);
  const float x1 = std::fmax(left, right);
  const float y0 = std::fmin(bottom, top);
  const float y1 = std::fmax(bottom, top);
  return x >= x0 && x <= x1 && y >= y0 && y <= y1;
}

}  // namespace velkor_test
