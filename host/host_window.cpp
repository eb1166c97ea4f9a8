// The window: GLFW on X11, owned by the drawing thread together with its
// OpenGL context, its event loop and every frame; the four window states, the
// aspect ratio kept while resizing, and the window preferences.
//
// Every GLFW call below runs on the drawing thread, except glfwPostEmptyEvent
// in Application_WakeDrawingThread, which GLFW allows from any thread while
// it is initialised (glfw_lock keeps that window open).
#include "host/host_internal.h"
#include "host/host_preferences.h"

#define GLFW_INCLUDE_NONE
#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include "host/host_glfw_input_internal.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace {

using host_glfw::record_of;

constexpr char kSection[] = "Window";

// Truncation towards zero of a ratio product, with products that miss a
// whole number only by floating-point noise taken as that number, so that an
// exact fit (a 1280 x 768 screen for a 1280 x 768 display) is seen as one.
int32_t trunc_ratio(double value) {
  const double nearest = std::round(value);
  if (std::fabs(value - nearest) < 1e-6) value = nearest;
  return static_cast<int32_t>(std::trunc(value));
}

void set_client_rect(Application* app, int32_t x, int32_t y, int32_t width, int32_t height) {
  app->client_rect[0] = x;
  app->client_rect[1] = y;
  app->client_rect[2] = width;
  app->client_rect[3] = height;
}

// A window with no stored place, or one coming back from full screen with
// none saved: the native size, a little off the screen's corner.
constexpr int32_t kDefaultPlace = 50;
void use_default_place(Application* app) {
  set_client_rect(app, kDefaultPlace, kDefaultPlace, app->max_outer_size[0],
                  app->max_outer_size[1]);
}

// Windowed: the aspect ratio and the native size as the largest client
// area, as hints to the window manager. The other states lift both so that
// the window can cover the screen.
void apply_size_constraints(Application* app, GLFWwindow* window, bool windowed) {
  if (windowed) {
    glfwSetWindowSizeLimits(window, GLFW_DONT_CARE, GLFW_DONT_CARE,
                            static_cast<int>(app->params->width),
                            static_cast<int>(app->params->height));
    glfwSetWindowAspectRatio(window, static_cast<int>(app->params->width),
                             static_cast<int>(app->params->height));
  } else {
    glfwSetWindowSizeLimits(window, GLFW_DONT_CARE, GLFW_DONT_CARE, GLFW_DONT_CARE, GLFW_DONT_CARE);
    glfwSetWindowAspectRatio(window, GLFW_DONT_CARE, GLFW_DONT_CARE);
  }
}

// Where a window manager ignores the aspect and size hints (or there is no
// window manager), the size is corrected here, bounded by the native size.
// The corrected size is itself within the rounding, so the correction
// settles after one step.
void keep_aspect(Application* app, GLFWwindow* window, int32_t old_width, int32_t old_height) {
  int32_t width = 0;
  int32_t height = 0;
  if (Application_CorrectClientSize(app->client_rect[2], app->client_rect[3], old_width, old_height,
                                    app->aspect_ratio, static_cast<int32_t>(app->params->width),
                                    static_cast<int32_t>(app->params->height), &width, &height)) {
    glfwSetWindowSize(window, width, height);
  }
}

// ---- GLFW callbacks (drawing thread) ----------------------------------------------

// After a move, a resize or activation: paint-driven drawing asks for a
// frame; otherwise the last frame is shown again from the pixel cache, when
// there is one and no frame is on its way.
void repaint(Application* app, GLFWwindow* window) {
  if (app->params->paint_driven != 0) {
    app->draw_pending.store(1);
  } else if (app->draw_pending.load() == 0 && app->pixel_cache != nullptr) {
    DrawPixelCache(app);
    glfwSwapBuffers(window);
  }
}

// The window system lost (part of) the window's content: the next frame is
// drawn in full even when it equals the last one.
void on_window_refresh(GLFWwindow* window) {
  if (record_of(window) != nullptr) sglInvalidateFrame();
}

