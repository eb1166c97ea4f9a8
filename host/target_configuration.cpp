// Program entry support: command line, start, the fixed-period cycle, stop.
#include "host/target_configuration.h"

#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A period as the command line gives it: leading blanks, a sign, digits,
// whatever follows ignored; no number reads as 0. A negative period would
// make the sleep endless, so it reads as 0 too; a huge one is capped.
uint32_t read_period(const char* text) {
  errno = 0;
  char* end = nullptr;
  long long value = strtoll(text, &end, 10);
  if (end == text || value <= 0) return 0;
  if (errno == ERANGE || value > INT32_MAX) return INT32_MAX;
  return static_cast<uint32_t>(value);
}

}  // namespace

uint32_t ParsePeriodArguments(int argc, const char* const* argv, uint32_t default_period) {
  uint32_t period = default_period;
  if (argv == nullptr) return period;
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == nullptr) continue;
    if (strcmp(argv[i], "-period") == 0 && i + 1 < argc && argv[i + 1] != nullptr) {
      period = read_period(argv[i + 1]);
      ++i;
    } else if (i == argc - 1) {
      // "-period" standing last falls here too and reads as 0.
      period = read_period(argv[i]);
    }
  }
  return period;
}

uint32_t CycleSleepMilliseconds(uint32_t period, uint64_t elapsed_ms) {
  return elapsed_ms >= period ? 0 : static_cast<uint32_t>(period - elapsed_ms);
}

int RunApplication(const ApplicationParams* params, int argc, const char* const* argv) {
  if (params == nullptr) return 1;
  const uint32_t period = ParsePeriodArguments(argc, argv, params->period);
  char executable[4096];
  const ssize_t length = readlink("/proc/self/exe", executable, sizeof executable - 1);
  executable[length > 0 ? length : 0] = '\0';
  Application* app = Application_Allocate(params, length > 0 ? executable : nullptr);
  if (app == nullptr) {
    fprintf(stderr, "cannot allocate application.\n");
    return 1;
  }
  Application_UseSystemEvents(app, 1);
  // The host has printed why there is no window; there is nothing to cycle.
  if (!Application_CreateWindow(app, nullptr)) {
    Application_Free(app);
    return 1;
  }
  while (Application_Cancelled(app) == 0) {
    const auto start = std::chrono::steady_clock::now();
    Application_Draw(app);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    const uint32_t rest = CycleSleepMilliseconds(period, static_cast<uint64_t>(elapsed));
    // Closing the window ends a long period at once.
    if (rest > 0) Application_SleepUnlessCancelled(app, rest);
  }
  Application_Free(app);
  return 0;
}
