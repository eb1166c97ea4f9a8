#include "panel/Velkor_history.h"

#include <cstdio>
#include <cstring>

#include "panel/Velkor_symbology_layer_cycle_internal.h"
#include "panel/Velkor_symbology_layer_internal.h"
#include "panel/Velkor_symbology_layer_popups_internal.h"

namespace {

using Context = Velkor_symbology_layer_context;

// The compare is byte for byte: no field may leave a gap.
static_assert(sizeof(Velkor_HistoryMachine) == 700, "the machine record has no padding");
static_assert(sizeof(Velkor_HistoryDecoded) == 76, "the decoded record has no padding");
static_assert(sizeof(Velkor_HistorySelection) == 568, "the selection record has no padding");
static_assert(sizeof(Velkor_HistoryState) == 700 + 76 + 568, "the state has no padding");

uint64_t slot_of(uint64_t position) {
  return position % static_cast<uint64_t>(kHistorySlots);
}

// The first n characters of a cell; whatever follows an early terminator
// reads as zeros, so equal texts give equal bytes.
void take_chars(char* out, const char* cell, size_t n) {
  const size_t length = strnlen(cell, n);
  memcpy(out, cell, length);
  memset(out + length, 0, n - length);
}

// Back into a cell of more than n bytes: the characters and a terminator.
void put_chars(char* cell, const char* chars, size_t n) {
  memcpy(cell, chars, n);
  cell[n] = '\0';
}

uint8_t small(uint32_t value) {
  return static_cast<uint8_t>(value);
}

void capture_machine(const Context* c, Velkor_HistoryMachine* m) {
  memcpy(m->highlight, c->registerHighlight, sizeof m->highlight);
  for (int r = 0; r < kRegisterCount; ++r) take_chars(m->registers[r], c->registers[r], 4);
  for (int r = 0; r < kMemoryRowCount; ++r) {
    take_chars(&m->ram[r][0], c->ramRows[r].cells[kRowHighCell], 2);
    take_chars(&m->ram[r][2], c->ramRows[r].cells[kRowLowCell], 2);
    take_chars(&m->rom[r][0], c->romRows[r].cells[kRowHighCell], 2);
    take_chars(&m->rom[r][2], c->romRows[r].cells[kRowLowCell], 2);
  }
  for (int p = 0; p < kPortCellCount; ++p) take_chars(m->ports[p], c->ports[p], 4);
  memcpy(m->statusFlags, c->statusFlags, sizeof m->statusFlags);
  memcpy(m->p1Output, c->p1Output, sizeof m->p1Output);
  memcpy(m->p2Input, c->p2Input, sizeof m->p2Input);
  m->ramMarker[0] = small(c->ramMarker.row);
  m->ramMarker[1] = small(c->ramMarker.column);
  m->ramMarker[2] = c->ramMarkerOn;
  m->romMarker[0] = small(c->romMarker.row);
  m->romMarker[1] = small(c->romMarker.column);
  m->romMarker[2] = c->romMarkerOn;
  m->phaseFlag = c->phaseFlag;
}

void restore_machine(Context* c, const Velkor_HistoryMachine* m) {
  memcpy(c->registerHighlight, m->highlight, sizeof m->highlight);
  for (int r = 0; r < kRegisterCount; ++r) put_chars(c->registers[r], m->registers[r], 4);
  for (int r = 0; r < kMemoryRowCount; ++r) {
    put_chars(c->ramRows[r].cells[kRowHighCell], &m->ram[r][0], 2);
    put_chars(c->ramRows[r].cells[kRowLowCell], &m->ram[r][2], 2);
    put_chars(c->romRows[r].cells[kRowHighCell], &m->rom[r][0], 2);
    put_chars(c->romRows[r].cells[kRowLowCell], &m->rom[r][2], 2);
  }
  for (int p = 0; p < kPortCellCount; ++p) put_chars(c->ports[p], m->ports[p], 4);
  memcpy(c->statusFlags, m->statusFlags, sizeof m->statusFlags);
  memcpy(c->p1Output, m->p1Output, sizeof m->p1Output);
  memcpy(c->p2Input, m->p2Input, sizeof m->p2Input);
  c->ramMarker.row = m->ramMarker[0];
  c->ramMarker.column = m->ramMarker[1];
  c->ramMarkerOn = m->ramMarker[2];
  c->romMarker.row = m->romMarker[0];
  c->romMarker.column = m->romMarker[1];
  c->romMarkerOn = m->romMarker[2];
  c->phaseFlag = m->phaseFlag;
  // The switches keep their own state and hand it to p2Input as they are
  // drawn: they take the restored one in this frame's draw.
  Velkor_ToggleButton* switches[8] = {
      &c->ToggleButton_7, &c->ToggleButton_6, &c->ToggleButton_5, &c->ToggleButton_4,
      &c->ToggleButton_3, &c->ToggleButton_2, &c->ToggleButton_1, &c->ToggleButton,
  };
  for (int bit = 0; bit < 8; ++bit) {
    switches[bit]->value = m->p2Input[bit] ? 1 : 0;
    switches[bit]->load = 1;
  }
}

void capture_decoded(const Context* c, Velkor_HistoryDecoded* d) {
  d->format = c->decodedFormat;
  d->dualOperation = c->decodedDualOperation;
  d->singleOperation = c->decodedSingleOperation;
  d->jumpOperation = c->decodedJumpOperation;
  d->emulatedOperation = c->decodedEmulatedOperation;
  d->sourceMode = c->decodedSourceMode;
  d->sourceRegister = c->decodedSourceRegister;
  d->destinationMode = c->decodedDestinationMode;
  d->destinationRegister = c->decodedDestinationRegister;
  d->pcOffset = c->decodedPcOffset;
  // The decoder writes "0x%04X" or nothing: the room of the record is plenty.
  take_chars(d->sourceText, c->decodedSourceText, kHistoryDecodedTextSize - 1);
  take_chars(d->destinationText, c->decodedDestinationText, kHistoryDecodedTextSize - 1);
  d->wordFlag = c->decodedWordFlag;
}

void restore_decoded(Context* c, const Velkor_HistoryDecoded* d) {
  c->decodedFormat = d->format;
  c->decodedDualOperation = d->dualOperation;
  c->decodedSingleOperation = d->singleOperation;
  c->decodedJumpOperation = d->jumpOperation;
  c->decodedEmulatedOperation = d->emulatedOperation;
  c->decodedSourceMode = d->sourceMode;
  c->decodedSourceRegister = d->sourceRegister;
  c->decodedDestinationMode = d->destinationMode;
  c->decodedDestinationRegister = d->destinationRegister;
  c->decodedPcOffset = d->pcOffset;
  put_chars(c->decodedSourceText, d->sourceText, kHistoryDecodedTextSize - 1);
  put_chars(c->decodedDestinationText, d->destinationText, kHistoryDecodedTextSize - 1);
  c->decodedWordFlag = d->wordFlag;
  // A step back lands between actions, where no decoder reset is pending.
  c->decoderResetRequest = 0;
}

void capture_selection(const Context* c, Velkor_HistorySelection* s) {
  s->format = c->instructionFormat;
  s->dualOperation = c->dualOperation;
  s->singleOperation = c->singleOperation;
  s->jumpOperation = c->jumpOperation;
  s->emulatedOperation = c->emulatedOperation;
  s->sourceMode = c->sourceMode;
  s->sourceRegister = c->sourceRegister;
  s->destinationMode = c->destinationMode;
  s->destinationRegister = c->destinationRegister;
  s->pcOffset = c->pcOffset;
  memcpy(s->romSelection, c->romSelection, sizeof s->romSelection);
  memcpy(s->ramSelection, c->ramSelection, sizeof s->ramSelection);
  take_chars(s->sourceEditText, c->sourceEditText, kTextCellSize - 1);
  take_chars(s->destinationEditText, c->destinationEditText, kTextCellSize - 1);
  s->wordOperation = c->wordOperation;
}

void load_table(Velkor_MultiColumn* table, const int32_t* selection) {
  table->loadRow = selection[0];
  table->loadColumn = selection[1];
  table->load = 1;
}

void restore_selection(Context* c, const Velkor_HistorySelection* s) {
  c->instructionFormat = s->format;
  c->dualOperation = s->dualOperation;
  c->singleOperation = s->singleOperation;
  c->jumpOperation = s->jumpOperation;
  c->emulatedOperation = s->emulatedOperation;
  c->sourceMode = s->sourceMode;
  c->sourceRegister = s->sourceRegister;
  c->destinationMode = s->destinationMode;
  c->destinationRegister = s->destinationRegister;
  c->pcOffset = s->pcOffset;
  // The tables hand their selection back in every draw: they take these in
  // this frame's.
  memcpy(c->romSelection, s->romSelection, sizeof s->romSelection);
  memcpy(c->ramSelection, s->ramSelection, sizeof s->ramSelection);
  load_table(&c->MemoryMultiColumn, s->romSelection);
  load_table(&c->MemoryMultiColumn_1, s->ramSelection);
  put_chars(c->sourceEditText, s->sourceEditText, kTextCellSize - 1);
  put_chars(c->destinationEditText, s->destinationEditText, kTextCellSize - 1);
  c->wordOperation = s->wordOperation;
  // Selectors, edit boxes, the slider and "Word Operation" load whatever
  // differs from these fields when the instruction pop-up is drawn; the
  // operands' conversions are made now, so that this frame's Assemble and
  // address unit already read them.
  Velkor_popups_convert_operands(c);
}

// The machine as the next Ports call leaves it: P2IN from the switches, the
// lamps from P1OUT.
void settle_ports(Velkor_HistoryMachine* m) {
  PortCell ports[kPortCellCount];
  for (int p = 0; p < kPortCellCount; ++p) put_chars(ports[p], m->ports[p], 4);
  Ports(ports, m->p2Input, ports, m->p1Output);
  for (int p = 0; p < kPortCellCount; ++p) take_chars(m->ports[p], ports[p], 4);
}

}  // namespace

