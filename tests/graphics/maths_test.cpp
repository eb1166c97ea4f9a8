// Checked numbers and degree maths: saturation with the error of the target
// type, checked divisions, rounding helpers, and the trigonometry, arccosine
// and square-root tables checked against their defining rules and against
// the standard library within the stated precision.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "graphics/sgl.h"
#include "graphics/sgl_internal.h"
#include "tests/support/gl_fixture.h"

namespace {

using velkor_test::SglTest;

const double kPi = 3.14159265358979323846;

double Degrees(double radians) {
    return radians * 180.0 / kPi;
}

// ---------------------------------------------------------------------------
// Checked conversions
// ---------------------------------------------------------------------------
struct ConversionCase {
    const char* name;
    std::function<long double()> call;
    long double expected;
    uint32_t error;  // 0: none expected
};

class ConversionTest : public SglTest {};

TEST_F(ConversionTest, SaturatesAndRecordsTheErrorOfTheTargetType) {
    const ConversionCase cases[] = {
        // Int8 (107)
        {"UInt8ToInt8 127", [] { return sglUInt8ToInt8(127); }, 127, 0},
        {"UInt8ToInt8 128", [] { return sglUInt8ToInt8(128); }, 127, 107},
        {"Int16ToInt8 -129", [] { return sglInt16ToInt8(-129); }, -128, 107},
        {"Int16ToInt8 -128", [] { return sglInt16ToInt8(-128); }, -128, 0},
        {"UInt16ToInt8 300", [] { return sglUInt16ToInt8(300); }, 127, 107},
        {"Int32ToInt8 -5", [] { return sglInt32ToInt8(-5); }, -5, 0},
        {"UInt32ToInt8 max", [] { return sglUInt32ToInt8(0xFFFFFFFFu); }, 127, 107},
        {"Int64ToInt8 min", [] { return sglInt64ToInt8(INT64_MIN); }, -128, 107},
        {"UInt64ToInt8 max", [] { return sglUInt64ToInt8(UINT64_MAX); }, 127, 107},
        {"FloatToInt8 127.9", [] { return sglFloatToInt8(127.9f); }, 127, 107},
        {"FloatToInt8 -128", [] { return sglFloatToInt8(-128.0f); }, -128, 0},
        {"FloatToInt8 -7.9", [] { return sglFloatToInt8(-7.9f); }, -7, 0},
        {"DoubleToInt8 -128.5", [] { return sglDoubleToInt8(-128.5); }, -128, 107},
        // UInt8 (108)
        {"Int8ToUInt8 -1", [] { return sglInt8ToUInt8(-1); }, 0, 108},
        {"Int16ToUInt8 255", [] { return sglInt16ToUInt8(255); }, 255, 0},
        {"UInt16ToUInt8 256", [] { return sglUInt16ToUInt8(256); }, 255, 108},
        {"Int32ToUInt8 -300", [] { return sglInt32ToUInt8(-300); }, 0, 108},
        {"UInt32ToUInt8 7", [] { return sglUInt32ToUInt8(7); }, 7, 0},
        {"Int64ToUInt8 1000", [] { return sglInt64ToUInt8(1000); }, 255, 108},
        {"UInt64ToUInt8 256", [] { return sglUInt64ToUInt8(256); }, 255, 108},
        {"FloatToUInt8 -3.5", [] { return sglFloatToUInt8(-3.5f); }, 0, 108},
        {"FloatToUInt8 254.9", [] { return sglFloatToUInt8(254.9f); }, 254, 0},
        {"FloatToUInt8 255.5", [] { return sglFloatToUInt8(255.5f); }, 255, 108},
        {"DoubleToUInt8 0.99", [] { return sglDoubleToUInt8(0.99); }, 0, 0},
        // Int16 (109)
        {"UInt16ToInt16 32768", [] { return sglUInt16ToInt16(32768); }, 32767, 109},
        {"Int32ToInt16 -32769", [] { return sglInt32ToInt16(-32769); }, -32768, 109},
        {"UInt32ToInt16 32767", [] { return sglUInt32ToInt16(32767); }, 32767, 0},
        {"Int64ToInt16 40000", [] { return sglInt64ToInt16(40000); }, 32767, 109},
        {"UInt64ToInt16 1", [] { return sglUInt64ToInt16(1); }, 1, 0},
        {"FloatToInt16 -32768.5", [] { return sglFloatToInt16(-32768.5f); }, -32768, 109},
        {"DoubleToInt16 32767.5", [] { return sglDoubleToInt16(32767.5); }, 32767, 109},
        // UInt16 (110)
        {"Int8ToUInt16 -128", [] { return sglInt8ToUInt16(-128); }, 0, 110},
        {"Int16ToUInt16 32767", [] { return sglInt16ToUInt16(32767); }, 32767, 0},
        {"Int32ToUInt16 65536", [] { return sglInt32ToUInt16(65536); }, 65535, 110},
        {"UInt32ToUInt16 65535", [] { return sglUInt32ToUInt16(65535); }, 65535, 0},
        {"Int64ToUInt16 -1", [] { return sglInt64ToUInt16(-1); }, 0, 110},
        {"UInt64ToUInt16 70000", [] { return sglUInt64ToUInt16(70000); }, 65535, 110},
        {"FloatToUInt16 65535.9", [] { return sglFloatToUInt16(65535.9f); }, 65535, 110},
        {"DoubleToUInt16 12.7", [] { return sglDoubleToUInt16(12.7); }, 12, 0},
        // Int32 (104)
        {"UInt32ToInt32 2^31", [] { return sglUInt32ToInt32(0x80000000u); }, 2147483647, 104},
        {"Int64ToInt32 -2^31-1", [] { return sglInt64ToInt32(-2147483649LL); }, -2147483648.0L, 104},
        {"UInt64ToInt32 5", [] { return sglUInt64ToInt32(5); }, 5, 0},
        {"FloatToInt32 2147483520", [] { return sglFloatToInt32(2147483520.0f); }, 2147483520.0L, 0},
        {"FloatToInt32 2147483648", [] { return sglFloatToInt32(2147483648.0f); }, 2147483647, 104},
        {"FloatToInt32 -2147483648", [] { return sglFloatToInt32(-2147483648.0f); }, -2147483648.0L, 104},
        {"FloatToInt32 -9.99", [] { return sglFloatToInt32(-9.99f); }, -9, 0},
        {"DoubleToInt32 2147483647.0", [] { return sglDoubleToInt32(2147483647.0); }, 2147483647, 0},
        {"DoubleToInt32 2147483647.5", [] { return sglDoubleToInt32(2147483647.5); }, 2147483647, 104},
        // UInt32 (105)
        {"Int8ToUInt32 -1", [] { return sglInt8ToUInt32(-1); }, 0, 105},
        {"Int16ToUInt32 5", [] { return sglInt16ToUInt32(5); }, 5, 0},
        {"Int32ToUInt32 -2", [] { return sglInt32ToUInt32(-2); }, 0, 105},
        {"Int64ToUInt32 2^32", [] { return sglInt64ToUInt32(4294967296LL); }, 4294967295.0L, 105},
        {"UInt64ToUInt32 2^32-1", [] { return sglUInt64ToUInt32(4294967295ULL); }, 4294967295.0L, 0},
        {"FloatToUInt32 4294967040", [] { return sglFloatToUInt32(4294967040.0f); }, 4294967040.0L, 0},
        {"FloatToUInt32 2^32", [] { return sglFloatToUInt32(4294967296.0f); }, 4294967295.0L, 105},
        {"DoubleToUInt32 -0.5", [] { return sglDoubleToUInt32(-0.5); }, 0, 105},
        // UInt64 (111)
        {"Int8ToUInt64 -3", [] { return sglInt8ToUInt64(-3); }, 0, 111},
        {"Int16ToUInt64 3", [] { return sglInt16ToUInt64(3); }, 3, 0},
        {"Int32ToUInt64 min", [] { return sglInt32ToUInt64(INT32_MIN); }, 0, 111},
        {"Int64ToUInt64 max", [] { return sglInt64ToUInt64(INT64_MAX); }, 9223372036854775807.0L, 0},
        {"FloatToUInt64 bound", [] { return sglFloatToUInt64(18446742974197923840.0f); },
         18446742974197923840.0L, 0},
        {"FloatToUInt64 2^64", [] { return sglFloatToUInt64(18446744073709551616.0f); },
         18446744073709551615.0L, 111},
        {"DoubleToUInt64 2^64", [] { return sglDoubleToUInt64(18446744073709551616.0); },
         18446744073709551615.0L, 111},
        // Int64 (112)
        {"UInt64ToInt64 2^63", [] { return sglUInt64ToInt64(9223372036854775808ULL); },
         9223372036854775807.0L, 112},
        {"FloatToInt64 bound", [] { return sglFloatToInt64(9223371487098961920.0f); },
         9223371487098961920.0L, 0},
        {"FloatToInt64 2^63", [] { return sglFloatToInt64(9223372036854775808.0f); },
         9223372036854775807.0L, 112},
        {"DoubleToInt64 -2^63", [] { return sglDoubleToInt64(-9223372036854775808.0); },
         -9223372036854775808.0L, 0},
        {"DoubleToInt64 2^63", [] { return sglDoubleToInt64(9223372036854775808.0); },
         9223372036854775807.0L, 112},
        // Float (106)
        {"DoubleToFloat 1e39", [] { return sglDoubleToFloat(1e39); }, std::numeric_limits<float>::max(), 106},
        {"DoubleToFloat -1e39", [] { return sglDoubleToFloat(-1e39); }, -std::numeric_limits<float>::max(),
         106},
        {"DoubleToFloat 0.25", [] { return sglDoubleToFloat(0.25); }, 0.25L, 0},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.name);
        Context().errors.count = 0;
        EXPECT_EQ(c.expected, c.call());
        if (c.error == 0) {
            EXPECT_EQ(0u, Context().errors.count);
        } else {
            ASSERT_EQ(1u, Context().errors.count);
            EXPECT_EQ(c.error, Context().errors.entries[0].code);
            EXPECT_EQ(0u, Context().errors.entries[0].value);
        }
    }
}

