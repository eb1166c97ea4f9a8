// The command line of the program and the timing of its cycle.
#include "host/target_configuration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

uint32_t Period(std::vector<const char*> arguments, uint32_t default_period = 1) {
  arguments.insert(arguments.begin(), "velkor");
  return ParsePeriodArguments(static_cast<int>(arguments.size()), arguments.data(), default_period);
}

TEST(CommandLine, Period) {
  struct Case {
    std::vector<const char*> arguments;
    uint32_t period;
  } cases[] = {
      {{}, 1},                             // the description's default
      {{"-period", "40"}, 40},
      {{"25"}, 25},                        // a bare number standing last
      {{"-period"}, 0},                    // "-period" standing last is read as a number: none
      {{"-period", "fast"}, 0},            // no number reads as 0
      {{"-period", "40", "7"}, 7},         // the trailing number is read last
      {{"7", "-period", "40"}, 40},        // a bare number not standing last is skipped
      {{"-verbose", "-period", "33", "x"}, 0},
      {{"-period", "33", "-verbose"}, 0},  // the last argument, whatever it says
      {{"-period", " 12ms"}, 12},          // leading blanks and trailing text, as the C library reads
      {{"-period", "-5"}, 0},              // negative: no sleeping rather than an endless one
      {{"-period", "99999999999999"}, 2147483647u},
      {{"-PERIOD", "40"}, 40},             // not the option: skipped, then 40 stands last
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const char* a : c.arguments) shown += std::string(" ") + a;
    EXPECT_EQ(c.period, Period(c.arguments)) << "arguments:" << shown;
  }
}

TEST(CommandLine, DefaultComesFromTheDescription) {
  EXPECT_EQ(33u, Period({}, 33));
  EXPECT_EQ(0u, Period({"-x", "-y"}, 0));  // "-y" stands last and is no number
  EXPECT_EQ(0u, ParsePeriodArguments(1, nullptr, 0));
  EXPECT_EQ(5u, ParsePeriodArguments(3, nullptr, 5));
}

TEST(CycleTiming, SleepsForTheRestOfThePeriod) {
  struct Case {
    uint32_t period;
    uint64_t elapsed;
    uint32_t sleep;
  } cases[] = {
      {33, 0, 33}, {33, 10, 23}, {33, 32, 1}, {33, 33, 0},
      {33, 500, 0},  // a frame longer than the period: the next cycle starts at once
      {1, 0, 1},   {0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.sleep, CycleSleepMilliseconds(c.period, c.elapsed)) << c.period << " ms, " << c.elapsed << " elapsed";
  }
}

}  // namespace
