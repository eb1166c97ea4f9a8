// The host's rules on plain numbers: the place on the monitors, the rectangles
// of the four window states, and the cycle period on the command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host_internal.h"
#include "host/target_configuration.h"

namespace {

constexpr double kAspect = 1280.0 / 768.0;

std::string Rect(const int32_t r[4]) {
  return std::to_string(r[0]) + "," + std::to_string(r[1]) + "," + std::to_string(r[2]) + "," +
         std::to_string(r[3]);
}

TEST(PlaceOnMonitors, AWindowOffEveryScreenComesOntoTheNearest) {
  const int32_t areas[][4] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  const struct {
    int32_t rect[4];
    int32_t area_count;
    const char* expected;
  } cases[] = {
      {{40000, 50, 1280, 768}, 1, "640,50,1280,768"},  // as far in as it fits; beyond 16 bits
      {{-2000, -3000, 800, 481}, 1, "0,0,800,481"},
      {{1857, 1017, 800, 481}, 1, "1120,599,800,481"},     // 63 x 63 pixels showing: too few
      {{1856, 1016, 800, 481}, 1, "1856,1016,800,481"},    // 64 x 64: stays
      {{1900, 100, 30, 30}, 1, "1890,100,30,30"},          // a small window needs all of it shown
      {{5000, 100, 800, 481}, 2, "2400,100,800,481"},      // onto the second monitor
      {{2500, 1500, 800, 481}, 2, "2400,543,800,481"},     // the nearer by its corner
      {{5000, 5000, 1280, 768}, 0, "5000,5000,1280,768"},  // no monitors known: left alone
      {{5000, 5000, 4000, 3000}, 1, "0,0,4000,3000"},
  };
  for (const auto& c : cases) {
    int32_t out[4] = {};
    Application_PlaceOnMonitors(c.rect, areas, c.area_count, out);
    EXPECT_EQ(std::string(c.expected), Rect(out)) << Rect(c.rect) << " on " << c.area_count;
  }
}

TEST(WindowStateRect, TheFourStates) {
  const int32_t client[4] = {50, 60, 800, 480};
  const struct {
    uint32_t state;
    int32_t screen_width, screen_height;
    uint32_t applied;
    const char* rect;  // x, y, width, height
  } cases[] = {
      {kWindowStateBorderless, 1920, 1080, 1, "50,60,800,480"},
      {kWindowStateFullScreenAspect, 1920, 1080, 2, "60,0,1800,1080"},  // bars left and right
      {kWindowStateFullScreenAspect, 1280, 1024, 2, "0,128,1280,768"},  // bars above and below
      {kWindowStateFullScreenAspect, 1280, 768, 3, "0,0,1280,768"},     // an exact fit is state 3
      {kWindowStateFullScreenStretched, 1920, 1080, 3, "0,0,1920,1080"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.state) + " on " + std::to_string(c.screen_width) + " wide");
    int32_t rect[4] = {-1, -1, -1, -1};
    EXPECT_EQ(c.applied, Application_WindowStateRect(c.state, client, c.screen_width,
                                                     c.screen_height, kAspect, rect));
    EXPECT_EQ(std::string(c.rect), Rect(rect));
  }
}

TEST(CommandLine, Period) {
  const struct {
    std::vector<const char*> arguments;
    uint32_t period;
  } cases[] = {
      {{}, 33},                      // the default
      {{"7", "-period", "40"}, 40},  // the last argument is read
      {{"-period", " 12ms"}, 12},    // leading blanks and trailing text, as the C library reads
      {{"-period", "-5"}, 0},        // negative: no sleeping rather than an endless sleep
      {{"-period", "99999999999999"}, 2147483647u},
  };
  for (const auto& c : cases) {
    std::vector<const char*> argv = {"velkor"};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    EXPECT_EQ(c.period, ParsePeriodArguments(static_cast<int>(argv.size()), argv.data(), 33))
        << (c.arguments.empty() ? "" : c.arguments.back());
  }
  EXPECT_EQ(5u, ParsePeriodArguments(3, nullptr, 5));
}

}  // namespace
