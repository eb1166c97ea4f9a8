#include "panel/Velkor_symbology_layer_cycle_internal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr float kPcOffsetMinimum = -512.0f;
constexpr float kPcOffsetMaximum = 511.0f;

bool has_source(const Velkor_layer* c) {
  return c->instructionFormat == kFormatDoubleOperand ||
         (c->instructionFormat == kFormatSingleOperand &&
          (c->singleOperation == kOpPUSH || c->singleOperation == kOpCALL));
}

bool has_destination(const Velkor_layer* c) {
  switch (c->instructionFormat) {
    case kFormatDoubleOperand:
      return true;
    case kFormatSingleOperand:
      return c->singleOperation < kOpPUSH;
    case kFormatEmulated:
      return c->emulatedOperation != kOpNOP && c->emulatedOperation != kOpRET;
    default:
      return false;
  }
}

// Modes whose operand value comes from the edit box.
bool source_uses_text(uint32_t mode) {
  return mode == kModeIndexed || mode == kModeSymbolic || mode == kModeAbsolute ||
         mode == kModeImmediate;
}
bool destination_uses_text(uint32_t mode) {
  return mode == kModeIndexed || mode == kModeSymbolic || mode == kModeAbsolute;
}

// The operations EXECUTE runs: every one the selectors offer, and Format
// II's operation 7, which decodes from 0x1380 .. 0x13BF and does nothing but
// move PC on (no selector item names it, and it cannot be assembled).
bool operation_in_vocabulary(const Velkor_layer* c) {
  switch (c->instructionFormat) {
    case kFormatDoubleOperand:
      return c->dualOperation < kDualOperationCount;
    case kFormatSingleOperand:
      return c->singleOperation <= kOpSingleUnused;
    case kFormatJump:
      return c->jumpOperation < kJumpOperationCount && c->pcOffset >= kPcOffsetMinimum &&
             c->pcOffset <= kPcOffsetMaximum;
    case kFormatEmulated:
      return c->emulatedOperation < kEmulatedOperationCount;
    default:
      return false;
  }
}

// Operations the assembler can write down (and SAVE can store).
bool operation_assemblable(const Velkor_layer* c) {
  return c->instructionFormat != kFormatSingleOperand || c->singleOperation < kSingleOperationCount;
}

// An operand value the selection uses whose typed text is refused: not a
// number, or a number out of range.
bool source_refused(const Velkor_layer* c) {
  return has_source(c) && source_uses_text(c->sourceMode) &&
         !(c->sourceValid && Velkor_cycle_text_is_number(c->sourceEditText));
}
bool destination_refused(const Velkor_layer* c) {
  return has_destination(c) && destination_uses_text(c->destinationMode) &&
         !(c->destinationValid && Velkor_cycle_text_is_number(c->destinationEditText));
}

void address_calc(uint32_t mode, uint32_t reg, const char* operand, const TextCell* registers,
                  uint8_t after_source, uint32_t* shown_register, char* base, char* index,
                  char* address) {
  AddressCalc(mode, static_cast<int32_t>(reg), operand, registers, after_source, shown_register,
              base, index, address);
}

// A destination's PC-relative base counts the source's extension word only
// when the source really has one (not for @Rn, @Rn+ or a constant). A
// refused immediate is no constant, whatever it was turned into: it counts
// as taking a word, as any value the student may correct it to but six.
uint8_t source_extension_first(const Velkor_layer* c) {
  if (!Velkor_cycle_shows_source(c)) return 0;
  if (c->sourceMode == kModeImmediate && source_refused(c)) return 1;
  return SourceHasExtensionWord(c->sourceMode, c->sourceOperandText);
}

// How the panel shows a number it does not know: the digits as "????".
const char kUnknownDigits[] = "????";
const char kUnknownAddress[] = "0x????";
const char kUnknownBits[] = "????????????????";

// What the assembler is handed for a refused operand value: any value that
// needs an extension word, so that the line and the words keep their shape;
// its digits are then replaced by the marks.
const char kStandInValue[] = "1111";
const char kStandInText[] = "0x1111";

