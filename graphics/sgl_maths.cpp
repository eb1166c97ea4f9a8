// Checked numbers and degree maths. Hit-tests, arcs and scissors depend on
// these exact rules rather than on the platform's maths library, so the
// approximations below are part of the library's behaviour.
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"

// ---------------------------------------------------------------------------
// Checked conversions
// ---------------------------------------------------------------------------
template <typename Target, typename Source>
static Target sgl_convert_integer(Source v, uint32_t code) {
  using limits = std::numeric_limits<Target>;
  bool below = false;
  bool above = false;
  if constexpr (std::is_signed<Source>::value) {
    below = static_cast<int64_t>(v) < static_cast<int64_t>(limits::min());
    above = static_cast<int64_t>(v) >= 0 &&
            static_cast<uint64_t>(static_cast<int64_t>(v)) > static_cast<uint64_t>(limits::max());
  } else {
    above = static_cast<uint64_t>(v) > static_cast<uint64_t>(limits::max());
  }
  if (below) {
    sgliSetError(code, 0);
    return limits::min();
  }
  if (above) {
    sgliSetError(code, 0);
    return limits::max();
  }
  return static_cast<Target>(v);
}

// lo and hi are the largest values of the source type inside the target's
// range, so that the truncating cast below is always defined. NaN has no
// nearest bound and becomes 0.
template <typename Target, typename Source>
static Target sgl_convert_floating(Source v, Source lo, Source hi, uint32_t code) {
  using limits = std::numeric_limits<Target>;
  if (std::isnan(v)) {
    sgliSetError(code, 0);
    return 0;
  }
  if (v < lo) {
    sgliSetError(code, 0);
    return limits::min();
  }
  if (v > hi) {
    sgliSetError(code, 0);
    return limits::max();
  }
  return static_cast<Target>(v);
}

int8_t sglUInt8ToInt8(uint8_t v) {
  return sgl_convert_integer<int8_t>(v, SGL_ERROR_TO_INT8);
}
int8_t sglInt16ToInt8(int16_t v) {
  return sgl_convert_integer<int8_t>(v, SGL_ERROR_TO_INT8);
}
int8_t sglUInt16ToInt8(uint16_t v) {
  return sgl_convert_integer<int8_t>(v, SGL_ERROR_TO_INT8);
}
int8_t sglInt32ToInt8(int32_t v) {
  return sgl_convert_integer<int8_t>(v, SGL_ERROR_TO_INT8);
}
int8_t sglUInt32ToInt8(uint32_t v) {
  return sgl_convert_integer<int8_t>(v, SGL_ERROR_TO_INT8);
}
int8_t sglInt64ToInt8(int64_t v) {
  return sgl_convert_integer<int8_t>(v, SGL_ERROR_TO_INT8);
}
int8_t sglUInt64ToInt8(uint64_t v) {
  return sgl_convert_integer<int8_t>(v, SGL_ERROR_TO_INT8);
}
int8_t sglFloatToInt8(float v) {
  return sgl_convert_floating<int8_t>(v, -128.0f, 127.0f, SGL_ERROR_TO_INT8);
}
int8_t sglDoubleToInt8(double v) {
  return sgl_convert_floating<int8_t>(v, -128.0, 127.0, SGL_ERROR_TO_INT8);
}

uint8_t sglInt8ToUInt8(int8_t v) {
  return sgl_convert_integer<uint8_t>(v, SGL_ERROR_TO_UINT8);
}
uint8_t sglInt16ToUInt8(int16_t v) {
  return sgl_convert_integer<uint8_t>(v, SGL_ERROR_TO_UINT8);
}
uint8_t sglUInt16ToUInt8(uint16_t v) {
  return sgl_convert_integer<uint8_t>(v, SGL_ERROR_TO_UINT8);
}
uint8_t sglInt32ToUInt8(int32_t v) {
  return sgl_convert_integer<uint8_t>(v, SGL_ERROR_TO_UINT8);
}
uint8_t sglUInt32ToUInt8(uint32_t v) {
  return sgl_convert_integer<uint8_t>(v, SGL_ERROR_TO_UINT8);
}
uint8_t sglInt64ToUInt8(int64_t v) {
  return sgl_convert_integer<uint8_t>(v, SGL_ERROR_TO_UINT8);
}
uint8_t sglUInt64ToUInt8(uint64_t v) {
  return sgl_convert_integer<uint8_t>(v, SGL_ERROR_TO_UINT8);
}
uint8_t sglFloatToUInt8(float v) {
  return sgl_convert_floating<uint8_t>(v, 0.0f, 255.0f, SGL_ERROR_TO_UINT8);
}
uint8_t sglDoubleToUInt8(double v) {
  return sgl_convert_floating<uint8_t>(v, 0.0, 255.0, SGL_ERROR_TO_UINT8);
}

