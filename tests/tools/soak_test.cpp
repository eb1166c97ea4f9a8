// The soak run at CI size: 3,000 frames of random input through the whole
// program off-screen, fixed seed, every frame's invariants checked by the
// tool itself. The run must really reach the slot pop-up and save and load
// through it, or the slot file rules would hold for want of files. The same
// seed twice gives the same final state, and so does the full-size buffer.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct SoakRun {
  int status;
  std::string output;
};

SoakRun run_soak(const std::string& arguments) {
  SoakRun run{-1, ""};
  const std::string command = std::string(VELKOR_SOAK_BINARY) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
  run.status = pclose(pipe);
  return run;
}

std::string digest_line(const std::string& output) {
  const size_t at = output.find("state digest");
  return at == std::string::npos ? "" : output.substr(at, output.find('\n', at) - at);
}

// The number printed just before `word` in the summary ("12 saves"), or -1.
long count_of(const std::string& output, const std::string& word) {
  const size_t at = output.find(" " + word);
  if (at == std::string::npos) return -1;
  size_t start = at;
  while (start > 0 && output[start - 1] >= '0' && output[start - 1] <= '9') --start;
  if (start == at) return -1;
  return strtol(output.substr(start, at - start).c_str(), nullptr, 10);
}

TEST(Soak, ThreeThousandFramesKeepEveryRule) {
  const SoakRun run = run_soak("--frames 3000 --seed 7");
  EXPECT_EQ(0, run.status) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("3000 frames")) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("all rules kept")) << run.output;
  // The input reached the pop-ups that open on a click, and the slot pop-up
  // saved and loaded: every save and load was checked against the file.
  EXPECT_GT(count_of(run.output, "frames with a pop-up open"), 0) << run.output;
  EXPECT_GE(count_of(run.output, "saves"), 1) << run.output;
  EXPECT_GE(count_of(run.output, "loads"), 1) << run.output;
}

TEST(Soak, SameSeedSameState) {
  const SoakRun first = run_soak("--frames 200 --seed 11");
  const SoakRun second = run_soak("--frames 200 --seed 11");
  const SoakRun other = run_soak("--frames 200 --seed 12");
  // The quarter-size viewport only fills fewer pixels: the panel hit-tests
  // and clips in display units, so the full-size buffer ends in the same
  // state with the same saves and loads.
  const SoakRun full = run_soak("--frames 200 --seed 11 --full-size");
  ASSERT_EQ(0, first.status) << first.output;
  ASSERT_FALSE(digest_line(first.output).empty()) << first.output;
  EXPECT_EQ(digest_line(first.output), digest_line(second.output));
  EXPECT_NE(digest_line(first.output), digest_line(other.output));
  EXPECT_EQ(digest_line(first.output), digest_line(full.output));
}

// A slot file that is not exactly 64 lines breaks the rule in the first frame.
TEST(Soak, SlotFileRuleCatchesAPlantedFile) {
  struct Case {
    const char* name;
    int lines;
    bool kept;
  };
  const Case cases[] = {{"slot4.csv", 1, false},
                        {"slot10.csv", 65, false},
                        {"slot2.csv", 0, false},
                        {"slot1.csv", 64, true}};
  for (const Case& c : cases) {
    char dir[] = "/tmp/velkor-soak-test-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    const std::string path = std::string(dir) + "/" + c.name;
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    for (int i = 0; i < c.lines; ++i) fprintf(file, "%04X;FFFF;\"\"\r\n", 0xFFFE - 2 * i);
    fclose(file);
    const SoakRun run = run_soak(std::string("--frames 3 --dir ") + dir);
    if (c.kept) {
      EXPECT_EQ(0, run.status) << c.name << run.output;
      EXPECT_EQ(1, count_of(run.output, "slot files")) << run.output;
    } else {
      EXPECT_EQ(1 << 8, run.status) << c.name << run.output;
      EXPECT_NE(std::string::npos, run.output.find("frame 0: slot file incomplete")) << run.output;
    }
    remove(path.c_str());
    rmdir(dir);
  }
}

TEST(Soak, RefusesABadCommandLine) {
  for (const char* arguments :
       {"--frames", "--frames 12x", "--seed -", "--colour red", "--dir", "--frames -1",
        "--frames ''", "--frames 0", "--frames ' 5'", "--frames 10000001", "--seed ''",
        "--frames 99999999999999999999"}) {
    const SoakRun run = run_soak(arguments);
    EXPECT_EQ(2 << 8, run.status) << arguments;
    EXPECT_EQ(0u, run.output.find("velkor-soak: ")) << run.output;
  }
  const SoakRun help = run_soak("--help");
  EXPECT_EQ(0, help.status);
  EXPECT_EQ(0u, help.output.find("usage: velkor-soak")) << help.output;
}

// The soak's own slot folder (under TMPDIR) is gone after every end the tool controls: a run
// kept to its rules, one without an OpenGL buffer, one stopped by SIGTERM or SIGINT.
TEST(Soak, LeavesNoTemporaryFolderBehind) {
  char base[] = "/tmp/velkor-soak-tmpdir-XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(base));
  // Removed however the test ends, whatever a failing soak left in it.
  const std::unique_ptr<char, void (*)(char*)> cleanup(
      base, [](char* dir) { (void)system(("rm -rf '" + std::string(dir) + "'").c_str()); });
  const std::string tmpdir = std::string("TMPDIR=") + base + " ";
  const auto empty = [&] {
    return system(("test -z \"$(ls -A " + std::string(base) + ")\"").c_str()) == 0;
  };
  EXPECT_EQ(0, system((tmpdir + VELKOR_SOAK_BINARY " --frames 2 >/dev/null 2>&1").c_str()));
  EXPECT_TRUE(empty()) << "after a run";
  // No OpenGL buffer: the loader finds no EGL driver.
  EXPECT_EQ(1 << 8, system((tmpdir + "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json " +
                            VELKOR_SOAK_BINARY " --frames 2 >/dev/null 2>&1")
                               .c_str()));
  EXPECT_TRUE(empty()) << "after no buffer";
  // Stopped by a signal once its folder exists (it is made before the first frame).
  for (const char* signal : {"TERM", "INT"}) {
    SCOPED_TRACE(signal);
    const std::string command = tmpdir +
                                "sh -c '" VELKOR_SOAK_BINARY
                                " --frames 10000000 >/dev/null 2>&1 & pid=$!; "
                                "until ls " +
                                std::string(base) +
                                " | grep -q .; do sleep 0.05; done; "
                                "kill -" +
                                signal + " $pid; wait $pid'";
    const int status = system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_TRUE(empty());
  }
}

}  // namespace
