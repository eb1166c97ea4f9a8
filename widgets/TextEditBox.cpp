#include "widgets/TextEditBox.h"

#include <cstdint>
#include <cstring>

#include "widgets/General.h"
#include "widgets/interactivity_mapping.h"
#include "widgets/lib_strings.h"

namespace {

void copyText(char* to, const char* from) {
  std::memcpy(to, from, TEXT_SIZE_Strings);
}

void fillSpaces(char* text) {
  std::memset(text, ' ', TEXT_SIZE_Strings);
}

// One half of the caret's blink: restarts its counter when asked, counts it
// down and reports whether the half has elapsed.
bool runBlinkHalf(uint8_t* restart, int64_t* counter, uint8_t elapsedBefore, bool entering) {
  if (elapsedBefore && !entering) *restart = 1;
  if (*restart) *counter = TEXTEDITBOX_BLINK_CYCLES;
  if (*counter >= 0) --*counter;
  return *counter == 0;
}

}  // namespace

void TextEditBox_reset(TextEditBox_State* state) {
  state->leaveRequest = 0;
  state->click = 0;
  state->changed = 0;
  state->restartB = 1;
  state->restartA = 1;
  state->clickSeen = 1;
  state->firstStep = 1;
  state->entering = 1;
  copyText(state->backupText, NullString);
  copyText(state->workingText, NullString);
  state->caretIndex = -1;
  state->state = TEXTEDITBOX_DISPLAYING;
}

void TextEditBox_init(TextEditBox_State* state) {
  std::memset(state, 0, sizeof *state);
  TextEditBox_reset(state);
  fillSpaces(state->outputText);
  fillSpaces(state->displayText);
  fillSpaces(state->lastOutputText);
}

