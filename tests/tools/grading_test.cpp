// velkor-trace as a teacher grades with it: a set of students' slot files
// run in one call with --json --until-idle, each record compared with the
// expected JSON kept beside its file in grading/. What the programs leave is
// worked out by hand:
//   sum_to_display         1 + 2 + 3 + 4 + 5 = 15 into R5 and RAM 0200, the
//                          digit 3 (bars a b c d g, 0x4F) on P1, then JMP $:
//                          3 + 5 x 3 + 3 + 1 = 22 steps
//   endless_count          PUSH R4; INC R4; JMP back, never idle: after 100
//                          steps 33 pushes of 0..32 from 027E down, SP 023E
//   undecodable_word       MOV #0x1234,R6, then the word 0000 at FF84
//   return_on_empty_stack  RET with SP 0000 pops 0000: PC leaves program
//                          memory, which the panel answers with RESET
//   odd_address            line 2 names FF81: refused, the others still run
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tools/velkor_trace_run.h"

namespace {

std::string read_file(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct TraceRun {
  int status = -1;
  std::vector<std::string> out;
  std::string err;
};

// velkor-trace run in the grading folder; its output goes to `scratch`.
TraceRun run_trace(const std::string& arguments) {
  char scratch[] = "/tmp/velkor-grading-XXXXXX";
  TraceRun run;
  if (mkdtemp(scratch) == nullptr) return run;
  const std::string dir = scratch;
  const int raw =
      std::system(("cd '" VELKOR_GRADING_DIR "' && timeout 60 '" VELKOR_TRACE_BINARY "' " +
                   arguments + " >'" + dir + "/out' 2>'" + dir + "/err'")
                      .c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = lines_of(read_file(dir + "/out"));
  run.err = read_file(dir + "/err");
  std::system(("rm -rf '" + dir + "'").c_str());
  return run;
}

TEST(Grading, EachFileGivesTheRecordWorkedOutForIt) {
  const std::vector<std::string> names = {"endless_count", "odd_address", "return_on_empty_stack",
                                          "sum_to_display", "undecodable_word"};
  std::string files;
  for (const std::string& name : names) files += " " + name + ".csv";
  const TraceRun run = run_trace("--json --until-idle --steps 100" + files);
  // One file could not be read: status 1, its line on stderr, every other file graded.
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("velkor-trace: odd_address.csv:2: address FF81 is odd\n", run.err);
  ASSERT_EQ(names.size(), run.out.size());
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const nlohmann::json expected =
        nlohmann::json::parse(read_file(VELKOR_GRADING_DIR "/" + names[i] + ".json"));
    ASSERT_TRUE(nlohmann::json::accept(run.out[i])) << run.out[i];
    EXPECT_EQ(expected, nlohmann::json::parse(run.out[i]));
  }
}

// The same files one at a time give the same records: nothing of one run
// reaches the next.
TEST(Grading, ARecordDoesNotDependOnTheFilesBeforeIt) {
  const TraceRun together =
      run_trace("--json --until-idle --steps 100 sum_to_display.csv undecodable_word.csv");
  EXPECT_EQ(0, together.status);
  ASSERT_EQ(2u, together.out.size());
  const TraceRun alone = run_trace("--json --until-idle --steps 100 undecodable_word.csv");
  ASSERT_EQ(1u, alone.out.size());
  EXPECT_EQ(alone.out[0], together.out[1]);
}

// Without --until-idle a grading run goes to the step limit past a jump to
// itself, and a word the panel answers with RESET still ends it. The display
// shows what the last instruction wrote to P1 (step 21 of sum_to_display).
TEST(Grading, StopReasonsFollowTheOptions) {
  struct Row {
    const char* arguments;
    const char* reason;
    int steps;
    const char* digit;  // null: none shown
  } rows[] = {
      {"--json --steps 30 sum_to_display.csv", "step-limit", 30, "3"},
      {"--json --until-idle --steps 10 sum_to_display.csv", "step-limit", 10, nullptr},
      {"--json --until-idle --steps 21 sum_to_display.csv", "step-limit", 21, "3"},
      {"--json --until-idle --steps 22 sum_to_display.csv", "jump-to-itself", 22, "3"},
      {"--json undecodable_word.csv", "undecodable-word", 1, nullptr},
      {"--json --steps 0 undecodable_word.csv", "step-limit", 0, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments);
    const TraceRun run = run_trace(row.arguments);
    EXPECT_EQ(0, run.status) << run.err;
    ASSERT_EQ(1u, run.out.size());
    const nlohmann::json record = nlohmann::json::parse(run.out[0]);
    EXPECT_EQ(row.reason, record["stop"]["reason"]);
    EXPECT_EQ(row.steps, record["steps"]);
    EXPECT_EQ(row.digit != nullptr ? nlohmann::json(row.digit) : nlohmann::json(),
              record["display"]["digit"]);
  }
}

// Every lamp pattern of the display: the hexadecimal digits in their usual
// forms, and what is no digit (dark, a lone bar, the point ignored).
TEST(Grading, SevenSegmentDigits) {
  struct Row {
    uint8_t bars;  // bit 0 a .. bit 6 g, bit 7 the point
    char digit;
  } rows[] = {
      {0x3F, '0'}, {0x06, '1'}, {0x5B, '2'}, {0x4F, '3'}, {0x66, '4'}, {0x6D, '5'},
      {0x7D, '6'}, {0x07, '7'}, {0x27, '7'}, {0x7F, '8'}, {0x6F, '9'}, {0x67, '9'},
      {0x77, 'A'}, {0x7C, 'b'}, {0x39, 'C'}, {0x5E, 'd'}, {0x79, 'E'}, {0x71, 'F'},
      {0xCF, '3'}, {0x00, 0},   {0x40, 0},   {0x80, 0},   {0x09, 0},   {0x7E, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(int(row.bars));
    uint8_t lamps[8];
    for (int bit = 0; bit < 8; ++bit) lamps[bit] = (row.bars >> bit) & 1;
    EXPECT_EQ(row.digit, SevenSegmentDigit(lamps));
  }
}

}  // namespace
