// The real velkor window under a private Xvfb (never a display that already
// exists): it comes up, and FETCH/DECODE and EXECUTE clicked with xdotool
// change what it shows. Every wait is for something seen on the screen.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/run_velkor.h"

// Last: Xlib defines None and Bool as macros, which gtest's headers use as names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using std::chrono::milliseconds;
using velkor_test::ScratchDir;

// Polling step and the longest wait for anything (software GL is slow on a
// busy machine).
constexpr milliseconds kPoll(50);
constexpr int kTimeoutMs = 60000;

bool WaitFor(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + milliseconds(kTimeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

std::string Shell(const std::string& command) {
  std::string output;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  char buffer[256];
  while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  if (pipe != nullptr) pclose(pipe);
  while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
  return output;
}

// A private X server on a display number it picks itself.
class PrivateXServer {
 public:
  PrivateXServer() {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      FILE* quiet = freopen("/dev/null", "w", stderr);
      (void)quiet;
      execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(ready[1]).c_str(), "-screen", "0",
             "1600x1000x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(ready[1]);
    std::string number;
    char c = 0;
    while (pid_ > 0 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (!number.empty()) name_ = ":" + number;
  }
  ~PrivateXServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

// The velkor program started in the window mode on a given display.
class VelkorProcess {
 public:
  VelkorProcess(const std::string& display, const ScratchDir& dir) {
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(dir.path().c_str()) != 0) _exit(126);
      setenv("DISPLAY", display.c_str(), 1);
      FILE* log = freopen((dir / "velkor.log").c_str(), "w", stderr);
      (void)log;
      execl(VELKOR_BINARY, VELKOR_BINARY, "--slot-dir", dir.path().c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~VelkorProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  pid_t pid() const { return pid_; }
  bool Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

 private:
  pid_t pid_ = -1;
};

// The window's pixels, read from the X server.
struct Screen {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0xRRGGBB, rows top first
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Screen Grab(Display* display, Window window) {
  Screen screen;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display, window, &attributes) == 0) return screen;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (image == nullptr) return screen;
  screen.width = attributes.width;
  screen.height = attributes.height;
  screen.pixels.resize(static_cast<size_t>(screen.width) * screen.height);
  for (int y = 0; y < screen.height; ++y) {
    for (int x = 0; x < screen.width; ++x) {
      screen.pixels[static_cast<size_t>(y) * screen.width + x] =
          static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
    }
  }
  XDestroyImage(image);
  return screen;
}

// A window can go away between finding and reading it (the window system
// may replace it while it is set up); Xlib's default handler would end the
// test process then, leaving its X server behind. Errors are counted instead
// and the read comes back empty.
int x_errors = 0;
int count_x_error(Display*, XErrorEvent*) {
  ++x_errors;
  return 0;
}

// Pixels that differ between two grabs inside a rectangle of display units
// given with the origin at the top left (the window scales the display).
int Changed(const Screen& a, const Screen& b, int x0, int y0, int x1, int y1) {
  if (a.width != b.width || a.height != b.height || a.width == 0) return -1;
  const double sx = a.width / 1280.0;
  const double sy = a.height / 768.0;
  int count = 0;
  for (int y = static_cast<int>(y0 * sy); y < static_cast<int>(y1 * sy); ++y) {
    for (int x = static_cast<int>(x0 * sx); x < static_cast<int>(x1 * sx); ++x) {
      count += a.At(x, y) != b.At(x, y) ? 1 : 0;
    }
  }
  return count;
}

TEST(Window, FetchAndExecuteClickedWithXdotool) {
  PrivateXServer server;
  ASSERT_FALSE(server.name().empty()) << "Xvfb did not start";
  ScratchDir dir;
  VelkorProcess velkor(server.name(), dir);
  ASSERT_GT(velkor.pid(), 0);
  const std::string xdotool = "DISPLAY=" + server.name() + " xdotool ";

  XSetErrorHandler(count_x_error);
  Display* display = XOpenDisplay(server.name().c_str());
  ASSERT_NE(display, nullptr);
  std::string id;
  Window window = 0;
  // The window as it is now; false while there is none.
  const auto find_window = [&] {
    id = Shell(xdotool + "search --onlyvisible --name '^Velkor$' | head -1");
    window = id.empty() ? 0 : static_cast<Window>(std::stoul(id));
    return window != 0;
  };
  // A grab of the window, looked up again when the last one had gone.
  const auto grab = [&] {
    Screen screen = window != 0 ? Grab(display, window) : Screen();
    if (screen.width == 0 && find_window()) screen = Grab(display, window);
    return screen;
  };
  ASSERT_TRUE(WaitFor([&] { return find_window() || !velkor.Running(); }));
  ASSERT_NE(window, 0u) << velkor_test::ReadFile(dir / "velkor.log");

  // The panel is drawn once the ROM table's cells are there: the window is
  // no longer one colour.
  Screen before;
  ASSERT_TRUE(WaitFor([&] {
    before = grab();
    if (before.width == 0) return false;
    for (uint32_t p : before.pixels) {
      if (p != before.pixels[0]) return true;
    }
    return false;
  })) << "the panel was never drawn";

  const auto click_at = [&](double x, double y) {
    const double sx = before.width / 1280.0;
    const double sy = before.height / 768.0;
    const std::string where =
        std::to_string(static_cast<int>(x * sx)) + " " + std::to_string(static_cast<int>(y * sy));
    Shell(xdotool + "mousemove --window " + id + " " + where);
    Shell(xdotool + "mousemove --window " + id + " " + where + " click 1");
  };

  // FETCH/DECODE: the machine-code thumbnail appears at the left.
  click_at(102, 136);
  Screen fetched;
  EXPECT_TRUE(WaitFor([&] {
    fetched = grab();
    return Changed(before, fetched, 31, 330, 250, 440) > 200;
  })) << "FETCH/DECODE changed nothing";

  // EXECUTE: SP's value box shows 0280 instead of 0000.
  click_at(102, 190);
  Screen executed;
  EXPECT_TRUE(WaitFor([&] {
    executed = grab();
    return Changed(fetched, executed, 440, 595, 492, 615) > 20;
  })) << "EXECUTE changed nothing";
  EXPECT_TRUE(velkor.Running());
  XCloseDisplay(display);
}

}  // namespace