// NaN has no nearest bound; converting it must neither be undefined nor
// pass as a valid number.
TEST_F(ConversionTest, NotANumberBecomesZeroWithTheError) {
    const float nan_float = std::numeric_limits<float>::quiet_NaN();
    const double nan_double = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(0, sglFloatToInt32(nan_float));
    EXPECT_EQ(0u, sglDoubleToUInt64(nan_double));
    EXPECT_EQ(0.0f, sglDoubleToFloat(nan_double));
    ASSERT_EQ(3u, Context().errors.count);
    EXPECT_EQ(SGL_ERROR_TO_INT32, Context().errors.entries[0].code);
    EXPECT_EQ(SGL_ERROR_TO_UINT64, Context().errors.entries[1].code);
    EXPECT_EQ(SGL_ERROR_TO_FLOAT, Context().errors.entries[2].code);
}

// ---------------------------------------------------------------------------
// Divisions and the index clamp
// ---------------------------------------------------------------------------
class CheckedDivisionTest : public SglTest {};

TEST_F(CheckedDivisionTest, LongDivisionRejectsZeroAndTheOverflowingQuotient) {
    struct Case {
        int32_t a, b, expected;
        bool error;
    } cases[] = {
        {7, 2, 3, false}, {-7, 2, -3, false}, {5, 0, 0, true},
        {INT32_MIN, -1, 0, true}, {INT32_MIN, 1, INT32_MIN, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + " / " + std::to_string(c.b));
        Context().errors.count = 0;
        EXPECT_EQ(c.expected, sgluLongDiv(c.a, c.b));
        ASSERT_EQ(c.error ? 1u : 0u, Context().errors.count);
        if (c.error) {
            EXPECT_EQ(SGL_ERROR_LONG_DIV, Context().errors.entries[0].code);
            EXPECT_EQ(static_cast<uint32_t>(c.b), Context().errors.entries[0].value);
        }
    }
}

