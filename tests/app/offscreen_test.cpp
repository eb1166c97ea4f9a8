// End-to-end: the real velkor binary run off-screen with event scripts, its
// state file and snapshot read back. Every scenario is what a student does
// with the mouse and keyboard; the scripts name widgets where the panel has
// them and snapshot pixels for table cells and register boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/mycode.h"
#include "panel/Velkor_color_table.h"
#include "tests/app/run_velkor.h"

namespace {

using nlohmann::json;
using velkor_test::CountColour;
using velkor_test::FileExists;
using velkor_test::ReadFile;
using velkor_test::ReadPng;
using velkor_test::RunOffscreen;
using velkor_test::RunVelkor;
using velkor_test::ScratchDir;
using velkor_test::Script;
using velkor_test::VelkorRun;
using velkor_test::WriteFile;

// Snapshot pixels (origin top left) of things that are not widgets.
constexpr const char* kRomTopAddress = "858 65";  // FF92, the top row the ROM table shows
constexpr const char* kRomTopHighByte = "922 65";
constexpr const char* kRamSecondHighByte = "1150 87";  // 027C
constexpr const char* kR1Value = "466 605";
constexpr const char* kR4Value = "466 717";
constexpr const char* kSlot3Item = "855 492";  // in the open slot list
constexpr const char* kSpeedItems[] = {"532 340", "540 366", "530 392"};
// The seven-segment plate of port P1 and the P2IN switch row.
constexpr int kPlateLeft = 890, kPlateRight = 980, kPlateTop = 632, kPlateBottom = 754;

void Fetch(Script* s) {
  s->Click("@DisasmButton");
}
void Execute(Script* s) {
  s->Click("@ExecButton");
}

// Focus an edit box, remove what it holds and type a new text, confirmed.
void Retype(Script* s, const std::string& box, const std::string& text) {
  s->Click(box);
  s->Key("End");
  for (int i = 0; i < 8; ++i) s->Key("Backspace");
  s->Type(text);
  s->Key("Enter");
}

std::string Rom(const VelkorRun& run, const char* address) {
  return run.state["rom"][address];
}

// ---- The demonstration program, one instruction at a time ------------------------

struct Step {
  const char* pc;
  int pc_colour;
  int reg;  // a register the instruction changes (-1: none)
  const char* value;
  int frame_colour;  // the frame of that register afterwards
  int rom_marker_row;
  const char* flags;  // "VNZC"
};

TEST(Offscreen, DemonstrationProgramStepByStep) {
  const Step steps[] = {
      {"FF84", 2, 1, "0280", 11, 61, "0000"},   // MOV #0x0280,SP
      {"FF88", 2, 4, "8000", 11, 59, "0000"},   // MOV #0x8000,R4
      {"FF92", 2, 1, "027E", 11, 54, "0000"},   // CALL #0xFF92: pushes FF8C
      {"FF96", 2, 5, "0003", 11, 52, "0000"},   // MOV #0x0003,R5
      {"FF98", 2, 5, "0002", 11, 51, "0000"},   // DEC R5
      {"FF96", 2, -1, "", 0, 52, "0000"},       // JNE back
      {"FF98", 2, 5, "0001", 11, 51, "0000"},   // DEC R5
      {"FF96", 2, -1, "", 0, 52, "0000"},       // JNE back
      {"FF98", 2, 5, "0000", 11, 51, "0010"},   // DEC R5 reaches 0: Z
      {"FF9A", 2, -1, "", 0, 50, "0010"},       // JNE falls through
      {"FF8C", 11, 1, "0280", 11, 57, "0010"},  // RET writes PC itself
      {"FF8E", 2, 4, "4000", 11, 56, "0000"},   // RRC R4
  };
  Script s;
  for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
    const Step& step = steps[i];
    Fetch(&s);
    Execute(&s);
    ScratchDir dir;
    const VelkorRun run = RunOffscreen(dir, s);
    ASSERT_EQ(run.status, 0) << run.error;
    const json& st = run.state;
    EXPECT_EQ(st["registers"][0], step.pc) << "step " << i + 1;
    EXPECT_EQ(st["register_frames"][0], step.pc_colour) << "step " << i + 1;
    if (step.reg >= 0) {
      EXPECT_EQ(st["registers"][step.reg], step.value) << "step " << i + 1;
      EXPECT_EQ(st["register_frames"][step.reg], step.frame_colour) << "step " << i + 1;
    }
    EXPECT_EQ(st["rom_marker"], json({{"row", step.rom_marker_row}, {"on", true}}))
        << "step " << i + 1;
    const std::string flags =
        std::to_string(int(st["flags"]["V"])) + std::to_string(int(st["flags"]["N"])) +
        std::to_string(int(st["flags"]["Z"])) + std::to_string(int(st["flags"]["C"]));
    EXPECT_EQ(flags, step.flags) << "step " << i + 1;
    // Single steps never change the phase.
    EXPECT_EQ(st["state_text"], "FETCH/DECODE");
    if (i == 2) {
      EXPECT_EQ(st["ram"]["027E"], "FF8C");  // the return address
      EXPECT_EQ(st["ram_marker"], json({{"row", 0}, {"on", true}}));
    }
  }
}

