#include "widgets/lib_unicode.h"

#include <cstdint>

namespace {

constexpr uint8_t kCrByte = 13;

uint8_t byte_at(const char* text, int32_t index) {
  return static_cast<uint8_t>(text[index]);
}

bool is_line_break_start(const char* text, int32_t index) {
  return index >= 0 && index <= LAST_LINE_BREAK_START_Strings && byte_at(text, index) == kCrByte;
}

// The neighbours of an index far outside the text: they stay within the
// integer range, so a caller walking from INT32_MAX or INT32_MIN stops there
// instead of wrapping around into the text.
int32_t index_after(int32_t index) {
  return index < INT32_MAX ? index + 1 : index;
}

int32_t index_before(int32_t index) {
  return index > INT32_MIN ? index - 1 : index;
}

}  // namespace

uint8_t isHexa(uint8_t byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'f') ||
         (byte >= 'A' && byte <= 'F');
}

uint32_t getHexValue(uint8_t byte) {
  if (byte >= '0' && byte <= '9') return byte - '0';
  if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10u;
  if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10u;
  return 0;
}

char encodeHexValue(uint32_t value) {
  if (value < 10) return static_cast<char>('0' + value);
  if (value < 16) return static_cast<char>('A' + (value - 10));
  return '0';
}

uint8_t isEscaped(const char* text, int32_t index) {
  if (index < 0 || index > LAST_ESCAPE_START_Strings) return 0;
  if (text[index] != '\\' || text[index + 1] != 'u') return 0;
  for (int32_t i = index + 2; i < index + ESCAPE_SIZE_Strings; ++i) {
    if (!isHexa(byte_at(text, i))) return 0;
  }
  return 1;
}

uint8_t isPreviousEscaped(const char* text, int32_t index) {
  if (index < ESCAPE_SIZE_Strings || index > TEXT_SIZE_Strings) return 0;
  return isEscaped(text, index - ESCAPE_SIZE_Strings);
}

uint32_t getCharId(const char* text, int32_t index, int32_t* next) {
  if (index < 0 || index >= TEXT_SIZE_Strings) {
    if (next) *next = index_after(index);
    return 0;
  }
  if (isEscaped(text, index)) {
    uint32_t code = 0;
    for (int32_t i = index + 2; i < index + ESCAPE_SIZE_Strings; ++i) {
      code = code * 16 + getHexValue(byte_at(text, i));
    }
    if (next) *next = index + ESCAPE_SIZE_Strings;
    return code;
  }
  if (is_line_break_start(text, index)) {
    if (next) *next = index + 2;
    return kCrByte;
  }
  if (next) *next = index + 1;
  return byte_at(text, index);
}

int32_t getNextIndex(const char* text, int32_t index) {
  int32_t next = index;
  getCharId(text, index, &next);
  return next;
}

int32_t getPreviousIndex(const char* text, int32_t index) {
  // An escape or a line break that starts at index 0 ends at index 6 or 2:
  // those indices must step back over the whole character too, or the caret
  // would land inside it and the next keystroke would split it.
  if (index > TEXT_SIZE_Strings || index <= 0) return index_before(index);
  if (isPreviousEscaped(text, index)) return index - ESCAPE_SIZE_Strings;
  if (index >= 2 && is_line_break_start(text, index - 2)) return index - 2;
  return index - 1;
}

void setCharAt(char* text, int32_t index, int32_t* next, uint32_t code) {
  if (index < 0 || index >= TEXT_SIZE_Strings) {
    if (next) *next = index;
    return;
  }
  if (code >= 256 && index <= LAST_ESCAPE_START_Strings) {
    const uint32_t low = code & 0xFFFFu;
    text[index] = '\\';
    text[index + 1] = 'u';
    text[index + 2] = encodeHexValue((low >> 12) & 0xF);
    text[index + 3] = encodeHexValue((low >> 8) & 0xF);
    text[index + 4] = encodeHexValue((low >> 4) & 0xF);
    text[index + 5] = encodeHexValue(low & 0xF);
    if (next) *next = index + ESCAPE_SIZE_Strings;
    return;
  }
  text[index] = static_cast<char>(code & 0xFFu);
  if (next) *next = index + 1;
}