TEST_F(CheckedDivisionTest, FloatingDivisionsRecordTinyDivisorsAndStillDivide) {
    EXPECT_EQ(2.5f, sgluFloatDiv(5.0f, 2.0f));
    EXPECT_EQ(0u, Context().errors.count);
    EXPECT_EQ(5.0f / 5e-7f, sgluFloatDiv(5.0f, 5e-7f));
    EXPECT_EQ(-4.0 / -1e-7, sgluDoubleDiv(-4.0, -1e-7));
    EXPECT_EQ(3.0, sgluDoubleDiv(3.0, 1.0));
    ASSERT_EQ(2u, Context().errors.count);
    EXPECT_EQ(SGL_ERROR_FLOAT_DIV, Context().errors.entries[0].code);
    EXPECT_EQ(SGL_ERROR_DOUBLE_DIV, Context().errors.entries[1].code);
    EXPECT_EQ(0u, Context().errors.entries[1].value);
}

TEST_F(CheckedDivisionTest, TableIndexClampsAndRecordsTheIndex) {
    struct Case {
        int32_t index, count, expected;
        bool error;
    } cases[] = {
        {0, 5, 0, false}, {4, 5, 4, false}, {7, 5, 4, true}, {-1, 5, 0, true}, {3, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + " of " + std::to_string(c.count));
        Context().errors.count = 0;
        EXPECT_EQ(c.expected, sgluGetTableIndex(c.index, c.count));
        ASSERT_EQ(c.error ? 1u : 0u, Context().errors.count);
        if (c.error) {
            EXPECT_EQ(SGL_ERROR_TABLE_INDEX, Context().errors.entries[0].code);
            EXPECT_EQ(static_cast<uint32_t>(c.index), Context().errors.entries[0].value);
        }
    }
}

