// Execute: results and flags on boundary operands, PC stepping over
// extension words, where loads and stores land, the stack, jumps.
#include <gtest/gtest.h>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

// One instruction: the values set first, the selection run as the panel runs
// it, the values expected afterwards (named as Set and Get name them).
struct Step {
  const char* name;
  const char* set;
  Sel sel;
  const char* expected;
};

class ExecuteTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetMachine(m, nullptr, nullptr); }  // PC = FF80
  void Check(const Step& step) {
    SCOPED_TRACE(step.name);
    Set(m, step.set);
    ExecuteClick(s.get(), step.sel);
    EXPECT_EQ(step.expected, Get(m, step.expected));
  }
  std::unique_ptr<Simulator> s = NewSimulator();
  MachineState* m = &s->machine;
};

Sel Pair(uint32_t op) {
  return Sel().Dual(op).Src(R, 5).Dst(R, 4);
}
Sel OnR4(Sel sel) {
  return sel.Dst(R, 4);
}
Sel Imm(uint32_t op, const char* value) {
  return Sel().Dual(op).Src(N, 0, value);
}
Sel Abs(uint32_t op, const char* address) {
  return Sel().Dual(op).Src(A, 0, address);
}

// R4 := R4 op R5, with SR 0000 (its bit 0 is the carry in) unless set, and
// the flags at 1111 before, so that a rule that leaves them alone shows.
const Step kFlagSteps[] = {
    {"ADD 0xFFFF+1 wraps to zero with carry", "R4=FFFF R5=0001", Pair(kOpADD), "R4=0000 vnzc=0011"},
    {"ADD 0x7FFF+1 overflows into the sign", "R4=7FFF R5=0001", Pair(kOpADD), "R4=8000 vnzc=1100"},
    {"ADD 0x8000+0x8000 overflows to zero", "R4=8000 R5=8000", Pair(kOpADD), "R4=0000 vnzc=1011"},
    {"ADD.B 7F+1: N V C stay 0", "R4=007F R5=0001", Pair(kOpADD).Byte(), "R4=0080 vnzc=0000"},
    {"ADDC adds the carry of SR", "R4=FFFE R5=0001 R2=0001", Pair(kOpADDC), "R4=0000 vnzc=0011"},
    {"SUB 8000-1: no V", "R4=8000 R5=0001", Pair(kOpSUB), "R4=7FFF vnzc=0000"},
    {"SUBC adds the carry back", "R4=0007 R5=0005 R2=0001", Pair(kOpSUBC), "R4=0003 vnzc=0000"},
    {"CMP 3 with 5 borrows", "R4=0003 R5=0005", Pair(kOpCMP), "R4=0003 vnzc=1101"},
    {"CMP equal", "R4=0005 R5=0005", Pair(kOpCMP), "R4=0005 vnzc=0010"},
    {"CMP.B: unmasked", "R4=0003 R5=0005", Pair(kOpCMP).Byte(), "R4=0003 vnzc=1101"},
    {"AND nonzero sets C", "R4=00FF R5=0F0F", Pair(kOpAND), "R4=000F vnzc=0001"},
    {"BIT leaves the destination", "R4=8FFF R5=8F00", Pair(kOpBIT), "R4=8FFF vnzc=0101"},
    {"XOR of two negatives sets V", "R4=8000 R5=FFFF", Pair(kOpXOR), "R4=7FFF vnzc=1001"},
    {"XOR with one negative operand: no V", "R4=8000 R5=0001", Pair(kOpXOR), "R4=8001 vnzc=0101"},
    {"MOV leaves the flags", "R4=0000 R5=1234", Pair(kOpMOV), "R4=1234 vnzc=1111"},
    {"BIC leaves the flags", "R4=0FFF R5=00F0", Pair(kOpBIC), "R4=0F0F vnzc=1111"},
    {"DADD 9999+1 carries to zero", "R4=9999 R5=0001", Pair(kOpDADD), "R4=0000 vnzc=0011"},
    {"DADD 0+0: Z only for a sum of 10000", "R4=0000 R5=0000", Pair(kOpDADD), "R4=0000 vnzc=0000"},
    {"DADD 4500+4000 reads as negative", "R4=4500 R5=4000", Pair(kOpDADD), "R4=8500 vnzc=0100"},
    {"DADD 9999+9999", "R4=9999 R5=9999", Pair(kOpDADD), "R4=9998 vnzc=0101"},
    {"DADD 9998+1 stays below the carry", "R4=9998 R5=0001", Pair(kOpDADD), "R4=9999 vnzc=0100"},
    {"RRC shifts bit 0 into C", "R4=0001", OnR4(Sel().Single(kOpRRC)), "R4=0000 vnzc=0011"},
    {"RRC shifts C in", "R4=0002 R2=0001", OnR4(Sel().Single(kOpRRC)), "R4=8001 vnzc=0100"},
    {"RRC.B drops C in", "R4=0003 R2=0001", OnR4(Sel().Single(kOpRRC)).Byte(), "R4=0001 vnzc=0001"},
    {"RRA keeps the sign", "R4=8001", OnR4(Sel().Single(kOpRRA)), "R4=C000 vnzc=0101"},
    {"SXT of 0x80", "R4=0080", OnR4(Sel().Single(kOpSXT)), "R4=FF80 vnzc=0101"},
    {"SWPB leaves the flags", "R4=12AB", OnR4(Sel().Single(kOpSWPB)), "R4=AB12 vnzc=1111"},
    {"DEC 1 to 0: no borrow", "R4=0001", OnR4(Sel().Emulated(kOpDEC)), "R4=0000 vnzc=0010"},
    {"DEC 0 borrows and overflows", "R4=0000", OnR4(Sel().Emulated(kOpDEC)), "R4=FFFF vnzc=1101"},
    {"TST of a negative", "R4=8000", OnR4(Sel().Emulated(kOpTST)), "R4=8000 vnzc=0100"},
    {"CLR leaves the flags", "R4=8000", OnR4(Sel().Emulated(kOpCLR)), "R4=0000 vnzc=1111"},
    {"RLC: 2x + C", "R4=8001 R2=0001", OnR4(Sel().Emulated(kOpRLC).Src(R, 4)), "R4=0003 vnzc=1001"},
    {"RLA", "R4=4001", OnR4(Sel().Emulated(kOpRLA).Src(R, 4)), "R4=8002 vnzc=1100"},
    // SR keeps its other low bits through the rebuild, masked with 0x1FF.
    {"SR rebuilt from the flags", "R2=00F8 R4=7FFF", Imm(kOpADD, "0001").Dst(R, 4), "R2=01FC"},
    {"a MOV into SR loads the flag bytes", "R5=0000", Pair(kOpMOV).Dst(R, 2), "R2=0000 vnzc=0000"},
};

