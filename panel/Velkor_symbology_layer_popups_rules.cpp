// The pop-ups' decisions: what the instruction pop-up shows, the loads of
// its selectors, the register a click chooses, and the core calls of the
// RAM, register and slot pop-ups with their conditions.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "panel/Velkor_symbology_layer_cycle_internal.h"
#include "panel/Velkor_symbology_layer_popups_internal.h"

namespace {

constexpr uint32_t kSlotCount = 10;
constexpr const char kInitSpSource[] = "0x280";

// What each shortcut sets: "Init SP" = MOV #0x280,SP; "Operation PUSH" =
// PUSH R0; "Operation POP" = POP R4 - all word operations.
constexpr uint32_t kShortcutFormat[kShortcutCount] = {kFormatDoubleOperand, kFormatSingleOperand,
                                                      kFormatEmulated};

bool has_source(uint32_t format, uint32_t single) {
  return format == kFormatDoubleOperand ||
         (format == kFormatSingleOperand && (single == kOpPUSH || single == kOpCALL));
}

bool has_destination(uint32_t format, uint32_t single, uint32_t emulated) {
  switch (format) {
    case kFormatDoubleOperand:
      return true;
    case kFormatSingleOperand:
      return single < kOpPUSH;
    case kFormatEmulated:
      return emulated < kEmulatedOperationCount && emulated != kOpNOP && emulated != kOpRET;
    default:
      return false;
  }
}

// Operations with no operand at all: no "3)". Format II's operation 7 has
// none the selectors could show.
bool without_operands(uint32_t format, uint32_t single, uint32_t emulated) {
  return (format == kFormatSingleOperand && single >= kOpRETI) ||
         (format == kFormatEmulated && (emulated == kOpNOP || emulated == kOpRET));
}

// Operations that have no byte form hide "Word Operation".
bool shows_word(uint32_t format, uint32_t single, uint32_t emulated) {
  switch (format) {
    case kFormatDoubleOperand:
      return true;
    case kFormatSingleOperand:
      return single == kOpRRC || single == kOpRRA || single == kOpPUSH;
    case kFormatEmulated:
      return emulated != kOpNOP && emulated != kOpRET;
    default:
      return false;
  }
}

void set_message(Velkor_layer* c, const char* format, const char* name) {
  snprintf(c->slotMessage, sizeof c->slotMessage, format, name);
}

}  // namespace

Velkor_InstructionView Velkor_popups_instruction_view(const Velkor_layer* c) {
  Velkor_InstructionView v{};
  const uint32_t format = c->instructionFormat;
  const uint32_t single = c->singleOperation;
  const uint32_t emulated = c->emulatedOperation;
  v.operationSelector =
      format <= kFormatEmulated ? static_cast<int32_t>(format) : kOperationSelectorNone;
  if (v.operationSelector == kOperationSelectorNone) return v;
  v.pcOffset = format == kFormatJump;
  v.stepThree = !without_operands(format, single, emulated);
  v.addressing = format != kFormatJump && v.stepThree;
  v.source = has_source(format, single);
  if (v.source) {
    const uint32_t m = c->sourceMode;
    v.sourceRegister =
        m == kModeRegister || m == kModeIndexed || m == kModeIndirect || m == kModeAutoincrement;
    v.sourceText =
        m == kModeIndexed || m == kModeSymbolic || m == kModeAbsolute || m == kModeImmediate;
    v.sourceNarrow = m == kModeIndexed;
  }
  v.destination = has_destination(format, single, emulated);
  if (v.destination) {
    const uint32_t m = c->destinationMode;
    v.destinationRegister = m == kModeRegister || m == kModeIndexed;
    v.destinationText = m >= kModeIndexed && m < kDestinationModeCount;
    v.destinationNarrow = m == kModeIndexed;
    v.destinationLeft = format != kFormatDoubleOperand;
  }
  v.word = shows_word(format, single, emulated);
  return v;
}

int32_t Velkor_popups_shortcut(const Velkor_layer* c, uint8_t press) {
  if (!press) return -1;
  for (int32_t k = 0; k < kShortcutCount; ++k) {
    if (c->shortcutHover[k]) return k;
  }
  return -1;
}

