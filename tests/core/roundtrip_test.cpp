// Assemble -> Save -> Disassemble over every operation, every addressing
// mode each operand allows, byte and word: the decoded selection assembles
// to the same text and words as the selection that was stored.
#include <gtest/gtest.h>

#include <vector>

#include "tests/core/core_test_util.h"

using namespace coretest;

namespace {

struct Operand {
  uint32_t mode;
  uint32_t reg;
  const char* text;
};

// Every source mode, the immediate both as each constant and as a word.
const Operand kSources[] = {
    {R, 4, ""},     {X, 4, "0012"}, {S, 0, "0200"}, {A, 0, "0204"}, {I, 4, ""},
    {P, 4, ""},     {N, 0, "1234"}, {N, 0, "0000"}, {N, 0, "0001"}, {N, 0, "0002"},
    {N, 0, "0004"}, {N, 0, "0008"}, {N, 0, "FFFF"},
};
const Operand kDestinations[] = {
    {R, 5, ""},
    {X, 5, "0034"},
    {S, 0, "0210"},
    {A, 0, "0214"},
};

std::vector<Sel> EveryInstruction() {
  std::vector<Sel> all;
  for (int byte = 0; byte < 2; ++byte) {
    auto add = [&](Sel sel) { all.push_back(byte ? sel.Byte() : sel); };
    for (const Operand& d : kDestinations) {
      for (uint32_t op = 0; op < kDualOperationCount; ++op) {
        for (const Operand& s : kSources) {
          // ADD and ADDC of one PC-relative or absolute operand to another
          // are RLA and RLC, which name one operand with one word.
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

// SUB #1 is DEC, ADD #1 INC, MOV #0 CLR, CMP #0 TST: the decoder names these
// by their emulated form, which encodes to the very same words.
bool EmulatedAlias(const InstructionSelection& s) {
  if (s.format != kFormatDoubleOperand || s.sourceMode != N) return false;
  unsigned value = static_cast<unsigned>(strtoul(s.sourceText, nullptr, 16));
  bool one = s.dualOperation == kOpSUB || s.dualOperation == kOpADD;
  bool zero = s.dualOperation == kOpMOV || s.dualOperation == kOpCMP;
  return (one && value == 1) || (zero && value == 0);
}

TEST(RoundTripTest, EveryInstructionDecodesToWhatWasAssembled) {
  const unsigned pc = 0xFF90;
  std::unique_ptr<Simulator> s = NewSimulator();
  for (const Sel& sel : EveryInstruction()) {
    SetReg(&s->machine, 0, pc);
    s->selection = sel.s;
    AssembleSelected(s.get());
    AssembledInstruction stored = s->assembled;
    SCOPED_TRACE(stored.text);
    int32_t row = static_cast<int32_t>((0xFFFE - pc) / 2);
    Save(stored.word, stored.extension1, stored.extension2, &row, s->machine.rom);

    ASSERT_TRUE(FetchDecode(s.get()));
    bool alias = EmulatedAlias(sel.s);
    EXPECT_EQ(alias ? static_cast<uint32_t>(kFormatEmulated) : sel.s.format, s->selection.format);
    if (!alias) {
      EXPECT_STREQ(stored.text, s->assembled.text);
    }
    EXPECT_STREQ(stored.word, s->assembled.word);
    EXPECT_STREQ(stored.extension1, s->assembled.extension1);
    EXPECT_STREQ(stored.extension2, s->assembled.extension2);
  }
}

}  // namespace