void on_framebuffer_size(GLFWwindow* window, int /*width*/, int /*height*/) {
  if (record_of(window) != nullptr) sglInvalidateFrame();
}

void on_window_focus(GLFWwindow* window, int focused) {
  Application* app = record_of(window);
  if (app != nullptr && focused != 0) repaint(app, window);
}

void on_window_pos(GLFWwindow* window, int x, int y) {
  Application* app = record_of(window);
  // Positions at the screen's edge or beyond are not remembered, nor those of
  // a minimised window.
  if (app == nullptr || glfwGetWindowAttrib(window, GLFW_ICONIFIED) != 0 || x < 1 || y < 1) return;
  app->client_rect[0] = x;
  app->client_rect[1] = y;
  if (app->parent == nullptr) WriteWindowPref(app);
  repaint(app, window);
}

void on_window_size(GLFWwindow* window, int width, int height) {
  Application* app = record_of(window);
  if (app == nullptr || glfwGetWindowAttrib(window, GLFW_ICONIFIED) != 0 || width <= 0 ||
      height <= 0)
    return;
  const int32_t old_width = app->client_rect[2];
  const int32_t old_height = app->client_rect[3];
  app->client_rect[2] = width;
  app->client_rect[3] = height;
  sglInvalidateFrame();
  if (app->parent == nullptr) WriteWindowPref(app);
  if (app->window_state == kWindowStateWindowed) keep_aspect(app, window, old_width, old_height);
  repaint(app, window);
}

void on_window_maximize(GLFWwindow* window, int maximized) {
  Application* app = record_of(window);
  if (app == nullptr || maximized == 0) return;
  // Maximising gives the display's native client size at the window's
  // place rather than filling the screen.
  glfwRestoreWindow(window);
  glfwSetWindowSize(window, static_cast<int>(app->params->width),
                    static_cast<int>(app->params->height));
}

void on_key(GLFWwindow* window, int key, int /*scancode*/, int action, int mods) {
  Application* app = record_of(window);
  if (app == nullptr) return;
  Application_OnKey(app, key, action, mods);
  if (key == GLFW_KEY_F11 && action == GLFW_PRESS && app->parent == nullptr) ToggleFullScreen(app);
}

void on_cursor_enter(GLFWwindow* window, int entered) {
  Application* app = record_of(window);
  if (app != nullptr && entered == 0) app->cursor_shown = 0;
}

// While the window is being set up, GLFW's complaint is kept for the one
// line that reports the failure; afterwards each is printed as it comes.
thread_local bool quiet_glfw_errors = false;
thread_local char last_glfw_error[256];

void on_glfw_error(int code, const char* description) {
  if (quiet_glfw_errors) {
    snprintf(last_glfw_error, sizeof last_glfw_error, "%s", description);
    return;
  }
  fprintf(stderr, "GLFW error %d: %s\n", code, description);
}

void report_setup_failure() {
  if (last_glfw_error[0] != '\0') {
    fprintf(stderr, "Failed to create window... (%s)\n", last_glfw_error);
  } else {
    fprintf(stderr, "Failed to create window...\n");
  }
}

// The work areas of the connected monitors, the primary first.
int32_t monitor_areas(int32_t (*areas)[4], int32_t capacity) {
  int count = 0;
  GLFWmonitor** monitors = glfwGetMonitors(&count);
  int32_t found = 0;
  for (int i = 0; monitors != nullptr && i < count && found < capacity; ++i) {
    int32_t* area = areas[found];
    glfwGetMonitorWorkarea(monitors[i], &area[0], &area[1], &area[2], &area[3]);
    if (area[2] > 0 && area[3] > 0) ++found;
  }
  return found;
}

// ---- The drawing thread -------------------------------------------------------------

