// Scale behaviour: the graduation of a linear scale or gauge - where the
// major and minor ticks fall, which of them lie on the scale, the values of
// the major ticks and how many digits their labels need.
//
// Stateless: the Scale, Slider and gauge display classes call wrapper_Scale
// once per cycle and draw a tick for every visible flag. Positions are in
// panel units from the start of the scale. Drawing thread only:
// wrapper_Scale passes its large inputs and outputs through two static
// records and is not reentrant.
#pragma once

#include <cstdint>

constexpr int32_t SCALE_MAJOR_TICKS = 60;
constexpr int32_t SCALE_MINOR_TICKS = 120;

struct Scale_Inputs {
  float length;          // of the scale, in panel units
  float centre;          // value at the middle of the scale
  float range;           // span of values shown (taken as at least 0.000001)
  float characterWidth;  // of a label character
  float characterHeight;
  float imposedStep;       // major step in value units; 0 or less: automatic
  int32_t minorDivisions;  // minor intervals per major interval; 0: no minor ticks
  float labelAngle;        // degrees
};

struct Scale_Outputs {
  float majorPositions[SCALE_MAJOR_TICKS];
  float minorPositions[SCALE_MINOR_TICKS];
  float majorValues[SCALE_MAJOR_TICKS];
  int32_t integerDigits;
  int32_t fractionDigits;
  uint8_t majorVisible[SCALE_MAJOR_TICKS];
  uint8_t minorVisible[SCALE_MINOR_TICKS];
};

// The records wrapper_Scale works through.
extern Scale_Inputs SSinputs;
extern Scale_Outputs SSoutputs;

void Scale_init(Scale_Outputs* out);
// Nothing to set back: the scale keeps no memories.
void Scale_reset(Scale_Outputs* out);
void Scale(const Scale_Inputs* in, Scale_Outputs* out);

// Every array output receives its whole table (60 or 120 entries); any
// output pointer may be null. The scale has no reset wrapper.
void wrapper_Scale(float length, float centre, float range, float characterWidth,
                   float characterHeight, float imposedStep, int32_t minorDivisions,
                   float labelAngle, float* majorPositions, float* minorPositions,
                   float* majorValues, int32_t* integerDigits, int32_t* fractionDigits,
                   uint8_t* majorVisible, uint8_t* minorVisible);
