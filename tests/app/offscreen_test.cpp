// The real velkor binary run off-screen with event scripts, its state file
// and snapshot read back, and its exit status and one line when it refuses.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "panel/Velkor_color_table.h"
#include "tests/app/run_velkor.h"

namespace velkor_test {
namespace {

// Snapshot pixels (origin top left) of things that are not widgets.
constexpr const char* kRomTopAddress = "858 65";  // FF92, the top row the ROM table shows
constexpr const char* kRomTopHighByte = "922 65";
constexpr const char* kR1Value = "466 605";
constexpr const char* kR4Value = "466 717";
constexpr const char* kSlot3Item = "855 492";             // in the open slot list
constexpr const char* kFastItem = "@SpeedRadioBox+10,5";  // its lowest item

void OpenSlot3(Script* s) {
  s->Click(kRomTopHighByte);
  s->Click("@SlotComboBox");
  s->Click(kSlot3Item);
}

// A slot file with `words` from FF80 on, the reset vector FF80, FFFF elsewhere.
std::string Slot(const std::vector<unsigned>& words) {
  std::string file;
  for (unsigned address = 0xFFFE; address >= 0xFF80; address -= 2) {
    const size_t i = (address - 0xFF80) / 2;
    char line[32];
    snprintf(line, sizeof line, "%04X;%04X;\"\"\r\n", address,
             address == 0xFFFE ? 0xFF80 : (i < words.size() ? words[i] : 0xFFFF));
    file += line;
  }
  return file;
}

// The README's screenshot script (up to CALL #0xFF92 and the next fetch),
// twice for the same state and pixels; then RESET.
TEST(Offscreen, DemonstrationProgramAndReset) {
  Script s;
  s.Raw(ReadFile(std::string(VELKOR_SOURCE_DIR) + "/docs/velkor_screenshot.txt"), 26);
  ScratchDir dir;
  ScratchDir again;
  VelkorRun run = RunOffscreen(dir, s, 40);
  ASSERT_EQ(run.status, 0) << run.output;
  ExpectState(run.state,
              {"/frame", 40, "/registers/0", "FF92", "/registers/1", "027E", "/registers/4", "8000",
               "/ram/027E", "FF8C", "/ram_marker/row", 0, "/rom_marker/row", 54});
  ExpectState(run.state,
              {"/selection/operation", "MOV", "/assembler_text", "MOV  #0x0003,R5",
               "/machine_code/0", "4035", "/machine_code/1", "0003", "/popups/machine_code", true});
  ASSERT_EQ(RunOffscreen(again, s, 40).status, 0);
  EXPECT_EQ(ReadFile(dir / "state.json"), ReadFile(again / "state.json"));
  EXPECT_EQ(ReadFile(dir / "snapshot.png"), ReadFile(again / "snapshot.png"));

  s.Click("@ResetButton");
  run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.output;
  ExpectState(run.state, {"/registers/0", "FF80", "/registers/1", "0000", "/ram/027E", "0000",
                          "/rom_marker/row", 63, "/selection/format", "---no instruction---",
                          "/rom/FF80", "4031"});
}

// A slot that is not there loads nothing; the ROM saved in slot 3, MOV
// #0x280,SP composed by its shortcut and stored over FF92; slot 3 loaded back.
TEST(Offscreen, ComposeStoreAndKeepInASlot) {
  ScratchDir dir;
  Script s;
  OpenSlot3(&s);
  s.Click("@ROMLoadButton");
  VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.state["message"].get<std::string>().find("slot3.csv"), std::string::npos);
  EXPECT_EQ(run.state["rom"]["FF80"], "4031");

  OpenSlot3(&s);
  s.Click("@ROMSaveButton");
  s.Click("@ShotCut1Button");
  s.Click(kRomTopAddress);
  s.Click("@SaveButton");
  run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(FileExists(dir / "slots/slot3.csv"));
  ExpectState(run.state["selection"],
              {"/source_mode", "Immediate", "/source_register", "R0 (PC)", "/destination_mode",
               "Register", "/destination_register", "R1 (SP)"});
  ExpectState(run.state,
              {"/assembler_text", "MOV  #0x0280,SP", "/rom_selection/row", 54, "/rom/FF90", "3FFB",
               "/rom/FF92", "4031", "/rom/FF94", "0280", "/rom/FF96", "8315"});

