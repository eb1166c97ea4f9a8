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

uint32_t Reg(const Machine& m, int reg) {
  return RegisterValue(m.regs, reg);
}

void Set(Machine& m, int reg, uint32_t value) {
  SetRegister(m.regs, static_cast<uint8_t>(reg), static_cast<uint16_t>(value), m.ramMarker,
              m.ramMarkerOn, m.romMarker, m.romMarkerOn);
}

void AdvancePC(Machine& m) {
  Set(m, 0, Reg(m, 0) + 2);
}

uint32_t Read(const Machine& m, uint32_t address, CellRadix radix) {
  return m.byte ? ReadByte(m.ram, m.rom, m.portsRead, address, radix)
                : ReadWord(m.ram, m.rom, m.portsRead, address, radix);
}

// A register operand: hex, or decimal digits for DADD.
uint32_t RegisterOperand(const Machine& m, int reg, CellRadix radix) {
  return radix == kRadixHex ? Reg(m, reg) : ParseDecimal(m.regs[reg], kTextCellSize) & 0xFFFF;
}

// The source operand of a double-operand instruction, PUSH or CALL.
// `emulated`: an emulated instruction has no source beyond a register.
uint32_t FetchSource(Machine& m, int mode, int reg, CellRadix radix, bool emulated) {
  if (mode == kModeRegister) {
    m.highlight[reg] = kHighlightSource;
    return RegisterOperand(m, reg, radix);
  }
  if (emulated) return 0;
  uint32_t value = Read(m, m.sourceAddress, radix);
  if (mode == kModeImmediate) value = ParseHex(m.sourceText, kTextCellSize) & 0xFFFF;
  if (mode == kModeAutoincrement) Set(m, reg, Reg(m, reg) + (m.byte ? 1 : 2));
  if (SourceHasExtensionWord(static_cast<uint32_t>(mode), m.sourceText)) AdvancePC(m);
  return value;
}

// The destination operand; PC steps over its extension word first.
uint32_t FetchDestination(Machine& m, int mode, int reg, CellRadix radix) {
  if (mode == kModeRegister) return RegisterOperand(m, reg, radix);
  AdvancePC(m);
  return Read(m, m.destinationAddress, radix);
}

void Store(Machine& m, int mode, int reg, uint32_t value) {
  if (mode == kModeRegister) {
    Set(m, reg, value);
    m.highlight[reg] = kHighlightWritten;
    return;
  }
  WriteMemory(m.ram, m.portsWrite, m.destinationAddress, value, m.byte);
}

void LoadFlagsFromSR(Machine& m, uint32_t value) {
  m.flags[kFlagV] = (value >> 8) & 1;
  m.flags[kFlagN] = (value >> 2) & 1;
  m.flags[kFlagZ] = (value >> 1) & 1;
  m.flags[kFlagC] = value & 1;
}

// Sets the status flags and mirrors them into SR's bits 8, 2, 1 and 0.
void SetFlags(Machine& m, bool v, bool n, bool z, bool c) {
  m.flags[kFlagV] = v;
  m.flags[kFlagN] = n;
  m.flags[kFlagZ] = z;
  m.flags[kFlagC] = c;
  uint32_t sr = Reg(m, 2) & ~0x107u;
  sr |= (v ? 0x100u : 0) | (n ? 4u : 0) | (z ? 2u : 0) | (c ? 1u : 0);
  WriteHex4(m.regs[2], sr & 0x1FF);
  m.highlight[2] = kHighlightWritten;
}

bool Bit(uint32_t value, int bit) {
  return (value >> bit) & 1;
}