void copy_cell(char* cell, size_t size, const char* text) {
  snprintf(cell, size, "%s", text);
}

// Replaces the stand-in's digits in one operand of the assembler line
// "MNEMONIC  A,B" (or "MNEMONIC  A"): the first operand is the one before
// the comma, the last the one after it; a line with one operand has it as
// both.
void mark_operand(char* line, bool first) {
  char* start = strstr(line, "  ");
  if (start == nullptr) return;
  start += 2;
  char* comma = strchr(start, ',');
  char* from = (first || comma == nullptr) ? start : comma + 1;
  char* to = (first && comma != nullptr) ? comma : from + strlen(from);
  const char saved = *to;
  *to = '\0';
  char* digits = strstr(from, kStandInText);
  *to = saved;
  if (digits != nullptr) memcpy(digits + 2, kUnknownDigits, 4);
}

// The words of a selection with refused operand values. Such an
// instruction cannot be stored, and no word of it is shown as if it could:
// the instruction word (for an immediate its very form depends on the
// value) and the extension word of each refused operand read "????"; the
// words of the values the student did type stay.
void mark_machine_code(Velkor_layer* c, bool source, bool destination) {
  copy_cell(c->machineWordText, kTextCellSize, kUnknownDigits);
  copy_cell(c->bitString, kTextCellSize, kUnknownBits);
  char* extensions[2] = {c->extension1Text, c->extension2Text};
  int next = 0;
  // A refused source value always takes a word (see source_extension_first).
  if (has_source(c) && (source || SourceHasExtensionWord(c->sourceMode, c->sourceOperandText))) {
    if (source) copy_cell(extensions[next], kTextCellSize, kUnknownDigits);
    ++next;
  }
  if (destination) copy_cell(extensions[next], kTextCellSize, kUnknownDigits);
  if (source) mark_operand(c->assemblerText, true);
  if (destination) mark_operand(c->assemblerText, false);
}

// An operation the selectors cannot name (Format II's operation 7): nothing
// of it can be written down.
void mark_unknown_instruction(Velkor_layer* c) {
  copy_cell(c->assemblerText, kTextCellSize, kUnknownDigits);
  copy_cell(c->machineWordText, kTextCellSize, kUnknownDigits);
  copy_cell(c->bitString, kTextCellSize, kUnknownBits);
  c->extension1Text[0] = '\0';
  c->extension2Text[0] = '\0';
}

}  // namespace

void Velkor_cycle_take_press(Velkor_layer* c, uint8_t press) {
  c->clickFlag = (press && c->pointerOwner.popup == kPointerMainView) ? 1 : 0;
}

int32_t Velkor_cycle_animation_period(uint32_t speed) {
  switch (speed) {
    case kSpeedSlow:
      return kPeriodSlow;
    case kSpeedMedium:
      return kPeriodMedium;
    default:
      return kPeriodFast;
  }
}

uint8_t Velkor_cycle_animation_play(const Velkor_layer* c) {
  return (c->continuousExecution && (c->continuousStart || c->animationTick)) ? 1 : 0;
}

void Velkor_cycle_take_animation(Velkor_layer* c, uint8_t done, float value) {
  c->animationTick = done;
  c->animationProgress = value;
}

void Velkor_cycle_ports(Velkor_layer* c) {
  Ports(c->ports, c->p2Input, c->ports, c->p1Output);
}

void Velkor_cycle_continuous(Velkor_layer* c) {
  if (!c->continuousExecution) return;
  c->fetchHighlighted = (c->phaseFlag == 0 && c->animationTick) ? 1 : 0;
  c->executeHighlighted = (c->phaseFlag == 1 && c->animationTick) ? 1 : 0;
  c->saveHighlighted = 0;
  c->romAddressHover = 0;
  c->romByteHover = 0;
  c->ramAddressHover = 0;
  c->ramByteHover = 0;
  memset(c->registerHover, 0, sizeof c->registerHover);
  memset(c->shortcutHover, 0, sizeof c->shortcutHover);
  if (c->animationTick) c->clickFlag = 1;
}

