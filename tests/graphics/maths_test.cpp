// Checked numbers and rounding: saturation with the error of the target
// type, rounding half away from zero, ceilings and powers of two.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>

#include "graphics/sgl.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::SglTest;

struct CheckedCase {
  const char* name;
  std::function<long double()> call;
  long double expected;
  uint32_t error;  // 0: none expected
  uint32_t value;  // the error's value
};

class CheckedNumbersTest : public SglTest {
 protected:
  static void Run(const CheckedCase* cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      const CheckedCase& c = cases[i];
      SCOPED_TRACE(c.name);
      Context().errors.count = 0;
      EXPECT_EQ(c.expected, c.call());
      ASSERT_EQ(c.error == 0 ? 0u : 1u, Context().errors.count);
      if (c.error != 0) {
        EXPECT_EQ(c.error, Context().errors.entries[0].code);
        EXPECT_EQ(c.value, Context().errors.entries[0].value);
      }
    }
  }
};

// The edges of each target's range, from integers and from floating point
// (whose largest values inside the range are not the range's own ends).
TEST_F(CheckedNumbersTest, ConversionsSaturateAndRecordTheErrorOfTheTargetType) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const CheckedCase cases[] = {
      {"UInt8ToInt8 128", [] { return sglUInt8ToInt8(128); }, 127, 107, 0},
      {"FloatToInt8 -7.9 truncates", [] { return sglFloatToInt8(-7.9f); }, -7, 0, 0},
      {"DoubleToInt8 -128.5", [] { return sglDoubleToInt8(-128.5); }, -128, 107, 0},
      {"Int8ToUInt8 -1", [] { return sglInt8ToUInt8(-1); }, 0, 108, 0},
      {"Int32ToInt16 -32769", [] { return sglInt32ToInt16(-32769); }, -32768, 109, 0},
      {"Int64ToUInt16 -1", [] { return sglInt64ToUInt16(-1); }, 0, 110, 0},
      {"FloatToInt32 2147483520", [] { return sglFloatToInt32(2147483520.0f); }, 2147483520.0L, 0,
       0},
      {"FloatToInt32 2^31", [] { return sglFloatToInt32(2147483648.0f); }, 2147483647, 104, 0},
      {"FloatToInt32 NaN", [nan] { return sglFloatToInt32(nan); }, 0, 104, 0},
      {"Int32ToUInt32 -2", [] { return sglInt32ToUInt32(-2); }, 0, 105, 0},
      {"FloatToUInt32 4294967040", [] { return sglFloatToUInt32(4294967040.0f); }, 4294967040.0L, 0,
       0},
      {"FloatToUInt32 2^32", [] { return sglFloatToUInt32(4294967296.0f); }, 4294967295.0L, 105, 0},
      {"Int8ToUInt64 -3", [] { return sglInt8ToUInt64(-3); }, 0, 111, 0},
      {"FloatToUInt64 2^64", [] { return sglFloatToUInt64(18446744073709551616.0f); },
       18446744073709551615.0L, 111, 0},
      {"UInt64ToInt64 2^63", [] { return sglUInt64ToInt64(9223372036854775808ULL); },
       9223372036854775807.0L, 112, 0},
      {"DoubleToInt64 2^63", [] { return sglDoubleToInt64(9223372036854775808.0); },
       9223372036854775807.0L, 112, 0},
      {"DoubleToFloat -1e39", [] { return sglDoubleToFloat(-1e39); },
       -std::numeric_limits<float>::max(), 106, 0},
      {"DoubleToFloat NaN", [] { return sglDoubleToFloat(std::nan("")); }, 0, 106, 0},
  };
  Run(cases, sizeof(cases) / sizeof(cases[0]));
}

TEST(Rounding, HalfAwayFromZeroCeilingAndPowersOfTwo) {
  const struct {
    float v;
    uint32_t magnitude;
    float rounded;
    int32_t ceiling;
  } cases[] = {
      {2.5f, 3, 3, 3},
      {-2.5f, 3, -3, -2},
      {0.49999997f, 0, 0, 1},
      {2.0000001f, 2, 2, 2},
      {-0.2f, 0, -0.0f, 0},
      {-0.9f, 1, -1, 0},
      {100000.0f, 99999, 100000, 99999},
      {-1e9f, 99999, -1e9f, -99999},
  };
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

}  // namespace
