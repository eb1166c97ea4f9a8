#include "widgets/Scale.h"

#include <cstring>

Scale_Inputs SSinputs;
Scale_Outputs SSoutputs;

void wrapper_Scale(float length, float centre, float range, float characterWidth,
                   float characterHeight, float imposedStep, int32_t minorDivisions,
                   float labelAngle, float* majorPositions, float* minorPositions,
                   float* majorValues, int32_t* integerDigits, int32_t* fractionDigits,
                   uint8_t* majorVisible, uint8_t* minorVisible) {
  SSinputs = Scale_Inputs{length,          centre,      range,          characterWidth,
                          characterHeight, imposedStep, minorDivisions, labelAngle};
  Scale(&SSinputs, &SSoutputs);
  if (majorPositions)
    std::memcpy(majorPositions, SSoutputs.majorPositions, sizeof SSoutputs.majorPositions);
  if (minorPositions)
    std::memcpy(minorPositions, SSoutputs.minorPositions, sizeof SSoutputs.minorPositions);
  if (majorValues) std::memcpy(majorValues, SSoutputs.majorValues, sizeof SSoutputs.majorValues);
  if (integerDigits) *integerDigits = SSoutputs.integerDigits;
  if (fractionDigits) *fractionDigits = SSoutputs.fractionDigits;
  if (majorVisible)
    std::memcpy(majorVisible, SSoutputs.majorVisible, sizeof SSoutputs.majorVisible);
  if (minorVisible)
    std::memcpy(minorVisible, SSoutputs.minorVisible, sizeof SSoutputs.minorVisible);
}
