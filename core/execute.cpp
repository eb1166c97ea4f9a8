// Execute: one instruction of the target CPU, as the selectors describe it.
//
// Step by step:
//   1. format 4, a missing output, an index outside its vocabulary or an
//      unterminated input text: nothing happens;
//   2. highlight colours reset (R0 shows as PC), PC += 2;
//   3. the group of the format runs: double-operand (and the emulated forms
//      that are double-operand instructions), single-operand, the remaining
//      emulated ones (NOP, POP, RET), jumps.
// Operands are fetched through the effective-address texts the address unit
// computed; PC advances over an extension word when the selection says the
// operand has one (the constant generator supplies 0, 1, 2, 4, 8 and -1).
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/mycode.h"
#include "core/mycode_internal.h"

using namespace core_detail;

namespace {

// The working record of one Execute: where to read and write, and the
// selection's operand details.
struct Machine {
  TextCell* regs;
  MemoryRow* ram;
  const MemoryRow* rom;
  const PortCell* portsRead;
  PortCell* portsWrite;
  int32_t* highlight;
  TableMarker* ramMarker;
  uint8_t* ramMarkerOn;
  TableMarker* romMarker;
  uint8_t* romMarkerOn;
  uint8_t* flags;
  bool byte;
  uint32_t sourceAddress;
  uint32_t destinationAddress;
  const char* sourceText;
};

uint32_t reg_value(const Machine& m, int reg) {
  return RegisterValue(m.regs, reg);
}

void set_register(Machine& m, int reg, uint32_t value) {
  SetRegister(m.regs, static_cast<uint8_t>(reg), static_cast<uint16_t>(value), m.ramMarker,
              m.ramMarkerOn, m.romMarker, m.romMarkerOn);
}

void advance_pc(Machine& m) {
  set_register(m, 0, reg_value(m, 0) + 2);
}

uint32_t read_operand(const Machine& m, uint32_t address, CellRadix radix) {
  return m.byte ? ReadByte(m.ram, m.rom, m.portsRead, address, radix)
                : ReadWord(m.ram, m.rom, m.portsRead, address, radix);
}

// A register operand: hex, or decimal digits for DADD.
uint32_t register_operand(const Machine& m, int reg, CellRadix radix) {
  return radix == kRadixHex ? reg_value(m, reg) : ParseDecimal(m.regs[reg], kTextCellSize) & 0xFFFF;
}

// The source operand of a double-operand instruction, PUSH or CALL.
// `emulated`: an emulated instruction has no source beyond a register.
uint32_t fetch_source(Machine& m, int mode, int reg, CellRadix radix, bool emulated) {
  if (mode == kModeRegister) {
    m.highlight[reg] = kHighlightSource;
    return register_operand(m, reg, radix);
  }
  if (emulated) return 0;
  uint32_t value = read_operand(m, m.sourceAddress, radix);
  if (mode == kModeImmediate) value = ParseHex(m.sourceText, kTextCellSize) & 0xFFFF;
  if (mode == kModeAutoincrement) set_register(m, reg, reg_value(m, reg) + (m.byte ? 1 : 2));
  if (SourceHasExtensionWord(static_cast<uint32_t>(mode), m.sourceText)) advance_pc(m);
  return value;
}

// The destination operand; PC steps over its extension word first.
uint32_t fetch_destination(Machine& m, int mode, int reg, CellRadix radix) {
  if (mode == kModeRegister) return register_operand(m, reg, radix);
  advance_pc(m);
  return read_operand(m, m.destinationAddress, radix);
}

void store(Machine& m, int mode, int reg, uint32_t value) {
  if (mode == kModeRegister) {
    set_register(m, reg, value);
    m.highlight[reg] = kHighlightWritten;
    return;
  }
  WriteMemory(m.ram, m.portsWrite, m.destinationAddress, value, m.byte);
}

void load_flags_from_sr(Machine& m, uint32_t value) {
  m.flags[kFlagV] = (value >> 8) & 1;
  m.flags[kFlagN] = (value >> 2) & 1;
  m.flags[kFlagZ] = (value >> 1) & 1;
  m.flags[kFlagC] = value & 1;
}

// Sets the status flags and mirrors them into SR's bits 8, 2, 1 and 0.
void set_flags(Machine& m, bool v, bool n, bool z, bool c) {
  m.flags[kFlagV] = v;
  m.flags[kFlagN] = n;
  m.flags[kFlagZ] = z;
  m.flags[kFlagC] = c;
  uint32_t sr = reg_value(m, 2) & ~0x107u;
  sr |= (v ? 0x100u : 0) | (n ? 4u : 0) | (z ? 2u : 0) | (c ? 1u : 0);
  WriteHex4(m.regs[2], sr & 0x1FF);
  m.highlight[2] = kHighlightWritten;
}

bool bit(uint32_t value, int bit) {
  return (value >> bit) & 1;
}

// DADD writes its sum in decimal digits.
void store_decimal(Machine& m, int mode, int reg, uint32_t value) {
  if (mode == kModeRegister) {
    uint32_t masked = value & 0xFFFF;
    if (reg <= 1)
      masked = value & 0xFFFE;
    else if (reg == 2)
      masked = value & 0x1FF;
    if (reg != 3) snprintf(m.regs[reg], kTextCellSize, "%04u", masked);
    m.highlight[reg] = kHighlightWritten;
    if (reg == 1) MarkRow(m.ramMarker, m.ramMarkerOn, RamRow(masked));
    return;
  }
  uint32_t address = m.destinationAddress;
  int row = RamRow(address);
  if (row >= 0) {
    MemoryRow& r = m.ram[row];
    if (m.byte) {
      snprintf(r.cells[(address & 1) ? kRowHighCell : kRowLowCell], kTextCellSize, "%02u",
               value & 0xFF);
    } else {
      snprintf(r.cells[kRowHighCell], kTextCellSize, "%02u", (value >> 8) & 0xFF);
      snprintf(r.cells[kRowLowCell], kTextCellSize, "%02u", value & 0xFF);
    }
    return;
  }
  int port = PortCellIndex(address);
  if (port >= 0 && m.portsWrite != nullptr) {
    // A port cell holds two digits: a decimal byte keeps its two low digits,
    // as a packed BCD byte would.
    snprintf(m.portsWrite[port], kPortCellSize, "0x%02u", (value & 0xFF) % 100);
  }
}

// What an emulated instruction takes as its source: DEC and INC 1, RLC and
// RLA the destination itself, CLR and TST 0.
uint32_t emulated_source(uint32_t emulatedOp, uint32_t dst) {
  switch (emulatedOp) {
    case kOpDEC:
    case kOpINC:
      return 1;
    case kOpRLC:
    case kOpRLA:
      return dst;
    default:
      return 0;  // CLR, TST
  }
}

// Arithmetic is 32-bit unsigned: a difference below zero wraps, so bit 16
// is the borrow.
uint32_t result_of(uint32_t op, uint32_t src, uint32_t dst, uint32_t cIn) {
  switch (op) {
    case kOpMOV:
      return src;
    case kOpADD:
      return dst + src;
    case kOpADDC:
      return dst + src + cIn;
    case kOpSUBC:
      return dst - src + cIn;
    case kOpSUB:
    case kOpCMP:
      return dst - src;
    case kOpBIT:
    case kOpAND:
      return src & dst;
    case kOpBIC:
      return ~src & dst;
    case kOpBIS:
      return src | dst;
    default:
      return src ^ dst;  // XOR
  }
}

void update_flags(Machine& m, uint32_t op, uint32_t src, uint32_t dst, uint32_t result, int dstMode,
                  int dstReg) {
  bool zero = (result & 0xFFFF) == 0;
  switch (op) {
    case kOpMOV:
    case kOpBIC:
    case kOpBIS:
      // Logic moves leave the flags, except when they write SR itself.
      if (dstMode == kModeRegister && dstReg == 2) load_flags_from_sr(m, result);
      break;
    case kOpADD:
    case kOpADDC:
    case kOpSUB:
    case kOpSUBC:
    case kOpCMP: {
      // Overflow: operands of one sign give a result of the other. The
      // operands enter as they are, also for a subtraction, and the carry is
      // bit 16 of the 32-bit difference, i.e. it is set on a borrow.
      bool s = bit(src, 15), d = bit(dst, 15), r = bit(result, 15);
      set_flags(m, (s && d && !r) || (!s && !d && r), r, zero, bit(result, 16));
      break;
    }
    case kOpBIT:
    case kOpAND:
      set_flags(m, false, bit(result, 15), zero, !zero);
      break;
    default:  // XOR
      set_flags(m, bit(src, 15) && bit(dst, 15), bit(result, 15), zero, !zero);
      break;
  }
}

// DADD adds decimal digits: 10000 and more carries out.
void run_decimal_add(Machine& m, uint32_t src, uint32_t dst, int dstMode, int dstReg) {
  uint32_t sum = src + dst;
  uint32_t stored = sum > 9999 ? sum - 10000 : sum;
  if (m.byte) stored &= 0xFF;
  store_decimal(m, dstMode, dstReg, stored);
  set_flags(m, false, stored >= 8000 && stored <= 9999, sum == 10000, sum > 9999);
}

// Double-operand instructions, and DEC, INC, RLC, RLA, CLR, TST run as SUB,
// ADD, ADDC, ADD, MOV, CMP.
void run_double_operand(Machine& m, uint32_t op, bool emulated, uint32_t emulatedOp, int srcMode,
                        int srcReg, int dstMode, int dstReg, uint32_t cIn) {
  CellRadix radix = op == kOpDADD ? kRadixDecimal : kRadixHex;
  uint32_t src = fetch_source(m, srcMode, srcReg, radix, emulated);
  uint32_t dst = fetch_destination(m, dstMode, dstReg, radix);
  if (emulated) src = emulated_source(emulatedOp, dst);
  if (op == kOpDADD) {
    run_decimal_add(m, src, dst, dstMode, dstReg);
    return;
  }
  uint32_t result = result_of(op, src, dst, cIn);
  if (op != kOpCMP && op != kOpBIT) {
    if (m.byte) result &= 0xFF;
    store(m, dstMode, dstReg, result);
  }
  update_flags(m, op, src, dst, result, dstMode, dstReg);
}

void push(Machine& m, uint32_t value) {
  uint32_t sp = (reg_value(m, 1) - 2) & 0xFFFE;
  set_register(m, 1, sp);
  WriteStackWord(m.ram, sp, value);
  m.highlight[1] = kHighlightWritten;
}

uint32_t pop(Machine& m) {
  uint32_t sp = reg_value(m, 1);
  uint32_t value = ReadStackWord(m.ram, sp);
  set_register(m, 1, sp + 2);
  return value;
}

// RRC, SWPB, RRA and SXT: shift, swap or extend the destination operand.
uint32_t rotate_result(uint32_t op, uint32_t operand, uint32_t cIn) {
  switch (op) {
    case kOpRRC:
      return (cIn << 15) | ((operand & 0xFFFF) >> 1);
    case kOpSWPB:
      return ((operand << 8) & 0xFFFF) | ((operand & 0xFF00) >> 8);
    case kOpRRA:
      return ((operand & 0xFFFF) >> 1) | (operand & 0x8000);
    default:
      return (operand & 0xFF) | ((operand & 0x80) ? 0xFF00 : 0);  // SXT
  }
}

// RRC, SWPB, RRA, SXT take their operand from the destination selectors.
void run_rotate(Machine& m, uint32_t op, int dstMode, int dstReg, uint32_t cIn) {
  uint32_t operand = fetch_destination(m, dstMode, dstReg, kRadixHex);
  uint32_t result = rotate_result(op, operand, cIn);
  if (m.byte) result &= 0xFF;
  store(m, dstMode, dstReg, result);

  bool zero = (result & 0xFFFF) == 0;
  switch (op) {
    case kOpSWPB:
      if (dstMode == kModeRegister && dstReg == 2) load_flags_from_sr(m, result);
      break;
    case kOpSXT:
      set_flags(m, false, bit(result, 15), zero, !zero);
      break;
    default:  // RRC, RRA: the bit shifted out goes to C
      set_flags(m, false, bit(result, 15), zero, bit(operand, 0));
      break;
  }
}

void run_single_operand(Machine& m, uint32_t op, int srcMode, int srcReg, int dstMode, int dstReg,
                        uint32_t cIn) {
  if (op == kOpPUSH || op == kOpCALL) {
    uint32_t operand = fetch_source(m, srcMode, srcReg, kRadixHex, false);
    if (op == kOpPUSH) {
      push(m, m.byte ? operand & 0xFF : operand);
    } else {
      push(m, reg_value(m, 0));  // the address after the instruction and its word
      set_register(m, 0, operand);
    }
  } else if (op == kOpRETI) {
    // NMI pushed PC, then SR: they come back in reverse order.
    set_register(m, 2, pop(m));
    set_register(m, 0, pop(m));
    m.highlight[0] = m.highlight[1] = m.highlight[2] = kHighlightWritten;
  } else if (op != kOpSingleUnused) {
    run_rotate(m, op, dstMode, dstReg, cIn);
  }
}

// NOP, POP and RET: the emulated instructions without a double-operand run.
void run_stack_emulated(Machine& m, uint32_t op, int dstMode, int dstReg) {
  if (op == kOpNOP) return;
  uint32_t sp = reg_value(m, 1);
  if (op == kOpPOP) {
    if (dstMode != kModeRegister) advance_pc(m);
    uint32_t value = ReadStackWord(m.ram, sp);
    if (m.byte) value &= 0xFF;
    store(m, dstMode, dstReg, value);
  } else {  // RET
    set_register(m, 0, ReadStackWord(m.ram, sp));
    m.highlight[0] = kHighlightWritten;
  }
  // SP as it stands now (a POP into SP has just written it).
  set_register(m, 1, reg_value(m, 1) + 2);
  m.highlight[1] = kHighlightWritten;
}

void run_jump(Machine& m, uint32_t condition, float offset) {
  const uint8_t* f = m.flags;
  bool jump = false;
  switch (condition) {
    case kJumpNE:
      jump = f[kFlagZ] == 0;
      break;
    case kJumpEQ:
      jump = f[kFlagZ] == 1;
      break;
    case kJumpNC:
      jump = f[kFlagC] == 0;
      break;
    case kJumpC:
      jump = f[kFlagC] == 1;
      break;
    case kJumpN:
      jump = f[kFlagN] == 1;
      break;
    case kJumpGE:
      jump = f[kFlagV] == f[kFlagN];
      break;
    case kJumpL:
      jump = f[kFlagV] != f[kFlagN];
      break;
    default:
      jump = true;
      break;  // JMP
  }
  if (!jump) return;
  // PC already stands after the jump word.
  int32_t words = static_cast<int32_t>(truncf(offset));
  set_register(m, 0, (reg_value(m, 0) + static_cast<uint32_t>(2 * words)) & 0xFFFF);
}

bool selection_in_vocabulary(uint32_t format, uint32_t dualOperation, uint32_t singleOperation,
                             uint32_t jumpOperation, uint32_t emulatedOperation, int32_t sourceMode,
                             int32_t sourceRegister, int32_t destinationMode,
                             int32_t destinationRegister, float pcOffset) {
  // Single operation 7 decodes from Format II 111 and runs as no operation.
  return OperationInVocabulary(format, dualOperation, singleOperation, jumpOperation,
                               emulatedOperation, kOpSingleUnused + 1) &&
         sourceMode >= 0 && sourceMode < kModeCount && sourceRegister >= 0 &&
         sourceRegister < kRegisterCount && destinationMode >= 0 &&
         destinationMode < kDestinationModeCount && destinationRegister >= 0 &&
         destinationRegister < kRegisterCount && OffsetInRange(pcOffset);
}

// Every text Execute reads holds a terminator inside its buffer.
bool inputs_terminated(const TextCell* registers, const MemoryRow* ram, const MemoryRow* rom,
                       const PortCell* ports, const char* sourceText, const char* sourceAddressText,
                       const char* destinationAddressText) {
  return CellsTerminated(registers, kRegisterCount) && RowsTerminated(ram) &&
         (rom == nullptr || RowsTerminated(rom)) && (ports == nullptr || PortsTerminated(ports)) &&
         (sourceText == nullptr || Terminated(sourceText, kTextCellSize)) &&
         (sourceAddressText == nullptr || Terminated(sourceAddressText, kAddressTextSize)) &&
         (destinationAddressText == nullptr ||
          Terminated(destinationAddressText, kAddressTextSize));
}

// Separate read and write arrays: the writes start from what was read, so
// later reads inside this instruction see earlier writes.
void copy_reads_into_writes(const TextCell* regsRead, TextCell* regsWrite, const MemoryRow* ramRead,
                            MemoryRow* ramWrite, const PortCell* portsRead, PortCell* portsWrite) {
  if (regsRead != regsWrite) memmove(regsWrite, regsRead, sizeof(TextCell) * kRegisterCount);
  if (ramRead != ramWrite) memmove(ramWrite, ramRead, sizeof(MemoryRow) * kMemoryRowCount);
  if (portsWrite != nullptr && portsRead != portsWrite) {
    memmove(portsWrite, portsRead, sizeof(PortCell) * kPortCellCount);
  }
}

void run_emulated(Machine& m, uint32_t op, int srcMode, int srcReg, int dstMode, int dstReg,
                  uint32_t cIn) {
  // The double-operand instruction each emulated one runs as (0: none).
  static const uint32_t kRunsAs[kEmulatedOperationCount] = {kOpSUB,  kOpADD, 0,      0,     0,
                                                            kOpADDC, kOpADD, kOpMOV, kOpCMP};
  if (op == kOpNOP || op == kOpPOP || op == kOpRET) {
    run_stack_emulated(m, op, dstMode, dstReg);
  } else {
    run_double_operand(m, kRunsAs[op], true, op, srcMode, srcReg, dstMode, dstReg, cIn);
  }
}

}  // namespace

