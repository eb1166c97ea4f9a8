// The soak run at CI size: 3,000 frames of random input through the whole
// program off-screen, fixed seed, every frame's invariants checked by the
// tool itself. The same seed twice gives the same final state.
#include <gtest/gtest.h>

#include <cstdio>
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
  return at == std::string::npos ? "" : output.substr(at, output.find(',', at) - at);
}

TEST(Soak, ThreeThousandFramesKeepEveryRule) {
  const SoakRun run = run_soak("--frames 3000 --seed 7");
  EXPECT_EQ(0, run.status) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("3000 frames")) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("all rules kept")) << run.output;
  // The input reached the pop-ups: the soak is not poking at a closed panel.
  EXPECT_EQ(std::string::npos, run.output.find(" 0 frames with a pop-up open")) << run.output;
}

TEST(Soak, SameSeedSameState) {
  const SoakRun first = run_soak("--frames 200 --seed 11");
  const SoakRun second = run_soak("--frames 200 --seed 11");
  const SoakRun other = run_soak("--frames 200 --seed 12");
  ASSERT_EQ(0, first.status) << first.output;
  ASSERT_FALSE(digest_line(first.output).empty()) << first.output;
  EXPECT_EQ(digest_line(first.output), digest_line(second.output));
  EXPECT_NE(digest_line(first.output), digest_line(other.output));
}

TEST(Soak, RefusesABadCommandLine) {
  for (const char* arguments : {"--frames", "--frames 12x", "--seed -", "--colour red"}) {
    EXPECT_EQ(2 << 8, run_soak(arguments).status) << arguments;
  }
}

}  // namespace
