// The velkor program's texts as plain code: its command line, its event
// scripts and its state file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/Velkor_application.h"
#include "app/Velkor_command_line.h"
#include "app/Velkor_event_script.h"
#include "app/Velkor_state.h"
#include "host/target_configuration.h"
#include "tests/app/run_velkor.h"

namespace {

using nlohmann::json;
using velkor_test::ExpectState;

// What a command line asks for: "window PERIOD" (the period the host reads
// from the arguments left to it), "offscreen FRAMES png|bmp", "help", or why
// it is refused; " es2" after it for the OpenGL ES 2 renderer.
std::string Outcome(std::vector<const char*> args) {
  args.insert(args.begin(), "velkor");
  VelkorOptions o;
  std::string error;
  if (!Velkor_ParseCommandLine(static_cast<int>(args.size()), args.data(), &o, &error))
    return error;
  if (o.mode == kVelkorRunHelp) return "help";
  const std::string renderer = o.renderer == kVelkorRendererEs2 ? " es2" : "";
  if (o.mode == kVelkorRunOffscreen) {
    return "offscreen " + std::to_string(o.frames) + (o.snapshot_png ? " png" : " bmp") + renderer;
  }
  std::vector<const char*> host;
  for (const std::string& a : o.host_arguments) host.push_back(a.c_str());
  return "window " +
         std::to_string(ParsePeriodArguments(static_cast<int>(host.size()), host.data(),
                                             g_application_data.period)) +
         renderer;
}

TEST(CommandLine, WhatItAsksForOrWhyItIsRefused) {
  const struct {
    std::vector<const char*> args;
    const char* outcome;
  } cases[] = {
      {{}, "window 33"},
      {{"-period", "40"}, "window 40"},
      // The slot directory is taken out first: "7" is a directory, not a period.
      {{"--slot-dir", "7"}, "window 33"},
      {{"--slot-dir", "7", "12"}, "window 12"},
      {{"--offscreen", "--frames", "1000000", "--snapshot", "shot.PNG"}, "offscreen 1000000 png"},
      {{"--frames", "1", "--snapshot", "a.bmp", "--offscreen"}, "offscreen 1 bmp"},
      {{"--offscreen", "--help"}, "help"},
      {{"--offscreen"}, "--offscreen needs --frames N"},
      {{"--frames", "0"}, "--frames needs a whole number from 1 to 1000000, not \"0\""},
      {{"--offscreen", "--frames", "1000001"},
       "--frames needs a whole number from 1 to 1000000, not \"1000001\""},
      {{"--snapshot", "a.jpg"}, "--snapshot needs a file name ending in .png or .bmp"},
      {{"--offscreen", "-period"}, "--offscreen runs without a clock and takes no \"-period\""},
      {{"--frames", "5"}, "--frames works only with --offscreen"},
      {{"--slot-dir"}, "--slot-dir needs a value"},
      {{"--fast"}, "unknown option --fast"},
      // The renderer's name is taken out too, in either mode.
      {{"--renderer", "es2", "12"}, "window 12 es2"},
      {{"--offscreen", "--renderer", "es2", "--frames", "2"}, "offscreen 2 bmp es2"},
      {{"--renderer", "es2", "--renderer", "gl1"}, "window 33"},
      {{"--renderer", "vulkan"}, "--renderer needs gl1 or es2, not \"vulkan\""},
      {{"--renderer"}, "--renderer needs gl1 or es2, not \"\""},
      // A period is a whole number of milliseconds, or the program refuses to start.
      {{"-period", "0"}, "window 0"},
      {{"60000"}, "window 60000"},
      {{"-period", "abc"}, "-period needs a whole number from 0 to 60000, not \"abc\""},
      {{"-period", "12x"}, "-period needs a whole number from 0 to 60000, not \"12x\""},
      {{"-period", "-5"}, "-period needs a whole number from 0 to 60000, not \"-5\""},
      {{"-period", " 12"}, "-period needs a whole number from 0 to 60000, not \" 12\""},
      {{"-period", "60001"}, "-period needs a whole number from 0 to 60000, not \"60001\""},
      {{"-period", ""}, "-period needs a whole number from 0 to 60000, not \"\""},
      {{"40ms"}, "-period needs a whole number from 0 to 60000, not \"40ms\""},
      {{"-period"}, "-period needs a value"},
      {{"fast", "40"}, "unknown argument \"fast\""},
      // What a refusal quotes is a short excerpt, control characters escaped.
      {{"--\x1b[2J\r"}, "unknown option --\\x1b[2J\\r"},
      {{"-period", "1234567890123456789012345678901234567890123"},
       "-period needs a whole number from 0 to 60000, not "
       "\"1234567890123456789012345678901234567890...\""},
  };
  for (const auto& c : cases) EXPECT_EQ(Outcome(c.args), c.outcome);
}

bool known_widget(const char* name) {
  return std::string(name) == "ExecButton" || std::string(name) == "RegTextEditBox";
}

// An event as text: line, frame, kind, then pixel, widget (+ its corner) or key.
std::string Describe(const VelkorScriptEvent& e) {
  static const char* const kinds[] = {"move",       "press",    "release", "click",
                                      "rpress",     "rrelease", "rclick",  "wheel-up",
                                      "wheel-down", "key",      "type"};
  char text[160];
  const int n = snprintf(text, sizeof text, "%d: %u %s", e.line, e.frame, kinds[e.kind]);
  if (e.kind == kScriptKey) {
    snprintf(text + n, sizeof text - n, " %X/%u", e.key, e.modifiers);
  } else if (e.kind != kScriptType && e.widget.empty()) {
    snprintf(text + n, sizeof text - n, " %d,%d", e.pixel_x, e.pixel_y);
  } else if (e.kind != kScriptType) {
    snprintf(text + n, sizeof text - n, " @%s%s%d,%d", e.widget.c_str(), e.from_corner ? "+" : " ",
             e.offset_x, e.offset_y);
  }
  return text;
}

// Comments, blank lines and CR line ends; events by frame, a frame's in
// script order; "type" keeps "#" and everything else to the end of its line.
TEST(EventScript, EachKindOfLineInFrameOrder) {
  const std::string script =
      "# a script\n\n5 move 1 1\r\n   # indented comment\n"          // lines 1-4
      "2 type 0x12 # not a comment\xc3\xa4  \n0 press 1279 767\n"    // 5-6
      "  4\trelease 0 0   # done\n5 click @ExecButton\n"             // 7-8
      "6 click @RegTextEditBox+10,5\n6 move @ExecButton+-3,-4\n"     // 9-10
      "7 wheel up 5 6\n7 wheel down @ExecButton\n8 key Shift+Tab\n"  // 11-13
      "8 key Ctrl+F1\n2 key Ctrl+Shift+F12\n"                        // 14-15
      "9 rpress 3 4\n9 rrelease @ExecButton\n9 rclick 7 8\n"         // 16-18
      "9 key Ctrl+Z\n9 key Ctrl+Shift+z\n9 key y\n9 key Shift+y\n"   // 19-22
      "9 key Undo\n9 key Redo\n";                                    // 23-24
  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  ASSERT_TRUE(Velkor_ParseEventScript(script, 10, known_widget, &events, &error)) << error.message;
  std::vector<std::string> described;
  for (const VelkorScriptEvent& e : events) described.push_back(Describe(e));
  EXPECT_EQ(described, std::vector<std::string>({"6: 0 press 1279,767",
                                                 "5: 2 type",
                                                 "15: 2 key 1000C/3",
                                                 "7: 4 release 0,0",
                                                 "3: 5 move 1,1",
                                                 "8: 5 click @ExecButton 0,0",
                                                 "9: 6 click @RegTextEditBox+10,5",
                                                 "10: 6 move @ExecButton+-3,-4",
                                                 "11: 7 wheel-up 5,6",
                                                 "12: 7 wheel-down @ExecButton 0,0",
                                                 "13: 8 key 9/1",
                                                 "14: 8 key 10001/2",
                                                 "16: 9 rpress 3,4",
                                                 "17: 9 rrelease @ExecButton 0,0",
                                                 "18: 9 rclick 7,8",
                                                 "19: 9 key 1A/2",
                                                 "20: 9 key 1A/3",
                                                 "21: 9 key 79/0",
                                                 "22: 9 key 59/1",
                                                 "23: 9 key 1A/2",
                                                 "24: 9 key 19/2"}));
  const std::vector<uint32_t>& text = events[1].text;
  EXPECT_EQ(std::string(text.begin(), text.end() - 1), "0x12 # not a comment");
  EXPECT_EQ(text.back(), 0xE4u);  // a-umlaut as one UTF-16 unit
}

std::string Repeat(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

TEST(EventScript, MalformedLinesAreRefusedWithTheirNumber) {
  const struct {
    std::string script;
    int line;
    const char* message_part;
  } cases[] = {
      {"x move 1 1", 1, "not a frame number"},
      {"# ok\n1 jump 1 1", 2, "unknown event \"jump\""},
      {"1 move 1", 1, "needs a position"},
      {"1 click 1280 5", 1, "outside"},
      {"1 click 5 768", 1, "outside"},
      {"1 click @NoSuchWidget", 1, "no widget named \"NoSuchWidget\""},
      {"1 click @ExecButton+3", 1, "not +DX,DY"},
      {"0 click @ExecButton", 1, "frame 0"},
      {"1 wheel left 3 3", 1, "up or down"},
      {"1 key F13", 1, "unknown key \"F13\""},
      {"1 key Ctrl+ZZ", 1, "unknown key \"Ctrl+ZZ\""},
      {"1 key \xc3\xa4", 1, "unknown key"},
      {"1 rclick 1", 1, "rclick: "},
      {"1 type    ", 1, "needs a text"},
      {"1 type \xff", 1, "not UTF-8"},
      {"1 type \xc0\x80", 1, "not UTF-8"},  // overlong
      {"1 type \xf0\x9f\x98\x80", 1, "beyond U+FFFF"},
      {"1 type a\tb", 1, "control characters"},
      {std::string("1 type a\0b", 10), 1, "NUL"},
      {"1 move 1 1\n2 move 2 2\n10 move 3 3", 3, "never drawn (frames 0 .. 9)"},
      // Words are quoted as short excerpts with control characters escaped.
      {"1 ju\rmp\x1b[2J 1 1", 1, "unknown event \"ju\\rmp\\x1b[2J\""},
      {"1 key \xff\xfe", 1, "unknown key \"\\xff\\xfe\""},
      {"1 " + std::string(3000, 'y'), 1,
       "unknown event \"yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy...\""},
      {"# fine\n" + std::string(4097, '#'), 2, "line is longer than 4096 characters"},
      // A frame's events wait in the host's queues, 1024 pointer and 1024 key events; one of
      // each leaves per frame. A script that would fill a queue past that is refused.
      {Repeat("0 click 5 5\n", 512) + "0 press 5 5", 513, "more than 1024 pointer events"},
      {Repeat("0 click 5 5\n", 512) + "1 click 5 5", 513, "more than 1024 pointer events"},
      {Repeat("0 click 5 5\n", 512) + "2 click 5 5\n2 press 5 5", 514, "more than 1024"},
      {Repeat("3 key Tab\n", 512) + "3 type a", 513, "more than 1024 key events"},
      {"3 type " + std::string(513, 'a'), 1, "more than 1024 key events"},
  };
  for (const auto& c : cases) {
    std::vector<VelkorScriptEvent> events;
    VelkorScriptError error;
    EXPECT_FALSE(Velkor_ParseEventScript(c.script, 10, known_widget, &events, &error)) << c.script;
    EXPECT_EQ(error.line, c.line) << c.script;
    EXPECT_NE(error.message.find(c.message_part), std::string::npos)
        << c.script.substr(0, 80) << " -> " << error.message;
    EXPECT_GT(160u, error.message.size()) << error.message;
  }
  // Up to the queues' size, nothing is refused: 512 clicks fill the pointer queue; by frame
  // 2 two events have left it; 256 Tabs and 256 typed characters fill the key queue.
  for (const std::string& script :
       {Repeat("0 click 5 5\n", 512), Repeat("0 click 5 5\n", 512) + "1 press 5 5",
        Repeat("0 click 5 5\n", 512) + "2 click 5 5",
        Repeat("3 key Tab\n", 256) + "3 type " + std::string(256, 'a'),
        "# fine\n" + std::string(4096, '#')}) {
    std::vector<VelkorScriptEvent> events;
    VelkorScriptError error;
    EXPECT_TRUE(Velkor_ParseEventScript(script, 10, known_widget, &events, &error))
        << error.line << ": " << error.message;
  }
}

TEST(EventScript, PixelsAreCountedFromTheTopLeftAndHitTheirCentre) {
  float xy[4];
  Velkor_ScriptPixelToDisplay(0, 0, &xy[0], &xy[1]);
  Velkor_ScriptPixelToDisplay(1279, 767, &xy[2], &xy[3]);
  EXPECT_EQ(std::vector<float>(xy, xy + 4), std::vector<float>({0.5f, 767.5f, 1279.5f, 0.5f}));
}

// What a panel shows right after init, freed at the end; the state file is
// written from the snapshot, which a test may change as a later frame would.
struct Context {
  Context() {
    Velkor_symbology_layer_init(c);
    Velkor_symbology_layer_snapshot(c, &shown);
  }
  ~Context() { Velkor_symbology_layer_free(c); }
  json State() const { return json::parse(Velkor_StateJson(shown, 7)); }
  Velkor_symbology_layer_context* c =
      static_cast<Velkor_symbology_layer_context*>(Velkor_symbology_layer_alloc());
  Velkor_PanelSnapshot shown{};
};

// The snapshot's fields that the program runs do not reach, each set apart
// from its neighbours so that two swapped show.
TEST(StateFile, FieldsFollowTheSnapshot) {
  Context k;
  k.shown.registerFrames[2] = 11;
  k.shown.flags[kFlagV] = k.shown.flags[kFlagC] = 1;
  k.shown.popups.registers = k.shown.machineCodeZoom = 1;
  k.shown.selection.pcOffset = -5.0f;
  k.shown.selection.format = "Jump";
  k.shown.selection.operation = "JMP";
  k.shown.selection.destinationRegister = "R15";
  k.shown.destinationAddress.registerName = "R1 (SP)";
  const json state = k.State();
  ExpectState(state, {"/register_frames/2", 11, "/flags/V", 1, "/flags/N", 0, "/flags/Z", 0,
                      "/flags/C", 1, "/selection/pc_offset", -5.0});
  ExpectState(state, {"/popups/register", true, "/popups/info", false, "/zoom/machine_code", true,
                      "/zoom/instructions", false});
  ExpectState(state, {"/selection/format", "Jump", "/selection/operation", "JMP",
                      "/selection/destination_register", "R15", "/selection/source_register",
                      "R0 (PC)", "/address_unit/destination/register", "R1 (SP)"});
}

// A cell that lost its terminator is cut at the cell's end instead of being
// read on into the next field.
TEST(StateFile, UnterminatedCellsStayInsideTheirCell) {
  Context k;
  char port[kPortCellSize];
  char address[kAddressTextSize];
  memset(port, 'A', sizeof port);
  memset(address, 'B', sizeof address);
  k.shown.ports[0] = port;
  k.shown.sourceAddress.address = address;
  ExpectState(k.State(), {"/ports/P1IN", "AAAAA", "/address_unit/source/address", "BBBBBBBBBB"});
}

TEST(StateFile, PanelTextsAsUtf8) {
  const char* const cases[][2] = {
      {"au\xdf\xe4", "au\xc3\x9f\xc3\xa4"},
      {"\x80 \x93", "\xe2\x82\xac \xe2\x80\x9c"},
      {"\x81", "\xef\xbf\xbd"},  // no character in the code page
      {"a\\u00e4b\\u20AC",
       "a\xc3\xa4"
       "b\xe2\x82\xac"},
      {"\\u12", "\\u12"},      // too short: kept as typed
      {"\\uD800", "\\uD800"},  // a lone surrogate is no character
  };
  for (const auto& c : cases) EXPECT_EQ(Velkor_PanelTextToUtf8(c[0]), c[1]) << c[0];
}

}  // namespace