// Opens the window and its context on the drawing thread. 0, or -2 when no
// window could be made.
int SetupWindow(Application* app) {
  const ApplicationParams* params = app->params;
  glfwSetErrorCallback(on_glfw_error);
  // glfwInit connects to the window system and may never return from a
  // server that does not answer; no lock is held meanwhile, so the main
  // thread can give up on it.
  if (glfwInit() != GLFW_TRUE) {
    report_setup_failure();
    return -2;
  }
  {
    std::lock_guard<std::mutex> lock(app->glfw_lock);
    app->glfw_ready = 1;
  }
  if (app->stop_requested.load() != 0) return -2;  // given up on meanwhile; close_window tidies
  // A stored place may lie off every monitor (or beyond the 16-bit
  // coordinates of X11, where it would wrap round).
  int32_t areas[16][4];
  const int32_t area_count = monitor_areas(areas, 16);
  Application_PlaceOnMonitors(app->client_rect, areas, area_count, app->client_rect);
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_RED_BITS, 8);
  glfwWindowHint(GLFW_GREEN_BITS, 8);
  glfwWindowHint(GLFW_BLUE_BITS, 8);
  glfwWindowHint(GLFW_ALPHA_BITS, 8);
  glfwWindowHint(GLFW_DEPTH_BITS, 16);
  glfwWindowHint(GLFW_STENCIL_BITS, 8);
  glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
  glfwWindowHint(GLFW_DECORATED, GLFW_TRUE);
  glfwWindowHint(GLFW_TRANSPARENT_FRAMEBUFFER,
                 params->transparent_window != 0 ? GLFW_TRUE : GLFW_FALSE);
  if (params->renderer == kApplicationRendererEs2) {
    glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_ES_API);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  }
  GLFWwindow* window =
      glfwCreateWindow(app->client_rect[2], app->client_rect[3], params->name, nullptr, nullptr);
  if (window == nullptr) {
    report_setup_failure();
    return -2;
  }
  glfwSetWindowUserPointer(window, app);
  app->window_style = 1;
  int left = 0, top = 0, right = 0, bottom = 0;
  glfwGetWindowFrameSize(window, &left, &top, &right, &bottom);
  app->frame_insets[0] = -left;
  app->frame_insets[1] = -top;
  app->frame_insets[2] = right;
  app->frame_insets[3] = bottom;
  app->max_outer_size[0] += right + left;
  app->max_outer_size[1] += bottom + top;
  const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
  app->screen_size[0] = mode != nullptr ? mode->width : static_cast<int32_t>(params->width);
  app->screen_size[1] = mode != nullptr ? mode->height : static_cast<int32_t>(params->height);
  apply_size_constraints(app, window, true);
  glfwSetWindowPos(window, app->client_rect[0], app->client_rect[1]);
  glfwMakeContextCurrent(window);
  // Partial frames need the back buffer kept: shown by copying, not swapped.
  // The copy is GLX's; the ES 2 context is shown by swapping only.
  app->copy_sub_buffer = nullptr;
  app->keeps_last_image = params->partial_frames != 0 &&
                                  params->renderer != kApplicationRendererEs2 &&
                                  SetupPartialPresent(app)
                              ? 1
                              : 0;
  // A new context: its first frame is sent in full.
  if (!InitializeGraphics(app)) {
    fprintf(stderr, "Failed to create window... (no OpenGL ES 2 renderer)\n");
    glfwMakeContextCurrent(nullptr);
    glfwDestroyWindow(window);
    return -2;
  }
  // A program that draws on request, or takes no input from the window,
  // keeps the last frame for repaints and snapshots.
  if (params->paint_driven != 0 || app->use_system_events == 0) {
    // FillPixelCache sets the packing of every read itself.
    if (!AllocatePixelCache(app, app->screen_size[0], app->screen_size[1])) {
      fprintf(stderr, "cannot allocate pixel cache.\n");
    }
    if (params->renderer == kApplicationRendererGl1) {
      glPixelTransferi(GL_MAP_COLOR, 0);
      glPixelTransferi(GL_INDEX_SHIFT, 0);
      glPixelTransferi(GL_INDEX_OFFSET, 0);
    }
  }
  glfwSwapInterval(0);
  glfwSetWindowPosCallback(window, on_window_pos);
  glfwSetWindowSizeCallback(window, on_window_size);
  glfwSetFramebufferSizeCallback(window, on_framebuffer_size);
  glfwSetWindowRefreshCallback(window, on_window_refresh);
  glfwSetWindowMaximizeCallback(window, on_window_maximize);
  glfwSetWindowFocusCallback(window, on_window_focus);
  host_glfw::install_input_callbacks(window, on_key);
  glfwSetCursorEnterCallback(window, on_cursor_enter);
  glfwShowWindow(window);
  app->window.store(window);
  if (app->parent == nullptr) SetWindowState(app, app->window_state);
  app->cancelled.store(0);
  return 0;
}

