// Disassemble: words at PC decoded into selector indices and operand texts.
// How each operand form decodes is proven by the round trip through the
// assembler; here: the fields a word leaves alone, emulated look-alikes,
// undecodable words and reads outside program memory.
#include <gtest/gtest.h>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

// The decoded fields in one line; a field the word did not write shows "-".
std::string Decoded(const DecodedInstruction& d) {
  if (d.format == kFormatNone) return d.resetRequest ? "invalid" : "none without a reset";
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

TEST(DisassembleTest, Words) {
  const struct {
    const char* name;
    unsigned pc, words[3];
    const char* decoded;
  } cases[] = {
      {"MOV #0x0280,SP", 0xFF80, {0x4031, 0x0280}, "f0 op0 s6/-/0x0280 d0/1/- w1"},
      {"DEC R5", 0xFF80, {0x8315}, "f3 op0/4 s6/-/0x0001 d0/5/- w1"},
      {"NOP", 0xFF80, {0x4303}, "f3 op2/0 s-/-/- d-/-/- w1"},
      {"RET", 0xFF80, {0x4130}, "f3 op4/0 s-/-/- d-/-/- w1"},
      {"CLR 0x0002(R3) is no NOP", 0xFF80, {0x4383, 0x0002}, "f3 op7/0 s6/-/0x0000 d1/3/0x0002 w1"},
      {"CALL #0xFF92", 0xFF80, {0x12B0, 0xFF92}, "f1 op5 s6/-/0xFF92 d-/-/- w1"},
      {"RETI", 0xFF80, {0x1300}, "f1 op6 s0/0/- d0/0/- w1"},
      {"Format II 111 decodes, runs as nothing", 0xFF80, {0x1384}, "f1 op7 s0/4/- d0/4/- w1"},
      {"erased memory is AND.B @R15+,Y(R15)",
       0xFF80,
       {0xFFFF, 0xFFFF},
       "f0 op11 s5/15/- d1/15/0xFFFF w0"},
      {"immediate beyond 0xFFFE reads 0", 0xFFFE, {0x4034}, "f0 op0 s6/-/0x0000 d0/4/- w1"},
      {"JNE -2 (the width is left alone)", 0xFF80, {0x23FE}, "jump 0 -2 w9"},
      {"JMP -512", 0xFF80, {0x3E00}, "jump 7 -512 w9"},
      {"0x0000", 0xFF80, {0x0000}, "invalid"},
      {"0x0FFF", 0xFF80, {0x0FFF}, "invalid"},
      {"0x1400", 0xFF80, {0x1400}, "invalid"},
      {"0x1FFF", 0xFF80, {0x1FFF}, "invalid"},
      {"RETI.B", 0xFF80, {0x1340}, "invalid"},
      {"SWPB.B", 0xFF80, {0x10C4}, "invalid"},
      {"SXT.B", 0xFF80, {0x11C4}, "invalid"},
      {"CALL.B", 0xFF80, {0x12C4}, "invalid"},
      {"RRC @R4", 0xFF80, {0x1024}, "invalid"},
      {"SWPB @R4+", 0xFF80, {0x10B4}, "invalid"},
      {"RRC of a constant", 0xFF80, {0x1003}, "invalid"},
      {"PC below program memory reads 0", 0xFF7E, {}, "invalid"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<Simulator> s = NewSimulator();
    for (int i = 0; i < 3 && c.pc + 2 * i <= 0xFFFE && c.pc >= 0xFF80; ++i) {
      SetWord(&s->machine, c.pc + 2 * i, c.words[i]);
    }
    SetReg(&s->machine, 0, c.pc);
    DecodedInstruction& d = s->decoded;
    d = {77, 77, 77, 77, 77, 77, 77, 77, 77, 99.0f, "-", "-", 5, 9};
    DisassembleAtPC(&s->machine, &d);
    EXPECT_EQ(c.decoded, Decoded(d));
    EXPECT_EQ(c.decoded == std::string("invalid") ? 1 : 0, d.resetRequest);
  }
}

}  // namespace
