#include "widgets/TextEditBox.h"

#include <cstdint>
#include <cstring>

#include "widgets/General.h"
#include "widgets/interactivity_mapping.h"
#include "widgets/lib_strings.h"

namespace {

void copy_text(char* to, const char* from) {
  std::memcpy(to, from, TEXT_SIZE_Strings);
}

void fill_spaces(char* text) {
  std::memset(text, ' ', TEXT_SIZE_Strings);
}

// What one step of editing leaves for the steps after it.
struct EditStep {
  bool edit = false;    // a key went through Edit_Strings
  bool cancel = false;  // Escape: the backup text comes back
  char edited[TEXT_SIZE_Strings];
  int32_t editedCaret = -1;
  uint8_t phaseRun = 0;   // the blink half that ran in this step
  uint8_t nextPhase = 0;  // the blink half of the next step
};

// One half of the caret's blink: restarts its counter when asked, counts it
// down and reports whether the half has elapsed.
bool run_blink_half(uint8_t* restart, int64_t* counter, uint8_t elapsedBefore, bool entering) {
  if (elapsedBefore && !entering) *restart = 1;
  if (*restart) *counter = TEXTEDITBOX_BLINK_CYCLES;
  if (*counter >= 0) --*counter;
  return *counter == 0;
}

// Click timing: the window for a second click opens in the cycle after a
// click and stays open for 500 ms. Returns whether it is open.
bool time_clicks(const TextEditBox_Inputs* in, TextEditBox_State* state) {
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
  return !state->doubleClickClosed;
}

// While displaying, nothing of an edit survives.
void forget_editing(TextEditBox_State* state) {
  state->editing = 0;
  state->changed = 0;
  state->confirmed = 0;
  state->selected = 0;
  state->selectedMemory = 0;
}

// The caret blinks: each half restarts when the other has elapsed, and both
// restart when editing begins.
void blink_caret(TextEditBox_State* state, bool entering, EditStep* step) {
  step->phaseRun = entering ? 0 : state->blinkPhase;
  if (step->phaseRun == 0) {
    const bool elapsed =
        run_blink_half(&state->restartA, &state->blinkCounterA, state->blinkElapsed, entering);
    state->blinkElapsed = elapsed;
    step->nextPhase = elapsed ? 1 : 0;
  } else {
    const bool elapsed =
        run_blink_half(&state->restartB, &state->blinkCounterB, state->blinkElapsed, entering);
    state->blinkElapsed = elapsed;
    step->nextPhase = elapsed ? 0 : 1;
  }
  state->blinkPhase = step->nextPhase;
}

// A typed key edits the working text at the caret. Enter is never typed into
// the box: it confirms. A key typed over a selection replaces the whole text.
void type_key(const TextEditBox_Inputs* in, TextEditBox_State* state, bool selected,
              EditStep* step) {
  const uint32_t key = in->key;
  step->edit = in->keyPressed && key != KEY_ENTER &&
               (key == KEY_BACKSPACE || key == KEY_DELETE || !in->restricted || selected);
  if (!step->edit) {
    // A step without an edit changes nothing; were the flag kept, the next
    // quiet cycle would take the text as changed and empty it.
    state->changed = 0;
    return;
  }
  const bool clear = selected && key != KEY_ESCAPE;
  const int32_t maxLength = in->maxLength > TEXT_SIZE_Strings ? TEXT_SIZE_Strings : in->maxLength;
  // Typing over a selection edits an empty text from its start.
  const char* source = clear ? NullString : state->workingText;
  const int32_t cursor = clear ? 0 : state->caretIndex;
  copy_text(step->edited, source);
  uint8_t editChanged = 0;
  Edit_Strings(0, source, key, cursor, maxLength, &step->editedCaret, step->edited, &editChanged);
  if (clear && !editChanged && key != KEY_BACKSPACE && key != KEY_DELETE) {
    // A caret key, Tab or an ignored byte over a selection removes
    // nothing: the text stays and the key acts on it as without the
    // selection, which it ends.
    copy_text(step->edited, state->workingText);
    Edit_Strings(0, state->workingText, key, state->caretIndex, maxLength, &step->editedCaret,
                 step->edited, &editChanged);
  }
  state->changed = (editChanged || clear) ? 1 : 0;
}

// Enter or a press outside confirms; Escape cancels. Neither counts in the
// step that begins editing.
void confirm_or_cancel(const TextEditBox_Inputs* in, TextEditBox_State* state, bool entering,
                       EditStep* step) {
  state->confirmed = 0;
  if (entering) return;
  if ((in->pressed && !in->hover) || (in->keyPressed && in->key == KEY_ENTER)) {
    state->confirmed = 1;
  } else {
    step->cancel = in->keyPressed && in->key == KEY_ESCAPE;
  }
}

void run_editing(const TextEditBox_Inputs* in, TextEditBox_State* state, bool doubleClickOpen,
                 EditStep* step) {
  // A leave request from the previous step means the box has just
  // entered editing (a request made while editing ends it at once).
  if (state->leaveRequest) {
    state->entering = 1;
    state->restartA = 1;
    state->restartB = 1;
  }
  const bool entering = state->entering != 0;
  blink_caret(state, entering, step);
  state->editing = 1;
  // The whole text is selected by a double click and stays selected until
  // an edit.
  const bool selected =
      ((state->selectedMemory && !entering) || (state->click && doubleClickOpen)) &&
      !state->changed;
  type_key(in, state, selected, step);
  confirm_or_cancel(in, state, entering, step);
  state->selected = selected ? 1 : 0;
  state->selectedMemory = state->selected;
}

// The new working text.
void choose_text(const TextEditBox_Inputs* in, const TextEditBox_State* state, const EditStep& step,
                 char* next) {
  if (step.cancel) {
    copy_text(next, state->backupText);
  } else if ((!state->editing && in->load) || state->firstStep) {
    copy_text(next, in->text);
  } else if (!state->changed) {
    copy_text(next, state->workingText);
  } else {
    // changed is only ever set by an edit, which always fills `edited`.
    copy_text(next, step.edit ? step.edited : NullString);
  }
}

// Output text: a confirmed or loaded text is published one cycle later.
// The first step gives the text input to every text, the published one
// included; otherwise the next cycle would publish the spaces of init.
// The box draws the text, inverted while it is all selected.
void publish(const TextEditBox_Inputs* in, TextEditBox_State* state, const char* next) {
  if (state->firstStep) {
    copy_text(state->outputText, next);
    copy_text(state->lastOutputText, next);
    state->firstStep = 0;
  } else {
    copy_text(state->outputText, state->lastOutputText);
  }
  if (in->load || state->confirmed) copy_text(state->lastOutputText, next);

  if (in->invert && state->selected) {
    InvertText_Strings(next, state->displayText);
  } else {
    copy_text(state->displayText, next);
  }
}

// Displaying: a click on the box, or Enter, while focused begins editing.
void leave_displaying(const TextEditBox_Inputs* in, TextEditBox_State* state) {
  const bool enterKey = in->keyPressed && in->key == KEY_ENTER;
  state->caretVisible = 0;
  state->caretIndex = -1;
  state->leaveRequest = (!in->load && (state->click || enterKey) && in->focused) ? 1 : 0;
  if (state->leaveRequest) state->state = TEXTEDITBOX_EDITING;
}

// Editing: losing the focus, Escape, Enter or a press outside ends it. The
// caret goes where a click placed it or where the edit left it.
void leave_editing(const TextEditBox_Inputs* in, TextEditBox_State* state, const EditStep& step) {
  const bool leaveKey = in->keyPressed && (in->key == KEY_ESCAPE || in->key == KEY_ENTER);
  state->leaveRequest = (!in->focused || leaveKey || (in->pressed && !in->hover)) ? 1 : 0;
  if (state->previousSetCursor && !state->entering) {
    state->caretIndex = in->cursorIndex;
  } else if (step.edit) {
    state->caretIndex = step.editedCaret;
  }
  state->previousSetCursor = in->setCursor;
  state->caretVisible = step.nextPhase == 0 ? 1 : 0;
  if (state->entering) copy_text(state->backupText, state->workingText);
  if (state->leaveRequest) state->state = TEXTEDITBOX_DISPLAYING;
  state->entering = 0;
  if (step.phaseRun == 0) {
    state->restartA = 0;
  } else {
    state->restartB = 0;
  }
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
  copy_text(state->backupText, NullString);
  copy_text(state->workingText, NullString);
  state->caretIndex = -1;
  state->state = TEXTEDITBOX_DISPLAYING;
}

void TextEditBox_init(TextEditBox_State* state) {
  std::memset(state, 0, sizeof *state);
  TextEditBox_reset(state);
  fill_spaces(state->outputText);
  fill_spaces(state->displayText);
  fill_spaces(state->lastOutputText);
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
  state->ready = 1;
  const bool doubleClickOpen = time_clicks(in, state);

  EditStep step;
  step.editedCaret = state->caretIndex;
  step.phaseRun = step.nextPhase = state->blinkPhase;
  const bool displaying = state->state == TEXTEDITBOX_DISPLAYING;
  if (displaying) {
    forget_editing(state);
  } else {
    run_editing(in, state, doubleClickOpen, &step);
  }

  char next[TEXT_SIZE_Strings];
  choose_text(in, state, step, next);
  publish(in, state, next);

  if (displaying) {
    leave_displaying(in, state);
  } else {
    leave_editing(in, state, step);
  }
  copy_text(state->workingText, next);
}
