// The machine held as text: the register writer, the hand edits (HexConv,
// ChangeReg, ChangeRAM), the address unit, RESET, NMI and the ports.
#include <gtest/gtest.h>

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
      {0, 0xFF81, "R0=FF80 rom=63 on=10"},          {0, 0xFF7E, "R0=FF7E rom=64 on=10"},
      {0, 0xFFFE, "R0=FFFE rom=0 on=10"},           {1, 0x0280, "R1=0280 ram=64 on=01"},
      {1, 0x027F, "R1=027E ram=0 on=01"},           {1, 0x0201, "R1=0200 ram=63 on=01"},
      {2, 0xFFFF, "R2=0107 rom=99 ram=99 on=00"},   {3, 0x1234, "R3=0000 on=00"},
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
      {"65535", "FFFF 65535 1"},
      {"65536", "0000 0 0"},
      {"-32768", "8000 32768 1"},
      {"-32769", "0000 0 0"},
      {"0x1A", "001A 26 1"},
      {"010", "0008 8 1"},
      {"", "0000 0 1"},
      {"-1", "FFFF 65535 1"},
      {"12xyz", "000C 12 1"},
      {nullptr, "0000 0 0"},
      {"99999999999999999999", "0000 0 0"},
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
  const struct {
    int32_t reg;
    const char *typed, *text;
  } cases[] = {{1, "0201", "0200"},
               {0, "FF81", "FF80"},
               {2, "FFFF", "0107"},
               {3, "FFFF", "0000"},
               {15, "0x00FF", "00FF"}};
  for (const auto& c : cases) {
    ChangeReg(c.reg, c.typed, m->registers);
    EXPECT_EQ(c.text, Reg(m, c.reg)) << c.typed;
  }
  EXPECT_EQ("rom=63 ram=0 vnzc=0000", Get(m, "rom ram vnzc"));  // untouched
  ChangeRAM("12AB", 0, m->ram);
  snprintf(m->ram[63].cells[kRowLowCell], kTextCellSize, "255");  // left by a DADD.B
  ChangeRAM("BE0F", 63, m->ram);
  EXPECT_STREQ("0F", m->ram[63].cells[kRowLowCell]);
  EXPECT_EQ("@027E=12AB @0200=BE0F", Get(m, "@027E @0200"));
}

TEST_F(MachineTest, AddressCalcPerMode) {
  // The register named holds regValue, unless it is PC (FF80). The unit
  // shows: its register, base, offset and address.
  const struct {
    uint32_t mode;
    int32_t reg;
    const char* operand;
    unsigned regValue;
    uint8_t afterSourceWord;
    const char* unit;
  } cases[] = {
      {S, 5, "0200", 0, 0, "R0 0xFF82 0x027E 0x0200"},
      {S, 5, "0200", 0, 1, "R0 0xFF84 0x027C 0x0200"},
      {X, 0, "0010", 0, 1, "R0 0xFF84 0x0010 0xFF94"},
      {X, 5, "0002", 0xFFFF, 0, "R5 0xFFFF 0x0002 0x0001"},  // wraps
      {N, 7, "1234", 0, 0, "R0 0xFF82 0x0000 0xFF82"},
      {A, 9, "0021", 0, 0, "R2 0x0000 0x0021 0x0021"},
      {I, 6, "", 0x0230, 0, "R6 0x0230 0x0000 0x0230"},
      {P, 0, "", 0, 0, "R0 0xFF82 0x0000 0xFF82"},
  };
  for (const auto& c : cases) {
    if (c.reg != 0) SetReg(m, c.reg, c.regValue);
    AddressUnit u = {};
    AddressCalc(c.mode, c.reg, c.operand, m->registers, c.afterSourceWord, &u.shownRegister, u.base,
                u.index, u.address);
    EXPECT_EQ(c.unit, "R" + std::to_string(u.shownRegister) + " " + u.base + " " + u.index + " " +
                          u.address);
  }
}

TEST_F(MachineTest, ResetStartsTheProgramAtItsVector) {
  Set(m, "R0=FF90 R1=0250 R3=3333 R4=4444 R15=FFFF @027E=BEEF @0200=1234 vnzc=1111 P1OUT=0x55");
  uint8_t phase = 1;
  s->decoded.format = kFormatDoubleOperand;
  ResetMachine(m, &phase, &s->decoded);
  // R3 (the constant generator) is never written; ports and program memory stay.
  const char* expected =
      "R0=FF80 R1=0000 R2=0000 R3=3333 R4=0000 R15=0000 @027E=0000 @0200=0000 "
      "vnzc=0000 rom=63 ram=64 P1OUT=0x55 @FF80=4031";
  EXPECT_EQ(expected, Get(m, expected));
  EXPECT_EQ(0, phase);
  EXPECT_EQ(static_cast<uint32_t>(kFormatNone), s->decoded.format);
  Set(m, "@FFFE=FFFF");  // an erased vector still gives an even PC
  ResetMachine(m, nullptr, nullptr);
  EXPECT_EQ("FFFE", Reg(m, 0));
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

}  // namespace