TEST(Offscreen, FetchLoadsTheInstructionAtPcWithoutRunningIt) {
  Script s;
  Fetch(&s);
  ScratchDir dir;
  const VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  const json& st = run.state;
  EXPECT_EQ(st["registers"][0], "FF80");
  EXPECT_EQ(st["registers"][1], "0000");
  EXPECT_EQ(st["selection"]["format"], "Double Operand");
  EXPECT_EQ(st["selection"]["operation"], "MOV");
  EXPECT_EQ(st["selection"]["source_mode"], "Immediate");
  EXPECT_EQ(st["selection"]["destination_mode"], "Register");
  EXPECT_EQ(st["selection"]["destination_register"], "R1 (SP)");
  EXPECT_EQ(st["assembler_text"], "MOV  #0x0280,SP");
  EXPECT_EQ(st["machine_code"], json({"4031", "0280", ""}));
  EXPECT_EQ(st["popups"]["machine_code"], true);  // shown once there is an instruction
}

// ---- Composing and storing an instruction ------------------------------------------

TEST(Offscreen, InitSpShortcutThenSaveAtTheSelectedRomRow) {
  Script s;
  s.Click("@ShotCut1Button");
  ScratchDir dir;
  VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  const json& sel = run.state["selection"];
  EXPECT_EQ(sel["format"], "Double Operand");
  EXPECT_EQ(sel["operation"], "MOV");
  EXPECT_EQ(sel["source_mode"], "Immediate");
  EXPECT_EQ(sel["source_text"], "0x280");
  EXPECT_EQ(sel["destination_mode"], "Register");
  EXPECT_EQ(sel["destination_register"], "R1 (SP)");
  EXPECT_EQ(sel["word"], true);
  EXPECT_EQ(run.state["assembler_text"], "MOV  #0x0280,SP");

  s.Click(kRomTopAddress);  // select FF92
  s.Click("@SaveButton");
  run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  EXPECT_EQ(run.state["rom_selection"]["row"], 54);
  EXPECT_EQ(Rom(run, "FF92"), "4031");
  EXPECT_EQ(Rom(run, "FF94"), "0280");  // the extension word above it
  EXPECT_EQ(Rom(run, "FF96"), "8315");  // the next word untouched
  EXPECT_EQ(Rom(run, "FF90"), "3FFB");
}

// ---- Hand edits through the pop-ups -------------------------------------------------

TEST(Offscreen, RegisterEditedThroughItsPopUp) {
  const struct {
    const char* typed;
    const char* r4;
  } cases[] = {
      {"0x1234", "1234"}, {"4660", "1234"},
      {"-1", "FFFF"},     {"abc", "0000"},    // not a number: nothing written
      {"12xyz", "0000"},  {"70000", "0000"},  // out of range
  };
  for (const auto& c : cases) {
    Script s;
    s.Click(kR4Value);
    Retype(&s, "@RegTextEditBox", c.typed);
    s.Click("@RegPushButton");
    ScratchDir dir;
    const VelkorRun run = RunOffscreen(dir, s);
    ASSERT_EQ(run.status, 0) << run.error;
    EXPECT_EQ(run.state["registers"][4], c.r4) << c.typed;
    EXPECT_EQ(run.state["popups"]["register"], true) << c.typed;
    for (int r : {0, 1, 2, 5, 15}) {
      EXPECT_EQ(run.state["registers"][r], r == 0 ? "FF80" : "0000") << c.typed;
    }
  }
}