void Velkor_history_init(Velkor_History* h) {
  h->oldest = 0;
  h->current = 0;
  h->newest = 0;
}

int32_t Velkor_history_undo_count(const Velkor_History* h) {
  return static_cast<int32_t>(h->current - h->oldest);
}

int32_t Velkor_history_redo_count(const Velkor_History* h) {
  return static_cast<int32_t>(h->newest - h->current);
}

void Velkor_history_record(Velkor_History* h, const Velkor_HistoryState* before) {
  h->slots[slot_of(h->current)] = *before;
  ++h->current;
  h->newest = h->current;
  if (h->current - h->oldest > static_cast<uint64_t>(kHistorySteps)) {
    h->oldest = h->current - kHistorySteps;
  }
}

bool Velkor_history_undo(Velkor_History* h, const Velkor_HistoryState* now,
                         Velkor_HistoryState* out) {
  if (h->current == h->oldest) return false;
  h->slots[slot_of(h->current)] = *now;
  --h->current;
  *out = h->slots[slot_of(h->current)];
  return true;
}

bool Velkor_history_redo(Velkor_History* h, const Velkor_HistoryState* now,
                         Velkor_HistoryState* out) {
  if (h->current == h->newest) return false;
  h->slots[slot_of(h->current)] = *now;
  ++h->current;
  *out = h->slots[slot_of(h->current)];
  return true;
}

void Velkor_history_capture(const Velkor_symbology_layer_context* c, Velkor_HistoryState* out) {
  // Cleared whole first: states are compared byte for byte.
  memset(out, 0, sizeof *out);
  capture_machine(c, &out->machine);
  capture_decoded(c, &out->decoded);
  capture_selection(c, &out->selection);
}

void Velkor_history_restore(Velkor_symbology_layer_context* c, const Velkor_HistoryState* s) {
  restore_machine(c, &s->machine);
  restore_decoded(c, &s->decoded);
  restore_selection(c, &s->selection);
}

bool Velkor_history_changed(const Velkor_HistoryState* before, const Velkor_HistoryState* after) {
  Velkor_HistoryMachine a = before->machine;
  Velkor_HistoryMachine b = after->machine;
  settle_ports(&a);
  settle_ports(&b);
  return memcmp(&a, &b, sizeof a) != 0 ||
         memcmp(&before->decoded, &after->decoded, sizeof before->decoded) != 0;
}

bool Velkor_history_differs(const Velkor_HistoryState* a, const Velkor_HistoryState* b) {
  return Velkor_history_changed(a, b) ||
         memcmp(&a->selection, &b->selection, sizeof a->selection) != 0;
}