int16_t sglUInt16ToInt16(uint16_t v) {
  return sgl_convert_integer<int16_t>(v, SGL_ERROR_TO_INT16);
}
int16_t sglInt32ToInt16(int32_t v) {
  return sgl_convert_integer<int16_t>(v, SGL_ERROR_TO_INT16);
}
int16_t sglUInt32ToInt16(uint32_t v) {
  return sgl_convert_integer<int16_t>(v, SGL_ERROR_TO_INT16);
}
int16_t sglInt64ToInt16(int64_t v) {
  return sgl_convert_integer<int16_t>(v, SGL_ERROR_TO_INT16);
}
int16_t sglUInt64ToInt16(uint64_t v) {
  return sgl_convert_integer<int16_t>(v, SGL_ERROR_TO_INT16);
}
int16_t sglFloatToInt16(float v) {
  return sgl_convert_floating<int16_t>(v, -32768.0f, 32767.0f, SGL_ERROR_TO_INT16);
}
int16_t sglDoubleToInt16(double v) {
  return sgl_convert_floating<int16_t>(v, -32768.0, 32767.0, SGL_ERROR_TO_INT16);
}

uint16_t sglInt8ToUInt16(int8_t v) {
  return sgl_convert_integer<uint16_t>(v, SGL_ERROR_TO_UINT16);
}
uint16_t sglInt16ToUInt16(int16_t v) {
  return sgl_convert_integer<uint16_t>(v, SGL_ERROR_TO_UINT16);
}
uint16_t sglInt32ToUInt16(int32_t v) {
  return sgl_convert_integer<uint16_t>(v, SGL_ERROR_TO_UINT16);
}
uint16_t sglUInt32ToUInt16(uint32_t v) {
  return sgl_convert_integer<uint16_t>(v, SGL_ERROR_TO_UINT16);
}
uint16_t sglInt64ToUInt16(int64_t v) {
  return sgl_convert_integer<uint16_t>(v, SGL_ERROR_TO_UINT16);
}
uint16_t sglUInt64ToUInt16(uint64_t v) {
  return sgl_convert_integer<uint16_t>(v, SGL_ERROR_TO_UINT16);
}
uint16_t sglFloatToUInt16(float v) {
  return sgl_convert_floating<uint16_t>(v, 0.0f, 65535.0f, SGL_ERROR_TO_UINT16);
}
uint16_t sglDoubleToUInt16(double v) {
  return sgl_convert_floating<uint16_t>(v, 0.0, 65535.0, SGL_ERROR_TO_UINT16);
}

int32_t sglUInt32ToInt32(uint32_t v) {
  return sgl_convert_integer<int32_t>(v, SGL_ERROR_TO_INT32);
}
int32_t sglInt64ToInt32(int64_t v) {
  return sgl_convert_integer<int32_t>(v, SGL_ERROR_TO_INT32);
}
int32_t sglUInt64ToInt32(uint64_t v) {
  return sgl_convert_integer<int32_t>(v, SGL_ERROR_TO_INT32);
}
int32_t sglFloatToInt32(float v) {
  // 2147483520 is the largest float below 2^31; the range is kept symmetric.
  return sgl_convert_floating<int32_t>(v, -2147483520.0f, 2147483520.0f, SGL_ERROR_TO_INT32);
}
int32_t sglDoubleToInt32(double v) {
  return sgl_convert_floating<int32_t>(v, -2147483648.0, 2147483647.0, SGL_ERROR_TO_INT32);
}

