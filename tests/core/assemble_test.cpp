// Assemble: assembler text, bit string, machine word and extension words;
// Save: the words into program memory.
#include <gtest/gtest.h>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

struct AssembleCase {
  Sel sel;
  const char* text;
  const char* word;
  const char* extension1;
  const char* extension2;
};

// PC stands at 0xFF80 for every case (symbolic offsets count from there).
const AssembleCase kCases[] = {
    {Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "0280").Dst(kModeRegister, 1), "MOV  #0x0280,SP", "4031", "0280", ""},
    {Sel().Dual(kOpMOV).Src(kModeRegister, 4).Dst(kModeAbsolute, 0, "0200").Byte(), "MOV.B  R4,&0x0200", "44C2", "0200", ""},
    {Sel().Dual(kOpADD).Src(kModeImmediate, 0, "FFFF").Dst(kModeRegister, 5), "ADD  #-1,R5", "5335", "", ""},
    {Sel().Dual(kOpSUB).Src(kModeImmediate, 0, "0004").Dst(kModeRegister, 5), "SUB  #4,R5", "8225", "", ""},
    {Sel().Dual(kOpAND).Src(kModeImmediate, 0, "0008").Dst(kModeRegister, 5), "AND  #8,R5", "F235", "", ""},
    {Sel().Dual(kOpXOR).Src(kModeImmediate, 0, "0002").Dst(kModeRegister, 5), "XOR  #2,R5", "E325", "", ""},
    {Sel().Dual(kOpBIS).Src(kModeImmediate, 0, "0000").Dst(kModeRegister, 5), "BIS  #0,R5", "D305", "", ""},
    {Sel().Dual(kOpADDC).Src(kModeIndexed, 4, "0002").Dst(kModeIndexed, 5, "0004"), "ADDC  0x0002(R4),0x0004(R5)", "6495", "0002", "0004"},
    {Sel().Dual(kOpCMP).Src(kModeSymbolic, 0, "0200").Dst(kModeRegister, 6), "CMP  0x0200,R6", "9016", "027E", ""},
    {Sel().Dual(kOpBIT).Src(kModeIndirect, 7).Dst(kModeSymbolic, 0, "0200"), "BIT  @R7,0x0200", "B7A0", "027E", ""},
    {Sel().Dual(kOpBIC).Src(kModeAutoincrement, 8).Dst(kModeRegister, 9).Byte(), "BIC.B  @R8+,R9", "C879", "", ""},
    {Sel().Dual(kOpDADD).Src(kModeAbsolute, 0, "0202").Dst(kModeSymbolic, 0, "0204"), "DADD  &0x0202,0x0204", "A290", "0202", "0280"},
    {Sel().Single(kOpRRC).Dst(kModeIndexed, 5, "0010").Byte(), "RRC.B  0x0010(R5)", "1055", "0010", ""},
    {Sel().Single(kOpSWPB).Dst(kModeRegister, 6).Byte(), "SWPB  R6", "1086", "", ""},
    {Sel().Single(kOpRRA).Dst(kModeAbsolute, 0, "0200"), "RRA  &0x0200", "1112", "0200", ""},
    {Sel().Single(kOpSXT).Dst(kModeSymbolic, 0, "0200"), "SXT  0x0200", "1190", "027E", ""},
    {Sel().Single(kOpPUSH).Src(kModeImmediate, 0, "1234").Byte(), "PUSH.B  #0x1234", "1270", "1234", ""},
    {Sel().Single(kOpCALL).Src(kModeImmediate, 0, "FF92").Byte(), "CALL  #0xFF92", "12B0", "FF92", ""},
    {Sel().Single(kOpRETI), "RETI", "1300", "", ""},
    {Sel().Jump(kJumpNE, -2.0f), "JNE  -2", "23FE", "", ""},
    {Sel().Jump(kJumpMP, -512.0f), "JMP  -512", "3E00", "", ""},
    {Sel().Jump(kJumpNC, 511.0f), "JLO  511", "29FF", "", ""},
    {Sel().Jump(kJumpC, -6.0f), "JHS  -6", "2FFA", "", ""},
    {Sel().Jump(kJumpGE, 1.0f), "JGE  1", "3401", "", ""},
    {Sel().Emulated(kOpNOP).Byte(), "NOP", "4303", "", ""},
    {Sel().Emulated(kOpRET).Byte(), "RET", "4130", "", ""},
    {Sel().Emulated(kOpDEC).Dst(kModeAbsolute, 0, "0200").Byte(), "DEC.B  &0x0200", "83D2", "0200", ""},
    {Sel().Emulated(kOpINC).Dst(kModeAbsolute, 0, "0010"), "INC  &0x0010", "5392", "0010", ""},
    {Sel().Emulated(kOpPOP).Dst(kModeRegister, 4), "POP  R4", "4134", "", ""},
    {Sel().Emulated(kOpRLC).Dst(kModeIndexed, 6, "0004"), "RLC  0x0004(R6)", "6696", "0004", ""},
    {Sel().Emulated(kOpRLA).Dst(kModeRegister, 5), "RLA  R5", "5505", "", ""},
    {Sel().Emulated(kOpCLR).Dst(kModeRegister, 4), "CLR  R4", "4304", "", ""},
    {Sel().Emulated(kOpTST).Dst(kModeRegister, 4).Byte(), "TST.B  R4", "9344", "", ""},
};

