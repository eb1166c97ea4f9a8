// velkor_trace_run — running a program to its end without the window, and
// what a teacher reads of the machine afterwards.
//
// What it is
//   The step of velkor-trace as the panel's two clicks do it (FETCH/DECODE,
//   then EXECUTE), told apart by how it ended: an instruction that ran (with
//   the RAM words and port registers it changed, and whether it jumped to
//   itself), or a word the panel answers with RESET. On top of it the
//   grading record: the machine after the run as one JSON object.
//
// How velkor-trace uses it
//   for each step:  RunTraceStep(&sim, &step);
//                   step.kind == kStepExecuted   -> print, maybe stop when idle
//                   otherwise                    -> RESET (trace) or stop (grading)
//   at the end:     GradingRecord(file, sim.machine, stop) -> one line of --json
//
// Threads: one Simulator per caller; nothing is shared.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "core/mycode.h"

// How a step ended.
enum TraceStepKind {
  kStepExecuted,     // an instruction ran
  kStepUndecodable,  // the word at PC in program memory fits no instruction
  kStepOutside,      // PC lies outside program memory, where every word reads 0
};

// A RAM word or port register that an instruction changed.
struct TraceWrite {
  uint16_t address;
  uint16_t value;  // a port register's byte, a RAM word's word
  bool port;
};

constexpr int kTraceMaxWrites = 8;  // an instruction changes at most two words and a port

struct TraceStep {
  TraceStepKind kind;
  uint16_t address;  // PC before the step
  uint16_t word;     // the word at PC
  bool idle;         // executed, and PC came back to `address`: a jump to itself
  int writeCount;
  TraceWrite writes[kTraceMaxWrites];
};

// One FETCH/DECODE and, when the word decodes, EXECUTE. The ports are wired
// first, as every frame does before the panel runs an instruction. A word
// the panel answers with RESET leaves the machine as it is (the caller
// resets it or stops).
void RunTraceStep(Simulator* simulator, TraceStep* step);

// The ports wired once more, so that the lamps show what the last
// instruction wrote to P1 (the panel shows it one frame later).
void SettlePorts(MachineState* machine);

// Why a run ended.
enum TraceStopReason {
  kStopStepLimit,
  kStopJumpToItself,
  kStopUndecodableWord,
  kStopReset,  // PC left program memory; the panel answers with RESET
};

struct TraceStop {
  TraceStopReason reason;
  unsigned long steps;  // instructions executed (a RESET of the plain trace counts too)
  uint16_t address;     // where it stopped (not for the step limit)
  uint16_t word;        // the word there
};

const char* TraceStopName(TraceStopReason reason);

// "FF80" (for texts and JSON keys).
std::string Hex4(unsigned value);

// The seven-segment display of P1's lamps: bit 0 a (top), 1 b, 2 c, 3 d
// (bottom), 4 e, 5 f, 6 g (middle), 7 the point. The digit 0..9 or A..F the
// lit bars a..g show, 0 when they show none (dark or no digit).
char SevenSegmentDigit(const uint8_t* lamps);

// The grading record of one file: registers, flags, the RAM words that are
// not zero, the ports, the display, the steps and why the run stopped.
// `file` null: the demonstration program.
nlohmann::ordered_json GradingRecord(const char* file, const MachineState& machine,
                                     const TraceStop& stop);