uint32_t sglInt8ToUInt32(int8_t v) {
  return sgl_convert_integer<uint32_t>(v, SGL_ERROR_TO_UINT32);
}
uint32_t sglInt16ToUInt32(int16_t v) {
  return sgl_convert_integer<uint32_t>(v, SGL_ERROR_TO_UINT32);
}
uint32_t sglInt32ToUInt32(int32_t v) {
  return sgl_convert_integer<uint32_t>(v, SGL_ERROR_TO_UINT32);
}
uint32_t sglInt64ToUInt32(int64_t v) {
  return sgl_convert_integer<uint32_t>(v, SGL_ERROR_TO_UINT32);
}
uint32_t sglUInt64ToUInt32(uint64_t v) {
  return sgl_convert_integer<uint32_t>(v, SGL_ERROR_TO_UINT32);
}
uint32_t sglFloatToUInt32(float v) {
  return sgl_convert_floating<uint32_t>(v, 0.0f, 4294967040.0f, SGL_ERROR_TO_UINT32);
}
uint32_t sglDoubleToUInt32(double v) {
  return sgl_convert_floating<uint32_t>(v, 0.0, 4294967295.0, SGL_ERROR_TO_UINT32);
}

uint64_t sglInt8ToUInt64(int8_t v) {
  return sgl_convert_integer<uint64_t>(v, SGL_ERROR_TO_UINT64);
}
uint64_t sglInt16ToUInt64(int16_t v) {
  return sgl_convert_integer<uint64_t>(v, SGL_ERROR_TO_UINT64);
}
uint64_t sglInt32ToUInt64(int32_t v) {
  return sgl_convert_integer<uint64_t>(v, SGL_ERROR_TO_UINT64);
}
uint64_t sglInt64ToUInt64(int64_t v) {
  return sgl_convert_integer<uint64_t>(v, SGL_ERROR_TO_UINT64);
}
uint64_t sglFloatToUInt64(float v) {
  return sgl_convert_floating<uint64_t>(v, 0.0f, 18446742974197923840.0f, SGL_ERROR_TO_UINT64);
}
uint64_t sglDoubleToUInt64(double v) {
  return sgl_convert_floating<uint64_t>(v, 0.0, 18446744073709549568.0, SGL_ERROR_TO_UINT64);
}

int64_t sglUInt64ToInt64(uint64_t v) {
  return sgl_convert_integer<int64_t>(v, SGL_ERROR_TO_INT64);
}
int64_t sglFloatToInt64(float v) {
  return sgl_convert_floating<int64_t>(v, -9223371487098961920.0f, 9223371487098961920.0f,
                                       SGL_ERROR_TO_INT64);
}
int64_t sglDoubleToInt64(double v) {
  return sgl_convert_floating<int64_t>(v, -9223372036854775808.0, 9223372036854774784.0,
                                       SGL_ERROR_TO_INT64);
}

float sglDoubleToFloat(double v) {
  const double largest = 3.4028234663852886e38;  // FLT_MAX
  if (std::isnan(v)) {
    sgliSetError(SGL_ERROR_TO_FLOAT, 0);
    return 0.0f;
  }
  if (v > largest) {
    sgliSetError(SGL_ERROR_TO_FLOAT, 0);
    return std::numeric_limits<float>::max();
  }
  if (v < -largest) {
    sgliSetError(SGL_ERROR_TO_FLOAT, 0);
    return -std::numeric_limits<float>::max();
  }
  return static_cast<float>(v);
}

// ---------------------------------------------------------------------------
// Checked divisions and index clamp
// ---------------------------------------------------------------------------
float sgluFloatDiv(float a, float b) {
  if (std::fabs(b) < 1e-6f) {
    sgliSetError(SGL_ERROR_FLOAT_DIV, 0);
  }
  return a / b;
}

double sgluDoubleDiv(double a, double b) {
  if (std::fabs(b) < 1e-6) {
    sgliSetError(SGL_ERROR_DOUBLE_DIV, 0);
  }
  return a / b;
}

int32_t sgluLongDiv(int32_t a, int32_t b) {
  if (b == 0 || (a == std::numeric_limits<int32_t>::min() && b == -1)) {
    sgliSetError(SGL_ERROR_LONG_DIV, static_cast<uint32_t>(b));
    return 0;
  }
  return a / b;
}

int32_t sgluGetTableIndex(int32_t index, int32_t count) {
  if (index >= 0 && index < count) {
    return index;
  }
  sgliSetError(SGL_ERROR_TABLE_INDEX, static_cast<uint32_t>(index));
  if (index < 0 || count < 1) {
    return 0;
  }
  return count - 1;
}

// ---------------------------------------------------------------------------
// Rounding
// ---------------------------------------------------------------------------
uint32_t mth_f_to_l(float v) {
  if (!(v >= -99999.0f && v <= 99999.0f)) {
    return 99999;
  }
  // In double so that 0.49999997 + 0.5 does not round up to 1.
  return static_cast<uint32_t>(std::fabs(static_cast<double>(v)) + 0.5);
}

