// The real window (GLFW on X11) on an X server of the test's own, driven with
// xdotool; the program runs as a process of its own where its end is the point.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include "tests/host/stand_in_layer.h"

namespace {

// Never the DISPLAY we were started on, somebody's desktop: Xvfb of our own.
class XServer : public ::testing::Environment {
  FILE* server_ = nullptr;
  pid_t pid_ = -1;

 public:
  void SetUp() override {
    // Loaded for good, Mesa's DRI driver keeps a name the leak checker's
    // suppressions can match after the X connection closes.
    dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    unsetenv("DISPLAY");
    server_ = popen(
        "echo $$; exec Xvfb -displayfd 1 -screen 0 1920x1080x24 -nolisten tcp -noreset 2>/dev/null",
        "re");
    int number = -1;
    if (server_ != nullptr && fscanf(server_, "%d %d", &pid_, &number) == 2) {
      setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
    }
  }
  void TearDown() override {
    if (server_ == nullptr) return;
    if (pid_ > 0) kill(pid_, SIGTERM);
    pclose(server_);
    unsetenv("DISPLAY");
  }
};

const ::testing::Environment* const x_server = ::testing::AddGlobalTestEnvironment(new XServer);

std::string shell(const std::string& command) {
  std::string output;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  char buffer[256];
  while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  if (pipe != nullptr) pclose(pipe);
  while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
  return output;
}

// The program's window, by its title (one at a time here); "" while there is none.
std::string velkor_window() {
  return shell("xdotool search --name '^Velkor$' | head -1");
}

// Draws frames (or without app sleeps) until done(); the bound is a safety net.
bool wait_until(const std::function<bool()>& done, Application* app = nullptr) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done() && std::chrono::steady_clock::now() < end) {
    if (app != nullptr) Application_Draw(app);
    if (app == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return done();
}

bool logged(const std::string& line) {
  const std::vector<std::string> log = host_test::LogCopy();
  return std::find(log.begin(), log.end(), line) != log.end();
}

// "x,y widthxheight" of the window as the X server has it.
std::string geometry(const std::string& window) {
  int x = 0, y = 0, width = 0, height = 0;
  sscanf(shell("xdotool getwindowgeometry --shell " + window).c_str(),
         "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &x, &y, &width, &height);
  char text[64];
  snprintf(text, sizeof text, "%d,%d %dx%d", x, y, width, height);
  return text;
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

// An X "server" that never answers: a client's XOpenDisplay waits for ever.
struct SilentServer {
  int socket_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
  sockaddr_un address = {AF_UNIX, ""};
  std::string display;  // "" when no number was free
  SilentServer() {
    mkdir("/tmp/.X11-unix", 01777);
    for (int number = 300; number < 400 && display.empty(); ++number) {
      snprintf(address.sun_path, sizeof address.sun_path, "/tmp/.X11-unix/X%d", number);
      if (bind(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        display = ":" + std::to_string(number);
      }
    }
    if (listen(socket_fd, 8) != 0) display.clear();
  }
  ~SilentServer() {
    close(socket_fd);
    if (!display.empty()) unlink(address.sun_path);
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

// Runs command with DISPLAY set to display ("" for none) and reads its stderr
// to the end; the time limit only ends a run that would otherwise hang.
Outcome run_process(const std::string& command, const std::string& display,
                    const std::function<void()>& while_running = nullptr) {
  // LeakSanitizer would turn status 0 into 1 over the OpenGL driver's memory,
  // unloaded at exit and so matching no suppression.
  const std::string line = "env -u DISPLAY " + (display.empty() ? "" : "DISPLAY=" + display) +
                           " ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" timeout 60 " + command +
                           " 2>&1 >/dev/null";
  FILE* pipe = popen(line.c_str(), "re");
  if (pipe == nullptr) return {-1, ""};
  if (while_running) while_running();
  Outcome outcome = {-1, ""};
  for (int c = fgetc(pipe); c != EOF; c = fgetc(pipe)) outcome.error_output += char(c);
  const int status = pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return outcome;
}

// A copy of the stand-in program in dir, where its settings file will land.
std::string copy_program(const std::string& dir) {
  shell("cp " STAND_IN_PROGRAM " " + dir + "/velkor");
  return dir + "/velkor";
}

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(nullptr, getenv("DISPLAY")) << "Xvfb could not be started"; }

  Application* open() {
    Application* app = Application_Allocate(&stand_in.params, dir.file("velkor").c_str());
    Application_UseSystemEvents(app, 1);
    if (!Application_CreateWindow(app, nullptr)) {
      Application_Free(app);
      return nullptr;
    }
    EXPECT_TRUE(wait_until([&] { return !(window = velkor_window()).empty(); }, app));
    Application_Draw(app);  // at least one frame, whatever the wait took
    return app;
  }

  void f11(Application* app, uint32_t state, const std::string& expected) {
    shell("xdotool key F11");
    EXPECT_TRUE(wait_until([&] { return app->window_state == state; }, app)) << state;
    EXPECT_TRUE(wait_until([&] { return geometry(window) == expected; }, app))
        << state << ": " << geometry(window);
  }

  host_test::StandIn stand_in;
  host_test::TempDir dir;
  std::string window;
};

TEST_F(RealWindow, OpensTakesInputCyclesItsStatesAndOpensAgainAsTheSettingsSay) {
  stand_in.params.stream_bytes = 1u << 20;  // frames recorded, as in the program
  Application* app = open();
  ASSERT_NE(nullptr, app);
  EXPECT_EQ("50,50 1280x768", geometry(window));  // no settings file: the default place and size
  // Application_Draw returns only after the whole frame; under the IO mutex the
  // frame is skipped: only the acknowledge.
  Application_Draw(app);
  EXPECT_EQ("step", host_test::LogCopy().back());
  EXPECT_EQ(0, Application_TakeSnapshot(app, dir.file("frame.bmp").c_str()));  // no kept frame
  Application_EnterIOMutex(app);
  const size_t before = host_test::LogCopy().size();
  Application_Draw(app);
  Application_EndIOMutex(app);
  EXPECT_EQ(before + 1, host_test::LogCopy().size());

  // Client pixel (100, 100) is display unit (100, 668); a capital and a special key.
  shell("xdotool mousemove --window " + window + " 100 100 click 1 key shift+a Left");
  EXPECT_TRUE(wait_until(
      [] { return logged("keyboard id=0 key=65553 pressed=0 released=1 mods=0"); }, app));
  EXPECT_TRUE(logged("pointer id=0 x=100 y=668 button=1 pressed=1 released=0 mods=0"));
  EXPECT_TRUE(logged("pointer id=0 x=100 y=668 button=1 pressed=0 released=1 mods=0"));
  EXPECT_TRUE(logged("keyboard id=0 key=65 pressed=1 released=0 mods=1"));
  EXPECT_TRUE(logged("keyboard id=0 key=65 pressed=0 released=1 mods=1"));

  // F11 through the four states and back.
  f11(app, kWindowStateBorderless, "50,50 1280x768");
  f11(app, kWindowStateFullScreenAspect, "60,0 1800x1080");  // the 1920 x 1080 screen, with bars
  f11(app, kWindowStateFullScreenStretched, "0,0 1920x1080");
  f11(app, kWindowStateWindowed, "50,50 1280x768");

  // Moved, then resized without a window manager: the host keeps the aspect,
  // the width deciding unless only the height changed, and the bound.
  shell("xdotool windowmove " + window + " 200 150");
  EXPECT_TRUE(wait_until([&] { return app->client_rect[0] == 200; }, app));
  for (const auto& resize : {std::pair<std::string, std::string>{"640 500", "640x385"},
                             {"640 500", "834x500"},
                             {"2000 1200", "1280x768"}}) {
    shell("xdotool windowsize " + window + " " + resize.first);
    EXPECT_TRUE(wait_until([&] { return geometry(window) == "200,150 " + resize.second; }, app))
        << geometry(window);
  }
  f11(app, kWindowStateBorderless, "200,150 1280x768");

  // An unchanged frame is kept, but a window uncovered again (unmapped and
  // mapped: an expose) lost its pixels, so the next frame is sent.
  Application_Draw(app);
  const uint32_t sent = app->graphics.stream.frames_sent;
  Application_Draw(app);
  EXPECT_EQ(sent, app->graphics.stream.frames_sent);
  shell("xdotool windowunmap --sync " + window + " windowmap --sync " + window);
  EXPECT_TRUE(wait_until([&] { return app->graphics.stream.frames_sent > sent; }, app));

  // The close request ends the cycle; the preferences are written.
  request_close(window);
  EXPECT_TRUE(wait_until([&] { return Application_Cancelled(app) != 0; }, app));
  Application_Free(app);
  EXPECT_EQ("[Window]\nPosition=200x150x1280x768\nState=1\n",
            host_test::ReadFile(dir.file("velkor.ini")));
  EXPECT_TRUE(velkor_window().empty());

  // Stored off the screen and off the aspect: it opens as far in as it fits, at
  // the size a resize would give. A widget's pointer request at the display's
  // centre lands on client pixel (400, 240).
  std::ofstream(dir.file("velkor.ini")) << "[Window]\nPosition=5000x5000x800x800\nState=1\n";
  stand_in.params.cursor_request = BHVR_CursorPosRequest;
  stand_in.layer.draw = [](void* context, uint32_t pass) {
    host_test::Draw(context, pass);
    if (pass == 0) Velkor_cursor(BHVR_ANY_DEVICE, 640.0f, 384.0f);
  };
  app = open();
  ASSERT_NE(nullptr, app);
  EXPECT_EQ("1120,599 800x481", geometry(window));
  EXPECT_EQ(kWindowStateBorderless, app->window_state.load());
  shell("xdotool mousemove --window " + window + " 10 10");  // the focus follows the pointer
  EXPECT_TRUE(wait_until(
      [] { return shell("xdotool getmouselocation").compare(0, 12, "x:1520 y:839") == 0; }, app))
      << shell("xdotool getmouselocation");
  BHVR_ForgetDevices();
  // Paint-driven: Application_Draw only asks for a frame, which still comes.
  stand_in.params.paint_driven = 1;
  host_test::call_log.clear();
  Application_Draw(app);
  EXPECT_TRUE(wait_until([] { return logged("step"); }));
  Application_Free(app);  // closing from the program's side writes the settings too
  EXPECT_EQ("[Window]\nPosition=1120x599x800x481\nState=1\n",
            host_test::ReadFile(dir.file("velkor.ini")));
}

// A quad whose colour index the test changes, and a white one beside it.
int32_t g_quad_colour = 2;

void draw_quads(void* /*context*/, uint32_t pass) {
  if (pass != 0) return;
  for (const int32_t quad : {0, 1}) {
    const float x = quad == 0 ? 100.0f : 600.0f;
    const float y = quad == 0 ? 100.0f : 400.0f;
    sglIndexColori(quad == 0 ? g_quad_colour : 2);
    sglBegin(SGL_PRIMITIVE_POLYGON);
    sglVertex2f(x, y);
    sglVertex2f(x + 200.0f, y);
    sglVertex2f(x + 200.0f, y + 100.0f);
    sglVertex2f(x, y + 100.0f);
    sglEnd();
  }
}

// The window's pixel at client (x, y) as 0xRRGGBB, read from the X server.
uint32_t window_pixel(Display* display, const std::string& window, int x, int y) {
  XImage* image =
      XGetImage(display, static_cast<Window>(std::stoul(window)), x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return 0xFFFFFFFFu;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  const auto channel = [pixel](unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
      mask >>= 1;
      ++shift;
    }
    return static_cast<uint32_t>((pixel >> shift) & 0xFF);
  };
  const uint32_t rgb =
      channel(image->red_mask) << 16 | channel(image->green_mask) << 8 | channel(image->blue_mask);
  XDestroyImage(image);
  return rgb;
}

// A partial frame reaches the window through a copy of its own rectangle:
// a patch painted on the window elsewhere stays, the changed quad shows.
TEST_F(RealWindow, PartialFramesAreShownByCopyingTheirRectangleOnly) {
  stand_in.params.stream_bytes = 1u << 20;
  stand_in.params.partial_frames = 1;
  stand_in.layer.draw = draw_quads;
  g_quad_colour = 2;
  Application* app = open();
  ASSERT_NE(nullptr, app);
  EXPECT_NE(nullptr, app->copy_sub_buffer);  // Mesa offers GLX_MESA_copy_sub_buffer
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(nullptr, display);
  // Client pixels: the changing quad around (200, 618), the white one
  // around (700, 318), the patch at (1000, 50).
  EXPECT_TRUE(wait_until([&] { return window_pixel(display, window, 200, 618) == 0xFFFFFF; }, app));
  GC gc = XCreateGC(display, static_cast<Window>(std::stoul(window)), 0, nullptr);
  XSetForeground(display, gc, 0xFF0000);
  XFillRectangle(display, static_cast<Window>(std::stoul(window)), gc, 990, 40, 20, 20);
  XSync(display, False);
  g_quad_colour = 0;
  Application_Draw(app);
  const sgl_frame_damage* damage = sglGetFrameDamage();
  EXPECT_EQ(0u, damage->whole);
  EXPECT_EQ(1u, damage->count);
  EXPECT_TRUE(wait_until([&] { return window_pixel(display, window, 200, 618) == 0x000000; }));
  EXPECT_EQ(0xFF0000u, window_pixel(display, window, 1000, 50));
  EXPECT_EQ(0xFFFFFFu, window_pixel(display, window, 700, 318));
  XFreeGC(display, gc);
  XCloseDisplay(display);
  Application_Free(app);
}

// Closed, the program ends with status 0 and its settings, a long period too.
TEST(RealWindowProgram, ClosingTheWindowEndsTheProgramWithStatusZero) {
  ASSERT_NE(nullptr, getenv("DISPLAY"));  // set once our own server is ready
  for (const char* period : {"10", "600000"}) {
    SCOPED_TRACE(period);
    host_test::TempDir dir;
    const Outcome outcome =
        run_process(copy_program(dir.path) + " -period " + period, getenv("DISPLAY"), [] {
          std::string window;
          if (wait_until([&] { return !(window = velkor_window()).empty(); }))
            request_close(window);
        });
    EXPECT_EQ(0, outcome.status) << outcome.error_output;
    EXPECT_EQ("[Window]\nPosition=50x50x1280x768\nState=0\n",
              host_test::ReadFile(dir.file("velkor.ini")));
  }
}

TEST(RealWindowProgram, NoWindowEndsTheProgramWithStatusOneAndOneLine) {
  SilentServer silent;
  ASSERT_FALSE(silent.display.empty());
  host_test::TempDir dir;
  const std::string program = copy_program(dir.path);
  // Without a display GLFW says why; a silent server is given up after 10 s.
  for (const auto& [display, message] :
       {std::pair<std::string, std::string>{"", "Failed to create window... ("},
        {silent.display, "Graphical Panel Error: Cannot create OpenGL window\n"}}) {
    SCOPED_TRACE("DISPLAY=" + display);
    const Outcome outcome = run_process(program, display);
    EXPECT_EQ(1, outcome.status);
    EXPECT_EQ(0u, outcome.error_output.find(message)) << outcome.error_output;
    EXPECT_EQ(1, std::count(outcome.error_output.begin(), outcome.error_output.end(), '\n'))
        << outcome.error_output;
  }
}

// A desktop that must not be touched, and never answers: using it would hang
// the run rather than pass unnoticed.
TEST(RealWindowProgram, TheTestsNeverUseTheDisplayTheyWereStartedOn) {
  SilentServer desktop;
  ASSERT_FALSE(desktop.display.empty());
  char self[4096] = {};
  ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
  const Outcome outcome =
      run_process(std::string(self) + " --gtest_filter=RealWindow.*", desktop.display);
  EXPECT_EQ(0, outcome.status) << outcome.error_output;
  EXPECT_FALSE(desktop.was_contacted());
}

}  // namespace
