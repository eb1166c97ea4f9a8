// Assemble, Save, Disassemble, and the round trip through all three over every instruction form.
#include <gtest/gtest.h>

#include <vector>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

// PC stands at 0xFF80 for every case (symbolic offsets count from there).
const struct {
  Sel sel;
  const char *text, *words;
} kCases[] = {
    {Sel().Dual(kOpMOV).Src(R, 4).Dst(A, 0, "0200").Byte(), "MOV.B  R4,&0x0200", "44C2 0200"},
    {Sel().Dual(kOpADD).Src(N, 0, "FFFF").Dst(R, 5), "ADD  #-1,R5", "5335"},
    {Sel().Dual(kOpSUB).Src(N, 0, "0004").Dst(R, 5), "SUB  #4,R5", "8225"},
    {Sel().Dual(kOpADDC).Src(X, 4, "0002").Dst(X, 5, "0004"), "ADDC  0x0002(R4),0x0004(R5)",
     "6495 0002 0004"},
    {Sel().Dual(kOpBIT).Src(I, 7).Dst(S, 0, "0200"), "BIT  @R7,0x0200", "B7A0 027E"},
    {Sel().Dual(kOpBIC).Src(P, 8).Dst(R, 9).Byte(), "BIC.B  @R8+,R9", "C879"},
    // The symbolic destination counts from its word, after the source's.
    {Sel().Dual(kOpDADD).Src(A, 0, "0202").Dst(S, 0, "0204"), "DADD  &0x0202,0x0204",
     "A290 0202 0280"},
    {Sel().Single(kOpRRC).Dst(X, 5, "0010").Byte(), "RRC.B  0x0010(R5)", "1055 0010"},
    {Sel().Single(kOpSWPB).Dst(R, 6).Byte(), "SWPB  R6", "1086"},  // no byte form
    {Sel().Single(kOpPUSH).Src(N, 0, "1234").Byte(), "PUSH.B  #0x1234", "1270 1234"},
    {Sel().Single(kOpCALL).Src(N, 0, "FF92").Byte(), "CALL  #0xFF92", "12B0 FF92"},
    {Sel().Single(kOpRETI), "RETI", "1300"},
    {Sel().Jump(kJumpMP, -512.0f), "JMP  -512", "3E00"},
    {Sel().Jump(kJumpNC, 511.0f), "JLO  511", "29FF"},
    {Sel().Emulated(kOpRET).Byte(), "RET", "4130"},
    {Sel().Emulated(kOpDEC).Dst(A, 0, "0200").Byte(), "DEC.B  &0x0200", "83D2 0200"},
    {Sel().Emulated(kOpRLC).Dst(X, 6, "0004"), "RLC  0x0004(R6)", "6696 0004"},
    {Sel().Emulated(kOpTST).Dst(R, 4).Byte(), "TST.B  R4", "9344"},
    // An operand that needs a word always gets four digits, whatever was typed.
    {Sel().Dual(kOpMOV).Src(N, 0, "280").Dst(R, 5), "MOV  #0x280,R5", "4035 0280"},
    {Sel().Dual(kOpMOV).Src(X, 4, "").Dst(R, 5), "MOV  0x(R4),R5", "4415 0000"},
};

// The machine word and the extension words, blank-separated.
std::string Words(const AssembledInstruction& a) {
  return std::string(a.word) + (*a.extension1 ? " " : "") + a.extension1 +
         (*a.extension2 ? " " : "") + a.extension2;
}

TEST(AssembleTest, TextsAndWords) {
  std::unique_ptr<Simulator> s = NewSimulator();
  for (const auto& c : kCases) {
    s->selection = c.sel.s;
    AssembleSelected(s.get());
    const AssembledInstruction& out = s->assembled;
    EXPECT_EQ(std::string(c.text) + " " + c.words, std::string(out.text) + " " + Words(out));
    EXPECT_EQ(16u, strlen(out.bits));
    EXPECT_EQ(strtoul(c.words, nullptr, 16), strtoul(out.bits, nullptr, 2)) << c.text;
  }
}

