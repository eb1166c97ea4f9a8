#include "panel/Velkor_keys.h"

#include "panel/Velkor_breakpoints.h"
#include "widgets/interactivity_mapping.h"

namespace {

// Control with a letter arrives as that letter's control character.
constexpr uint32_t kControlY = 'Y' - 'A' + 1;
constexpr uint32_t kControlZ = 'Z' - 'A' + 1;

bool is_step(uint8_t command) {
  return command == kKeyCommandFetch || command == kKeyCommandExecute ||
         command == kKeyCommandInstruction;
}

}  // namespace

uint8_t Velkor_keys_command(uint32_t key, uint32_t modifiers, uint8_t helpOpen) {
  const bool control = (modifiers & MODIFIER_CONTROL) != 0;
  const bool shift = (modifiers & MODIFIER_SHIFT) != 0;
  if (control) {
    if (key == kControlZ || key == 'z' || key == 'Z') {
      return shift ? kKeyCommandRedo : kKeyCommandUndo;
    }
    if (key == kControlY || key == 'y' || key == 'Y') return kKeyCommandRedo;
    return kKeyCommandNone;
  }
  switch (key) {
    case KEY_F1:
      return kKeyCommandHelp;
    case KEY_F5:
      return kKeyCommandFetch;
    case KEY_F6:
      return kKeyCommandExecute;
    case KEY_F7:
      return kKeyCommandInstruction;
    case KEY_F8:
      return kKeyCommandRun;
    case KEY_F9:
      return kKeyCommandBreakpoint;
    case KEY_ESCAPE:
      return helpOpen ? kKeyCommandClose : kKeyCommandNone;
    default:
      return kKeyCommandNone;
  }
}

bool Velkor_keys_editing(const Velkor_symbology_layer_context* c) {
  return c->IndexAdrImmediateTextEditBox.editing || c->IndexAdrImmediateTextEditBox_1.editing ||
         c->RAMTextEditBox.editing || c->RegTextEditBox.editing;
}

bool Velkor_keys_read(Velkor_symbology_layer_context* c) {
  Velkor_classroom* k = &c->classroom;
  k->keyCommand = kKeyCommandNone;
  k->keyStep = 0;
  uint8_t pressed = 0;
  uint32_t key = 0;
  uint32_t modifiers = 0;
  Velkor_keyboard(0, &pressed, nullptr, &key, &modifiers);
  if (pressed && !Velkor_keys_editing(c)) {
    k->keyCommand = Velkor_keys_command(key, modifiers, k->helpOpen);
  }
  switch (k->keyCommand) {
    case kKeyCommandHelp:
      k->helpOpen = k->helpOpen ? 0 : 1;
      break;
    case kKeyCommandClose:
      k->helpOpen = 0;
      break;
    case kKeyCommandBreakpoint:
      Velkor_breakpoints_toggle(c, c->romSelection[0]);
      break;
    default:
      break;
  }
  // F7's EXECUTE comes one frame after its FETCH/DECODE, when the decoded
  // instruction has reached the selectors; a word that did not decode
  // (the decoder asks for a reset) is not executed.
  if (k->pendingExecute) {
    k->pendingExecute = 0;
    if (!c->decoderResetRequest && !c->continuousExecution && !is_step(k->keyCommand)) {
      k->keyCommand = kKeyCommandExecute;
    }
  }
  if (c->continuousExecution && is_step(k->keyCommand)) k->keyCommand = kKeyCommandNone;
  k->keyStep = is_step(k->keyCommand) ? 1 : 0;
  return k->keyStep != 0;
}

void Velkor_keys_force_step(Velkor_symbology_layer_context* c) {
  Velkor_classroom* k = &c->classroom;
  if (!k->keyStep) return;
  const bool fetch = k->keyCommand == kKeyCommandFetch || k->keyCommand == kKeyCommandInstruction;
  c->fetchHighlighted = fetch ? 1 : 0;
  c->executeHighlighted = fetch ? 0 : 1;
  // SAVE's hover is last frame's: a pointer resting on it must not store.
  c->saveHighlighted = 0;
  c->clickFlag = 1;
  if (k->keyCommand == kKeyCommandInstruction) k->pendingExecute = 1;
}

void Velkor_keys_load_run_toggle(Velkor_symbology_layer_context* c, uint8_t drawn) {
  if (c->classroom.keyCommand != kKeyCommandRun || !drawn) return;
  c->EnableExecToggleButton.value = c->continuousExecution ? 0 : 1;
  c->EnableExecToggleButton.load = 1;
}

void Velkor_keys_start_run(Velkor_symbology_layer_context* c) {
  if (c->classroom.keyCommand != kKeyCommandRun) return;
  if (c->continuousExecution) c->continuousStart = 1;
}
