// Execute: results, flags on boundary operands, PC stepping over extension
// words, stack operations, jumps, and where stores land.
#include <gtest/gtest.h>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

class ExecuteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m = NewMachine();
    ResetMachine(m.get(), nullptr, nullptr); // PC = FF80, everything else 0
  }
  std::unique_ptr<MachineState> m;
};

// dst (in R4) op src (an immediate that needs an extension word, or a
// register R5 where the constant generator would otherwise step in).
struct FlagCase {
  const char* name;
  uint32_t op;
  unsigned src;
  unsigned dst;
  bool byte;
  unsigned carryIn;
  const char* r4After; // what R4 shows afterwards
  const char* vnzc;
};

const FlagCase kFlagCases[] = {
    {"ADD 0xFFFF+1 wraps to zero with carry", kOpADD, 0x0001, 0xFFFF, false, 0, "0000", "0011"},
    {"ADD 0x7FFF+1 overflows into the sign", kOpADD, 0x0001, 0x7FFF, false, 0, "8000", "1100"},
    {"ADD 0x8000+0x8000 overflows to zero", kOpADD, 0x8000, 0x8000, false, 0, "0000", "1011"},
    {"ADD.B 0x7F+1 keeps N V C clear (bits 15/16)", kOpADD, 0x0001, 0x007F, true, 0, "0080", "0000"},
    {"ADD.B 0xFF+1 stores 00, Z only", kOpADD, 0x0001, 0x00FF, true, 0, "0000", "0010"},
    {"ADDC adds the carry of SR", kOpADDC, 0x0001, 0xFFFE, false, 1, "0000", "0011"},
    {"ADDC without carry", kOpADDC, 0x0001, 0xFFFE, false, 0, "FFFF", "0100"},
    {"SUB borrows: 3-5 sets C", kOpSUB, 0x0005, 0x0003, false, 0, "FFFE", "1101"},
    {"SUB equal gives Z, no carry", kOpSUB, 0x0005, 0x0005, false, 0, "0000", "0010"},
    {"SUB 7-5 no borrow", kOpSUB, 0x0005, 0x0007, false, 0, "0002", "0000"},
    {"SUB 0x8000-1: both operands judged as they are", kOpSUB, 0x0001, 0x8000, false, 0, "7FFF", "0000"},
    {"SUBC adds the carry back", kOpSUBC, 0x0005, 0x0007, false, 1, "0003", "0000"},
    {"CMP 3 with 5 leaves R4, sets C N V", kOpCMP, 0x0005, 0x0003, false, 0, "0003", "1101"},
    {"CMP equal", kOpCMP, 0x0005, 0x0005, false, 0, "0005", "0010"},
    {"CMP.B tests the unmasked difference", kOpCMP, 0x0005, 0x0003, true, 0, "0003", "1101"},
    {"AND nonzero sets C", kOpAND, 0x0F0F, 0x00FF, false, 0, "000F", "0001"},
    {"AND to zero sets Z", kOpAND, 0x0F00, 0x00FF, false, 0, "0000", "0010"},
    {"AND negative", kOpAND, 0x8000, 0xFFFF, false, 0, "8000", "0101"},
    {"BIT leaves the destination", kOpBIT, 0x0F00, 0x0FFF, false, 0, "0FFF", "0001"},
    {"XOR of two negatives sets V", kOpXOR, 0xFFFF, 0x8000, false, 0, "7FFF", "1001"},
    {"XOR to zero", kOpXOR, 0x1234, 0x1234, false, 0, "0000", "0010"},
    {"MOV leaves the flags", kOpMOV, 0x1234, 0x0000, false, 0, "1234", "1111"},
    {"BIC leaves the flags", kOpBIC, 0x00F0, 0x0FFF, false, 0, "0F0F", "1111"},
    {"BIS leaves the flags", kOpBIS, 0x1000, 0x0001, false, 0, "1001", "1111"},
};

