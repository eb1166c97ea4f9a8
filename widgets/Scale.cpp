#include "widgets/Scale.h"

#include <cmath>
#include <cstring>

#include "widgets/General.h"

namespace {

// Interval factors against the range's own power of ten: steps of 1, 2 or 5
// times a power of ten.
constexpr float kFactors[] = {0.02f, 0.05f, 0.1f, 0.2f, 0.5f, 1.0f, 2.0f, 5.0f};
constexpr int kFactorCount = sizeof kFactors / sizeof kFactors[0];

constexpr float kMinRange = 0.000001f;
// Below this a step would place thousands of ticks on top of each other.
constexpr float kMinTickStep = 0.001f;

bool labels_across(float angle) {
  float a = std::fmod(angle, 360.0f);
  if (a < 0.0f) a += 360.0f;
  return (a >= 45.0f && a <= 135.0f) || (a >= 225.0f && a <= 315.0f);
}

// The decade of x, floor(log10 x), as an integer: -6 for tiny, zero or
// undefined values, and at most that of the largest float, so that an
// infinite centre or range cannot overflow the conversion.
int32_t decade_of(float x) {
  const float decade = std::floor(wid_LogR(x));
  if (!(decade <= 38.0f)) return 38;
  return static_cast<int32_t>(decade);
}

uint8_t on_scale(float position, float length) {
  return position >= 0.0f && position <= length ? 1 : 0;
}

}  // namespace

void Scale_init(Scale_Outputs* out) {
  std::memset(out, 0, sizeof *out);
}

void Scale_reset(Scale_Outputs* /*out*/) {}

void Scale(const Scale_Inputs* in, Scale_Outputs* out) {
  const float range = in->range >= kMinRange ? in->range : kMinRange;
  const float length = in->length;
  const float low = in->centre - range / 2.0f;
  const float high = in->centre + range / 2.0f;
  const int32_t e = decade_of(range);
  const float bigger = std::fabs(low) > std::fabs(high) ? std::fabs(low) : std::fabs(high);
  const int32_t bigE = decade_of(bigger);

  out->integerDigits = bigE < 0 ? 1 : bigE + 1;
  out->fractionDigits = e < 1 ? 1 - e : 0;

  // Room one label needs along the scale: its height when the labels stand
  // across the scale, else its characters (sign, digits, point) at 90 %.
  float room;
  if (labels_across(in->labelAngle)) {
    room = 2.0f * in->characterHeight;
  } else {
    const int32_t fraction = out->fractionDigits > 0 ? out->fractionDigits + 1 : 0;
    room = static_cast<float>(out->integerDigits + 1 + fraction) * in->characterWidth * 0.9f;
  }

  const float decade = wid_PowerR(10.0f, e);
  const float maxIntervals = length / room;
  float intervals = (range / decade) / kFactors[kFactorCount - 1];
  for (int k = 0; k < kFactorCount; ++k) {
    const float candidate = (range / decade) / kFactors[k];
    if (candidate <= maxIntervals) {
      intervals = candidate;
      break;
    }
  }
  if (range / intervals < 1.0f && out->fractionDigits == 0 && out->integerDigits == 2) {
    intervals /= 2.0f;
  }

  const float minorFraction =
      in->minorDivisions >= 1 ? 1.0f / static_cast<float>(in->minorDivisions) : 1.0f;
  float majorStep;
  float majorSpacing;
  if (in->imposedStep > 0.0f) {
    majorStep = in->imposedStep;
    majorSpacing = in->imposedStep * length / range;
  } else {
    majorStep = range / intervals;
    majorSpacing = length / intervals;
  }
  const float unitsPerValue = length / range;

  float minorSpacing = 0.0f;
  // With no minor ticks every one of them lies before the start of the scale.
  float minorOffset = 10.0f;
  if (in->minorDivisions != 0) {
    float minorStep = majorStep * minorFraction;
    if (minorStep < kMinTickStep) minorStep = kMinTickStep;
    minorSpacing = majorSpacing * minorFraction;
    minorOffset = low - std::floor(low / minorStep) * minorStep;
  }
  for (int32_t i = 0; i < SCALE_MINOR_TICKS; ++i) {
    const float position = static_cast<float>(i) * minorSpacing - unitsPerValue * minorOffset;
    out->minorPositions[i] = position;
    out->minorVisible[i] = on_scale(position, length);
  }

  const float tickStep = majorStep > kMinTickStep ? majorStep : kMinTickStep;
  const float offset = low - std::floor(low / tickStep) * tickStep;
  for (int32_t i = 0; i < SCALE_MAJOR_TICKS; ++i) {
    const float position = static_cast<float>(i) * majorSpacing - unitsPerValue * offset;
    out->majorPositions[i] = position;
    out->majorValues[i] = static_cast<float>(i) * majorStep + (low - offset);
    out->majorVisible[i] = on_scale(position, length);
  }
}