void Velkor_popups_selector_load(const Velkor_layer* c, uint8_t press, Velkor_SelectorLoad* load) {
  *load = Velkor_SelectorLoad{};
  const uint8_t fetch = c->fetchHighlighted && c->clickFlag;
  const int32_t shortcut = Velkor_popups_shortcut(c, press);
  const bool init_sp = shortcut == kShortcutInitSp;
  const bool push = shortcut == kShortcutPush;
  const bool pop = shortcut == kShortcutPop;
  const uint8_t loads = (fetch || shortcut >= 0) ? 1 : 0;

  load->selectors = loads;
  load->format = (loads || c->resetRequest) ? 1 : 0;
  load->word = load->format;
  load->pcOffset = fetch;
  load->sourceText = (fetch || init_sp || push) ? 1 : 0;
  load->destinationText = fetch;

  load->formatValue = shortcut >= 0 ? kShortcutFormat[shortcut] : c->decodedFormat;
  load->dualValue = init_sp ? static_cast<uint32_t>(kOpMOV) : c->decodedDualOperation;
  load->singleValue = push ? static_cast<uint32_t>(kOpPUSH) : c->decodedSingleOperation;
  load->jumpValue = c->decodedJumpOperation;
  load->emulatedValue = pop ? static_cast<uint32_t>(kOpPOP) : c->decodedEmulatedOperation;
  load->sourceModeValue = init_sp ? static_cast<uint32_t>(kModeImmediate)
                          : push  ? static_cast<uint32_t>(kModeRegister)
                                  : c->decodedSourceMode;
  load->sourceRegisterValue = (init_sp || push) ? 0u : c->decodedSourceRegister;
  load->destinationModeValue =
      (init_sp || pop) ? static_cast<uint32_t>(kModeRegister) : c->decodedDestinationMode;
  load->destinationRegisterValue = init_sp ? 1u : pop ? 4u : c->decodedDestinationRegister;
  load->pcOffsetValue = c->decodedPcOffset;
  load->sourceTextValue = init_sp ? kInitSpSource : c->decodedSourceText;
  load->destinationTextValue = c->decodedDestinationText;
  // RESET leaves a word operation selected, as at start; so does a word that
  // did not decode (nothing says it was a byte operation).
  if (shortcut >= 0 || c->resetRequest || (fetch && c->decodedFormat == kFormatNone)) {
    load->wordValue = 1;
  } else {
    load->wordValue = c->decodedWordFlag ? 1 : 0;
  }
}

void Velkor_popups_apply_load(Velkor_layer* c, const Velkor_SelectorLoad* load) {
  if (load->format) c->instructionFormat = load->formatValue;
  if (load->selectors) {
    c->dualOperation = load->dualValue;
    c->singleOperation = load->singleValue;
    c->jumpOperation = load->jumpValue;
    c->emulatedOperation = load->emulatedValue;
    c->sourceMode = load->sourceModeValue;
    c->sourceRegister = load->sourceRegisterValue;
    c->destinationMode = load->destinationModeValue;
    c->destinationRegister = load->destinationRegisterValue;
  }
  if (load->pcOffset) c->pcOffset = load->pcOffsetValue;
  if (load->word) c->wordOperation = load->wordValue;
  // The values may point into the context itself; snprintf of a distinct
  // cell keeps that safe.
  if (load->sourceText && load->sourceTextValue != c->sourceEditText) {
    snprintf(c->sourceEditText, kTextCellSize, "%s", load->sourceTextValue);
  }
  if (load->destinationText && load->destinationTextValue != c->destinationEditText) {
    snprintf(c->destinationEditText, kTextCellSize, "%s", load->destinationTextValue);
  }
}

void Velkor_popups_convert(const char* typed, char* outText, uint8_t* outValid) {
  uint8_t valid = 0;
  HexConv(typed, outText, nullptr, &valid);
  if (!Velkor_cycle_text_is_number(typed)) valid = 0;
  if (outValid != nullptr) *outValid = valid;
}

void Velkor_popups_convert_operands(Velkor_layer* c) {
  Velkor_popups_convert(c->sourceEditText, c->sourceOperandText, &c->sourceValid);
  Velkor_popups_convert(c->destinationEditText, c->destinationOperandText, &c->destinationValid);
}

uint8_t Velkor_popups_register_load(const Velkor_layer* c, uint32_t* index) {
  *index = 0;
  for (uint32_t r = 0; r < kRegisterCount; ++r) {
    if (!Velkor_register_editable(r) || !c->registerHover[r]) continue;
    *index = r;
    return c->clickFlag ? 1 : 0;
  }
  return 0;
}

bool Velkor_popups_change_ram(Velkor_layer* c) {
  if (!c->saveToRam || !c->ramValid) return false;
  if (c->ramEditRow < 0 || c->ramEditRow >= kMemoryRowCount) return false;
  ChangeRAM(c->ramValueText, c->ramEditRow, c->ramRows);
  return true;
}

bool Velkor_popups_change_register(Velkor_layer* c) {
  if (!c->saveToRegister || !c->registerValid) return false;
  if (!Velkor_register_editable(c->registerIndex)) return false;
  ChangeReg(static_cast<int32_t>(c->registerIndex), c->registerValueText, c->registers);
  return true;
}

void Velkor_popups_slot_file_name(uint32_t slot, char* out, int32_t size) {
  if (size <= 0) return;
  if (slot >= kSlotCount) {
    out[0] = '\0';
    return;
  }
  snprintf(out, static_cast<size_t>(size), "slot%u.csv", slot + 1);
}