TEST(Offscreen, RamWordEditedInTheRowClicked) {
  Script s;
  s.Click(kRamSecondHighByte);  // 027C
  Retype(&s, "@RAMTextEditBox", "0xBEEF");
  s.Click("@RAMPushButton");
  ScratchDir dir;
  const VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  EXPECT_EQ(run.state["popups"]["ram"], true);
  EXPECT_EQ(run.state["ram"]["027C"], "BEEF");
  EXPECT_EQ(run.state["ram"]["027E"], "0000");
  EXPECT_EQ(run.state["ram"]["027A"], "0000");
}

// ---- Program slots ------------------------------------------------------------------

void OpenSlotsAndChooseSlot3(Script* s) {
  s->Click(kRomTopHighByte);
  s->Click("@SlotComboBox");
  s->Click(kSlot3Item);
}

TEST(Offscreen, Slot3SavedAndLoadedBack) {
  ScratchDir dir;
  Script s;
  OpenSlotsAndChooseSlot3(&s);
  s.Click("@ROMSaveButton");
  VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  const std::string file = ReadFile(dir / "slot3.csv");
  ASSERT_EQ(file.size(), 64u * 14u) << file;  // "FFFE;FF80;\"\"\r\n" per row
  EXPECT_EQ(file.substr(0, 14), "FFFE;FF80;\"\"\r\n");
  EXPECT_EQ(file.substr(63 * 14), "FF80;4031;\"\"\r\n");
  EXPECT_FALSE(FileExists(dir / "slot1.csv"));
  EXPECT_NE(run.state["message"].get<std::string>().find("slot3.csv"), std::string::npos);

  // Store MOV #0x280,SP over FF92, then load slot 3: the word comes back.
  s.Click("@ShotCut1Button");
  s.Click(kRomTopAddress);
  s.Click("@SaveButton");
  run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  ASSERT_EQ(Rom(run, "FF92"), "4031");
  OpenSlotsAndChooseSlot3(&s);
  s.Click("@ROMLoadButton");
  run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  EXPECT_EQ(Rom(run, "FF92"), "4035");
  EXPECT_EQ(Rom(run, "FF94"), "0003");
}

TEST(Offscreen, LoadingAMissingSlotSaysSoAndKeepsTheRom) {
  ScratchDir dir;
  Script s;
  OpenSlotsAndChooseSlot3(&s);
  s.Click("@ROMLoadButton");
  const VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  const std::string message = run.state["message"];
  EXPECT_NE(message.find("slot3.csv"), std::string::npos) << message;
  EXPECT_EQ(Rom(run, "FF80"), "4031");
  EXPECT_EQ(Rom(run, "FFFE"), "FF80");
}

// ---- RESET and NMI ------------------------------------------------------------------

TEST(Offscreen, NmiThenReset) {
  Script s;
  Fetch(&s);
  Execute(&s);  // SP = 0280, PC = FF84
  s.Click("@NMIButton");
  ScratchDir dir;
  VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  EXPECT_EQ(run.state["registers"][0], "FFD0");  // the NMI vector
  EXPECT_EQ(run.state["registers"][1], "027C");
  EXPECT_EQ(run.state["ram"]["027E"], "FF84");  // PC pushed first
  EXPECT_EQ(run.state["ram"]["027C"], "0000");  // then SR
  EXPECT_EQ(run.state["state_text"], "FETCH/DECODE");

  // The handler is RETI.
  Fetch(&s);
  run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  EXPECT_EQ(run.state["selection"]["operation"], "RETI");

  s.Click("@ResetButton");
  run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  EXPECT_EQ(run.state["registers"][0], "FF80");
  EXPECT_EQ(run.state["registers"][1], "0000");
  EXPECT_EQ(run.state["ram"]["027E"], "0000");
  EXPECT_EQ(run.state["ram"]["027C"], "0000");
  EXPECT_EQ(run.state["rom_marker"]["row"], 63);
  EXPECT_EQ(run.state["selection"]["format"], "---no instruction---");
  EXPECT_EQ(run.state["selection"]["word"], true);
  EXPECT_EQ(Rom(run, "FF80"), "4031");  // the ROM stays
}

