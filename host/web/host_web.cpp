// The application host in a browser page (built with emscripten only): the
// window is the page's canvas with a WebGL 1 context, made through
// emscripten's GLFW, and the page has one thread, so Application_Draw draws
// each frame on the calling thread (the page's animation frames, see
// app/web/Velkor_web_main.cpp). Input arrives through the same GLFW
// callbacks as on the desktop and lands in the same queues. The window
// preference (full screen or not) lives in the browser's local storage.
//
// What the desktop's window file does with a drawing thread, a window
// manager and monitors has no counterpart here: there is no thread to start
// or stop, the page lays the canvas out, and full screen is the browser's
// (the page's button or F11, which call Application_WebFullScreenChanged).
#include <emscripten.h>

#include <cstdio>
#include <cstring>

#include "host/host_internal.h"
#include "host/host_preferences.h"
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "host/host_glfw_input_internal.h"

namespace {

using host_glfw::record_of;

constexpr char kStateKey[] = "velkor.Window.State";

void on_key(GLFWwindow* window, int key, int /*scancode*/, int action, int mods) {
  Application* app = record_of(window);
  if (app != nullptr) Application_OnKey(app, key, action, mods);
}

void on_glfw_error(int code, const char* description) {
  fprintf(stderr, "GLFW error %d: %s\n", code, description);
}

}  // namespace

// The browser's local storage: a value of at most size - 1 bytes, "" when
// there is none or storage is refused (a private window may refuse it).
EM_JS(void, velkor_web_storage_get, (const char* key, char* out, int size), {
  var value = "";
  try {
    value = window.localStorage.getItem(UTF8ToString(key)) || "";
  } catch (e) {
  }
  stringToUTF8(value, out, size);
});

EM_JS(void, velkor_web_storage_set, (const char* key, const char* value), {
  try {
    window.localStorage.setItem(UTF8ToString(key), UTF8ToString(value));
  } catch (e) {
  }
});

void WriteWindowPref(Application* app) {
  if (app == nullptr) return;
  char text[16];
  snprintf(text, sizeof text, "%d", static_cast<int>(app->window_state));
  velkor_web_storage_set(kStateKey, text);
}

void ReadWindowPref(Application* app) {
  if (app == nullptr) return;
  char text[16] = "";
  velkor_web_storage_get(kStateKey, text, sizeof text);
  uint32_t state = 0;
  // Windowed or full screen keeping the aspect: the page has no other state.
  if (ParseWindowState(text, &state)) {
    app->window_state =
        state == kWindowStateWindowed ? kWindowStateWindowed : kWindowStateFullScreenAspect;
  }
}

void Application_UseNativeGeometry(Application* app) {
  const int32_t width = static_cast<int32_t>(app->params->width);
  const int32_t height = static_cast<int32_t>(app->params->height);
  app->aspect_ratio = static_cast<double>(width) / static_cast<double>(height);
  app->max_outer_size[0] = width;
  app->max_outer_size[1] = height;
  app->client_rect[0] = 0;
  app->client_rect[1] = 0;
  app->client_rect[2] = width;
  app->client_rect[3] = height;
  app->screen_size[0] = width;
  app->screen_size[1] = height;
}

bool Application_CreateWindow(Application* app, void* parent) {
  if (app == nullptr) return false;
  Application_Reset(app);
  if (app->window.load() != nullptr) return true;
  app->parent = parent;
  Application_UseNativeGeometry(app);
  ReadWindowPref(app);
  const ApplicationParams* params = app->params;
  glfwSetErrorCallback(on_glfw_error);
  if (glfwInit() != GLFW_TRUE) {
    fprintf(stderr, "Graphical Panel Error: Cannot create OpenGL window\n");
    SignalCancelled(app);
    return false;
  }
  glfwDefaultWindowHints();
  // WebGL 1 without antialiasing (the renderer does its own) and opaque:
  // the frame's clear colour has alpha 0, which must not show the page.
  glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_ES_API);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
  glfwWindowHint(GLFW_ALPHA_BITS, 0);
  glfwWindowHint(GLFW_DEPTH_BITS, 16);
  glfwWindowHint(GLFW_STENCIL_BITS, 8);
  glfwWindowHint(GLFW_SAMPLES, 0);
  GLFWwindow* window =
      glfwCreateWindow(static_cast<int>(params->width), static_cast<int>(params->height),
                       params->name, nullptr, nullptr);
  if (window == nullptr) {
    fprintf(stderr, "Graphical Panel Error: Cannot create OpenGL window (no WebGL)\n");
    SignalCancelled(app);
    return false;
  }
  glfwSetWindowUserPointer(window, app);
  glfwMakeContextCurrent(window);
  if (!InitializeGraphics(app)) {
    fprintf(stderr, "Failed to create window... (no OpenGL ES 2 renderer)\n");
    glfwDestroyWindow(window);
    SignalCancelled(app);
    return false;
  }
  host_glfw::install_input_callbacks(window, on_key);
  app->caller_draws = 1;
  app->window.store(window);
  app->cancelled.store(0);
  return true;
}

// No drawing thread runs in a page: stopping it means the window has gone.
void StopDrawingThread(Application* app) {
  if (app == nullptr) return;
  GLFWwindow* window = app->window.load();
  if (window != nullptr) {
    WriteWindowPref(app);
    ReleaseGraphics(app);
    app->window.store(nullptr);
    glfwDestroyWindow(window);
  }
  SignalCancelled(app);
}

// Application_Draw draws on the caller in a page; nobody waits to be woken.
void Application_WakeDrawingThread(Application* /*app*/) {}

// The page reports the browser's full screen; the next visit remembers it.
extern "C" EMSCRIPTEN_KEEPALIVE void Application_WebFullScreenChanged(Application* app, int on) {
  if (app == nullptr) return;
  app->window_state = on != 0 ? kWindowStateFullScreenAspect : kWindowStateWindowed;
  WriteWindowPref(app);
  // A newly laid out canvas shows whatever it held: the next frame is drawn
  // in full.
  sglInvalidateFrame();
}

// Frames that changed the picture so far: the page tells idle frames (the
// picture stood) from busy ones by it.
extern "C" EMSCRIPTEN_KEEPALIVE uint32_t Application_WebFramesSent(Application* app) {
  return app == nullptr ? 0 : app->frames_sent;
}
