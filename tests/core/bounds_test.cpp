// Arguments outside their vocabularies and texts without a terminator: the
// call must leave every text (and every other output) exactly as it was.
#include <gtest/gtest.h>
#include <cmath>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

// Everything a core call can write lives in the simulator record; its
// outputs start as filler bytes, so that a write of zeros shows too.
std::unique_ptr<Simulator> Filled() {
  std::unique_ptr<Simulator> s = NewSimulator();
  ResetMachine(&s->machine, nullptr, nullptr);
  memset(&s->decoded, 0x11, sizeof s->decoded);
  s->decoded.resetRequest = 0;
  memset(&s->source, 0x22, sizeof s->source);
  memset(&s->assembled, 0x33, sizeof s->assembled);
  s->assembled.bits[kTextCellSize - 1] = 0;
  return s;
}
using World = Simulator;

char gUnterminated[kTextCellSize];
const int32_t kRow64 = 64;

// `operation` goes to the selected format's field; the other formats' fields
// hold 40, as an earlier decode may leave them, which must not matter.
uint32_t Op(uint32_t format, uint32_t field, uint32_t operation) {
  return format == field ? operation : 40;
}

void Exec(World& w, uint32_t format, uint32_t operation, int32_t srcMode, int32_t dstMode,
          int32_t dstReg, float offset = 0, const char* srcText = "1234") {
  MachineState* m = &w.machine;
  Execute(format, Op(format, 0, operation), Op(format, 1, operation), Op(format, 2, operation),
          Op(format, 3, operation), srcMode, 4, dstMode, dstReg, offset, srcText, m->registers,
          m->ram, m->rom, 1, "0x0200", "0x0202", m->ports, m->registers, m->highlight, m->ram,
          &m->ramMarker, &m->ramMarkerOn, &m->romMarker, &m->romMarkerOn, m->statusFlags, m->ports);
}

void Asm(World& w, uint32_t format, uint32_t operation, uint32_t srcMode, int32_t dstMode,
         float offset = 0, const char* srcText = "1234") {
  AssembledInstruction& a = w.assembled;
  Assemble(format, Op(format, 0, operation), Op(format, 1, operation), Op(format, 2, operation),
           Op(format, 3, operation), srcMode, 4, dstMode, 5, offset, srcText, "0200", 1, "0x0010",
           "0x0020", a.text, a.bits, a.word, a.extension1, a.extension2);
}

void Address(World& w, uint32_t mode, int32_t reg, const char* operand) {
  AddressUnit& u = w.source;
  AddressCalc(mode, reg, operand, w.machine.registers, 0, &u.shownRegister, u.base, u.index,
              u.address);
}

// A cell filled to its end with digits.
void Fill(char* cell, size_t size) {
  memset(cell, '7', size);
}

const struct {
  const char* name;
  void (*prepare)(World&);
  void (*call)(World&);
} kCases[] = {
    {"Execute format 7", nullptr, [](World& w) { Exec(w, 7, 0, 0, 0, 5); }},
    {"Execute operation 40", nullptr, [](World& w) { Exec(w, kFormatDoubleOperand, 40, 0, 0, 5); }},
    {"Execute emulated 9", nullptr, [](World& w) { Exec(w, kFormatEmulated, 9, 0, 0, 5); }},
    {"Execute source mode 12", nullptr, [](World& w) { Exec(w, 0, 0, 12, 0, 5); }},
    {"Execute destination mode 4", nullptr, [](World& w) { Exec(w, 0, 0, 0, 4, 5); }},
    {"Execute destination register -1", nullptr, [](World& w) { Exec(w, 0, 0, 0, 0, -1); }},
    {"Execute offset NaN", nullptr, [](World& w) { Exec(w, kFormatJump, 7, 0, 0, 5, NAN); }},
    {"Execute unterminated register", [](World& w) { Fill(w.machine.registers[9], kTextCellSize); },
     [](World& w) { Exec(w, 0, 0, 0, 0, 5); }},
    {"Execute unterminated source text", nullptr,
     [](World& w) { Exec(w, 0, 0, 6, 0, 5, 0, gUnterminated); }},
    {"Assemble single operation 7", nullptr,
     [](World& w) { Asm(w, kFormatSingleOperand, 7, 0, 0); }},
    {"Assemble destination mode -1", nullptr, [](World& w) { Asm(w, 0, 0, 0, -1); }},
    {"Assemble offset 600", nullptr, [](World& w) { Asm(w, kFormatJump, 0, 0, 0, 600); }},
    {"Assemble no instruction with unterminated bits",
     [](World& w) { Fill(w.assembled.bits, kTextCellSize); },
     [](World& w) { Asm(w, kFormatNone, 0, 0, 0); }},
    {"AddressCalc register 99", nullptr, [](World& w) { Address(w, 1, 99, "10"); }},
    {"AddressCalc unterminated operand", nullptr,
     [](World& w) { Address(w, 1, 4, gUnterminated); }},
    {"Disassemble unterminated ROM byte",
     [](World& w) { Fill(w.machine.rom[40].cells[kRowHighCell], kTextCellSize); },
     [](World& w) { DisassembleAtPC(&w.machine, &w.decoded); }},
    {"ChangeReg 16", nullptr, [](World& w) { ChangeReg(16, "1234", w.machine.registers); }},
    // Two digits: copying four would take what lies behind the terminator.
    {"ChangeRAM short text", nullptr, [](World& w) { ChangeRAM("12", 5, w.machine.ram); }},
    {"Save row 64", nullptr, [](World& w) { Save("4031", "0280", "", &kRow64, w.machine.rom); }},
    {"HexConv unterminated input", nullptr,
     [](World& w) {
       HexConv(gUnterminated, w.selection.sourceText, nullptr, &w.selection.sourceValid);
     }},
    {"NMI unterminated register", [](World& w) { Fill(w.machine.registers[1], kTextCellSize); },
     [](World& w) {
       NMI(w.machine.rom, w.machine.registers, w.machine.registers, w.machine.ram, 0, 0, 0, 0);
     }},
    {"Ports unterminated cell", [](World& w) { Fill(w.machine.ports[1], kPortCellSize); },
     [](World& w) {
       Ports(w.machine.ports, w.machine.p2Input, w.machine.ports, w.machine.p1Output);
     }},
    {"ROMLoad slot 10", nullptr, [](World& w) { ROMLoad(10, w.machine.rom); }},
};

TEST(BoundsTest, CallsOutsideTheVocabulariesChangeNothing) {
  Fill(gUnterminated, sizeof gUnterminated);
  for (const auto& c : kCases) {
    std::unique_ptr<Simulator> before = Filled();
    std::unique_ptr<Simulator> after = Filled();
    if (c.prepare) {
      c.prepare(*before);
      c.prepare(*after);
    }
    c.call(*after);
    EXPECT_EQ(0, memcmp(before.get(), after.get(), sizeof *after)) << c.name;
  }
  // In range, the same helpers do write: the rows above are not vacuous.
  std::unique_ptr<Simulator> w = Filled();
  Exec(*w, kFormatEmulated, kOpINC, 0, 0, 5);
  Asm(*w, kFormatJump, kJumpMP, 0, 0, -5);
  EXPECT_EQ("R5=0001", Get(&w->machine, "R5"));
  EXPECT_STREQ("JMP  -5", w->assembled.text);
}

}  // namespace