TEST_F(ExecuteTest, FlagRulesOnBoundaryOperands) {
  for (const FlagCase& c : kFlagCases) {
    SCOPED_TRACE(c.name);
    ResetMachine(m.get(), nullptr, nullptr);
    SetReg(m.get(), 4, c.dst);
    SetReg(m.get(), 5, c.src);
    SetReg(m.get(), 2, c.carryIn);
    // The flag bytes start at 1 so that "left alone" is visible.
    for (int i = 0; i < 4; ++i) m->statusFlags[i] = 1;
    Sel sel;
    sel.Dual(c.op).Src(kModeRegister, 5).Dst(kModeRegister, 4);
    if (c.byte) sel.Byte();
    Step(m.get(), sel);
    EXPECT_EQ(c.r4After, Reg(m.get(), 4));
    EXPECT_EQ(c.vnzc, Flags(m.get()));
  }
}

TEST_F(ExecuteTest, SRIsRebuiltFromTheFlagsButKeepsItsOtherLowBits) {
  SetReg(m.get(), 2, 0x00F8); // bits outside V N Z C, as typed in by hand
  SetReg(m.get(), 4, 0x7FFF);
  Step(m.get(), Sel().Dual(kOpADD).Src(kModeImmediate, 0, "0001").Dst(kModeRegister, 4));
  EXPECT_EQ("01FC", Reg(m.get(), 2)); // V and N set, C Z clear, masked 0x1FF
  EXPECT_EQ(kHighlightWritten, m->highlight[2]);
}

TEST_F(ExecuteTest, MovIntoSRLoadsTheStatusFlags) {
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "FFFF").Dst(kModeRegister, 2));
  EXPECT_EQ("0107", Reg(m.get(), 2));
  EXPECT_EQ("1111", Flags(m.get()));
}

TEST_F(ExecuteTest, ImmediateNeedsAnExtensionWordUnlessTheConstantGeneratorHasIt) {
  const struct {
    const char* value;
    const char* pcAfter;
  } cases[] = {{"1234", "FF84"}, {"0004", "FF82"}, {"0000", "FF82"}, {"0001", "FF82"},
               {"0002", "FF82"}, {"0008", "FF82"}, {"FFFF", "FF82"}, {"0003", "FF84"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    SetReg(m.get(), 0, 0xFF80);
    Step(m.get(), Sel().Dual(kOpMOV).Src(kModeImmediate, 0, c.value).Dst(kModeRegister, 5));
    EXPECT_EQ(c.pcAfter, Reg(m.get(), 0));
    EXPECT_EQ(std::string(c.value), Reg(m.get(), 5));
    EXPECT_EQ(kHighlightWritten, m->highlight[5]);
    EXPECT_EQ(kHighlightPC, m->highlight[0]);
  }
}

TEST_F(ExecuteTest, MemoryOperandsStepPCOncePerExtensionWord) {
  SetRamWord(m.get(), 0x0200, 0x1111);
  SetRamWord(m.get(), 0x0210, 0x2222);
  SetReg(m.get(), 6, 0x0200);
  // ADD 0x0010(R6),&0x0200: two extension words.
  Step(m.get(), Sel().Dual(kOpADD).Src(kModeIndexed, 6, "0010").Dst(kModeAbsolute, 0, "0200"));
  EXPECT_EQ("FF86", Reg(m.get(), 0));
  EXPECT_EQ(0x3333u, Word(m.get(), 0x0200));
  EXPECT_EQ(kHighlightIdle, m->highlight[6]); // R6 is only an address base
}

TEST_F(ExecuteTest, AutoincrementStepsByOperandSizeAndKeepsSPEven) {
  SetRamWord(m.get(), 0x0200, 0xBEEF);
  SetReg(m.get(), 4, 0x0200);
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeAutoincrement, 4).Dst(kModeRegister, 6).Byte());
  EXPECT_EQ("0201", Reg(m.get(), 4));
  EXPECT_EQ("00EF", Reg(m.get(), 6));

  SetReg(m.get(), 4, 0x0200);
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeAutoincrement, 4).Dst(kModeRegister, 6));
  EXPECT_EQ("0202", Reg(m.get(), 4));
  EXPECT_EQ("BEEF", Reg(m.get(), 6));

  SetReg(m.get(), 1, 0x0200);
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeAutoincrement, 1).Dst(kModeRegister, 6).Byte());
  EXPECT_EQ("0200", Reg(m.get(), 1)); // +1 is masked off again
}

