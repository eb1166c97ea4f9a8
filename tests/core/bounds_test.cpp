// Arguments outside their vocabularies and texts without a terminator: the
// call must leave every text (and every other output) exactly as it was.
#include <gtest/gtest.h>
#include <math.h>
#include <unistd.h>

#include <functional>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

// Everything a core call can write, snapshotted as bytes.
struct World {
  std::unique_ptr<MachineState> m = NewMachine();
  DecodedInstruction decoded;
  AddressUnit unit;
  AssembledInstruction assembled;
  char text[kTextCellSize];
  uint16_t number = 0x5A5A;
  uint8_t valid = 7;
  uint8_t phase = 1;
  int32_t row = 3;

  World() {
    memset(&decoded, 0x11, sizeof decoded);
    memset(&unit, 0x22, sizeof unit);
    memset(&assembled, 0x33, sizeof assembled);
    assembled.bits[kTextCellSize - 1] = 0;
    memset(text, 0x44, sizeof text);
    text[kTextCellSize - 1] = 0;
  }
};

bool SameBytes(const World& a, const World& b) {
  return memcmp(a.m.get(), b.m.get(), sizeof(MachineState)) == 0 &&
         memcmp(&a.decoded, &b.decoded, sizeof a.decoded) == 0 &&
         memcmp(&a.unit, &b.unit, sizeof a.unit) == 0 &&
         memcmp(&a.assembled, &b.assembled, sizeof a.assembled) == 0 &&
         memcmp(a.text, b.text, sizeof a.text) == 0 && a.number == b.number &&
         a.valid == b.valid && a.phase == b.phase && a.row == b.row;
}

void ExecuteWith(World& w, uint32_t format, uint32_t dual, uint32_t single, uint32_t jump,
                 uint32_t emulated, int32_t srcMode, int32_t srcReg, int32_t dstMode,
                 int32_t dstReg, float offset, const char* srcText = "1234",
                 const char* srcAddress = "0x0200", const char* dstAddress = "0x0202") {
  MachineState* m = w.m.get();
  Execute(format, dual, single, jump, emulated, srcMode, srcReg, dstMode, dstReg, offset,
          srcText, m->registers, m->ram, m->rom, 1, srcAddress, dstAddress, m->ports,
          m->registers, m->highlight, m->ram, &m->ramMarker, &m->ramMarkerOn,
          &m->romMarker, &m->romMarkerOn, m->statusFlags, m->ports);
}

void AssembleWith(World& w, uint32_t format, uint32_t dual, uint32_t single, uint32_t jump,
                  uint32_t emulated, uint32_t srcMode, uint32_t srcReg, int32_t dstMode,
                  uint32_t dstReg, float offset, const char* srcText = "1234") {
  AssembledInstruction& a = w.assembled;
  Assemble(format, dual, single, jump, emulated, srcMode, srcReg, dstMode, dstReg, offset,
           srcText, "0200", 1, "0x0010", "0x0020", a.text, a.bits, a.word, a.extension1,
           a.extension2);
}

struct BoundsCase {
  const char* name;
  std::function<void(World&)> prepare; // makes a text unterminated, if any
  std::function<void(World&)> call;
};

char gUnterminated[kTextCellSize];