void Velkor_cycle_advance_phase(Velkor_layer* c) {
  if ((c->continuousExecution && c->animationTick) || c->nmiRequest) {
    c->phaseFlag = c->nmiRequest ? 0 : (c->phaseFlag ? 0 : 1);
  }
}

void Velkor_cycle_run_controls(Velkor_layer* c, uint8_t drawn, uint8_t state, uint8_t changed) {
  if (!drawn) {
    c->continuousStart = 0;
    return;
  }
  c->continuousExecution = state ? 1 : 0;
  c->continuousStart = changed ? 1 : 0;
}

void Velkor_cycle_rom_marker(Velkor_layer* c) {
  if (c->romAddressHover && c->clickFlag) c->romMarkerOn = 0;
}

void Velkor_cycle_ram_marker(Velkor_layer* c) {
  if (c->ramAddressHover && c->clickFlag) c->ramMarkerOn = 0;
}

uint8_t Velkor_cycle_effective_word(const Velkor_layer* c) {
  switch (c->instructionFormat) {
    case kFormatJump:
      return 1;
    case kFormatSingleOperand:
      if (c->singleOperation == kOpSWPB || c->singleOperation == kOpSXT ||
          c->singleOperation == kOpCALL || c->singleOperation == kOpRETI) {
        return 1;
      }
      break;
    case kFormatEmulated:
      if (c->emulatedOperation == kOpNOP || c->emulatedOperation == kOpRET) return 1;
      break;
    default:
      break;
  }
  return c->wordOperation ? 1 : 0;
}

bool Velkor_cycle_text_is_number(const char* text) {
  if (text == nullptr) return false;
  if (memchr(text, '\0', kTextCellSize) == nullptr) return false;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '\0') return true;
  char* end = nullptr;
  // Too large a number is still a number (out of range, not "no number").
  (void)strtoll(p, &end, 0);
  if (end == p) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

bool Velkor_cycle_selection_runnable(const Velkor_layer* c) {
  if (!operation_in_vocabulary(c)) return false;
  if (has_source(c) &&
      (c->sourceMode >= kModeCount || c->sourceRegister >= kRegisterCount || source_refused(c))) {
    return false;
  }
  if (has_destination(c) && (c->destinationMode >= kDestinationModeCount ||
                             c->destinationRegister >= kRegisterCount || destination_refused(c))) {
    return false;
  }
  return true;
}

bool Velkor_cycle_selection_storable(const Velkor_layer* c) {
  return Velkor_cycle_selection_runnable(c) && operation_assemblable(c);
}

uint8_t Velkor_cycle_shows_source(const Velkor_layer* c) {
  return (has_source(c) && c->sourceMode > kModeRegister) ? 1 : 0;
}

uint8_t Velkor_cycle_shows_destination(const Velkor_layer* c) {
  return (has_destination(c) && c->destinationMode > kModeRegister) ? 1 : 0;
}

void Velkor_cycle_address_unit(Velkor_layer* c) {
  c->showSourceAddress = Velkor_cycle_shows_source(c);
  c->showDestinationAddress = Velkor_cycle_shows_destination(c);
  if (c->showSourceAddress) {
    address_calc(c->sourceMode, c->sourceRegister, c->sourceOperandText, c->registers, 0,
                 &c->sourceAddressRegister, c->sourceBaseText, c->sourceIndexText,
                 c->sourceAddressText);
    // An immediate's address is where its word lies, whatever its value.
    if (c->sourceMode != kModeImmediate && source_refused(c)) {
      copy_cell(c->sourceIndexText, kAddressTextSize, kUnknownAddress);
      copy_cell(c->sourceAddressText, kAddressTextSize, kUnknownAddress);
    }
  }
  c->destinationAfterSourceWord = c->showDestinationAddress ? source_extension_first(c) : 0;
  if (c->showDestinationAddress) {
    address_calc(c->destinationMode, c->destinationRegister, c->destinationOperandText,
                 c->registers, c->destinationAfterSourceWord, &c->destinationAddressRegister,
                 c->destinationBaseText, c->destinationIndexText, c->destinationAddressText);
    if (destination_refused(c)) {
      copy_cell(c->destinationIndexText, kAddressTextSize, kUnknownAddress);
      copy_cell(c->destinationAddressText, kAddressTextSize, kUnknownAddress);
    }
  }
}