float mth_f_round(float v) {
  if (!(v >= -99999.0f && v <= 99999.0f)) {
    return v;
  }
  float magnitude = static_cast<float>(mth_f_to_l(v));
  return v < 0.0f ? -magnitude : magnitude;
}

int32_t mth_f_to_l_ceil(float v) {
  if (v <= -99999.0f) {
    return -99999;
  }
  if (v >= 99999.0f) {
    return 99999;
  }
  if (std::isnan(v)) {
    return 0;
  }
  int32_t result = static_cast<int32_t>(v);
  // Values within 1e-6 of an integer count as that integer, so that a width
  // computed as 2.0000001 does not take a third pixel.
  float magnitude = std::fabs(v);
  if (v >= 0.0f && std::fabs(magnitude - static_cast<float>(mth_f_to_l(magnitude))) >= 1e-6f) {
    result++;
  }
  return result;
}

int32_t mth_next_higher_power2(int32_t v, int32_t lo, int32_t hi) {
  const int32_t limit = 1 << 30;
  if (v < 0 || lo < 0 || hi < 0 || v > limit || lo > limit || hi > limit || lo > hi) {
    return 0;
  }
  if (v <= lo) {
    return lo;
  }
  if (v >= hi) {
    return hi;
  }
  int32_t power = 1;
  while (power < v) {
    power <<= 1;
  }
  return power;
}

float mth_norm(float x1, float y1, float x2, float y2) {
  float dx = x2 - x1;
  float dy = y2 - y1;
  return mth_sqrtf(dx * dx + dy * dy);
}

// ---------------------------------------------------------------------------
// Degree trigonometry
// ---------------------------------------------------------------------------
static const float kPiHigh = 3.140625f;  // pi split so that n * kPiHigh is exact
static const float kPiLow = 0.0009676536f;
static const float kDegree = 0.017453292f;
static const float kSmall = 0.00024414063f;  // 2^-12: sin r = r below it
static const float kOutOfRange = 2.0f;       // outside [-1, 1]: marks a bad angle

// Sine of r in [-pi/2, pi/2].
static float mth_sin_polynomial(float r) {
  if (std::fabs(r) < kSmall) {
    return r;
  }
  float r2 = r * r;
  return r +
         r * r2 *
             (-0.16666657f + r2 * (0.0083330255f + r2 * (-0.00019807418f + r2 * 2.6019031e-6f)));
}

float mth_sin_degree(float degrees) {
  float a = std::fabs(degrees);
  if (!(a <= 99999.0f)) {
    return kOutOfRange;
  }
  float x = a * kDegree;
  int32_t n = static_cast<int32_t>(a / 180.0f + 0.5f);
  float fn = static_cast<float>(n);
  float r = x - fn * kPiHigh - fn * kPiLow;
  float y = mth_sin_polynomial(r);
  if (degrees < 0.0f) {
    y = -y;
  }
  if (n & 1) {
    y = -y;
  }
  return y;
}

float mth_cos_degree(float degrees) {
  float a = std::fabs(degrees);
  if (!(a <= 99999.0f)) {
    return kOutOfRange;
  }
  int32_t n = static_cast<int32_t>((a + 90.0f) / 180.0f + 0.5f);
  float half = static_cast<float>(n) - 0.5f;
  float r = a * kDegree - half * kPiHigh - half * kPiLow;
  float y = mth_sin_polynomial(r);
  if (n & 1) {
    y = -y;
  }
  return y;
}

void mth_cos_sin_degree(float degrees, float* out_cos, float* out_sin) {
  *out_cos = mth_cos_degree(degrees);
  *out_sin = mth_sin_degree(degrees);
}

float mth_atan_degree(float x) {
  float v = std::fabs(x);
  int quadrant_case = 0;
  if (v > 1.0f) {
    v = 1.0f / v;
    quadrant_case = 2;
  }
  // Above tan 15 degrees the argument is moved down by 30 degrees.
  if (v > 0.2679492f) {
    v = (v * 0.73205084f - 0.5f - 0.5f + v) / (v + 1.7320508f);
    quadrant_case += 1;
  }
  // The shifted value is negative between 15 and 30 degrees: the short cut
  // for tiny arguments must look at its magnitude, or that whole range
  // would lose the polynomial (an error of up to 0.35 degrees).
  if (!(std::fabs(v) < kSmall)) {
    float v2 = v * v;
    v = v + v * v2 * (-0.050909583f * v2 - 0.47083253f) / (v2 + 1.4125017f);
  }
  v *= 57.29578f;
  switch (quadrant_case) {
    case 1:
      v = v + 30.0f;
      break;
    case 2:
      v = 90.0f - v;
      break;
    case 3:
      v = 60.0f - v;
      break;
    default:
      break;
  }
  return x < 0.0f ? -v : v;
}