const BoundsCase kCases[] = {
    {"Execute format 7", nullptr, [](World& w) { ExecuteWith(w, 7, 0, 0, 0, 0, 0, 4, 0, 5, 0); }},
    {"Execute operation 40", nullptr, [](World& w) { ExecuteWith(w, 0, 40, 0, 0, 0, 0, 4, 0, 5, 0); }},
    {"Execute single operation 8", nullptr, [](World& w) { ExecuteWith(w, 1, 0, 8, 0, 0, 0, 4, 0, 5, 0); }},
    {"Execute jump 8", nullptr, [](World& w) { ExecuteWith(w, 2, 0, 0, 8, 0, 0, 4, 0, 5, 0); }},
    {"Execute emulated 9", nullptr, [](World& w) { ExecuteWith(w, 3, 0, 0, 0, 9, 0, 4, 0, 5, 0); }},
    {"Execute source mode 12", nullptr, [](World& w) { ExecuteWith(w, 0, 0, 0, 0, 0, 12, 4, 0, 5, 0); }},
    {"Execute source register 99", nullptr, [](World& w) { ExecuteWith(w, 0, 0, 0, 0, 0, 0, 99, 0, 5, 0); }},
    {"Execute destination mode 4", nullptr, [](World& w) { ExecuteWith(w, 0, 0, 0, 0, 0, 0, 4, 4, 5, 0); }},
    {"Execute destination register -1", nullptr, [](World& w) { ExecuteWith(w, 0, 0, 0, 0, 0, 0, 4, 0, -1, 0); }},
    {"Execute offset 1e9", nullptr, [](World& w) { ExecuteWith(w, 2, 0, 0, 7, 0, 0, 4, 0, 5, 1e9f); }},
    {"Execute offset NaN", nullptr, [](World& w) { ExecuteWith(w, 2, 0, 0, 7, 0, 0, 4, 0, 5, NAN); }},
    {"Execute unterminated register", [](World& w) { memset(w.m->registers[9], 'A', kTextCellSize); },
     [](World& w) { ExecuteWith(w, 0, 0, 0, 0, 0, 0, 4, 0, 5, 0); }},
    {"Execute unterminated RAM byte", [](World& w) { memset(w.m->ram[7].cells[kRowLowCell], '1', kTextCellSize); },
     [](World& w) { ExecuteWith(w, 0, 0, 0, 0, 0, 0, 4, 0, 5, 0); }},
    {"Execute unterminated port", [](World& w) { memset(w.m->ports[3], '1', kPortCellSize); },
     [](World& w) { ExecuteWith(w, 0, 0, 0, 0, 0, 0, 4, 0, 5, 0); }},
    {"Execute unterminated source text", nullptr,
     [](World& w) { ExecuteWith(w, 0, 0, 0, 0, 0, 6, 4, 0, 5, 0, gUnterminated); }},
    {"Execute unterminated address text", nullptr,
     [](World& w) { ExecuteWith(w, 0, 0, 0, 0, 0, 3, 4, 0, 5, 0, "1234", gUnterminated); }},
    {"Assemble format 7", nullptr, [](World& w) { AssembleWith(w, 7, 0, 0, 0, 0, 0, 4, 0, 5, 0); }},
    {"Assemble operation 40", nullptr, [](World& w) { AssembleWith(w, 0, 40, 0, 0, 0, 0, 4, 0, 5, 0); }},
    {"Assemble single operation 7", nullptr, [](World& w) { AssembleWith(w, 1, 0, 7, 0, 0, 0, 4, 0, 5, 0); }},
    {"Assemble mode 12", nullptr, [](World& w) { AssembleWith(w, 0, 0, 0, 0, 0, 12, 4, 0, 5, 0); }},
    {"Assemble register 99", nullptr, [](World& w) { AssembleWith(w, 0, 0, 0, 0, 0, 0, 99, 0, 5, 0); }},
    {"Assemble destination mode -1", nullptr, [](World& w) { AssembleWith(w, 0, 0, 0, 0, 0, 0, 4, -1, 5, 0); }},
    {"Assemble offset 600", nullptr, [](World& w) { AssembleWith(w, 2, 0, 0, 0, 0, 0, 4, 0, 5, 600); }},
    {"Assemble unterminated operand", nullptr,
     [](World& w) { AssembleWith(w, 0, 0, 0, 0, 0, 6, 4, 0, 5, 0, gUnterminated); }},
    {"Assemble no instruction with unterminated bits", [](World& w) { memset(w.assembled.bits, '1', kTextCellSize); },
     [](World& w) { AssembleWith(w, 4, 0, 0, 0, 0, 0, 4, 0, 5, 0); }},
    {"AddressCalc mode 12", nullptr,
     [](World& w) { AddressCalc(12, 4, "10", w.m->registers, 0, &w.unit.shownRegister, w.unit.base, w.unit.index, w.unit.address); }},
    {"AddressCalc register 99", nullptr,
     [](World& w) { AddressCalc(1, 99, "10", w.m->registers, 0, &w.unit.shownRegister, w.unit.base, w.unit.index, w.unit.address); }},
    {"AddressCalc unterminated operand", nullptr,
     [](World& w) { AddressCalc(1, 4, gUnterminated, w.m->registers, 0, &w.unit.shownRegister, w.unit.base, w.unit.index, w.unit.address); }},
    // Disassemble clears its reset request first, whatever follows.
    {"Disassemble unterminated PC",
     [](World& w) { memset(w.m->registers[0], 'F', kTextCellSize); w.decoded.resetRequest = 0; },
     [](World& w) { DisassembleAtPC(w.m.get(), &w.decoded); }},
    {"Disassemble unterminated ROM byte",
     [](World& w) { memset(w.m->rom[40].cells[kRowHighCell], 'F', kTextCellSize); w.decoded.resetRequest = 0; },
     [](World& w) { DisassembleAtPC(w.m.get(), &w.decoded); }},
    {"SetRegister 16", nullptr, [](World& w) { SetRegister(w.m->registers, 16, 1, &w.m->ramMarker, &w.m->ramMarkerOn, &w.m->romMarker, &w.m->romMarkerOn); }},
    {"SetRegister 255", nullptr, [](World& w) { SetRegister(w.m->registers, 255, 1, &w.m->ramMarker, &w.m->ramMarkerOn, &w.m->romMarker, &w.m->romMarkerOn); }},
    {"ChangeReg -1", nullptr, [](World& w) { ChangeReg(-1, "1234", w.m->registers); }},
    {"ChangeReg 16", nullptr, [](World& w) { ChangeReg(16, "1234", w.m->registers); }},
    {"ChangeReg unterminated text", nullptr, [](World& w) { ChangeReg(5, gUnterminated, w.m->registers); }},
    {"ChangeRAM row -1", nullptr, [](World& w) { ChangeRAM("1234", -1, w.m->ram); }},
    {"ChangeRAM row 64", nullptr, [](World& w) { ChangeRAM("1234", 64, w.m->ram); }},
    {"ChangeRAM short text", nullptr, [](World& w) { ChangeRAM("12", 5, w.m->ram); }},
    {"Save row -1", nullptr, [](World& w) { int32_t r = -1; Save("4031", "0280", "", &r, w.m->rom); }},
    {"Save row 64", nullptr, [](World& w) { int32_t r = 64; Save("4031", "0280", "", &r, w.m->rom); }},
    {"Save unterminated word", nullptr, [](World& w) { Save(gUnterminated, "", "", &w.row, w.m->rom); }},
    {"HexConv unterminated input", nullptr, [](World& w) { HexConv(gUnterminated, w.text, &w.number, &w.valid); }},
    {"Reset unterminated vector", [](World& w) { memset(w.m->rom[0].cells[kRowLowCell], '8', kTextCellSize); },
     [](World& w) { Reset(w.m->rom, w.m->registers, w.m->ram, &w.m->ramMarker, &w.m->ramMarkerOn, &w.m->romMarker, &w.m->romMarkerOn, w.m->statusFlags, &w.phase, &w.decoded.format); }},
    {"NMI unterminated register", [](World& w) { memset(w.m->registers[1], '2', kTextCellSize); },
     [](World& w) { NMI(w.m->rom, w.m->registers, w.m->registers, w.m->ram, &w.m->ramMarker, &w.m->ramMarkerOn, &w.m->romMarker, &w.m->romMarkerOn); }},
    {"Ports unterminated cell", [](World& w) { memset(w.m->ports[1], '0', kPortCellSize); },
     [](World& w) { Ports(w.m->ports, w.m->p2Input, w.m->ports, w.m->p1Output); }},
    {"ROMLoad slot 10", nullptr, [](World& w) { ROMLoad(10, w.m->rom); }},
    {"ROMLoad slot 4294967295", nullptr, [](World& w) { ROMLoad(0xFFFFFFFFu, w.m->rom); }},
};

