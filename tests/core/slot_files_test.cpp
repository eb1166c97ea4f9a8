// Slot files (exact bytes, malformed files, saves cut at every step) and velkor-trace on them.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <vector>

#include "tests/core/core_test_util.h"
#include "tests/support/save_interruption.h"

using namespace coretest;

namespace {

// Slot files live in the current directory: each test runs in a fresh one of its own.
class SlotsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/velkor-core-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    directory = pattern;
    ASSERT_NE(nullptr, getcwd(previous, sizeof previous));
    ASSERT_EQ(0, chdir(pattern));
  }
  void TearDown() override {
    ASSERT_EQ(0, chdir(previous));
    ASSERT_EQ(0, system(("rm -rf '" + directory + "'").c_str()));
  }
  static std::string ReadFile(const char* name) {
    std::stringstream s;
    s << std::ifstream(name, std::ios::binary).rdbuf();
    return s.str();
  }
  static void WriteFile(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary) << bytes;
  }
  static void WriteFile(const std::string& name, const std::string& bytes) {
    WriteFile(name.c_str(), bytes);
  }
  // The names in the current directory, sorted, without "." and "..".
  static std::vector<std::string> Entries() {
    std::vector<std::string> names;
    DIR* dir = opendir(".");
    while (const dirent* entry = dir != nullptr ? readdir(dir) : nullptr) {
      if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
        names.push_back(entry->d_name);
    }
    if (dir != nullptr) closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
  }
  // velkor-trace run with `arguments`: its output lines; its status and error text kept. A run
  // that hangs is ended (status 124) instead of holding up the suite.
  std::vector<std::string> Run(const std::string& arguments) {
    int raw = system(
        ("timeout 60 '" VELKOR_TRACE_BINARY "' " + arguments + " >out.txt 2>err.txt").c_str());
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    err = ReadFile("err.txt");
    std::istringstream out(ReadFile("out.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(out, line);) lines.push_back(line);
    return lines;
  }
  int status = -1;
  std::string err;
  std::unique_ptr<Simulator> s = NewSimulator();
  MachineState* m = &s->machine;
  std::string directory;
  char previous[4096];
};
using TraceToolTest = SlotsTest;

TEST_F(SlotsTest, SavedFileHasTheExactBytes) {
  ROMSave(m->rom, 0);
  std::string bytes = ReadFile("slot1.csv");
  ASSERT_EQ(64u * 14u, bytes.size());
  EXPECT_EQ("FFFE;FF80;\"\"\r\n", bytes.substr(0, 14));
  EXPECT_EQ("FF80;4031;\"\"\r\n", bytes.substr(63 * 14));
  ROMSave(m->rom, 9);
  ROMSave(m->rom, 10);  // slots stop at nine
  EXPECT_EQ(0, access("slot10.csv", F_OK));
  EXPECT_EQ(0, system("test $(ls | wc -l) -eq 2"));
}

// Killed or failing at any step, a save leaves the old or the new file; the next one works.
TEST_F(SlotsTest, EveryCutSaveLeavesTheOldOrTheNewFile) {
  std::unique_ptr<Simulator> old_program = NewSimulator(), new_program = NewSimulator();
  for (unsigned a = 0xFF80; a <= 0xFFFE; a += 2) {
    SetWord(&old_program->machine, a, a * 31u);
    SetWord(&new_program->machine, a, a * 7919u);
  }
  ROMSave(new_program->machine.rom, 0);
  const std::string new_bytes = ReadFile("slot1.csv");
  ROMSave(old_program->machine.rom, 0);
  const std::string old_bytes = ReadFile("slot1.csv");
  for (SaveInterruption how : {kKillBefore, kKillPartway, kFailCall}) {
    SCOPED_TRACE(how);
    int points = 0;
    for (int n = 1; n < 1000; ++n) {
      SCOPED_TRACE("call " + std::to_string(n));
      ROMSave(old_program->machine.rom, 0);
      SaveRun run = RunInterruptedSave(how, n, [&] { ROMSave(new_program->machine.rom, 0); });
      const std::string after = ReadFile("slot1.csv");
      if (!run.reached) {
        EXPECT_EQ(new_bytes, after);  // uncut, the save completes
        break;
      }
      ++points;
      ASSERT_TRUE(after == old_bytes || after == new_bytes) << "a mix of " << after.size();
      // A failed save cleans up; a killed one leaves at most its own temporary file, which the
      // next save removes (the program that made it is gone) before it goes through.
      const std::vector<std::string> left = Entries();
      EXPECT_EQ(how == kFailCall ? 1u : left.size(), left.size());
      EXPECT_GE(2u, left.size());
      for (const std::string& name : left) EXPECT_EQ(0u, name.find("slot1.csv")) << name;
      ROMSave(new_program->machine.rom, 0);
      EXPECT_EQ(new_bytes, ReadFile("slot1.csv"));
      EXPECT_EQ(std::vector<std::string>({"slot1.csv"}), Entries());
    }
    EXPECT_GE(points, 5);  // the write, the flush, the close, the rename and after it
  }
  // Only the order of the calls shows that the data is on the disk before the rename.
  EXPECT_EQ("write fsync close rename fsync close ",
            RecordSaveCalls([&] { ROMSave(new_program->machine.rom, 0); }));
}

// Two programs save the same slot at once: one is held halfway through its write while the
// other saves whole; the slot file ends as one of the two, never a mix of both.
TEST_F(SlotsTest, TwoSavesAtOnceNeverMeetInOneFile) {
  std::unique_ptr<Simulator> first = NewSimulator(), second = NewSimulator();
  for (unsigned a = 0xFF80; a <= 0xFFFE; a += 2) SetWord(&second->machine, a, a ^ 0x5A5A);
  ROMSave(first->machine.rom, 0);
  const std::string first_bytes = ReadFile("slot1.csv");
  ROMSave(second->machine.rom, 0);
  const std::string second_bytes = ReadFile("slot1.csv");
  // The held save still succeeds (the other leaves its temporary file alone) and, renaming
  // last, its program is the one in the slot, whole.
  ASSERT_TRUE(RunSaveHeldWhile(
      1, [&] { _exit(ROMSaveSlot(first->machine.rom, 0) == 1 ? 0 : 1); },
      [&] {
        EXPECT_EQ(1, ROMSaveSlot(second->machine.rom, 0));
        EXPECT_EQ(second_bytes, ReadFile("slot1.csv"));
      }));
  EXPECT_EQ(first_bytes, ReadFile("slot1.csv"));
  EXPECT_EQ(std::vector<std::string>({"slot1.csv"}), Entries());
}

// Whatever lies at the name an earlier version used for its temporary file is left alone.
TEST_F(SlotsTest, NothingPlantedBesideTheSlotFileIsFollowedOrBlocksASave) {
  ASSERT_EQ(0, mkdir("elsewhere", 0700));
  const std::string victim = directory + "/elsewhere/victim";
  const struct {
    const char* name;
    std::function<void()> plant;
  } cases[] = {
      {"a link to another file", [&] { ASSERT_EQ(0, symlink(victim.c_str(), "slot1.csv.tmp")); }},
      {"a dangling link", [&] { ASSERT_EQ(0, symlink("nowhere/x", "slot1.csv.tmp")); }},
      {"a folder", [] { ASSERT_EQ(0, mkdir("slot1.csv.tmp", 0700)); }},
      {"a file nobody may write",
       [] {
         WriteFile("slot1.csv.tmp", "kept");
         ASSERT_EQ(0, chmod("slot1.csv.tmp", 0400));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(victim.c_str(), "victim");
    c.plant();
    ROMSave(m->rom, 0);
    EXPECT_EQ("victim", ReadFile(victim.c_str()));
    struct stat info;
    ASSERT_EQ(0, lstat("slot1.csv", &info));
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(0u, ReadFile("slot1.csv").find("FFFE;FF80;\"\"\r\n"));
    EXPECT_EQ(std::vector<std::string>({"elsewhere", "slot1.csv", "slot1.csv.tmp"}), Entries());
    EXPECT_EQ(0, system("rm -rf slot1.csv slot1.csv.tmp"));
  }
}

// A save keeps the slot file's permissions; a file nobody may write is a protected exercise.
TEST_F(SlotsTest, PermissionsStayAndAProtectedFileIsLeftAlone) {
  const mode_t mask = umask(022);
  ROMSave(m->rom, 0);
  struct stat info;
  ASSERT_EQ(0, stat("slot1.csv", &info));
  EXPECT_EQ(0644u, info.st_mode & 07777);  // a new file as any program makes one
  for (mode_t mode : {0600, 0640, 0664, 0606}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(0, chmod("slot1.csv", mode));
    ROMSave(m->rom, 0);
    ASSERT_EQ(0, stat("slot1.csv", &info));
    EXPECT_EQ(mode, info.st_mode & 07777);
  }
  WriteFile("slot1.csv", "FFFE;1234;\"\"\r\n");
  ASSERT_EQ(0, chmod("slot1.csv", 0444));
  ROMSave(m->rom, 0);
  EXPECT_EQ("FFFE;1234;\"\"\r\n", ReadFile("slot1.csv"));
  EXPECT_EQ(std::vector<std::string>({"slot1.csv"}), Entries());
  umask(mask);
}

// What a load reports: the words it loaded and, when a bad line ended it, which and why.
std::string Outcome(const SlotLoadResult& r) {
  static const char* const kProblems[] = {"",         "address", "odd",      "outside",
                                          "repeated", "word",    "too long", "read error"};
  if (r.status == kSlotLoadUnreadable) return "unreadable";
  std::string text = std::to_string(r.words) + " words";
  if (r.status != kSlotLoadStopped) return text;
  char address[16] = "";
  if (r.address != 0) snprintf(address, sizeof address, " %04X", r.address);
  return text + ", line " + std::to_string(r.line) + ": " + kProblems[r.problem] + address;
}

// Each line puts its word at its own address, from a file written by hand in any order.
TEST_F(SlotsTest, LinesFillTheirAddressesUntilTheFirstBadOne) {
  std::string all_in_order;
  for (unsigned a = 0xFF80; a <= 0xFFFE; a += 2) {
    char line[24];
    snprintf(line, sizeof line, "%04X;%04X\n", a, a ^ 0xFFFF);
    all_in_order += line;
  }
  // Loaded over the initial state (FFFE=FF80, FFFC=FFD0, FFFA=FFFF, FF82=0280, FF80=4031).
  const struct {
    const char* name;
    std::string content;
    const char* expected;
    const char* outcome;
  } cases[] = {
      {"ascending, by hand", "FF80;4034;\"\"\r\nFF82;0290\r\nFFFE;FF82\n",
       "@FFFE=FF82 @FFFC=FFD0 @FF82=0290 @FF80=4034", "3 words"},
      {"either case, any third field", "fffc;abcd;\"Stapel\"\nFFFA;Ab12;;x\n",
       "@FFFE=FF80 @FFFC=ABCD @FFFA=AB12", "2 words"},
      {"all 64 in ascending order", all_in_order, "@FFFE=0001 @FF80=007F @FFC0=003F", "64 words"},
      {"a byte order mark before the first line",
       "\xef\xbb\xbf"
       "FFFC;1111\n",
       "@FFFE=FF80 @FFFC=1111", "1 words"},
      // Blank lines carry nothing: words go by address, so skipping one moves nothing.
      {"blank lines", "\nFFFE;1111\r\n\r\n\nFFFA;3333\n\n", "@FFFE=1111 @FFFC=FFD0 @FFFA=3333",
       "2 words"},
      {"empty", "", "@FFFE=FF80", "0 words"},
      // The first bad line ends the load; the words before it stay.
      {"odd address", "FFFC;1111\nFF81;2222\nFFFA;3333\n", "@FFFC=1111 @FFFA=FFFF @FF80=4031",
       "1 words, line 2: odd FF81"},
      {"address below program memory", "FFFC;1111\nFF7E;2222\nFFFA;3333\n", "@FFFC=1111 @FFFA=FFFF",
       "1 words, line 2: outside FF7E"},
      {"address twice", "FFFC;1111\n\nFFFC;2222\nFFFA;3333\n", "@FFFC=1111 @FFFA=FFFF",
       "1 words, line 3: repeated FFFC"},
      {"three address digits", "FFC;1111\nFFFA;3333\n", "@FFFC=FFD0 @FFFA=FFFF",
       "0 words, line 1: address"},
      {"a blank before the address", " FFFC;1111\n", "@FFFC=FFD0", "0 words, line 1: address"},
      {"a byte order mark on a later line",
       "FFFC;1111\n\xef\xbb\xbf"
       "FFFA;2222\n",
       "@FFFC=1111 @FFFA=FFFF", "1 words, line 2: address"},
      {"missing word", "FFFE;\nFFFC;5678\n", "@FFFE=FF80 @FFFC=FFD0", "0 words, line 1: word FFFE"},
      {"five word digits", "FFFC;1111\nFFF8;1A003\nFFFA;3333\n", "@FFFC=1111 @FFF8=FFFF",
       "1 words, line 2: word FFF8"},
      {"a signed word", "FFFC;+A00\n", "@FFFC=FFD0", "0 words, line 1: word FFFC"},
      {"a negative word", "FFFC;-001\n", "@FFFC=FFD0", "0 words, line 1: word FFFC"},
      {"a C-style word", "FFFC;0x1F\n", "@FFFC=FFD0", "0 words, line 1: word FFFC"},
      {"three word digits", "FFFC;A00\n", "@FFFC=FFD0", "0 words, line 1: word FFFC"},
      {"a blank after the word", "FFFC;1111 \n", "@FFFC=FFD0", "0 words, line 1: word FFFC"},
      {"a carriage return inside the line", "FFFC;1111\rFFFA;2222\n", "@FFFC=FFD0 @FFFA=FFFF",
       "0 words, line 1: word FFFC"},
      {"a NUL inside the word",
       std::string("FFFC;11\0"
                   "1\n",
                   10),
       "@FFFC=FFD0", "0 words, line 1: word FFFC"},
      {"a line of 256 characters", "FFFC;1111;" + std::string(246, 'x') + "\r\n", "@FFFC=1111",
       "1 words"},
      {"a line of 257 characters", "FFFC;1111;" + std::string(247, 'x') + "\r\n", "@FFFC=FFD0",
       "0 words, line 1: too long"},
      {"a line that never ends", "FFFA;2222\nFFFC;1111;" + std::string(100000, 'x'),
       "@FFFC=FFD0 @FFFA=2222", "1 words, line 2: too long"},
      {"64 KiB in all", std::string(65536 - 10, '\n') + "FFFC;1111\n", "@FFFC=1111", "1 words"},
      {"a byte more", std::string(65536 - 9, '\n') + "FFFC;1111\n", "@FFFC=FFD0",
       "0 words, line 65528: too long"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile("slot2.csv", c.content);
    std::unique_ptr<Simulator> fresh = NewSimulator();
    ROMLoad(1, fresh->machine.rom);
    EXPECT_EQ(c.expected, Get(&fresh->machine, c.expected));
    std::unique_ptr<Simulator> reported = NewSimulator();
    SlotLoadResult result = {};
    ROMLoadSlot(1, reported->machine.rom, &result);
    EXPECT_EQ(c.outcome, Outcome(result));
    EXPECT_EQ(0, memcmp(fresh->machine.rom, reported->machine.rom, sizeof fresh->machine.rom));
  }
  // Lines beyond the 64th word are not read: a 65th names an address a second time.
  WriteFile("slot2.csv", all_in_order + "FF80;1111\n");
  MemoryRow rows[kMemoryRowCount + 1] = {};
  ROMLoad(1, rows);
  EXPECT_STREQ("", rows[kMemoryRowCount].cells[kRowHighCell]);
  EXPECT_STREQ("00", rows[kMemoryRowCount - 1].cells[kRowHighCell]);  // FF80 = 007F
  remove("slot2.csv");
  ROMLoad(1, m->rom);  // no file: nothing changes
  EXPECT_EQ("@FFFE=FF80", Get(m, "@FFFE"));
}

// Only a regular file is read: a FIFO, a device or a folder at a slot's name loads nothing at
// once, instead of waiting for a writer or reading for ever. (Each load runs in a child that a
// hang would keep past its alarm.)
TEST_F(SlotsTest, OnlyRegularFilesAreReadAndNeverWaitedOn) {
  ASSERT_EQ(0, mkfifo("slot1.csv", 0600));
  // A writer holds the FIFO open with a good line in it, so that a reader would find data.
  const int writer = open("slot1.csv", O_RDWR);
  ASSERT_LE(0, writer);
  ASSERT_EQ(10, write(writer, "FFFC;1234\n", 10));
  ASSERT_EQ(0, symlink("/dev/zero", "slot2.csv"));
  ASSERT_EQ(0, symlink("/dev/null", "slot3.csv"));
  ASSERT_EQ(0, mkdir("slot4.csv", 0700));
  ASSERT_EQ(0, mkfifo("slot5.csv", 0600));  // no writer: opening it must not wait for one
  for (uint32_t slot = 0; slot < 5; ++slot) {
    SCOPED_TRACE(slot);
    const pid_t child = fork();
    if (child == 0) {
      alarm(60);
      std::unique_ptr<Simulator> fresh = NewSimulator();
      ROMLoad(slot, fresh->machine.rom);
      SlotLoadResult result = {};
      ROMLoadSlot(slot, fresh->machine.rom, &result);
      _exit(Get(&fresh->machine, "@FFFC") == "@FFFC=FFD0" && Outcome(result) == "unreadable" ? 0
                                                                                             : 1);
    }
    int status = -1;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  close(writer);
}

TEST_F(TraceToolTest, ListsTheWordsInMemoryAndWhereTheSimulatorDiffers) {
  // Each line's words are stored at its address first.
  const std::vector<std::string> expected = {
      "FF80: 4031 0280  MOV  #0x0280,SP",
      "FF84: 4037 0008  MOV  #8,R7  ; the simulator takes #8 from the constant generator and "
      "fetches 0008 at FF86 as the next instruction",
      "FF88: 5595 0002 4303  RLA  0x0002(R5)  ; on hardware ADD  0x0002(R5),0x4303(R5); the "
      "simulator reads one extension word and fetches 4303 at FF8C as the next instruction",
      "FF8E: 6393 0006  RLC  0x0006(R3)  ; on hardware ADDC  #1,0x0006(R3)",
      "FF92: 23FE  JNE  -2  -> FF90",
      "FF94: 1124  ---  ; on hardware RRA  @R4; the simulator cannot decode it and answers with "
      "RESET",
  };
  for (const std::string& line : expected) {
    unsigned address = std::stoul(line, nullptr, 16);
    std::istringstream words(line.substr(6, line.find("  ") - 6));
    for (unsigned word; words >> std::hex >> word; address += 2) SetWord(m, address, word);
  }
  // An instruction whose extension word would be a vector lists the words before them; the
  // vectors are listed as such, the erased words between as one run.
  for (unsigned a = 0xFF96; a < 0xFFFA; a += 2) SetWord(m, a, 0xFFFF);
  SetWord(m, 0xFFFA, 0x4031);
  SetWord(m, 0xFFFC, 0xFFFF);
  SetWord(m, 0xFFFE, 0xFF81);
  ROMSave(m->rom, 2);  // the slot file as the slot pop-up writes it
  std::vector<std::string> lines = Run("slot3.csv --list");
  EXPECT_EQ(0, status);
  const std::vector<std::string> end = {
      "FF96: FFFF  erased (50 words to FFF8)",
      "FFFA: 4031  MOV  #-1,SP  ; its extension word would be the vector at FFFC",  // FFFF there
      "FFFC: FFFF  NMI vector (erased)",
      "FFFE: FF81  reset vector -> FF80",  // PC is even
  };
  ASSERT_EQ(expected.size() + end.size(), lines.size());
  EXPECT_EQ(end, std::vector<std::string>(lines.end() - end.size(), lines.end()));
  lines.resize(expected.size());
  EXPECT_EQ(expected, lines);
}

TEST_F(TraceToolTest, RunsFromTheResetVectorAndStartsOverAfterAReset) {
  // ADD #-1,R4; MOV #8,R7 stored with an extension word, which then runs as a word that resets.
  WriteFile("student.csv", "FFFE;FFF4\nFFFC;FFD0\nFFFA;FFFF\nFFF8;0008\nFFF6;4037\nFFF4;5334\n");
  auto line = [](const std::string& instruction, const char* pc, const char* r7) {
    return instruction + " | R0=" + pc +
           " R1=0000 R2=0004 R3=0000 R4=FFFF R5=0000 R6=0000 R7=" + r7 +
           " R8=0000 R9=0000 R10=0000 R11=0000 R12=0000 R13=0000 R14=0000 R15=0000" +
           " | V=0 N=1 Z=0 C=0";
  };
  const std::string add = line("FFF4: 5334  ADD  #-1,R4", "FFF6", "0000");
  const std::vector<std::string> expected = {add, line("FFF6: 4037  MOV  #8,R7", "FFF8", "0008"),
                                             "RESET", add};
  EXPECT_EQ(expected, Run("student.csv --steps=4"));
  EXPECT_EQ(0, status);
}

TEST_F(TraceToolTest, CommandLines) {
  EXPECT_EQ(0u, Run("--help").at(0).find("Usage: velkor-trace"));
  EXPECT_EQ(0, status);
  EXPECT_EQ(20u, Run("").size());  // the default
  EXPECT_TRUE(Run("--steps 0").empty());
  // Mistakes give one line naming what is wrong, a failure status and no trace at all: a file
  // that cannot be read whole is never replaced by the demonstration program.
  WriteFile("a.csv", "FFFE;FF80\n");
  WriteFile("empty.csv", "");
  WriteFile("blank.csv", "\r\n\n");
  WriteFile("bad.csv", "FFFE;FF80;\"\"\r\nFF80;4031\r\nFFFC;12345\r\n");
  WriteFile("twice.csv", "FFFE;FF80\nFFFE;FF80\n");
  mkdir("folder.csv", 0700);
  mkfifo("fifo.csv", 0600);
  const int fifo_writer = open("fifo.csv", O_RDWR);  // so that only the tool's own rule stops it
  const struct {
    const char* arguments;
    int status;  // 1 a file it cannot use, 2 a bad command line
    const char* error;
  } cases[] = {
      {"missing.csv", 1, "cannot open 'missing.csv'"},
      {"folder.csv", 1, "'folder.csv' is not a regular file"},
      {"fifo.csv", 1, "'fifo.csv' is not a regular file"},
      {"/dev/zero", 1, "'/dev/zero' is not a regular file"},
      {"empty.csv", 1, "'empty.csv' holds no program word"},
      {"blank.csv", 1, "'blank.csv' holds no program word"},
      {"bad.csv", 1, "bad.csv:3: the word is not four hex digits"},
      {"twice.csv --list", 1, "twice.csv:2: address FFFE comes a second time"},
      {"--bogus", 2, "unknown option '--bogus'"},
      {"--steps", 2, "--steps needs a number"},
      {"--steps -1", 2, "bad number of steps '-1'"},
      {"--steps 12x", 2, "bad number of steps '12x'"},
      {"a.csv --list --json", 2, "drop --json"},
      {"a.csv --until-idle --list", 2, "drop --until-idle"},
      {"--steps 99999999999999999999", 2, "bad number of steps"},
      {"a.csv --list --steps 3", 2, "drop --steps"},
      // What the tool quotes from its command line is a short, escaped excerpt.
      {"\"$(printf '%s\\r\\033[2J' --x)\"", 2, "unknown option '--x\\r\\x1b[2J'"},
      {"--steps $(head -c 5000 /dev/zero | tr '\\0' x)", 2, "bad number of steps 'xxxxxxxx"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    EXPECT_TRUE(Run(c.arguments).empty());
    EXPECT_EQ(c.status, status);
    // Exactly one short line.
    EXPECT_EQ(std::make_pair(size_t(0), err.size() - 1),
              std::make_pair(err.find("velkor-trace: "), err.find('\n')));
    EXPECT_NE(std::string::npos, err.find(c.error)) << err;
    EXPECT_GT(200u, err.size()) << err;
  }
  close(fifo_writer);
}

// A slot file given to the tool is all that is in program memory: the words it does not name
// read as erased program memory (FFFF), not as the demonstration program.
TEST_F(TraceToolTest, ReadsOnlyWhatTheFileHolds) {
  WriteFile("vector.csv", "FFFE;FF80\nfffc;ffd0\n");
  const std::vector<std::string> lines = Run("vector.csv --list");
  EXPECT_EQ(0, status) << err;
  const std::vector<std::string> expected = {"FF80: FFFF  erased (62 words to FFFA)",
                                             "FFFC: FFD0  NMI vector -> FFD0",
                                             "FFFE: FF80  reset vector -> FF80"};
  EXPECT_EQ(expected, lines);
  // An erased NMI vector is still the vector, not one more erased word.
  WriteFile("reset_only.csv", "FFFE;FF80\n");
  const std::vector<std::string> erased = {"FF80: FFFF  erased (62 words to FFFA)",
                                           "FFFC: FFFF  NMI vector (erased)",
                                           "FFFE: FF80  reset vector -> FF80"};
  EXPECT_EQ(erased, Run("reset_only.csv --list"));
}

// The trace shows what each instruction wrote to RAM and to the ports, and where a jump goes;
// --until-idle ends it at the jump to itself with one line saying so.
TEST_F(TraceToolTest, ShowsWritesJumpTargetsAndWhyItStopped) {
  // MOV #0x0280,SP; PUSH #0x1234; MOV.B #0x81,&P1OUT; JMP $
  WriteFile("writes.csv",
            "FFFE;FF80\nFF80;4031\nFF82;0280\nFF84;1230\nFF86;1234\nFF88;40F2\n"
            "FF8A;0081\nFF8C;0021\nFF8E;3FFF\n");
  const std::vector<std::string> lines = Run("writes.csv --until-idle");
  EXPECT_EQ(0, status) << err;
  ASSERT_EQ(5u, lines.size());
  auto tail = [](const std::string& line) { return line.substr(line.rfind(" | ")); };
  EXPECT_EQ(" | V=0 N=0 Z=0 C=0", tail(lines[0]));
  EXPECT_EQ(" | wrote 027E=1234", tail(lines[1]));
  EXPECT_EQ(" | wrote P1OUT=81", tail(lines[2]));
  EXPECT_EQ("FF8E: 3FFF  JMP  -1  -> FF8E |", lines[3].substr(0, 30));
  EXPECT_EQ("stopped after 4 steps: jump-to-itself at FF8E (3FFF)", lines[4]);
}

// A file name that is not UTF-8 (a Latin-1 name from an old share) still gets its record: the
// name's bytes that JSON cannot carry are replaced, the rest kept.
TEST_F(TraceToolTest, JsonRecordOfAFileNameThatIsNotUtf8) {
  WriteFile("sch\xfcler.csv", "FFFE;FF80\nFF80;3FFF\n");
  const std::vector<std::string> lines = Run("--json --until-idle \"$(printf 'sch\\374ler.csv')\"");
  EXPECT_EQ(0, status) << err;
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ(0u, lines[0].find("{\"file\":\"sch\xef\xbf\xbdler.csv\",\"steps\":1,")) << lines[0];
}

// Several files in one call: each under its name, one that cannot be read said on stderr and
// the status 1, the others still run.
TEST_F(TraceToolTest, SeveralFilesEachRunAndOneUnreadableFails) {
  WriteFile("a.csv", "FFFE;FF80\nFF80;3FFF\n");
  const std::vector<std::string> lines = Run("a.csv missing.csv a.csv --until-idle");
  EXPECT_EQ(1, status);
  EXPECT_EQ(0u, err.find("velkor-trace: cannot open 'missing.csv'")) << err;
  const std::vector<std::string> headings = {lines.at(0), lines.at(3)};
  EXPECT_EQ((std::vector<std::string>{"==> a.csv <==", "==> a.csv <=="}), headings);
  EXPECT_EQ(6u, lines.size());
  EXPECT_EQ("stopped after 1 step: jump-to-itself at FF80 (3FFF)", lines.at(5));
}

}  // namespace
