// The GLFW input callbacks the desktop window and the browser canvas share:
// each hands its event to the application record the window carries, with
// the modifier keys GLFW leaves out of a scroll. Only the two window files
// include this; the key callback stays in each, since only the desktop
// window knows F11.
#pragma once

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "host/host_internal.h"

namespace host_glfw {

inline Application* record_of(GLFWwindow* window) {
  return static_cast<Application*>(glfwGetWindowUserPointer(window));
}

inline int current_modifiers(GLFWwindow* window) {
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

inline void on_character(GLFWwindow* window, unsigned int codepoint) {
  Application* app = record_of(window);
  if (app != nullptr) Application_OnCharacter(app, codepoint);
}

inline void on_mouse_button(GLFWwindow* window, int button, int action, int mods) {
  Application* app = record_of(window);
  if (app != nullptr) Application_OnMouseButton(app, button, action, mods);
}

inline void on_scroll(GLFWwindow* window, double /*x_offset*/, double y_offset) {
  Application* app = record_of(window);
  if (app != nullptr) Application_OnScroll(app, y_offset, current_modifiers(window));
}

// GLFW hands the position in the window's (or canvas's) own pixels.
inline void on_cursor_pos(GLFWwindow* window, double x, double y) {
  Application* app = record_of(window);
  if (app != nullptr) Application_OnCursorPos(app, x, y);
}

// Installs the four shared callbacks beside the caller's key callback.
inline void install_input_callbacks(GLFWwindow* window, GLFWkeyfun on_key) {
  glfwSetKeyCallback(window, on_key);
  glfwSetCharCallback(window, on_character);
  glfwSetMouseButtonCallback(window, on_mouse_button);
  glfwSetScrollCallback(window, on_scroll);
  glfwSetCursorPosCallback(window, on_cursor_pos);
}

}  // namespace host_glfw
