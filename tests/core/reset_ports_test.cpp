// RESET (INT31), NMI (INT30) and the fixed wiring of ports P1 and P2.
#include <gtest/gtest.h>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

TEST(ResetTest, StartsTheDemonstrationProgram) {
  auto m = NewMachine();
  for (int r = 4; r < 16; ++r) SetReg(m.get(), r, 0x1111 * (r - 3));
  SetReg(m.get(), 1, 0x0250);
  snprintf(m->registers[3], kTextCellSize, "ABCD");
  SetRamWord(m.get(), 0x0240, 0xBEEF);
  for (int i = 0; i < 4; ++i) m->statusFlags[i] = 1;
  snprintf(m->ports[1], kPortCellSize, "0x55");
  uint8_t phase = 1;
  DecodedInstruction decoded;
  InitDecoded(&decoded);
  decoded.format = kFormatDoubleOperand;

  ResetMachine(m.get(), &phase, &decoded);

  EXPECT_EQ("FF80", Reg(m.get(), 0));
  EXPECT_EQ("0000", Reg(m.get(), 1));
  EXPECT_EQ("ABCD", Reg(m.get(), 3)); // the constant generator is never written
  for (int r = 4; r < 16; ++r) EXPECT_EQ("0000", Reg(m.get(), r)) << r;
  EXPECT_EQ(0u, Word(m.get(), 0x0240));
  EXPECT_STREQ("00", m->ram[63].cells[kRowLowCell]);
  EXPECT_EQ("0000", Flags(m.get()));
  EXPECT_EQ(63u, m->romMarker.row);
  EXPECT_EQ(1, m->romMarkerOn);
  EXPECT_EQ(kNoMarkedRow, m->ramMarker.row);
  EXPECT_EQ(0, phase);
  EXPECT_EQ(static_cast<uint32_t>(kFormatNone), decoded.format);
  EXPECT_STREQ("0x55", m->ports[1]); // ports are not part of the reset
  EXPECT_EQ(0x4031u, Word(m.get(), 0xFF80));
}

TEST(ResetTest, ErasedVectorGivesAnEvenPC) {
  auto m = NewMachine();
  SetRomWord(m.get(), 0xFFFE, 0xFFFF);
  ResetMachine(m.get(), nullptr, nullptr);
  EXPECT_EQ("FFFE", Reg(m.get(), 0));
  EXPECT_EQ(0u, m->romMarker.row);
}

TEST(NmiTest, SavesPCAndSRAndEntersTheHandler) {
  auto m = NewMachine();
  SetReg(m.get(), 1, 0x0280);
  SetReg(m.get(), 0, 0xFF8C);
  SetReg(m.get(), 2, 0x0003);
  NMI(m->rom, m->registers, m->registers, m->ram, &m->ramMarker, &m->ramMarkerOn,
      &m->romMarker, &m->romMarkerOn);
  EXPECT_EQ("027C", Reg(m.get(), 1));
  EXPECT_EQ(0xFF8Cu, Word(m.get(), 0x027E));
  EXPECT_EQ(0x0003u, Word(m.get(), 0x027C));
  EXPECT_EQ("0000", Reg(m.get(), 2));
  EXPECT_EQ("FFD0", Reg(m.get(), 0));
  EXPECT_EQ(1u, m->ramMarker.row);

  // RETI undoes it: the handler at 0xFFD0 returns to 0xFF8C with SR 3.
  Step(m.get(), Sel().Single(kOpRETI));
  EXPECT_EQ("FF8C", Reg(m.get(), 0));
  EXPECT_EQ("0003", Reg(m.get(), 2));
  EXPECT_EQ("0280", Reg(m.get(), 1));
}

TEST(NmiTest, StackOutsideDataMemoryDropsTheWrites) {
  auto m = NewMachine();
  auto before = NewMachine();
  SetReg(m.get(), 1, 0x0000);
  memcpy(before->ram, m->ram, sizeof m->ram);
  NMI(m->rom, m->registers, m->registers, m->ram, &m->ramMarker, &m->ramMarkerOn,
      &m->romMarker, &m->romMarkerOn);
  EXPECT_EQ("FFFC", Reg(m.get(), 1));
  EXPECT_EQ("FFD0", Reg(m.get(), 0));
  EXPECT_EQ(0, memcmp(before->ram, m->ram, sizeof m->ram));
  EXPECT_EQ(kNoMarkedRow, m->ramMarker.row);
}

TEST(PortsTest, LampsFollowP1OutWherePinsAreOutputs) {
  auto m = NewMachine();
  for (int i = 0; i < 8; ++i) m->p1Output[i] = (i >= 4) ? 1 : 0;
  m->p1Output[5] = 0;
  snprintf(m->ports[2], kPortCellSize, "0x0F");
  snprintf(m->ports[1], kPortCellSize, "0xA5");
  Ports(m->ports, m->p2Input, m->ports, m->p1Output);
  const uint8_t expected[8] = {1, 0, 1, 0, 1, 0, 1, 1}; // 4..7 keep their state
  for (int i = 0; i < 8; ++i) EXPECT_EQ(expected[i], m->p1Output[i]) << i;
}

TEST(PortsTest, SwitchesReachP2InOnlyOnInputPins) {
  auto m = NewMachine();
  snprintf(m->ports[6], kPortCellSize, "0xF0");
  m->p2Input[0] = 1;
  m->p2Input[4] = 1;
  Ports(m->ports, m->p2Input, m->ports, m->p1Output);
  EXPECT_STREQ("0x01", m->ports[4]);
  snprintf(m->ports[6], kPortCellSize, "0x00");
  m->p2Input[7] = 1;
  Ports(m->ports, m->p2Input, m->ports, m->p1Output);
  EXPECT_STREQ("0x91", m->ports[4]);
}

TEST(PortsTest, AnInstructionReadsTheSwitchesThroughP2In) {
  auto m = NewMachine();
  m->p2Input[1] = 1;
  Ports(m->ports, m->p2Input, m->ports, m->p1Output);
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeAbsolute, 0, "0028").Dst(kModeRegister, 5).Byte());
  EXPECT_EQ("0002", Reg(m.get(), 5));
  // ... and drives the lamps through P1OUT and P1DIR.
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "00FF").Dst(kModeAbsolute, 0, "0022").Byte());
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "0006").Dst(kModeAbsolute, 0, "0021").Byte());
  Ports(m->ports, m->p2Input, m->ports, m->p1Output);
  EXPECT_EQ(0, m->p1Output[0]);
  EXPECT_EQ(1, m->p1Output[1]);
  EXPECT_EQ(1, m->p1Output[2]);
}

} // namespace