// The close: the preferences are written, the window and its context go,
// GLFW ends, cancelled tells the main loop. A frame in progress may finish
// first.
void close_window(Application* app) {
  const bool locked =
      app->io_mutex_exists != 0 && app->io_mutex.try_lock_for(std::chrono::milliseconds(1000));
  GLFWwindow* window = app->window.load();
  if (window != nullptr) {
    if (app->parent == nullptr) WriteWindowPref(app);
    ReleaseGraphics(app);
    glfwMakeContextCurrent(nullptr);
    glfwDestroyWindow(window);
    app->window.store(nullptr);
  }
  SignalCancelled(app);
  {
    std::lock_guard<std::mutex> lock(app->glfw_lock);
    if (app->glfw_ready != 0) glfwTerminate();
    app->glfw_ready = 0;
  }
  if (locked) app->io_mutex.unlock();
}

// The drawing thread's body: set the window up, report, then wait for
// events; a frame requested by Application_Draw is drawn right after the
// events that woke the thread have been handled.
void ReadMessages(Application* app) {
  quiet_glfw_errors = true;
  last_glfw_error[0] = '\0';
  const bool ok = SetupWindow(app) == 0;
  quiet_glfw_errors = false;
  {
    std::lock_guard<std::mutex> lock(app->ready_mutex);
    app->ready = 1;
    app->window_opened = ok ? 1 : 0;
  }
  app->ready_signal.notify_all();
  while (ok && app->window.load() != nullptr && app->stop_requested.load() == 0) {
    glfwWaitEvents();
    GLFWwindow* window = app->window.load();
    if (glfwWindowShouldClose(window) != 0 || app->stop_requested.load() != 0) break;
    if (app->draw_pending.load() != 0) {
      DisplayScene(app);
      SignalFrameDrawn(app);
    }
  }
  close_window(app);
  bool abandoned = false;
  {
    std::lock_guard<std::mutex> lock(app->thread_lock);
    app->drawing_thread_finished = 1;
    abandoned = app->record_abandoned != 0;
  }
  // Application_Free has come and gone without waiting for this thread.
  if (abandoned) ReleaseRecordMemory(app);
}

}  // namespace

// ---- Geometry as plain numbers -------------------------------------------------------

void Application_KeepAspectWhileSizing(int32_t edge, int32_t rect[4], const int32_t insets[4],
                                       double aspect, int32_t max_width, int32_t max_height) {
  int32_t& left = rect[0];
  int32_t& top = rect[1];
  int32_t& right = rect[2];
  int32_t& bottom = rect[3];
  const int32_t L = insets[0], T = insets[1], R = insets[2], B = insets[3];
  switch (edge) {
    case kSizingLeft:
    case kSizingBottomLeft:
      bottom = static_cast<int32_t>(std::trunc((right - R - left + L) / aspect + (top + B - T)));
      edge = kSizingBottomLeft;
      break;
    case kSizingRight:
    case kSizingBottomRight:
      bottom =
          static_cast<int32_t>(std::trunc((right - R - left + L) / aspect + (top + B + 1 - T)));
      edge = kSizingBottomRight;
      break;
    case kSizingTop:
    case kSizingTopRight:
      right =
          static_cast<int32_t>(std::trunc((bottom - B - top + T) * aspect + (left + R + 1 - L)));
      edge = kSizingTopRight;
      break;
    case kSizingTopLeft:
      top = static_cast<int32_t>(std::trunc((bottom + T - B) - (right - R - left + L) / aspect));
      break;
    case kSizingBottom:
      right =
          static_cast<int32_t>(std::trunc((bottom - B - top + T) * aspect + (left + R + 1 - L)));
      edge = kSizingBottomRight;
      break;
    default:
      return;
  }
  const bool left_side = edge == kSizingBottomLeft || edge == kSizingTopLeft;
  const bool top_side = edge == kSizingTopLeft || edge == kSizingTopRight;
  if (right - left > max_width) {
    if (left_side) {
      left = right - max_width;
    } else {
      right = left + max_width;
    }
  }
  if (bottom - top > max_height) {
    if (top_side) {
      top = bottom - max_height;
    } else {
      bottom = top + max_height;
    }
  }
}

