// Assemble: assembler text, bit string, machine word and extension words;
// Save: the words into program memory.
#include <gtest/gtest.h>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

// PC stands at 0xFF80 for every case (symbolic offsets count from there);
// the words are the machine word and the extension words, blank-separated.
const struct {
  Sel sel;
  const char *text, *words;
} kCases[] = {
    {Sel().Dual(kOpMOV).Src(N, 0, "0280").Dst(R, 1), "MOV  #0x0280,SP", "4031 0280"},
    {Sel().Dual(kOpMOV).Src(R, 4).Dst(A, 0, "0200").Byte(), "MOV.B  R4,&0x0200", "44C2 0200"},
    {Sel().Dual(kOpADD).Src(N, 0, "FFFF").Dst(R, 5), "ADD  #-1,R5", "5335"},
    {Sel().Dual(kOpSUB).Src(N, 0, "0004").Dst(R, 5), "SUB  #4,R5", "8225"},
    {Sel().Dual(kOpAND).Src(N, 0, "0008").Dst(R, 5), "AND  #8,R5", "F235"},
    {Sel().Dual(kOpXOR).Src(N, 0, "0002").Dst(R, 5), "XOR  #2,R5", "E325"},
    {Sel().Dual(kOpBIS).Src(N, 0, "0000").Dst(R, 5), "BIS  #0,R5", "D305"},
    {Sel().Dual(kOpADDC).Src(X, 4, "0002").Dst(X, 5, "0004"), "ADDC  0x0002(R4),0x0004(R5)",
     "6495 0002 0004"},
    {Sel().Dual(kOpCMP).Src(S, 0, "0200").Dst(R, 6), "CMP  0x0200,R6", "9016 027E"},
    {Sel().Dual(kOpBIT).Src(I, 7).Dst(S, 0, "0200"), "BIT  @R7,0x0200", "B7A0 027E"},
    {Sel().Dual(kOpBIC).Src(P, 8).Dst(R, 9).Byte(), "BIC.B  @R8+,R9", "C879"},
    // The symbolic destination counts from its word, after the source's.
    {Sel().Dual(kOpDADD).Src(A, 0, "0202").Dst(S, 0, "0204"), "DADD  &0x0202,0x0204",
     "A290 0202 0280"},
    {Sel().Single(kOpRRC).Dst(X, 5, "0010").Byte(), "RRC.B  0x0010(R5)", "1055 0010"},
    {Sel().Single(kOpSWPB).Dst(R, 6).Byte(), "SWPB  R6", "1086"},  // no byte form
    {Sel().Single(kOpRRA).Dst(A, 0, "0200"), "RRA  &0x0200", "1112 0200"},
    {Sel().Single(kOpSXT).Dst(S, 0, "0200"), "SXT  0x0200", "1190 027E"},
    {Sel().Single(kOpPUSH).Src(N, 0, "1234").Byte(), "PUSH.B  #0x1234", "1270 1234"},
    {Sel().Single(kOpCALL).Src(N, 0, "FF92").Byte(), "CALL  #0xFF92", "12B0 FF92"},
    {Sel().Single(kOpRETI), "RETI", "1300"},
    {Sel().Jump(kJumpNE, -2.0f), "JNE  -2", "23FE"},
    {Sel().Jump(kJumpMP, -512.0f), "JMP  -512", "3E00"},
    {Sel().Jump(kJumpNC, 511.0f), "JLO  511", "29FF"},
    {Sel().Emulated(kOpNOP).Byte(), "NOP", "4303"},
    {Sel().Emulated(kOpRET).Byte(), "RET", "4130"},
    {Sel().Emulated(kOpDEC).Dst(A, 0, "0200").Byte(), "DEC.B  &0x0200", "83D2 0200"},
    {Sel().Emulated(kOpINC).Dst(A, 0, "0010"), "INC  &0x0010", "5392 0010"},
    {Sel().Emulated(kOpPOP).Dst(R, 4), "POP  R4", "4134"},
    {Sel().Emulated(kOpRLC).Dst(X, 6, "0004"), "RLC  0x0004(R6)", "6696 0004"},
    {Sel().Emulated(kOpRLA).Dst(R, 5), "RLA  R5", "5505"},
    {Sel().Emulated(kOpCLR).Dst(R, 4), "CLR  R4", "4304"},
    {Sel().Emulated(kOpTST).Dst(R, 4).Byte(), "TST.B  R4", "9344"},
    // An operand that needs a word always gets four digits, whatever was typed.
    {Sel().Dual(kOpMOV).Src(N, 0, "280").Dst(R, 5), "MOV  #0x280,R5", "4035 0280"},
    {Sel().Dual(kOpMOV).Src(X, 4, "").Dst(R, 5), "MOV  0x(R4),R5", "4415 0000"},
};

TEST(AssembleTest, TextsAndWords) {
  std::unique_ptr<Simulator> s = NewSimulator();
  for (const auto& c : kCases) {
    s->selection = c.sel.s;
    AssembleSelected(s.get());
    const AssembledInstruction& out = s->assembled;
    std::string words = std::string(out.word) + (*out.extension1 ? " " : "") + out.extension1 +
                        (*out.extension2 ? " " : "") + out.extension2;
    EXPECT_EQ(std::string(c.text) + " " + c.words, std::string(out.text) + " " + words);
    EXPECT_EQ(16u, strlen(out.bits));
    EXPECT_EQ(strtoul(c.words, nullptr, 16), strtoul(out.bits, nullptr, 2)) << c.text;
  }
}

TEST(AssembleTest, NoInstructionKeepsTextAndBitsAndRewritesTheWord) {
  AssembledInstruction out = {"RETI", "0001001100000000", "xxxx", "1234", "5678"};
  Assemble(kFormatNone, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, "", "", 1, "", "", out.text, out.bits,
           out.word, out.extension1, out.extension2);
  EXPECT_EQ("RETI 1300 ",
            std::string(out.text) + " " + out.word + " " + out.extension1 + out.extension2);
}

TEST(SaveTest, WordsLandAtTheSelectedRowAndAbove) {
  std::unique_ptr<Simulator> s = NewSimulator();
  const struct {
    int32_t row;
    const char* words[3];
    const char* expected;
  } cases[] = {
      {10, {"4031", "0280", "1234"}, "@FFEA=4031 @FFEC=0280 @FFEE=1234 @FFF0=FFFF"},
      {20, {"4303", "", ""}, "@FFD6=4303 @FFD8=FFFF"},         // empty texts write nothing
      {1, {"4031", "0280", "1234"}, "@FFFC=4031 @FFFE=0280"},  // the second is dropped
      {0, {"12B0", "FF92", ""}, "@FFFE=12B0 @FFFC=4031"},      // the first is dropped
  };
  for (const auto& c : cases) {
    Save(c.words[0], c.words[1], c.words[2], &c.row, s->machine.rom);
    EXPECT_EQ(c.expected, Get(&s->machine, c.expected));
  }
}

}  // namespace