// A slot file with the demonstration program's first word replaced.
std::string SlotWithFirstWord(unsigned first) {
  std::string file;
  for (unsigned address = 0xFFFE; address >= 0xFF80; address -= 2) {
    const unsigned word = address == 0xFFFE ? 0xFF80 : (address == 0xFF80 ? first : 0xFFFF);
    char line[32];
    snprintf(line, sizeof line, "%04X;%04X;\"\"\r\n", address, word);
    file += line;
  }
  return file;
}

// A reset answered once: a register edited after the fetch of an
// undecodable word is not wiped again on the following frames.
TEST(Offscreen, UndecodableWordResetsOnce) {
  ScratchDir dir;
  WriteFile(dir / "slot1.csv", SlotWithFirstWord(0x0000));
  Script s;
  s.Click(kRomTopHighByte);
  s.Click("@ROMLoadButton");
  s.Click(kR1Value);
  Retype(&s, "@RegTextEditBox", "0x0110");
  s.Click("@RegPushButton");
  VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  ASSERT_EQ(Rom(run, "FF80"), "0000");
  ASSERT_EQ(run.state["registers"][1], "0110");
  Fetch(&s);  // 0000 does not decode: RESET
  s.Click(kR4Value);
  Retype(&s, "@RegTextEditBox", "0x0042");
  s.Click("@RegPushButton");
  s.Wait(5);
  run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  EXPECT_EQ(run.state["registers"][1], "0000");  // the reset happened
  EXPECT_EQ(run.state["registers"][4], "0042");  // and did not repeat
  EXPECT_EQ(run.state["selection"]["format"], "---no instruction---");
}

// ---- Continuous execution -----------------------------------------------------------

TEST(Offscreen, ContinuousExecutionAlternatesPhasesAtEachSpeed) {
  const struct {
    int speed;
    const char* name;
    int period_frames;  // animation period / 33 per frame
  } cases[] = {{0, "Slow", 3000 / 33}, {1, "Medium", 600 / 33}, {2, "Fast", 70 / 33 + 1}};
  for (const auto& c : cases) {
    Script s;
    s.Click(kSpeedItems[c.speed]);
    s.Click("@EnableExecToggleButton");
    const int start = s.frame() - 2;  // the frame of the click
    ScratchDir dir;
    const struct {
      double periods;
      const char* state_text;
      const char* pc;
      const char* sp;
    } checks[] = {
        {0.5, "FETCH/DECODE", "FF80", "0000"},  // nothing yet
        {1.5, "EXECUTE", "FF80", "0000"},       // fetched
        {2.5, "FETCH/DECODE", "FF84", "0280"},  // executed
        {3.5, "EXECUTE", "FF84", "0280"},      {4.5, "FETCH/DECODE", "FF88", "0280"},
    };
    for (const auto& k : checks) {
      // Slow takes long: its two steps are enough.
      if (c.speed == 0 && (k.periods < 1.0 || k.periods > 2.5)) continue;
      const int frames = start + static_cast<int>(k.periods * c.period_frames) + 1;
      const VelkorRun run = RunOffscreen(dir, s, frames);
      ASSERT_EQ(run.status, 0) << run.error;
      EXPECT_EQ(run.state["continuous"], true);
      EXPECT_EQ(run.state["speed"], c.name);
      EXPECT_EQ(run.state["state_text"], k.state_text) << c.speed << " at " << k.periods;
      EXPECT_EQ(run.state["registers"][0], k.pc) << c.speed << " at " << k.periods;
      EXPECT_EQ(run.state["registers"][1], k.sp) << c.speed << " at " << k.periods;
    }
  }
}

