// Helpers for the core's tests: machine values named as the tables show them, selections.
#pragma once

#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <memory>
#include <sstream>
#include <string>

#include "core/mycode.h"

namespace coretest {

// The initial state: the demonstration program, PC = FF80.
inline std::unique_ptr<Simulator> NewSimulator() {
  std::unique_ptr<Simulator> s(new Simulator);
  InitSimulator(s.get());
  return s;
}

// A word of program memory (0xFF80 and up) or of data memory.
inline void SetWord(MachineState* m, unsigned address, unsigned value) {
  MemoryRow* row =
      address >= 0xFF80 ? &m->rom[(0xFFFE - address) / 2] : &m->ram[(0x027E - address) / 2];
  snprintf(row->cells[kRowHighCell], kTextCellSize, "%02X", (value >> 8) & 0xFF);
  snprintf(row->cells[kRowLowCell], kTextCellSize, "%02X", value & 0xFF);
}

// Machine values as blank-separated names and values: R5=A1B2 a register, @0200=12FF a word,
// P1OUT=0xA5 a port cell, vnzc=0101 the flag bytes; read only: ram=0 rom=63 the marker rows.
// Get reads the names of `expected` back in the same form: EXPECT_EQ(expected, Get(m, expected)).
inline char* PortCellNamed(MachineState* m, const std::string& name) {
  const char* names[kPortCellCount] = {"P1IN", "P1OUT", "P1DIR", "", "P2IN", "P2OUT", "P2DIR", ""};
  for (int i = 0; i < kPortCellCount; ++i) {
    if (name == names[i]) return m->ports[i];
  }
  return nullptr;
}

inline void Set(MachineState* m, const std::string& values) {
  std::istringstream in(values);
  for (std::string token; in >> token;) {
    std::string name = token.substr(0, token.find('='));
    const char* value = token.c_str() + name.size() + 1;
    char* port = PortCellNamed(m, name);
    if (name[0] == 'R') snprintf(m->registers[atoi(&name[1])], kTextCellSize, "%s", value);
    if (name[0] == '@') SetWord(m, strtoul(&name[1], nullptr, 16), strtoul(value, nullptr, 16));
    if (port != nullptr) snprintf(port, kPortCellSize, "%s", value);
    for (int i = 0; name == "vnzc" && i < 4; ++i) m->statusFlags[i] = value[i] == '1';
  }
}

inline std::string Get(MachineState* m, const std::string& expected) {
  std::istringstream in(expected);
  std::string out;
  for (std::string token; in >> token;) {
    std::string name = token.substr(0, token.find('='));
    char* port = PortCellNamed(m, name);
    char value[kTextCellSize] = "?";
    if (name[0] == 'R') snprintf(value, sizeof value, "%s", m->registers[atoi(&name[1])]);
    unsigned address = name[0] == '@' ? strtoul(&name[1], nullptr, 16) : 0;
    unsigned word = ReadMemoryWord(m->ram, m->rom, m->ports, address);
    if (name[0] == '@') snprintf(value, sizeof value, "%04X", word);
    if (port != nullptr) snprintf(value, sizeof value, "%s", port);
    const uint8_t* f = m->statusFlags;
    if (name == "vnzc") snprintf(value, sizeof value, "%d%d%d%d", f[0], f[1], f[2], f[3]);
    if (name == "ram") snprintf(value, sizeof value, "%u", m->ramMarker.row);
    if (name == "rom") snprintf(value, sizeof value, "%u", m->romMarker.row);
    out += (out.empty() ? "" : " ") + name + "=" + value;
  }
  return out;
}

// Addressing modes: Register, indeXed, Symbolic, Absolute, Indirect, Plus (@Rn+), Number.
enum { R = kModeRegister, X, S, A, I, P, N };

// A selection built field by field; texts are the HexConv forms ("0280").
struct Sel {
  InstructionSelection s;
  Sel() { InitSelection(&s); }
  Sel& Op(uint32_t format, uint32_t* field, uint32_t op) {
    s.format = format;
    *field = op;
    return *this;
  }
  Sel& Dual(uint32_t op) { return Op(kFormatDoubleOperand, &s.dualOperation, op); }
  Sel& Single(uint32_t op) { return Op(kFormatSingleOperand, &s.singleOperation, op); }
  Sel& Emulated(uint32_t op) { return Op(kFormatEmulated, &s.emulatedOperation, op); }
  Sel& Jump(uint32_t op, float offset) {
    s.pcOffset = offset;
    return Op(kFormatJump, &s.jumpOperation, op);
  }
  Sel& Src(uint32_t mode, uint32_t reg, const char* text = "") {
    s.sourceMode = mode;
    s.sourceRegister = reg;
    snprintf(s.sourceText, kTextCellSize, "%s", text);
    return *this;
  }
  Sel& Dst(uint32_t mode, uint32_t reg, const char* text = "") {
    s.destinationMode = mode;
    s.destinationRegister = reg;
    snprintf(s.destinationText, kTextCellSize, "%s", text);
    return *this;
  }
  Sel& Byte() {
    s.wordOperation = 0;
    return *this;
  }
};

// The frame's address unit and Assemble for `sel`, then an EXECUTE click.
inline void ExecuteClick(Simulator* s, const Sel& sel) {
  s->selection = sel.s;
  AssembleSelected(s);
  ExecuteSelected(s);
}

}  // namespace coretest
