// "Schritt zurück" and "Schritt vor" in the whole program: stories through
// the real velkor --offscreen and its state file, and a differential run.
//
// The differential plays a seeded random program with a few hundred random
// actions (steps by button and key, RESET, NMI, P2 switches, register and RAM
// edits, SAVE, slot loads, continuous runs, shortcuts that only change the
// selection) through the same event-script path as velkor --offscreen, and
// takes the state file after every frame. K steps back must then give exactly
// the state file of K actions earlier, and K steps forward the state after
// the last action again. Left out of the comparison, and why:
//   frame        the frame counter runs on;
//   continuous   a step back stops a run;
//   popups, message   pop-ups stay as they are and the slot pop-up's line
//                is no part of the machine;
//   rom_view, ram_view   where the tables are scrolled (a step scrolls them
//                to the markers);
//   history      the depth itself, checked on its own;
//   address_unit texts of an operand not shown, and assembler_text and
//                machine_code while no instruction is chosen: not drawn, they
//                keep what they were when last shown.
// Each action is followed by two idle frames, so that the state file taken
// shows what the panel derives from the machine (the assembler line after a
// FETCH/DECODE, P2IN after a switch) as it shows it in every later frame.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tests/app/run_velkor.h"

#include "app/Velkor_application.h"
#include "app/Velkor_event_script.h"
#include "app/Velkor_script_input.h"
#include "app/Velkor_state.h"
#include "host/host_application.h"
#include "panel/Velkor_symbology_layer.h"

// Under AddressSanitizer every frame costs several times as much: the
// differential runs fewer actions there, to stay within the test's time.
#if defined(__SANITIZE_ADDRESS__)
#define VELKOR_HISTORY_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELKOR_HISTORY_SANITIZED 1
#endif
#endif
#ifndef VELKOR_HISTORY_SANITIZED
#define VELKOR_HISTORY_SANITIZED 0
#endif

