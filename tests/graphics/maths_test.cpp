// Checked numbers and degree maths: saturation with the error of the target
// type, checked divisions, rounding helpers, and the trigonometry, arccosine
// and square-root tables checked against the standard library.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>

#include "graphics/sgl.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::SglTest;

const double kPi = 3.14159265358979323846;

double Degrees(double radians) {
  return radians * 180.0 / kPi;
}

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

TEST_F(CheckedNumbersTest, DivisionsAndTheIndexClamp) {
  const CheckedCase cases[] = {
      {"-7 / 2", [] { return sgluLongDiv(-7, 2); }, -3, 0, 0},
      {"5 / 0", [] { return sgluLongDiv(5, 0); }, 0, SGL_ERROR_LONG_DIV, 0},
      {"min / -1 overflows", [] { return sgluLongDiv(INT32_MIN, -1); }, 0, SGL_ERROR_LONG_DIV,
       0xFFFFFFFF},
      {"5 / 2e-7f still divides", [] { return sgluFloatDiv(5.0f, 2e-7f); }, 5.0f / 2e-7f,
       SGL_ERROR_FLOAT_DIV, 0},
      {"-4 / -1e-7", [] { return sgluDoubleDiv(-4.0, -1e-7); }, -4.0 / -1e-7, SGL_ERROR_DOUBLE_DIV,
       0},
      {"index 7 of 5", [] { return sgluGetTableIndex(7, 5); }, 4, SGL_ERROR_TABLE_INDEX, 7},
      {"index -1 of 5", [] { return sgluGetTableIndex(-1, 5); }, 0, SGL_ERROR_TABLE_INDEX,
       0xFFFFFFFF},
      {"index 3 of none", [] { return sgluGetTableIndex(3, 0); }, 0, SGL_ERROR_TABLE_INDEX, 3},
  };
  Run(cases, sizeof(cases) / sizeof(cases[0]));
}

// ---------------------------------------------------------------------------
// Rounding helpers
// ---------------------------------------------------------------------------
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

// ---------------------------------------------------------------------------
// Degree trigonometry and the tables
// ---------------------------------------------------------------------------
TEST(DegreeTrigonometry, SineAndCosineWithinAMillionthAndBadAnglesMarked) {
  double worst = 0;
  for (int i = -72000; i <= 72000; i++) {
    float a = static_cast<float>(i) * 0.01f;
    double radians = static_cast<double>(a) * kPi / 180.0;
    worst = std::fmax(worst, std::fabs(mth_sin_degree(a) - std::sin(radians)));
    worst = std::fmax(worst, std::fabs(mth_cos_degree(a) - std::cos(radians)));
  }
  EXPECT_LT(worst, 1e-6);
  EXPECT_EQ(1.0f, mth_cos_degree(0.0f));
  EXPECT_EQ(2.0f, mth_sin_degree(100000.0f));
  EXPECT_EQ(2.0f, mth_cos_degree(-100000.0f));
  EXPECT_LE(std::fabs(mth_sin_degree(99999.0f)), 1.0f);
}

// The sweep covers 15 to 30 degrees, where the shifted argument turns
// negative and a careless short cut would lose up to 0.35 degrees.
TEST(DegreeTrigonometry, ArctangentFollowsTheStandardLibrary) {
  double worst = 0;
  float worst_at = 0;
  for (int i = -200000; i <= 200000; i++) {
    float x = static_cast<float>(i) * 0.001f;
    double error = std::fabs(mth_atan_degree(x) - Degrees(std::atan(static_cast<double>(x))));
    if (error > worst) {
      worst = error;
      worst_at = x;
    }
  }
  EXPECT_LT(worst, 2e-5) << "at " << worst_at;
  EXPECT_NEAR(-90.0, mth_atan_degree(-1e30f), 1e-5);
}

// Every table entry is met by some ratio, so this also checks the tables.
TEST(ArccosineTables, ResultsLieWithinTheRoundingIntervalOfTheRatio) {
  // A result must lie between the arccosines of the ends of the rounding
  // interval round the ratio; ratios from 881.5 / 900 up to 0.98 take the
  // fine table's first entry.
  for (int i = 0; i <= 10000; i++) {
    float ratio = static_cast<float>(i) / 10000.0f;
    bool coarse = ratio * 900.0f < 881.5f;
    double half_step = coarse ? 0.5 / 900.0 : 0.5 / 10000.0;
    double low = coarse ? ratio - half_step : std::fmax(0.98, ratio - half_step);
    double high = coarse ? ratio + half_step : std::fmax(0.98, ratio + half_step);
    float result = mth_acos_degree(-ratio * 7.0f, 7.0f);
    EXPECT_GE(result, Degrees(std::acos(std::fmin(1.0, high))) - 1e-3) << ratio;
    EXPECT_LE(result, Degrees(std::acos(std::fmax(0.0, low))) + 1e-3) << ratio;
  }
  EXPECT_EQ(0.0f, mth_acos_degree(2.0f, 1.0f)) << "beyond the radius";
  EXPECT_EQ(90.0f, mth_acos_degree(0.0005f, 0.001f)) << "a radius too small to measure";
}

TEST(SquareRoot, ChordsWithinTwoMillionthsOverTheFloatRange) {
  double worst = 0;
  float worst_at = 0;
  for (float x = 1e-37f; x < 1e37f; x *= 1.0007f) {
    double exact = std::sqrt(static_cast<double>(x));
    double error = std::fabs(mth_sqrtf(x) - exact) / exact;
    if (error > worst) {
      worst = error;
      worst_at = x;
    }
  }
  EXPECT_LT(worst, 2.2e-6) << "at " << worst_at;
  EXPECT_EQ(1024.0f, mth_sqrtf(1048576.0f));
  EXPECT_EQ(0.0f, mth_sqrtf(-9.0f));
  EXPECT_EQ(std::numeric_limits<float>::infinity(),
            mth_sqrtf(std::numeric_limits<float>::infinity()));
  EXPECT_NEAR(1e-20, mth_sqrtf(1e-40f), 1e-25) << "subnormal";
}

}  // namespace
