// Helpers shared by the core's source files; not part of the core's API.
//
// Texts are parsed the way the machine's cells are written: an optional
// "0x", then digits up to the first character that is not one. Every parser
// stops at the end of its buffer, so a cell without a terminator is never
// read past; the operations check terminators first and refuse such input.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/mycode.h"

namespace core_detail {

// 1 when `text` holds a terminator within its first `size` characters.
bool Terminated(const char* text, size_t size);
bool CellsTerminated(const TextCell* cells, int count);
// A row's high and low byte cells (the only cells of a row the core reads),
// of one row or of all 64.
bool RowTerminated(const MemoryRow* row);
bool RowsTerminated(const MemoryRow* rows);
bool PortsTerminated(const PortCell* ports);

// Unsigned parse with an optional "0x" prefix, saturating at 0xFFFFFFFF.
uint32_t ParseHex(const char* text, size_t size);
uint32_t ParseDecimal(const char* text, size_t size);
// "0x1234" -> 0x1234: the text from its third character on, 0 when shorter.
uint32_t ParseAfterPrefix(const char* text, size_t size);
inline uint32_t CellHex(const char* cell) {
  return ParseHex(cell, kTextCellSize);
}

// Fixed-width upper-case hexadecimal, always terminated.
void WriteHex4(char* out, uint32_t value);            // "%04X" of value & 0xFFFF
void WriteHex2(char* out, uint32_t value);            // "%02X" of value & 0xFF
void WriteWordToRow(MemoryRow* row, uint32_t value);  // high and low cells
void WriteHexPrefixed(char* out, uint32_t value);     // "0x%04X", 7 bytes
void WritePortCell(PortCell cell, uint32_t value);    // "0x%02X" of value & 0xFF

// Points a table marker at `row` (no row when negative), column 0, and
// switches it on; null pointers are skipped.
void MarkRow(TableMarker* marker, uint8_t* markerOn, int row);

// Decimal or hexadecimal view of a memory cell.
enum CellRadix { kRadixHex, kRadixDecimal };

uint32_t RegisterValue(const TextCell* registers, int reg);  // hex, & 0xFFFF

// Memory-map reads (0 outside the map); `ram`, `rom` and `ports` may be null.
uint32_t ReadByte(const MemoryRow* ram, const MemoryRow* rom, const PortCell* ports,
                  uint32_t address, CellRadix radix);
uint32_t ReadWord(const MemoryRow* ram, const MemoryRow* rom, const PortCell* ports,
                  uint32_t address, CellRadix radix);
// A stack word: data memory only, 0 when SP lies outside 0x0200..0x027E.
uint32_t ReadStackWord(const MemoryRow* ram, uint32_t sp);
// Pushes a whole word into the row of `sp`; dropped outside data memory.
void WriteStackWord(MemoryRow* ram, uint32_t sp, uint32_t value);
// Instruction writes: data memory and ports only.
void WriteMemory(MemoryRow* ram, PortCell* ports, uint32_t address, uint32_t value, bool byte);

// The row of a data or program memory address, or -1 outside.
int RamRow(uint32_t address);
int RomRow(uint32_t address);
int PortCellIndex(uint32_t address);

// A float jump offset that truncates into -512..511.
bool OffsetInRange(float offset);

// The constant generator: the values R2 and R3 supply in their indirect
// forms, so that the commonest immediates need no extension word. The
// assembler, the decoder and the extension-word rule all read this table.
struct ConstantGenerator {
  uint32_t value;
  uint32_t reg;  // 2 (SR) or 3
  uint32_t as;   // the source addressing bits that select it
};
extern const ConstantGenerator kConstantGenerators[6];
// The entry that supplies `value`, or null when it needs an extension word.
const ConstantGenerator* FindConstantGenerator(uint32_t value);

// The selected format's operation lies inside its vocabulary; the other
// formats' operations are not looked at, since they may hold what an earlier
// decode left in them. `singleCount` bounds the single-operand operations.
bool OperationInVocabulary(uint32_t format, uint32_t dualOperation, uint32_t singleOperation,
                           uint32_t jumpOperation, uint32_t emulatedOperation,
                           uint32_t singleCount);

}  // namespace core_detail
