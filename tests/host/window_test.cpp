// The real window (GLFW on X11): opened by the drawing thread, fed with a
// synthetic click and keys (xdotool), cycled through its four states with F11,
// moved, resized, closed by the window system's close request, and opened
// again where and as the settings file says. Without a DISPLAY the test starts
// its own Xvfb on a free display number and stops it by its process id.
#include "host/host_application.h"
#include "host/host_preferences.h"
#include "host/target_configuration.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "tests/host/stand_in_layer.h"

namespace {

using std::chrono::milliseconds;

class XServer : public ::testing::Environment {
 public:
  void SetUp() override {
    // Closing the X connection would unload Mesa's DRI driver, and what it
    // keeps until exit would then come from a module the leak checker's
    // suppressions cannot name. Loaded here for good, it keeps its name.
    dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    const char* display = getenv("DISPLAY");
    int ready[2];
    if ((display != nullptr && display[0] != '\0') || pipe(ready) != 0) return;
    // Xvfb picks a free display number and writes it to the pipe once it is
    // ready, so parallel test processes never share a server.
    pid_ = fork();
    if (pid_ == 0) {
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(ready[1]).c_str(), "-screen", "0",
             "1920x1080x24", "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(ready[1]);
    std::string number;
    char c = 0;
    while (pid_ > 0 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (!number.empty()) setenv("DISPLAY", (":" + number).c_str(), 1);
  }
  void TearDown() override {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    unsetenv("DISPLAY");
  }

 private:
  pid_t pid_ = -1;
};

const ::testing::Environment* const x_server = ::testing::AddGlobalTestEnvironment(new XServer);

bool DisplayAnswers() {
  Display* display = XOpenDisplay(nullptr);
  if (display != nullptr) XCloseDisplay(display);
  return display != nullptr;
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

// This process's window, by its title and process id.
std::string VelkorWindow() {
  return Shell("xdotool search --all --pid " + std::to_string(getpid()) +
               " --name '^Velkor$' | head -1");
}

std::string ReadFile(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// Draws frames as the program's main loop does until done() holds, the window
// has gone, or the time is up.
bool CycleUntil(Application* app, const std::function<bool()>& done, int timeout_ms = 5000) {
  const auto end = std::chrono::steady_clock::now() + milliseconds(timeout_ms);
  while (!done() && Application_Cancelled(app) == 0 && std::chrono::steady_clock::now() < end) {
    Application_Draw(app);
    std::this_thread::sleep_for(milliseconds(5));
  }
  return done();
}

void CycleFor(Application* app, int ms) {
  CycleUntil(
      app, [] { return false; }, ms);
}

bool Logged(const std::string& line) {
  for (const std::string& entry : host_test::LogCopy()) {
    if (entry == line) return true;
  }
  return false;
}

// "x,y widthxheight" of the window as the X server has it.
std::string Geometry(const std::string& window) {
  int x = 0, y = 0, width = 0, height = 0;
  sscanf(Shell("xdotool getwindowgeometry --shell " + window).c_str(),
         "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &x, &y, &width, &height);
  return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
         std::to_string(height);
}

// The geometry of a full-screen state on this screen; the state applied.
uint32_t FullScreen(Application* app, uint32_t state, std::string* out_geometry) {
  const int32_t client[4] = {50, 50, 1280, 768};
  int32_t r[4];
  const uint32_t applied = Application_WindowStateRect(state, client, app->screen_size[0],
                                                       app->screen_size[1], app->aspect_ratio, r);
  *out_geometry = std::to_string(r[0]) + "," + std::to_string(r[1]) + " " + std::to_string(r[2]) +
                  "x" + std::to_string(r[3]);
  return applied;
}

// The close button, as a window manager reports it: WM_DELETE_WINDOW.
void RequestClose(const std::string& window) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return;
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(std::stoul(window));
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(display);
}

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(DisplayAnswers()) << "no X server (Xvfb could not be started)";
    char pattern[] = "/tmp/velkor_window_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    dir = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  Application* Open(uint8_t system_events = 1) {
    Application* app = Application_Allocate(&stand_in.params, (dir + "/velkor").c_str());
    Application_UseSystemEvents(app, system_events);
    if (!Application_CreateWindow(app, nullptr)) {
      Application_Free(app);
      return nullptr;
    }
    CycleFor(app, 300);
    return app;
  }

  // Presses F11 and waits for the state to follow.
  void F11(Application* app, uint32_t state) {
    Shell("xdotool key F11");
    EXPECT_TRUE(CycleUntil(app, [&] { return app->window_state == state; })) << "state " << state;
    CycleFor(app, 200);
  }

  host_test::StandIn stand_in;
  std::string dir;
};

TEST_F(RealWindow, OpensTakesInputCyclesItsStatesAndOpensAgainWhereAndAsItWas) {
  Application* app = Open();
  ASSERT_NE(nullptr, app);
  const std::string window = VelkorWindow();
  ASSERT_FALSE(window.empty());
  EXPECT_EQ("Velkor", Shell("xdotool getwindowname " + window));
  EXPECT_EQ("50,50 1280x768", Geometry(window));  // no settings file: the default place and size
  EXPECT_EQ(0, Application_TakeSnapshot(
                   app, (dir + "/frame.bmp").c_str()));  // a window with input keeps no frame

  // Application_Draw returns only after the drawing thread's whole frame.
  Application_Draw(app);
  EXPECT_EQ("step", host_test::LogCopy().back());
  EXPECT_EQ(0u, app->draw_pending.load());

  // A frame waits half a second for the IO mutex, then is skipped.
  Application_EnterIOMutex(app);
  const size_t before = host_test::LogCopy().size();
  const auto start = std::chrono::steady_clock::now();
  Application_Draw(app);
  const auto waited =
      std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start).count();
  Application_EndIOMutex(app);
  EXPECT_EQ(before + 1, host_test::LogCopy().size());  // only the acknowledge
  EXPECT_GE(waited, 450);
  EXPECT_LT(waited, 3000);

  // A click at client pixel (100, 100) is display unit (100, 668).
  Shell("xdotool mousemove --window " + window + " 100 100 click 1");
  EXPECT_TRUE(CycleUntil(
      app, [] { return Logged("pointer id=0 x=100 y=668 button=1 pressed=0 released=1 mods=0"); }));
  EXPECT_TRUE(Logged("pointer id=0 x=100 y=668 button=1 pressed=1 released=0 mods=0"));
  // Typed keys: a character, a capital, a special key.
  Shell("xdotool key a shift+a Left");
  EXPECT_TRUE(CycleUntil(
      app, [] { return Logged("keyboard id=0 key=65553 pressed=0 released=1 mods=0"); }));
  for (const char* line :
       {"key=97 pressed=1 released=0 mods=0", "key=97 pressed=0 released=1 mods=0",
        "key=65 pressed=1 released=0 mods=1", "key=65 pressed=0 released=1 mods=1",
        "key=65553 pressed=1 released=0 mods=0"}) {
    EXPECT_TRUE(Logged(std::string("keyboard id=0 ") + line)) << line;
  }

  // F11 through the four states and back.
  F11(app, WINDOW_STATE_BORDERLESS);
  EXPECT_EQ("50,50 1280x768", Geometry(window));
  EXPECT_TRUE(Logged("keyboard id=0 key=65547 pressed=1 released=0 mods=0"));  // F11 is a key too
  for (uint32_t state : {WINDOW_STATE_FULL_SCREEN_ASPECT, WINDOW_STATE_FULL_SCREEN_STRETCHED}) {
    std::string geometry;
    // A screen of the display's own aspect has one full-screen state.
    if (FullScreen(app, state, &geometry) != state) continue;
    F11(app, state);
    EXPECT_EQ(geometry, Geometry(window));
  }
  F11(app, WINDOW_STATE_WINDOWED);
  EXPECT_EQ("50,50 1280x768", Geometry(window));

  // Moved, then resized without a window manager to keep the aspect:
  // corrected by the host, and never beyond the native size.
  Shell("xdotool windowmove " + window + " 200 150");
  EXPECT_TRUE(CycleUntil(app, [&] { return Geometry(window) == "200,150 1280x768"; }));
  CycleFor(app, 200);
  Shell("xdotool windowsize " + window + " 640 500");
  EXPECT_TRUE(CycleUntil(app, [&] { return Geometry(window) == "200,150 640x385"; }))
      << Geometry(window);
  Shell("xdotool windowsize " + window + " 2000 1200");
  EXPECT_TRUE(CycleUntil(app, [&] { return Geometry(window) == "200,150 1280x768"; }))
      << Geometry(window);
  F11(app, WINDOW_STATE_BORDERLESS);

  // The close request ends the cycle; the preferences are written.
  RequestClose(window);
  EXPECT_TRUE(CycleUntil(app, [&] { return Application_Cancelled(app) != 0; }));
  EXPECT_EQ(nullptr, Application_GetWindow(app));
  Application_Free(app);
  EXPECT_EQ("[Window]\nPosition=200x150x1280x768\nState=1\n", ReadFile(dir + "/velkor.ini"));
  EXPECT_TRUE(VelkorWindow().empty());

  // The next run opens where and as the last one ended; its widgets ask for
  // the pointer at the display's centre, client pixel (640, 768 - 384).
  host_test::forward_to_mapping = true;
  stand_in.layer.draw = [](void* context, uint32_t pass) {
    host_test::Draw(context, pass);
    if (pass == 0) Velkor_cursor(BHVR_ANY_DEVICE, 640.0f, 384.0f);
  };
  app = Open();
  ASSERT_NE(nullptr, app);
  EXPECT_EQ("200,150 1280x768", Geometry(VelkorWindow()));
  EXPECT_EQ(WINDOW_STATE_BORDERLESS, app->window_state.load());
  Shell("xdotool mousemove --window " + VelkorWindow() +
        " 10 10");  // the focus follows the pointer
  EXPECT_TRUE(CycleUntil(app, [] {
    return Shell("xdotool getmouselocation").compare(0, 12, "x:840 y:534 ") == 0;
  })) << Shell("xdotool getmouselocation");
  BHVR_ForgetDevices();
  Application_Free(app);  // closing from the program's side writes the settings too
  EXPECT_EQ("[Window]\nPosition=200x150x1280x768\nState=1\n", ReadFile(dir + "/velkor.ini"));
}

TEST_F(RealWindow, AWindowWithoutSystemInputKeepsItsLastFrame) {
  Application* app = Open(0);
  ASSERT_NE(nullptr, app);
  const std::string path = dir + "/frame.bmp";
  ASSERT_EQ(1, Application_TakeSnapshot(app, path.c_str()));
  // Moving the window shows the kept frame again without drawing a new one.
  Shell("xdotool windowmove " + VelkorWindow() + " 120 90");
  EXPECT_TRUE(CycleUntil(app, [&] { return Geometry(VelkorWindow()) == "120,90 1280x768"; }));
  // Paint-driven: Application_Draw only asks for a frame, which still comes.
  stand_in.params.paint_driven = 1;
  host_test::call_log.clear();
  for (int i = 0; i < 3; ++i) Application_Draw(app);
  EXPECT_TRUE(CycleUntil(app, [] { return Logged("step"); }));
  Application_Free(app);
  const std::string bmp = ReadFile(path);
  ASSERT_EQ(54u + 1280u * 3u * 768u, bmp.size());
  EXPECT_EQ(std::string("\0\0\xff", 3),
            bmp.substr(54 + (150u * 1280u + 150u) * 3u, 3));  // pass 0's red
}

TEST(RealWindowProgram, ClosingTheWindowEndsTheProgramWithStatusZero) {
  ASSERT_TRUE(DisplayAnswers());
  char pattern[] = "/tmp/velkor_config_XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(pattern));
  setenv("XDG_CONFIG_HOME", pattern, 1);
  // The program names its settings after its executable: this test.
  char executable[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", executable, sizeof executable - 1), 0);
  char settings[4096];
  ASSERT_TRUE(PreferencesPathBesideExecutable(executable, settings, sizeof settings));
  unlink(settings);
  host_test::StandIn stand_in;
  std::atomic<bool> closed{false};
  std::thread user([&] {
    for (int i = 0; i < 100 && !closed; ++i) {
      const std::string id = VelkorWindow();
      std::this_thread::sleep_for(milliseconds(id.empty() ? 50 : 300));
      if (!id.empty()) {
        RequestClose(id);
        closed = true;
      }
    }
  });
  const char* arguments[] = {"velkor", "-period", "10"};
  EXPECT_EQ(0, RunApplication(&stand_in.params, 3, arguments));
  user.join();
  EXPECT_TRUE(closed);
  int frames = 0;
  for (const std::string& line : host_test::LogCopy()) frames += line == "step" ? 1 : 0;
  EXPECT_GT(frames, 5);
  EXPECT_EQ("free", host_test::LogCopy().back());
  // Beside the executable, or in the fallback when its directory is read-only.
  char written[4096];
  ASSERT_TRUE(PreferencesPathForReading(executable, written, sizeof written));
  EXPECT_EQ("[Window]\nPosition=50x50x1280x768\nState=0\n", ReadFile(written));
  unlink(settings);
  std::system(("rm -rf '" + std::string(pattern) + "'").c_str());
  unsetenv("XDG_CONFIG_HOME");
}

TEST(RealWindowProgram, NoWindowSystemOrOneThatNeverAnswersEndsTheCycle) {
  const std::string display = getenv("DISPLAY") != nullptr ? getenv("DISPLAY") : "";
  host_test::StandIn stand_in;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  unsetenv("DISPLAY");
  EXPECT_FALSE(Application_CreateWindow(app, nullptr));
  EXPECT_EQ(1u, Application_Cancelled(app));  // the main loop ends at once
  // An X "server" that takes the connection and then says nothing.
  int number = 300;
  std::string path;
  for (; number < 400; ++number) {
    path = "/tmp/.X11-unix/X" + std::to_string(number);
    if (access(path.c_str(), F_OK) != 0 &&
        access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) != 0) {
      break;
    }
  }
  mkdir("/tmp/.X11-unix", 01777);
  const int server = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
  ASSERT_EQ(0, bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address));
  ASSERT_EQ(0, listen(server, 4));
  std::thread silent([server] {
    const int connection = accept(server, nullptr, nullptr);
    // Hang up only after the host has given up, so its drawing thread can end.
    std::this_thread::sleep_for(milliseconds(10500));
    if (connection >= 0) close(connection);
  });
  setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
  ::testing::internal::CaptureStderr();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Application_CreateWindow(app, nullptr));
  const auto waited =
      std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - start).count();
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_GE(waited, 9900);
  EXPECT_LT(waited, 10500);
  EXPECT_NE(std::string::npos, message.find("Graphical Panel Error: Cannot create OpenGL window"))
      << message;
  EXPECT_EQ(1u, Application_Cancelled(app));
  Application_Free(app);  // joins the drawing thread, which ends once the server hangs up
  silent.join();
  close(server);
  unlink(path.c_str());
  setenv("DISPLAY", display.c_str(), 1);
}

}  // namespace