TEST(SaveTest, WordsLandAtTheSelectedRowAndAbove) {
  std::unique_ptr<Simulator> s = NewSimulator();
  // At rows 1 and 0 the words that would lie beyond the top are dropped.
  const std::pair<int32_t, const char*> cases[] = {
      {10, "@FFEA=4031 @FFEC=0280 @FFEE=1234 @FFF0=FFFF"},
      {1, "@FFFC=4031 @FFFE=0280"},
      {0, "@FFFE=4031 @FFFC=4031"}};
  for (const auto& [row, expected] : cases) {
    Save("4031", "0280", "1234", &row, s->machine.rom);
    EXPECT_EQ(expected, Get(&s->machine, expected));
  }
}

// The decoded fields in one line; a field the word did not write shows "-".
std::string Decoded(const DecodedInstruction& d) {
  if (d.format == kFormatNone || d.resetRequest) return d.resetRequest ? "invalid" : "none";
  auto field = [](uint32_t v) { return v == 77 ? std::string("-") : std::to_string(v); };
  char line[600];
  if (d.format == kFormatJump) {
    snprintf(line, sizeof line, "jump %s %g w%d", field(d.jumpOperation).c_str(),
             static_cast<double>(d.pcOffset), d.wordFlag);
    return line;
  }
  // An emulated instruction names the double-operand operation it runs as.
  std::string op = field(d.format == kFormatSingleOperand ? d.singleOperation : d.dualOperation);
  if (d.format == kFormatEmulated) op = field(d.emulatedOperation) + "/" + op;
  snprintf(line, sizeof line, "f%u op%s s%s/%s/%s d%s/%s/%s w%d", d.format, op.c_str(),
           field(d.sourceMode).c_str(), field(d.sourceRegister).c_str(), d.sourceText,
           field(d.destinationMode).c_str(), field(d.destinationRegister).c_str(),
           d.destinationText, d.wordFlag);
  return line;
}

// The words at `pc` decoded, with every field first set to 77 (shown as "-").
std::string Decode(unsigned pc, std::vector<unsigned> words) {
  std::unique_ptr<Simulator> s = NewSimulator();
  for (size_t i = 0; i < words.size(); ++i) SetWord(&s->machine, pc + 2 * i, words[i]);
  snprintf(s->machine.registers[0], kTextCellSize, "%04X", pc);
  s->decoded = {77, 77, 77, 77, 77, 77, 77, 77, 77, 99.0f, "-", "-", 5, 9};
  DisassembleAtPC(&s->machine, &s->decoded);
  return Decoded(s->decoded);
}

TEST(DisassembleTest, Words) {
  const struct {
    unsigned pc;
    std::vector<unsigned> words;
    const char* decoded;
  } cases[] = {
      {0xFF80, {0x8315}, "f3 op0/4 s6/-/0x0001 d0/5/- w1"},               // DEC R5
      {0xFF80, {0x4303}, "f3 op2/0 s-/-/- d-/-/- w1"},                    // NOP
      {0xFF80, {0x4383, 0x0002}, "f3 op7/0 s6/-/0x0000 d1/3/0x0002 w1"},  // CLR 2(R3), no NOP
      {0xFF80, {0x1300}, "f1 op6 s0/0/- d0/0/- w1"},                      // RETI
      {0xFF80, {0x1384}, "f1 op7 s0/4/- d0/4/- w1"},  // Format II 111 decodes, runs as nothing
      {0xFF80, {0xFFFF, 0xFFFF}, "f0 op11 s5/15/- d1/15/0xFFFF w0"},  // erased: AND.B @R15+,Y(R15)
      {0xFFFE, {0x4034}, "f0 op0 s6/-/0x0000 d0/4/- w1"},  // an immediate beyond 0xFFFE reads 0
      {0xFF80, {0x23FE}, "jump 0 -2 w9"},                  // JNE -2: the width is left alone
      {0xFF7E, {}, "invalid"},                             // PC below program memory reads 0
  };
  for (const auto& c : cases) EXPECT_EQ(c.decoded, Decode(c.pc, c.words)) << c.decoded;
  // 0x0FFF, 0x1400, RETI.B, SWPB.B, RRC @R4, SWPB @R4+, RRC of a constant
  for (unsigned word : {0x0FFF, 0x1400, 0x1340, 0x10C4, 0x1024, 0x10B4, 0x1003}) {
    EXPECT_EQ("invalid", Decode(0xFF80, {word})) << std::hex << word;
  }
}

