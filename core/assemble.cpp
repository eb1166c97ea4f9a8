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
__attribute__((format(printf, 2, 3))) void cell_printf(char* out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(out, kTextCellSize, format, args);
  va_end(args);
}

void write_bits(char* out, uint32_t value, int count) {
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
void extension_word(Piece* p, uint32_t value) {
  p->extension = true;
  WriteHex4(p->extensionWord, value);
}

// The constant generator supplies 0, 1, 2, 4, 8 and -1 without an
// extension word; any other immediate is @PC+ with the value in a word.
void immediate_piece(Piece* p, const char* v) {
  uint32_t value = ParseHex(v, kTextCellSize) & 0xFFFF;
  const ConstantGenerator* constant = FindConstantGenerator(value);
  if (constant == nullptr) {
    cell_printf(p->text, "#0x%s", v);
    write_bits(p->registerBits, 0, 4);
    strcpy(p->as, "11");
    extension_word(p, value);
  } else if (value == 0xFFFF) {
    cell_printf(p->text, "#-1");
  } else {
    cell_printf(p->text, "#%u", value);
  }
  if (constant != nullptr) {
    write_bits(p->registerBits, constant->reg, 4);
    write_bits(p->as, constant->as, 2);
  }
}

void source_piece(Piece* p, uint32_t mode, uint32_t reg, const char* v, const char* indexText) {
  const char* name = kRegisterNames[reg];
  p->extension = false;
  p->extensionWord[0] = 0;
  p->ad = '0';
  write_bits(p->registerBits, reg, 4);
  switch (mode) {
    case kModeRegister:
      cell_printf(p->text, "%s", name);
      strcpy(p->as, "00");
      break;
    case kModeIndexed:
      cell_printf(p->text, "0x%s(%s)", v, name);
      strcpy(p->as, "01");
      extension_word(p, ParseHex(v, kTextCellSize));
      break;
    case kModeSymbolic:
      cell_printf(p->text, "0x%s", v);
      write_bits(p->registerBits, 0, 4);
      strcpy(p->as, "01");
      extension_word(p, ParseAfterPrefix(indexText, kAddressTextSize));
      break;
    case kModeAbsolute:
      cell_printf(p->text, "&0x%s", v);
      write_bits(p->registerBits, 2, 4);
      strcpy(p->as, "01");
      extension_word(p, ParseHex(v, kTextCellSize));
      break;
    case kModeIndirect:
      cell_printf(p->text, "@%s", name);
      strcpy(p->as, "10");
      break;
    case kModeAutoincrement:
      cell_printf(p->text, "@%s+", name);
      strcpy(p->as, "11");
      break;
    default:
      immediate_piece(p, v);
      break;
  }
}

// A destination (Register..Absolute) reads as a source in the same mode;
// only its addressing bit differs.
void destination_piece(Piece* p, uint32_t mode, uint32_t reg, const char* w,
                       const char* indexText) {
  source_piece(p, mode, reg, w, indexText);
  p->ad = mode == kModeRegister ? '0' : '1';
}

uint32_t parse_bits(const char* bits) {
  uint32_t value = 0;
  for (int i = 0; i < kTextCellSize && (bits[i] == '0' || bits[i] == '1'); ++i) {
    value = ((value << 1) | static_cast<uint32_t>(bits[i] - '0')) & 0xFFFF;
  }
  return value;
}

void copy_text(char* out, const char* text) {
  snprintf(out, kTextCellSize, "%s", text);
}

// What one format makes of the selection: the assembler text (written in
// place), the bit string, and the operands whose extension words follow the
// instruction word, in order.
struct Assembly {
  char* text;
  char bits[kTextCellSize];
  const Piece* operands[2];
};

// ".B" and the B/W bit 1 only for a byte operation that has a byte form.
struct Width {
  const char* suffix;
  const char* bw;
};

Width width_of(bool byteOp, bool hasByteForm) {
  return byteOp && hasByteForm ? Width{".B", "1"} : Width{"", "0"};
}

void assemble_double(Assembly* a, uint32_t op, bool byteOp, const Piece& src, const Piece& dst) {
  Width width = width_of(byteOp, true);
  char opcode[5];
  write_bits(opcode, op + 4, 4);
  cell_printf(a->text, "%s%s  %s,%s", kDualMnemonics[op], width.suffix, src.text, dst.text);
  cell_printf(a->bits, "%s%s%c%s%s%s", opcode, src.registerBits, dst.ad, width.bw, src.as,
              dst.registerBits);
  a->operands[0] = &src;
  a->operands[1] = &dst;
}

// RRC, SWPB, RRA and SXT take the destination selectors, PUSH and CALL the
// source selectors; RETI has no operand.
void assemble_single(Assembly* a, uint32_t op, bool byteOp, const Piece& src, const Piece& dst) {
  char opcode[4];
  write_bits(opcode, op, 3);
  if (op <= kOpSXT) {
    Width width = width_of(byteOp, op == kOpRRC || op == kOpRRA);
    cell_printf(a->text, "%s%s  %s", kRotateMnemonics[op], width.suffix, dst.text);
    cell_printf(a->bits, "000100%s%s0%c%s", opcode, width.bw, dst.ad, dst.registerBits);
    a->operands[0] = &dst;
  } else if (op == kOpPUSH || op == kOpCALL) {
    Width width = width_of(byteOp, op == kOpPUSH);
    cell_printf(a->text, "%s%s  %s", op == kOpPUSH ? "PUSH" : "CALL", width.suffix, src.text);
    cell_printf(a->bits, "000100%s%s%s%s", opcode, width.bw, src.as, src.registerBits);
    a->operands[0] = &src;
  } else {
    cell_printf(a->text, "RETI");
    cell_printf(a->bits, "0001001100000000");
  }
}

// The offset is truncated toward zero and kept as ten bits of two's
// complement.
void assemble_jump(Assembly* a, uint32_t condition, float offset) {
  char conditionBits[4];
  char offsetBits[11];
  write_bits(conditionBits, condition, 3);
  write_bits(offsetBits, static_cast<uint32_t>(static_cast<int32_t>(offset)) & 0x3FF, 10);
  cell_printf(a->text, "%s  %.0f", kJumpMnemonics[condition], static_cast<double>(offset));
  cell_printf(a->bits, "001%s%s", conditionBits, offsetBits);
}

// Each emulated instruction is encoded as the instruction it stands for;
// RLC and RLA name the destination twice (ADDC dst,dst and ADD dst,dst).
void assemble_emulated(Assembly* a, uint32_t op, bool byteOp, const Piece& dst) {
  if (op == kOpNOP || op == kOpRET) {
    cell_printf(a->text, "%s", kEmulatedMnemonics[op]);
    cell_printf(a->bits, "%s", op == kOpNOP ? "0100001100000011" : "0100000100110000");
    return;
  }
  Width width = width_of(byteOp, true);
  const char* d = dst.registerBits;
  const char ad = dst.ad;
  const char* bw = width.bw;
  cell_printf(a->text, "%s%s  %s", kEmulatedMnemonics[op], width.suffix, dst.text);
  switch (op) {
    case kOpDEC:
      cell_printf(a->bits, "10000011%c%s01%s", ad, bw, d);  // SUB #1,dst
      break;
    case kOpINC:
      cell_printf(a->bits, "01010011%c%s01%s", ad, bw, d);  // ADD #1,dst
      break;
    case kOpPOP:
      cell_printf(a->bits, "01000001%c%s11%s", ad, bw, d);  // MOV @SP+,dst
      break;
    case kOpRLC:
      cell_printf(a->bits, "0110%s%c%s0%c%s", d, ad, bw, ad, d);
      break;
    case kOpRLA:
      cell_printf(a->bits, "0101%s%c%s0%c%s", d, ad, bw, ad, d);
      break;
    case kOpCLR:
      cell_printf(a->bits, "01000011%c%s00%s", ad, bw, d);  // MOV #0,dst
      break;
    default:
      cell_printf(a->bits, "10010011%c%s00%s", ad, bw, d);  // TST: CMP #0,dst
      break;
  }
  a->operands[0] = &dst;
}

bool selection_in_vocabulary(uint32_t format, uint32_t dualOperation, uint32_t singleOperation,
                             uint32_t jumpOperation, uint32_t emulatedOperation,
                             uint32_t sourceMode, uint32_t sourceRegister, int32_t destinationMode,
                             uint32_t destinationRegister, float pcOffset) {
  bool operation = format == kFormatNone ||
                   OperationInVocabulary(format, dualOperation, singleOperation, jumpOperation,
                                         emulatedOperation, kSingleOperationCount);
  return operation && sourceMode < kModeCount && sourceRegister < kRegisterCount &&
         destinationMode >= 0 && destinationMode < kDestinationModeCount &&
         destinationRegister < kRegisterCount && OffsetInRange(pcOffset);
}

bool texts_terminated(const char* sourceText, const char* destinationText,
                      const char* sourceIndexText, const char* destinationIndexText) {
  return (sourceText == nullptr || Terminated(sourceText, kTextCellSize)) &&
         (destinationText == nullptr || Terminated(destinationText, kTextCellSize)) &&
         (sourceIndexText == nullptr || Terminated(sourceIndexText, kAddressTextSize)) &&
         (destinationIndexText == nullptr || Terminated(destinationIndexText, kAddressTextSize));
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
  if (!selection_in_vocabulary(format, dualOperation, singleOperation, jumpOperation,
                               emulatedOperation, sourceMode, sourceRegister, destinationMode,
                               destinationRegister, pcOffset) ||
      !texts_terminated(sourceText, destinationText, sourceIndexText, destinationIndexText) ||
      (format == kFormatNone && !Terminated(outBits, kTextCellSize))) {
    return;
  }
  outExtension1[0] = 0;
  outExtension2[0] = 0;
  if (format == kFormatNone) {
    // No instruction: text and bits stay; the word follows the bits shown.
    WriteHex4(outWord, parse_bits(outBits));
    return;
  }
  Piece source;
  Piece destination;
  source_piece(&source, sourceMode, sourceRegister, sourceText != nullptr ? sourceText : "",
               sourceIndexText);
  destination_piece(&destination, static_cast<uint32_t>(destinationMode), destinationRegister,
                    destinationText != nullptr ? destinationText : "", destinationIndexText);

  const bool byteOp = wordOperation == 0;
  Assembly a = {outText, "", {nullptr, nullptr}};
  switch (format) {
    case kFormatDoubleOperand:
      assemble_double(&a, dualOperation, byteOp, source, destination);
      break;
    case kFormatSingleOperand:
      assemble_single(&a, singleOperation, byteOp, source, destination);
      break;
    case kFormatJump:
      assemble_jump(&a, jumpOperation, pcOffset);
      break;
    default:
      assemble_emulated(&a, emulatedOperation, byteOp, destination);
      break;
  }
  // Extension words follow the instruction word without a gap: an operand
  // without one leaves no empty slot.
  char* extensions[2] = {outExtension1, outExtension2};
  int used = 0;
  for (const Piece* operand : a.operands) {
    if (operand != nullptr && operand->extension)
      copy_text(extensions[used++], operand->extensionWord);
  }
  copy_text(outBits, a.bits);
  WriteHex4(outWord, parse_bits(a.bits));
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
