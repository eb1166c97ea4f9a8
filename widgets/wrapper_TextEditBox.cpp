#include <cstring>

#include "widgets/TextEditBox.h"

void wrapper_TextEditBox(uint8_t hover, uint8_t pressed, uint32_t button, uint8_t keyPressed,
                         uint32_t key, const char* text, uint8_t load, int32_t maxLength,
                         uint8_t setCursor, int32_t cursorIndex, int32_t cycle, uint8_t focused,
                         uint8_t restricted, uint8_t invert, uint8_t* outConfirmed, char* outText,
                         uint8_t* outCaretVisible, int32_t* outCaretIndex, uint8_t* outEditing,
                         char* outDisplayText, uint8_t* outSelected, uint8_t* outReady,
                         TextEditBox_State* state) {
  TextEditBox_Inputs in;
  in.hover = hover;
  in.pressed = pressed;
  in.button = button;
  in.keyPressed = keyPressed;
  in.key = key;
  // Read only up to the terminator: a caller may pass a string shorter than
  // a text buffer.
  std::memset(in.text, 0, sizeof in.text);
  if (text) std::memcpy(in.text, text, strnlen(text, sizeof in.text));
  in.load = load;
  in.maxLength = maxLength;
  in.setCursor = setCursor;
  in.cursorIndex = cursorIndex;
  in.cycle = cycle;
  in.focused = focused;
  in.restricted = restricted;
  in.invert = invert;

  TextEditBox(&in, state);

  if (outConfirmed) *outConfirmed = state->confirmed;
  if (outText) std::memcpy(outText, state->outputText, sizeof state->outputText);
  if (outCaretVisible) *outCaretVisible = state->caretVisible;
  if (outCaretIndex) *outCaretIndex = state->caretIndex;
  if (outEditing) *outEditing = state->editing;
  if (outDisplayText) std::memcpy(outDisplayText, state->displayText, sizeof state->displayText);
  if (outSelected) *outSelected = state->selected;
  if (outReady) *outReady = state->ready;
}

void wrapper_TextEditBox_reset(TextEditBox_State* state) {
  TextEditBox_reset(state);
}
