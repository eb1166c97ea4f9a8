// The real velkor window under a private Xvfb (never a display that already
// exists), with each renderer (OpenGL 1.x, and OpenGL ES 2 in an ES context
// GLFW asks for): it comes up, and FETCH/DECODE and EXECUTE clicked with
// xdotool change what it shows. Every wait is for something seen on the
// screen.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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

// Polls until `done`, for at most a minute (software GL on a busy machine).
bool WaitFor(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return done();
}

std::string Shell(const std::string& command) {
  std::string output;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  for (int c; pipe != nullptr && (c = fgetc(pipe)) != EOF && c != '\n';) output += char(c);
  if (pipe != nullptr) pclose(pipe);
  return output;
}

// A child process running `exec`, ended with SIGTERM and reaped at the end.
struct Child {
  explicit Child(const std::function<void()>& exec) : pid(fork()) {
    if (pid == 0) exec(), _exit(127);
  }
  ~Child() {
    if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
  }
  bool Running() const { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }
  const pid_t pid;
};

class Window : public ::testing::TestWithParam<const char*> {};

TEST_P(Window, FetchAndExecuteClickedWithXdotool) {
  // A private X server on a display number it picks itself.
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  Child server([&] {
    close(ready[0]);
    if (freopen("/dev/null", "w", stderr) == nullptr) return;
    execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(ready[1]).c_str(), "-screen", "0",
           "1600x1000x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
  });
  close(ready[1]);
  std::string name = ":";
  for (char c = 0; read(ready[0], &c, 1) == 1 && c != '\n';) name += c;
  close(ready[0]);
  ASSERT_NE(name, ":") << "Xvfb did not start";
  velkor_test::ScratchDir dir;
  Child velkor([&] {
    if (chdir(dir.path.c_str()) == 0 && setenv("DISPLAY", name.c_str(), 1) == 0)
      execl(
          "/bin/sh", "sh", "-c",
          (std::string("exec '" VELKOR_BINARY "' --slot-dir . --renderer ") + GetParam() + " 2>log")
              .c_str(),
          nullptr);
  });
  const std::string xdotool = "DISPLAY=" + name + " xdotool ";
  // The window system may replace a window between finding and reading it;
  // Xlib's default handler would then end the test, leaving its X server.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  Display* display = XOpenDisplay(name.c_str());
  ASSERT_NE(display, nullptr);

  // The window's pixels (rows top first), found again for every grab.
  std::string id;
  XWindowAttributes size{};
  const auto grab = [&] {
    std::vector<unsigned long> pixels;
    id = Shell(xdotool + "search --onlyvisible --name '^Velkor$'");
    XImage* image = nullptr;
    if (!id.empty() && XGetWindowAttributes(display, std::stoul(id), &size) != 0)
      image = XGetImage(display, std::stoul(id), 0, 0, size.width, size.height, AllPlanes, ZPixmap);
    for (int y = 0; image != nullptr && y < size.height; ++y) {
      for (int x = 0; x < size.width; ++x) pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
    }
    if (image != nullptr) XDestroyImage(image);
    return pixels;
  };
  // Pixels that differ between two grabs inside a rectangle of display units
  // (origin top left; the window scales the display).
  const auto changed = [&](const std::vector<unsigned long>& a, const std::vector<unsigned long>& b,
                           int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0 * size.height / 768; a.size() == b.size() && y < y1 * size.height / 768; ++y) {
      for (int x = x0 * size.width / 1280; x < x1 * size.width / 1280; ++x)
        count += a[y * size.width + x] != b[y * size.width + x] ? 1 : 0;
    }
    return count;
  };
  // The panel is drawn once the window is no longer one colour.
  std::vector<unsigned long> before;
  ASSERT_TRUE(WaitFor([&] {
    before = grab();
    return std::count(before.begin(), before.end(), before.empty() ? 0 : before[0]) <
               static_cast<long>(before.size()) ||
           !velkor.Running();
  })) << "the panel was never drawn";
  ASSERT_FALSE(before.empty()) << velkor_test::ReadFile(dir / "log");

  const auto click_at = [&](int x, int y) {
    const std::string where =
        std::to_string(x * size.width / 1280) + " " + std::to_string(y * size.height / 768);
    Shell(xdotool + "mousemove --window " + id + " " + where);
    Shell(xdotool + "mousemove --window " + id + " " + where + " click 1");
  };
  // FETCH/DECODE: the machine-code thumbnail appears at the left.
  click_at(102, 136);
  std::vector<unsigned long> fetched;
  EXPECT_TRUE(WaitFor([&] {
    fetched = grab();
    return changed(before, fetched, 31, 330, 250, 440) > 200;
  })) << "FETCH/DECODE changed nothing";
  // EXECUTE: SP's value box shows 0280 instead of 0000.
  click_at(102, 190);
  EXPECT_TRUE(WaitFor([&] { return changed(fetched, grab(), 440, 595, 492, 615) > 20; }))
      << "EXECUTE changed nothing";
  EXPECT_TRUE(velkor.Running());
  XCloseDisplay(display);
}

INSTANTIATE_TEST_SUITE_P(Renderers, Window, ::testing::Values("gl1", "es2"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

}  // namespace
