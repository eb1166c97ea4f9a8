// Execute: results and flags on boundary operands, PC stepping over
// extension words, where loads and stores land, the stack, jumps.
#include <gtest/gtest.h>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

class ExecuteTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetMachine(m, nullptr, nullptr); } // PC = FF80
  void Run(const Sel& sel) { coretest::Run(s.get(), sel); }
  std::unique_ptr<Simulator> s = NewSimulator();
  MachineState* m = &s->machine;
};

Sel Pair(uint32_t op) { return Sel().Dual(op).Src(kModeRegister, 5).Dst(kModeRegister, 4); }
Sel OnR4(Sel sel) { return sel.Dst(kModeRegister, 4); }

// R4 := R4 op R5 (SR's bit 0 the carry in); "1111" before every case, so a
// rule that leaves the flags alone shows.
const struct { const char* name; Sel sel; unsigned src, dst, carryIn; const char* r4After, *vnzc; } kFlagCases[] = {
    {"ADD 0xFFFF+1 wraps to zero with carry", Pair(kOpADD), 0x0001, 0xFFFF, 0, "0000", "0011"},
    {"ADD 0x7FFF+1 overflows into the sign", Pair(kOpADD), 0x0001, 0x7FFF, 0, "8000", "1100"},
    {"ADD 0x8000+0x8000 overflows to zero", Pair(kOpADD), 0x8000, 0x8000, 0, "0000", "1011"},
    {"ADD.B 0x7F+1 keeps N V C clear (bits 15/16)", Pair(kOpADD).Byte(), 0x0001, 0x007F, 0, "0080", "0000"},
    {"ADDC adds the carry of SR", Pair(kOpADDC), 0x0001, 0xFFFE, 1, "0000", "0011"},
    {"ADDC without carry", Pair(kOpADDC), 0x0001, 0xFFFE, 0, "FFFF", "0100"},
    {"SUB 0x8000-1: both operands judged as they are", Pair(kOpSUB), 0x0001, 0x8000, 0, "7FFF", "0000"},
    {"SUBC adds the carry back", Pair(kOpSUBC), 0x0005, 0x0007, 1, "0003", "0000"},
    {"CMP 3 with 5 borrows: C, and N V; R4 stays", Pair(kOpCMP), 0x0005, 0x0003, 0, "0003", "1101"},
    {"CMP equal", Pair(kOpCMP), 0x0005, 0x0005, 0, "0005", "0010"},
    {"CMP 7 with 5", Pair(kOpCMP), 0x0005, 0x0007, 0, "0007", "0000"},
    {"CMP.B tests the unmasked difference", Pair(kOpCMP).Byte(), 0x0005, 0x0003, 0, "0003", "1101"},
    {"AND nonzero sets C", Pair(kOpAND), 0x0F0F, 0x00FF, 0, "000F", "0001"},
    {"BIT leaves the destination", Pair(kOpBIT), 0x8F00, 0x8FFF, 0, "8FFF", "0101"},
    {"XOR of two negatives sets V", Pair(kOpXOR), 0xFFFF, 0x8000, 0, "7FFF", "1001"},
    {"XOR with one negative operand: no V", Pair(kOpXOR), 0x0001, 0x8000, 0, "8001", "0101"},
    {"MOV leaves the flags", Pair(kOpMOV), 0x1234, 0x0000, 0, "1234", "1111"},
    {"BIC leaves the flags", Pair(kOpBIC), 0x00F0, 0x0FFF, 0, "0F0F", "1111"},
    {"BIS leaves the flags", Pair(kOpBIS), 0x1000, 0x0001, 0, "1001", "1111"},
    {"DADD 9999+1 carries to zero", Pair(kOpDADD), 0x0001, 0x9999, 0, "0000", "0011"},
    {"DADD 3+2", Pair(kOpDADD), 0x0002, 0x0003, 0, "0005", "0000"},
    {"DADD 0+0: Z only for a sum of 10000", Pair(kOpDADD), 0x0000, 0x0000, 0, "0000", "0000"},
    {"DADD 4500+4000 reads as negative", Pair(kOpDADD), 0x4000, 0x4500, 0, "8500", "0100"},
    {"DADD 9999+9999", Pair(kOpDADD), 0x9999, 0x9999, 0, "9998", "0101"},
    {"RRC shifts bit 0 into C", OnR4(Sel().Single(kOpRRC)), 0, 0x0001, 0, "0000", "0011"},
    {"RRC shifts C in at bit 15", OnR4(Sel().Single(kOpRRC)), 0, 0x0002, 1, "8001", "0100"},
    {"RRC.B: the carry in at bit 15 falls away", OnR4(Sel().Single(kOpRRC)).Byte(), 0, 0x0003, 1, "0001", "0001"},
    {"RRA keeps the sign", OnR4(Sel().Single(kOpRRA)), 0, 0x8001, 0, "C000", "0101"},
    {"SXT of 0x80", OnR4(Sel().Single(kOpSXT)), 0, 0x0080, 0, "FF80", "0101"},
    {"SXT of 0", OnR4(Sel().Single(kOpSXT)), 0, 0x0000, 0, "0000", "0010"},
    {"SWPB leaves the flags", OnR4(Sel().Single(kOpSWPB)), 0, 0x12AB, 0, "AB12", "1111"},
    {"DEC 1 to 0: no borrow", OnR4(Sel().Emulated(kOpDEC)), 0, 0x0001, 0, "0000", "0010"},
    {"DEC 0 borrows and overflows", OnR4(Sel().Emulated(kOpDEC)), 0, 0x0000, 0, "FFFF", "1101"},
    {"TST of a negative", OnR4(Sel().Emulated(kOpTST)), 0, 0x8000, 0, "8000", "0100"},
    {"CLR leaves the flags", OnR4(Sel().Emulated(kOpCLR)), 0, 0x8000, 0, "0000", "1111"},
    {"RLC adds the operand to itself and the carry", OnR4(Sel().Emulated(kOpRLC).Src(kModeRegister, 4)), 0, 0x8001, 1, "0003", "1001"},
    {"RLA", OnR4(Sel().Emulated(kOpRLA).Src(kModeRegister, 4)), 0, 0x4001, 1, "8002", "1100"},
};

