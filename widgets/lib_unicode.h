// Character access in the panel's text format.
//
// A text is a 255-byte buffer ending at its first 0 byte, if it has one.
// Indices are byte positions, and one character may take several bytes:
//   - a byte 32..254 is one character of the fonts' code page;
//   - the six bytes '\', 'u' and four hexadecimal digits are one character
//     whose code is the 16-bit value of the digits (written with capitals);
//     an escape is recognised only when it starts at or before index 249;
//   - a byte 13 followed by one more byte (10, as the editor writes it) is one
//     line break, character 13; recognised only when it starts at or before
//     index 253.
// The caret behaviour, the text edit box and the string library walk texts
// only through these functions, so an escape or a line break is always
// stepped over, measured and removed as one character.
//
// Every function reads at most the 255 bytes of the text, whatever the index.
// Drawing thread only, like every widget function; no state.
#pragma once

#include <cstdint>

// Bytes in a text buffer; the last usable index is TEXT_SIZE_Strings - 1.
constexpr int32_t TEXT_SIZE_Strings = 255;
// Bytes of an escape: '\', 'u', four hexadecimal digits.
constexpr int32_t ESCAPE_SIZE_Strings = 6;
// Last index at which an escape or a line break may start.
constexpr int32_t LAST_ESCAPE_START_Strings = TEXT_SIZE_Strings - ESCAPE_SIZE_Strings;
constexpr int32_t LAST_LINE_BREAK_START_Strings = TEXT_SIZE_Strings - 2;

// The character at index: an escape gives its code (next := index + 6), a
// line break 13 (next := index + 2), any other byte itself (next := index + 1).
// An index outside 0..254 gives 0 and index + 1 (INT32_MAX stays INT32_MAX).
// next may be null.
uint32_t getCharId(const char* text, int32_t index, int32_t* next);

// The index after the character at index (see getCharId).
int32_t getNextIndex(const char* text, int32_t index);

// The index of the character that ends just before index: index - 6 after an
// escape, index - 2 after a line break, else index - 1 (so -1 for index 0;
// callers clamp; INT32_MIN stays INT32_MIN).
int32_t getPreviousIndex(const char* text, int32_t index);

// 1 for '0'..'9', 'a'..'f', 'A'..'F'.
uint8_t isHexa(uint8_t byte);
// The value of a hexadecimal digit; 0 for any other byte.
uint32_t getHexValue(uint8_t byte);
// '0'..'9' for 0..9, 'A'..'F' for 10..15, '0' for anything larger.
char encodeHexValue(uint32_t value);

// 1 if an escape starts at index (index 0..249).
uint8_t isEscaped(const char* text, int32_t index);
// 1 if an escape ends just before index (index 6..255).
uint8_t isPreviousEscaped(const char* text, int32_t index);

// Writes one character at index. A code of 256 or more at an index up to 249
// becomes an escape of its low 16 bits (next := index + 6); any other code at
// an index up to 254 is written as its low byte (next := index + 1); at 255
// or beyond, or below 0, nothing is written and next := index. Line breaks are
// not written here (the editor inserts the 13, 10 pair itself). next may be
// null.
void setCharAt(char* text, int32_t index, int32_t* next, uint32_t code);
