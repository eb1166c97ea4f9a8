// The window: GLFW on X11, owned by the drawing thread together with its
// OpenGL context, its event loop and every frame; the four window states, the
// aspect ratio kept while resizing, and the window preferences.
//
// Every GLFW call below runs on the drawing thread, except glfwPostEmptyEvent
// in Application_WakeDrawingThread, which GLFW allows from any thread while
// it is initialised (glfw_lock keeps that window open).
#include "host/host_application.h"
#include "host/host_preferences.h"

#define GLFW_INCLUDE_NONE
#include <GL/gl.h>
#include <GLFW/glfw3.h>

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

constexpr char kSection[] = "Window";

// Truncation towards zero of a ratio product, with products that miss a
// whole number only by floating-point noise taken as that number, so that an
// exact fit (a 1280 x 768 screen for a 1280 x 768 display) is seen as one.
int32_t TruncRatio(double value) {
  const double nearest = std::round(value);
  if (std::fabs(value - nearest) < 1e-6) value = nearest;
  return static_cast<int32_t>(std::trunc(value));
}

void SetClientRect(Application* app, int32_t x, int32_t y, int32_t width, int32_t height) {
  app->client_rect[0] = x;
  app->client_rect[1] = y;
  app->client_rect[2] = width;
  app->client_rect[3] = height;
}

// A window with no stored place, or one coming back from full screen with
// none saved: the native size, a little off the screen's corner.
constexpr int32_t kDefaultPlace = 50;
void UseDefaultPlace(Application* app) {
  SetClientRect(app, kDefaultPlace, kDefaultPlace, app->max_outer_size[0], app->max_outer_size[1]);
}

Application* RecordOf(GLFWwindow* window) {
  return static_cast<Application*>(glfwGetWindowUserPointer(window));
}

int CurrentModifiers(GLFWwindow* window) {
  int mods = 0;
  if (glfwGetKey(window, GLFW_KEY_LEFT_SHIFT) == GLFW_PRESS ||
      glfwGetKey(window, GLFW_KEY_RIGHT_SHIFT) == GLFW_PRESS) {
    mods |= GLFW_MOD_SHIFT;
  }
  if (glfwGetKey(window, GLFW_KEY_LEFT_CONTROL) == GLFW_PRESS ||
      glfwGetKey(window, GLFW_KEY_RIGHT_CONTROL) == GLFW_PRESS) {
    mods |= GLFW_MOD_CONTROL;
  }
  return mods;
}