TEST_F(ExecuteTest, FlagRulesOnBoundaryOperands) {
  for (const auto& c : kFlagCases) {
    SCOPED_TRACE(c.name);
    SetReg(m, 4, c.dst);
    SetReg(m, 5, c.src);
    SetReg(m, 2, c.carryIn);
    memset(m->statusFlags, 1, 4);
    Run(c.sel);
    EXPECT_EQ(c.r4After, Reg(m, 4));
    EXPECT_EQ(c.vnzc, Flags(m));
  }
}

TEST_F(ExecuteTest, StatusRegisterAndHighlightColours) {
  SetReg(m, 2, 0x00F8); // bits outside V N Z C, as typed in by hand
  SetReg(m, 4, 0x7FFF);
  Run(Sel().Dual(kOpADD).Src(kModeImmediate, 0, "0001").Dst(kModeRegister, 4));
  EXPECT_EQ("01FC", Reg(m, 2)); // V and N set, Z and C clear, masked 0x1FF
  const int32_t colours[kRegisterCount] = {2, 6, 11, 6, 11, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6};
  EXPECT_EQ(0, memcmp(colours, m->highlight, sizeof colours));
  Run(Pair(kOpMOV).Dst(kModeRegister, 2));
  EXPECT_EQ(kHighlightSource, m->highlight[5]);
  EXPECT_EQ("0000", Reg(m, 2));
  EXPECT_EQ("0000", Flags(m)); // a MOV into SR loads the flag bytes
}