namespace {

using nlohmann::json;
using velkor_test::ExpectState;
using velkor_test::RunOffscreen;
using velkor_test::ScratchDir;
using velkor_test::Script;

// ---- Stories through the real program -----------------------------------------------

TEST(History, ButtonsStepBackAndForwardAndAreInertWithNothingToDo) {
  ScratchDir dir;
  Script s;
  s.Click("@RedoButton");  // nothing undone: does nothing
  s.Click("@UndoButton");  // nothing done: does nothing
  s.Click("@DisasmButton");
  s.Click("@ExecButton");  // MOV #0x0280,SP
  s.Click("@DisasmButton");
  s.Click("@ExecButton");  // MOV #0x8000,R4
  s.Click("@UndoButton");
  s.Move("760 300");
  const int after_undo = s.frames();
  auto run = RunOffscreen(dir, s, after_undo);
  ASSERT_EQ(0, run.status) << run.output;
  ExpectState(run.state, {"/history/undo", 3, "/history/redo", 1, "/registers/0", "FF84",
                          "/registers/1", "0280", "/registers/4", "0000", "/selection/operation",
                          "MOV", "/selection/source_text", "0x8000"});
  s.Click("@RedoButton");
  s.Move("760 300");
  run = RunOffscreen(dir, s);
  ASSERT_EQ(0, run.status) << run.output;
  ExpectState(run.state, {"/history/undo", 4, "/history/redo", 0, "/registers/0", "FF88",
                          "/registers/4", "8000"});
}

TEST(History, KeysStepBackOverEachKindOfActionAndANewActionDropsTheRest) {
  ScratchDir dir;
  Script s;
  s.Raw("2 key F7\n", 8);              // FETCH/DECODE and EXECUTE: one action
  s.Click("@ToggleButton_7");          // P2IN bit 0
  s.Click("@ResetButton");             // RESET
  s.Raw("17 key Ctrl+Z\n", 20);        // back over RESET
  s.Raw("20 key Undo\n", 23);          // back over the switch
  s.Raw("23 key Ctrl+Shift+Z\n", 26);  // forward: the switch again
  auto run = RunOffscreen(dir, s);
  ASSERT_EQ(0, run.status) << run.output;
  ExpectState(run.state, {"/history/undo", 2, "/history/redo", 1, "/registers/0", "FF84",
                          "/registers/1", "0280", "/switches/0", 1, "/ports/P2IN", "0x01"});
  s.Raw("26 key Redo\n29 key Ctrl+Y\n", 32);  // RESET again; the second finds nothing
  run = RunOffscreen(dir, s);
  ASSERT_EQ(0, run.status) << run.output;
  ExpectState(run.state, {"/history/undo", 3, "/history/redo", 0, "/registers/0", "FF80",
                          "/registers/1", "0000", "/switches/0", 1});
  s.Raw("32 key Ctrl+Z\n35 key Ctrl+Z\n38 key F5\n", 41);  // two back, then a FETCH
  run = RunOffscreen(dir, s);
  ASSERT_EQ(0, run.status) << run.output;
  ExpectState(run.state, {"/history/undo", 2, "/history/redo", 0, "/switches/0", 0,
                          "/selection/operation", "MOV", "/selection/source_text", "0x8000"});
}

TEST(History, AStepBackStopsARunAndLeavesTheBreakpoints) {
  ScratchDir dir;
  Script s;
  s.Click("520 392");                                             // "Fast"
  s.Raw(std::to_string(s.frame()) + " key F9\n", s.frame() + 3);  // breakpoint on FF80
  s.Click("@EnableExecToggleButton");
  s.Wait(40);
  auto run = RunOffscreen(dir, s, s.frame());  // up to the frame of the step back
  ASSERT_EQ(0, run.status) << run.output;
  ASSERT_EQ(true, run.state["/continuous"_json_pointer]);
  const int ran = run.state["/history/undo"_json_pointer].get<int>();
  ASSERT_GT(ran, 3) << "each tick is an action";
  s.Raw(std::to_string(s.frame()) + " key Ctrl+Z\n", s.frame() + 3);
  run = RunOffscreen(dir, s);
  ASSERT_EQ(0, run.status) << run.output;
  ExpectState(run.state, {"/continuous", false, "/history/redo", 1, "/breakpoints/0", "FF80",
                          "/breakpoint_message", ""});
  EXPECT_EQ(ran - 1, run.state["/history/undo"_json_pointer].get<int>());
}

TEST(History, KeysBelongToABoxBeingEdited) {
  ScratchDir dir;
  Script s;
  s.Click("@DisasmButton");
  s.Click("@ExecButton");
  s.Click("468 717");  // R4: its pop-up
  s.Click("@RegTextEditBox");
  s.Raw(std::to_string(s.frame()) + " key Ctrl+Z\n", s.frame() + 3);
  auto run = RunOffscreen(dir, s);
  ASSERT_EQ(0, run.status) << run.output;
  ExpectState(run.state, {"/history/undo", 2, "/history/redo", 0, "/registers/1", "0280",
                          "/popups/register", true});
}

TEST(History, AnOperandBeingTypedShowsTheRestoredTextAndTheEditEnds) {
  ScratchDir dir;
  Script s;
  s.Click("@DisasmButton");
  s.Click("@ExecButton");
  s.Click("@DisasmButton");  // MOV #0x8000,R4 in the selectors
  s.Click("@IndexAdrImmediateTextEditBox");
  s.Raw(std::to_string(s.frame()) + " key End\n" + std::to_string(s.frame() + 2) + " type 77\n",
        s.frame() + 6);    // typed, not confirmed
  s.Click("@UndoButton");  // back before the second FETCH/DECODE
  auto run = RunOffscreen(dir, s);
  ASSERT_EQ(0, run.status) << run.output;
  ExpectState(run.state, {"/history/undo", 2, "/history/redo", 1, "/selection/source_text",
                          "0x0280", "/assembler_text", "MOV  #0x0280,SP"});
  // The box is no longer edited: F5 reaches the panel again.
  s.Raw(std::to_string(s.frame()) + " key F5\n", s.frame() + 3);
  run = RunOffscreen(dir, s);
  ASSERT_EQ(0, run.status) << run.output;
  ExpectState(run.state,
              {"/history/undo", 3, "/history/redo", 0, "/selection/source_text", "0x8000"});
}

// ---- The differential ------------------------------------------------------------

// The program the actions run on: random words in the first 32 ROM rows (most
// decode, some do not and make the panel reset), the vectors kept.
std::string RandomProgram(std::mt19937* random) {
  std::string text = "FFFE;FF80;\"\"\r\nFFFC;FFD0;\"\"\r\nFFD0;1300;\"\"\r\n";
  std::uniform_int_distribution<int> word(0x1000, 0xFFFF);
  const int kNice[] = {0x4031, 0x0280, 0x5314, 0x8315, 0x4504, 0x1204, 0x4134, 0x23FC, 0x12B0,
                       0xFF90, 0x4130, 0x40F2, 0x00FF, 0x0022, 0x4482, 0x0200, 0x3FF0};
  std::uniform_int_distribution<int> nice(0, sizeof kNice / sizeof kNice[0] - 1);
  std::uniform_int_distribution<int> coin(0, 1);
  for (int r = 0; r < 32; ++r) {
    char line[32];
    const int w = coin(*random) ? kNice[nice(*random)] : word(*random);
    snprintf(line, sizeof line, "%04X;%04X;\"\"\r\n", 0xFF80 + 2 * r, w);
    text += line;
  }
  return text;
}

// Random actions as event-script lines, with their frames counted.
class RandomActions {
 public:
  explicit RandomActions(uint32_t seed) : random_(seed) {}
  Script& script() { return s_; }