// DADD writes its sum in decimal digits.
void StoreDecimal(Machine& m, int mode, int reg, uint32_t value) {
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

// Double-operand instructions, and DEC, INC, RLC, RLA, CLR, TST run as SUB,
// ADD, ADDC, ADD, MOV, CMP.
void RunDoubleOperand(Machine& m, uint32_t op, bool emulated, uint32_t emulatedOp, int srcMode,
                      int srcReg, int dstMode, int dstReg, uint32_t cIn) {
  CellRadix radix = op == kOpDADD ? kRadixDecimal : kRadixHex;
  uint32_t src = FetchSource(m, srcMode, srcReg, radix, emulated);
  uint32_t dst = FetchDestination(m, dstMode, dstReg, radix);
  if (emulated) {
    switch (emulatedOp) {
      case kOpDEC:
      case kOpINC:
        src = 1;
        break;
      case kOpRLC:
      case kOpRLA:
        src = dst;
        break;
      default:
        src = 0;
        break;  // CLR, TST
    }
  }

  if (op == kOpDADD) {
    uint32_t sum = src + dst;
    uint32_t stored = sum > 9999 ? sum - 10000 : sum;
    if (m.byte) stored &= 0xFF;
    StoreDecimal(m, dstMode, dstReg, stored);
    SetFlags(m, false, stored >= 8000 && stored <= 9999, sum == 10000, sum > 9999);
    return;
  }

  uint32_t result = 0;
  switch (op) {
    case kOpMOV:
      result = src;
      break;
    case kOpADD:
      result = dst + src;
      break;
    case kOpADDC:
      result = dst + src + cIn;
      break;
    case kOpSUBC:
      result = dst - src + cIn;
      break;
    case kOpSUB:
    case kOpCMP:
      result = dst - src;
      break;
    case kOpBIT:
    case kOpAND:
      result = src & dst;
      break;
    case kOpBIC:
      result = ~src & dst;
      break;
    case kOpBIS:
      result = src | dst;
      break;
    default:
      result = src ^ dst;
      break;  // XOR
  }
  if (op != kOpCMP && op != kOpBIT) {
    if (m.byte) result &= 0xFF;
    Store(m, dstMode, dstReg, result);
  }

  bool zero = (result & 0xFFFF) == 0;
  switch (op) {
    case kOpMOV:
    case kOpBIC:
    case kOpBIS:
      // Logic moves leave the flags, except when they write SR itself.
      if (dstMode == kModeRegister && dstReg == 2) LoadFlagsFromSR(m, result);
      break;
    case kOpADD:
    case kOpADDC:
    case kOpSUB:
    case kOpSUBC:
    case kOpCMP: {
      // Overflow: operands of one sign give a result of the other. The
      // operands enter as they are, also for a subtraction, and the carry is
      // bit 16 of the 32-bit difference, i.e. it is set on a borrow.
      bool s = Bit(src, 15), d = Bit(dst, 15), r = Bit(result, 15);
      SetFlags(m, (s && d && !r) || (!s && !d && r), r, zero, Bit(result, 16));
      break;
    }
    case kOpBIT:
    case kOpAND:
      SetFlags(m, false, Bit(result, 15), zero, !zero);
      break;
    default:  // XOR
      SetFlags(m, Bit(src, 15) && Bit(dst, 15), Bit(result, 15), zero, !zero);
      break;
  }
}

void Push(Machine& m, uint32_t value) {
  uint32_t sp = (Reg(m, 1) - 2) & 0xFFFE;
  Set(m, 1, sp);
  WriteStackWord(m.ram, sp, value);
  m.highlight[1] = kHighlightWritten;
}

uint32_t Pop(Machine& m) {
  uint32_t sp = Reg(m, 1);
  uint32_t value = ReadStackWord(m.ram, sp);
  Set(m, 1, sp + 2);
  return value;
}

void RunSingleOperand(Machine& m, uint32_t op, int srcMode, int srcReg, int dstMode, int dstReg,
                      uint32_t cIn) {
  if (op == kOpPUSH || op == kOpCALL) {
    uint32_t operand = FetchSource(m, srcMode, srcReg, kRadixHex, false);
    if (op == kOpPUSH) {
      Push(m, m.byte ? operand & 0xFF : operand);
    } else {
      Push(m, Reg(m, 0));
      Set(m, 0, operand);
    }
    return;
  }
  if (op == kOpRETI) {
    // NMI pushed PC, then SR: they come back in reverse order.
    Set(m, 2, Pop(m));
    Set(m, 0, Pop(m));
    m.highlight[0] = m.highlight[1] = m.highlight[2] = kHighlightWritten;
    return;
  }
  if (op == kOpSingleUnused) return;

  // RRC, SWPB, RRA, SXT take their operand from the destination selectors.
  uint32_t operand = FetchDestination(m, dstMode, dstReg, kRadixHex);
  uint32_t result = 0;
  switch (op) {
    case kOpRRC:
      result = (cIn << 15) | ((operand & 0xFFFF) >> 1);
      break;
    case kOpSWPB:
      result = ((operand << 8) & 0xFFFF) | ((operand & 0xFF00) >> 8);
      break;
    case kOpRRA:
      result = ((operand & 0xFFFF) >> 1) | (operand & 0x8000);
      break;
    default:
      result = (operand & 0xFF) | ((operand & 0x80) ? 0xFF00 : 0);
      break;  // SXT
  }
  if (m.byte) result &= 0xFF;
  Store(m, dstMode, dstReg, result);

  bool zero = (result & 0xFFFF) == 0;
  switch (op) {
    case kOpSWPB:
      if (dstMode == kModeRegister && dstReg == 2) LoadFlagsFromSR(m, result);
      break;
    case kOpSXT:
      SetFlags(m, false, Bit(result, 15), zero, !zero);
      break;
    default:  // RRC, RRA: the bit shifted out goes to C
      SetFlags(m, false, Bit(result, 15), zero, Bit(operand, 0));
      break;
  }
}

// NOP, POP and RET: the emulated instructions without a double-operand run.
void RunStackEmulated(Machine& m, uint32_t op, int dstMode, int dstReg) {
  if (op == kOpNOP) return;
  uint32_t sp = Reg(m, 1);
  if (op == kOpPOP) {
    if (dstMode != kModeRegister) AdvancePC(m);
    uint32_t value = ReadStackWord(m.ram, sp);
    if (m.byte) value &= 0xFF;
    Store(m, dstMode, dstReg, value);
  } else {  // RET
    Set(m, 0, ReadStackWord(m.ram, sp));
    m.highlight[0] = kHighlightWritten;
  }
  // SP as it stands now (a POP into SP has just written it).
  Set(m, 1, Reg(m, 1) + 2);
  m.highlight[1] = kHighlightWritten;
}

void RunJump(Machine& m, uint32_t condition, float offset) {
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
  Set(m, 0, (Reg(m, 0) + static_cast<uint32_t>(2 * words)) & 0xFFFF);
}

bool SelectionInVocabulary(uint32_t format, uint32_t dualOperation, uint32_t singleOperation,
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
  if (format == kFormatNone) return;
  if (registersOut == nullptr || highlight == nullptr || ramOut == nullptr ||
      ramMarker == nullptr || statusFlags == nullptr) {
    return;
  }
  if (!SelectionInVocabulary(format, dualOperation, singleOperation, jumpOperation,
                             emulatedOperation, sourceMode, sourceRegister, destinationMode,
                             destinationRegister, pcOffset)) {
    return;
  }
  const TextCell* regsRead = registersIn != nullptr ? registersIn : registersOut;
  const MemoryRow* ramRead = ramIn != nullptr ? ramIn : ramOut;
  const PortCell* portsRead = portsIn != nullptr ? portsIn : portsOut;
  if (!CellsTerminated(regsRead, kRegisterCount) || !RowsTerminated(ramRead) ||
      (romIn != nullptr && !RowsTerminated(romIn)) ||
      (portsRead != nullptr && !PortsTerminated(portsRead)) ||
      (sourceText != nullptr && !Terminated(sourceText, kTextCellSize)) ||
      (sourceAddressText != nullptr && !Terminated(sourceAddressText, kAddressTextSize)) ||
      (destinationAddressText != nullptr &&
       !Terminated(destinationAddressText, kAddressTextSize))) {
    return;
  }
  // Separate read and write arrays: the writes start from what was read, so
  // later reads inside this instruction see earlier writes.
  if (regsRead != registersOut) {
    memmove(registersOut, regsRead, sizeof(TextCell) * kRegisterCount);
  }
  if (ramRead != ramOut) memmove(ramOut, ramRead, sizeof(MemoryRow) * kMemoryRowCount);
  if (portsOut != nullptr && portsRead != portsOut) {
    memmove(portsOut, portsRead, sizeof(PortCell) * kPortCellCount);
    portsRead = portsOut;
  }

  Machine m;
  m.regs = registersOut;
  m.ram = ramOut;
  m.rom = romIn;
  m.portsRead = portsRead;
  m.portsWrite = portsOut;
  m.highlight = highlight;
  m.ramMarker = ramMarker;
  m.ramMarkerOn = ramMarkerOn;
  m.romMarker = romMarker;
  m.romMarkerOn = romMarkerOn;
  m.flags = statusFlags;
  m.byte = wordOperation == 0;
  m.sourceAddress = ParseAfterPrefix(sourceAddressText, kAddressTextSize) & 0xFFFF;
  m.destinationAddress = ParseAfterPrefix(destinationAddressText, kAddressTextSize) & 0xFFFF;
  m.sourceText = sourceText;

  for (int i = 0; i < kRegisterCount; ++i) highlight[i] = kHighlightIdle;
  highlight[0] = kHighlightPC;
  uint32_t cIn = Reg(m, 2) & 1;
  AdvancePC(m);

  switch (format) {
    case kFormatDoubleOperand:
      RunDoubleOperand(m, dualOperation, false, 0, sourceMode, sourceRegister, destinationMode,
                       destinationRegister, cIn);
      break;
    case kFormatSingleOperand:
      RunSingleOperand(m, singleOperation, sourceMode, sourceRegister, destinationMode,
                       destinationRegister, cIn);
      break;
    case kFormatJump:
      RunJump(m, jumpOperation, pcOffset);
      break;
    default: {  // emulated
      static const uint32_t kRunsAs[kEmulatedOperationCount] = {kOpSUB,  kOpADD, 0,      0,     0,
                                                                kOpADDC, kOpADD, kOpMOV, kOpCMP};
      if (emulatedOperation == kOpNOP || emulatedOperation == kOpPOP ||
          emulatedOperation == kOpRET) {
        RunStackEmulated(m, emulatedOperation, destinationMode, destinationRegister);
      } else {
        RunDoubleOperand(m, kRunsAs[emulatedOperation], true, emulatedOperation, sourceMode,
                         sourceRegister, destinationMode, destinationRegister, cIn);
      }
      break;
    }
  }
}