TEST_F(ExecuteTest, ByteStoreToRamTouchesOnlyThatByte) {
  SetRamWord(m.get(), 0x0200, 0x12FF);
  Step(m.get(), Sel().Dual(kOpADD).Src(kModeImmediate, 0, "0001").Dst(kModeAbsolute, 0, "0200").Byte());
  EXPECT_EQ(0x1200u, Word(m.get(), 0x0200));
  EXPECT_EQ("0010", Flags(m.get()));
  // The odd address is the high byte.
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "00AB").Dst(kModeAbsolute, 0, "0201").Byte());
  EXPECT_EQ(0xAB00u, Word(m.get(), 0x0200));
}

TEST_F(ExecuteTest, PortsTakeTheLowByteAndProgramMemoryTakesNothing) {
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "12A5").Dst(kModeAbsolute, 0, "0021"));
  EXPECT_STREQ("0xA5", m->ports[1]);
  EXPECT_STREQ("0x00", m->ports[2]);
  // A word read from 0x0020 pairs P1IN (low) with P1OUT (high).
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeAbsolute, 0, "0020").Dst(kModeRegister, 7));
  EXPECT_EQ("A500", Reg(m.get(), 7));

  unsigned before = Word(m.get(), 0xFF80);
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "1234").Dst(kModeAbsolute, 0, "FF80"));
  EXPECT_EQ(before, Word(m.get(), 0xFF80));
}

TEST_F(ExecuteTest, AddressTextsShorterThanTheirPrefixMeanAddressZero) {
  // The panel starts with an empty source address text; it is read from its
  // third character on, which such a text does not have.
  SetReg(m.get(), 7, 0x5555);
  Execute(kFormatDoubleOperand, kOpMOV, 0, 0, 0, kModeAbsolute, 0, kModeRegister, 7, 0.0f,
          "0200", m->registers, m->ram, m->rom, 1, "", "0", m->ports, m->registers,
          m->highlight, m->ram, &m->ramMarker, &m->ramMarkerOn, &m->romMarker,
          &m->romMarkerOn, m->statusFlags, m->ports);
  EXPECT_EQ("0000", Reg(m.get(), 7));
}

TEST_F(ExecuteTest, OutsideTheMemoryMapReadsZero) {
  SetReg(m.get(), 7, 0x5555);
  Step(m.get(), Sel().Dual(kOpMOV).Src(kModeAbsolute, 0, "1000").Dst(kModeRegister, 7));
  EXPECT_EQ("0000", Reg(m.get(), 7));
}

TEST_F(ExecuteTest, DecimalAdd) {
  const struct {
    const char* r5;
    const char* r6;
    const char* r6After;
    const char* vnzc;
  } cases[] = {
      {"0001", "9999", "0000", "0011"},
      {"0002", "0003", "0005", "0000"},
      {"0000", "0000", "0000", "0000"}, // Z only for a sum of exactly 10000
      {"4000", "4500", "8500", "0100"},
      {"9999", "9999", "9998", "0101"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.r5) + "+" + c.r6);
    snprintf(m->registers[5], kTextCellSize, "%s", c.r5);
    snprintf(m->registers[6], kTextCellSize, "%s", c.r6);
    Step(m.get(), Sel().Dual(kOpDADD).Src(kModeRegister, 5).Dst(kModeRegister, 6));
    EXPECT_EQ(c.r6After, Reg(m.get(), 6));
    EXPECT_EQ(c.vnzc, Flags(m.get()));
  }
}

