// Velkor_TextEditBox - a box in which the user types a value.
//
// Shows `initialText` (or `forcedText`, taken in a frame with force set)
// until the user clicks on the box, or presses Enter while it holds the
// focus; then it edits: keys edit at the blinking caret, a click in the
// box moves the caret, a double click selects the whole text (shown
// inverted) which the next key replaces, Enter or a click outside confirms,
// Escape restores the text from before editing. The box keeps the focus
// while it edits. The behaviour is TextEditBox (widgets/TextEditBox.h).
//   e->width = 132; e->height = 30; e->initialText = "0x0000";
//   e->forcedText = decoded; e->force = loadIt; e->pass = pass;
//   Velkor_TextEditBox_draw(e, pass);
//   if (e->enter) use(e->text);      // confirmed this frame
// `text` is the confirmed (or loaded) text; it holds the new text in the
// very frame whose `enter` reports the confirmation.
#pragma once

#include <cstdint>

#include "display/Velkor_Cursor.h"
#include "display/Velkor_GetCycleDuration.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_display.h"
#include "widgets/TextEditBox.h"

struct Velkor_TextEditBox {
  uint32_t focusId;
  uint32_t focusNext;
  float width;
  float height;
  uint8_t enabled;
  uint32_t frameStyle;
  uint32_t colorScheme;
  int32_t faceColor;  // -1: the scheme's white
  uint32_t font;
  int32_t labelColor;  // -1: black
  uint32_t labelAlignment;
  Velkor_DrawnRect drawnRect;
  // parameters
  const char* initialText;
  const char* forcedText;
  uint8_t force;
  int32_t maxLength;   // 255
  uint8_t restricted;  // only Backspace and Delete edit unless all is selected
  uint8_t invert;      // show a selected text inverted
  // outputs
  char text[TEXT_SIZE_Strings + 1];  // the confirmed text, terminated
  uint8_t enter;                     // per frame: confirmed
  uint8_t editing;
  uint8_t selected;
  uint8_t hover;  // per frame
  // computed colours
  int32_t baseColor;
  int32_t frameColor;
  int32_t backColor;
  int32_t textColor;
  uint32_t pass;
  Velkor_Cursor cursor;
  Velkor_GetCycleDuration cycle;
  Velkor_IndividualFocus focus;
  Velkor_KeyEvent keys;
  uint8_t setCursor;     // a click placed the caret in the last frame ...
  int32_t clickedIndex;  // ... at this index
  TextEditBox_State state;
};

Velkor_TextEditBox* Velkor_TextEditBox_alloc();
void Velkor_TextEditBox_free(Velkor_TextEditBox* box);
void Velkor_TextEditBox_init(Velkor_TextEditBox* box);
void Velkor_TextEditBox_predraw(Velkor_TextEditBox* box);
void Velkor_TextEditBox_draw(Velkor_TextEditBox* box, uint32_t pass);