float mth_tf_acos_table[882];
float mth_tf_acos_low_table[201];
float stc_tf_tabforsqrt[256][2];

float mth_acos_degree(float x, float r) {
  float a = std::fabs(x);
  if (a > r) {
    return 0.0f;
  }
  if (r <= 0.001f) {
    return mth_tf_acos_table[0];
  }
  uint32_t i = mth_f_to_l(900.0f * a / r);
  if (i < 882) {
    return mth_tf_acos_table[i];
  }
  int32_t j = static_cast<int32_t>(mth_f_to_l(10000.0f * a / r)) - 9800;
  if (j < 0) {
    j = 0;
  }
  if (j > 200) {
    j = 200;  // |x| <= r keeps j at 200 at most; the clamp guards the table
  }
  return mth_tf_acos_low_table[j];
}

// ---------------------------------------------------------------------------
// Square root by chords
// ---------------------------------------------------------------------------
static uint32_t mth_bits(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof(bits));
  return bits;
}

static float mth_from_bits(uint32_t bits) {
  float v;
  std::memcpy(&v, &bits, sizeof(v));
  return v;
}

float mth_sqrtf(float x) {
  if (!(x > 0.0f)) {
    return 0.0f;
  }
  if (std::isinf(x)) {
    return x;
  }
  if (!std::isnormal(x)) {
    // Subnormals lack the leading one the segment lookup relies on:
    // scale by 2^24 and take 2^-12 back afterwards.
    return mth_sqrtf(x * 16777216.0f) / 4096.0f;
  }
  uint32_t bits = mth_bits(x);
  int32_t exponent = static_cast<int32_t>((bits >> 23) & 0xFF);
  uint32_t low_exponent_bit = (bits >> 23) & 1;
  // Exponent forced to 126 (that of 0.5) plus the lowest exponent bit: m in [0.5, 2).
  uint32_t m_bits = (bits & 0x807FFFFFu) | ((126u | low_exponent_bit) << 23);
  float m = mth_from_bits(m_bits);
  uint32_t k = (low_exponent_bit << 7) | ((bits >> 16) & 0x7F);
  float y = m * stc_tf_tabforsqrt[k][0] + stc_tf_tabforsqrt[k][1];
  int32_t difference = exponent - 126;
  int32_t shift = difference >= 0 ? difference / 2 : -((1 - difference) / 2);  // floor of half
  uint32_t y_bits = mth_bits(y);
  y_bits = static_cast<uint32_t>(static_cast<int32_t>(y_bits) + shift * (1 << 23));
  return mth_from_bits(y_bits);
}

// ---------------------------------------------------------------------------
// Tables, computed once when the library is loaded
// ---------------------------------------------------------------------------
static void mth_initialize_tables() {
  const double degrees_per_radian = 180.0 / 3.14159265358979323846;
  for (int i = 0; i < 882; i++) {
    mth_tf_acos_table[i] = static_cast<float>(std::acos(i / 900.0) * degrees_per_radian);
  }
  for (int j = 0; j <= 200; j++) {
    mth_tf_acos_low_table[j] =
        static_cast<float>(std::acos((9800 + j) / 10000.0) * degrees_per_radian);
  }
  for (int k = 0; k < 256; k++) {
    double lo = k < 128 ? 0.5 + k / 256.0 : 1.0 + (k - 128) / 128.0;
    double hi = k < 128 ? lo + 1.0 / 256.0 : lo + 1.0 / 128.0;
    double slope = (std::sqrt(hi) - std::sqrt(lo)) / (hi - lo);
    stc_tf_tabforsqrt[k][0] = static_cast<float>(slope);
    stc_tf_tabforsqrt[k][1] = static_cast<float>(std::sqrt(lo) - slope * lo);
  }
}

namespace {
struct mth_table_initializer {
  mth_table_initializer() { mth_initialize_tables(); }
};
const mth_table_initializer mth_tables_ready;
}  // namespace
