// What the panel shows, read from outside: the snapshot, the state digest
// and the panel's own rules on its state.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "display/Velkor_ComboBox.h"
#include "panel/Velkor_symbology_layer.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "panel/Velkor_vocabulary.h"

namespace {

using Context = Velkor_symbology_layer_context;

Velkor_PanelRow row_of(const MemoryRow& row) {
  return {row.cells[kRowAddressCell], row.cells[kRowHighCell], row.cells[kRowLowCell]};
}

Velkor_PanelAddress address_of(uint8_t shown, const char* base, const char* index,
                               const char* address, uint32_t reg) {
  return {shown, base, index, address, Velkor_word(kVelkorRegisters, reg)};
}

// ---- The panel's rules on its state ----------------------------------------------

struct Check {
  char* problem;
  size_t size;
};

bool fail(const Check& k, const char* what, const char* text) {
  if (k.problem != nullptr && k.size > 0) snprintf(k.problem, k.size, "%s: \"%.40s\"", what, text);
  return false;
}

bool terminated(const char* text, size_t size) {
  return memchr(text, '\0', size) != nullptr;
}

bool hex_digits(const char* text, size_t digits) {
  for (size_t i = 0; i < digits; ++i) {
    const char ch = text[i];
    if (!((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F'))) return false;
  }
  return text[digits] == '\0';
}

bool cells_terminated(const Context* c, const Check& k) {
  const TextCell* texts[] = {&c->sourceEditText,
                             &c->sourceOperandText,
                             &c->assemblerText,
                             &c->bitString,
                             &c->machineWordText,
                             &c->decodedSourceText,
                             &c->extension1Text,
                             &c->destinationEditText,
                             &c->destinationOperandText,
                             &c->decodedDestinationText,
                             &c->extension2Text,
                             &c->registerEditText,
                             &c->registerValueText,
                             &c->ramEditText,
                             &c->ramValueText};
  for (const TextCell* text : texts) {
    if (!terminated(*text, sizeof *text)) return fail(k, "text not terminated", "");
  }
  const AddressText* addresses[] = {&c->sourceBaseText,       &c->sourceIndexText,
                                    &c->sourceAddressText,    &c->destinationAddressText,
                                    &c->destinationIndexText, &c->destinationBaseText};
  for (const AddressText* text : addresses) {
    if (!terminated(*text, sizeof *text)) return fail(k, "address text not terminated", "");
  }
  if (!terminated(c->slotMessage, sizeof c->slotMessage)) {
    return fail(k, "slot message not terminated", "");
  }
  return true;
}

bool texts_in_format(const Context* c, const Check& k) {
  if (!cells_terminated(c, k)) return false;
  for (const TextCell& r : c->registers) {
    if (!terminated(r, sizeof r) || !hex_digits(r, 4)) return fail(k, "register not 4 hex", r);
  }
  for (const MemoryRow* table : {c->romRows, c->ramRows}) {
    for (int32_t row = 0; row < kMemoryRowCount; ++row) {
      for (const TextCell& cell : table[row].cells) {
        if (!terminated(cell, sizeof cell)) return fail(k, "table cell not terminated", "");
      }
      if (!hex_digits(table[row].cells[0], 4)) {
        return fail(k, "address not 4 hex", table[row].cells[0]);
      }
      for (int32_t col = 1; col <= 2; ++col) {
        if (!hex_digits(table[row].cells[col], 2)) {
          return fail(k, "table cell not 2 hex", table[row].cells[col]);
        }
      }
    }
  }
  for (const PortCell& p : c->ports) {
    if (!terminated(p, sizeof p)) return fail(k, "port not terminated", "");
    if (p[0] != '\0' && (p[0] != '0' || p[1] != 'x' || !hex_digits(p + 2, 2))) {
      return fail(k, "port not 0x%02X", p);
    }
  }
  return true;
}

bool selections_in_range(const Context* c, const Check& k) {
  struct Rule {
    const char* name;
    uint32_t value;
    uint32_t count;
  };
  const Rule rules[] = {
      {"instructionFormat", c->instructionFormat, kFormatNone + 1},
      {"dualOperation", c->dualOperation, kDualOperationCount},
      {"singleOperation", c->singleOperation, kSingleOperationCount},
      {"jumpOperation", c->jumpOperation, kJumpOperationCount},
      {"emulatedOperation", c->emulatedOperation, kEmulatedOperationCount},
      {"sourceMode", c->sourceMode, kModeCount},
      {"destinationMode", c->destinationMode, kDestinationModeCount},
      {"sourceRegister", c->sourceRegister, kRegisterCount},
      {"destinationRegister", c->destinationRegister, kRegisterCount},
      {"sourceAddressRegister", c->sourceAddressRegister, kRegisterCount},
      {"destinationAddressRegister", c->destinationAddressRegister, kRegisterCount},
      {"registerIndex", c->registerIndex, kRegisterCount},
      {"speed", c->speed, kSpeedFast + 1},
      {"slot", c->slot, 10},
      {"decodedFormat", c->decodedFormat, kFormatNone + 1},
      {"decodedDualOperation", c->decodedDualOperation, kDualOperationCount},
      {"decodedSingleOperation", c->decodedSingleOperation, kOpSingleUnused + 1},
      {"decodedJumpOperation", c->decodedJumpOperation, kJumpOperationCount},
      {"decodedEmulatedOperation", c->decodedEmulatedOperation, kEmulatedOperationCount},
      {"decodedSourceMode", c->decodedSourceMode, kModeCount},
      {"decodedDestinationMode", c->decodedDestinationMode, kModeCount},
      {"decodedSourceRegister", c->decodedSourceRegister, kRegisterCount},
      {"decodedDestinationRegister", c->decodedDestinationRegister, kRegisterCount},
      {"romMarker.row", c->romMarker.row, kTableLineCount + 1},
      {"ramMarker.row", c->ramMarker.row, kTableLineCount + 1},
      {"romSelection row", static_cast<uint32_t>(c->romSelection[0] + 1), kTableLineCount + 2},
      {"ramSelection row", static_cast<uint32_t>(c->ramSelection[0] + 1), kTableLineCount + 2},
  };
  for (const Rule& rule : rules) {
    if (rule.value >= rule.count) {
      if (k.problem != nullptr && k.size > 0) {
        snprintf(k.problem, k.size, "%s = %u out of range", rule.name, rule.value);
      }
      return false;
    }
  }
  return true;
}

}  // namespace

size_t Velkor_symbology_layer_size() {
  return sizeof(Context);
}

void Velkor_symbology_layer_snapshot(const Velkor_symbology_layer_context* c,
                                     Velkor_PanelSnapshot* out) {
  if (c == nullptr || out == nullptr) return;
  Velkor_PanelSnapshot& s = *out;
  s.frame = c->frame;
  for (int r = 0; r < kRegisterCount; ++r) {
    s.registers[r] = c->registers[r];
    s.registerFrames[r] = c->registerHighlight[r];
  }
  for (int f = 0; f < 4; ++f) s.flags[f] = c->statusFlags[f];
  s.stateText = Velkor_symbology_layer_state_text(c);
  s.continuous = c->continuousExecution != 0 ? 1 : 0;
  s.speed = Velkor_word(kVelkorSpeeds, c->speed);
  for (int r = 0; r < kMemoryRowCount; ++r) {
    s.rom[r] = row_of(c->romRows[r]);
    s.ram[r] = row_of(c->ramRows[r]);
  }
  s.romFirstRow = c->MemoryMultiColumn.firstRow;
  s.ramFirstRow = c->MemoryMultiColumn_1.firstRow;
  s.romRowsShown = c->MemoryMultiColumn.visibleRows;
  s.ramRowsShown = c->MemoryMultiColumn_1.visibleRows;
  for (int r = 0; r < kMemoryRowCount; ++r) s.breakpoints[r] = c->classroom.breakpoints[r] ? 1 : 0;
  s.breakpointMessage = c->classroom.breakpointMessage;
  s.helpOpen = c->classroom.helpOpen != 0 ? 1 : 0;
  s.undoSteps = Velkor_history_undo_count(&c->classroom.history);
  s.redoSteps = Velkor_history_redo_count(&c->classroom.history);
  for (int p = 0; p < kPortCellCount; ++p) s.ports[p] = c->ports[p];
  for (int bit = 0; bit < 8; ++bit) {
    s.segments[bit] = c->p1Output[bit] != 0 ? 1 : 0;
    s.switches[bit] = c->p2Input[bit] != 0 ? 1 : 0;
  }
  s.romMarker = {static_cast<int32_t>(c->romMarker.row), static_cast<uint8_t>(c->romMarkerOn != 0)};
  s.ramMarker = {static_cast<int32_t>(c->ramMarker.row), static_cast<uint8_t>(c->ramMarkerOn != 0)};
  s.romSelection = {c->romSelection[0], c->romSelection[1]};
  s.ramSelection = {c->ramSelection[0], c->ramSelection[1]};
  Velkor_PanelSelection& sel = s.selection;
  sel.format = Velkor_word(kVelkorFormats, c->instructionFormat);
  uint32_t operation = 0;
  switch (c->instructionFormat) {
    case kFormatDoubleOperand:
      operation = c->dualOperation;
      break;
    case kFormatSingleOperand:
      operation = c->singleOperation;
      break;
    case kFormatJump:
      operation = c->jumpOperation;
      break;
    case kFormatEmulated:
      operation = c->emulatedOperation;
      break;
    default:
      break;
  }
  sel.operation = Velkor_operation_word(c->instructionFormat, operation);
  sel.sourceMode = Velkor_word(kVelkorModes, c->sourceMode);
  sel.sourceRegister = Velkor_word(kVelkorRegisters, c->sourceRegister);
  sel.sourceText = c->sourceEditText;
  sel.sourceValid = c->sourceValid != 0 ? 1 : 0;
  sel.destinationMode = Velkor_word(kVelkorModes, c->destinationMode);
  sel.destinationRegister = Velkor_word(kVelkorRegisters, c->destinationRegister);
  sel.destinationText = c->destinationEditText;
  sel.destinationValid = c->destinationValid != 0 ? 1 : 0;
  sel.word = c->wordOperation != 0 ? 1 : 0;
  sel.pcOffset = c->pcOffset;
  s.assemblerText = c->assemblerText;
  s.machineCode[0] = c->machineWordText;
  s.machineCode[1] = c->extension1Text;
  s.machineCode[2] = c->extension2Text;
  s.sourceAddress = address_of(c->showSourceAddress, c->sourceBaseText, c->sourceIndexText,
                               c->sourceAddressText, c->sourceAddressRegister);
  s.destinationAddress =
      address_of(c->showDestinationAddress, c->destinationBaseText, c->destinationIndexText,
                 c->destinationAddressText, c->destinationAddressRegister);
  s.popups = {c->PopUpPanel.isOpen,     c->InstruktionenPopUpPanel.isOpen,
              c->RAMPopUpPanel.isOpen,  c->MaschinencodePopUpPanel.isOpen,
              c->InfoPopUpPanel.isOpen, c->RegPopUpPanel.isOpen};
  s.instructionZoom = c->instructionSetZoom != 0 ? 1 : 0;
  s.machineCodeZoom = c->machineCodeZoom != 0 ? 1 : 0;
  s.message = c->slotMessage;
  s.slot = c->slot;
  s.slotListOpen = c->SlotComboBox.open != 0 ? 1 : 0;
  s.slotListHeight = Velkor_ComboBox_listHeight(&c->SlotComboBox);
  s.slotSaved = c->saveToSlot != 0 ? 1 : 0;
  s.slotLoaded = c->loadFromSlot != 0 ? 1 : 0;
}

uint64_t Velkor_symbology_layer_state_digest(const Velkor_symbology_layer_context* c) {
  uint64_t digest = 1469598103934665603ULL;
  if (c == nullptr) return digest;
  const auto* bytes = reinterpret_cast<const uint8_t*>(c);
  for (size_t i = 0; i < offsetof(Context, ExecutionAnimation); ++i) {
    digest = (digest ^ bytes[i]) * 1099511628211ULL;
  }
  return digest;
}

bool Velkor_symbology_layer_check(const Velkor_symbology_layer_context* c, char* problem,
                                  size_t size) {
  if (c == nullptr) return false;
  const Check k{problem, size};
  return texts_in_format(c, k) && selections_in_range(c, k);
}