TEST_F(ExecuteTest, FlagRulesOnBoundaryOperands) {
  for (const Step& step : kFlagSteps) {
    Set(m, "R2=0000 vnzc=1111");
    Check(step);
  }
}

TEST_F(ExecuteTest, PCStepsOverEachExtensionWord) {
  const Step steps[] = {
      {"an immediate word", "R0=FF80", Imm(kOpMOV, "1234").Dst(R, 5), "R0=FF84 R5=1234"},
      {"3 is no constant", "R0=FF80", Imm(kOpMOV, "0003").Dst(R, 5), "R0=FF84 R5=0003"},
      {"two words", "R0=FF80", Sel().Dual(kOpADD).Src(X, 6, "0010").Dst(A, 0, "0200"), "R0=FF86"},
      {"@R4+ and an index", "R0=FF80", Sel().Dual(kOpMOV).Src(P, 4).Dst(X, 5, "0002"), "R0=FF84"},
      {"RLA &a: one word", "R0=FF80", Sel().Emulated(kOpRLA).Src(A, 0, "0200").Dst(A, 0, "0200"),
       "R0=FF84"},
      {"RRC of a symbolic operand", "R0=FF80", Sel().Single(kOpRRC).Dst(S, 0, "0200"), "R0=FF84"},
      {"Format II 111 runs as no operation", "R0=FF80", Sel().Single(kOpSingleUnused), "R0=FF82"},
  };
  for (const Step& step : steps) Check(step);
  // The constant generator supplies 0, 1, 2, 4, 8 and -1 without a word.
  for (const char* constant : {"0000", "0001", "0002", "0004", "0008", "FFFF"}) {
    Check({constant, "R0=FF80", Imm(kOpMOV, constant).Dst(R, 5),
           (std::string("R0=FF82 R5=") + constant).c_str()});
  }
}

