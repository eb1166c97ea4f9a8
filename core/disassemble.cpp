// Disassemble: the FETCH/DECODE step. The word at PC is split into its
// fields and handed back as selector indices and "0x%04X" operand texts.
//
//   bits 15..13 = 001          jump: condition 12..10, signed offset 9..0
//   bits 15..12 = 0100..1111   double operand: opcode, S-reg, Ad, B/W, As, D-reg
//   bits 15..10 = 000100       single operand: op 9..7, B/W, As, register
//   anything else              undecodable: format 4 and a reset request
//
// Nine emulated instructions are recognised by their double-operand
// encodings (DEC = SUB #1, NOP = MOV #0,R3, RET = MOV @SP+,PC, ...).
#include "core/mycode.h"
#include "core/mycode_internal.h"

using namespace core_detail;

namespace {

// Instruction and extension words come from program memory only.
uint32_t rom_word(const MemoryRow* rom, uint32_t address) {
  if (address < 0xFF80 || address > 0xFFFE) return 0;
  return ReadWord(nullptr, rom, nullptr, address, kRadixHex);
}

struct Operand {
  uint32_t mode;
  bool writesRegister;
  bool writesText;
  uint32_t text;
  bool extension;  // occupies an extension word
};

Operand decode_source(uint32_t as, uint32_t reg, uint32_t pc, const MemoryRow* rom) {
  // R2 and R3 in their indirect forms are the constant generator.
  for (const ConstantGenerator& c : kConstantGenerators) {
    if (c.reg == reg && c.as == as) return {kModeImmediate, false, true, c.value, false};
  }
  uint32_t x = rom_word(rom, pc + 2);
  switch (as) {
    case 0:
      return {kModeRegister, true, false, 0, false};
    case 1:
      if (reg == 0) return {kModeSymbolic, false, true, (x + pc + 2) & 0xFFFF, true};
      if (reg == 2) return {kModeAbsolute, false, true, x, true};
      return {kModeIndexed, true, true, x, true};
    case 2:
      return {kModeIndirect, true, false, 0, false};
    default:
      if (reg == 0) return {kModeImmediate, false, true, x, true};
      return {kModeAutoincrement, true, false, 0, false};
  }
}

// `yAddress`: where the destination's extension word lies.
Operand decode_destination(uint32_t ad, uint32_t reg, uint32_t yAddress, const MemoryRow* rom) {
  if (ad == 0) return {kModeRegister, true, false, 0, false};
  uint32_t y = rom_word(rom, yAddress);
  // A symbolic operand is relative to its own extension word.
  if (reg == 0) return {kModeSymbolic, false, true, (y + yAddress) & 0xFFFF, true};
  if (reg == 2) return {kModeAbsolute, false, true, y, true};
  return {kModeIndexed, true, true, y, true};
}

// The panel's decoded-instruction fields, all present.
struct Outputs {
  uint32_t* format;
  uint32_t* dualOperation;
  uint32_t* singleOperation;
  uint32_t* jumpOperation;
  uint32_t* emulatedOperation;
  uint32_t* sourceMode;
  uint32_t* sourceRegister;
  uint32_t* destinationMode;
  uint32_t* destinationRegister;
  float* pcOffset;
  char* sourceText;
  char* destinationText;
  uint8_t* resetRequest;
  uint8_t* wordFlag;
};

// The fields of a Format I or II word.
struct Fields {
  uint32_t sourceRegister;
  uint32_t destinationRegister;
  uint32_t as;
  uint32_t ad;
  bool byte;
};

Fields fields_of(uint32_t w) {
  return {(w >> 8) & 0xF, w & 0xF, (w >> 4) & 3, (w >> 7) & 1, (w & 0x40) != 0};
}

void report_invalid(const Outputs& out) {
  *out.format = kFormatNone;
  *out.resetRequest = 1;
}

void write_source(const Outputs& out, const Operand& o, uint32_t reg) {
  *out.sourceMode = o.mode;
  if (o.writesRegister) *out.sourceRegister = reg;
  if (o.writesText) WriteHexPrefixed(out.sourceText, o.text);
}

void write_destination(const Outputs& out, const Operand& o, uint32_t reg) {
  *out.destinationMode = o.mode;
  if (o.writesRegister) *out.destinationRegister = reg;
  if (o.writesText) WriteHexPrefixed(out.destinationText, o.text);
}

// 001 condition(3) offset(10): the offset is a signed number of words.
void decode_jump(const Outputs& out, uint32_t w) {
  *out.format = kFormatJump;
  *out.jumpOperation = (w >> 10) & 7;
  int32_t offset = static_cast<int32_t>(w & 0x3FF);
  if (offset & 0x200) offset -= 1024;
  *out.pcOffset = static_cast<float>(offset);
}

const uint32_t kNotEmulated = kEmulatedOperationCount;

// The emulated instruction a Format I word stands for, tested in this order,
// or kNotEmulated. NOP and RET are register forms (MOV #0,R3 and MOV
// @SP+,PC); with Ad = 1 the same fields name a memory destination: CLR
// 0x..(R3), POP 0x.... .
uint32_t emulated_form(uint32_t op, const Fields& f) {
  const uint32_t s = f.sourceRegister;
  const uint32_t d = f.destinationRegister;
  const bool rotate = s == d && ((f.as == 0 && f.ad == 0) || (f.as == 1 && f.ad == 1));
  if (op == kOpSUB && s == 3 && f.as == 1) return kOpDEC;
  if (op == kOpADD && s == 3 && f.as == 1) return kOpINC;
  if (op == kOpMOV && s == 3 && f.as == 0 && d == 3 && f.ad == 0) return kOpNOP;
  if (op == kOpMOV && s == 1 && f.as == 3) return (d == 0 && f.ad == 0) ? kOpRET : kOpPOP;
  if (op == kOpMOV && s == 3 && f.as == 0) return kOpCLR;
  if (op == kOpCMP && s == 3 && f.as == 0) return kOpTST;
  if (op == kOpADDC && rotate) return kOpRLC;
  if (op == kOpADD && rotate) return kOpRLA;
  return kNotEmulated;
}

// opcode(4) S-reg(4) Ad B/W As(2) D-reg(4), opcode 0100..1111.
void decode_format_i(const Outputs& out, uint32_t w, uint32_t pc, const MemoryRow* rom) {
  const Fields f = fields_of(w);
  const uint32_t op = (w >> 12) - 4;
  const uint32_t emulated = emulated_form(op, f);
  // The operation is set before the emulated forms are looked at, so that
  // NOP and RET, which end the decoding at once, leave no operation of an
  // earlier word behind.
  *out.dualOperation = op;
  *out.format = emulated == kNotEmulated ? kFormatDoubleOperand : kFormatEmulated;
  if (emulated != kNotEmulated) *out.emulatedOperation = emulated;
  if (emulated == kOpNOP || emulated == kOpRET) return;

  Operand source = decode_source(f.as, f.sourceRegister, pc, rom);
  write_source(out, source, f.sourceRegister);
  // RLC and RLA name one operand twice; it has a single extension word.
  bool oneWord = emulated == kOpRLC || emulated == kOpRLA;
  uint32_t yAddress = (source.extension && !oneWord) ? pc + 4 : pc + 2;
  write_destination(out, decode_destination(f.ad, f.destinationRegister, yAddress, rom),
                    f.destinationRegister);
}

// 000100 op(3) B/W As(2) register(4).
void decode_format_ii(const Outputs& out, uint32_t w, uint32_t pc, const MemoryRow* rom) {
  const Fields f = fields_of(w);
  const uint32_t op = (w >> 7) & 7;
  if (f.byte && (op == kOpSWPB || op == kOpSXT || op == kOpCALL || op == kOpRETI)) {
    report_invalid(out);
    return;
  }
  const uint32_t reg = f.destinationRegister;
  Operand operand = decode_source(f.as, reg, pc, rom);
  const bool fromSource = op == kOpPUSH || op == kOpCALL;
  // The others present their operand through the destination selectors,
  // which offer Register, Indexed, Symbolic and Absolute only: indirect
  // forms and constant-generator operands cannot be shown there.
  if (!fromSource && (f.as >= 2 || operand.mode == kModeImmediate)) {
    report_invalid(out);
    return;
  }
  *out.format = kFormatSingleOperand;
  *out.singleOperation = op;
  write_source(out, operand, reg);
  if (!fromSource) write_destination(out, operand, reg);
}

}  // namespace