void Velkor_cycle_assemble(Velkor_layer* c) {
  Velkor_cycle_address_unit(c);
  if (!operation_assemblable(c)) {
    mark_unknown_instruction(c);
    return;
  }
  // A refused value was converted to some number; the student never typed
  // it, so the assembler gets a stand-in whose digits are marked after.
  const bool source = source_refused(c);
  const bool destination = destination_refused(c);
  Assemble(c->instructionFormat, c->dualOperation, c->singleOperation, c->jumpOperation,
           c->emulatedOperation, c->sourceMode, c->sourceRegister,
           static_cast<int32_t>(c->destinationMode), c->destinationRegister, c->pcOffset,
           source ? kStandInValue : c->sourceOperandText,
           destination ? kStandInValue : c->destinationOperandText, Velkor_cycle_effective_word(c),
           c->sourceIndexText, c->destinationIndexText, c->assemblerText, c->bitString,
           c->machineWordText, c->extension1Text, c->extension2Text);
  if (source || destination) mark_machine_code(c, source, destination);
}

bool Velkor_cycle_execute(Velkor_layer* c) {
  if (!(c->executeHighlighted && c->clickFlag)) return false;
  if (!Velkor_cycle_selection_runnable(c)) return false;
  Execute(c->instructionFormat, c->dualOperation, c->singleOperation, c->jumpOperation,
          c->emulatedOperation, static_cast<int32_t>(c->sourceMode),
          static_cast<int32_t>(c->sourceRegister), static_cast<int32_t>(c->destinationMode),
          static_cast<int32_t>(c->destinationRegister), c->pcOffset, c->sourceOperandText,
          c->registers, c->ramRows, c->romRows, Velkor_cycle_effective_word(c),
          c->sourceAddressText, c->destinationAddressText, c->ports, c->registers,
          c->registerHighlight, c->ramRows, &c->ramMarker, &c->ramMarkerOn, &c->romMarker,
          &c->romMarkerOn, c->statusFlags, c->ports);
  return true;
}

bool Velkor_cycle_save(Velkor_layer* c) {
  if (!(c->clickFlag && c->saveHighlighted)) return false;
  if (!Velkor_cycle_selection_storable(c)) return false;
  const int32_t row = c->romSelection[0];
  if (row < 0 || row >= kMemoryRowCount) return false;
  // Assemble as if PC stood on the selected row: a symbolic operand's offset
  // is counted from where its extension word will be stored.
  memcpy(c->saveRegisters, c->registers, sizeof c->saveRegisters);
  snprintf(c->saveRegisters[0], kTextCellSize, "%04X", 0xFFFE - 2 * row);
  memcpy(c->saveSourceIndexText, c->sourceIndexText, kAddressTextSize);
  memcpy(c->saveDestinationIndexText, c->destinationIndexText, kAddressTextSize);
  uint32_t ignored = 0;
  if (Velkor_cycle_shows_source(c)) {
    address_calc(c->sourceMode, c->sourceRegister, c->sourceOperandText, c->saveRegisters, 0,
                 &ignored, c->saveScratchText, c->saveSourceIndexText, c->saveScratchText);
  }
  if (Velkor_cycle_shows_destination(c)) {
    address_calc(c->destinationMode, c->destinationRegister, c->destinationOperandText,
                 c->saveRegisters, source_extension_first(c), &ignored, c->saveScratchText,
                 c->saveDestinationIndexText, c->saveScratchText);
  }
  AssembledInstruction* a = &c->saveAssembled;
  a->word[0] = '\0';  // left over from an earlier save, it would be stored again
  Assemble(c->instructionFormat, c->dualOperation, c->singleOperation, c->jumpOperation,
           c->emulatedOperation, c->sourceMode, c->sourceRegister,
           static_cast<int32_t>(c->destinationMode), c->destinationRegister, c->pcOffset,
           c->sourceOperandText, c->destinationOperandText, Velkor_cycle_effective_word(c),
           c->saveSourceIndexText, c->saveDestinationIndexText, a->text, a->bits, a->word,
           a->extension1, a->extension2);
  // A selection the assembler refuses leaves no machine word: nothing to store.
  if (a->word[0] == '\0') return false;
  Save(a->word, a->extension1, a->extension2, &c->romSelection[0], c->romRows);
  return true;
}

