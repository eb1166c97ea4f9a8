// Assemble: the selection as assembler text, bit string, machine word and
// extension words; Save: those words into program memory.
//
// Double operand  opcode(4) S-reg(4) Ad B/W As(2) D-reg(4)
// Single operand  000100 op(3) B/W As(2) register(4)
// Jump            001 condition(3) offset(10)
// Extension words follow the instruction word without a gap: the source's
// first, then the destination's.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/mycode.h"
#include "core/mycode_internal.h"

using namespace core_detail;

namespace {

const char* const kRegisterNames[kRegisterCount] = {"PC",  "SP",  "SR",  "R3", "R4",  "R5",
                                                    "R6",  "R7",  "R8",  "R9", "R10", "R11",
                                                    "R12", "R13", "R14", "R15"};

const char* const kDualMnemonics[kDualOperationCount] = {
    "MOV", "ADD", "ADDC", "SUBC", "SUB", "CMP", "DADD", "BIT", "BIC", "BIS", "XOR", "AND"};

const char* const kJumpMnemonics[kJumpOperationCount] = {"JNE", "JEQ", "JLO", "JHS",
                                                         "JN",  "JGE", "JL",  "JMP"};

const char* const kRotateMnemonics[4] = {"RRC", "SWPB", "RRA", "SXT"};

const char* const kEmulatedMnemonics[kEmulatedOperationCount] = {"DEC", "INC", "NOP", "POP", "RET",
                                                                 "RLC", "RLA", "CLR", "TST"};

// A text cell's worth of formatted text. Operand texts are user texts of up
// to a cell each, so a line built from two of them is cut at the cell's end.
__attribute__((format(printf, 2, 3))) void CellPrintf(char* out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(out, kTextCellSize, format, args);
  va_end(args);
}

void Bits(char* out, uint32_t value, int count) {
  for (int i = 0; i < count; ++i) out[i] = ((value >> (count - 1 - i)) & 1) ? '1' : '0';
  out[count] = 0;
}

// One operand as the assembler shows and encodes it.
struct Piece {
  char text[kTextCellSize];
  char registerBits[5];
  char as[3];  // source addressing bits (destinations use only `ad`)
  char ad;
  bool extension;
  char extensionWord[5];
};

// The extension word as four hex digits, whatever form its text came in, so
// that an operand that needs a word always gets one.
void ExtensionWord(Piece* p, uint32_t value) {
  p->extension = true;
  WriteHex4(p->extensionWord, value);
}

void SourcePiece(Piece* p, uint32_t mode, uint32_t reg, const char* v, const char* indexText) {
  const char* name = kRegisterNames[reg];
  p->extension = false;
  p->extensionWord[0] = 0;
  p->ad = '0';
  Bits(p->registerBits, reg, 4);
  switch (mode) {
    case kModeRegister:
      CellPrintf(p->text, "%s", name);
      strcpy(p->as, "00");
      break;
    case kModeIndexed:
      CellPrintf(p->text, "0x%s(%s)", v, name);
      strcpy(p->as, "01");
      ExtensionWord(p, ParseHex(v, kTextCellSize));
      break;
    case kModeSymbolic:
      CellPrintf(p->text, "0x%s", v);
      Bits(p->registerBits, 0, 4);
      strcpy(p->as, "01");
      ExtensionWord(p, ParseAfterPrefix(indexText, kAddressTextSize));
      break;
    case kModeAbsolute:
      CellPrintf(p->text, "&0x%s", v);
      Bits(p->registerBits, 2, 4);
      strcpy(p->as, "01");
      ExtensionWord(p, ParseHex(v, kTextCellSize));
      break;
    case kModeIndirect:
      CellPrintf(p->text, "@%s", name);
      strcpy(p->as, "10");
      break;
    case kModeAutoincrement:
      CellPrintf(p->text, "@%s+", name);
      strcpy(p->as, "11");
      break;
    default: {
      // The constant generator supplies 0, 1, 2, 4, 8 and -1 without an
      // extension word.
      uint32_t value = ParseHex(v, kTextCellSize) & 0xFFFF;
      const ConstantGenerator* constant = FindConstantGenerator(value);
      if (constant != nullptr) {
        if (value == 0xFFFF) {
          CellPrintf(p->text, "#-1");
        } else {
          CellPrintf(p->text, "#%u", value);
        }
        Bits(p->registerBits, constant->reg, 4);
        Bits(p->as, constant->as, 2);
        return;
      }
      CellPrintf(p->text, "#0x%s", v);
      Bits(p->registerBits, 0, 4);
      strcpy(p->as, "11");
      ExtensionWord(p, value);
      break;
    }
  }
}

// A destination (Register..Absolute) reads as a source in the same mode;
// only its addressing bit differs.
void DestinationPiece(Piece* p, uint32_t mode, uint32_t reg, const char* w, const char* indexText) {
  SourcePiece(p, mode, reg, w, indexText);
  p->ad = mode == kModeRegister ? '0' : '1';
}

uint32_t ParseBits(const char* bits) {
  uint32_t value = 0;
  for (int i = 0; i < kTextCellSize && (bits[i] == '0' || bits[i] == '1'); ++i) {
    value = ((value << 1) | static_cast<uint32_t>(bits[i] - '0')) & 0xFFFF;
  }
  return value;
}

void CopyText(char* out, const char* text) {
  snprintf(out, kTextCellSize, "%s", text);
}

}  // namespace