TEST(FloatIsEqual, OpenIntervalOfOneMillionth) {
    EXPECT_TRUE(sgluFloatIsEqual(1.0f, 1.0000005f));
    EXPECT_FALSE(sgluFloatIsEqual(0.0f, 2e-6f));
    EXPECT_FALSE(sgluFloatIsEqual(-2e-6f, 0.0f));
}

// ---------------------------------------------------------------------------
// Rounding helpers
// ---------------------------------------------------------------------------
TEST(Rounding, MagnitudeRoundsHalfAwayFromZeroAndClampsAt99999) {
    struct Case {
        float v;
        uint32_t expected;
    } cases[] = {
        {2.5f, 3}, {-2.5f, 3}, {2.4999998f, 2}, {0.49999997f, 0}, {-0.5f, 1},
        {99999.0f, 99999}, {99999.4f, 99999}, {100000.0f, 99999}, {-1e9f, 99999},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, mth_f_to_l(c.v)) << c.v;
    }
}

TEST(Rounding, RoundKeepsTheSignAndLeavesHugeValuesAlone) {
    EXPECT_EQ(-3.0f, mth_f_round(-2.5f));
    EXPECT_EQ(2.0f, mth_f_round(1.5f));
    EXPECT_EQ(1.0f, mth_f_round(1.4999999f));
    EXPECT_EQ(123456.7f, mth_f_round(123456.7f));
    EXPECT_EQ(-0.0f, mth_f_round(-0.2f));
}

TEST(Rounding, CeilingTreatsValuesWithinAMillionthAsIntegers) {
    struct Case {
        float v;
        int32_t expected;
    } cases[] = {
        {2.0000001f, 2}, {2.3f, 3}, {-2.3f, -2}, {0.5f, 1}, {0.0f, 0}, {5.0f, 5},
        {-99999.0f, -99999}, {123456.0f, 99999}, {-0.9f, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, mth_f_to_l_ceil(c.v)) << c.v;
    }
}

TEST(Rounding, NextHigherPowerOfTwo) {
    struct Case {
        int32_t v, lo, hi, expected;
    } cases[] = {
        {300, 1, 1024, 512}, {64, 64, 1024, 64}, {65, 64, 1024, 128}, {10, 64, 1024, 64},
        {5000, 64, 1024, 1024}, {-1, 1, 1024, 0}, {5, 8, 4, 0}, {5, 1, (1 << 30) + 1, 0},
        {(1 << 29) + 1, 1, 1 << 30, 1 << 30},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, mth_next_higher_power2(c.v, c.lo, c.hi)) << c.v << " " << c.lo << " " << c.hi;
    }
}

