// The velkor command line and the application description: which mode a
// command line asks for, what the host is left to read as the period, and
// what is refused.
#include "app/Velkor_command_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/Velkor_application.h"
#include "host/target_configuration.h"
#include "panel/Velkor_symbology_layer.h"

namespace {

struct Parsed {
  bool ok;
  VelkorOptions options;
  std::string error;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "velkor");
  Parsed p;
  p.ok = Velkor_ParseCommandLine(static_cast<int>(args.size()), args.data(), &p.options, &p.error);
  return p;
}

// The period the host reads from what the command line leaves it.
uint32_t HostPeriod(const VelkorOptions& options) {
  std::vector<const char*> argv;
  for (const std::string& a : options.host_arguments) argv.push_back(a.c_str());
  return ParsePeriodArguments(static_cast<int>(argv.size()), argv.data(),
                              g_application_data.period);
}

struct WindowCase {
  std::vector<const char*> args;
  uint32_t period;
  const char* slot_dir;
};

TEST(CommandLine, WindowModeLeavesThePeriodToTheHost) {
  const WindowCase cases[] = {
      {{}, 33, ""},
      {{"-period", "40"}, 40, ""},
      {{"25"}, 25, ""},
      {{"-period", "1"}, 1, ""},
      // The slot directory is taken out first: "7" is a directory, not a period.
      {{"--slot-dir", "7"}, 33, "7"},
      {{"-period", "50", "--slot-dir", "slots"}, 50, "slots"},
      {{"--slot-dir", "slots", "12"}, 12, "slots"},
  };
  for (const WindowCase& c : cases) {
    const Parsed p = Parse(c.args);
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.mode, kVelkorRunWindow);
    EXPECT_EQ(HostPeriod(p.options), c.period) << (c.args.empty() ? "" : c.args[0]);
    EXPECT_EQ(p.options.slot_dir, c.slot_dir);
  }
}

TEST(CommandLine, OffscreenOptions) {
  const Parsed p = Parse({"--offscreen", "--frames", "120", "--events", "run.txt", "--snapshot",
                          "shot.PNG", "--state", "s.json", "--slot-dir", "d"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.mode, kVelkorRunOffscreen);
  EXPECT_EQ(p.options.frames, 120u);
  EXPECT_EQ(p.options.events, "run.txt");
  EXPECT_EQ(p.options.snapshot, "shot.PNG");
  EXPECT_TRUE(p.options.snapshot_png);
  EXPECT_EQ(p.options.state, "s.json");
  EXPECT_EQ(p.options.slot_dir, "d");

  const Parsed bmp = Parse({"--frames", "1", "--snapshot", "a.bmp", "--offscreen"});
  ASSERT_TRUE(bmp.ok) << bmp.error;
  EXPECT_EQ(bmp.options.mode, kVelkorRunOffscreen);
  EXPECT_FALSE(bmp.options.snapshot_png);
}

TEST(CommandLine, HelpWinsInBothModes) {
  EXPECT_EQ(Parse({"--help"}).options.mode, kVelkorRunHelp);
  EXPECT_EQ(Parse({"--offscreen", "--help"}).options.mode, kVelkorRunHelp);
  EXPECT_NE(std::string(Velkor_Usage()).find("--offscreen --frames N"), std::string::npos);
  EXPECT_NE(std::string(Velkor_Usage()).find("-period N"), std::string::npos);
}

struct RefusedCase {
  std::vector<const char*> args;
  const char* error_part;
};

TEST(CommandLine, Refused) {
  const RefusedCase cases[] = {
      {{"--offscreen"}, "--frames"},
      {{"--offscreen", "--frames", "0"}, "--frames"},
      {{"--offscreen", "--frames", "12x"}, "12x"},
      {{"--offscreen", "--frames", "-3"}, "--frames"},
      {{"--offscreen", "--frames", "99999999999"}, "--frames"},
      {{"--offscreen", "--frames"}, "needs a value"},
      {{"--offscreen", "--frames", "5", "--snapshot", "shot.jpg"}, ".png or .bmp"},
      {{"--offscreen", "--frames", "5", "--state"}, "needs a value"},
      {{"--offscreen", "--frames", "5", "-period", "10"}, "-period"},
      {{"--offscreen", "--frames", "5", "extra"}, "extra"},
      {{"--frames", "5"}, "only with --offscreen"},
      {{"--snapshot", "a.png"}, "only with --offscreen"},
      {{"--slot-dir"}, "needs a value"},
      {{"--fast"}, "unknown option --fast"},
  };
  for (const RefusedCase& c : cases) {
    const Parsed p = Parse(c.args);
    EXPECT_FALSE(p.ok) << c.args[0];
    EXPECT_NE(p.error.find(c.error_part), std::string::npos) << p.error;
  }
}

TEST(ApplicationDescription, DescribesThePanelToTheHost) {
  const ApplicationParams& a = g_application_data;
  EXPECT_STREQ(a.name, "Velkor");
  EXPECT_EQ(a.touch_disabled, 1);
  EXPECT_EQ(a.paint_driven, 0);
  EXPECT_EQ(a.render_mode, 1);
  EXPECT_EQ(a.pixel_aligned_text, 1);
  EXPECT_EQ(a.width, 1280u);
  EXPECT_EQ(a.height, 768u);
  EXPECT_EQ(a.period, 33u);
  EXPECT_EQ(a.color_count, 2048u);
  EXPECT_EQ(a.background_color_index, 1u);
  EXPECT_EQ(a.line_width_count, 8u);
  EXPECT_EQ(a.line_stipple_count, 16u);
  EXPECT_EQ(a.texture_slot_count, 254u);
  EXPECT_EQ(a.second_loader, nullptr);
  EXPECT_EQ(a.gradient_slot_count, 0u);
  EXPECT_EQ(a.draw_passes, 3u);
  // The six entries of the interactivity mapping.
  EXPECT_EQ(a.reset, BHVR_Reset);
  EXPECT_EQ(a.step, BHVR_Step);
  EXPECT_EQ(a.acknowledge, BHVR_SetAsynchronousACK);
  EXPECT_EQ(a.pointer, BHVR_Pointer);
  EXPECT_EQ(a.keyboard, BHVR_Keyboard);
  EXPECT_EQ(a.cursor_request, BHVR_CursorPosRequest);
  ASSERT_EQ(a.layer_count, 1u);
  EXPECT_STREQ(a.layers[0].name, "symbology_layer");
  EXPECT_EQ(a.layers[0].centred, 0);
  EXPECT_EQ(a.layers[0].alloc, Velkor_symbology_layer_alloc);
  EXPECT_EQ(a.layers[0].free, Velkor_symbology_layer_free);
  EXPECT_EQ(a.layers[0].init, Velkor_symbology_layer_init);
  EXPECT_EQ(a.layers[0].predraw, Velkor_symbology_layer_predraw);
  EXPECT_EQ(a.layers[0].draw, Velkor_symbology_layer_draw);
  ASSERT_EQ(a.pointer_count, 1u);
  EXPECT_STREQ(a.pointers[0].name, "_ptr0");
  ASSERT_EQ(a.keyboard_count, 1u);
  EXPECT_STREQ(a.keyboards[0].name, "_kbd0");
}

}  // namespace
