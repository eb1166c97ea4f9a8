// The core operations on selections, indices and texts taken from the
// input. Indices may be anything and texts may lack their terminator: the
// core must then do nothing, and must never read or write outside its
// records. After each call every text of the machine is checked to be
// terminated inside its buffer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/mycode.h"

// A broken expectation: names the line of this file, then stops the run
// so that libFuzzer saves the input.
[[noreturn]] static void fuzz_fail(int line) {
  fprintf(stderr, "%s:%d: expectation failed\n", __FILE__, line);
  abort();
}

namespace {

// Reads the input front to back; past its end everything is zero.
struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t byte() { return at < size ? data[at++] : 0; }
  uint32_t word() {
    uint32_t v = 0;
    for (int i = 0; i < 4; i++) v = (v << 8) | byte();
    return v;
  }
  // An index mostly near its vocabulary, sometimes anything.
  uint32_t index(uint32_t range) {
    uint8_t b = byte();
    if (b == 0xFF) return word();
    return b % (range + 2);
  }
  // Fills a buffer of `capacity` bytes; with the first byte odd it stays
  // unterminated.
  void text(char* out, size_t capacity) {
    uint8_t header = byte();
    size_t length = byte() % (capacity + 1);
    for (size_t i = 0; i < length; i++) out[i] = static_cast<char>(byte());
    if (header & 1) {
      for (size_t i = length; i < capacity; i++) out[i] = 'A';
    } else {
      if (length >= capacity) length = capacity - 1;
      out[length] = 0;
    }
  }
};

// Every text must end inside its buffer; `line` names the caller's check.
template <size_t N>
void check_terminated(const char (&text)[N], int line) {
  if (memchr(text, 0, N) == nullptr) fuzz_fail(line);
}

void check_machine(const MachineState& m, int line) {
  for (const TextCell& r : m.registers) check_terminated(r, line);
  for (const MemoryRow& row : m.ram)
    for (const TextCell& c : row.cells) check_terminated(c, line);
  for (const MemoryRow& row : m.rom)
    for (const TextCell& c : row.cells) check_terminated(c, line);
  for (const PortCell& p : m.ports) check_terminated(p, line);
  if (m.ramMarker.row > kNoMarkedRow || m.romMarker.row > kNoMarkedRow) fuzz_fail(line);
}

Simulator simulator;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  InitSimulator(&simulator);
  MachineState& m = simulator.machine;
  InstructionSelection s;
  InitSelection(&s);

  // Some machine texts replaced by input (ROM words, registers).
  uint32_t edits = in.byte() % 8;
  for (uint32_t i = 0; i < edits; i++) {
    uint32_t what = in.byte();
    uint32_t row = in.byte() % kMemoryRowCount;
    if (what & 1) {
      in.text(m.rom[row].cells[1 + (what >> 1) % 2], kTextCellSize);
    } else {
      in.text(m.registers[row % kRegisterCount], kTextCellSize);
      if (memchr(m.registers[row % kRegisterCount], 0, kTextCellSize) == nullptr)
        m.registers[row % kRegisterCount][kTextCellSize - 1] = 0;
    }
    if (memchr(m.rom[row].cells[1], 0, kTextCellSize) == nullptr) m.rom[row].cells[1][0] = 0;
    if (memchr(m.rom[row].cells[2], 0, kTextCellSize) == nullptr) m.rom[row].cells[2][0] = 0;
  }

  s.format = in.index(kFormatNone);
  s.dualOperation = in.index(kDualOperationCount);
  s.singleOperation = in.index(kSingleOperationCount);
  s.jumpOperation = in.index(kJumpOperationCount);
  s.emulatedOperation = in.index(kEmulatedOperationCount);
  s.sourceMode = in.index(kModeCount);
  s.sourceRegister = in.index(kRegisterCount);
  s.destinationMode = in.index(kDestinationModeCount);
  s.destinationRegister = in.index(kRegisterCount);
  uint32_t offset_bits = in.word();
  memcpy(&s.pcOffset, &offset_bits, sizeof s.pcOffset);
  in.text(s.sourceText, kTextCellSize);
  in.text(s.destinationText, kTextCellSize);
  s.wordOperation = in.byte() & 1;

  AddressUnit& src = simulator.source;
  AddressUnit& dst = simulator.destination;
  AddressCalc(s.sourceMode, static_cast<int32_t>(s.sourceRegister), s.sourceText, m.registers, 0,
              &src.shownRegister, src.base, src.index, src.address);
  AddressCalc(s.destinationMode, static_cast<int32_t>(s.destinationRegister), s.destinationText,
              m.registers, in.byte() & 1, &dst.shownRegister, dst.base, dst.index, dst.address);
  check_terminated(src.address, __LINE__);
  check_terminated(dst.address, __LINE__);

  AssembledInstruction& a = simulator.assembled;
  Assemble(s.format, s.dualOperation, s.singleOperation, s.jumpOperation, s.emulatedOperation,
           s.sourceMode, s.sourceRegister, static_cast<int32_t>(s.destinationMode),
           s.destinationRegister, s.pcOffset, s.sourceText, s.destinationText, s.wordOperation,
           src.index, dst.index, a.text, a.bits, a.word, a.extension1, a.extension2);
  check_terminated(a.text, __LINE__);
  check_terminated(a.word, __LINE__);

  Execute(s.format, s.dualOperation, s.singleOperation, s.jumpOperation, s.emulatedOperation,
          static_cast<int32_t>(s.sourceMode), static_cast<int32_t>(s.sourceRegister),
          static_cast<int32_t>(s.destinationMode), static_cast<int32_t>(s.destinationRegister),
          s.pcOffset, s.sourceText, m.registers, m.ram, m.rom, s.wordOperation, src.address,
          dst.address, m.ports, m.registers, m.highlight, m.ram, &m.ramMarker, &m.ramMarkerOn,
          &m.romMarker, &m.romMarkerOn, m.statusFlags, m.ports);
  check_machine(m, __LINE__);

  DecodedInstruction& d = simulator.decoded;
  Disassemble(m.registers[0], m.rom, &d.format, &d.dualOperation, &d.singleOperation,
              &d.jumpOperation, &d.emulatedOperation, &d.sourceMode, &d.sourceRegister,
              &d.destinationMode, &d.destinationRegister, &d.pcOffset, d.sourceText,
              d.destinationText, &d.resetRequest, &d.wordFlag);
  check_terminated(d.sourceText, __LINE__);
  check_terminated(d.destinationText, __LINE__);

  // Hand edits: texts of any shape, rows and registers of any value.
  char text[kTextCellSize];
  in.text(text, sizeof text);
  char hex[kTextCellSize] = {};
  uint16_t number = 0;
  uint8_t valid = 0;
  if (memchr(text, 0, sizeof text) != nullptr) HexConv(text, hex, &number, &valid);
  check_terminated(hex, __LINE__);
  ChangeReg(static_cast<int32_t>(in.word()), text, m.registers);
  ChangeReg(static_cast<int32_t>(in.byte() % 18) - 1, text, m.registers);
  ChangeRAM(text, static_cast<int32_t>(in.word()), m.ram);
  ChangeRAM(text, static_cast<int32_t>(in.byte() % 66) - 1, m.ram);
  check_machine(m, __LINE__);

  // A few whole instruction cycles from whatever the machine now holds.
  for (int i = 0; i < 4; i++) {
    if (!FetchDecode(&simulator)) break;
    UpdateAddressUnits(&simulator.selection, m.registers, &src, &dst);
    ExecuteSelection(&simulator.selection, &src, &dst, &m);
    check_machine(m, __LINE__);
  }
  return 0;
}