// ---------------------------------------------------------------------------
// Degree trigonometry
// ---------------------------------------------------------------------------
TEST(DegreeTrigonometry, SineAndCosineFollowTheStandardLibraryWithinAMillionth) {
    double worst_sine = 0;
    double worst_cosine = 0;
    for (int i = -72000; i <= 72000; i++) {
        float a = static_cast<float>(i) * 0.01f;
        double radians = static_cast<double>(a) * kPi / 180.0;
        worst_sine = std::fmax(worst_sine, std::fabs(mth_sin_degree(a) - std::sin(radians)));
        worst_cosine = std::fmax(worst_cosine, std::fabs(mth_cos_degree(a) - std::cos(radians)));
    }
    EXPECT_LT(worst_sine, 1e-6);
    EXPECT_LT(worst_cosine, 1e-6);
}

TEST(DegreeTrigonometry, KnownAnglesAndSigns) {
    EXPECT_NEAR(0.5, mth_sin_degree(30.0f), 1e-6);
    EXPECT_NEAR(-0.5, mth_sin_degree(-30.0f), 1e-6);
    EXPECT_NEAR(-0.5, mth_sin_degree(210.0f), 1e-6);
    EXPECT_NEAR(0.5, mth_cos_degree(-60.0f), 1e-6);
    EXPECT_NEAR(-1.0, mth_cos_degree(180.0f), 1e-6);
    EXPECT_NEAR(0.0, mth_cos_degree(90.0f), 1e-7);
    EXPECT_EQ(1.0f, mth_cos_degree(0.0f));
}

TEST(DegreeTrigonometry, AnglesBeyond99999AreMarkedWithTwo) {
    EXPECT_EQ(2.0f, mth_sin_degree(100000.0f));
    EXPECT_EQ(2.0f, mth_cos_degree(-100000.0f));
    float c = 0;
    float s = 0;
    mth_cos_sin_degree(123456.0f, &c, &s);
    EXPECT_EQ(2.0f, c);
    EXPECT_EQ(2.0f, s);
    EXPECT_LE(std::fabs(mth_sin_degree(99999.0f)), 1.0f);
}

TEST(DegreeTrigonometry, CosSinGivesBothWithTheSineSignOfTheAngle) {
    for (float a : {-300.0f, -45.0f, 0.0f, 12.5f, 135.0f, 359.0f}) {
        float c = 0;
        float s = 0;
        mth_cos_sin_degree(a, &c, &s);
        EXPECT_EQ(mth_cos_degree(a), c) << a;
        EXPECT_EQ(mth_sin_degree(a), s) << a;
    }
}

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
    EXPECT_EQ(0.0f, mth_atan_degree(0.0f));
    EXPECT_NEAR(45.0, mth_atan_degree(1.0f), 1e-5);
    EXPECT_NEAR(-90.0, mth_atan_degree(-1e30f), 1e-5);
}

// Between tan 15 and tan 30 degrees the shifted argument is negative; the
// polynomial must still apply there.
TEST(DegreeTrigonometry, ArctangentBetween15And30Degrees) {
    for (float degrees : {16.0f, 20.0f, 25.0f, 29.9f}) {
        float x = static_cast<float>(std::tan(degrees * kPi / 180.0));
        EXPECT_NEAR(degrees, mth_atan_degree(x), 1e-4) << degrees;
        EXPECT_NEAR(90.0 - degrees, mth_atan_degree(1.0f / x), 1e-4) << degrees;
    }
}

// ---------------------------------------------------------------------------
// Arccosine tables
// ---------------------------------------------------------------------------
TEST(ArccosineTables, EntriesFollowTheirRules) {
    for (int i = 0; i < 882; i++) {
        EXPECT_NEAR(Degrees(std::acos(i / 900.0)), mth_tf_acos_table[i], 2e-5) << i;
    }
    for (int j = 0; j <= 200; j++) {
        EXPECT_NEAR(Degrees(std::acos((9800 + j) / 10000.0)), mth_tf_acos_low_table[j], 2e-5) << j;
    }
    EXPECT_EQ(90.0f, mth_tf_acos_table[0]);
    EXPECT_NEAR(60.0f, mth_tf_acos_table[450], 1e-5);
    EXPECT_EQ(0.0f, mth_tf_acos_low_table[200]);
}