  void Any() {
    One();
    s_.Wait(2);
  }
  void One() {
    switch (Pick(15)) {
      case 0:
        Key("F5");
        break;
      case 1:
        Key("F6");
        break;
      case 2:
        Key("F7", 5);
        break;
      case 3:
        s_.Click("@DisasmButton");
        break;
      case 4:
        s_.Click("@ExecButton");
        break;
      case 5:
        s_.Click(Pick(4) ? "@ExecButton" : "@ResetButton");
        break;
      case 6:
        s_.Click(Pick(3) ? "@DisasmButton" : "@NMIButton");
        break;
      case 7:
        s_.Click(Pick(2) ? "@ToggleButton_7" : "@ToggleButton_" + std::to_string(1 + Pick(6)));
        break;
      case 8: {
        const int y[] = {575, 605, 635, 717};           // R0, R1, R2, R4
        s_.Click("468 " + std::to_string(y[Pick(4)]));  // its pop-up
        s_.Retype("@RegTextEditBox", Value());
        s_.Click("@RegPushButton");
        Close();
        break;
      }
      case 9:
        s_.Click("1150 " + std::to_string(65 + 22 * Pick(9)));  // RAM bytes: its pop-up
        s_.Retype("@RAMTextEditBox", Value());
        s_.Click("@RAMPushButton");
        Close();
        break;
      case 10:
        s_.Click("920 " + std::to_string(65 + 22 * Pick(9)));  // a ROM row, the slot pop-up
        if (Pick(3) == 0) s_.Click("@ROMLoadButton");
        Close();
        s_.Click("@SaveButton");
        break;
      case 11:
        s_.Click("@ShotCut" + std::to_string(1 + Pick(3)) + "Button");  // the selection only
        break;
      case 12:
        s_.Click("858 " + std::to_string(65 + 22 * Pick(9)));  // a ROM address hides the marker
        break;
      case 13:
        s_.Click("@EnableExecToggleButton");
        s_.Wait(4 + Pick(16));
        s_.Click("@EnableExecToggleButton");
        break;
      default:
        Key(Pick(2) ? "F5" : "F6");
        break;
    }
  }
  void Key(const std::string& name, int frames = 3) {
    s_.Raw(std::to_string(s_.frame()) + " key " + name + "\n", s_.frame() + frames);
  }
  // A click where nothing is: closes an open pop-up.
  void Close() { s_.Click("760 300"); }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  std::string Value() {
    char text[16];
    snprintf(text, sizeof text, "0x%04X", std::uniform_int_distribution<int>(0, 0xFFFF)(random_));
    return text;
  }
  std::mt19937 random_;
  Script s_;
};

bool IsWidget(const char* name) {
  for (int32_t i = 0; i < Velkor_symbology_layer_widget_count(); ++i) {
    if (std::string(Velkor_symbology_layer_widget_name(i)) == name) return true;
  }
  return false;
}

// The state file after every frame of a script, played in this process as
// velkor --offscreen plays it.
std::vector<json> StatesOfEveryFrame(const std::string& script, int frames) {
  std::vector<VelkorScriptEvent> events;
  VelkorScriptError error;
  EXPECT_TRUE(
      Velkor_ParseEventScript(script, static_cast<uint32_t>(frames), IsWidget, &events, &error))
      << error.line << ": " << error.message;
  static ApplicationParams params;
  params = g_application_data;
  Application* app = Application_Allocate(&params, "velkor");
  std::vector<json> states;
  if (app == nullptr) return states;
  Application_UseSystemEvents(app, 1);
  if (Application_CreateBuffer(app) == nullptr) {
    ADD_FAILURE() << "no off-screen buffer";
    Application_Free(app);
    return states;
  }
  Application_Reset(app);
  const auto* c =
      static_cast<const Velkor_symbology_layer_context*>(Application_GetLayerContext(app, 0));
  size_t next = 0;
  for (int frame = 0; frame < frames; ++frame) {
    for (; next < events.size() && events[next].frame == static_cast<uint32_t>(frame); ++next) {
      std::string problem;
      EXPECT_TRUE(Velkor_RecordScriptEvent(app, c, events[next], &problem))
          << "line " << events[next].line << ": " << problem;
    }
    Application_Draw(app);
    states.push_back(json::parse(Velkor_StateJson(c, static_cast<uint32_t>(frame + 1))));
  }
  Application_Free(app);
  return states;
}

json Compared(json state) {
  for (const char* key :
       {"frame", "continuous", "popups", "message", "rom_view", "ram_view", "history"}) {
    state.erase(key);
  }
  for (const char* operand : {"source", "destination"}) {
    json& unit = state["address_unit"][operand];
    if (unit["shown"] == false) unit = json{{"shown", false}};
  }
  if (state["selection"]["format"] == "---no instruction---") {
    state.erase("assembler_text");
    state.erase("machine_code");
  }
  return state;
}

int Undo(const json& state) {
  return state["history"]["undo"].get<int>();
}
int Redo(const json& state) {
  return state["history"]["redo"].get<int>();
}

class HistoryDifferential : public ::testing::TestWithParam<uint32_t> {};

TEST_P(HistoryDifferential, StepsBackGiveTheEarlierStatesAndStepsForwardTheLastAgain) {
  ScratchDir dir;
  std::mt19937 program_random(GetParam());
  velkor_test::WriteFile(dir / "slot1.csv", RandomProgram(&program_random));
  char here[4096];
  ASSERT_NE(nullptr, getcwd(here, sizeof here));
  ASSERT_EQ(0, chdir(dir.path.c_str()));

  RandomActions a(GetParam());
  Script& s = a.script();
  s.Click("520 392");         // "Fast"
  s.Click("920 65");          // the slot pop-up
  s.Click("@ROMLoadButton");  // the random program
  a.Close();
  s.Click("@ResetButton");  // PC on its first word
  const int kActions = VELKOR_HISTORY_SANITIZED ? 40 : 160;
  for (int i = 0; i < kActions; ++i) a.Any();
  s.Wait(2);
  const int acted = s.frame();
  // All the way back, by every key and the button in turn, then forward.
  std::vector<int> settled;  // the frame after each step settled
  const auto step = [&](int k, bool back) {
    switch (k % 3) {
      case 0:
        a.Key(back ? "Ctrl+Z" : "Ctrl+Y");
        break;
      case 1:
        a.Key(back ? "Undo" : "Ctrl+Shift+Z");
        break;
      default:
        s.Click(back ? "@UndoButton" : "@RedoButton");
        break;
    }
    settled.push_back(s.frame() - 1);
  };
  // More than the actions recorded: the last ones find nothing.
  const int kStepsMost = VELKOR_HISTORY_SANITIZED ? 110 : 420;
  for (int k = 0; k < kStepsMost; ++k) step(k, true);
  const int backed = static_cast<int>(settled.size());
  for (int k = 0; k < kStepsMost; ++k) step(k, false);
  const std::vector<json> states = StatesOfEveryFrame(s.text(), s.frame() + 1);
  ASSERT_EQ(0, chdir(here));
  ASSERT_EQ(static_cast<size_t>(s.frame() + 1), states.size());

  // The state file between actions, by the depth of the history then: the
  // last frame with that depth is where the next action started from.
  const int depth = Undo(states[acted - 1]);
  ASSERT_GT(depth, kActions * 5 / 8) << "most actions change the machine";
  ASSERT_LT(depth, kStepsMost);
  std::vector<const json*> at_depth(static_cast<size_t>(depth) + 1, nullptr);
  int last = 0;
  for (int f = 0; f < acted; ++f) {
    const int d = Undo(states[f]);
    ASSERT_EQ(0, Redo(states[f])) << "frame " << f;
    ASSERT_LE(d, last + 1) << "frame " << f << ": one action per frame at most";
    ASSERT_GE(d, last) << "frame " << f;
    last = d;
    at_depth[static_cast<size_t>(d)] = &states[f];
  }
  for (int k = 1; k <= kStepsMost; ++k) {
    const json& now = states[settled[static_cast<size_t>(k - 1)]];
    const int want = depth - k > 0 ? depth - k : 0;
    ASSERT_EQ(want, Undo(now)) << k << " steps back";
    ASSERT_EQ(depth - want, Redo(now)) << k << " steps back";
    const json& earlier = *at_depth[static_cast<size_t>(want)];
    ASSERT_TRUE(Compared(earlier) == Compared(now))
        << k << " steps back from " << depth << ", from the earlier state to now: "
        << json::diff(Compared(earlier), Compared(now)).dump();
  }
  for (int k = 1; k <= kStepsMost; ++k) {
    const json& now = states[settled[static_cast<size_t>(backed + k - 1)]];
    const int want = k < depth ? k : depth;
    ASSERT_EQ(want, Undo(now)) << k << " steps forward";
    const json& earlier = *at_depth[static_cast<size_t>(want)];
    ASSERT_TRUE(Compared(earlier) == Compared(now))
        << k << " steps forward, from the earlier state to now: "
        << json::diff(Compared(earlier), Compared(now)).dump();
  }
  EXPECT_EQ(Compared(states[acted - 1]), Compared(states.back())) << "the last state again";
}

INSTANTIATE_TEST_SUITE_P(Seeds, HistoryDifferential, ::testing::Values(7u, 2026u));

}  // namespace