void Execute(uint32_t format, uint32_t dualOperation, uint32_t singleOperation,
             uint32_t jumpOperation, uint32_t emulatedOperation, int32_t sourceMode,
             int32_t sourceRegister, int32_t destinationMode, int32_t destinationRegister,
             float pcOffset, const char* sourceText, const TextCell* registersIn,
             const MemoryRow* ramIn, const MemoryRow* romIn, uint8_t wordOperation,
             const char* sourceAddressText, const char* destinationAddressText,
             const PortCell* portsIn, TextCell* registersOut, int32_t* highlight, MemoryRow* ramOut,
             TableMarker* ramMarker, uint8_t* ramMarkerOn, TableMarker* romMarker,
             uint8_t* romMarkerOn, uint8_t* statusFlags, PortCell* portsOut) {
  // 1. Nothing at all for no instruction, a missing output, an index
  //    outside its vocabulary or an unterminated input text.
  if (format == kFormatNone) return;
  if (registersOut == nullptr || highlight == nullptr || ramOut == nullptr ||
      ramMarker == nullptr || statusFlags == nullptr) {
    return;
  }
  if (!selection_in_vocabulary(format, dualOperation, singleOperation, jumpOperation,
                               emulatedOperation, sourceMode, sourceRegister, destinationMode,
                               destinationRegister, pcOffset)) {
    return;
  }
  const TextCell* regsRead = registersIn != nullptr ? registersIn : registersOut;
  const MemoryRow* ramRead = ramIn != nullptr ? ramIn : ramOut;
  const PortCell* portsRead = portsIn != nullptr ? portsIn : portsOut;
  if (!inputs_terminated(regsRead, ramRead, romIn, portsRead, sourceText, sourceAddressText,
                         destinationAddressText)) {
    return;
  }
  copy_reads_into_writes(regsRead, registersOut, ramRead, ramOut, portsRead, portsOut);
  if (portsOut != nullptr) portsRead = portsOut;
  Machine m = {registersOut,
               ramOut,
               romIn,
               portsRead,
               portsOut,
               highlight,
               ramMarker,
               ramMarkerOn,
               romMarker,
               romMarkerOn,
               statusFlags,
               wordOperation == 0,
               ParseAfterPrefix(sourceAddressText, kAddressTextSize) & 0xFFFF,
               ParseAfterPrefix(destinationAddressText, kAddressTextSize) & 0xFFFF,
               sourceText};

  // 2. Highlights reset (R0 shows as PC), the carry in taken, PC past the
  //    instruction word.
  for (int i = 0; i < kRegisterCount; ++i) highlight[i] = kHighlightIdle;
  highlight[0] = kHighlightPC;
  uint32_t cIn = reg_value(m, 2) & 1;
  advance_pc(m);

  // 3. The format's group.
  switch (format) {
    case kFormatDoubleOperand:
      run_double_operand(m, dualOperation, false, 0, sourceMode, sourceRegister, destinationMode,
                         destinationRegister, cIn);
      break;
    case kFormatSingleOperand:
      run_single_operand(m, singleOperation, sourceMode, sourceRegister, destinationMode,
                         destinationRegister, cIn);
      break;
    case kFormatJump:
      run_jump(m, jumpOperation, pcOffset);
      break;
    default:
      run_emulated(m, emulatedOperation, sourceMode, sourceRegister, destinationMode,
                   destinationRegister, cIn);
      break;
  }
}