TEST_F(ExecuteTest, MemoryAndPorts) {
  const Step steps[] = {
      {"X(R6) to &a", "@0200=1111 @0210=2222 R6=0200",
       Sel().Dual(kOpADD).Src(X, 6, "0010").Dst(A, 0, "0200"), "@0200=3333"},
      {"a byte store", "@0200=12FF", Imm(kOpADD, "0001").Dst(A, 0, "0200").Byte(),
       "@0200=1200 vnzc=0010"},
      {"odd: high byte", "", Imm(kOpMOV, "00AB").Dst(A, 0, "0201").Byte(), "@0200=AB00"},
      {"027F: top byte", "", Imm(kOpMOV, "00CD").Dst(A, 0, "027F").Byte(), "@027E=CD00"},
      {"@R4+ by a byte", "R4=0200", Sel().Dual(kOpMOV).Src(P, 4).Dst(R, 6).Byte(),
       "R4=0201 R6=0000"},
      {"autoincrement by a word", "", Sel().Dual(kOpMOV).Src(P, 4).Dst(R, 6), "R4=0203 R6=AB00"},
      {"SP stays even", "R1=0200", Sel().Dual(kOpMOV).Src(P, 1).Dst(R, 6).Byte(), "R1=0200"},
      {"a port takes the low byte", "", Imm(kOpMOV, "12A5").Dst(A, 0, "0021"), "P1OUT=0xA5"},
      {"a port word: P1IN low, P1OUT high", "", Abs(kOpMOV, "0020").Dst(R, 7), "R7=A500"},
      {"DADD.B to the odd byte", "R5=0012 @0200=0000", Pair(kOpDADD).Dst(A, 0, "0201").Byte(),
       "@0200=1200"},
      {"DADD 150 to a port: 50", "R5=0150", Pair(kOpDADD).Dst(A, 0, "0021"), "P1OUT=0x50"},
      {"program memory takes no writes", "", Imm(kOpMOV, "1234").Dst(A, 0, "FF80"), "@FF80=4031"},
      {"unmapped addresses read 0", "R7=5555", Abs(kOpMOV, "1000").Dst(R, 7), "R7=0000"},
  };
  for (const Step& step : steps) Check(step);
  // An address text shorter than its "0x" (the panel starts with an empty
  // one) means address 0, not what lies behind its terminator.
  Set(m, "R7=5555");
  Execute(kFormatDoubleOperand, kOpMOV, 0, 0, 0, A, 0, R, 7, 0.0f, "0200", m->registers, m->ram,
          m->rom, 1, "", "0", m->ports, m->registers, m->highlight, m->ram, &m->ramMarker,
          &m->ramMarkerOn, &m->romMarker, &m->romMarkerOn, m->statusFlags, m->ports);
  EXPECT_EQ("0000", Reg(m, 7));
}

TEST_F(ExecuteTest, StackAndHighlightColours) {
  const Step steps[] = {
      {"PUSH", "R1=0280 R5=A1B2", Sel().Single(kOpPUSH).Src(R, 5), "R1=027E @027E=A1B2 ram=0"},
      {"PUSH.B", "", Sel().Single(kOpPUSH).Src(R, 5).Byte(), "R1=027C @027C=00B2"},
      {"CALL", "R0=FF88", Sel().Single(kOpCALL).Src(N, 0, "FF92"),
       "R0=FF92 R1=027A @027A=FF8C rom=54"},
      {"POP", "", Sel().Emulated(kOpPOP).Dst(R, 4), "R4=FF8C R1=027C"},
      {"POP.B", "", Sel().Emulated(kOpPOP).Dst(A, 0, "0200").Byte(), "@0200=00B2 R1=027E"},
      {"RET, SP outside", "R1=0280", Sel().Emulated(kOpRET), "R0=0000 R1=0282 ram=64 rom=64"},
      {"ADD of two registers", "R4=0001 R5=0002", Pair(kOpADD), "R4=0003"},
  };
  for (const Step& step : steps) Check(step);
  const int32_t colours[kRegisterCount] = {2, 6, 11, 6, 11, 61, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6};
  EXPECT_EQ(0, memcmp(colours, m->highlight, sizeof colours));
}

TEST_F(ExecuteTest, JumpConditions) {
  const struct {
    const char* vnzc;
    const char* taken; /* JNE..JMP */
  } cases[] = {
      {"0000", "10100101"}, {"0011", "01010101"}, {"1000", "10100011"},
      {"1100", "10101101"}, {"0100", "10101011"},
  };
  for (const auto& c : cases) {
    for (uint32_t condition = 0; condition < 8; ++condition) {
      Set(m, std::string("R0=FF98 vnzc=") + c.vnzc);
      ExecuteClick(s.get(), Sel().Jump(condition, -2.0f));
      EXPECT_EQ(c.taken[condition] == '1' ? "FF96" : "FF9A", Reg(m, 0)) << c.taken << condition;
    }
  }
}

TEST_F(ExecuteTest, JumpWrapsAndTruncatesAndNoInstructionDoesNothing) {
  Check({"from the top of memory", "R0=FFFE", Sel().Jump(kJumpMP, 511.0f), "R0=03FE"});
  Check({"toward zero: -1", "R0=FF80", Sel().Jump(kJumpMP, -1.9f), "R0=FF80"});
  std::unique_ptr<Simulator> before = NewSimulator();
  before->machine = *m;
  ExecuteClick(s.get(), Sel().Format(kFormatNone));  // every text stays, PC included
  EXPECT_EQ(0, memcmp(&before->machine, m, sizeof *m));
}

}  // namespace
