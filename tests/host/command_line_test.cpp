// The command line of the program: the cycle period.
#include "host/target_configuration.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CommandLine, Period) {
  const struct {
    std::vector<const char*> arguments;
    uint32_t period;
  } cases[] = {
      {{}, 33},  // the description's default
      {{"-period", "40"}, 40},
      {{"25"}, 25},                        // a bare number standing last
      {{"-period"}, 0},                    // "-period" standing last is read as a number: none
      {{"-period", "40", "7"}, 7},         // the trailing number is read last
      {{"7", "-period", "40"}, 40},        // a bare number not standing last is skipped
      {{"-period", "33", "-verbose"}, 0},  // the last argument, whatever it says
      {{"-period", " 12ms"}, 12},  // leading blanks and trailing text, as the C library reads
      {{"-period", "-5"}, 0},      // negative: no sleeping rather than an endless sleep
      {{"-period", "99999999999999"}, 2147483647u},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = {"velkor"};
    std::string shown = "velkor";
    for (const char* a : c.arguments) {
      argv.push_back(a);
      shown += std::string(" ") + a;
    }
    SCOPED_TRACE(shown);
    EXPECT_EQ(c.period, ParsePeriodArguments(static_cast<int>(argv.size()), argv.data(), 33));
  }
  EXPECT_EQ(5u, ParsePeriodArguments(3, nullptr, 5));
}

}  // namespace
