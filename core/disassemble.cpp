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
uint32_t RomWord(const MemoryRow* rom, uint32_t address) {
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

Operand DecodeSource(uint32_t as, uint32_t reg, uint32_t pc, const MemoryRow* rom) {
  // R2 and R3 in their indirect forms are the constant generator.
  for (const ConstantGenerator& c : kConstantGenerators) {
    if (c.reg == reg && c.as == as) return {kModeImmediate, false, true, c.value, false};
  }
  uint32_t x = RomWord(rom, pc + 2);
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
Operand DecodeDestination(uint32_t ad, uint32_t reg, uint32_t yAddress, const MemoryRow* rom) {
  if (ad == 0) return {kModeRegister, true, false, 0, false};
  uint32_t y = RomWord(rom, yAddress);
  // A symbolic operand is relative to its own extension word.
  if (reg == 0) return {kModeSymbolic, false, true, (y + yAddress) & 0xFFFF, true};
  if (reg == 2) return {kModeAbsolute, false, true, y, true};
  return {kModeIndexed, true, true, y, true};
}

}  // namespace

void Disassemble(const char* pcText, const MemoryRow* rom, uint32_t* format,
                 uint32_t* dualOperation, uint32_t* singleOperation, uint32_t* jumpOperation,
                 uint32_t* emulatedOperation, uint32_t* sourceMode, uint32_t* sourceRegister,
                 uint32_t* destinationMode, uint32_t* destinationRegister, float* pcOffset,
                 char* sourceText, char* destinationText, uint8_t* resetRequest,
                 uint8_t* wordFlag) {
  if (resetRequest != nullptr) *resetRequest = 0;
  if (format == nullptr || dualOperation == nullptr || singleOperation == nullptr ||
      jumpOperation == nullptr || emulatedOperation == nullptr || sourceMode == nullptr ||
      sourceRegister == nullptr || destinationMode == nullptr || destinationRegister == nullptr ||
      pcOffset == nullptr || sourceText == nullptr || destinationText == nullptr ||
      resetRequest == nullptr || wordFlag == nullptr) {
    return;
  }
  if (pcText == nullptr || rom == nullptr) return;
  if (!Terminated(pcText, kTextCellSize) || !RowsTerminated(rom)) return;

  uint32_t pc = ParseHex(pcText, kTextCellSize) & 0xFFFF;
  uint32_t w = RomWord(rom, pc);

  if ((w >> 13) == 1) {
    *format = kFormatJump;
    *jumpOperation = (w >> 10) & 7;
    int32_t offset = static_cast<int32_t>(w & 0x3FF);
    if (offset & 0x200) offset -= 1024;
    *pcOffset = static_cast<float>(offset);
    return;
  }

  *wordFlag = (w & 0x40) ? 0 : 1;
  uint32_t sReg = (w >> 8) & 0xF;
  uint32_t dReg = w & 0xF;
  uint32_t as = (w >> 4) & 3;
  uint32_t ad = (w >> 7) & 1;

  auto invalid = [&]() {
    *format = kFormatNone;
    *resetRequest = 1;
  };
  auto writeSource = [&](const Operand& o, uint32_t reg) {
    *sourceMode = o.mode;
    if (o.writesRegister) *sourceRegister = reg;
    if (o.writesText) WriteHexPrefixed(sourceText, o.text);
  };
  auto writeDestination = [&](const Operand& o, uint32_t reg) {
    *destinationMode = o.mode;
    if (o.writesRegister) *destinationRegister = reg;
    if (o.writesText) WriteHexPrefixed(destinationText, o.text);
  };

  if ((w >> 14) != 0) {
    uint32_t op = (w >> 12) - 4;
    // Set before the emulated tests, so that NOP and RET, which end the
    // decoding at once, leave no operation of an earlier word behind.
    *dualOperation = op;
    uint32_t format0 = kFormatDoubleOperand;
    uint32_t emulated = 0;
    bool rotate = (sReg == dReg) && ((as == 0 && ad == 0) || (as == 1 && ad == 1));
    // NOP and RET are register forms (MOV #0,R3 and MOV @SP+,PC); with Ad = 1
    // the same fields name a memory destination: CLR 0x..(R3), POP 0x.... .
    bool toR3 = dReg == 3 && ad == 0;
    bool toPC = dReg == 0 && ad == 0;
    if (op == kOpSUB && sReg == 3 && as == 1) {
      format0 = kFormatEmulated;
      emulated = kOpDEC;
    } else if (op == kOpADD && sReg == 3 && as == 1) {
      format0 = kFormatEmulated;
      emulated = kOpINC;
    } else if (op == kOpMOV && sReg == 3 && as == 0 && toR3) {
      *format = kFormatEmulated;
      *emulatedOperation = kOpNOP;
      return;
    } else if (op == kOpMOV && sReg == 1 && as == 3 && !toPC) {
      format0 = kFormatEmulated;
      emulated = kOpPOP;
    } else if (op == kOpMOV && sReg == 1 && as == 3 && toPC) {
      *format = kFormatEmulated;
      *emulatedOperation = kOpRET;
      return;
    } else if (op == kOpMOV && sReg == 3 && as == 0) {
      format0 = kFormatEmulated;
      emulated = kOpCLR;
    } else if (op == kOpCMP && sReg == 3 && as == 0) {
      format0 = kFormatEmulated;
      emulated = kOpTST;
    } else if (op == kOpADDC && rotate) {
      format0 = kFormatEmulated;
      emulated = kOpRLC;
    } else if (op == kOpADD && rotate) {
      format0 = kFormatEmulated;
      emulated = kOpRLA;
    }
    *format = format0;
    if (format0 == kFormatEmulated) *emulatedOperation = emulated;

    Operand source = DecodeSource(as, sReg, pc, rom);
    writeSource(source, sReg);
    // RLC and RLA name one operand twice; it has a single extension word.
    bool oneWord = format0 == kFormatEmulated && (emulated == kOpRLC || emulated == kOpRLA);
    uint32_t yAddress = (source.extension && !oneWord) ? pc + 4 : pc + 2;
    writeDestination(DecodeDestination(ad, dReg, yAddress, rom), dReg);
    return;
  }

  if ((w >> 10) != 0x04) {
    invalid();
    return;
  }

  uint32_t op = (w >> 7) & 7;
  bool byteForm = (w & 0x40) != 0;
  if (byteForm && (op == kOpSWPB || op == kOpSXT || op == kOpCALL || op == kOpRETI)) {
    invalid();
    return;
  }
  Operand operand = DecodeSource(as, dReg, pc, rom);
  if (op != kOpPUSH && op != kOpCALL) {
    // These present their operand through the destination selectors, which
    // offer Register, Indexed, Symbolic and Absolute only: indirect forms
    // and constant-generator operands cannot be shown there.
    if (as >= 2 || operand.mode == kModeImmediate) {
      invalid();
      return;
    }
    *format = kFormatSingleOperand;
    *singleOperation = op;
    writeSource(operand, dReg);
    writeDestination(operand, dReg);
    return;
  }
  *format = kFormatSingleOperand;
  *singleOperation = op;
  writeSource(operand, dReg);
}