bool Application_CorrectClientSize(int32_t width, int32_t height, int32_t old_width,
                                   int32_t old_height, double aspect, int32_t max_width,
                                   int32_t max_height, int32_t* out_width, int32_t* out_height) {
  *out_width = width;
  *out_height = height;
  const double tolerance = (aspect > 1.0 ? aspect : 1.0) + 1e-6;
  if (std::fabs(width - height * aspect) <= tolerance && width <= max_width &&
      height <= max_height) {
    return false;
  }
  // The client area as a frameless window at the origin, so the rule of an
  // edge being dragged applies as it stands.
  const int32_t no_insets[4] = {0, 0, 0, 0};
  int32_t rect[4] = {0, 0, width, height};
  const int32_t edge =
      width != old_width ? kSizingRight : (height != old_height ? kSizingBottom : kSizingRight);
  Application_KeepAspectWhileSizing(edge, rect, no_insets, aspect, max_width, max_height);
  if (rect[2] <= 0 || rect[3] <= 0) return false;
  *out_width = rect[2];
  *out_height = rect[3];
  return *out_width != width || *out_height != height;
}

namespace {

int64_t overlap(int32_t begin_a, int32_t length_a, int32_t begin_b, int32_t length_b) {
  const int64_t begin = std::max<int64_t>(begin_a, begin_b);
  const int64_t end = std::min<int64_t>(int64_t{begin_a} + length_a, int64_t{begin_b} + length_b);
  return end > begin ? end - begin : 0;
}

// How far a point lies outside an interval, 0 inside.
int64_t distance_outside(int32_t value, int32_t begin, int32_t length) {
  if (value < begin) return int64_t{begin} - value;
  const int64_t last = int64_t{begin} + length - 1;
  return value > last ? value - last : 0;
}

int32_t clamp_into(int32_t value, int32_t length, int32_t begin, int32_t area_length) {
  const int64_t last_start = int64_t{begin} + area_length - length;
  if (last_start < begin || value < begin) return begin;
  return value > last_start ? static_cast<int32_t>(last_start) : value;
}

}  // namespace

void Application_PlaceOnMonitors(const int32_t client_rect[4], const int32_t (*areas)[4],
                                 int32_t area_count, int32_t out_rect[4]) {
  const int32_t rect[4] = {client_rect[0], client_rect[1], client_rect[2], client_rect[3]};
  for (int i = 0; i < 4; ++i) out_rect[i] = rect[i];
  const int64_t need_x = std::min(rect[2], kMinimumVisiblePixels);
  const int64_t need_y = std::min(rect[3], kMinimumVisiblePixels);
  int32_t nearest = -1;
  int64_t nearest_distance = 0;
  for (int32_t i = 0; i < area_count; ++i) {
    const int32_t* area = areas[i];
    if (overlap(rect[0], rect[2], area[0], area[2]) >= need_x &&
        overlap(rect[1], rect[3], area[1], area[3]) >= need_y) {
      return;
    }
    const int64_t dx = distance_outside(rect[0], area[0], area[2]);
    const int64_t dy = distance_outside(rect[1], area[1], area[3]);
    const int64_t distance = dx * dx + dy * dy;
    if (nearest < 0 || distance < nearest_distance) {
      nearest = i;
      nearest_distance = distance;
    }
  }
  if (nearest < 0) return;
  const int32_t* area = areas[nearest];
  out_rect[0] = clamp_into(rect[0], rect[2], area[0], area[2]);
  out_rect[1] = clamp_into(rect[1], rect[3], area[1], area[3]);
}

