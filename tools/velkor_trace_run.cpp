// The step of velkor-trace and the grading record (see velkor_trace_run.h).
#include "tools/velkor_trace_run.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint16_t kRomFirst = 0xFF80;

// The port registers by their cell, with the addresses an instruction names.
struct PortRegister {
  const char* name;
  int cell;
  uint16_t address;
};
constexpr PortRegister kPortRegisters[] = {
    {"P1IN", 0, 0x20}, {"P1OUT", 1, 0x21}, {"P1DIR", 2, 0x22},
    {"P2IN", 4, 0x28}, {"P2OUT", 5, 0x29}, {"P2DIR", 6, 0x2A},
};

unsigned parse_hex(const char* text) {
  return static_cast<unsigned>(strtoul(text, nullptr, 16)) & 0xFFFF;
}

uint16_t ram_word(const MachineState& m, int row) {
  return static_cast<uint16_t>((parse_hex(m.ram[row].cells[kRowHighCell]) << 8) |
                               (parse_hex(m.ram[row].cells[kRowLowCell]) & 0xFF));
}

uint16_t ram_address(int row) {
  return static_cast<uint16_t>(0x027E - 2 * row);
}

// What an instruction may change that the trace reports.
struct Observed {
  uint16_t ram[kMemoryRowCount];
  uint16_t ports[kPortCellCount];
};

void observe(const MachineState& m, Observed* out) {
  for (int row = 0; row < kMemoryRowCount; ++row) out->ram[row] = ram_word(m, row);
  for (int cell = 0; cell < kPortCellCount; ++cell)
    out->ports[cell] = static_cast<uint16_t>(parse_hex(m.ports[cell]) & 0xFF);
}

void add_write(TraceStep* step, uint16_t address, uint16_t value, bool port) {
  if (step->writeCount < kTraceMaxWrites) step->writes[step->writeCount++] = {address, value, port};
}

// Lowest address first: RAM (0x0200..) after the ports (0x0020..).
void collect_writes(const Observed& before, const Observed& after, TraceStep* step) {
  for (const PortRegister& p : kPortRegisters) {
    // P2IN follows the switches, not the program.
    if (p.cell != 4 && before.ports[p.cell] != after.ports[p.cell])
      add_write(step, p.address, after.ports[p.cell], true);
  }
  for (int row = kMemoryRowCount - 1; row >= 0; --row) {
    if (before.ram[row] != after.ram[row]) add_write(step, ram_address(row), after.ram[row], false);
  }
}

// Segment patterns (bit 0 = a .. bit 6 = g) of the hexadecimal digits, with
// the usual second forms of 6, 7 and 9.
struct DigitPattern {
  uint8_t bars;
  char digit;
};
constexpr DigitPattern kDigits[] = {
    {0x3F, '0'}, {0x06, '1'}, {0x5B, '2'}, {0x4F, '3'}, {0x66, '4'}, {0x6D, '5'},
    {0x7D, '6'}, {0x07, '7'}, {0x27, '7'}, {0x7F, '8'}, {0x6F, '9'}, {0x67, '9'},
    {0x77, 'A'}, {0x7C, 'b'}, {0x39, 'C'}, {0x5E, 'd'}, {0x79, 'E'}, {0x71, 'F'},
};

}  // namespace

std::string Hex4(unsigned value) {
  char text[8];
  snprintf(text, sizeof text, "%04X", value & 0xFFFF);
  return text;
}

void SettlePorts(MachineState* m) {
  Ports(m->ports, m->p2Input, m->ports, m->p1Output);
}

void RunTraceStep(Simulator* s, TraceStep* step) {
  MachineState* m = &s->machine;
  SettlePorts(m);
  *step = {};
  step->address = static_cast<uint16_t>(parse_hex(m->registers[0]));
  step->word = ReadMemoryWord(m->ram, m->rom, m->ports, step->address);
  if (!FetchDecode(s)) {
    step->kind = step->address >= kRomFirst ? kStepUndecodable : kStepOutside;
    return;
  }
  step->kind = kStepExecuted;
  Observed before, after;
  observe(*m, &before);
  ExecuteSelected(s);
  observe(*m, &after);
  collect_writes(before, after, step);
  step->idle = parse_hex(m->registers[0]) == step->address;
}

const char* TraceStopName(TraceStopReason reason) {
  switch (reason) {
    case kStopJumpToItself:
      return "jump-to-itself";
    case kStopUndecodableWord:
      return "undecodable-word";
    case kStopReset:
      return "reset";
    default:
      return "step-limit";
  }
}

char SevenSegmentDigit(const uint8_t* lamps) {
  uint8_t bars = 0;
  for (int bit = 0; bit < 7; ++bit) bars |= static_cast<uint8_t>((lamps[bit] ? 1 : 0) << bit);
  for (const DigitPattern& d : kDigits) {
    if (d.bars == bars) return d.digit;
  }
  return 0;
}

nlohmann::ordered_json GradingRecord(const char* file, const MachineState& m,
                                     const TraceStop& stop) {
  nlohmann::ordered_json record;
  record["file"] = file != nullptr ? nlohmann::ordered_json(file) : nlohmann::ordered_json();
  record["steps"] = stop.steps;
  nlohmann::ordered_json why;
  why["reason"] = TraceStopName(stop.reason);
  if (stop.reason != kStopStepLimit) {
    why["address"] = Hex4(stop.address);
    why["word"] = Hex4(stop.word);
  }
  record["stop"] = why;
  nlohmann::ordered_json registers;
  for (int r = 0; r < kRegisterCount; ++r)
    registers["R" + std::to_string(r)] = Hex4(parse_hex(m.registers[r]));
  record["registers"] = registers;
  record["flags"] = {{"V", m.statusFlags[kFlagV] ? 1 : 0},
                     {"N", m.statusFlags[kFlagN] ? 1 : 0},
                     {"Z", m.statusFlags[kFlagZ] ? 1 : 0},
                     {"C", m.statusFlags[kFlagC] ? 1 : 0}};
  nlohmann::ordered_json ram = nlohmann::ordered_json::object();
  for (int row = kMemoryRowCount - 1; row >= 0; --row) {
    const uint16_t word = ram_word(m, row);
    if (word != 0) ram[Hex4(ram_address(row))] = Hex4(word);
  }
  record["ram"] = ram;
  nlohmann::ordered_json ports;
  for (const PortRegister& p : kPortRegisters) {
    char value[4];
    snprintf(value, sizeof value, "%02X", parse_hex(m.ports[p.cell]) & 0xFF);
    ports[p.name] = value;
  }
  record["ports"] = ports;
  std::string lit;
  for (int bit = 0; bit < 7; ++bit) {
    if (m.p1Output[bit]) lit += static_cast<char>('a' + bit);
  }
  const char digit = SevenSegmentDigit(m.p1Output);
  record["display"] = {{"segments", lit},
                       {"point", m.p1Output[7] ? true : false},
                       {"digit", digit != 0 ? nlohmann::ordered_json(std::string(1, digit))
                                            : nlohmann::ordered_json()}};
  return record;
}
