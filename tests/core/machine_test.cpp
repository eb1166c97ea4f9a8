// The machine held as text: the register writer, the hand edits, RESET, NMI and the ports;
// and every call given arguments outside their vocabularies or texts without a terminator,
// which must leave every output exactly as it was.
#include <gtest/gtest.h>
#include <cmath>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

class MachineTest : public ::testing::Test {
 protected:
  std::unique_ptr<Simulator> s = NewSimulator();
  MachineState* m = &s->machine;
};

TEST_F(MachineTest, SetRegisterMasksAndMovesTheMarkers) {
  // Both markers start at row 99, switched off: untouched ones stay so.
  const struct {
    uint8_t reg;
    uint16_t value;
    const char* expected;
  } cases[] = {
      {0, 0xFF81, "R0=FF80 rom=63 on=10"},
      {0, 0xFF7E, "R0=FF7E rom=64 on=10"},
      {1, 0x027F, "R1=027E ram=0 on=01"},
      {1, 0x0280, "R1=0280 ram=64 on=01"},
      {2, 0xFFFF, "R2=0107 on=00"},
      {3, 0x1234, "R3=0000 on=00"},
      {15, 0xBEEF, "R15=BEEF rom=99 ram=99 on=00"},
  };
  for (const auto& c : cases) {
    m->romMarker = m->ramMarker = {99, 5};
    m->romMarkerOn = m->ramMarkerOn = 0;
    SetRegister(m->registers, c.reg, c.value, &m->ramMarker, &m->ramMarkerOn, &m->romMarker,
                &m->romMarkerOn);
    EXPECT_EQ(c.expected, Get(m, c.expected));
  }
}

TEST_F(MachineTest, HexConvOfTypedValues) {
  // Typed text -> "text number valid"; a text without digits converts to 0.
  const char* cases[][2] = {
      {"65535", "FFFF 65535 1"}, {"-32768", "8000 32768 1"},
      {"-32769", "0000 0 0"},    {"010", "0008 8 1"},
      {"", "0000 0 1"},          {"12xyz", "000C 12 1"},
      {nullptr, "0000 0 0"},     {"99999999999999999999", "0000 0 0"},
  };
  for (const auto& c : cases) {
    char text[kTextCellSize] = "old";
    uint16_t number = 0x5555;
    uint8_t valid = 7;
    HexConv(c[0], text, &number, &valid);
    EXPECT_EQ(c[1], std::string(text) + " " + std::to_string(number) + " " + std::to_string(valid));
  }
}

TEST_F(MachineTest, HandEditsMaskRegistersAndKeepTwoDigitsPerByte) {
  ChangeReg(1, "0201", m->registers);
  ChangeReg(3, "FFFF", m->registers);
  EXPECT_EQ("R1=0200 R3=0000 rom=63 ram=0 vnzc=0000", Get(m, "R1 R3 rom ram vnzc"));
  ChangeRAM("12AB", 0, m->ram);
  snprintf(m->ram[63].cells[kRowLowCell], kTextCellSize, "255");  // left by a DADD.B
  ChangeRAM("BE0F", 63, m->ram);
  EXPECT_STREQ("0F", m->ram[63].cells[kRowLowCell]);
  EXPECT_EQ("@027E=12AB @0200=BE0F", Get(m, "@027E @0200"));
}

TEST_F(MachineTest, ResetStartsTheProgramAtItsVector) {
  // R3 (the constant generator) is never written; ports stay; an erased vector gives an even PC.
  Set(m, "R1=0250 R3=3333 R15=FFFF @0200=1234 vnzc=1111 P1OUT=0x55 @FFFE=FFFF");
  ResetMachine(m, nullptr, nullptr);
  const char* expected = "R0=FFFE R1=0000 R3=3333 R15=0000 @0200=0000 vnzc=0000 P1OUT=0x55";
  EXPECT_EQ(expected, Get(m, expected));
}

TEST_F(MachineTest, NmiPushesPCAndSRAndRetiReturns) {
  auto nmi = [this] {
    NMI(m->rom, m->registers, m->registers, m->ram, &m->ramMarker, &m->ramMarkerOn, &m->romMarker,
        &m->romMarkerOn);
  };
  Set(m, "R0=FF8C R1=0280 R2=0003");
  nmi();
  const char* pushed = "R1=027C @027E=FF8C @027C=0003 R2=0000 R0=FFD0 ram=1";
  EXPECT_EQ(pushed, Get(m, pushed));
  ExecuteClick(s.get(), Sel().Single(kOpRETI));                // the handler: SR first, then PC
  const char* returned = "R0=FF8C R2=0003 R1=0280 vnzc=0000";  // flag bytes not reloaded
  EXPECT_EQ(returned, Get(m, returned));
  // With SP outside data memory the pushes are dropped; the jump is not.
  Set(m, "R1=0000");
  MemoryRow ram[kMemoryRowCount];
  memcpy(ram, m->ram, sizeof ram);
  nmi();
  EXPECT_EQ("R1=FFFC R0=FFD0 ram=64", Get(m, "R1 R0 ram"));
  EXPECT_EQ(0, memcmp(ram, m->ram, sizeof ram));
}

