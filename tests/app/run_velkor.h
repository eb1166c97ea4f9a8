// Helpers of the velkor end-to-end tests: a private directory per test, the
// real binary run with arguments (its exit status and stderr), event scripts
// written with frame numbers counted for the caller, and the outputs read
// back (the JSON state, the PNG snapshot's pixels).
//
//   ScratchDir dir;
//   Script s;
//   s.Click("@DisasmButton");              // move there, click one frame later
//   VelkorRun run = RunOffscreen(dir, s);  // state and snapshot in dir
//   EXPECT_EQ(run.state["registers"][0], "FF84");
#pragma once

#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace velkor_test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline bool FileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// A fresh directory under TMPDIR, removed with its files at the end.
class ScratchDir {
 public:
  ScratchDir() {
    const char* base = getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/velkor_app_test_XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
  }
  ~ScratchDir() {
    if (path_.empty()) return;
    const std::string command = "rm -rf '" + path_ + "'";
    if (system(command.c_str()) != 0) fprintf(stderr, "cannot remove %s\n", path_.c_str());
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// An event script with its frame numbers counted: a pointer action moves
// first and acts one frame later (SAVE, for one, acts only on a pointer that
// was already over it), and every action leaves the queues empty before the
// next begins.
class Script {
 public:
  // Pointer actions at a place: "X Y" or "@Widget[+DX,DY]".
  void Move(const std::string& where) { Line("move " + where, 2); }
  void Click(const std::string& where) {
    Line("move " + where, 1);
    Line("click " + where, 2);
  }
  void Key(const std::string& name) { Line("key " + name, 3); }
  void Type(const std::string& text) {
    Line("type " + text, static_cast<int>(2 * text.size() + 2));
  }
  // Frames in which nothing is done.
  void Wait(int frames) { frame_ += frames; }
  void Raw(const std::string& line) { text_ += line + "\n"; }
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
  // Frame 0 cannot name widgets: nothing has been drawn before it.
  int frame_ = 2;
};

struct VelkorRun {
  int status = -1;
  std::string error;  // what the program wrote to stderr
  std::string output;
  nlohmann::json state;
};

// Runs the real binary with arguments in directory `dir`, collecting stderr
// and stdout.
inline VelkorRun RunVelkor(const ScratchDir& dir, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment = {}) {
  VelkorRun run;
  const std::string err = dir / "stderr.txt";
  const std::string out = dir / "stdout.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.path().c_str()) != 0) _exit(126);
    if (freopen(err.c_str(), "w", stderr) == nullptr) _exit(126);
    if (freopen(out.c_str(), "w", stdout) == nullptr) _exit(126);
    for (const std::string& setting : environment) putenv(const_cast<char*>(setting.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(VELKOR_BINARY));
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(VELKOR_BINARY, argv.data());
    _exit(127);
  }
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    run.status = WEXITSTATUS(status);
  run.error = ReadFile(err);
  run.output = ReadFile(out);
  return run;
}

// Runs a script off-screen for its frames (or `frames`), with state.json and
// snapshot.png written into dir and the slot files kept there too.
inline VelkorRun RunOffscreen(const ScratchDir& dir, const Script& script, int frames = 0,
                              const std::string& snapshot = "snapshot.png") {
  WriteFile(dir / "events.txt", script.text());
  remove((dir / "state.json").c_str());
  VelkorRun run = RunVelkor(
      dir,
      {"--offscreen", "--frames", std::to_string(frames > 0 ? frames : script.frames()), "--events",
       "events.txt", "--state", "state.json", "--snapshot", snapshot, "--slot-dir", dir.path()});
  if (run.status == 0 && FileExists(dir / "state.json")) {
    run.state = nlohmann::json::parse(ReadFile(dir / "state.json"), nullptr, false);
  }
  return run;
}

// An RGB image read back from a PNG, rows top first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  // The pixel at (x, y), origin top left, as 0xRRGGBB.
  uint32_t At(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return (uint32_t{rgb[i]} << 16) | (uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
  }
};

inline Image ReadPng(const std::string& path) {
  Image image;
  png_image png;
  memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
  png.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
    png_image_free(&png);
    return image;
  }
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.rgb = std::move(pixels);
  return image;
}

// The colour-table entry as 0xRRGGBB, the way 8-bit pixels show it.
inline uint32_t Rgb(const float* rgba) {
  uint32_t value = 0;
  for (int k = 0; k < 3; ++k) {
    const float channel = rgba[k] < 0.0f ? 0.0f : (rgba[k] > 1.0f ? 1.0f : rgba[k]);
    value = (value << 8) | static_cast<uint32_t>(channel * 255.0f + 0.5f);
  }
  return value;
}

// Pixels of colour `rgb` (each channel within `tolerance`) in the rectangle
// x0..x1, y0..y1 of the image (origin top left, inclusive).
inline int CountColour(const Image& image, int x0, int y0, int x1, int y1, uint32_t rgb,
                       int tolerance = 8) {
  int count = 0;
  for (int y = y0; y <= y1 && y < image.height; ++y) {
    for (int x = x0; x <= x1 && x < image.width; ++x) {
      const uint32_t p = image.At(x, y);
      bool near = true;
      for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((p >> shift) & 0xFF);
        const int b = static_cast<int>((rgb >> shift) & 0xFF);
        near = near && abs(a - b) <= tolerance;
      }
      count += near ? 1 : 0;
    }
  }
  return count;
}

}  // namespace velkor_test
