// Helpers for the core's tests: a simulator on the heap, selections built
// field by field, and memory words read and written by address.
#pragma once

#include <stdio.h>
#include <string.h>

#include <memory>
#include <string>

#include "core/mycode.h"

namespace coretest {

// The initial state: the demonstration program, PC = FF80.
inline std::unique_ptr<Simulator> NewSimulator() {
  std::unique_ptr<Simulator> s(new Simulator);
  InitSimulator(s.get());
  return s;
}

inline void SetReg(MachineState* m, int reg, unsigned value) {
  snprintf(m->registers[reg], kTextCellSize, "%04X", value & 0xFFFF);
}

inline std::string Reg(const MachineState* m, int reg) { return m->registers[reg]; }

inline unsigned Word(const MachineState* m, unsigned address) {
  return ReadMemoryWord(m->ram, m->rom, m->ports, address);
}

// A word of program memory (0xFF80 and up) or of data memory.
inline void SetWord(MachineState* m, unsigned address, unsigned value) {
  MemoryRow* row = address >= 0xFF80 ? &m->rom[(0xFFFE - address) / 2]
                                     : &m->ram[(0x027E - address) / 2];
  snprintf(row->cells[kRowHighCell], kTextCellSize, "%02X", (value >> 8) & 0xFF);
  snprintf(row->cells[kRowLowCell], kTextCellSize, "%02X", value & 0xFF);
}

// The status flags as "VNZC", e.g. "0101".
inline std::string Flags(const MachineState* m) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>('0' + m->statusFlags[i]);
  return s;
}

// A selection built field by field; texts are the HexConv forms ("0280").
struct Sel {
  InstructionSelection s;
  Sel() { InitSelection(&s); }
  Sel& Format(uint32_t f) { s.format = f; return *this; }
  Sel& Dual(uint32_t op) { s.dualOperation = op; return Format(kFormatDoubleOperand); }
  Sel& Single(uint32_t op) { s.singleOperation = op; return Format(kFormatSingleOperand); }
  Sel& Jump(uint32_t op, float offset) { s.jumpOperation = op; s.pcOffset = offset; return Format(kFormatJump); }
  Sel& Emulated(uint32_t op) { s.emulatedOperation = op; return Format(kFormatEmulated); }
  Sel& Src(uint32_t mode, uint32_t reg, const char* text = "") {
    s.sourceMode = mode; s.sourceRegister = reg;
    snprintf(s.sourceText, kTextCellSize, "%s", text);
    return *this;
  }
  Sel& Dst(uint32_t mode, uint32_t reg, const char* text = "") {
    s.destinationMode = mode; s.destinationRegister = reg;
    snprintf(s.destinationText, kTextCellSize, "%s", text);
    return *this;
  }
  Sel& Byte() { s.wordOperation = 0; return *this; }
};

// The frame's address unit and Assemble for `sel`, then an EXECUTE click.
inline void Run(Simulator* s, const Sel& sel) {
  s->selection = sel.s;
  AssembleSelected(s);
  ExecuteSelected(s);
}

} // namespace coretest