TEST(AssembleTest, TextsAndWords) {
  auto m = NewMachine();
  for (const AssembleCase& c : kCases) {
    SCOPED_TRACE(c.text);
    AssembledInstruction out;
    snprintf(out.extension1, kTextCellSize, "stale");
    snprintf(out.extension2, kTextCellSize, "stale");
    Assembled(c.sel, m.get(), &out);
    EXPECT_STREQ(c.text, out.text);
    EXPECT_STREQ(c.word, out.word);
    EXPECT_STREQ(c.extension1, out.extension1);
    EXPECT_STREQ(c.extension2, out.extension2);
    // The bit string and the word say the same.
    EXPECT_EQ(16u, strlen(out.bits));
    EXPECT_EQ(strtoul(c.word, nullptr, 16), strtoul(out.bits, nullptr, 2));
  }
}

TEST(AssembleTest, NoInstructionKeepsTextAndBitsAndRewritesTheWord) {
  AssembledInstruction out;
  snprintf(out.text, kTextCellSize, "RETI");
  snprintf(out.bits, kTextCellSize, "0001001100000000");
  snprintf(out.word, kTextCellSize, "xxxx");
  snprintf(out.extension1, kTextCellSize, "1234");
  auto m = NewMachine();
  Assembled(Sel().Format(kFormatNone), m.get(), &out);
  EXPECT_STREQ("RETI", out.text);
  EXPECT_STREQ("1300", out.word);
  EXPECT_STREQ("", out.extension1);
}

TEST(AssembleTest, ExtensionWordIsAlwaysFourDigits) {
  auto m = NewMachine();
  AssembledInstruction out;
  Assembled(Sel().Dual(kOpMOV).Src(kModeImmediate, 0, "280").Dst(kModeRegister, 5), m.get(), &out);
  EXPECT_STREQ("MOV  #0x280,R5", out.text);
  EXPECT_STREQ("0280", out.extension1);
  // An empty index still occupies its word.
  Assembled(Sel().Dual(kOpMOV).Src(kModeIndexed, 4, "").Dst(kModeRegister, 5), m.get(), &out);
  EXPECT_STREQ("0000", out.extension1);
}

TEST(SaveTest, WordsLandAtTheSelectedRowAndAbove) {
  auto m = NewMachine();
  int32_t row = 10; // 0xFFEA
  Save("4031", "0280", "1234", &row, m->rom);
  EXPECT_EQ(0x4031u, Word(m.get(), 0xFFEA));
  EXPECT_EQ(0x0280u, Word(m.get(), 0xFFEC));
  EXPECT_EQ(0x1234u, Word(m.get(), 0xFFEE));

  row = 1; // 0xFFFC: the first extension word goes to 0xFFFE, the second is dropped
  Save("4031", "0280", "1234", &row, m->rom);
  EXPECT_EQ(0x4031u, Word(m.get(), 0xFFFC));
  EXPECT_EQ(0x0280u, Word(m.get(), 0xFFFE));

  row = 0;
  Save("12B0", "FF92", "", &row, m->rom);
  EXPECT_EQ(0x12B0u, Word(m.get(), 0xFFFE));
  EXPECT_EQ(0x4031u, Word(m.get(), 0xFFFC)); // untouched

  row = 20; // 0xFFD6; empty extension texts write nothing
  unsigned above = Word(m.get(), 0xFFD8);
  Save("4303", "", "", &row, m->rom);
  EXPECT_EQ(0x4303u, Word(m.get(), 0xFFD6));
  EXPECT_EQ(above, Word(m.get(), 0xFFD8));
}

} // namespace