// Windowed: the aspect ratio and the native size as the largest client
// area, as hints to the window manager. The other states lift both so that
// the window can cover the screen.
void ApplySizeConstraints(Application* app, GLFWwindow* window, bool windowed) {
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
// window manager), the size is corrected here by the rounding rule of an edge
// being dragged, bounded by the native size: the width decides when it
// changed, else the height. A size already within that rounding and bound is
// left alone, so the correction settles after one step.
void KeepAspect(Application* app, GLFWwindow* window, int32_t old_width, int32_t old_height) {
  const int32_t width = app->client_rect[2];
  const int32_t height = app->client_rect[3];
  const double aspect = app->aspect_ratio;
  const double tolerance = (aspect > 1.0 ? aspect : 1.0) + 1e-6;
  const int32_t* insets = app->frame_insets;
  const int32_t max_width = app->max_outer_size[0] - (insets[2] - insets[0]);
  const int32_t max_height = app->max_outer_size[1] - (insets[3] - insets[1]);
  if (std::fabs(width - height * aspect) <= tolerance && width <= max_width && height <= max_height)
    return;
  int32_t rect[4] = {app->client_rect[0] + insets[0], app->client_rect[1] + insets[1],
                     app->client_rect[0] + width + insets[2],
                     app->client_rect[1] + height + insets[3]};
  const int32_t edge =
      width != old_width ? SIZING_RIGHT : (height != old_height ? SIZING_BOTTOM : SIZING_RIGHT);
  Application_KeepAspectWhileSizing(edge, rect, insets, aspect, app->max_outer_size[0],
                                    app->max_outer_size[1]);
  const int32_t new_width = (rect[2] - insets[2]) - (rect[0] - insets[0]);
  const int32_t new_height = (rect[3] - insets[3]) - (rect[1] - insets[1]);
  if (new_width > 0 && new_height > 0 && (new_width != width || new_height != height)) {
    glfwSetWindowSize(window, new_width, new_height);
  }
}

// ---- GLFW callbacks (drawing thread) ----------------------------------------------

// After a move, a resize or activation: paint-driven drawing asks for a
// frame; otherwise the last frame is shown again from the pixel cache, when
// there is one and no frame is on its way.
void Repaint(Application* app, GLFWwindow* window) {
  if (app->params->paint_driven != 0) {
    app->draw_pending.store(1);
  } else if (app->draw_pending.load() == 0 && app->pixel_cache != nullptr) {
    DrawPixelCache(app);
    glfwSwapBuffers(window);
  }
}

void OnWindowFocus(GLFWwindow* window, int focused) {
  Application* app = RecordOf(window);
  if (app != nullptr && focused != 0) Repaint(app, window);
}

void OnWindowPos(GLFWwindow* window, int x, int y) {
  Application* app = RecordOf(window);
  // Positions at the screen's edge or beyond are not remembered, nor those of
  // a minimised window.
  if (app == nullptr || glfwGetWindowAttrib(window, GLFW_ICONIFIED) != 0 || x < 1 || y < 1) return;
  app->client_rect[0] = x;
  app->client_rect[1] = y;
  if (app->parent == nullptr) WriteWindowPref(app);
  Repaint(app, window);
}

void OnWindowSize(GLFWwindow* window, int width, int height) {
  Application* app = RecordOf(window);
  if (app == nullptr || glfwGetWindowAttrib(window, GLFW_ICONIFIED) != 0 || width <= 0 ||
      height <= 0)
    return;
  const int32_t old_width = app->client_rect[2];
  const int32_t old_height = app->client_rect[3];
  app->client_rect[2] = width;
  app->client_rect[3] = height;
  if (app->parent == nullptr) WriteWindowPref(app);
  if (app->window_state == WINDOW_STATE_WINDOWED) KeepAspect(app, window, old_width, old_height);
  Repaint(app, window);
}

void OnWindowMaximize(GLFWwindow* window, int maximized) {
  Application* app = RecordOf(window);
  if (app == nullptr || maximized == 0) return;
  // Maximising gives the display's native client size at the window's
  // place rather than filling the screen.
  glfwRestoreWindow(window);
  glfwSetWindowSize(window, static_cast<int>(app->params->width),
                    static_cast<int>(app->params->height));
}

void OnKey(GLFWwindow* window, int key, int /*scancode*/, int action, int mods) {
  Application* app = RecordOf(window);
  if (app == nullptr) return;
  Application_OnKey(app, key, action, mods);
  if (key == GLFW_KEY_F11 && action == GLFW_PRESS && app->parent == nullptr) ToggleFullScreen(app);
}

void OnCharacter(GLFWwindow* window, unsigned int codepoint) {
  Application* app = RecordOf(window);
  if (app != nullptr) Application_OnCharacter(app, codepoint);
}

void OnMouseButton(GLFWwindow* window, int button, int action, int mods) {
  Application* app = RecordOf(window);
  if (app != nullptr) Application_OnMouseButton(app, button, action, mods);
}

void OnScroll(GLFWwindow* window, double /*x_offset*/, double y_offset) {
  Application* app = RecordOf(window);
  if (app != nullptr) Application_OnScroll(app, y_offset, CurrentModifiers(window));
}

void OnCursorPos(GLFWwindow* window, double x, double y) {
  Application* app = RecordOf(window);
  if (app != nullptr) Application_OnCursorPos(app, x, y);
}

void OnCursorEnter(GLFWwindow* window, int entered) {
  Application* app = RecordOf(window);
  if (app != nullptr && entered == 0) app->cursor_shown = 0;
}

void OnGlfwError(int code, const char* description) {
  fprintf(stderr, "GLFW error %d: %s\n", code, description);
}

// ---- The drawing thread -------------------------------------------------------------

void SignalReady(Application* app) {
  std::lock_guard<std::mutex> lock(app->ready_mutex);
  app->ready = 1;
  app->ready_signal.notify_all();
}

// Opens the window and its context on the drawing thread. 0, or -2 when no
// window could be made.
int SetupWindow(Application* app) {
  const ApplicationParams* params = app->params;
  glfwSetErrorCallback(OnGlfwError);
  {
    std::lock_guard<std::mutex> lock(app->glfw_lock);
    if (glfwInit() != GLFW_TRUE) {
      fprintf(stderr, "Failed to create window...\n");
      return -2;
    }
    app->glfw_ready = 1;
  }
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
  GLFWwindow* window =
      glfwCreateWindow(app->client_rect[2], app->client_rect[3], params->name, nullptr, nullptr);
  if (window == nullptr) {
    fprintf(stderr, "Failed to create window...\n");
    std::lock_guard<std::mutex> lock(app->glfw_lock);
    app->glfw_ready = 0;
    glfwTerminate();
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
  ApplySizeConstraints(app, window, true);
  glfwSetWindowPos(window, app->client_rect[0], app->client_rect[1]);
  glfwMakeContextCurrent(window);
  InitializeGraphics(app);
  // A program that draws on request, or takes no input from the window,
  // keeps the last frame for repaints and snapshots.
  if (params->paint_driven != 0 || app->use_system_events == 0) {
    // FillPixelCache sets the packing of every read itself.
    if (!AllocatePixelCache(app, app->screen_size[0], app->screen_size[1])) {
      fprintf(stderr, "cannot allocate pixel cache.\n");
    }
    glPixelTransferi(GL_MAP_COLOR, 0);
    glPixelTransferi(GL_INDEX_SHIFT, 0);
    glPixelTransferi(GL_INDEX_OFFSET, 0);
  }
  glfwSwapInterval(0);
  glfwSetWindowPosCallback(window, OnWindowPos);
  glfwSetWindowSizeCallback(window, OnWindowSize);
  glfwSetWindowMaximizeCallback(window, OnWindowMaximize);
  glfwSetWindowFocusCallback(window, OnWindowFocus);
  glfwSetKeyCallback(window, OnKey);
  glfwSetCharCallback(window, OnCharacter);
  glfwSetMouseButtonCallback(window, OnMouseButton);
  glfwSetScrollCallback(window, OnScroll);
  glfwSetCursorPosCallback(window, OnCursorPos);
  glfwSetCursorEnterCallback(window, OnCursorEnter);
  glfwShowWindow(window);
  app->window.store(window);
  if (app->parent == nullptr) SetWindowState(app, app->window_state);
  app->cancelled.store(0);
  return 0;
}

// The close: the preferences are written, the window and its context go,
// cancelled tells the main loop. A frame in progress may finish first.
void CloseWindow(Application* app) {
  const bool locked =
      app->io_mutex_exists != 0 && app->io_mutex.try_lock_for(std::chrono::milliseconds(1000));
  GLFWwindow* window = app->window.load();
  if (window != nullptr) {
    if (app->parent == nullptr) WriteWindowPref(app);
    glfwMakeContextCurrent(nullptr);
    glfwDestroyWindow(window);
    app->window.store(nullptr);
  }
  app->cancelled.store(1);
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
void* ReadMessages(void* argument) {
  Application* app = static_cast<Application*>(argument);
  const bool ok = SetupWindow(app) == 0;
  SignalReady(app);
  if (!ok) return nullptr;
  while (app->window.load() != nullptr && app->stop_requested.load() == 0) {
    glfwWaitEvents();
    GLFWwindow* window = app->window.load();
    if (glfwWindowShouldClose(window) != 0 || app->stop_requested.load() != 0) break;
    if (app->draw_pending.load() != 0) {
      DisplayScene(app);
      app->draw_pending.store(0);
    }
  }
  CloseWindow(app);
  return nullptr;
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
    case SIZING_LEFT:
    case SIZING_BOTTOM_LEFT:
      bottom = static_cast<int32_t>(std::trunc((right - R - left + L) / aspect + (top + B - T)));
      edge = SIZING_BOTTOM_LEFT;
      break;
    case SIZING_RIGHT:
    case SIZING_BOTTOM_RIGHT:
      bottom =
          static_cast<int32_t>(std::trunc((right - R - left + L) / aspect + (top + B + 1 - T)));
      edge = SIZING_BOTTOM_RIGHT;
      break;
    case SIZING_TOP:
    case SIZING_TOP_RIGHT:
      right =
          static_cast<int32_t>(std::trunc((bottom - B - top + T) * aspect + (left + R + 1 - L)));
      edge = SIZING_TOP_RIGHT;
      break;
    case SIZING_TOP_LEFT:
      top = static_cast<int32_t>(std::trunc((bottom + T - B) - (right - R - left + L) / aspect));
      break;
    case SIZING_BOTTOM:
      right =
          static_cast<int32_t>(std::trunc((bottom - B - top + T) * aspect + (left + R + 1 - L)));
      edge = SIZING_BOTTOM_RIGHT;
      break;
    default:
      return;
  }
  const bool left_side = edge == SIZING_BOTTOM_LEFT || edge == SIZING_TOP_LEFT;
  const bool top_side = edge == SIZING_TOP_LEFT || edge == SIZING_TOP_RIGHT;
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

uint32_t Application_WindowStateRect(uint32_t state, const int32_t client_rect[4],
                                     int32_t screen_width, int32_t screen_height, double aspect,
                                     int32_t out_rect[4]) {
  if (state == WINDOW_STATE_WINDOWED || state == WINDOW_STATE_BORDERLESS) {
    for (int i = 0; i < 4; ++i) out_rect[i] = client_rect[i];
    return state;
  }
  out_rect[0] = 0;
  out_rect[1] = 0;
  out_rect[2] = screen_width;
  out_rect[3] = screen_height;
  if (state != WINDOW_STATE_FULL_SCREEN_ASPECT) return WINDOW_STATE_FULL_SCREEN_STRETCHED;
  const int32_t fitted_width = TruncRatio(screen_height * aspect);
  const int32_t fitted_height = TruncRatio(screen_width / aspect);
  if (screen_width > fitted_width) {
    out_rect[0] = (screen_width - fitted_width) / 2;
    out_rect[2] = fitted_width;
  } else if (screen_height <= fitted_height) {
    return WINDOW_STATE_FULL_SCREEN_STRETCHED;  // the screen has the display's own aspect
  } else {
    out_rect[1] = (screen_height - fitted_height) / 2;
    out_rect[3] = fitted_height;
  }
  return WINDOW_STATE_FULL_SCREEN_ASPECT;
}

// ---- Window states (drawing thread) -----------------------------------------------------

void SetWindowState(Application* app, uint32_t state) {
  GLFWwindow* window = app == nullptr ? nullptr : app->window.load();
  if (window == nullptr || state > WINDOW_STATE_FULL_SCREEN_STRETCHED) return;
  int32_t rect[4];
  const uint32_t applied = Application_WindowStateRect(
      state, app->client_rect, app->screen_size[0], app->screen_size[1], app->aspect_ratio, rect);
  app->window_state = applied;
  const bool windowed = applied == WINDOW_STATE_WINDOWED;
  app->window_style = windowed ? 1 : 0;
  glfwSetWindowAttrib(window, GLFW_DECORATED, windowed ? GLFW_TRUE : GLFW_FALSE);
  ApplySizeConstraints(app, window, windowed);
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
    case WINDOW_STATE_WINDOWED:
      for (int i = 0; i < 4; ++i) app->saved_rect[i] = app->client_rect[i];
      SetWindowState(app, WINDOW_STATE_BORDERLESS);
      break;
    case WINDOW_STATE_BORDERLESS:
      SetWindowState(app, WINDOW_STATE_FULL_SCREEN_ASPECT);
      break;
    case WINDOW_STATE_FULL_SCREEN_ASPECT:
      SetWindowState(app, WINDOW_STATE_FULL_SCREEN_STRETCHED);
      break;
    default:
      if (app->saved_rect[2] > 0) {
        SetClientRect(app, app->saved_rect[0], app->saved_rect[1], app->saved_rect[2],
                      app->saved_rect[3]);
      } else {
        UseDefaultPlace(app);
      }
      SetWindowState(app, WINDOW_STATE_WINDOWED);
      break;
  }
  glfwFocusWindow(window);
}

// ---- Preferences ------------------------------------------------------------------------

void WriteWindowPref(Application* app) {
  if (app == nullptr) return;
  char text[PREFERENCE_BUFFER_CHARS];
  snprintf(text, sizeof text, "%dx%dx%dx%d", app->client_rect[0], app->client_rect[1],
           app->client_rect[2], app->client_rect[3]);
  WritePreference(app->module_path, kSection, "Position", text);
  snprintf(text, sizeof text, "%d", static_cast<int>(app->window_state));
  WritePreference(app->module_path, kSection, "State", text);
}

void ReadWindowPref(Application* app) {
  if (app == nullptr) return;
  char text[PREFERENCE_BUFFER_CHARS];
  snprintf(text, sizeof text, "%d", 0);
  ReadPreference(app->module_path, kSection, "State", text, sizeof text);
  uint32_t state = 0;
  if (ParseWindowState(text, &state)) app->window_state = state;
  const int32_t width = static_cast<int32_t>(app->params->width);
  const int32_t height = static_cast<int32_t>(app->params->height);
  snprintf(text, sizeof text, "%dx%dx%dx%d", kDefaultPlace, kDefaultPlace, width, height);
  ReadPreference(app->module_path, kSection, "Position", text, sizeof text);
  int32_t* client = app->client_rect;
  if (!ParseWindowPosition(text, &client[0], &client[1], &client[2], &client[3]))
    UseDefaultPlace(app);
}

// ---- Creation and the drawing thread (main thread) ---------------------------------------

void Application_UseNativeGeometry(Application* app) {
  const int32_t width = static_cast<int32_t>(app->params->width);
  const int32_t height = static_cast<int32_t>(app->params->height);
  app->aspect_ratio = static_cast<double>(width) / static_cast<double>(height);
  app->max_outer_size[0] = width;
  app->max_outer_size[1] = height;
  SetClientRect(app, 0, 0, width, height);
}

bool Application_CreateWindow(Application* app, void* parent) {
  if (app == nullptr) return false;
  Application_Reset(app);
  if (app->window.load() != nullptr) return true;
  app->parent = parent;
  Application_UseNativeGeometry(app);
  if (parent == nullptr) ReadWindowPref(app);
  StopDrawingThread(app);
  StartDrawingThread(app);
  return app->window.load() != nullptr;
}

void StartDrawingThread(Application* app) {
  if (app == nullptr) return;
  app->io_mutex_exists = 1;
  app->stop_requested.store(0);
  {
    std::lock_guard<std::mutex> lock(app->ready_mutex);
    app->ready = 0;
  }
  if (pthread_create(&app->drawing_thread, nullptr, ReadMessages, app) != 0) {
    fprintf(stderr, "cannot create thread.\n");
    app->io_mutex_exists = 0;
    return;
  }
  app->drawing_thread_exists = 1;
  std::unique_lock<std::mutex> lock(app->ready_mutex);
  if (!app->ready_signal.wait_for(lock, std::chrono::seconds(10),
                                  [app] { return app->ready != 0; })) {
    // A thread cannot be killed safely; it is asked to close whatever it
    // opens and is joined when the application is freed.
    app->stop_requested.store(1);
    fprintf(stderr, "Graphical Panel Error: Cannot create OpenGL window\n");
  }
}

void StopDrawingThread(Application* app) {
  if (app == nullptr) return;
  if (app->drawing_thread_exists != 0) {
    app->stop_requested.store(1);
    Application_WakeDrawingThread(app);
    pthread_join(app->drawing_thread, nullptr);
    app->drawing_thread_exists = 0;
  }
  app->cancelled.store(1);
  app->io_mutex_exists = 0;
}

void Application_WakeDrawingThread(Application* app) {
  if (app == nullptr) return;
  std::lock_guard<std::mutex> lock(app->glfw_lock);
  if (app->glfw_ready != 0) glfwPostEmptyEvent();
}