TEST_F(ExecuteTest, DecimalAddIntoAPortKeepsTwoDigits) {
  SetReg(m.get(), 5, 0x0099);
  snprintf(m->ports[1], kPortCellSize, "0x99");
  // 99 + 99 (port cell read as decimal is 0: "0x.." stops at the x)
  Step(m.get(), Sel().Dual(kOpDADD).Src(kModeRegister, 5).Dst(kModeAbsolute, 0, "0021"));
  EXPECT_STREQ("0x99", m->ports[1]);
  snprintf(m->registers[5], kTextCellSize, "0150");
  Step(m.get(), Sel().Dual(kOpDADD).Src(kModeRegister, 5).Dst(kModeAbsolute, 0, "0021"));
  EXPECT_STREQ("0x50", m->ports[1]); // 150 masked to a byte is 150: two low digits
}

TEST_F(ExecuteTest, RotatesSwapAndSignExtend) {
  const struct {
    uint32_t op;
    unsigned operand;
    unsigned carryIn;
    bool byte;
    const char* after;
    const char* vnzc;
  } cases[] = {
      {kOpRRC, 0x0001, 0, false, "0000", "0011"},
      {kOpRRC, 0x0002, 1, false, "8001", "0100"},
      {kOpRRC, 0x0003, 1, true, "0001", "0001"}, // the carry-in at bit 15 falls away
      {kOpRRA, 0x8001, 0, false, "C000", "0101"},
      {kOpRRA, 0x0080, 0, true, "0040", "0000"},
      {kOpSXT, 0x0080, 0, false, "FF80", "0101"},
      {kOpSXT, 0x0000, 0, false, "0000", "0010"},
      {kOpSXT, 0x127F, 0, false, "007F", "0001"},
      {kOpSWPB, 0x12AB, 0, false, "AB12", "1111"}, // flags left alone
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.after);
    SetReg(m.get(), 4, c.operand);
    SetReg(m.get(), 2, c.carryIn);
    for (int i = 0; i < 4; ++i) m->statusFlags[i] = 1;
    Sel sel;
    sel.Single(c.op).Dst(kModeRegister, 4);
    if (c.byte) sel.Byte();
    Step(m.get(), sel);
    EXPECT_EQ(c.after, Reg(m.get(), 4));
    EXPECT_EQ(c.vnzc, Flags(m.get()));
  }
}

TEST_F(ExecuteTest, PushWritesBelowSPAndMovesTheRamMarker) {
  SetReg(m.get(), 1, 0x0280);
  SetReg(m.get(), 5, 0xA1B2);
  Step(m.get(), Sel().Single(kOpPUSH).Src(kModeRegister, 5));
  EXPECT_EQ("027E", Reg(m.get(), 1));
  EXPECT_EQ(0xA1B2u, Word(m.get(), 0x027E));
  EXPECT_EQ(0u, m->ramMarker.row);
  EXPECT_EQ(1, m->ramMarkerOn);
  EXPECT_EQ(kHighlightWritten, m->highlight[1]);
  EXPECT_EQ(kHighlightSource, m->highlight[5]);

  Step(m.get(), Sel().Single(kOpPUSH).Src(kModeRegister, 5).Byte());
  EXPECT_EQ(0x00B2u, Word(m.get(), 0x027C));
}

TEST_F(ExecuteTest, CallPushesTheReturnAddressAndJumps) {
  SetReg(m.get(), 0, 0xFF88);
  SetReg(m.get(), 1, 0x0280);
  Step(m.get(), Sel().Single(kOpCALL).Src(kModeImmediate, 0, "FF92"));
  EXPECT_EQ("FF92", Reg(m.get(), 0));
  EXPECT_EQ(0xFF8Cu, Word(m.get(), 0x027E));
  EXPECT_EQ(54u, m->romMarker.row); // (0xFFFE - 0xFF92) / 2
}