TEST(BoundsTest, CallsOutsideTheVocabulariesChangeNothing) {
  memset(gUnterminated, '7', sizeof gUnterminated);
  for (const BoundsCase& c : kCases) {
    SCOPED_TRACE(c.name);
    World before;
    World after;
    ResetMachine(before.m.get(), nullptr, nullptr);
    ResetMachine(after.m.get(), nullptr, nullptr);
    if (c.prepare) {
      c.prepare(before);
      c.prepare(after);
    }
    c.call(after);
    EXPECT_TRUE(SameBytes(before, after));
  }
}

TEST(BoundsTest, TheSameCallsInRangeDoChangeSomething) {
  // The guard is not vacuous: in range, the same kind of call writes.
  World w;
  World before;
  ExecuteWith(w, 0, 0, 0, 0, 0, 0, 4, 0, 5, 0);
  EXPECT_FALSE(SameBytes(before, w));
  World a;
  AssembleWith(a, 0, 0, 0, 0, 0, 0, 4, 0, 5, 0);
  EXPECT_STREQ("MOV  R4,R5", a.assembled.text);
}

TEST(BoundsTest, OperationsOfOtherFormatsAreNotLookedAt) {
  // A decoded unused single operation (7) stays in its field while the next
  // words decode as other formats; it must not block them.
  World w;
  AssembleWith(w, 0, 1, 7, 9, 12, 0, 4, 0, 5, 0);
  EXPECT_STREQ("ADD  R4,R5", w.assembled.text);
  AssembleWith(w, 2, 40, 7, 7, 12, 0, 4, 0, 5, -5);
  EXPECT_STREQ("JMP  -5", w.assembled.text);
  ExecuteWith(w, 3, 40, 9, 9, kOpINC, 0, 4, 0, 5, 0);
  EXPECT_EQ("0001", Reg(w.m.get(), 5));
}

TEST(BoundsTest, SlotIndexAboveNineWritesNoFile) {
  char directory[] = "/tmp/velkor-bounds-XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(directory));
  char previous[4096];
  ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
  ASSERT_EQ(0, chdir(directory));
  auto m = NewMachine();
  ROMSave(m->rom, 10);
  ROMSave(m->rom, 0xFFFFFFFFu);
  EXPECT_NE(0, access("slot11.csv", F_OK));
  EXPECT_NE(0, access("slot0.csv", F_OK));
  ASSERT_EQ(0, chdir(previous));
  EXPECT_EQ(0, rmdir(directory)); // empty: nothing was written
}

} // namespace
