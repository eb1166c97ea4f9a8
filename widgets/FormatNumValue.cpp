#include "widgets/FormatNumValue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "widgets/lib_unicode.h"

namespace {

// Bounds that keep sign, digits, point and terminator inside one text buffer.
constexpr int32_t kMaxIntDigits = 200;
constexpr int32_t kMaxFracDigits = 9;

}  // namespace

int32_t FormatNumValue_Strings(double value, uint8_t leadingZeros, uint32_t signMode,
                               int32_t intDigits, int32_t fracDigits, char* out) {
  intDigits = std::clamp(intDigits, 0, kMaxIntDigits);
  fracDigits = std::clamp(fracDigits, 0, kMaxFracDigits);
  if (!std::isfinite(value)) value = 0.0;

  std::memset(out, 0, TEXT_SIZE_Strings);
  int32_t length = 0;
  if (value >= 0.0 && signMode == 0) out[length++] = '+';
  if (value < 0.0 && signMode != 1) out[length++] = '-';
  value = std::fabs(value);

  double intPart = std::floor(value);
  const double scale = std::pow(10.0, fracDigits);
  double frac = std::floor((value - intPart) * scale + 0.5);
  if (frac >= scale) {
    frac -= scale;
    intPart += 1.0;
  }

  // A double's integer part has at most 309 digits.
  char digits[320];
  const int n = std::snprintf(digits, sizeof digits, "%.0f", intPart);
  if (leadingZeros == 1) {
    for (int32_t i = n; i < intDigits; ++i) out[length++] = '0';
  }
  const int32_t shown = n <= intDigits ? n : intDigits;
  std::memcpy(out + length, digits + (n - shown), static_cast<size_t>(shown));
  length += shown;

  if (fracDigits > 0) {
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%0*.0f", static_cast<int>(fracDigits), frac);
    const int32_t fractionLength = static_cast<int32_t>(std::strlen(fraction));
    std::memcpy(out + length, fraction, static_cast<size_t>(fractionLength));
    length += fractionLength;
  }
  return length;
}