TEST(ArccosineTables, ExamplesAndDegenerateRadii) {
    EXPECT_NEAR(60.0f, mth_acos_degree(0.5f, 1.0f), 1e-5);
    EXPECT_NEAR(60.0f, mth_acos_degree(-0.5f, 1.0f), 1e-5);
    EXPECT_EQ(0.0f, mth_acos_degree(2.0f, 1.0f));
    EXPECT_EQ(90.0f, mth_acos_degree(0.0005f, 0.001f));
    EXPECT_EQ(0.0f, mth_acos_degree(1.0f, 1.0f));
    EXPECT_EQ(90.0f, mth_acos_degree(0.0f, 50.0f));
}

// The result is a table value for the rounded ratio, so it must lie between
// the arccosines of the ends of the rounding interval around the ratio.
// Ratios from 881.5 / 900 up to 0.98 round into the fine table below its
// first entry and take that entry, arccos 0.98.
TEST(ArccosineTables, ResultLiesWithinTheRoundingIntervalOfTheRatio) {
    for (int i = 0; i <= 10000; i++) {
        float ratio = static_cast<float>(i) / 10000.0f;
        bool coarse = ratio * 900.0f < 881.5f;
        double half_step = coarse ? 0.5 / 900.0 : 0.5 / 10000.0;
        double low_ratio = coarse ? ratio - half_step : std::fmax(0.98, ratio - half_step);
        double high_ratio = coarse ? ratio + half_step : std::fmax(0.98, ratio + half_step);
        double upper = Degrees(std::acos(std::fmax(0.0, low_ratio)));
        double lower = Degrees(std::acos(std::fmin(1.0, high_ratio)));
        float result = mth_acos_degree(ratio * 7.0f, 7.0f);
        EXPECT_GE(result, lower - 1e-3) << ratio;
        EXPECT_LE(result, upper + 1e-3) << ratio;
    }
}

// ---------------------------------------------------------------------------
// Square root by chords
// ---------------------------------------------------------------------------
TEST(SquareRoot, ChordTableIsExactAtSegmentEnds) {
    for (int k = 0; k < 256; k++) {
        double lo = k < 128 ? 0.5 + k / 256.0 : 1.0 + (k - 128) / 128.0;
        double hi = k < 128 ? lo + 1.0 / 256.0 : lo + 1.0 / 128.0;
        double slope = stc_tf_tabforsqrt[k][0];
        double intercept = stc_tf_tabforsqrt[k][1];
        EXPECT_NEAR(std::sqrt(lo), slope * lo + intercept, 2e-7) << k;
        EXPECT_NEAR(std::sqrt(hi), slope * hi + intercept, 2e-7) << k;
    }
}

TEST(SquareRoot, RelativeErrorBelowTwoMillionthsOverTheFloatRange) {
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
}

TEST(SquareRoot, ExactPowersZeroNegativeAndSpecialValues) {
    EXPECT_EQ(2.0f, mth_sqrtf(4.0f));
    EXPECT_EQ(0.5f, mth_sqrtf(0.25f));
    EXPECT_EQ(1024.0f, mth_sqrtf(1048576.0f));
    EXPECT_EQ(0.0f, mth_sqrtf(0.0f));
    EXPECT_EQ(0.0f, mth_sqrtf(-9.0f));
    EXPECT_EQ(std::numeric_limits<float>::infinity(), mth_sqrtf(std::numeric_limits<float>::infinity()));
    float tiny = 1e-40f;  // subnormal
    EXPECT_NEAR(std::sqrt(static_cast<double>(tiny)), mth_sqrtf(tiny), 1e-25);
    EXPECT_NEAR(5.0f, mth_norm(1.0f, 1.0f, 4.0f, 5.0f), 1e-5);
}

}  // namespace