struct Operand {
  uint32_t mode, reg;
  const char* text;
};

// Every source mode, the immediate both as each constant and as a word.
const Operand kSources[] = {
    {R, 4, ""},     {X, 4, "0012"}, {S, 0, "0200"}, {A, 0, "0204"}, {I, 4, ""},
    {P, 4, ""},     {N, 0, "1234"}, {N, 0, "0000"}, {N, 0, "0001"}, {N, 0, "0002"},
    {N, 0, "0004"}, {N, 0, "0008"}, {N, 0, "FFFF"},
};
const Operand kDestinations[] = {{R, 5, ""}, {X, 5, "0034"}, {S, 0, "0210"}, {A, 0, "0214"}};

std::vector<Sel> EveryInstruction() {
  std::vector<Sel> all;
  for (int byte = 0; byte < 2; ++byte) {
    auto add = [&](Sel sel) { all.push_back(byte ? sel.Byte() : sel); };
    for (const Operand& d : kDestinations) {
      for (uint32_t op = 0; op < kDualOperationCount; ++op) {
        for (const Operand& s : kSources) {
          // ADD(C) of one symbolic or absolute operand to another is RLA (RLC).
          bool rotate =
              (op == kOpADD || op == kOpADDC) && s.mode == d.mode && (s.mode == S || s.mode == A);
          if (!rotate) add(Sel().Dual(op).Src(s.mode, s.reg, s.text).Dst(d.mode, d.reg, d.text));
        }
      }
      for (uint32_t op = kOpRRC; op <= kOpSXT; ++op)
        add(Sel().Single(op).Dst(d.mode, d.reg, d.text));
      for (uint32_t op = 0; op < kEmulatedOperationCount; ++op) {
        Sel sel = Sel().Emulated(op).Dst(d.mode, d.reg, d.text);
        if (op == kOpRLC || op == kOpRLA) sel.Src(d.mode, d.reg, d.text);  // as decoded
        add(sel);
      }
    }
    for (const Operand& s : kSources) {
      add(Sel().Single(kOpPUSH).Src(s.mode, s.reg, s.text));
      add(Sel().Single(kOpCALL).Src(s.mode, s.reg, s.text));
    }
  }
  all.push_back(Sel().Single(kOpRETI));
  for (uint32_t condition = 0; condition < kJumpOperationCount; ++condition) {
    for (float offset : {-512.0f, -100.0f, -1.0f, 0.0f, 1.0f, 77.0f, 511.0f}) {
      all.push_back(Sel().Jump(condition, offset));
    }
  }
  return all;
}

// SUB #1 is DEC, ADD #1 INC, MOV #0 CLR, CMP #0 TST: the decoder names their emulated form.
bool EmulatedAlias(const InstructionSelection& s) {
  if (s.format != kFormatDoubleOperand || s.sourceMode != N) return false;
  unsigned value = static_cast<unsigned>(strtoul(s.sourceText, nullptr, 16));
  bool one = s.dualOperation == kOpSUB || s.dualOperation == kOpADD;
  bool zero = s.dualOperation == kOpMOV || s.dualOperation == kOpCMP;
  return (one && value == 1) || (zero && value == 0);
}

TEST(RoundTripTest, EveryInstructionDecodesToWhatWasAssembled) {
  std::unique_ptr<Simulator> s = NewSimulator();
  for (const Sel& sel : EveryInstruction()) {
    Set(&s->machine, "R0=FF90");
    s->selection = sel.s;
    AssembleSelected(s.get());
    AssembledInstruction stored = s->assembled;
    SCOPED_TRACE(stored.text);
    int32_t row = (0xFFFE - 0xFF90) / 2;
    Save(stored.word, stored.extension1, stored.extension2, &row, s->machine.rom);

    ASSERT_TRUE(FetchDecode(s.get()));
    bool alias = EmulatedAlias(sel.s);
    EXPECT_EQ(alias ? static_cast<uint32_t>(kFormatEmulated) : sel.s.format, s->selection.format);
    if (!alias) {
      EXPECT_STREQ(stored.text, s->assembled.text);
    }
    EXPECT_EQ(Words(stored), Words(s->assembled));
  }
}

}  // namespace
