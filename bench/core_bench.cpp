// One instruction step of the simulator core as the panel runs it while
// executing continuously: FETCH/DECODE (Disassemble, the decoded fields
// loaded into the selectors), the address unit for both operands
// (AddressCalc x2), Assemble and EXECUTE, on the demonstration program.
//
// Run: build/bench/core_bench --benchmark_repetitions=9
//      --benchmark_report_aggregates_only=true   (the median is the figure)
#include <benchmark/benchmark.h>
#include <string.h>

#include "core/mycode.h"

namespace {

struct Bench {
  MachineState machine;
  InstructionSelection selection;
  DecodedInstruction decoded;
  AddressUnit source;
  AddressUnit destination;
  AssembledInstruction assembled;
};

Bench* NewBench() {
  static Bench b;
  InitMachine(&b.machine);
  InitSelection(&b.selection);
  InitDecoded(&b.decoded);
  memset(&b.source, 0, sizeof b.source);
  memset(&b.destination, 0, sizeof b.destination);
  memset(&b.assembled, 0, sizeof b.assembled);
  ResetMachine(&b.machine, nullptr, &b.decoded);
  return &b;
}

void BM_InstructionStep(benchmark::State& state) {
  Bench* b = NewBench();
  MachineState* m = &b->machine;
  for (auto _ : state) {
    DisassembleAtPC(m, &b->decoded);
    if (b->decoded.resetRequest) {
      state.SkipWithError("the demonstration program asked for a reset");
      break;
    }
    LoadDecodedSelection(&b->decoded, &b->selection);
    // Both address units are called every step; for a register operand
    // AddressCalc has nothing to compute and returns at once.
    AddressCalc(b->selection.sourceMode, static_cast<int32_t>(b->selection.sourceRegister),
                b->selection.sourceText, m->registers, 0, &b->source.shownRegister,
                b->source.base, b->source.index, b->source.address);
    AddressCalc(b->selection.destinationMode,
                static_cast<int32_t>(b->selection.destinationRegister),
                b->selection.destinationText, m->registers,
                SourceHasExtensionWord(b->selection.sourceMode, b->selection.sourceText),
                &b->destination.shownRegister, b->destination.base, b->destination.index,
                b->destination.address);
    AssembleSelection(&b->selection, &b->source, &b->destination, &b->assembled);
    ExecuteSelection(&b->selection, &b->source, &b->destination, m);
    benchmark::DoNotOptimize(m->registers[4][0]);
  }
}
BENCHMARK(BM_InstructionStep);

} // namespace

BENCHMARK_MAIN();