bool Velkor_cycle_reset(Velkor_layer* c) {
  if (!(c->resetRequest || c->decoderResetRequest)) return false;
  Reset(c->romRows, c->registers, c->ramRows, &c->ramMarker, &c->ramMarkerOn, &c->romMarker,
        &c->romMarkerOn, c->statusFlags, &c->phaseFlag, &c->decodedFormat);
  // Answered once: left set, it would reset in every frame until the next
  // FETCH/DECODE and wipe every register and RAM edit made meanwhile.
  c->decoderResetRequest = 0;
  c->wordOperation = 1;
  return true;
}

bool Velkor_cycle_nmi(Velkor_layer* c, uint8_t drawn) {
  if (!drawn) c->nmiRequest = 0;
  if (!c->nmiRequest) return false;
  NMI(c->romRows, c->registers, c->registers, c->ramRows, &c->ramMarker, &c->ramMarkerOn,
      &c->romMarker, &c->romMarkerOn);
  return true;
}

bool Velkor_cycle_fetch(Velkor_layer* c) {
  if (!(c->fetchHighlighted && c->clickFlag)) return false;
  Disassemble(c->registers[0], c->romRows, &c->decodedFormat, &c->decodedDualOperation,
              &c->decodedSingleOperation, &c->decodedJumpOperation, &c->decodedEmulatedOperation,
              &c->decodedSourceMode, &c->decodedSourceRegister, &c->decodedDestinationMode,
              &c->decodedDestinationRegister, &c->decodedPcOffset, c->decodedSourceText,
              c->decodedDestinationText, &c->decoderResetRequest, &c->decodedWordFlag);
  return true;
}

void Velkor_cycle_popup_requests(const Velkor_layer* c, Velkor_PopUpRequest* r) {
  uint8_t register_hover = 0;
  for (int i = 0; i < kRegisterCount; ++i) {
    if (Velkor_register_editable(i) && c->registerHover[i]) register_hover = 1;
  }
  r[kPopUpSlots] = {1, 1, static_cast<uint8_t>(c->romByteHover && c->clickFlag)};
  r[kPopUpInstructions] = {1, 1, 1};
  r[kPopUpRam] = {1, 1, static_cast<uint8_t>(c->ramByteHover && c->clickFlag)};
  r[kPopUpMachineCode] = {static_cast<uint8_t>(c->instructionFormat != kFormatNone), 1, 1};
  r[kPopUpInfo] = {1, c->infoHover ? uint8_t{1} : uint8_t{0}, 1};
  r[kPopUpRegister] = {1, static_cast<uint8_t>(!c->saveToRegister),
                       static_cast<uint8_t>(register_hover && c->clickFlag)};
}