// A pointer left over SAVE while execution runs stores nothing on the ticks.
TEST(Offscreen, ContinuousExecutionIgnoresAPointerLeftOnSave) {
  Script s;
  s.Click(kSpeedItems[2]);
  s.Click("@EnableExecToggleButton");
  s.Move("@SaveButton");
  s.Wait(60);
  ScratchDir dir;
  const VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  EXPECT_NE(run.state["registers"][0], "FF80");  // it ran
  // The instructions it decoded were never stored over FF80 .. FF9A.
  const char* demo[][2] = {{"FF80", "4031"}, {"FF82", "0280"}, {"FF84", "4034"},
                           {"FF86", "8000"}, {"FF88", "12B0"}, {"FF8A", "FF92"}};
  for (const auto& w : demo) EXPECT_EQ(Rom(run, w[0]), w[1]) << w[0];
}

// ---- Ports ----------------------------------------------------------------------------

// A program of our own, loaded from slot 1: P1DIR := FF, P1OUT := 06 (the
// two right bars: a "1"), P2DIR := 03 (bits 0 and 1 outputs).
std::string PortProgramSlot() {
  std::string file;
  const std::pair<unsigned, unsigned> words[] = {
      {0xFF80, 0x40F2}, {0xFF82, 0x00FF}, {0xFF84, 0x0022},  // MOV.B #0xFF,&0x0022
      {0xFF86, 0x40F2}, {0xFF88, 0x0006}, {0xFF8A, 0x0021},  // MOV.B #0x06,&0x0021
      {0xFF8C, 0x40F2}, {0xFF8E, 0x0003}, {0xFF90, 0x002A},  // MOV.B #0x03,&0x002A
  };
  for (unsigned address = 0xFFFE; address >= 0xFF80; address -= 2) {
    unsigned word = address == 0xFFFE ? 0xFF80 : 0xFFFF;
    for (const auto& w : words) {
      if (w.first == address) word = w.second;
    }
    char line[32];
    snprintf(line, sizeof line, "%04X;%04X;\"\"\r\n", address, word);
    file += line;
  }
  return file;
}