TEST_F(MachineTest, PortsDriveTheLampsAndReadTheSwitches) {
  const uint8_t lamps[8] = {0, 0, 0, 0, 1, 0, 1, 1};
  memcpy(m->p1Output, lamps, 8);
  Set(m, "P1OUT=0xA5 P1DIR=0x0F P2DIR=0xF0");
  m->p2Input[0] = m->p2Input[4] = 1;
  Ports(m->ports, m->p2Input, m->ports, m->p1Output);
  const uint8_t expected[8] = {1, 0, 1, 0, 1, 0, 1, 1};  // 4..7 are inputs: kept
  EXPECT_EQ(0, memcmp(expected, m->p1Output, 8));
  EXPECT_EQ("P2IN=0x01", Get(m, "P2IN"));  // switch 4 drives an output pin: reads 0
  Set(m, "P2DIR=0x00");
  m->p2Input[7] = 1;
  Ports(m->ports, m->p2Input, m->ports, m->p1Output);
  EXPECT_EQ("P2IN=0x91", Get(m, "P2IN"));
}

// Everything a core call can write lives in the simulator record; the decoder's output starts
// as filler bytes, so that a write of zeros shows too. A frayed record has a ROM byte, SP and
// P1OUT filled to their ends, without a terminator.
std::unique_ptr<Simulator> Filled(bool frayed) {
  std::unique_ptr<Simulator> s = NewSimulator();
  ResetMachine(&s->machine, nullptr, nullptr);
  memset(&s->decoded, 0x11, sizeof s->decoded);
  s->decoded.resetRequest = 0;
  for (int i = 0; frayed && i < kTextCellSize; ++i) {
    s->machine.rom[40].cells[kRowHighCell][i] = s->machine.registers[1][i] = '7';
    if (i < kPortCellSize) s->machine.ports[1][i] = '7';
  }
  return s;
}

char gUnterminated[kTextCellSize];
const int32_t kRow64 = 64;

// `operation` goes to the selected format's field; the other formats' fields
// hold 40, as an earlier decode may leave them, which must not matter.
const auto Op = [](uint32_t format, uint32_t field, uint32_t op) {
  return format == field ? op : 40;
};

void Exec(Simulator& w, uint32_t format, uint32_t operation, int32_t srcMode, int32_t dstMode,
          int32_t dstReg, float offset = 0, const char* srcText = "1234") {
  MachineState* m = &w.machine;
  Execute(format, Op(format, 0, operation), Op(format, 1, operation), Op(format, 2, operation),
          Op(format, 3, operation), srcMode, 4, dstMode, dstReg, offset, srcText, m->registers,
          m->ram, m->rom, 1, "0x0200", "0x0202", m->ports, m->registers, m->highlight, m->ram,
          &m->ramMarker, &m->ramMarkerOn, &m->romMarker, &m->romMarkerOn, m->statusFlags, m->ports);
}

using W = Simulator;
const struct {
  const char* name;
  bool frayed;
  void (*call)(W&);
} kOutOfBounds[] = {
    {"Execute format 7", false, [](W& w) { Exec(w, 7, 0, 0, 0, 5); }},
    {"Execute destination register -1", false, [](W& w) { Exec(w, 0, 0, 0, 0, -1); }},
    {"Execute offset NaN", false, [](W& w) { Exec(w, kFormatJump, 7, 0, 0, 5, NAN); }},
    {"Execute unterminated source text", false,
     [](W& w) { Exec(w, 0, 0, 6, 0, 5, 0, gUnterminated); }},
    {"Disassemble unterminated ROM byte", true,
     [](W& w) { DisassembleAtPC(&w.machine, &w.decoded); }},
    {"ChangeReg 16", false, [](W& w) { ChangeReg(16, "1234", w.machine.registers); }},
    // Two digits: copying four would take what lies behind the terminator.
    {"ChangeRAM short text", false, [](W& w) { ChangeRAM("12", 5, w.machine.ram); }},
    {"Save row 64", false, [](W& w) { Save("4031", "0280", "", &kRow64, w.machine.rom); }},
    {"HexConv unterminated input", false,
     [](W& w) {
       HexConv(gUnterminated, w.selection.sourceText, nullptr, &w.selection.sourceValid);
     }},
    {"NMI unterminated SP", true,
     [](W& w) {
       NMI(w.machine.rom, w.machine.registers, w.machine.registers, w.machine.ram, 0, 0, 0, 0);
     }},
    {"Ports unterminated cell", true,
     [](W& w) { Ports(w.machine.ports, w.machine.p2Input, w.machine.ports, w.machine.p1Output); }},
    {"ROMLoad slot 10", false, [](W& w) { ROMLoad(10, w.machine.rom); }},
};

TEST(BoundsTest, CallsOutsideTheVocabulariesChangeNothing) {
  memset(gUnterminated, '7', sizeof gUnterminated);
  for (const auto& c : kOutOfBounds) {
    std::unique_ptr<Simulator> before = Filled(c.frayed), after = Filled(c.frayed);
    c.call(*after);
    EXPECT_EQ(0, memcmp(before.get(), after.get(), sizeof *after)) << c.name;
  }
  // In range, the same helper does write: the rows above are not vacuous.
  std::unique_ptr<Simulator> w = Filled(false);
  Exec(*w, kFormatEmulated, kOpINC, 0, 0, 5);
  EXPECT_EQ("R5=0001", Get(&w->machine, "R5"));
}

}  // namespace
