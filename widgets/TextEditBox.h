// Text edit box behaviour: the two-state machine (displaying, editing) behind
// every box in which the user types a value.
//
//   displaying --click on the box, or Enter, while focused--> editing
//   editing    --Enter, or a press outside the box--> displaying, confirmed
//   editing    --Escape--> displaying, the text from before editing restored
//   editing    --focus lost--> displaying, not confirmed
// While editing, the caret blinks (10 cycles shown, 10 hidden), keys edit the
// text through Edit_Strings (lib_strings.h), a click in the box moves the
// caret (the Cursor display class computes the index), and a second click
// within 500 ms selects the whole text, which the next typed key replaces.
// A confirmed text reaches the output text one cycle after the confirmed
// pulse.
//
// The TextEditBox display class keeps a TextEditBox_State in its instance,
// calls wrapper_TextEditBox_reset from its init and wrapper_TextEditBox once
// per cycle with the pulses of its IndividualFocus and KeyEvent; it keeps
// its focus request set while editing, so the keys stay with it. Calling
// convention in interactivity_mapping.h. Drawing thread only.
#pragma once

#include <cstdint>

#include "widgets/lib_unicode.h"

constexpr uint8_t TEXTEDITBOX_DISPLAYING = 0;
constexpr uint8_t TEXTEDITBOX_EDITING = 1;

// Caret blink half-period, in cycles.
constexpr int64_t TEXTEDITBOX_BLINK_CYCLES = 10;
// Two clicks closer than this are a double click.
constexpr int32_t TEXTEDITBOX_DOUBLE_CLICK_MS = 500;

struct TextEditBox_Inputs {
  uint8_t hover;                 // pointer over the box
  uint8_t pressed;               // pressed-with-focus pulse
  uint32_t button;               // last button
  uint8_t keyPressed;            // KeyEvent pressed pulse
  uint32_t key;                  // character or key code
  char text[TEXT_SIZE_Strings];  // the value shown while not editing
  uint8_t load;                  // take text now
  int32_t maxLength;             // buffer length for editing; 256 and more are 255
  uint8_t setCursor;             // a click placed the caret ...
  int32_t cursorIndex;           // ... at this index (CursorBehavior)
  int32_t cycle;                 // cycle duration in ms (33); 0 or less is taken as 33
  uint8_t focused;               // focus state not 0
  uint8_t restricted;            // only Backspace and Delete edit, unless all is selected
  uint8_t invert;                // draw the text inverted while it is selected
};

struct TextEditBox_State {
  // Outputs.
  uint8_t confirmed;  // the text was confirmed in this cycle
  char outputText[TEXT_SIZE_Strings];
  uint8_t caretVisible;
  int32_t caretIndex;  // -1 (the end) while not editing
  uint8_t editing;
  char displayText[TEXT_SIZE_Strings];
  uint8_t selected;  // the whole text is selected
  uint8_t ready;     // always 1
  // Memories.
  uint8_t doubleClickClosed;
  char workingText[TEXT_SIZE_Strings];
  uint8_t changed;                     // the last step's edit changed the text
  char backupText[TEXT_SIZE_Strings];  // what Escape restores
  uint8_t click;
  uint8_t leaveRequest;
  uint8_t state;  // TEXTEDITBOX_DISPLAYING or _EDITING
  uint8_t previousSetCursor;
  uint8_t selectedMemory;
  int32_t cyclesSinceClick;
  char lastOutputText[TEXT_SIZE_Strings];
  int64_t blinkCounterA;
  int64_t blinkCounterB;
  uint8_t blinkPhase;  // 0 caret shown, 1 hidden
  uint8_t blinkElapsed;
  uint8_t restartB;
  uint8_t restartA;
  uint8_t clickSeen;
  uint8_t firstStep;
  uint8_t entering;
};

void TextEditBox_init(TextEditBox_State* state);
void TextEditBox_reset(TextEditBox_State* state);
void TextEditBox(const TextEditBox_Inputs* in, TextEditBox_State* state);

// text is read up to its terminator (at most 255 bytes); outText and
// outDisplayText receive 255 bytes each. Every output pointer may be null.
void wrapper_TextEditBox(uint8_t hover, uint8_t pressed, uint32_t button, uint8_t keyPressed,
                         uint32_t key, const char* text, uint8_t load, int32_t maxLength,
                         uint8_t setCursor, int32_t cursorIndex, int32_t cycle, uint8_t focused,
                         uint8_t restricted, uint8_t invert, uint8_t* outConfirmed, char* outText,
                         uint8_t* outCaretVisible, int32_t* outCaretIndex, uint8_t* outEditing,
                         char* outDisplayText, uint8_t* outSelected, uint8_t* outReady,
                         TextEditBox_State* state);
void wrapper_TextEditBox_reset(TextEditBox_State* state);
