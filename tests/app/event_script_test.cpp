// Event scripts: what each line means, which lines are refused (with their
// number, before anything runs), and the real binary refusing a script with
// exit status 2 and one line on stderr.
#include "app/Velkor_event_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/app/run_velkor.h"
#include "widgets/interactivity_mapping.h"

namespace {

using velkor_test::RunVelkor;
using velkor_test::ScratchDir;

bool known_widget(const char* name) {
  return std::string(name) == "ExecButton" || std::string(name) == "RegTextEditBox";
}

struct LineCase {
  const char* line;
  VelkorScriptEventKind kind;
  uint32_t frame;
  int32_t x, y;
  const char* widget;
  bool corner;
  int32_t dx, dy;
  uint32_t key, modifiers;
};

TEST(EventScript, EachKindOfLine) {
  const LineCase cases[] = {
      {"0 move 10 20", kScriptMove, 0, 10, 20, "", false, 0, 0, 0, 0},
      {"3 press 1279 767", kScriptPress, 3, 1279, 767, "", false, 0, 0, 0, 0},
      {"  4\trelease 0 0   # done", kScriptRelease, 4, 0, 0, "", false, 0, 0, 0, 0},
      {"5 click @ExecButton", kScriptClick, 5, 0, 0, "ExecButton", false, 0, 0, 0, 0},
      {"6 click @RegTextEditBox+10,5", kScriptClick, 6, 0, 0, "RegTextEditBox", true, 10, 5, 0, 0},
      {"6 move @ExecButton+-3,-4", kScriptMove, 6, 0, 0, "ExecButton", true, -3, -4, 0, 0},
      {"7 wheel up 5 6", kScriptWheelUp, 7, 5, 6, "", false, 0, 0, 0, 0},
      {"7 wheel down @ExecButton", kScriptWheelDown, 7, 0, 0, "ExecButton", false, 0, 0, 0, 0},
      {"8 key Enter", kScriptKey, 8, 0, 0, "", false, 0, 0, KEY_ENTER, 0},
      {"8 key Shift+Tab", kScriptKey, 8, 0, 0, "", false, 0, 0, KEY_TAB, MODIFIER_SHIFT},
      {"8 key Ctrl+Shift+F12", kScriptKey, 8, 0, 0, "", false, 0, 0, KEY_F12,
       MODIFIER_SHIFT | MODIFIER_CONTROL},
      {"8 key PageDown", kScriptKey, 8, 0, 0, "", false, 0, 0, KEY_PAGE_DOWN, 0},
      {"8 key Delete", kScriptKey, 8, 0, 0, "", false, 0, 0, KEY_DELETE, 0},
      {"8 key Space", kScriptKey, 8, 0, 0, "", false, 0, 0, 32, 0},
  };
  for (const LineCase& c : cases) {
    std::vector<VelkorScriptEvent> events;
    VelkorScriptError error;
    ASSERT_TRUE(Velkor_ParseEventScript(c.line, 100, known_widget, &events, &error))
        << c.line << ": " << error.message;
    ASSERT_EQ(events.size(), 1u) << c.line;
    const VelkorScriptEvent& e = events[0];
    EXPECT_EQ(e.kind, c.kind) << c.line;
    EXPECT_EQ(e.frame, c.frame) << c.line;
    EXPECT_EQ(e.line, 1);
    EXPECT_EQ(e.widget, c.widget) << c.line;
    if (e.widget.empty()) {
      EXPECT_EQ(e.pixel_x, c.x) << c.line;
      EXPECT_EQ(e.pixel_y, c.y) << c.line;
    }
    EXPECT_EQ(e.from_corner, c.corner) << c.line;
    EXPECT_EQ(e.offset_x, c.dx) << c.line;
    EXPECT_EQ(e.offset_y, c.dy) << c.line;
    EXPECT_EQ(e.key, c.key) << c.line;
    EXPECT_EQ(e.modifiers, c.modifiers) << c.line;
  }
}

TEST(EventScript, TypeKeepsItsWholeTextAsCharacters) {
  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  ASSERT_TRUE(Velkor_ParseEventScript("2 type 0x12 # not a comment\xc3\xa4\n", 10, known_widget,
                                      &events, &error))
      << error.message;
  ASSERT_EQ(events.size(), 1u);
  const std::string expected = "0x12 # not a comment";
  ASSERT_EQ(events[0].text.size(), expected.size() + 1);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(events[0].text[i], expected[i]);
  EXPECT_EQ(events[0].text.back(), 0xE4u);  // a-umlaut as one UTF-16 unit
}

TEST(EventScript, CommentsBlankLinesAndOrder) {
  const std::string script =
      "# a script\n"
      "\n"
      "5 move 1 1\r\n"
      "   # indented comment\n"
      "2 key Tab\n"
      "5 click 2 2\n"
      "2 type a\n";
  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  ASSERT_TRUE(Velkor_ParseEventScript(script, 10, known_widget, &events, &error)) << error.message;
  ASSERT_EQ(events.size(), 4u);
  // By frame; within a frame in script order.
  const int lines[] = {5, 7, 3, 6};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(events[i].line, lines[i]);
}

struct BadCase {
  const char* script;
  int line;
  const char* message_part;
};

TEST(EventScript, MalformedLinesAreRefusedWithTheirNumber) {
  const BadCase cases[] = {
      {"x move 1 1", 1, "not a frame number"},
      {"-1 move 1 1", 1, "not a frame number"},
      {"1.5 move 1 1", 1, "not a frame number"},
      {"# ok\n1 jump 1 1", 2, "unknown event \"jump\""},
      {"1", 1, "no event"},
      {"1 move 1", 1, "needs a position"},
      {"1 move 1 2 3", 1, "needs a position"},
      {"1 click a b", 1, "needs a position"},
      {"1 click 1280 5", 1, "outside"},
      {"1 click 5 768", 1, "outside"},
      {"1 click -1 5", 1, "outside"},
      {"1 click @NoSuchWidget", 1, "no widget named \"NoSuchWidget\""},
      {"1 click @ExecButton+3", 1, "not +DX,DY"},
      {"1 click @ExecButton+a,b", 1, "not +DX,DY"},
      {"1 click @ExecButton 4", 1, "one word"},
      {"0 click @ExecButton", 1, "frame 0"},
      {"1 wheel left 3 3", 1, "up or down"},
      {"1 wheel up", 1, "needs a position"},
      {"1 key", 1, "one key name"},
      {"1 key Enter Tab", 1, "one key name"},
      {"1 key Return", 1, "unknown key \"Return\""},
      {"1 key F13", 1, "unknown key"},
      {"1 key F0", 1, "unknown key"},
      {"1 key Shift+", 1, "unknown key"},
      {"1 type", 1, "needs a text"},
      {"1 type    ", 1, "needs a text"},
      {"1 type \xff", 1, "not UTF-8"},
      {"1 type \xc3", 1, "not UTF-8"},
      {"1 type \xf0\x9f\x98\x80", 1, "beyond U+FFFF"},
      {"1 move 1 1\n2 move 2 2\n10 move 3 3", 3, "never drawn"},
  };
  for (const BadCase& c : cases) {
    std::vector<VelkorScriptEvent> events;
    VelkorScriptError error;
    EXPECT_FALSE(Velkor_ParseEventScript(c.script, 10, known_widget, &events, &error)) << c.script;
    EXPECT_EQ(error.line, c.line) << c.script;
    EXPECT_NE(error.message.find(c.message_part), std::string::npos)
        << c.script << " -> " << error.message;
  }
}

TEST(EventScript, KeyNames) {
  const struct {
    const char* name;
    uint32_t code;
  } cases[] = {{"Enter", 13},       {"Escape", 27},        {"Tab", 9},        {"Backspace", 8},
               {"Delete", 0x10016}, {"Insert", 0x10015},   {"Left", 0x10011}, {"Up", 0x10012},
               {"Right", 0x10013},  {"Down", 0x10014},     {"Home", 0x10010}, {"End", 0x1000F},
               {"PageUp", 0x1000D}, {"PageDown", 0x1000E}, {"Space", 32},     {"F1", 0x10001},
               {"F10", 0x1000A},    {"F12", 0x1000C},      {"enter", 0},      {"F", 0},
               {"F01", 0}};
  for (const auto& c : cases) EXPECT_EQ(Velkor_ScriptKeyCode(c.name), c.code) << c.name;
}

TEST(EventScript, PixelsAreCountedFromTheTopLeftAndHitTheirCentre) {
  const struct {
    int32_t px, py;
    float x, y;
  } cases[] = {{0, 0, 0.5f, 767.5f}, {1279, 767, 1279.5f, 0.5f}, {640, 384, 640.5f, 383.5f}};
  for (const auto& c : cases) {
    float x = 0.0f;
    float y = 0.0f;
    Velkor_ScriptPixelToDisplay(c.px, c.py, &x, &y);
    EXPECT_FLOAT_EQ(x, c.x);
    EXPECT_FLOAT_EQ(y, c.y);
  }
}

// The program refuses a malformed script before drawing anything: one line
// on stderr naming the file and line, exit status 2, no output files.
TEST(EventScriptRun, MalformedScriptStopsTheProgram) {
  const struct {
    const char* script;
    const char* expected;
  } cases[] = {
      {"2 click @ExecButton\n3 click 5\n",
       "events.txt:2: click: needs a position: X Y (whole pixels) or @Widget"},
      {"1 click @NoSuch\n", "events.txt:1: click: no widget named \"NoSuch\""},
      {"# fine\n\n5 key Return\n", "events.txt:3: unknown key \"Return\""},
      {"50 move 1 1\n", "events.txt:1: frame 50 is never drawn (frames 0 .. 9)"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    velkor_test::WriteFile(dir / "events.txt", c.script);
    const velkor_test::VelkorRun run =
        RunVelkor(dir, {"--offscreen", "--frames", "10", "--events", "events.txt", "--state",
                        "state.json", "--snapshot", "shot.png"});
    EXPECT_EQ(run.status, 2) << c.script;
    EXPECT_EQ(run.error, std::string("velkor: ") + c.expected + "\n") << c.script;
    EXPECT_FALSE(velkor_test::FileExists(dir / "state.json"));
    EXPECT_FALSE(velkor_test::FileExists(dir / "shot.png"));
  }
}

TEST(EventScriptRun, MissingScriptAndBadCommandLine) {
  ScratchDir dir;
  velkor_test::VelkorRun run =
      RunVelkor(dir, {"--offscreen", "--frames", "3", "--events", "missing.txt"});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.error, "velkor: cannot read the event script missing.txt\n");
  run = RunVelkor(dir, {"--offscreen", "--frames", "zero"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.error.find("--frames"), std::string::npos);
  EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1);
}

// A widget the script names must have been drawn in the frame before: the
// slot pop-up's button is not drawn while the pop-up is closed.
TEST(EventScriptRun, WidgetNotDrawnIsReportedWithItsLine) {
  ScratchDir dir;
  velkor_test::WriteFile(dir / "events.txt", "# closed pop-up\n3 click @ROMSaveButton\n");
  const velkor_test::VelkorRun run =
      RunVelkor(dir, {"--offscreen", "--frames", "6", "--events", "events.txt"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.error, "velkor: events.txt:2: @ROMSaveButton was not drawn in frame 2\n");
}

}  // namespace
