// Edit_Strings and the text edit box on key streams taken from the input:
// any key code, any cursor, any length limit. The edited text must stay
// terminated inside its 255 bytes and the cursor inside the text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "widgets/TextEditBox.h"
#include "widgets/lib_strings.h"

// A broken expectation: names the line of this file, then stops the run
// so that libFuzzer saves the input.
[[noreturn]] static void fuzz_fail(int line) {
  fprintf(stderr, "%s:%d: expectation failed\n", __FILE__, line);
  abort();
}

namespace {

uint32_t read_word(const uint8_t* data, size_t size, size_t* at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; i++) v = (v << 8) | (*at < size ? data[(*at)++] : 0);
  return v;
}

// Mostly the keys a person presses; sometimes any 32-bit code.
uint32_t read_key(const uint8_t* data, size_t size, size_t* at) {
  uint8_t b = *at < size ? data[(*at)++] : 0;
  if (b == 0xFF) return read_word(data, size, at);
  if (b >= 0xF0) return 256 + (b & 0x0F) * 7;  // special key codes
  return b;
}

TextEditBox_State box;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  size_t at = 0;
  uint8_t mode = data[at++];

  char text[TEXT_SIZE_Strings] = {};
  int32_t cursor = 0;
  int32_t max_len = static_cast<int32_t>(read_word(data, size, &at));
  if (mode & 1) max_len = static_cast<int32_t>(static_cast<uint32_t>(max_len) % 300);
  char edited[TEXT_SIZE_Strings];
  while (at < size) {
    uint32_t key = read_key(data, size, &at);
    if (key == 0xFE) {  // a jump of the cursor anywhere
      cursor = static_cast<int32_t>(read_word(data, size, &at));
      continue;
    }
    int32_t new_cursor = -12345;
    uint8_t changed = 2;
    memset(edited, 0x5A, sizeof edited);
    Edit_Strings(0, text, key, cursor, max_len, &new_cursor, edited, &changed);
    if (changed > 1 || new_cursor == -12345) fuzz_fail(__LINE__);
    if (changed) {
      if (memchr(edited, 0, sizeof edited) == nullptr) fuzz_fail(__LINE__);
      memcpy(text, edited, sizeof text);
    }
    int32_t length = static_cast<int32_t>(strlen(text));
    if (new_cursor < 0 || new_cursor > length) {
      // A cursor outside the text given in is allowed to come back as it
      // was only when nothing changed.
      if (changed) fuzz_fail(__LINE__);
    }
    cursor = new_cursor;
  }

  // The same stream through the edit box, as a focused box receives it.
  TextEditBox_init(&box);
  TextEditBox_Inputs in = {};
  in.maxLength = max_len;
  in.focused = 1;
  in.cycle = 33;
  in.restricted = (mode >> 1) & 1;
  in.invert = (mode >> 2) & 1;
  memcpy(in.text, "0x1234", 7);
  in.load = 1;
  at = 5;
  int step = 0;
  while (at < size && step < 2000) {
    uint8_t b = data[at++];
    in.hover = b & 1;
    in.pressed = (b >> 1) & 1;
    in.button = (b >> 2) & 3;
    in.keyPressed = (b >> 4) & 1;
    in.key = read_key(data, size, &at);
    in.setCursor = (b >> 5) & 1;
    in.cursorIndex = static_cast<int32_t>(static_cast<int8_t>(at < size ? data[at] : 0));
    in.focused = (b >> 6) != 3;
    TextEditBox(&in, &box);
    in.load = 0;
    if (memchr(box.outputText, 0, sizeof box.outputText) == nullptr) fuzz_fail(__LINE__);
    if (memchr(box.displayText, 0, sizeof box.displayText) == nullptr) fuzz_fail(__LINE__);
    if (memchr(box.workingText, 0, sizeof box.workingText) == nullptr) fuzz_fail(__LINE__);
    step++;
  }
  return 0;
}