TEST_F(ExecuteTest, PCStepsOverEachExtensionWord) {
  const struct { Sel sel; const char* pcAfter; } cases[] = {
      {Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "1234").Dst(kModeRegister, 5), "FF84"},
      {Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "0003").Dst(kModeRegister, 5), "FF84"},
      {Sel().Dual(kOpADD).Src(kModeIndexed, 6, "0010").Dst(kModeAbsolute, 0, "0200"), "FF86"},
      {Sel().Dual(kOpMOV).Src(kModeAutoincrement, 4).Dst(kModeIndexed, 5, "0002"), "FF84"},
      // RLA names one operand twice; it has one extension word.
      {Sel().Emulated(kOpRLA).Src(kModeAbsolute, 0, "0200").Dst(kModeAbsolute, 0, "0200"), "FF84"},
      {Sel().Emulated(kOpPOP).Dst(kModeAbsolute, 0, "0200"), "FF84"},
      {Sel().Single(kOpRRC).Dst(kModeSymbolic, 0, "0200"), "FF84"},
      {Sel().Single(kOpPUSH).Src(kModeImmediate, 0, "0280"), "FF84"},
      {Sel().Single(kOpSingleUnused), "FF82"}, // runs as no operation
  };
  for (const auto& c : cases) {
    SetReg(m, 0, 0xFF80);
    Run(c.sel);
    EXPECT_EQ(c.pcAfter, Reg(m, 0)) << &c - cases;
  }
  // The constant generator supplies 0, 1, 2, 4, 8 and -1 without a word.
  for (const char* constant : {"0000", "0001", "0002", "0004", "0008", "FFFF"}) {
    SetReg(m, 0, 0xFF80);
    Run(Sel().Dual(kOpMOV).Src(kModeImmediate, 0, constant).Dst(kModeRegister, 5));
    EXPECT_EQ("FF82", Reg(m, 0)) << constant;
    EXPECT_EQ(constant, Reg(m, 5));
  }
}

TEST_F(ExecuteTest, MemoryOperandsAndAutoincrement) {
  SetWord(m, 0x0200, 0x1111);
  SetWord(m, 0x0210, 0x2222);
  SetReg(m, 6, 0x0200);
  Run(Sel().Dual(kOpADD).Src(kModeIndexed, 6, "0010").Dst(kModeAbsolute, 0, "0200"));
  EXPECT_EQ(0x3333u, Word(m, 0x0200));
  EXPECT_EQ(kHighlightIdle, m->highlight[6]); // only an address base
  // A byte store touches only its byte; the odd address is the high one.
  SetWord(m, 0x0200, 0x12FF);
  Run(Sel().Dual(kOpADD).Src(kModeImmediate, 0, "0001").Dst(kModeAbsolute, 0, "0200").Byte());
  EXPECT_EQ(0x1200u, Word(m, 0x0200));
  EXPECT_EQ("0010", Flags(m));
  Run(Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "00AB").Dst(kModeAbsolute, 0, "0201").Byte());
  EXPECT_EQ(0xAB00u, Word(m, 0x0200));
  // Autoincrement steps by the operand's size; SP stays even.
  SetReg(m, 4, 0x0200);
  Run(Sel().Dual(kOpMOV).Src(kModeAutoincrement, 4).Dst(kModeRegister, 6).Byte());
  EXPECT_EQ("0201", Reg(m, 4));
  Run(Sel().Dual(kOpMOV).Src(kModeAutoincrement, 4).Dst(kModeRegister, 6));
  EXPECT_EQ("0203", Reg(m, 4));
  EXPECT_EQ("AB00", Reg(m, 6));
  SetReg(m, 1, 0x0200);
  Run(Sel().Dual(kOpMOV).Src(kModeAutoincrement, 1).Dst(kModeRegister, 6).Byte());
  EXPECT_EQ("0200", Reg(m, 1)); // the +1 is masked off again
}

TEST_F(ExecuteTest, PortsProgramMemoryAndUnmappedAddresses) {
  Run(Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "12A5").Dst(kModeAbsolute, 0, "0021"));
  EXPECT_STREQ("0xA5", m->ports[1]); // a port takes the low byte
  Run(Sel().Dual(kOpMOV).Src(kModeAbsolute, 0, "0020").Dst(kModeRegister, 7));
  EXPECT_EQ("A500", Reg(m, 7)); // P1IN low, P1OUT high
  // A decimal byte of three digits keeps its two low ones in a port cell.
  SetReg(m, 5, 0x0150);
  Run(Pair(kOpDADD).Dst(kModeAbsolute, 0, "0021"));
  EXPECT_STREQ("0x50", m->ports[1]);
  Run(Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "1234").Dst(kModeAbsolute, 0, "FF80"));
  EXPECT_EQ(0x4031u, Word(m, 0xFF80)); // program memory takes no writes
  Run(Sel().Dual(kOpMOV).Src(kModeAbsolute, 0, "1000").Dst(kModeRegister, 7));
  EXPECT_EQ("0000", Reg(m, 7));
  // An address text shorter than its "0x" (the panel starts with an empty
  // one) means address 0, not what lies behind its terminator.
  SetReg(m, 7, 0x5555);
  Execute(kFormatDoubleOperand, kOpMOV, 0, 0, 0, kModeAbsolute, 0, kModeRegister, 7, 0.0f,
          "0200", m->registers, m->ram, m->rom, 1, "", "0", m->ports, m->registers,
          m->highlight, m->ram, &m->ramMarker, &m->ramMarkerOn, &m->romMarker,
          &m->romMarkerOn, m->statusFlags, m->ports);
  EXPECT_EQ("0000", Reg(m, 7));
}