uint32_t Application_WindowStateRect(uint32_t state, const int32_t client_rect[4],
                                     int32_t screen_width, int32_t screen_height, double aspect,
                                     int32_t out_rect[4]) {
  if (state == kWindowStateWindowed || state == kWindowStateBorderless) {
    for (int i = 0; i < 4; ++i) out_rect[i] = client_rect[i];
    return state;
  }
  out_rect[0] = 0;
  out_rect[1] = 0;
  out_rect[2] = screen_width;
  out_rect[3] = screen_height;
  if (state != kWindowStateFullScreenAspect) return kWindowStateFullScreenStretched;
  const int32_t fitted_width = trunc_ratio(screen_height * aspect);
  const int32_t fitted_height = trunc_ratio(screen_width / aspect);
  if (screen_width > fitted_width) {
    out_rect[0] = (screen_width - fitted_width) / 2;
    out_rect[2] = fitted_width;
  } else if (screen_height <= fitted_height) {
    return kWindowStateFullScreenStretched;  // the screen has the display's own aspect
  } else {
    out_rect[1] = (screen_height - fitted_height) / 2;
    out_rect[3] = fitted_height;
  }
  return kWindowStateFullScreenAspect;
}

// ---- Window states (drawing thread) -----------------------------------------------------

void SetWindowState(Application* app, uint32_t state) {
  GLFWwindow* window = app == nullptr ? nullptr : app->window.load();
  if (window == nullptr || state > kWindowStateFullScreenStretched) return;
  int32_t rect[4];
  const uint32_t applied = Application_WindowStateRect(
      state, app->client_rect, app->screen_size[0], app->screen_size[1], app->aspect_ratio, rect);
  app->window_state = applied;
  // A new frame and size of window: whatever it shows must be drawn again.
  sglInvalidateFrame();
  const bool windowed = applied == kWindowStateWindowed;
  app->window_style = windowed ? 1 : 0;
  glfwSetWindowAttrib(window, GLFW_DECORATED, windowed ? GLFW_TRUE : GLFW_FALSE);
  apply_size_constraints(app, window, windowed);
  // The frame is drawn at the new size at once, whatever order the window
  // system reports the move and the resize in.
  app->client_rect[2] = rect[2];
  app->client_rect[3] = rect[3];
  glfwSetWindowPos(window, rect[0], rect[1]);
  glfwSetWindowSize(window, rect[2], rect[3]);
}

void ToggleFullScreen(Application* app) {
  GLFWwindow* window = app == nullptr ? nullptr : app->window.load();
  if (window == nullptr) return;
  if (app->params->paint_driven != 0) app->draw_pending.store(1);
  switch (app->window_state) {
    case kWindowStateWindowed:
      for (int i = 0; i < 4; ++i) app->saved_rect[i] = app->client_rect[i];
      SetWindowState(app, kWindowStateBorderless);
      break;
    case kWindowStateBorderless:
      SetWindowState(app, kWindowStateFullScreenAspect);
      break;
    case kWindowStateFullScreenAspect:
      SetWindowState(app, kWindowStateFullScreenStretched);
      break;
    default:
      if (app->saved_rect[2] > 0) {
        set_client_rect(app, app->saved_rect[0], app->saved_rect[1], app->saved_rect[2],
                        app->saved_rect[3]);
      } else {
        use_default_place(app);
      }
      SetWindowState(app, kWindowStateWindowed);
      break;
  }
  glfwFocusWindow(window);
}

// ---- Preferences ------------------------------------------------------------------------

void WriteWindowPref(Application* app) {
  if (app == nullptr) return;
  char text[kPreferenceBufferChars];
  snprintf(text, sizeof text, "%dx%dx%dx%d", app->client_rect[0], app->client_rect[1],
           app->client_rect[2], app->client_rect[3]);
  WritePreference(app->module_path, kSection, "Position", text);
  snprintf(text, sizeof text, "%d", static_cast<int>(app->window_state));
  WritePreference(app->module_path, kSection, "State", text);
}

