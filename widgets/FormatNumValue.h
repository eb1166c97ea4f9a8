// Number formatting for numeric read-outs: a fixed number of integer and
// fraction digits, optional leading zeros and a sign rule.
//
//   char text[TEXT_SIZE_Strings];
//   FormatNumValue_Strings(-3.14159, 1, 0, 3, 2, text);   // "-003.14"
//
// Drawing thread (any thread: no state).
#pragma once

#include <cstdint>

// Writes value into out (a 255-byte text) and returns the length written.
//   leadingZeros 1: pad the integer part with zeros up to intDigits.
//   signMode 0: "+" or "-" always; 1: never a sign; other: "-" only.
//   intDigits: integer digits shown; a longer integer part keeps only its
//              last intDigits digits (taken as 0..200).
//   fracDigits: digits after the point, rounded half up; 0 writes no point
//              (taken as 0..9).
// A value that is not a number, or infinite, is written as 0.
int32_t FormatNumValue_Strings(double value, uint8_t leadingZeros, uint32_t signMode,
                               int32_t intDigits, int32_t fracDigits, char* out);