TEST_F(ExecuteTest, StackOperations) {
  SetReg(m, 1, 0x0280);
  SetReg(m, 5, 0xA1B2);
  Run(Sel().Single(kOpPUSH).Src(kModeRegister, 5));
  EXPECT_EQ("027E", Reg(m, 1));
  EXPECT_EQ(0xA1B2u, Word(m, 0x027E));
  EXPECT_EQ(0u, m->ramMarker.row);
  EXPECT_EQ(kHighlightWritten, m->highlight[1]);
  Run(Sel().Single(kOpPUSH).Src(kModeRegister, 5).Byte());
  EXPECT_EQ(0x00B2u, Word(m, 0x027C));
  SetReg(m, 0, 0xFF88);
  Run(Sel().Single(kOpCALL).Src(kModeImmediate, 0, "FF92"));
  EXPECT_EQ("FF92", Reg(m, 0));
  EXPECT_EQ(0xFF8Cu, Word(m, 0x027A));
  EXPECT_EQ(54u, m->romMarker.row); // (0xFFFE - 0xFF92) / 2
  Run(Sel().Emulated(kOpPOP).Dst(kModeRegister, 4));
  EXPECT_EQ("FF8C", Reg(m, 4));
  Run(Sel().Emulated(kOpPOP).Dst(kModeAbsolute, 0, "0200").Byte());
  EXPECT_EQ(0x00B2u, Word(m, 0x0200));
  EXPECT_EQ("027E", Reg(m, 1));
  SetReg(m, 1, 0x0280);
  Run(Sel().Emulated(kOpRET)); // SP outside data memory: PC 0
  EXPECT_EQ("0000", Reg(m, 0));
  EXPECT_EQ("0282", Reg(m, 1));
  EXPECT_EQ(kNoMarkedRow, m->ramMarker.row);
  EXPECT_EQ(kNoMarkedRow, m->romMarker.row);
}

TEST_F(ExecuteTest, JumpConditions) {
  const struct { uint8_t vnzc[4]; const char* taken; /* JNE..JMP */ } cases[] = {
      {{0, 0, 0, 0}, "10100101"}, {{0, 0, 1, 1}, "01010101"}, {{1, 0, 0, 0}, "10100011"},
      {{1, 1, 0, 0}, "10101101"}, {{0, 1, 0, 0}, "10101011"},
  };
  for (const auto& c : cases) {
    for (uint32_t condition = 0; condition < 8; ++condition) {
      SetReg(m, 0, 0xFF98);
      memcpy(m->statusFlags, c.vnzc, 4);
      Run(Sel().Jump(condition, -2.0f));
      EXPECT_EQ(c.taken[condition] == '1' ? "FF96" : "FF9A", Reg(m, 0)) << c.taken << condition;
    }
  }
}

TEST_F(ExecuteTest, JumpWrapsAndTruncatesAndNoInstructionDoesNothing) {
  SetReg(m, 0, 0xFFFE);
  Run(Sel().Jump(kJumpMP, 511.0f));
  EXPECT_EQ("03FE", Reg(m, 0));
  SetReg(m, 0, 0xFF80);
  Run(Sel().Jump(kJumpMP, -1.9f)); // toward zero: -1
  EXPECT_EQ("FF80", Reg(m, 0));
  std::unique_ptr<Simulator> before = NewSimulator();
  before->machine = *m;
  Run(Sel().Format(kFormatNone)); // every text stays, PC included
  EXPECT_EQ(0, memcmp(&before->machine, m, sizeof *m));
}

} // namespace
