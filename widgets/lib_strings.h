// String library of the widgets: the one-step text editor behind the text
// edit box, the inversion and colour escapes of rich text, and small text and
// number helpers.
//
// Texts are 255-byte buffers in the format that lib_unicode.h describes
// (six-byte escapes above code 255, 13 10 line breaks). A function reads a
// text only up to its first 0 byte and never beyond 255 bytes, so a shorter
// zero-terminated string may be passed as input; outputs are always whole
// 255-byte buffers and every byte written is defined.
//
// A text edit box calls Edit_Strings once for each key pulse it receives;
// the display class of a selected text draws InvertText_Strings of it.
// Drawing thread only; the only module state is wordSep.
#pragma once

#include <cstdint>

#include "widgets/lib_unicode.h"

constexpr uint8_t CR_char_Strings = 13;
constexpr uint8_t LF_char_Strings = 10;
constexpr uint8_t NUL_char_Strings = 0;
constexpr uint8_t BackSpace_char_Strings = 8;
constexpr uint8_t Escape_char_Strings = 27;

// A text of zeros, one byte longer than a text buffer so it is terminated
// whichever way it is read.
extern const char NullString[TEXT_SIZE_Strings + 1];

// Word separators used when text is wrapped at words (SetWordWrap): up to 20
// bytes, always zero-terminated; a single space at start.
constexpr int32_t WORD_SEP_SIZE_Strings = 20;
extern char wordSep[WORD_SEP_SIZE_Strings + 1];

// One editing step on text at cursor (-1: the end of the text), as typed key
// `key` asks. maxLen is the usable buffer length (taken as 0..255).
//   8 Backspace     removes the character before the cursor (an escape or a
//                   line break as a whole)
//   KEY_DELETE      removes the character at the cursor
//   13 Enter        inserts a line break (13 10)
//   KEY_LEFT/RIGHT  move over one character, within 0 and the end of the text
//   KEY_UP/DOWN     move to the end of the previous line / the start of the next
//   KEY_HOME/END    move to the start / the end of the text
//   32..254         insert that byte
//   256 and more    any other code is inserted as the escape of its low 16
//                   bits (function keys, page keys, KEY_INSERT, wide characters)
// Everything else (Tab, Escape, the control bytes 0..31 and 255) changes
// nothing. An insertion that would leave no room for the terminating 0
// changes nothing either: the text never loses characters at its end.
// newCursor and changed are always written; newText (255 bytes: the edited
// text followed by zeros) only when changed is 1. `unused` is kept for the
// callers' calling convention.
void Edit_Strings(uint32_t unused, const char* text, uint32_t key, int32_t cursor, int32_t maxLen,
                  int32_t* newCursor, char* newText, uint8_t* changed);

// display := 27 'D', the text (at most 251 bytes), 27 'E', then zeros. The
// drawing library draws what lies between the two escapes inverted.
void InvertText_Strings(const char* text, char* display);

// empty := the text's first byte is 0.
void StringIsEmpty(const char* text, uint8_t* empty);

// Copies at most 20 bytes of separators into wordSep.
void SetWordWrap(const char* separators);

// out := 27 'A' colour1 27 'B' colour2, the text (at most 248 bytes), zeros.
void SetTextColor_Strings(const char* text, uint8_t colour1, uint8_t colour2, char* out);

// upper 1: 'a'..'z' become capitals; upper 0: 'A'..'Z' become small
// letters. Any other byte is returned unchanged.
char SetCharacterCase(char character, uint8_t upper);

// out := text with character appended at its end, if the end lies at or
// before index 253; a fuller text is copied unchanged.
void AddCharAtEnd_NumKeypad(const char* text, char character, char* out);

// out := text without its last byte; a text of 255 non-zero bytes is copied
// unchanged.
void RemoveCharAtEnd_NumKeypad(const char* text, char* out);

// The number at the start of text ("1.5", "-2e3", " 7"); 0 for a text that
// does not begin with a number.
float Float_of_string_Strings(const char* text);