bool Velkor_popups_slot_save(Velkor_layer* c) {
  char name[16];
  Velkor_popups_slot_file_name(c->slot, name, sizeof name);
  if (name[0] == '\0' || ROMSaveSlot(c->romRows, c->slot) == 0) {
    set_message(c, "%s konnte nicht geschrieben werden.", name[0] ? name : "Slot");
    return false;
  }
  set_message(c, "ROM gespeichert in %s.", name);
  return true;
}

// A load that stopped at a bad line keeps the words before it (the file may
// be half right) and says how far it got, so that nobody takes a half
// program for the whole.
bool Velkor_popups_slot_load(Velkor_layer* c) {
  char name[16];
  Velkor_popups_slot_file_name(c->slot, name, sizeof name);
  SlotLoadResult result = {};
  if (name[0] != '\0') ROMLoadSlot(c->slot, c->romRows, &result);
  if (name[0] == '\0' || result.status == kSlotLoadUnreadable) {
    set_message(c, "%s konnte nicht gelesen werden, ROM unver\xe4ndert.", name[0] ? name : "Slot");
    return false;
  }
  if (result.status == kSlotLoadComplete && result.words == 0) {
    set_message(c, "%s ist leer, ROM unver\xe4ndert.", name);
    return false;
  }
  if (result.status == kSlotLoadStopped) {
    const char* what = result.problem == kSlotLineReadError ? "nicht lesbar" : "fehlerhaft";
    if (result.words == 0) {
      snprintf(c->slotMessage, sizeof c->slotMessage, "%s: Zeile %d %s, ROM unver\xe4ndert.", name,
               result.line, what);
      return false;
    }
    snprintf(c->slotMessage, sizeof c->slotMessage, "%s: Zeile %d %s, nur %d %s geladen.", name,
             result.line, what, result.words, result.words == 1 ? "Wort" : "W\xf6rter");
    return true;
  }
  set_message(c, "ROM geladen aus %s.", name);
  return true;
}

// ---- The rules' steps of pass 2 ----------------------------------------------

void Velkor_popups_slot_opening(Velkor_layer* c) {
  if (c->romByteHover && c->clickFlag) c->slotMessage[0] = '\0';
}

void Velkor_popups_before_drawing(Velkor_layer* c) {
  memset(c->popupChildrenDrawn, 0, sizeof c->popupChildrenDrawn);
  Velkor_popups_slot_opening(c);
}

void Velkor_popups_slot_step(Velkor_layer* c) {
  if (c->saveToSlot) Velkor_popups_slot_save(c);
  if (c->loadFromSlot) Velkor_popups_slot_load(c);
}

void Velkor_popups_ram_step(Velkor_layer* c) {
  Velkor_popups_convert(c->ramEditText, c->ramValueText, &c->ramValid);
  Velkor_popups_change_ram(c);
}

void Velkor_popups_register_step(Velkor_layer* c) {
  Velkor_popups_convert(c->registerEditText, c->registerValueText, &c->registerValid);
  Velkor_popups_change_register(c);
}

// In the pop-ups' drawing order, so that a rule sees what an earlier one did
// as it would have while the pop-ups were drawn. A pop-up whose children were
// not drawn had no choice to act on.
void Velkor_popups_after_drawing(Velkor_layer* c) {
  const uint8_t* drawn = c->popupChildrenDrawn;
  if (drawn[kPopUpSlots]) Velkor_popups_slot_step(c);
  if (drawn[kPopUpInstructions]) Velkor_popups_convert_operands(c);
  if (drawn[kPopUpRam]) Velkor_popups_ram_step(c);
  if (drawn[kPopUpRegister]) Velkor_popups_register_step(c);
}

const Velkor_CodeLayout* Velkor_popups_code_layout(uint32_t format) {
  static const Velkor_CodeLayout kFormatOne = {"Double Operand (Format I) Instructions",
                                               6,
                                               {{"Opcode", 15, 12},
                                                {"S-Reg", 11, 8},
                                                {"Ad", 7, 7},
                                                {"B/W", 6, 6},
                                                {"As", 5, 4},
                                                {"D-Reg", 3, 0}}};
  static const Velkor_CodeLayout kFormatTwo = {
      "Single Operand (Format II) Instructions",
      4,
      {{"Opcode", 15, 7}, {"B/W", 6, 6}, {"Ad/As", 5, 4}, {"D/S-Reg", 3, 0}}};
  static const Velkor_CodeLayout kJumps = {
      "Jump Instructions", 3, {{"Opcode", 15, 13}, {"C", 12, 10}, {"PC-Offset", 9, 0}}};
  switch (format) {
    case kFormatDoubleOperand:
    case kFormatEmulated:
      return &kFormatOne;
    case kFormatSingleOperand:
      return &kFormatTwo;
    case kFormatJump:
      return &kJumps;
    default:
      return nullptr;
  }
}
