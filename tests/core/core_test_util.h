// Small helpers for the core's tests: a machine on the heap, typed views of
// its texts, and one-call runners for a selection.
#pragma once

#include <stdio.h>
#include <string.h>

#include <memory>
#include <string>

#include "core/mycode.h"

namespace coretest {

inline std::unique_ptr<MachineState> NewMachine() {
  std::unique_ptr<MachineState> m(new MachineState);
  InitMachine(m.get());
  return m;
}

inline void SetReg(MachineState* m, int reg, unsigned value) {
  snprintf(m->registers[reg], kTextCellSize, "%04X", value & 0xFFFF);
}

inline std::string Reg(const MachineState* m, int reg) { return m->registers[reg]; }

inline unsigned Word(const MachineState* m, unsigned address) {
  return ReadMemoryWord(m->ram, m->rom, m->ports, address);
}

inline void SetRamWord(MachineState* m, unsigned address, unsigned value) {
  int row = static_cast<int>((0x027E - (address & 0xFFFE)) / 2);
  snprintf(m->ram[row].cells[kRowHighCell], kTextCellSize, "%02X", (value >> 8) & 0xFF);
  snprintf(m->ram[row].cells[kRowLowCell], kTextCellSize, "%02X", value & 0xFF);
}

inline void SetRomWord(MachineState* m, unsigned address, unsigned value) {
  int row = static_cast<int>((0xFFFE - (address & 0xFFFE)) / 2);
  snprintf(m->rom[row].cells[kRowHighCell], kTextCellSize, "%02X", (value >> 8) & 0xFF);
  snprintf(m->rom[row].cells[kRowLowCell], kTextCellSize, "%02X", value & 0xFF);
}

// "VNZC" as four digits, e.g. "0101".
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
  Sel& Dual(uint32_t op) { s.format = kFormatDoubleOperand; s.dualOperation = op; return *this; }
  Sel& Single(uint32_t op) { s.format = kFormatSingleOperand; s.singleOperation = op; return *this; }
  Sel& Jump(uint32_t op, float offset) {
    s.format = kFormatJump; s.jumpOperation = op; s.pcOffset = offset; return *this;
  }
  Sel& Emulated(uint32_t op) { s.format = kFormatEmulated; s.emulatedOperation = op; return *this; }
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

// The address unit, then Execute, as one EXECUTE click does.
inline void Step(MachineState* m, const Sel& sel) {
  AddressUnit src;
  AddressUnit dst;
  memset(&src, 0, sizeof src);
  memset(&dst, 0, sizeof dst);
  UpdateAddressUnits(&sel.s, m->registers, &src, &dst);
  ExecuteSelection(&sel.s, &src, &dst, m);
}

inline void Assembled(const Sel& sel, const MachineState* m, AssembledInstruction* out) {
  AddressUnit src;
  AddressUnit dst;
  memset(&src, 0, sizeof src);
  memset(&dst, 0, sizeof dst);
  UpdateAddressUnits(&sel.s, m->registers, &src, &dst);
  AssembleSelection(&sel.s, &src, &dst, out);
}

} // namespace coretest
