// One instruction step of the simulator core as the panel runs it while
// executing continuously: FETCH/DECODE (Disassemble, the decoded fields
// loaded into the selectors), the address unit for both operands
// (AddressCalc for each one shown), Assemble and EXECUTE, on the
// demonstration program.
//
// Run: build/bench/core_bench --benchmark_repetitions=9
//      --benchmark_report_aggregates_only=true   (the median is the figure)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "core/mycode.h"

namespace {

void BM_InstructionStep(benchmark::State& state) {
  static Simulator s;
  InitSimulator(&s);
  ResetMachine(&s.machine, nullptr, &s.decoded);
  for (auto _ : state) {
    if (!FetchDecode(&s)) {
      state.SkipWithError("the demonstration program asked for a reset");
      break;
    }
    ExecuteSelected(&s);
    benchmark::DoNotOptimize(s.machine.registers[4][0]);
  }
}
double min_of(const std::vector<double>& v) {
  return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}
double max_of(const std::vector<double>& v) {
  return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
}

BENCHMARK(BM_InstructionStep)->ComputeStatistics("min", min_of)->ComputeStatistics("max", max_of);

}  // namespace

BENCHMARK_MAIN();