  OpenSlot3(&s);
  s.Click("@ROMLoadButton");
  run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.output;
  ExpectState(run.state, {"/rom/FF92", "4035", "/rom/FF94", "0003"});
}

// A register typed into its pop-up; a reset answered once: a register edited
// after the fetch of an undecodable word stays.
TEST(Offscreen, EditsThroughPopUpsAndAnUndecodableWordResetsOnce) {
  ScratchDir dir;
  WriteFile(dir / "slots/slot1.csv", Slot({0x0000}));
  Script s;
  s.Click(kRomTopHighByte);
  s.Click("@ROMLoadButton");
  s.Click(kR1Value);
  s.Retype("@RegTextEditBox", "0x0110");
  s.Click("@RegPushButton");
  VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.output;
  ExpectState(run.state, {"/rom/FF80", "0000", "/registers/1", "0110", "/registers/4", "0000",
                          "/popups/register", true});
  s.Click("@DisasmButton");  // 0000 does not decode: RESET
  s.Click(kR4Value);
  s.Retype("@RegTextEditBox", "0x0042");
  s.Click("@RegPushButton");
  s.Wait(5);
  run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.output;
  ExpectState(run.state, {"/registers/1", "0000", "/registers/4", "0042"});
}

// At "Fast" (a period of 3 frames of 33 ms) the phases alternate: nothing
// after half a period, fetched after 1.5, executed after 2.5. A pointer left
// over SAVE meanwhile stores nothing on the ticks.
TEST(Offscreen, ContinuousExecutionAtFast) {
  Script s;
  s.Click(kFastItem);
  s.Click("@EnableExecToggleButton");
  const int start = s.frame() - 2;  // the frame of the click
  ScratchDir dir;
  const char* const checks[][2] = {
      {"FETCH/DECODE", "FF80"}, {"EXECUTE", "FF80"}, {"FETCH/DECODE", "FF84"}};
  for (int k = 0; k < 3; ++k) {
    const VelkorRun run = RunOffscreen(dir, s, start + (2 * k + 1) * 3 / 2 + 1);
    ASSERT_EQ(run.status, 0) << run.output;
    ExpectState(run.state, {"/continuous", true, "/speed", "Fast", "/state_text", checks[k][0],
                            "/registers/0", checks[k][1]});
  }
  s.Move("@SaveButton");
  s.Wait(60);
  const VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.state["registers"][4], "0000");  // it ran on
  ExpectState(run.state, {"/rom/FF80", "4031", "/rom/FF82", "0280", "/rom/FF84", "4034",
                          "/rom/FF86", "8000", "/rom/FF88", "12B0", "/rom/FF8A", "FF92"});
}

// A program of our own sets P1DIR := FF, P1OUT := 06 (the two right bars: a
// "1") and P2DIR := 03; P2 switches reach P2IN on input bits only.
TEST(Offscreen, P1OutputLightsSegmentsAndP2SwitchesReachInputBitsOnly) {
  ScratchDir dir;
  WriteFile(dir / "slots/slot1.csv", Slot({0x40F2, 0x00FF, 0x0022,     // MOV.B #0xFF,&0x0022
                                           0x40F2, 0x0006, 0x0021,     // MOV.B #0x06,&0x0021
                                           0x40F2, 0x0003, 0x002A}));  // MOV.B #0x03,&0x002A
  Script s;
  s.Click(kRomTopHighByte);
  s.Click("@ROMLoadButton");
  for (int i = 0; i < 3; ++i) s.Click("@DisasmButton"), s.Click("@ExecButton");
  s.Click("@ToggleButton_7");  // bit 0: an output now
  s.Click("@ToggleButton_5");  // bit 2: an input
  const VelkorRun run = RunOffscreen(dir, s);
  ASSERT_EQ(run.status, 0) << run.output;
  ExpectState(run.state, {"/ports/P1DIR", "0xFF", "/ports/P1OUT", "0x06", "/ports/P2DIR", "0x03",
                          "/ports/P2IN", "0x04"});
  // MOV.B #0x03,&0x002A fetched and run last: its address unit is shown.
  ExpectState(run.state["address_unit"],
              {"/source/shown", true, "/source/base", "0xFF94", "/source/register", "R0 (PC)",
               "/destination/base", "0x0000", "/destination/index", "0x002A",
               "/destination/address", "0x002A", "/destination/register", "R2 (SR)"});
  EXPECT_EQ(run.state["switches"], nlohmann::json({1, 0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(run.state["segments"], nlohmann::json({0, 1, 1, 0, 0, 0, 0, 0}));
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&png, (dir / "snapshot.png").c_str()));
  png.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(png));
  ASSERT_TRUE(png_image_finish_read(&png, nullptr, rgb.data(), 0, nullptr));
  ASSERT_TRUE(png.width == 1280 && png.height == 768);
  // The two right bars (a "1") lit in colour 31, rows top first; the left ones not.
  const auto lit = [&](int x, int y) {
    const float* colour = Velkor_color_table.rgba[31];
    const uint8_t* pixel = &rgb[(y * 1280 + x) * 3];
    return pixel[0] == colour[0] * 255 && pixel[1] == colour[1] * 255 &&
           pixel[2] == colour[2] * 255;
  };
  EXPECT_TRUE(lit(956, 670) && lit(956, 715));
  EXPECT_FALSE(lit(901, 670) || lit(901, 715));
}