// The story of one edit (cycles of 33 ms, the box focused and hovered):
//   cycle | input                | state after | selected | caret | text        | output / confirmed
//   ------+----------------------+-------------+----------+-------+-------------+-------------------
//     0   | first step, "12"     | displaying  |    0     |  -1   | "12"        | "12" / 0
//     1   | click                | editing     |    0     |  -1   | "12"        | "12" / 0
//     2   | (entering: backup)   | editing     |    0     |  -1   | "12"        | "12" / 0
//     5   | click (double)       | editing     |    1     |  -1   | "12" shown inverted
//     6   | types "A"            | editing     |    1     |   1   | "A"         | "12" / 0
//     7   | types "B"            | editing     |    0     |   2   | "AB"        | "12" / 0
//     8   | Enter                | displaying  |    0     |   2   | "AB"        | "12" / 1
//     9   |                      | displaying  |    0     |  -1   | "AB"        | "AB" / 0
// Escape instead of Enter restores "12" and confirms nothing; losing the
// focus leaves editing with the typed text shown but not confirmed.
void TextEditBox(const TextEditBox_Inputs* in, TextEditBox_State* state) {
  const bool enterKey = in->keyPressed && in->key == KEY_ENTER;
  const bool escapeKey = in->keyPressed && in->key == KEY_ESCAPE;

  state->ready = 1;

  // Click timing: the window for a second click opens in the cycle after a
  // click and stays open for 500 ms.
  if (state->click) state->clickSeen = 1;
  state->click = (in->pressed && BHVR_LeftButton(in->button) && in->hover) ? 1 : 0;
  if (state->clickSeen) {
    state->cyclesSinceClick = 1;
  } else if (state->cyclesSinceClick < INT32_MAX) {
    ++state->cyclesSinceClick;
  }
  const int32_t cycle = in->cycle > 0 ? in->cycle : CYCLE_DURATION_MS;
  state->doubleClickClosed = ((state->doubleClickClosed && !state->clickSeen) ||
                              TEXTEDITBOX_DOUBLE_CLICK_MS / cycle < state->cyclesSinceClick)
                                 ? 1
                                 : 0;
  state->clickSeen = 0;
  const bool doubleClickOpen = !state->doubleClickClosed;

  bool edit = false;
  bool cancel = false;
  char edited[TEXT_SIZE_Strings];
  int32_t editedCaret = state->caretIndex;
  uint8_t nextPhase = state->blinkPhase;
  uint8_t phaseRun = state->blinkPhase;

  if (state->state == TEXTEDITBOX_DISPLAYING) {
    state->editing = 0;
    state->changed = 0;
    state->confirmed = 0;
    state->selected = 0;
    state->selectedMemory = 0;
  } else {
    // A leave request from the previous step means the box has just
    // entered editing (a request made while editing ends it at once).
    if (state->leaveRequest) {
      state->entering = 1;
      state->restartA = 1;
      state->restartB = 1;
    }
    const bool entering = state->entering != 0;

    // Blink.
    phaseRun = entering ? 0 : state->blinkPhase;
    if (phaseRun == 0) {
      const bool elapsed =
          runBlinkHalf(&state->restartA, &state->blinkCounterA, state->blinkElapsed, entering);
      state->blinkElapsed = elapsed;
      nextPhase = elapsed ? 1 : 0;
    } else {
      const bool elapsed =
          runBlinkHalf(&state->restartB, &state->blinkCounterB, state->blinkElapsed, entering);
      state->blinkElapsed = elapsed;
      nextPhase = elapsed ? 0 : 1;
    }
    state->blinkPhase = nextPhase;

    // The whole text is selected by a double click and stays selected until
    // an edit.
    state->editing = 1;
    const bool selected =
        ((state->selectedMemory && !entering) || (state->click && doubleClickOpen)) &&
        !state->changed;

    // Editing. Enter is never typed into the box: it confirms.
    const uint32_t key = in->key;
    edit = in->keyPressed && key != KEY_ENTER &&
           (key == KEY_BACKSPACE || key == KEY_DELETE || !in->restricted || selected);
    const bool clear = in->keyPressed && selected && key != KEY_ESCAPE && key != KEY_ENTER;
    const int32_t maxLength = in->maxLength > TEXT_SIZE_Strings ? TEXT_SIZE_Strings : in->maxLength;
    if (edit) {
      // Typing over a selection edits an empty text from its start.
      const char* source = clear ? NullString : state->workingText;
      const int32_t cursor = clear ? 0 : state->caretIndex;
      copyText(edited, source);
      uint8_t editChanged = 0;
      Edit_Strings(0, source, key, cursor, maxLength, &editedCaret, edited, &editChanged);
      if (clear && !editChanged && key != KEY_BACKSPACE && key != KEY_DELETE) {
        // A caret key, Tab or an ignored byte over a selection removes
        // nothing: the text stays and the key acts on it as without the
        // selection, which it ends.
        copyText(edited, state->workingText);
        Edit_Strings(0, state->workingText, key, state->caretIndex, maxLength, &editedCaret, edited,
                     &editChanged);
      }
      state->changed = (editChanged || clear) ? 1 : 0;
    } else {
      // A step without an edit changes nothing; were the flag kept, the next
      // quiet cycle would take the text as changed and empty it.
      state->changed = 0;
    }

    // Enter or a press outside confirms; Escape cancels.
    if (!entering) {
      if ((in->pressed && !in->hover) || enterKey) {
        state->confirmed = 1;
      } else {
        cancel = escapeKey;
        state->confirmed = 0;
      }
    } else {
      state->confirmed = 0;
    }

    state->selected = selected ? 1 : 0;
    state->selectedMemory = state->selected;
  }

  // The new working text.
  char next[TEXT_SIZE_Strings];
  if (cancel) {
    copyText(next, state->backupText);
  } else if ((!state->editing && in->load) || state->firstStep) {
    copyText(next, in->text);
  } else if (!state->changed) {
    copyText(next, state->workingText);
  } else {
    // changed is only ever set by an edit, which always fills `edited`.
    copyText(next, edit ? edited : NullString);
  }

  // Output text: a confirmed or loaded text is published one cycle later.
  // The first step gives the text input to every text, the published one
  // included; otherwise the next cycle would publish the spaces of init.
  if (state->firstStep) {
    copyText(state->outputText, next);
    copyText(state->lastOutputText, next);
    state->firstStep = 0;
  } else {
    copyText(state->outputText, state->lastOutputText);
  }
  if (in->load || state->confirmed) copyText(state->lastOutputText, next);

  // What the box draws.
  if (in->invert && state->selected) {
    InvertText_Strings(next, state->displayText);
  } else {
    copyText(state->displayText, next);
  }

  // Transitions.
  if (state->state == TEXTEDITBOX_DISPLAYING) {
    state->caretVisible = 0;
    state->caretIndex = -1;
    state->leaveRequest = (!in->load && (state->click || enterKey) && in->focused) ? 1 : 0;
    if (state->leaveRequest) state->state = TEXTEDITBOX_EDITING;
  } else {
    state->leaveRequest =
        (!in->focused || escapeKey || enterKey || (in->pressed && !in->hover)) ? 1 : 0;
    if (state->previousSetCursor && !state->entering) {
      state->caretIndex = in->cursorIndex;
    } else if (edit) {
      state->caretIndex = editedCaret;
    }
    state->previousSetCursor = in->setCursor;
    state->caretVisible = nextPhase == 0 ? 1 : 0;
    if (state->entering) copyText(state->backupText, state->workingText);
    if (state->leaveRequest) state->state = TEXTEDITBOX_DISPLAYING;
    state->entering = 0;
    if (phaseRun == 0) {
      state->restartA = 0;
    } else {
      state->restartB = 0;
    }
  }

  copyText(state->workingText, next);
}