TEST(Offscreen, P1OutputLightsSegmentsAndP2SwitchesReachInputBitsOnly) {
  ScratchDir dir;
  WriteFile(dir / "slot1.csv", PortProgramSlot());
  Script s;
  s.Click(kRomTopHighByte);
  s.Click("@ROMLoadButton");
  for (int i = 0; i < 3; ++i) {
    Fetch(&s);
    Execute(&s);
  }
  s.Click("@ToggleButton_7");  // bit 0: an output now
  s.Click("@ToggleButton_5");  // bit 2: an input
  const VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.error;
  const json& ports = run.state["ports"];
  EXPECT_EQ(ports["P1DIR"], "0xFF");
  EXPECT_EQ(ports["P1OUT"], "0x06");
  EXPECT_EQ(ports["P2DIR"], "0x03");
  EXPECT_EQ(run.state["switches"], json({1, 0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(ports["P2IN"], "0x04");
  EXPECT_EQ(run.state["segments"], json({0, 1, 1, 0, 0, 0, 0, 0}));

  // The lit bars in colour 31: on the right half of the plate only.
  const velkor_test::Image image = ReadPng(dir / "snapshot.png");
  ASSERT_EQ(image.width, 1280);
  ASSERT_EQ(image.height, 768);
  const uint32_t lit = velkor_test::Rgb(Velkor_color_table.rgba[31]);
  const int middle = (kPlateLeft + kPlateRight) / 2;
  EXPECT_GT(CountColour(image, middle, kPlateTop, kPlateRight, kPlateBottom, lit), 100);
  EXPECT_EQ(CountColour(image, kPlateLeft, kPlateTop, middle - 8, kPlateBottom, lit), 0);
}

// ---- The run itself -------------------------------------------------------------------

TEST(Offscreen, SameScriptSameStateAndPixels) {
  Script s;
  Fetch(&s);
  Execute(&s);
  s.Click(kR4Value);
  ScratchDir a;
  ScratchDir b;
  const VelkorRun first = RunOffscreen(a, s);
  const VelkorRun second = RunOffscreen(b, s);
  ASSERT_EQ(first.status, 0) << first.error;
  ASSERT_EQ(second.status, 0) << second.error;
  EXPECT_EQ(ReadFile(a / "state.json"), ReadFile(b / "state.json"));
  const std::string png = ReadFile(a / "snapshot.png");
  EXPECT_GT(png.size(), 1000u);
  EXPECT_EQ(png, ReadFile(b / "snapshot.png"));
}

TEST(Offscreen, BmpSnapshotAndStateWithoutScript) {
  ScratchDir dir;
  const VelkorRun run = RunVelkor(
      dir, {"--offscreen", "--frames", "3", "--snapshot", "shot.bmp", "--state", "state.json"});
  ASSERT_EQ(run.status, 0) << run.error;
  const std::string bmp = ReadFile(dir / "shot.bmp");
  ASSERT_EQ(bmp.size(), 54u + 1280u * 768u * 3u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  const json st = json::parse(ReadFile(dir / "state.json"));
  EXPECT_EQ(st["frame"], 3);
  EXPECT_EQ(st["registers"][0], "FF80");
}

TEST(Offscreen, OutputThatCannotBeWrittenFails) {
  ScratchDir dir;
  const VelkorRun run =
      RunVelkor(dir, {"--offscreen", "--frames", "2", "--state", "no/such/dir/state.json"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.error.find("cannot write"), std::string::npos);
}

// Slot files go to the slot directory; the outputs named on the command
// line stay where they were named, relative to where the program started.
TEST(Offscreen, SlotDirectoryAndOutputsKeepTheirPlaces) {
  ScratchDir dir;
  ASSERT_EQ(mkdir((dir / "slots").c_str(), 0755), 0);
  Script s;
  s.Click(kRomTopHighByte);
  s.Click("@ROMSaveButton");
  WriteFile(dir / "events.txt", s.text());
  const VelkorRun run = RunVelkor(
      dir, {"--offscreen", "--frames", std::to_string(s.frames()), "--events", "events.txt",
            "--state", "state.json", "--snapshot", "shot.png", "--slot-dir", "slots"});
  ASSERT_EQ(run.status, 0) << run.error;
  EXPECT_TRUE(FileExists(dir / "slots/slot1.csv"));
  EXPECT_FALSE(FileExists(dir / "slot1.csv"));
  EXPECT_TRUE(FileExists(dir / "state.json"));
  EXPECT_TRUE(FileExists(dir / "shot.png"));
  EXPECT_FALSE(FileExists(dir / "slots/state.json"));

  const VelkorRun missing =
      RunVelkor(dir, {"--offscreen", "--frames", "2", "--slot-dir", "no-such-dir"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.error, "velkor: cannot use the slot directory no-such-dir\n");
}

// The README's screenshot is made by the script in docs/: it still runs and
// shows what its comment says.
TEST(Offscreen, ReadmeScreenshotScriptRuns) {
  ScratchDir dir;
  const VelkorRun run =
      RunVelkor(dir, {"--offscreen", "--frames", "40", "--events",
                      std::string(VELKOR_SOURCE_DIR) + "/docs/velkor_screenshot.txt", "--snapshot",
                      "velkor.png", "--state", "state.json"});
  ASSERT_EQ(run.status, 0) << run.error;
  const json st = json::parse(ReadFile(dir / "state.json"));
  EXPECT_EQ(st["registers"][0], "FF92");  // after CALL #0xFF92
  EXPECT_EQ(st["assembler_text"], "MOV  #0x0003,R5");
  EXPECT_EQ(ReadPng(dir / "velkor.png").width, 1280);
}

TEST(Program, HelpAndNoDisplay) {
  ScratchDir dir;
  VelkorRun run = RunVelkor(dir, {"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.output.find("velkor --offscreen --frames N"), std::string::npos);
  // Window mode without a display: one line saying how to run it instead.
  run = RunVelkor(dir, {}, {"DISPLAY="});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.error.find("Xvfb"), std::string::npos);
  EXPECT_NE(run.error.find("--offscreen"), std::string::npos);
  EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1);
}

}  // namespace
