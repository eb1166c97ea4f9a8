// Arguments outside their vocabularies and texts without a terminator: the
// call must leave every text (and every other output) exactly as it was.
#include <gtest/gtest.h>
#include <cmath>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

// Everything a core call can write; outputs start as filler bytes, so that
// a write of zeros shows too.
struct World {
  std::unique_ptr<Simulator> s = NewSimulator();
  MachineState* m = &s->machine;
  char text[kTextCellSize];
  uint16_t number = 0x5A5A;
  uint8_t valid = 7;
  World() {
    ResetMachine(m, nullptr, nullptr);
    memset(&s->decoded, 0x11, sizeof s->decoded);
    s->decoded.resetRequest = 0;
    memset(&s->source, 0x22, sizeof s->source);
    memset(&s->assembled, 0x33, sizeof s->assembled);
    s->assembled.bits[kTextCellSize - 1] = 0;
    memset(text, 0x44, sizeof text);
    text[kTextCellSize - 1] = 0;
  }
  bool operator==(const World& o) const {
    return memcmp(s.get(), o.s.get(), sizeof *s) == 0 && memcmp(text, o.text, sizeof text) == 0 &&
           number == o.number && valid == o.valid;
  }
};

char gUnterminated[kTextCellSize];
const int32_t kRow64 = 64;

// `operation` goes to the selected format's field; the other formats' fields
// hold 40, as an earlier decode may leave them, which must not matter.
uint32_t Op(uint32_t format, uint32_t field, uint32_t operation) {
  return format == field ? operation : 40;
}

void Exec(World& w, uint32_t format, uint32_t operation, int32_t srcMode, int32_t dstMode,
          int32_t dstReg, float offset = 0, const char* srcText = "1234") {
  MachineState* m = w.m;
  Execute(format, Op(format, 0, operation), Op(format, 1, operation), Op(format, 2, operation),
          Op(format, 3, operation), srcMode, 4, dstMode, dstReg, offset, srcText, m->registers,
          m->ram, m->rom, 1, "0x0200", "0x0202", m->ports, m->registers, m->highlight, m->ram,
          &m->ramMarker, &m->ramMarkerOn, &m->romMarker, &m->romMarkerOn, m->statusFlags, m->ports);
}

void Asm(World& w, uint32_t format, uint32_t operation, uint32_t srcMode, int32_t dstMode,
         float offset = 0, const char* srcText = "1234") {
  AssembledInstruction& a = w.s->assembled;
  Assemble(format, Op(format, 0, operation), Op(format, 1, operation), Op(format, 2, operation),
           Op(format, 3, operation), srcMode, 4, dstMode, 5, offset, srcText, "0200", 1, "0x0010",
           "0x0020", a.text, a.bits, a.word, a.extension1, a.extension2);
}

void Address(World& w, uint32_t mode, int32_t reg, const char* operand) {
  AddressUnit& u = w.s->source;
  AddressCalc(mode, reg, operand, w.m->registers, 0, &u.shownRegister, u.base, u.index, u.address);
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
    {"Execute unterminated register", [](World& w) { Fill(w.m->registers[9], kTextCellSize); },
     [](World& w) { Exec(w, 0, 0, 0, 0, 5); }},
    {"Execute unterminated source text", nullptr,
     [](World& w) { Exec(w, 0, 0, 6, 0, 5, 0, gUnterminated); }},
    {"Assemble single operation 7", nullptr,
     [](World& w) { Asm(w, kFormatSingleOperand, 7, 0, 0); }},
    {"Assemble destination mode -1", nullptr, [](World& w) { Asm(w, 0, 0, 0, -1); }},
    {"Assemble offset 600", nullptr, [](World& w) { Asm(w, kFormatJump, 0, 0, 0, 600); }},
    {"Assemble no instruction with unterminated bits",
     [](World& w) { Fill(w.s->assembled.bits, kTextCellSize); },
     [](World& w) { Asm(w, kFormatNone, 0, 0, 0); }},
    {"AddressCalc register 99", nullptr, [](World& w) { Address(w, 1, 99, "10"); }},
    {"AddressCalc unterminated operand", nullptr,
     [](World& w) { Address(w, 1, 4, gUnterminated); }},
    {"Disassemble unterminated ROM byte",
     [](World& w) { Fill(w.m->rom[40].cells[kRowHighCell], kTextCellSize); },
     [](World& w) { DisassembleAtPC(w.m, &w.s->decoded); }},
    {"ChangeReg 16", nullptr, [](World& w) { ChangeReg(16, "1234", w.m->registers); }},
    // Two digits: copying four would take what lies behind the terminator.
    {"ChangeRAM short text", nullptr, [](World& w) { ChangeRAM("12", 5, w.m->ram); }},
    {"Save row 64", nullptr, [](World& w) { Save("4031", "0280", "", &kRow64, w.m->rom); }},
    {"HexConv unterminated input", nullptr,
     [](World& w) { HexConv(gUnterminated, w.text, &w.number, &w.valid); }},
    {"NMI unterminated register", [](World& w) { Fill(w.m->registers[1], kTextCellSize); },
     [](World& w) { NMI(w.m->rom, w.m->registers, w.m->registers, w.m->ram, 0, 0, 0, 0); }},
    {"Ports unterminated cell", [](World& w) { Fill(w.m->ports[1], kPortCellSize); },
     [](World& w) { Ports(w.m->ports, w.m->p2Input, w.m->ports, w.m->p1Output); }},
    {"ROMLoad slot 10", nullptr, [](World& w) { ROMLoad(10, w.m->rom); }},
};

TEST(BoundsTest, CallsOutsideTheVocabulariesChangeNothing) {
  Fill(gUnterminated, sizeof gUnterminated);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    World before;
    World after;
    if (c.prepare) {
      c.prepare(before);
      c.prepare(after);
    }
    c.call(after);
    EXPECT_TRUE(before == after);
  }
  // In range, the same helpers do write: the rows above are not vacuous.
  World w;
  Exec(w, kFormatEmulated, kOpINC, 0, 0, 5);
  Asm(w, kFormatJump, kJumpMP, 0, 0, -5);
  EXPECT_EQ("R5=0001", Get(w.m, "R5"));
  EXPECT_STREQ("JMP  -5", w.s->assembled.text);
}

}  // namespace
