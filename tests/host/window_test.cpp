// The real window (GLFW on X11) on an X server of the test's own (Xvfb, never
// the display the tests were started in), driven with xdotool; the program
// runs as a process of its own where its exit status and its end are the point.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "host/host_internal.h"
#include "host/host_preferences.h"
#include "host/target_configuration.h"
#include "tests/host/stand_in_layer.h"

extern char** environ;

namespace {

// Always a server of our own: a DISPLAY set in the environment belongs to
// somebody's desktop, whose pointer and focused window the tests would move
// and type into. Xvfb picks a free display number and writes it to the pipe
// once it is ready.
class XServer : public ::testing::Environment {
 public:
  void SetUp() override {
    // Closing the X connection would unload Mesa's DRI driver, and what it
    // keeps until exit would then come from a module the leak checker's
    // suppressions cannot name. Loaded here for good, it keeps its name.
    dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    unsetenv("DISPLAY");
    int ready[2];
    if (pipe(ready) != 0) return;
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

// DISPLAY is set only once our own server has said it is ready.
bool own_server() {
  return getenv("DISPLAY") != nullptr;
}

std::string shell(const std::string& command) {
  std::string output;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  char buffer[256];
  while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  if (pipe != nullptr) pclose(pipe);
  while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
  return output;
}

// The window of a process, by its title and process id; "" while it has none.
std::string window_of(pid_t pid) {
  return shell("xdotool search --all --pid " + std::to_string(pid) +
               " --name '^Velkor$' | head -1");
}

// Polls until done() holds; the bound is only a safety net.
bool wait_until(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return done();
}

// Draws frames as the program's main loop does until done() holds. Each
// Application_Draw returns once its frame is drawn; the bound is only a
// safety net.
bool cycle_until(Application* app, const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done() && std::chrono::steady_clock::now() < end) Application_Draw(app);
  return done();
}

bool logged(const std::string& line) {
  for (const std::string& entry : host_test::LogCopy()) {
    if (entry == line) return true;
  }
  return false;
}

// "x,y widthxheight" of the window as the X server has it.
std::string geometry(const std::string& window) {
  int x = 0, y = 0, width = 0, height = 0;
  sscanf(shell("xdotool getwindowgeometry --shell " + window).c_str(),
         "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &x, &y, &width, &height);
  return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
         std::to_string(height);
}

// The close button, as a window manager reports it: WM_DELETE_WINDOW.
void request_close(const std::string& window) {
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

// An X "server" that takes connections and never says a word: a client's
// XOpenDisplay waits for its answer for ever. Connections wait in the
// listening queue; none is ever accepted.
struct SilentServer {
  int socket_fd = -1;
  std::string path;
  std::string display;
  SilentServer() {
    mkdir("/tmp/.X11-unix", 01777);
    for (int number = 300; number < 400 && socket_fd < 0; ++number) {
      path = "/tmp/.X11-unix/X" + std::to_string(number);
      if (access(path.c_str(), F_OK) == 0) continue;
      socket_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
      sockaddr_un address = {};
      address.sun_family = AF_UNIX;
      snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
      if (bind(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
          listen(socket_fd, 8) != 0) {
        close(socket_fd);
        socket_fd = -1;
        continue;
      }
      display = ":" + std::to_string(number);
    }
  }
  ~SilentServer() {
    close(socket_fd);
    unlink(path.c_str());
  }
  bool was_contacted() const {
    const int connection = accept(socket_fd, nullptr, nullptr);
    if (connection >= 0) close(connection);
    return connection >= 0;
  }
};

struct Outcome {
  int status;  // exit status, or 128 + signal
  std::string error_output;
};

// Runs a program as its own process with DISPLAY set to display ("" for
// none), first waiting on_start (given the process id) before reading its
// stderr to the end. A process still running after the alarm is killed:
// a safety net only, never the expected end.
Outcome run_process(const std::vector<std::string>& arguments, const std::string& display,
                    const std::function<void(pid_t)>& on_start = nullptr) {
  // Everything the child needs is made before the fork: other threads of this
  // process may hold the allocator's lock at that moment.
  std::vector<std::string> variables = {"DISPLAY=" + display};
  for (char** v = environ; *v != nullptr; ++v) {
    if (strncmp(*v, "DISPLAY=", 8) != 0) variables.push_back(*v);
    // These runs judge the program's exit status. Under the sanitizers the
    // OpenGL driver, unloaded at exit, leaves LeakSanitizer an allocation in
    // a module it can no longer name (so no suppression matches it), which
    // would turn status 0 into 1; the in-process suites still check leaks.
    if (strncmp(*v, "ASAN_OPTIONS=", 13) == 0) variables.back() += ":detect_leaks=0";
  }
  if (getenv("ASAN_OPTIONS") == nullptr) variables.push_back("ASAN_OPTIONS=detect_leaks=0");
  if (display.empty()) variables.erase(variables.begin());
  std::vector<char*> argv, envp;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  for (const std::string& v : variables) envp.push_back(const_cast<char*>(v.c_str()));
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  int errors[2];
  if (pipe(errors) != 0) return {-1, ""};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(errors[1], 2);
    close(errors[0]);
    alarm(60);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  close(errors[1]);
  if (on_start) on_start(pid);
  Outcome outcome = {-1, ""};
  char c = 0;
  while (read(errors[0], &c, 1) == 1) outcome.error_output += c;
  close(errors[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return outcome;
}

// A copy of the stand-in program in dir, so that its settings file (named
// after the executable) lands there.
std::string copy_program(const std::string& dir) {
  const std::string path = dir + "/velkor";
  std::ofstream(path, std::ios::binary)
      << std::ifstream(STAND_IN_PROGRAM, std::ios::binary).rdbuf();
  chmod(path.c_str(), 0755);
  return path;
}

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(own_server()) << "no X server of our own (Xvfb could not be started)";
  }

  // Opens the window and waits until the X server shows it.
  Application* open(uint8_t system_events = 1) {
    Application* app = Application_Allocate(&stand_in.params, (dir.file("velkor")).c_str());
    Application_UseSystemEvents(app, system_events);
    if (!Application_CreateWindow(app, nullptr)) {
      Application_Free(app);
      return nullptr;
    }
    EXPECT_TRUE(cycle_until(app, [] { return !window_of(getpid()).empty(); }));
    window = window_of(getpid());
    Application_Draw(app);  // at least one frame, whatever the wait took
    return app;
  }

  // Presses F11 and waits for the state and then the geometry to follow.
  void f11(Application* app, uint32_t state, const std::string& expected) {
    shell("xdotool key F11");
    EXPECT_TRUE(cycle_until(app, [&] { return app->window_state == state; })) << "state " << state;
    EXPECT_TRUE(cycle_until(app, [&] { return geometry(window) == expected; }))
        << "state " << state << ": " << geometry(window);
  }

  host_test::StandIn stand_in;
  host_test::TempDir dir;
  std::string window;
};

TEST_F(RealWindow, OpensTakesInputCyclesItsStatesAndOpensAgainAsTheSettingsSay) {
  Application* app = open();
  ASSERT_NE(nullptr, app);
  EXPECT_EQ("50,50 1280x768", geometry(window));  // no settings file: the default place and size
  // Application_Draw returns only after the drawing thread's whole frame.
  Application_Draw(app);
  EXPECT_EQ("step", host_test::LogCopy().back());
  EXPECT_EQ(0u, app->draw_pending.load());
  EXPECT_EQ(0, Application_TakeSnapshot(app, (dir.path + "/frame.bmp").c_str()));  // no kept frame

  // A frame waits for the IO mutex, then is skipped.
  Application_EnterIOMutex(app);
  const size_t before = host_test::LogCopy().size();
  Application_Draw(app);
  Application_EndIOMutex(app);
  EXPECT_EQ(before + 1, host_test::LogCopy().size());  // only the acknowledge

  // A click at client pixel (100, 100) is display unit (100, 668).
  shell("xdotool mousemove --window " + window + " 100 100 click 1");
  EXPECT_TRUE(cycle_until(
      app, [] { return logged("pointer id=0 x=100 y=668 button=1 pressed=0 released=1 mods=0"); }));
  EXPECT_TRUE(logged("pointer id=0 x=100 y=668 button=1 pressed=1 released=0 mods=0"));
  // Typed keys: a capital through the character path, a special key.
  shell("xdotool key shift+a Left");
  EXPECT_TRUE(cycle_until(
      app, [] { return logged("keyboard id=0 key=65553 pressed=0 released=1 mods=0"); }));
  EXPECT_TRUE(logged("keyboard id=0 key=65 pressed=1 released=0 mods=1"));
  EXPECT_TRUE(logged("keyboard id=0 key=65 pressed=0 released=1 mods=1"));

  // F11 through the four states and back.
  f11(app, kWindowStateBorderless, "50,50 1280x768");
  EXPECT_TRUE(cycle_until(app, [] {  // F11 is a key too
    return logged("keyboard id=0 key=65547 pressed=1 released=0 mods=0");
  }));
  f11(app, kWindowStateFullScreenAspect, "60,0 1800x1080");  // the 1920 x 1080 screen, with bars
  f11(app, kWindowStateFullScreenStretched, "0,0 1920x1080");
  f11(app, kWindowStateWindowed, "50,50 1280x768");

  // Moved, then resized without a window manager to keep the aspect:
  // corrected by the host, and never beyond the native size.
  shell("xdotool windowmove " + window + " 200 150");
  EXPECT_TRUE(cycle_until(app, [&] { return app->client_rect[0] == 200; }));
  shell("xdotool windowsize " + window + " 640 500");
  EXPECT_TRUE(cycle_until(app, [&] { return geometry(window) == "200,150 640x385"; }))
      << geometry(window);
  shell("xdotool windowsize " + window + " 2000 1200");
  EXPECT_TRUE(cycle_until(app, [&] { return geometry(window) == "200,150 1280x768"; }))
      << geometry(window);
  f11(app, kWindowStateBorderless, "200,150 1280x768");

  // The close request ends the cycle; the preferences are written.
  request_close(window);
  EXPECT_TRUE(cycle_until(app, [&] { return Application_Cancelled(app) != 0; }));
  EXPECT_EQ(nullptr, Application_GetWindow(app));
  Application_Free(app);
  EXPECT_EQ("[Window]\nPosition=200x150x1280x768\nState=1\n",
            host_test::ReadFile(dir.file("velkor.ini")));
  EXPECT_TRUE(window_of(getpid()).empty());

  // A stored place off the 1920 x 1080 screen and a size off the aspect:
  // the window opens on the screen, as far in as it fits, at the size a
  // resize would give. Its widgets ask for the pointer at the display's
  // centre, which is client pixel (400, 240) of an 800 x 481 window.
  std::ofstream(dir.file("velkor.ini")) << "[Window]\nPosition=5000x5000x800x800\nState=1\n";
  host_test::forward_to_mapping = true;
  stand_in.layer.draw = [](void* context, uint32_t pass) {
    host_test::Draw(context, pass);
    if (pass == 0) Velkor_cursor(BHVR_ANY_DEVICE, 640.0f, 384.0f);
  };
  app = open();
  ASSERT_NE(nullptr, app);
  EXPECT_EQ("1120,599 800x481", geometry(window));
  EXPECT_EQ(kWindowStateBorderless, app->window_state.load());
  shell("xdotool mousemove --window " + window + " 10 10");  // the focus follows the pointer
  EXPECT_TRUE(cycle_until(app, [] {
    return shell("xdotool getmouselocation").compare(0, 12, "x:1520 y:839") == 0;
  })) << shell("xdotool getmouselocation");
  BHVR_ForgetDevices();
  Application_Free(app);  // closing from the program's side writes the settings too
  EXPECT_EQ("[Window]\nPosition=1120x599x800x481\nState=1\n",
            host_test::ReadFile(dir.file("velkor.ini")));
}

TEST_F(RealWindow, AWindowWithoutSystemInputKeepsItsLastFrame) {
  Application* app = open(0);
  ASSERT_NE(nullptr, app);
  const std::string path = dir.path + "/frame.bmp";
  ASSERT_EQ(1, Application_TakeSnapshot(app, path.c_str()));
  // Moving the window shows the kept frame again without drawing a new one.
  shell("xdotool windowmove " + window + " 120 90");
  EXPECT_TRUE(cycle_until(app, [&] { return geometry(window) == "120,90 1280x768"; }));
  // Paint-driven: Application_Draw only asks for a frame, which still comes.
  stand_in.params.paint_driven = 1;
  host_test::call_log.clear();
  Application_Draw(app);
  EXPECT_TRUE(wait_until([] { return logged("step"); }));
  Application_Free(app);
  const std::string bmp = host_test::ReadFile(path);
  ASSERT_EQ(54u + 1280u * 3u * 768u, bmp.size());
  EXPECT_EQ(std::string("\0\0\xff", 3),
            bmp.substr(54 + (150u * 1280u + 150u) * 3u, 3));  // pass 0's red
}

// The program cycles until the window is closed, then ends with status 0 and
// the settings beside its executable; a long period ends with the window too.
TEST(RealWindowProgram, ClosingTheWindowEndsTheProgramWithStatusZero) {
  ASSERT_TRUE(own_server());
  for (const char* period : {"10", "600000"}) {
    SCOPED_TRACE(period);
    host_test::TempDir dir;
    const Outcome outcome =
        run_process({copy_program(dir.path), "-period", period}, getenv("DISPLAY"), [](pid_t pid) {
          std::string window;
          wait_until([&] { return !(window = window_of(pid)).empty(); });
          if (!window.empty()) request_close(window);
        });
    EXPECT_EQ(0, outcome.status) << outcome.error_output;
    EXPECT_EQ("[Window]\nPosition=50x50x1280x768\nState=0\n",
              host_test::ReadFile(dir.file("velkor.ini")));
  }
}

TEST(RealWindowProgram, NoWindowEndsTheProgramWithStatusOneAndOneLine) {
  SilentServer silent;
  ASSERT_FALSE(silent.display.empty());
  const struct {
    std::string display;
    std::string message;  // the start of the one line
  } cases[] = {
      {"", "Failed to create window... ("},  // why, in GLFW's words
      // Connected but never answered: the message after 10 s, then the end.
      {silent.display, "Graphical Panel Error: Cannot create OpenGL window\n"},
  };
  host_test::TempDir dir;
  const std::string program = copy_program(dir.path);
  for (const auto& c : cases) {
    SCOPED_TRACE("DISPLAY=" + c.display);
    const Outcome outcome = run_process({program}, c.display);
    EXPECT_EQ(1, outcome.status);
    EXPECT_EQ(0u, outcome.error_output.find(c.message)) << outcome.error_output;
    EXPECT_EQ(1, std::count(outcome.error_output.begin(), outcome.error_output.end(), '\n'))
        << outcome.error_output;
  }
}

TEST(RealWindowProgram, TheTestsNeverUseTheDisplayTheyWereStartedOn) {
  // A desktop that must not be touched; one that never answers, so using it
  // would hang the test run rather than pass unnoticed.
  SilentServer desktop;
  ASSERT_FALSE(desktop.display.empty());
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  const Outcome outcome =
      run_process({self, "--gtest_filter=RealWindow.AWindowWithoutSystemInputKeepsItsLastFrame"},
                  desktop.display);
  EXPECT_EQ(0, outcome.status) << outcome.error_output;
  EXPECT_FALSE(desktop.was_contacted());
}

}  // namespace
