// The real window (GLFW on X11): opened by the drawing thread, fed with a
// synthetic click and keys (xdotool), cycled through its four states with F11,
// moved and resized, closed by the window system's close request, and opened
// again where the settings file says. Without a DISPLAY the test starts its
// own Xvfb on a free display number and stops it by its process id.
#include "host/host_application.h"
#include "host/host_preferences.h"
#include "host/target_configuration.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/host/stand_in_layer.h"

namespace {

// ---- The X server --------------------------------------------------------------------

bool DisplayAnswers(const char* name) {
  Display* display = XOpenDisplay(name);
  if (display == nullptr) return false;
  XCloseDisplay(display);
  return true;
}

// Closing the X connection (every window closes its own) unloads Mesa's DRI
// driver, and the allocations it keeps until exit then come from an unknown
// module, which the leak checker's suppressions cannot name. Loaded here for
// good, they keep their name.
void KeepGlDriversLoaded() {
  dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
}

class XServer : public ::testing::Environment {
 public:
  void SetUp() override {
    KeepGlDriversLoaded();

    const char* display = getenv("DISPLAY");
    if (display != nullptr && display[0] != '\0') return;
    // Xvfb picks a free display number itself and writes it to the pipe once
    // it is ready, so parallel test processes never share a server.
    int ready[2];
    if (pipe(ready) != 0) return;
    const pid_t pid = fork();
    if (pid == 0) {
      close(ready[0]);
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      const std::string fd = std::to_string(ready[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1920x1080x24", "-nolisten", "tcp",
             "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(ready[1]);
    if (pid < 0) {
      close(ready[0]);
      return;
    }
    std::string number;
    char c = 0;
    while (read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (number.empty()) {
      waitpid(pid, nullptr, 0);
      return;
    }
    pid_ = pid;
    setenv("DISPLAY", (":" + number).c_str(), 1);
  }
  void TearDown() override {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    unsetenv("DISPLAY");
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

const ::testing::Environment* const x_server = ::testing::AddGlobalTestEnvironment(new XServer);

// ---- Helpers -------------------------------------------------------------------------------

std::string Shell(const std::string& command) {
  std::string output;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[256];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  pclose(pipe);
  while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
  return output;
}

// This process's window, found by its title and process id, so that a
// shared display with other windows does not confuse the test.
std::string VelkorWindow() {
  return Shell("xdotool search --all --pid " + std::to_string(getpid()) + " --name '^Velkor$' | head -1");
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Draws frames as the program's main loop does until done() holds, the window
// has gone, or the time is up.
bool CycleUntil(Application* app, const std::function<bool()>& done, int timeout_ms = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    if (Application_Cancelled(app) != 0) return done();
    Application_Draw(app);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

void CycleFor(Application* app, int ms) {
  CycleUntil(app, [] { return false; }, ms);
}

bool Logged(const std::string& line) {
  for (const std::string& entry : host_test::LogCopy()) {
    if (entry == line) return true;
  }
  return false;
}

// "x,y widthxheight" of the window as the X server has it.
std::string Geometry(const std::string& window) {
  std::istringstream text(Shell("xdotool getwindowgeometry " + window));
  std::string line, position, size;
  while (std::getline(text, line)) {
    const size_t p = line.find("Position: ");
    if (p != std::string::npos) position = line.substr(p + 10, line.find(' ', p + 10) - (p + 10));
    const size_t g = line.find("Geometry: ");
    if (g != std::string::npos) size = line.substr(g + 10);
  }
  return position + " " + size;
}

std::string Expected(const int32_t rect[4]) {
  return std::to_string(rect[0]) + "," + std::to_string(rect[1]) + " " + std::to_string(rect[2]) + "x" +
         std::to_string(rect[3]);
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
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
}

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(DisplayAnswers(nullptr)) << "no X server (Xvfb could not be started)";
    char pattern[] = "/tmp/velkor_window_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    dir = pattern;
    exe = dir + "/velkor";
    settings = dir + "/velkor.ini";
  }
  void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

  Application* Open() {
    Application* app = Application_Allocate(&stand_in.params, exe.c_str());
    if (app == nullptr) return nullptr;
    Application_UseSystemEvents(app, 1);
    if (!Application_CreateWindow(app, nullptr)) {
      Application_Free(app);
      return nullptr;
    }
    CycleFor(app, 300);
    return app;
  }

  std::string WindowId() { return VelkorWindow(); }

  // Presses F11 and waits for the state to follow.
  void F11(Application* app, uint32_t state) {
    Shell("xdotool key F11");
    EXPECT_TRUE(CycleUntil(app, [&] { return app->window_state == state; })) << "state " << state;
    CycleFor(app, 200);
  }

  host_test::StandIn stand_in;
  std::string dir, exe, settings;
};

TEST_F(RealWindow, OpensTakesInputCyclesItsStatesAndRemembersWhereItWas) {
  Application* app = Open();
  ASSERT_NE(nullptr, app);
  const std::string window = WindowId();
  ASSERT_FALSE(window.empty());
  EXPECT_EQ("Velkor", Shell("xdotool getwindowname " + window));
  EXPECT_EQ("50,50 1280x768", Geometry(window));  // no settings file: the default place and size
  EXPECT_EQ(0u, Application_Cancelled(app));

  // A click at client pixel (100, 100): display units (100, 668).
  Shell("xdotool mousemove --window " + window + " 100 100 click 1");
  EXPECT_TRUE(CycleUntil(app, [] {
    return Logged("pointer id=0 x=100 y=668 button=1 pressed=0 released=1 mods=0");
  }));
  EXPECT_TRUE(Logged("pointer id=0 x=100 y=668 button=1 pressed=1 released=0 mods=0"));

  // Typed keys: a character, a capital, a special key.
  Shell("xdotool key a shift+a Left");
  EXPECT_TRUE(CycleUntil(app, [] { return Logged("keyboard id=0 key=65553 pressed=0 released=1 mods=0"); }));
  EXPECT_TRUE(Logged("keyboard id=0 key=97 pressed=1 released=0 mods=0"));
  EXPECT_TRUE(Logged("keyboard id=0 key=97 pressed=0 released=1 mods=0"));
  EXPECT_TRUE(Logged("keyboard id=0 key=65 pressed=1 released=0 mods=1"));
  EXPECT_TRUE(Logged("keyboard id=0 key=65 pressed=0 released=1 mods=1"));
  EXPECT_TRUE(Logged("keyboard id=0 key=65553 pressed=1 released=0 mods=0"));

  // F11 through the four states and back.
  const int32_t client[4] = {50, 50, 1280, 768};
  int32_t rect[4];
  F11(app, WINDOW_STATE_BORDERLESS);
  EXPECT_EQ("50,50 1280x768", Geometry(window));
  EXPECT_TRUE(Logged("keyboard id=0 key=65547 pressed=1 released=0 mods=0"));  // F11 is a key too
  const uint32_t full = Application_WindowStateRect(WINDOW_STATE_FULL_SCREEN_ASPECT, client, app->screen_size[0],
                                                    app->screen_size[1], app->aspect_ratio, rect);
  F11(app, full);
  EXPECT_EQ(Expected(rect), Geometry(window));
  if (full == WINDOW_STATE_FULL_SCREEN_ASPECT) {
    Application_WindowStateRect(WINDOW_STATE_FULL_SCREEN_STRETCHED, client, app->screen_size[0],
                                app->screen_size[1], app->aspect_ratio, rect);
    F11(app, WINDOW_STATE_FULL_SCREEN_STRETCHED);
    EXPECT_EQ(Expected(rect), Geometry(window));
  }
  F11(app, WINDOW_STATE_WINDOWED);
  EXPECT_EQ("50,50 1280x768", Geometry(window));

  // Moved: the settings follow.
  Shell("xdotool windowmove " + window + " 200 150");
  EXPECT_TRUE(CycleUntil(app, [&] { return Geometry(window) == "200,150 1280x768"; }));
  CycleFor(app, 200);

  // Resized without a window manager to keep the aspect: corrected by the
  // host, and never beyond the native size.
  Shell("xdotool windowsize " + window + " 640 500");
  EXPECT_TRUE(CycleUntil(app, [&] { return Geometry(window) == "200,150 640x385"; })) << Geometry(window);
  Shell("xdotool windowsize " + window + " 2000 1200");
  EXPECT_TRUE(CycleUntil(app, [&] { return Geometry(window) == "200,150 1280x768"; })) << Geometry(window);
  CycleFor(app, 200);

  // The close request ends the cycle; the preferences are written.
  RequestClose(window);
  EXPECT_TRUE(CycleUntil(app, [&] { return Application_Cancelled(app) != 0; }));
  EXPECT_EQ(nullptr, Application_GetWindow(app));
  Application_Free(app);
  EXPECT_EQ("[Window]\nPosition=200x150x1280x768\nState=0\n", ReadFile(settings));
  EXPECT_TRUE(WindowId().empty());

  // The next run opens where the last one ended.
  app = Open();
  ASSERT_NE(nullptr, app);
  EXPECT_EQ("200,150 1280x768", Geometry(WindowId()));
  Application_Free(app);  // closing from the program's side writes the settings too
  EXPECT_EQ("[Window]\nPosition=200x150x1280x768\nState=0\n", ReadFile(settings));
}

TEST_F(RealWindow, AStoredStateOfTwoOpensFullScreenWithTheAspectKept) {
  std::ofstream(settings) << "; kept\n[Window]\nState=2\nPosition=0x0x800x600\n";
  Application* app = Open();
  ASSERT_NE(nullptr, app);
  const int32_t client[4] = {0, 0, 800, 600};
  int32_t rect[4];
  const uint32_t state = Application_WindowStateRect(WINDOW_STATE_FULL_SCREEN_ASPECT, client, app->screen_size[0],
                                                     app->screen_size[1], app->aspect_ratio, rect);
  EXPECT_TRUE(CycleUntil(app, [&] { return Geometry(WindowId()) == Expected(rect); })) << Geometry(WindowId());
  EXPECT_EQ(state, app->window_state.load());
  // Back to windowed: the stored client rectangle.
  Shell("xdotool key F11");
  if (state == WINDOW_STATE_FULL_SCREEN_ASPECT) {
    EXPECT_TRUE(CycleUntil(app, [&] { return app->window_state == WINDOW_STATE_FULL_SCREEN_STRETCHED; }));
    CycleFor(app, 200);
    Shell("xdotool key F11");
  }
  EXPECT_TRUE(CycleUntil(app, [&] { return app->window_state == WINDOW_STATE_WINDOWED; }));
  Application_Free(app);
  const std::string text = ReadFile(settings);
  EXPECT_EQ(0u, text.find("; kept\n[Window]\n")) << text;
  EXPECT_NE(std::string::npos, text.find("State=0\n")) << text;
}

TEST_F(RealWindow, RejectedSettingsFallBackToTheDefaults) {
  std::ofstream(settings) << "[Window]\nState=7\nPosition=-1x50x1280x768\n";
  Application* app = Open();
  ASSERT_NE(nullptr, app);
  EXPECT_EQ(WINDOW_STATE_WINDOWED, app->window_state.load());
  EXPECT_TRUE(CycleUntil(app, [&] { return Geometry(WindowId()) == "50,50 1280x768"; })) << Geometry(WindowId());
  Application_Free(app);
}

TEST_F(RealWindow, DrawingWaitsForTheFrameOfTheDrawingThread) {
  Application* app = Open();
  ASSERT_NE(nullptr, app);
  const size_t before = host_test::LogCopy().size();
  Application_Draw(app);
  // Application_Draw returns only after the whole frame: it ends with "step".
  const std::vector<std::string> log = host_test::LogCopy();
  ASSERT_GT(log.size(), before);
  EXPECT_EQ("step", log.back());
  EXPECT_EQ(0u, app->draw_pending.load());
  // Freeing from the program's side closes the window and ends the thread.
  StopDrawingThread(app);
  EXPECT_EQ(1u, Application_Cancelled(app));
  EXPECT_EQ(nullptr, Application_GetWindow(app));
  EXPECT_EQ(0, app->drawing_thread_exists);
  Application_Free(app);
  EXPECT_TRUE(WindowId().empty());
}

TEST_F(RealWindow, SnapshotsNeedAWindowThatKeepsItsLastFrame) {
  Application* app = Open();
  ASSERT_NE(nullptr, app);
  const std::string path = dir + "/frame.bmp";
  // A window that takes input from the window system keeps no frame.
  EXPECT_EQ(0, Application_TakeSnapshot(app, path.c_str()));
  Application_Free(app);

  app = Application_Allocate(&stand_in.params, exe.c_str());
  ASSERT_NE(nullptr, app);
  ASSERT_TRUE(Application_CreateWindow(app, nullptr));  // no system input: the frame is kept
  CycleFor(app, 300);
  ASSERT_EQ(1, Application_TakeSnapshot(app, path.c_str()));
  // Moving the window shows the kept frame again without drawing a new one.
  Shell("xdotool windowmove " + WindowId() + " 120 90");
  EXPECT_TRUE(CycleUntil(app, [&] { return Geometry(WindowId()) == "120,90 1280x768"; }));
  Application_Free(app);
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> bmp((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(54u + 1280u * 3u * 768u, bmp.size());
  const size_t red = 54 + (150u * 1280u + 150u) * 3u;
  EXPECT_EQ(0, bmp[red]);
  EXPECT_EQ(0, bmp[red + 1]);
  EXPECT_EQ(-1, bmp[red + 2]);  // 255
}

TEST_F(RealWindow, AFrameWaitsHalfASecondForTheIOMutexThenIsSkipped) {
  Application* app = Open();
  ASSERT_NE(nullptr, app);
  Application_EnterIOMutex(app);
  const size_t before = host_test::LogCopy().size();
  const auto start = std::chrono::steady_clock::now();
  Application_Draw(app);
  const auto waited =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  Application_EndIOMutex(app);
  const std::vector<std::string> log = host_test::LogCopy();
  EXPECT_EQ(std::vector<std::string>({"ack"}), std::vector<std::string>(log.begin() + before, log.end()));
  EXPECT_GE(waited, 450);
  EXPECT_LT(waited, 3000);
  Application_Draw(app);  // the next frame is drawn again
  EXPECT_EQ("step", host_test::LogCopy().back());
  Application_Free(app);
}

TEST_F(RealWindow, PaintDrivenDrawingDoesNotWait) {
  stand_in.params.paint_driven = 1;
  Application* app = Open();
  ASSERT_NE(nullptr, app);
  for (int i = 0; i < 3; ++i) Application_Draw(app);
  EXPECT_TRUE(CycleUntil(app, [] { return host_test::LogCopy().back() == "step"; }));
  Application_Free(app);
}

// A layer whose widgets ask for the pointer to be placed at the display's
// centre once in every frame.
void CentringDraw(void* context, uint32_t pass) {
  host_test::Draw(context, pass);
  if (pass == 0) Velkor_cursor(BHVR_ANY_DEVICE, 640.0f, 384.0f);
}

TEST_F(RealWindow, ACursorRequestMovesTheSystemPointer) {
  host_test::ForwardToMapping() = true;
  stand_in.layer.draw = CentringDraw;
  Application* app = Open();
  ASSERT_NE(nullptr, app);
  const std::string window = WindowId();
  Shell("xdotool mousemove --window " + window + " 10 10");
  // Client pixel (640, 768 - 384) of the window at (50, 50).
  EXPECT_TRUE(CycleUntil(app, [] {
    return Shell("xdotool getmouselocation").compare(0, 12, "x:690 y:434 ") == 0;
  })) << Shell("xdotool getmouselocation");
  BHVR_ForgetDevices();
  Application_Free(app);
}

TEST(RealWindowProgram, ClosingTheWindowEndsTheProgramWithStatusZero) {
  ASSERT_TRUE(DisplayAnswers(nullptr));
  char pattern[] = "/tmp/velkor_config_XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(pattern));
  const std::string config = pattern;
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  // The program names its settings after its executable: this test.
  char executable[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", executable, sizeof executable - 1), 0);
  char settings[4096];
  ASSERT_TRUE(PreferencesPathBesideExecutable(executable, settings, sizeof settings));
  unlink(settings);

  host_test::StandIn stand_in;
  bool closed = false;
  std::thread user([&] {
    for (int i = 0; i < 100 && !closed; ++i) {
      const std::string id = VelkorWindow();
      if (!id.empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        RequestClose(id);
        closed = true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  const char* arguments[] = {"velkor", "-period", "10"};
  const int status = RunApplication(&stand_in.params, 3, arguments);
  user.join();
  EXPECT_TRUE(closed);
  EXPECT_EQ(0, status);
  int frames = 0;
  for (const std::string& line : host_test::LogCopy()) frames += line == "step" ? 1 : 0;
  EXPECT_GT(frames, 5);
  EXPECT_EQ("free", host_test::LogCopy().back());
  // Written beside the executable, or in the fallback when its directory is read-only.
  char written[4096];
  ASSERT_TRUE(PreferencesPathForReading(executable, written, sizeof written));
  EXPECT_EQ("[Window]\nPosition=50x50x1280x768\nState=0\n", ReadFile(written));
  unlink(settings);
  std::system(("rm -rf '" + config + "'").c_str());
  unsetenv("XDG_CONFIG_HOME");
}

TEST(RealWindowProgram, AWindowSystemThatNeverAnswersIsGivenUpAfterTenSeconds) {
  // An X "server" that takes the connection and then says nothing.
  int number = 300;
  std::string path;
  for (; number < 400; ++number) {
    path = "/tmp/.X11-unix/X" + std::to_string(number);
    const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
    if (access(path.c_str(), F_OK) != 0 && access(lock.c_str(), F_OK) != 0) break;
  }
  mkdir("/tmp/.X11-unix", 01777);
  const int server = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(server, 0);
  sockaddr_un address = {};
  address.sun_family = AF_UNIX;
  snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
  ASSERT_EQ(0, bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address));
  ASSERT_EQ(0, listen(server, 4));
  std::thread silent([server] {
    const int connection = accept(server, nullptr, nullptr);
    // Hang up only after the host has given up, so its drawing thread can end.
    std::this_thread::sleep_for(std::chrono::milliseconds(10500));
    if (connection >= 0) close(connection);
  });
  const std::string display = getenv("DISPLAY") != nullptr ? getenv("DISPLAY") : "";
  setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);

  host_test::StandIn stand_in;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  ::testing::internal::CaptureStderr();
  const auto start = std::chrono::steady_clock::now();
  const bool opened = Application_CreateWindow(app, nullptr);
  const auto waited =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(opened);
  EXPECT_GE(waited, 9900);
  EXPECT_LT(waited, 10500);
  EXPECT_NE(std::string::npos, message.find("Graphical Panel Error: Cannot create OpenGL window")) << message;
  EXPECT_EQ(1u, Application_Cancelled(app));
  Application_Free(app);  // waits for the drawing thread, which ends once the server hangs up
  silent.join();
  close(server);
  unlink(path.c_str());
  setenv("DISPLAY", display.c_str(), 1);
}

TEST(RealWindowProgram, WithoutADisplayThereIsNoWindowAndNoCycle) {
  const std::string display = getenv("DISPLAY") != nullptr ? getenv("DISPLAY") : "";
  unsetenv("DISPLAY");
  host_test::StandIn stand_in;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  EXPECT_FALSE(Application_CreateWindow(app, nullptr));
  EXPECT_EQ(1u, Application_Cancelled(app));  // the main loop ends at once
  EXPECT_EQ(nullptr, Application_GetWindow(app));
  Application_Free(app);
  setenv("DISPLAY", display.c_str(), 1);
}

}  // namespace