TEST_F(ExecuteTest, RetOutsideDataMemoryReadsZero) {
  SetReg(m.get(), 1, 0x0280);
  Step(m.get(), Sel().Emulated(kOpRET));
  EXPECT_EQ("0000", Reg(m.get(), 0));
  EXPECT_EQ("0282", Reg(m.get(), 1));
  EXPECT_EQ(kNoMarkedRow, m->ramMarker.row);
  EXPECT_EQ(64u, m->romMarker.row);
}

TEST_F(ExecuteTest, PopIntoRegisterAndMemory) {
  SetReg(m.get(), 1, 0x027C);
  SetRamWord(m.get(), 0x027C, 0x1234);
  SetRamWord(m.get(), 0x027E, 0xABCD);
  Step(m.get(), Sel().Emulated(kOpPOP).Dst(kModeRegister, 4));
  EXPECT_EQ("1234", Reg(m.get(), 4));
  EXPECT_EQ("027E", Reg(m.get(), 1));
  Step(m.get(), Sel().Emulated(kOpPOP).Dst(kModeAbsolute, 0, "0200").Byte());
  EXPECT_EQ(0x00CDu, Word(m.get(), 0x0200));
  EXPECT_EQ("0280", Reg(m.get(), 1));
  EXPECT_EQ("FF86", Reg(m.get(), 0)); // two words: the POP and its address
}

TEST_F(ExecuteTest, RetiRestoresSRThenPC) {
  SetReg(m.get(), 1, 0x027C);
  SetRamWord(m.get(), 0x027C, 0x0003);
  SetRamWord(m.get(), 0x027E, 0xFF8C);
  Step(m.get(), Sel().Single(kOpRETI));
  EXPECT_EQ("0003", Reg(m.get(), 2));
  EXPECT_EQ("FF8C", Reg(m.get(), 0));
  EXPECT_EQ("0280", Reg(m.get(), 1));
  EXPECT_EQ("0000", Flags(m.get())); // the flag bytes are not reloaded
}

TEST_F(ExecuteTest, JumpConditions) {
  // Flags V N Z C, and which jumps are taken under them.
  const struct {
    uint8_t v, n, z, c;
    const char* taken; // one digit per condition JNE..JMP
  } cases[] = {
      {0, 0, 0, 0, "10100101"},
      {0, 0, 1, 1, "01010101"},
      {1, 0, 0, 0, "10100011"},
      {1, 1, 0, 0, "10101101"},
      {0, 1, 0, 0, "10101011"},
  };
  for (const auto& c : cases) {
    for (uint32_t cond = 0; cond < 8; ++cond) {
      SCOPED_TRACE(std::string(c.taken) + " condition " + std::to_string(cond));
      SetReg(m.get(), 0, 0xFF98);
      m->statusFlags[kFlagV] = c.v;
      m->statusFlags[kFlagN] = c.n;
      m->statusFlags[kFlagZ] = c.z;
      m->statusFlags[kFlagC] = c.c;
      Step(m.get(), Sel().Jump(cond, -2.0f));
      EXPECT_EQ(c.taken[cond] == '1' ? "FF96" : "FF9A", Reg(m.get(), 0));
    }
  }
}

TEST_F(ExecuteTest, JumpFromTheTopOfMemoryWraps) {
  SetReg(m.get(), 0, 0xFFFE);
  Step(m.get(), Sel().Jump(kJumpMP, 511.0f));
  EXPECT_EQ("03FE", Reg(m.get(), 0));
  SetReg(m.get(), 0, 0xFF80);
  Step(m.get(), Sel().Jump(kJumpMP, -1.9f)); // truncated toward zero
  EXPECT_EQ("FF80", Reg(m.get(), 0));
}