void ReadWindowPref(Application* app) {
  if (app == nullptr) return;
  char text[kPreferenceBufferChars];
  snprintf(text, sizeof text, "%d", 0);
  ReadPreference(app->module_path, kSection, "State", text, sizeof text);
  uint32_t state = 0;
  if (ParseWindowState(text, &state)) app->window_state = state;
  const int32_t width = static_cast<int32_t>(app->params->width);
  const int32_t height = static_cast<int32_t>(app->params->height);
  snprintf(text, sizeof text, "%dx%dx%dx%d", kDefaultPlace, kDefaultPlace, width, height);
  ReadPreference(app->module_path, kSection, "Position", text, sizeof text);
  int32_t* client = app->client_rect;
  if (!ParseWindowPosition(text, &client[0], &client[1], &client[2], &client[3])) {
    use_default_place(app);
    return;
  }
  // A stored size gets the bound and the aspect a resize would give it.
  Application_CorrectClientSize(client[2], client[3], 0, 0, app->aspect_ratio, width, height,
                                &client[2], &client[3]);
}

// ---- Creation and the drawing thread (main thread) ---------------------------------------

void Application_UseNativeGeometry(Application* app) {
  const int32_t width = static_cast<int32_t>(app->params->width);
  const int32_t height = static_cast<int32_t>(app->params->height);
  app->aspect_ratio = static_cast<double>(width) / static_cast<double>(height);
  app->max_outer_size[0] = width;
  app->max_outer_size[1] = height;
  set_client_rect(app, 0, 0, width, height);
}

bool Application_CreateWindow(Application* app, void* parent) {
  if (app == nullptr) return false;
  Application_Reset(app);
  if (app->window.load() != nullptr) return true;
  // A drawing thread still stuck in a silent window system holds GLFW.
  if (app->drawing_thread_stuck != 0) return false;
  app->parent = parent;
  Application_UseNativeGeometry(app);
  if (parent == nullptr) ReadWindowPref(app);
  StopDrawingThread(app);
  StartDrawingThread(app);
  // Whether the window came up, even when the user has closed it already.
  std::lock_guard<std::mutex> lock(app->ready_mutex);
  return app->ready != 0 && app->window_opened != 0;
}

void StartDrawingThread(Application* app) {
  if (app == nullptr) return;
  app->io_mutex_exists = 1;
  app->stop_requested.store(0);
  app->ready = 0;
  app->window_opened = 0;
  app->drawing_thread_finished = 0;
  // std::thread reports a failure to start by an exception, the one place
  // the host meets one.
  try {
    app->drawing_thread = std::thread(ReadMessages, app);
  } catch (const std::system_error&) {
    fprintf(stderr, "cannot create thread.\n");
    app->io_mutex_exists = 0;
    return;
  }
  std::unique_lock<std::mutex> lock(app->ready_mutex);
  if (!app->ready_signal.wait_for(lock, std::chrono::milliseconds(kWindowReadyTimeoutMs),
                                  [app] { return app->ready != 0; })) {
    // A thread cannot be killed safely: it is asked to close whatever it
    // opens and left to itself (StopDrawingThread).
    app->stop_requested.store(1);
    fprintf(stderr, "Graphical Panel Error: Cannot create OpenGL window\n");
  }
}

void StopDrawingThread(Application* app) {
  if (app == nullptr) return;
  if (app->drawing_thread.joinable()) {
    app->stop_requested.store(1);
    bool answered = false;
    {
      std::lock_guard<std::mutex> lock(app->ready_mutex);
      answered = app->ready != 0;
    }
    if (answered) {
      Application_WakeDrawingThread(app);
      app->drawing_thread.join();
    } else {
      app->drawing_thread.detach();
      app->drawing_thread_stuck = 1;
    }
  }
  SignalCancelled(app);
  app->io_mutex_exists = 0;
}

void Application_WakeDrawingThread(Application* app) {
  if (app == nullptr) return;
  std::lock_guard<std::mutex> lock(app->glfw_lock);
  if (app->glfw_ready != 0) glfwPostEmptyEvent();
}