Velkor_PopUpPlace Velkor_cycle_popup_place(const Velkor_layer* c, int32_t popup) {
  switch (popup) {
    case kPopUpSlots:
      return {186.0f, -118.0f, 250.0f, 200.0f, 1.0f};
    case kPopUpInstructions:
      return c->instructionSetZoom ? Velkor_PopUpPlace{-360.0f, -133.0f, 540.0f, 510.0f, 1.0f}
                                   : Velkor_PopUpPlace{-250.0f, 100.0f, 540.0f, 510.0f, 0.5f};
    case kPopUpRam:
      return {352.75f, -146.25f, 280.25f, 225.25f, 1.0f};
    case kPopUpMachineCode:
      return c->machineCodeZoom ? Velkor_PopUpPlace{-600.0f, -375.0f, 500.0f, 260.0f, 1.0f}
                                : Velkor_PopUpPlace{-609.0f, -57.0f, 500.0f, 260.0f, 0.45f};
    case kPopUpInfo:
      return {241.0f, -336.0f, 383.0f, 124.0f, 1.0f};
    default:
      return {-56.25f, -327.25f, 280.25f, 225.25f, 1.0f};
  }
}

int32_t Velkor_cycle_popup_at(const Velkor_layer* c, float x, float y) {
  const Velkor_PopUpPanel* panels[kPopUpCount] = {&c->PopUpPanel,     &c->InstruktionenPopUpPanel,
                                                  &c->RAMPopUpPanel,  &c->MaschinencodePopUpPanel,
                                                  &c->InfoPopUpPanel, &c->RegPopUpPanel};
  for (int32_t p = kPopUpCount - 1; p >= 0; --p) {
    if (!panels[p]->isOpen) continue;
    if (p == kPopUpMachineCode && c->instructionFormat == kFormatNone) continue;
    const Velkor_PopUpPlace place = Velkor_cycle_popup_place(c, p);
    const float right = place.x + place.width * place.scale;
    const float top = place.y + place.height * place.scale;
    if (x >= place.x && x <= right && y >= place.y && y <= top) return p;
  }
  return kPointerMainView;
}

bool Velkor_cycle_point_on_open_popup(const Velkor_layer* c, float x, float y) {
  return Velkor_cycle_popup_at(c, x, y) != kPointerMainView;
}

Velkor_PointerOwner Velkor_cycle_pointer_owner(const Velkor_layer* c, const PointerEvent& pointer) {
  Velkor_PointerOwner o{};
  o.pointer = pointer;
  o.popup = Velkor_cycle_popup_at(c, pointer.x - kPanelCentreX, pointer.y - kPanelCentreY);
  // Only one list of a pop-up is open at a time; the first found is it.
  const Velkor_ComboBox* const lists[] = {&c->SlotComboBox,
                                          &c->InstructionFormatComboBox,
                                          &c->DualOperationComboBox,
                                          &c->Single_OperationComboBox,
                                          &c->Jump_OperationComboBox,
                                          &c->Emulated_OperationComboBox,
                                          &c->SRegAdrComboBox,
                                          &c->SRegComboBox,
                                          &c->DRegAdrComboBox,
                                          &c->DRegComboBox,
                                          &c->RegComboBox};
  const int32_t owners[] = {kPopUpSlots,        kPopUpInstructions, kPopUpInstructions,
                            kPopUpInstructions, kPopUpInstructions, kPopUpInstructions,
                            kPopUpInstructions, kPopUpInstructions, kPopUpInstructions,
                            kPopUpInstructions, kPopUpRegister};
  static_assert(sizeof lists / sizeof lists[0] == sizeof owners / sizeof owners[0], "");
  for (size_t i = 0; i < sizeof lists / sizeof lists[0]; ++i) {
    if (lists[i]->open && o.openList[owners[i]] == nullptr) o.openList[owners[i]] = lists[i];
  }
  return o;
}

void Velkor_cycle_classroom_takes_frame(Velkor_layer* c) {
  c->clickFlag = 0;
  c->pointerOwner.classroom = 1;
}

bool Velkor_cycle_pointer_reaches(const Velkor_PointerOwner& owner, int32_t popup,
                                  const Velkor_ComboBox* list) {
  if (popup == kPointerMainView) return owner.popup == kPointerMainView && !owner.classroom;
  if (popup < 0 || popup >= kPopUpCount || owner.popup > popup) return false;
  const Velkor_ComboBox* open = owner.openList[popup];
  return open == nullptr || open == list;
}