void Assemble(uint32_t format, uint32_t dualOperation, uint32_t singleOperation,
              uint32_t jumpOperation, uint32_t emulatedOperation, uint32_t sourceMode,
              uint32_t sourceRegister, int32_t destinationMode, uint32_t destinationRegister,
              float pcOffset, const char* sourceText, const char* destinationText,
              uint8_t wordOperation, const char* sourceIndexText, const char* destinationIndexText,
              char* outText, char* outBits, char* outWord, char* outExtension1,
              char* outExtension2) {
  if (outText == nullptr || outBits == nullptr || outWord == nullptr || outExtension1 == nullptr ||
      outExtension2 == nullptr) {
    return;
  }
  bool operation = format == kFormatNone ||
                   OperationInVocabulary(format, dualOperation, singleOperation, jumpOperation,
                                         emulatedOperation, kSingleOperationCount);
  if (!operation || sourceMode >= kModeCount || sourceRegister >= kRegisterCount ||
      destinationMode < 0 || destinationMode >= kDestinationModeCount ||
      destinationRegister >= kRegisterCount || !OffsetInRange(pcOffset)) {
    return;
  }
  if ((sourceText != nullptr && !Terminated(sourceText, kTextCellSize)) ||
      (destinationText != nullptr && !Terminated(destinationText, kTextCellSize)) ||
      (sourceIndexText != nullptr && !Terminated(sourceIndexText, kAddressTextSize)) ||
      (destinationIndexText != nullptr && !Terminated(destinationIndexText, kAddressTextSize)) ||
      (format == kFormatNone && !Terminated(outBits, kTextCellSize))) {
    return;
  }
  outExtension1[0] = 0;
  outExtension2[0] = 0;
  if (format == kFormatNone) {
    // No instruction: text and bits stay; the word follows the bits shown.
    WriteHex4(outWord, ParseBits(outBits));
    return;
  }
  const char* v = sourceText != nullptr ? sourceText : "";
  const char* w = destinationText != nullptr ? destinationText : "";
  Piece source;
  Piece destination;
  SourcePiece(&source, sourceMode, sourceRegister, v, sourceIndexText);
  DestinationPiece(&destination, static_cast<uint32_t>(destinationMode), destinationRegister, w,
                   destinationIndexText);

  const bool byteOp = wordOperation == 0;
  const char* suffix = "";
  const char* bw = "0";
  auto byteForm = [&](bool hasByteForm) {
    suffix = (byteOp && hasByteForm) ? ".B" : "";
    bw = (byteOp && hasByteForm) ? "1" : "0";
  };
  char bits[kTextCellSize];
  char opcode[5];
  const Piece* extension = nullptr;

  switch (format) {
    case kFormatDoubleOperand: {
      byteForm(true);
      CellPrintf(outText, "%s%s  %s,%s", kDualMnemonics[dualOperation], suffix, source.text,
                 destination.text);
      Bits(opcode, dualOperation + 4, 4);
      CellPrintf(bits, "%s%s%c%s%s%s", opcode, source.registerBits, destination.ad, bw, source.as,
                 destination.registerBits);
      if (source.extension) {
        CopyText(outExtension1, source.extensionWord);
        if (destination.extension) CopyText(outExtension2, destination.extensionWord);
      } else if (destination.extension) {
        CopyText(outExtension1, destination.extensionWord);
      }
      break;
    }
    case kFormatSingleOperand: {
      Bits(opcode, singleOperation, 3);
      if (singleOperation <= kOpSXT) {
        byteForm(singleOperation == kOpRRC || singleOperation == kOpRRA);
        CellPrintf(outText, "%s%s  %s", kRotateMnemonics[singleOperation], suffix,
                   destination.text);
        CellPrintf(bits, "000100%s%s0%c%s", opcode, bw, destination.ad, destination.registerBits);
        extension = &destination;
      } else if (singleOperation == kOpPUSH || singleOperation == kOpCALL) {
        byteForm(singleOperation == kOpPUSH);
        if (singleOperation == kOpPUSH) {
          CellPrintf(outText, "PUSH%s  %s", suffix, source.text);
        } else {
          CellPrintf(outText, "CALL  %s", source.text);
        }
        CellPrintf(bits, "000100%s%s%s%s", opcode, bw, source.as, source.registerBits);
        extension = &source;
      } else {  // RETI
        CellPrintf(outText, "RETI");
        CellPrintf(bits, "0001001100000000");
      }
      break;
    }
    case kFormatJump: {
      CellPrintf(outText, "%s  %.0f", kJumpMnemonics[jumpOperation], static_cast<double>(pcOffset));
      int32_t words = static_cast<int32_t>(pcOffset);
      char condition[4];
      char offset[11];
      Bits(condition, jumpOperation, 3);
      Bits(offset, static_cast<uint32_t>(words) & 0x3FF, 10);
      CellPrintf(bits, "001%s%s", condition, offset);
      break;
    }
    default: {  // emulated
      const char* name = kEmulatedMnemonics[emulatedOperation];
      if (emulatedOperation == kOpNOP || emulatedOperation == kOpRET) {
        CellPrintf(outText, "%s", name);
        CellPrintf(bits, "%s",
                   emulatedOperation == kOpNOP ? "0100001100000011" : "0100000100110000");
        break;
      }
      byteForm(true);
      CellPrintf(outText, "%s%s  %s", name, suffix, destination.text);
      const char* d = destination.registerBits;
      const char ad = destination.ad;
      switch (emulatedOperation) {
        case kOpDEC:
          CellPrintf(bits, "10000011%c%s01%s", ad, bw, d);
          break;
        case kOpINC:
          CellPrintf(bits, "01010011%c%s01%s", ad, bw, d);
          break;
        case kOpPOP:
          CellPrintf(bits, "01000001%c%s11%s", ad, bw, d);
          break;
        case kOpRLC:
          CellPrintf(bits, "0110%s%c%s0%c%s", d, ad, bw, ad, d);
          break;
        case kOpRLA:
          CellPrintf(bits, "0101%s%c%s0%c%s", d, ad, bw, ad, d);
          break;
        case kOpCLR:
          CellPrintf(bits, "01000011%c%s00%s", ad, bw, d);
          break;
        default:
          CellPrintf(bits, "10010011%c%s00%s", ad, bw, d);
          break;  // TST
      }
      extension = &destination;
      break;
    }
  }
  if (extension != nullptr && extension->extension) {
    CopyText(outExtension1, extension->extensionWord);
  }
  CopyText(outBits, bits);
  WriteHex4(outWord, ParseBits(bits));
}

void Save(const char* wordText, const char* extension1Text, const char* extension2Text,
          const int32_t* row, MemoryRow* rom) {
  if (wordText == nullptr || row == nullptr || rom == nullptr) return;
  int32_t r = *row;
  if (r < 0 || r >= kMemoryRowCount) return;
  if (!Terminated(wordText, kTextCellSize) ||
      (extension1Text != nullptr && !Terminated(extension1Text, kTextCellSize)) ||
      (extension2Text != nullptr && !Terminated(extension2Text, kTextCellSize))) {
    return;
  }
  WriteWordToRow(&rom[r], ParseHex(wordText, kTextCellSize));
  // Extension words go to the next higher addresses, i.e. the rows above;
  // beyond 0xFFFE they are dropped.
  if (extension1Text != nullptr && extension1Text[0] != 0 && r >= 1) {
    WriteWordToRow(&rom[r - 1], ParseHex(extension1Text, kTextCellSize));
  }
  if (extension2Text != nullptr && extension2Text[0] != 0 && r >= 2) {
    WriteWordToRow(&rom[r - 2], ParseHex(extension2Text, kTextCellSize));
  }
}
