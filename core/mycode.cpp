// The machine held as text: parsing and writing the cells, the memory map,
// the register writer and the hand edits, the address unit, reset, NMI and
// the ports.
#include "core/mycode.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/mycode_internal.h"

namespace core_detail {

bool Terminated(const char* text, size_t size) {
  return text != nullptr && memchr(text, 0, size) != nullptr;
}

bool CellsTerminated(const TextCell* cells, int count) {
  for (int i = 0; i < count; ++i) {
    if (!Terminated(cells[i], kTextCellSize)) return false;
  }
  return true;
}

bool RowTerminated(const MemoryRow* row) {
  return Terminated(row->cells[kRowHighCell], kTextCellSize) &&
         Terminated(row->cells[kRowLowCell], kTextCellSize);
}

bool RowsTerminated(const MemoryRow* rows) {
  for (int r = 0; r < kMemoryRowCount; ++r) {
    if (!RowTerminated(&rows[r])) return false;
  }
  return true;
}

bool PortsTerminated(const PortCell* ports) {
  for (int i = 0; i < kPortCellCount; ++i) {
    if (!Terminated(ports[i], kPortCellSize)) return false;
  }
  return true;
}

static int digit_value(char c, uint32_t base) {
  int v = -1;
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  return (v >= 0 && static_cast<uint32_t>(v) < base) ? v : -1;
}

static uint32_t parse_unsigned(const char* text, size_t size, uint32_t base) {
  if (text == nullptr) return 0;
  size_t i = 0;
  // Port cells carry "0x"; memory cells do not; both parse alike.
  if (size >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && base == 16) {
    i = 2;
  }
  uint64_t value = 0;
  for (; i < size; ++i) {
    int d = digit_value(text[i], base);
    if (d < 0) break;
    value = value * base + static_cast<uint64_t>(d);
    if (value > 0xFFFFFFFFull) value = 0xFFFFFFFFull + 1;  // keeps saturating
  }
  return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

uint32_t ParseHex(const char* text, size_t size) {
  return parse_unsigned(text, size, 16);
}

uint32_t ParseDecimal(const char* text, size_t size) {
  return parse_unsigned(text, size, 10);
}

uint32_t ParseAfterPrefix(const char* text, size_t size) {
  if (text == nullptr || size < 3 || text[0] == 0 || text[1] == 0) return 0;
  return parse_unsigned(text + 2, size - 2, 16);
}

static const char kHexDigits[] = "0123456789ABCDEF";

void WriteHex4(char* out, uint32_t value) {
  out[0] = kHexDigits[(value >> 12) & 0xF];
  out[1] = kHexDigits[(value >> 8) & 0xF];
  out[2] = kHexDigits[(value >> 4) & 0xF];
  out[3] = kHexDigits[value & 0xF];
  out[4] = 0;
}

void WriteHex2(char* out, uint32_t value) {
  out[0] = kHexDigits[(value >> 4) & 0xF];
  out[1] = kHexDigits[value & 0xF];
  out[2] = 0;
}

void WriteWordToRow(MemoryRow* row, uint32_t value) {
  WriteHex2(row->cells[kRowHighCell], value >> 8);
  WriteHex2(row->cells[kRowLowCell], value);
}

void WriteHexPrefixed(char* out, uint32_t value) {
  out[0] = '0';
  out[1] = 'x';
  WriteHex4(out + 2, value);
}

void WritePortCell(PortCell cell, uint32_t value) {
  cell[0] = '0';
  cell[1] = 'x';
  WriteHex2(cell + 2, value);
}

void MarkRow(TableMarker* marker, uint8_t* markerOn, int row) {
  if (marker != nullptr) {
    marker->row = row < 0 ? kNoMarkedRow : static_cast<uint32_t>(row);
    marker->column = 0;
  }
  if (markerOn != nullptr) *markerOn = 1;
}

uint32_t RegisterValue(const TextCell* registers, int reg) {
  return ParseHex(registers[reg], kTextCellSize) & 0xFFFF;
}

int RamRow(uint32_t address) {
  if (address < 0x0200 || address > 0x027F) return -1;
  return static_cast<int>((0x027E - (address & 0xFFFE)) / 2);
}

int RomRow(uint32_t address) {
  if (address < 0xFF80 || address > 0xFFFF) return -1;
  return static_cast<int>((0xFFFE - (address & 0xFFFE)) / 2);
}

int PortCellIndex(uint32_t address) {
  if (address >= 0x0020 && address <= 0x0022) return static_cast<int>(address - 0x20);
  if (address >= 0x0028 && address <= 0x002A) return static_cast<int>(address - 0x24);
  return -1;
}

static uint32_t parse_cell(const char* cell, size_t size, CellRadix radix) {
  return radix == kRadixHex ? ParseHex(cell, size) : ParseDecimal(cell, size);
}

static const MemoryRow* row_at(const MemoryRow* ram, const MemoryRow* rom, uint32_t address) {
  int r = RamRow(address);
  if (r >= 0) return ram != nullptr ? &ram[r] : nullptr;
  r = RomRow(address);
  if (r >= 0) return rom != nullptr ? &rom[r] : nullptr;
  return nullptr;
}

uint32_t ReadByte(const MemoryRow* ram, const MemoryRow* rom, const PortCell* ports,
                  uint32_t address, CellRadix radix) {
  const MemoryRow* row = row_at(ram, rom, address);
  if (row != nullptr) {
    const char* cell = row->cells[(address & 1) ? kRowHighCell : kRowLowCell];
    return parse_cell(cell, kTextCellSize, radix) & 0xFF;
  }
  int p = PortCellIndex(address);
  if (p >= 0 && ports != nullptr) {
    return parse_cell(ports[p], kPortCellSize, radix) & 0xFF;
  }
  return 0;
}

uint32_t ReadWord(const MemoryRow* ram, const MemoryRow* rom, const PortCell* ports,
                  uint32_t address, CellRadix radix) {
  uint32_t even = address & 0xFFFE;
  const MemoryRow* row = row_at(ram, rom, even);
  if (row != nullptr) {
    uint32_t high = parse_cell(row->cells[kRowHighCell], kTextCellSize, radix);
    uint32_t low = parse_cell(row->cells[kRowLowCell], kTextCellSize, radix);
    return ((high << 8) & 0xFFFF) | (low & 0xFF);
  }
  // A port word: the even address's cell is the low byte, the next cell the
  // high byte (0x0022 pairs P1DIR with the spare cell).
  if (PortCellIndex(address) >= 0 && ports != nullptr) {
    // Both port ranges start at an even address, so `even` maps to a cell.
    int p = PortCellIndex(even);
    uint32_t low = parse_cell(ports[p], kPortCellSize, radix);
    uint32_t high = parse_cell(ports[p + 1], kPortCellSize, radix);
    return ((high << 8) & 0xFFFF) | (low & 0xFF);
  }
  return 0;
}

uint32_t ReadStackWord(const MemoryRow* ram, uint32_t sp) {
  if (ram == nullptr || sp < 0x0200 || sp > 0x027E) return 0;
  return ReadWord(ram, nullptr, nullptr, sp, kRadixHex);
}

void WriteStackWord(MemoryRow* ram, uint32_t sp, uint32_t value) {
  if (ram == nullptr || sp < 0x0200 || sp > 0x027E) return;
  WriteWordToRow(&ram[RamRow(sp)], value);
}

void WriteMemory(MemoryRow* ram, PortCell* ports, uint32_t address, uint32_t value, bool byte) {
  int r = RamRow(address);
  if (r >= 0) {
    if (ram == nullptr) return;
    if (!byte) {
      WriteWordToRow(&ram[r], value);
    } else {
      WriteHex2(ram[r].cells[(address & 1) ? kRowHighCell : kRowLowCell], value);
    }
    return;
  }
  int p = PortCellIndex(address);
  // A port takes the low byte in byte and word operations alike.
  if (p >= 0 && ports != nullptr) WritePortCell(ports[p], value);
}

bool OffsetInRange(float offset) {
  return std::isfinite(offset) && offset > -513.0f && offset < 512.0f;
}

const ConstantGenerator kConstantGenerators[6] = {{0, 3, 0}, {1, 3, 1}, {2, 3, 2},
                                                  {4, 2, 2}, {8, 2, 3}, {0xFFFF, 3, 3}};

const ConstantGenerator* FindConstantGenerator(uint32_t value) {
  for (const ConstantGenerator& c : kConstantGenerators) {
    if (c.value == value) return &c;
  }
  return nullptr;
}

bool OperationInVocabulary(uint32_t format, uint32_t dualOperation, uint32_t singleOperation,
                           uint32_t jumpOperation, uint32_t emulatedOperation,
                           uint32_t singleCount) {
  switch (format) {
    case kFormatDoubleOperand:
      return dualOperation < kDualOperationCount;
    case kFormatSingleOperand:
      return singleOperation < singleCount;
    case kFormatJump:
      return jumpOperation < kJumpOperationCount;
    case kFormatEmulated:
      return emulatedOperation < kEmulatedOperationCount;
    default:
      return false;
  }
}

}  // namespace core_detail

using namespace core_detail;

void SetRegister(TextCell* registers, uint8_t reg, uint16_t value, TableMarker* ramMarker,
                 uint8_t* ramMarkerOn, TableMarker* romMarker, uint8_t* romMarkerOn) {
  if (registers == nullptr || reg >= kRegisterCount) return;
  switch (reg) {
    case 0: {
      // PC and SP are even; their table markers follow them.
      uint32_t pc = value & 0xFFFEu;
      WriteHex4(registers[0], pc);
      MarkRow(romMarker, romMarkerOn, RomRow(pc));
      break;
    }
    case 1: {
      uint32_t sp = value & 0xFFFEu;
      WriteHex4(registers[1], sp);
      MarkRow(ramMarker, ramMarkerOn, RamRow(sp));
      break;
    }
    case 2:
      // SR holds only V, N, Z and C.
      WriteHex4(registers[2], value & 0x107u);
      break;
    case 3:
      // R3 is the constant generator: it never takes a value.
      break;
    default:
      WriteHex4(registers[reg], value);
      break;
  }
}

void HexConv(const char* input, char* outText, uint16_t* outNumber, uint8_t* outValid) {
  long long value = 0;
  uint8_t valid = 0;
  if (input != nullptr) {
    if (!Terminated(input, kTextCellSize)) return;
    errno = 0;
    char* end = nullptr;
    value = strtoll(input, &end, 0);
    // The typed value must fit either a signed or an unsigned 16-bit word.
    valid = (errno != EINVAL && value >= -32768 && value <= 65535) ? 1 : 0;
    if (!valid) value = 0;
  }
  uint32_t low = static_cast<uint32_t>(value) & 0xFFFF;
  if (outText != nullptr) WriteHex4(outText, low);
  if (outNumber != nullptr) *outNumber = static_cast<uint16_t>(low);
  if (outValid != nullptr) *outValid = valid;
}

void ChangeReg(int32_t reg, const char* hexText, TextCell* registers) {
  if (registers == nullptr || hexText == nullptr) return;
  if (reg < 0 || reg >= kRegisterCount) return;
  if (!Terminated(hexText, kTextCellSize)) return;
  // The register writer's masks, without moving the table markers.
  SetRegister(registers, static_cast<uint8_t>(reg),
              static_cast<uint16_t>(ParseHex(hexText, kTextCellSize)), nullptr, nullptr, nullptr,
              nullptr);
}

void ChangeRAM(const char* hexText, int32_t row, MemoryRow* ram) {
  if (ram == nullptr || hexText == nullptr) return;
  if (row < 0 || row >= kMemoryRowCount) return;
  // Only a four-digit word is taken: anything shorter would copy characters
  // from behind its terminator into the table.
  for (int i = 0; i < 4; ++i) {
    if (digit_value(hexText[i], 16) < 0) return;
  }
  // Each byte cell ends up holding exactly the two copied digits, also when
  // it held one digit or three (a decimal byte) before.
  char* high = ram[row].cells[kRowHighCell];
  char* low = ram[row].cells[kRowLowCell];
  high[0] = hexText[0];
  high[1] = hexText[1];
  high[2] = 0;
  low[0] = hexText[2];
  low[1] = hexText[3];
  low[2] = 0;
}

namespace {

// What the address unit shows for one operand.
struct UnitValues {
  uint32_t shown;  // the base register
  uint32_t base;
  uint32_t offset;
  uint32_t address;
};

// `v` is the operand text's value; `pcRelative` the address of this
// operand's extension word, which follows the instruction word, and the
// source's extension word too when there is one.
UnitValues address_unit_values(uint32_t mode, int32_t reg, uint32_t v, const TextCell* registers,
                               uint32_t pcRelative) {
  const uint32_t pc = RegisterValue(registers, 0);
  const uint32_t r = static_cast<uint32_t>(reg);
  switch (mode) {
    case kModeIndexed: {
      uint32_t base = reg == 0 ? pcRelative : RegisterValue(registers, reg);
      return {r, base, v, base + v};
    }
    case kModeSymbolic:
      // The user enters the target; the word the instruction carries is the
      // distance from the extension word's own address.
      return {0, pcRelative, v - pcRelative, v};
    case kModeAbsolute:
      return {2, 0, v, v};
    case kModeIndirect:
    case kModeAutoincrement: {
      uint32_t base = reg == 0 ? pc + 2 : RegisterValue(registers, reg);
      return {r, base, 0, base};
    }
    default:  // immediate: the operand is the word after the instruction
      return {0, pc + 2, 0, pc + 2};
  }
}

}  // namespace

void AddressCalc(uint32_t mode, int32_t reg, const char* operandText, const TextCell* registers,
                 uint8_t sourceExtensionFirst, uint32_t* shownRegister, char* baseText,
                 char* indexText, char* addressText) {
  if (shownRegister == nullptr || baseText == nullptr || indexText == nullptr ||
      addressText == nullptr || registers == nullptr) {
    return;
  }
  // Register mode has no address; the unit is never shown for it.
  if (mode < kModeIndexed || mode >= kModeCount) return;
  if (reg < 0 || reg >= kRegisterCount) return;
  if (!CellsTerminated(registers, kRegisterCount)) return;
  if (operandText != nullptr && !Terminated(operandText, kTextCellSize)) return;

  uint32_t v = ParseHex(operandText, kTextCellSize) & 0xFFFF;
  uint32_t pcRelative = RegisterValue(registers, 0) + (sourceExtensionFirst ? 4 : 2);
  UnitValues unit = address_unit_values(mode, reg, v, registers, pcRelative);
  *shownRegister = unit.shown;
  WriteHexPrefixed(baseText, unit.base & 0xFFFF);
  WriteHexPrefixed(indexText, unit.offset & 0xFFFF);
  WriteHexPrefixed(addressText, unit.address & 0xFFFF);
}

void Reset(const MemoryRow* rom, TextCell* registers, MemoryRow* ram, TableMarker* ramMarker,
           uint8_t* ramMarkerOn, TableMarker* romMarker, uint8_t* romMarkerOn, uint8_t* statusFlags,
           uint8_t* phase, uint32_t* decodedFormat) {
  if (registers == nullptr || ram == nullptr || ramMarker == nullptr || statusFlags == nullptr ||
      phase == nullptr) {
    return;
  }
  if (rom != nullptr && !RowTerminated(&rom[0])) return;
  for (int i = 0; i < 4; ++i) statusFlags[i] = 0;
  for (uint8_t r = 0; r < kRegisterCount; ++r) {
    SetRegister(registers, r, 0, ramMarker, ramMarkerOn, romMarker, romMarkerOn);
  }
  for (int r = 0; r < kMemoryRowCount; ++r) WriteWordToRow(&ram[r], 0);
  uint32_t vector = rom != nullptr ? ReadWord(nullptr, rom, nullptr, 0xFFFE, kRadixHex) : 0;
  SetRegister(registers, 0, static_cast<uint16_t>(vector), ramMarker, ramMarkerOn, romMarker,
              romMarkerOn);
  *phase = 0;
  if (decodedFormat != nullptr) *decodedFormat = kFormatNone;
}

void NMI(const MemoryRow* rom, const TextCell* registersIn, TextCell* registersOut, MemoryRow* ram,
         TableMarker* ramMarker, uint8_t* ramMarkerOn, TableMarker* romMarker,
         uint8_t* romMarkerOn) {
  if (registersOut == nullptr) return;
  const TextCell* in = registersIn != nullptr ? registersIn : registersOut;
  if (!CellsTerminated(in, kRegisterCount)) return;
  if (rom != nullptr && !RowTerminated(&rom[1])) return;
  uint32_t pc = RegisterValue(in, 0);
  uint32_t sr = RegisterValue(in, 2);
  // SP stays even, as SetRegister keeps it.
  uint32_t sp = (RegisterValue(in, 1) - 2) & 0xFFFE;
  if (in != registersOut) memmove(registersOut, in, sizeof(TextCell) * kRegisterCount);
  SetRegister(registersOut, 1, static_cast<uint16_t>(sp), ramMarker, ramMarkerOn, romMarker,
              romMarkerOn);
  WriteStackWord(ram, sp, pc);
  sp = (sp - 2) & 0xFFFE;
  SetRegister(registersOut, 1, static_cast<uint16_t>(sp), ramMarker, ramMarkerOn, romMarker,
              romMarkerOn);
  WriteStackWord(ram, sp, sr);
  SetRegister(registersOut, 2, 0, ramMarker, ramMarkerOn, romMarker, romMarkerOn);
  uint32_t vector = rom != nullptr ? ReadWord(nullptr, rom, nullptr, 0xFFFC, kRadixHex) : 0;
  SetRegister(registersOut, 0, static_cast<uint16_t>(vector), ramMarker, ramMarkerOn, romMarker,
              romMarkerOn);
}

void Ports(const PortCell* portsIn, const uint8_t* p2Input, PortCell* portsOut, uint8_t* p1Output) {
  if (portsOut == nullptr || p1Output == nullptr) return;
  const PortCell* in = portsIn != nullptr ? portsIn : portsOut;
  if (!PortsTerminated(in)) return;
  uint32_t p1out = ParseHex(in[1], kPortCellSize) & 0xFFFF;
  uint32_t p1dir = ParseHex(in[2], kPortCellSize) & 0xFFFF;
  uint32_t p2dir = ParseHex(in[6], kPortCellSize) & 0xFFFF;
  for (int i = 0; i < 8; ++i) {
    // A lamp whose pin is an input keeps what it showed last.
    if (p1dir & (1u << i)) p1Output[i] = (p1out >> i) & 1;
  }
  uint32_t p2in = 0;
  for (int i = 0; i < 8; ++i) {
    // Pins configured as outputs read 0 at P2IN.
    if (!(p2dir & (1u << i)) && p2Input != nullptr && p2Input[i]) p2in |= 1u << i;
  }
  WritePortCell(portsOut[4], p2in);
}