// 1,100 clicks in one frame, then FETCH/DECODE: the click would be lost.
const std::string kQueueFlood = [] {
  std::string script;
  for (int i = 0; i < 1100; ++i) script += "3 click 5 5\n";
  return script + "3 click @DisasmButton\n";
}();
// A comment line too many.
const std::string kBigScript = std::string(4 << 20, '#') + "\n";

// Refused: the exit status, one line on stderr and no state file; scripts
// are read whole before a frame is drawn. Then a BMP snapshot and --help.
TEST(Program, ExitStatusAndOutputs) {
  const struct {
    int status;
    const char* args;  // "" runs events.txt for 10 frames
    const char* script;
    std::string error;
  } cases[] = {
      {2, "--offscreen --frames zero", "", "--frames needs a whole number"},
      {2, "--offscreen --frames 3 --events missing.txt", nullptr,
       "script missing.txt: No such file"},
      {2, "", "2 click @ExecButton\n3 click 5\n", "events.txt:2: click: needs a position"},
      {2, "", "50 move 1 1\n", "events.txt:1: frame 50 is never drawn (frames 0 .. 9)\n"},
      // The slot pop-up's button is not drawn while the pop-up is closed.
      {1, "", "3 click @ROMSaveButton\n", "events.txt:1: @ROMSaveButton was not drawn in frame 2"},
      {1, "--offscreen --frames 2 --state no/such/dir/state.json", "", "cannot write"},
      {1, "--offscreen --frames 2 --state state.json --slot-dir no", "", "slot directory no\n"},
      // A script is a file of at most 4 MiB, queued events within the host's queues.
      {2, "--offscreen --frames 3 --events slots --state state.json", nullptr,
       "script slots: it is a folder"},
      {2, "--offscreen --frames 3 --events /dev/zero --state state.json", nullptr,
       "script /dev/zero: larger than 4 MiB"},
      {2, "", kBigScript.c_str(), "events.txt: larger than 4 MiB"},
      {2, "", kQueueFlood.c_str(),
       "events.txt:513: frame 3 would queue more than 1024 pointer events"},
      // Window mode without a display says how to run it instead.
      {1, "-period 40", "", "(xvfb-run -a velkor) or off-screen (velkor --offscreen"},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    if (c.script != nullptr) WriteFile(dir / "events.txt", c.script);
    const std::string run10 = "--offscreen --frames 10 --events events.txt --state state.json";
    const VelkorRun run = RunVelkor(dir, c.args[0] != '\0' ? c.args : run10, "DISPLAY=");
    SCOPED_TRACE(c.error);
    EXPECT_EQ(run.status, c.status) << run.output;
    EXPECT_EQ(run.output.rfind("velkor: ", 0), 0u) << run.output;
    EXPECT_NE(run.output.find(c.error), std::string::npos) << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    EXPECT_FALSE(FileExists(dir / "state.json")) << run.output;
  }
  ScratchDir dir;
  VelkorRun run = RunVelkor(dir, "--offscreen --frames 3 --snapshot shot.bmp --state state.json");
  ASSERT_EQ(run.status, 0) << run.output;
  const std::string bmp = ReadFile(dir / "shot.bmp");
  EXPECT_EQ(bmp.substr(0, 2) + std::to_string(bmp.size()), "BM2949174");  // 54 + 1280 * 768 * 3
  ExpectState(nlohmann::json::parse(ReadFile(dir / "state.json")),
              {"/frame", 3, "/registers/0", "FF80"});
  run = RunVelkor(dir, "--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.output.find("velkor --offscreen --frames N"), std::string::npos);
}

// The state file and the snapshot go into what their names point at: a link stays a link and
// its file gets the output, a FIFO is written into, a descriptor of the program is written
// through; a regular file is replaced whole or, when the disk takes no more, kept as it was.
TEST(Program, OutputsGoWhereTheirNamesPoint) {
  ScratchDir dir;
  ASSERT_EQ(0, mkdir((dir / "real").c_str(), 0755));
  ASSERT_EQ(0, symlink("real/state.json", (dir / "state.json").c_str()));
  ASSERT_EQ(0, symlink("real/shot.png", (dir / "shot.png").c_str()));
  VelkorRun run = RunVelkor(dir, "--offscreen --frames 2 --state state.json --snapshot shot.png");
  ASSERT_EQ(run.status, 0) << run.output;
  struct stat info;
  EXPECT_TRUE(lstat((dir / "state.json").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
  EXPECT_TRUE(lstat((dir / "shot.png").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
  ExpectState(nlohmann::json::parse(ReadFile(dir / "real/state.json"), nullptr, false),
              {"/frame", 2});
  EXPECT_EQ(ReadFile(dir / "real/shot.png").substr(1, 3), "PNG");

  // A FIFO with a reader at its other end (a reader that never gets a writer gives up).
  ASSERT_EQ(0, mkfifo((dir / "state.fifo").c_str(), 0600));
  const int raw = system(("cd '" + dir.path +
                          "' && { timeout 60 cat state.fifo >from-fifo.json & } && '" VELKOR_BINARY
                          "' --offscreen --frames 2 --state state.fifo >output.txt 2>&1; "
                          "status=$?; wait; exit $status")
                             .c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << ReadFile(dir / "output.txt");
  EXPECT_TRUE(stat((dir / "state.fifo").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
  ExpectState(nlohmann::json::parse(ReadFile(dir / "from-fifo.json"), nullptr, false),
              {"/frame", 2});
  // The program's own standard output, as the shell set it up: a file it appends to, a pipe.
  WriteFile(dir / "log.txt", "before\n");
  run = RunVelkor(dir, "--offscreen --frames 2 --state /dev/fd/3 3>>log.txt");
  ASSERT_EQ(run.status, 0) << run.output;
  const std::string log = ReadFile(dir / "log.txt");
  ASSERT_EQ(log.substr(0, 7), "before\n");
  ExpectState(nlohmann::json::parse(log.substr(7), nullptr, false), {"/frame", 2});
  run = RunVelkor(dir, "--offscreen --frames 2 --state /dev/stdout 2>err.txt | cat");
  EXPECT_EQ(ReadFile(dir / "err.txt"), "");
  ExpectState(nlohmann::json::parse(run.output, nullptr, false), {"/frame", 2});

  // A disk that takes no more (a file size limit, its signal ignored): nothing is written,
  // the program says so, the old files stay as they were.
  for (const char* snapshot : {"old.png", "old.bmp"}) {
    SCOPED_TRACE(snapshot);
    WriteFile(dir / snapshot, "old picture");
    WriteFile(dir / "old.json", "old state");
    run = RunVelkor(dir,
                    std::string("--offscreen --frames 2 --state old.json --snapshot ") + snapshot,
                    "trap '' XFSZ; ulimit -f 4;");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("cannot write"), std::string::npos) << run.output;
    EXPECT_EQ(ReadFile(dir / snapshot), "old picture");
    EXPECT_EQ(ReadFile(dir / "old.json"), "old state");
    // No temporary file is left behind.
    EXPECT_EQ(system(("test -z \"$(ls '" + dir.path +
                      "' | grep '^old' | grep -vx -e old.png -e old.bmp -e old.json)\"")
                         .c_str()),
              0);
  }
}

}  // namespace
}  // namespace velkor_test