void Disassemble(const char* pcText, const MemoryRow* rom, uint32_t* format,
                 uint32_t* dualOperation, uint32_t* singleOperation, uint32_t* jumpOperation,
                 uint32_t* emulatedOperation, uint32_t* sourceMode, uint32_t* sourceRegister,
                 uint32_t* destinationMode, uint32_t* destinationRegister, float* pcOffset,
                 char* sourceText, char* destinationText, uint8_t* resetRequest,
                 uint8_t* wordFlag) {
  if (resetRequest != nullptr) *resetRequest = 0;
  const Outputs out = {format,         dualOperation,     singleOperation,
                       jumpOperation,  emulatedOperation, sourceMode,
                       sourceRegister, destinationMode,   destinationRegister,
                       pcOffset,       sourceText,        destinationText,
                       resetRequest,   wordFlag};
  if (format == nullptr || dualOperation == nullptr || singleOperation == nullptr ||
      jumpOperation == nullptr || emulatedOperation == nullptr || sourceMode == nullptr ||
      sourceRegister == nullptr || destinationMode == nullptr || destinationRegister == nullptr ||
      pcOffset == nullptr || sourceText == nullptr || destinationText == nullptr ||
      resetRequest == nullptr || wordFlag == nullptr) {
    return;
  }
  if (pcText == nullptr || rom == nullptr) return;
  if (!Terminated(pcText, kTextCellSize) || !RowsTerminated(rom)) return;

  const uint32_t pc = ParseHex(pcText, kTextCellSize) & 0xFFFF;
  const uint32_t w = rom_word(rom, pc);
  if ((w >> 13) == 1) {
    decode_jump(out, w);  // the decoded word flag keeps its value
    return;
  }
  *wordFlag = (w & 0x40) ? 0 : 1;
  if ((w >> 14) != 0) {
    decode_format_i(out, w, pc, rom);
  } else if ((w >> 10) == 0x04) {
    decode_format_ii(out, w, pc, rom);
  } else {
    report_invalid(out);  // 0x0000..0x0FFF and 0x1400..0x1FFF
  }
}
