// Helpers of the velkor end-to-end tests: a private directory per test, the
// real binary run in it, event scripts with their frames counted, and the
// state file's values checked by JSON pointer.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

namespace velkor_test {

inline std::string ReadFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline bool FileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// A fresh directory under TMPDIR with an empty "slots" in it, removed at the end.
struct ScratchDir {
  ScratchDir() {
    const char* base = getenv("TMPDIR");
    path = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/velkor_app_XXXXXX";
    if (mkdtemp(&path[0]) != nullptr) mkdir((path + "/slots").c_str(), 0755);
  }
  ScratchDir(const ScratchDir&) = delete;
  ~ScratchDir() {
    if (system(("rm -rf '" + path + "'").c_str()) != 0) perror(path.c_str());
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

// An event script with its frame numbers counted: a pointer action moves
// first and acts one frame later (SAVE acts only on a pointer already over
// it), and every action leaves the queues empty before the next begins.
class Script {
 public:
  void Move(const std::string& where) { Line("move " + where, 2); }
  void Click(const std::string& where) {
    Line("move " + where, 1);
    Line("click " + where, 2);
  }
  // Focus an edit box, remove what it holds, type a new text and confirm it.
  void Retype(const std::string& box, const std::string& text) {
    Click(box);
    for (int i = 0; i < 9; ++i) Line(i == 0 ? "key End" : "key Backspace", 3);
    Line("type " + text, static_cast<int>(2 * text.size() + 2));
    Line("key Enter", 3);
  }
  void Wait(int frames) { frame_ += frames; }
  // Lines written elsewhere, taking the frames up to `until`.
  void Raw(const std::string& lines, int until) { text_ += lines, frame_ = until; }
  int frame() const { return frame_; }
  // The frames a run needs to see the last action's effect drawn.
  int frames() const { return frame_ + 2; }
  const std::string& text() const { return text_; }

 private:
  void Line(const std::string& event, int frames_taken) {
    text_ += std::to_string(frame_) + " " + event + "\n";
    frame_ += frames_taken;
  }
  std::string text_;
  int frame_ = 2;  // frame 0 cannot name widgets: nothing was drawn before it
};

struct VelkorRun {
  int status = -1;
  std::string output;  // stdout and stderr
  nlohmann::json state;
};

// The real binary run in `dir` with `arguments` (split by the shell), after
// the settings in `environment`.
inline VelkorRun RunVelkor(const ScratchDir& dir, const std::string& arguments,
                           const std::string& environment = "") {
  const std::string command = "cd '" + dir.path + "' && " + environment + " '" VELKOR_BINARY "' ";
  const int status = system((command + arguments + " >output.txt 2>&1").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir / "output.txt"), {}};
}

// A script run off-screen for its frames (or `frames`) with the slot files in
// dir/slots; state.json and the snapshot must still land in dir itself.
inline VelkorRun RunOffscreen(const ScratchDir& dir, const Script& script, int frames = 0) {
  WriteFile(dir / "events.txt", script.text());
  remove((dir / "state.json").c_str());
  remove((dir / "snapshot.png").c_str());
  VelkorRun run = RunVelkor(dir,
                            "--offscreen --events events.txt --state state.json --snapshot "
                            "snapshot.png --slot-dir slots --frames " +
                                std::to_string(frames > 0 ? frames : script.frames()));
  if (run.status == 0 && !FileExists(dir / "snapshot.png")) run = {-2, "snapshot not in dir", {}};
  if (run.status == 0)
    run.state = nlohmann::json::parse(ReadFile(dir / "state.json"), nullptr, false);
  return run;
}

// Expects in `state` at each JSON pointer the value after it.
inline void ExpectState(const nlohmann::json& state,
                        std::initializer_list<nlohmann::json> pointers_and_values) {
  for (auto at = pointers_and_values.begin(); at + 1 < pointers_and_values.end(); at += 2) {
    const nlohmann::json::json_pointer pointer(at->get<std::string>());
    EXPECT_EQ(state.contains(pointer) ? state[pointer] : nlohmann::json(), at[1]) << *at;
  }
}

}  // namespace velkor_test