TEST_F(ExecuteTest, EmulatedDecIncClrTst) {
  SetReg(m.get(), 5, 0x0001);
  Step(m.get(), Sel().Emulated(kOpDEC).Src(kModeImmediate, 0, "0001").Dst(kModeRegister, 5));
  EXPECT_EQ("0000", Reg(m.get(), 5));
  EXPECT_EQ("0010", Flags(m.get())); // DEC to zero: no borrow, so C = 0
  EXPECT_EQ("FF82", Reg(m.get(), 0));
  Step(m.get(), Sel().Emulated(kOpDEC).Dst(kModeRegister, 5));
  EXPECT_EQ("FFFF", Reg(m.get(), 5));
  // 0 - 1 borrows (C); both operands positive, result negative (V).
  EXPECT_EQ("1101", Flags(m.get()));
  Step(m.get(), Sel().Emulated(kOpINC).Dst(kModeRegister, 5));
  EXPECT_EQ("0000", Reg(m.get(), 5));
  EXPECT_EQ("0011", Flags(m.get()));
  SetReg(m.get(), 6, 0x8000);
  Step(m.get(), Sel().Emulated(kOpTST).Dst(kModeRegister, 6));
  EXPECT_EQ("8000", Reg(m.get(), 6));
  EXPECT_EQ("0100", Flags(m.get()));
  Step(m.get(), Sel().Emulated(kOpCLR).Dst(kModeRegister, 6));
  EXPECT_EQ("0000", Reg(m.get(), 6));
}

TEST_F(ExecuteTest, EmulatedRotateLeftUsesTheDestinationTwice) {
  SetReg(m.get(), 5, 0x8001);
  SetReg(m.get(), 2, 1);
  Step(m.get(), Sel().Emulated(kOpRLC).Src(kModeRegister, 5).Dst(kModeRegister, 5));
  EXPECT_EQ("0003", Reg(m.get(), 5)); // 0x8001 + 0x8001 + carry
  EXPECT_EQ("1001", Flags(m.get()));
  Step(m.get(), Sel().Emulated(kOpRLA).Src(kModeRegister, 5).Dst(kModeRegister, 5));
  EXPECT_EQ("0006", Reg(m.get(), 5));
  // In an indexed form the one operand has one extension word.
  SetRamWord(m.get(), 0x0200, 0x0021);
  SetReg(m.get(), 0, 0xFF80);
  Step(m.get(), Sel().Emulated(kOpRLA).Src(kModeAbsolute, 0, "0200").Dst(kModeAbsolute, 0, "0200"));
  EXPECT_EQ(0x0042u, Word(m.get(), 0x0200));
  EXPECT_EQ("FF84", Reg(m.get(), 0));
}

TEST_F(ExecuteTest, FormatNoneAndUnusedSingleOperation) {
  auto before = NewMachine();
  memcpy(before.get(), m.get(), sizeof(MachineState));
  Step(m.get(), Sel().Format(kFormatNone));
  EXPECT_EQ(0, memcmp(before.get(), m.get(), sizeof(MachineState)));
  Step(m.get(), Sel().Single(kOpSingleUnused));
  EXPECT_EQ("FF82", Reg(m.get(), 0));
}

TEST_F(ExecuteTest, SeparateReadAndWriteArraysSeeTheirOwnWrites) {
  // A caller that keeps read and write copies apart still gets a coherent
  // instruction: CALL reads PC after the step, the push sees SP moved.
  auto in = NewMachine();
  ResetMachine(in.get(), nullptr, nullptr);
  SetReg(in.get(), 0, 0xFF88);
  SetReg(in.get(), 1, 0x0280);
  Execute(kFormatSingleOperand, 0, kOpCALL, 0, 0, kModeImmediate, 0, 0, 0, 0.0f, "FF92",
          in->registers, in->ram, in->rom, 1, "0xFF8A", "", in->ports, m->registers,
          m->highlight, m->ram, &m->ramMarker, &m->ramMarkerOn, &m->romMarker,
          &m->romMarkerOn, m->statusFlags, m->ports);
  EXPECT_EQ("FF92", Reg(m.get(), 0));
  EXPECT_EQ("027E", Reg(m.get(), 1));
  EXPECT_EQ(0xFF8Cu, Word(m.get(), 0x027E));
  EXPECT_EQ("FF88", Reg(in.get(), 0)); // the read copy stays as it was
}

} // namespace
