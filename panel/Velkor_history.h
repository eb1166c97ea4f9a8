// Velkor_history - "Schritt zurück" and "Schritt vor": the panel's machine
// as it was before each of the last kHistorySteps actions.
//
// What it keeps
//   A fixed ring of compact states (Velkor_HistoryState), allocated once
//   with the layer context: kHistorySlots states of sizeof
//   (Velkor_HistoryState) bytes, nothing allocated later. A state holds the
//   whole visible machine in the panel's own notation (the characters of
//   every register, byte and port cell; flags, lamps, switches, markers,
//   highlights, the phase), the decoded instruction, and the instruction
//   selection with the ROM and RAM table selections. Everything else the
//   panel shows of the machine (the phase text, the assembler line, the
//   machine code, the address unit, P2IN and the lamps) follows from these
//   in the frame that restores them.
//
// How a frame uses it (Velkor_history_controls.h does this)
//   frame start   Velkor_history_capture(c, &before)
//   undo / redo   Velkor_history_undo(h, &now, &out) or _redo, then
//                 Velkor_history_restore(c, &out)
//   frame end     Velkor_history_capture(c, &after); when
//                 Velkor_history_changed(&before, &after) the frame was an
//                 action: Velkor_history_record(h, &before)
//
// The ring (positions count up for ever; a slot is position % kHistorySlots):
//
//     oldest ...... current ...... newest
//     undo entries  (shown now)    redo entries
//
//   record   slot[current] = before; current + 1; newest = current (the
//            undone branch is dropped); oldest moves up past kHistorySteps
//   undo     slot[current] = now (to come back to); current - 1; restore it
//   redo     slot[current] = now; current + 1; restore it
//
// Threads: the drawing thread only.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/mycode.h"
#include "panel/Velkor_symbology_layer.h"

// Actions that can be stepped back; one more slot holds the state a step
// back leaves, so that "Schritt vor" finds it.
constexpr int32_t kHistorySteps = 1024;
constexpr int32_t kHistorySlots = kHistorySteps + 1;

// Room of a decoded operand text ("0x%04X" or empty).
constexpr int32_t kHistoryDecodedTextSize = 16;

// The machine, cell by cell: what makes a frame an action when it changes.
// Only one-byte fields after the highlights, so there is no padding between
// fields and two states compare byte for byte.
struct Velkor_HistoryMachine {
  int32_t highlight[kRegisterCount];
  char registers[kRegisterCount][4];  // "FF80"
  char ram[kMemoryRowCount][4];       // high and low byte cell, "0031"
  char rom[kMemoryRowCount][4];
  char ports[kPortCellCount][4];  // "0x" and the two digits
  uint8_t statusFlags[4];
  uint8_t p1Output[8];
  uint8_t p2Input[8];
  uint8_t ramMarker[3];  // row, column, on
  uint8_t romMarker[3];
  uint8_t phaseFlag;
  uint8_t spare;
};

// What FETCH/DECODE wrote: a FETCH/DECODE of a new word changes the machine
// only here.
struct Velkor_HistoryDecoded {
  uint32_t format;
  uint32_t dualOperation;
  uint32_t singleOperation;
  uint32_t jumpOperation;
  uint32_t emulatedOperation;
  uint32_t sourceMode;
  uint32_t sourceRegister;
  uint32_t destinationMode;
  uint32_t destinationRegister;
  float pcOffset;
  char sourceText[kHistoryDecodedTextSize];
  char destinationText[kHistoryDecodedTextSize];
  uint8_t wordFlag;
  uint8_t spare[3];
};

// The instruction the selectors hold and the cells the tables select.
struct Velkor_HistorySelection {
  uint32_t format;
  uint32_t dualOperation;
  uint32_t singleOperation;
  uint32_t jumpOperation;
  uint32_t emulatedOperation;
  uint32_t sourceMode;
  uint32_t sourceRegister;
  uint32_t destinationMode;
  uint32_t destinationRegister;
  float pcOffset;
  int32_t romSelection[2];
  int32_t ramSelection[2];
  TextCell sourceEditText;  // as typed; the converted operands follow from it
  TextCell destinationEditText;
  uint8_t wordOperation;
  uint8_t spare;
};

struct Velkor_HistoryState {
  Velkor_HistoryMachine machine;
  Velkor_HistoryDecoded decoded;
  Velkor_HistorySelection selection;
};

struct Velkor_History {
  Velkor_HistoryState slots[kHistorySlots];
  uint64_t oldest;
  uint64_t current;
  uint64_t newest;
};

// The bytes the history takes (the ring and the frame's two states).
constexpr size_t kHistoryBytes = sizeof(Velkor_History) + 2 * sizeof(Velkor_HistoryState);

// Empty: nothing to undo or redo.
void Velkor_history_init(Velkor_History* h);

int32_t Velkor_history_undo_count(const Velkor_History* h);
int32_t Velkor_history_redo_count(const Velkor_History* h);

// An action happened; `before` is the state it started from. Drops whatever
// was undone, and the oldest entry once kHistorySteps are kept.
void Velkor_history_record(Velkor_History* h, const Velkor_HistoryState* before);

// One step back (forward): `now` is kept to come back to, *out receives the
// state to show. False, with *out untouched, when there is nothing.
bool Velkor_history_undo(Velkor_History* h, const Velkor_HistoryState* now,
                         Velkor_HistoryState* out);
bool Velkor_history_redo(Velkor_History* h, const Velkor_HistoryState* now,
                         Velkor_HistoryState* out);

// The panel's state in compact form, and back. Restore also loads the
// widgets that hold a copy (selectors, edit boxes, P2 switches, tables), so
// that they show the restored values in the same frame.
void Velkor_history_capture(const Velkor_symbology_layer_context* c, Velkor_HistoryState* out);
void Velkor_history_restore(Velkor_symbology_layer_context* c, const Velkor_HistoryState* s);

// Whether the machine (or the decoded instruction) differs between two
// states. P2IN and the lamps are compared as the next Ports call will leave
// them, so a frame that only carries the last action's port values through
// is no action of its own.
bool Velkor_history_changed(const Velkor_HistoryState* before, const Velkor_HistoryState* after);

// Whether anything at all differs, the selection included (a FETCH/DECODE
// of the same word again still reloads the selectors).
bool Velkor_history_differs(const Velkor_HistoryState* a, const Velkor_HistoryState* b);
