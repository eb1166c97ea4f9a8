// Showing a window's frame: the changed rectangles copied from the back
// buffer to the window, or the buffers swapped.
//
// A partial frame redraws only its rectangles, so the back buffer must still
// hold the last frame when the next one is drawn. A swap leaves the back
// buffer undefined (GLX promises nothing, and GLX_EXT_buffer_age, which would
// say what it holds, is not offered by Mesa's software renderer under Xvfb).
// GLX_MESA_copy_sub_buffer copies a rectangle of the back buffer to the
// window and leaves the back buffer as it is: with it every frame is shown
// by copying, whole frames as one rectangle. GLFW offers neither call, so
// they are GLX's own, on the display and drawable of the current context.
// Without the extension frames are swapped and partial frames stay off.
// The browser's canvas has no GLX: its frames are swapped, always whole.
#include "host/host_internal.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#ifdef __EMSCRIPTEN__

bool SetupPartialPresent(Application* app) {
  app->copy_sub_buffer = nullptr;
  return false;
}

void PresentFrame(Application*, GLFWwindow* window) {
  glfwSwapBuffers(window);
}

#else

#include <GL/gl.h>
#include <GL/glx.h>

namespace {

using CopySubBuffer = void (*)(Display* display, GLXDrawable drawable, int x, int y, int width,
                               int height);

}  // namespace

bool SetupPartialPresent(Application* app) {
  app->copy_sub_buffer = nullptr;
  app->present_display = glXGetCurrentDisplay();
  app->present_drawable = glXGetCurrentDrawable();
  if (app->present_display == nullptr || app->present_drawable == 0 ||
      glfwExtensionSupported("GLX_MESA_copy_sub_buffer") != GLFW_TRUE) {
    return false;
  }
  const auto copy = reinterpret_cast<CopySubBuffer>(
      glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
  if (copy == nullptr) return false;
  app->copy_sub_buffer = reinterpret_cast<void*>(copy);
  return true;
}

void PresentFrame(Application* app, GLFWwindow* window) {
  const auto copy = reinterpret_cast<CopySubBuffer>(app->copy_sub_buffer);
  if (copy == nullptr) {
    glfwSwapBuffers(window);
    return;
  }
  Display* display = static_cast<Display*>(app->present_display);
  const GLXDrawable drawable = app->present_drawable;
  const sgl_frame_damage* damage = sglGetFrameDamage();
  if (damage->whole) {
    int framebuffer_width = 0;
    int framebuffer_height = 0;
    glfwGetFramebufferSize(window, &framebuffer_width, &framebuffer_height);
    copy(display, drawable, 0, 0, framebuffer_width, framebuffer_height);
    return;
  }
  // A partial frame has the size of the one before (a new size is drawn
  // whole): the client size, known without asking the X server.
  const int width = app->client_rect[2];
  const int height = app->client_rect[3];
  for (uint32_t i = 0; i < damage->count; ++i) {
    const sgl_pixel_rect& r = damage->rects[i];
    const int x0 = r.x > 0 ? r.x : 0;
    const int y0 = r.y > 0 ? r.y : 0;
    const int x1 = r.x + r.width < width ? r.x + r.width : width;
    const int y1 = r.y + r.height < height ? r.y + r.height : height;
    // Origin at the lower left, as OpenGL's.
    if (x1 > x0 && y1 > y0) copy(display, drawable, x0, y0, x1 - x0, y1 - y0);
  }
}

#endif  // __EMSCRIPTEN__
