// Input without a window: the queues, GLFW's callbacks turned into events,
// positions in display units, touches and the cursor callback.
#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <string>

#include "host/host_internal.h"
#include "tests/host/stand_in_layer.h"

namespace {

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    app = Application_Allocate(&stand_in.params, nullptr);
    ASSERT_NE(nullptr, app);
    Application_UseSystemEvents(app, 1);
    const int32_t native_window_at_50[4] = {50, 50, 1280, 768};
    for (int i = 0; i < 4; ++i) app->client_rect[i] = native_window_at_50[i];
  }
  void TearDown() override { Application_Free(app); }

  std::string next_key() {
    PopKeyboardEvent(app);
    return host_test::Describe(&app->keyboard_contexts[0]);
  }
  std::string next_pointer() {
    PopMouseEvent(app);
    return host_test::Describe(&app->pointer_contexts[0]);
  }

  host_test::StandIn stand_in;
  Application* app = nullptr;
};

std::string key_line(uint32_t key, int pressed, int released, int mods) {
  return "keyboard id=0 key=" + std::to_string(key) + " pressed=" + std::to_string(pressed) +
         " released=" + std::to_string(released) + " mods=" + std::to_string(mods);
}

const std::string kNoKey = key_line(0, 0, 0, 0);

TEST_F(Input, AQueueKeepsItsOrderAcrossItsEndAndDropsThe1025thEvent) {
  for (uint32_t key = 1; key <= 700; ++key) RecordKeyboardEvent(app, key, kKeyStateDown, 0);
  for (uint32_t key = 1; key <= 700; ++key) ASSERT_EQ(key_line(key, 1, 0, 0), next_key());
  // The next 1024 wrap around the end of the ring; the 1025th finds it full.
  for (uint32_t key = 1; key <= 1025; ++key) RecordKeyboardEvent(app, key, kKeyStateDown, 0);
  EXPECT_EQ(kApplicationQueueSize, app->keyboard_queue.count);
  for (uint32_t key = 1; key <= 1024; ++key) ASSERT_EQ(key_line(key, 1, 0, 0), next_key());
  EXPECT_EQ(kNoKey, next_key());
}

TEST_F(Input, AFrameWithoutEventsShowsTheMouseAndNoKey) {
  RecordKeyboardEvent(app, 'a', kKeyStateDown, 1);
  RecordMouseEvent(app, 3, kKeyStateDown, 2, 0);
  next_key();
  next_pointer();
  RecordMousePos(app, 12.5, 700.25);
  EXPECT_EQ(kNoKey, next_key());
  EXPECT_EQ("pointer id=0 x=12.5 y=700.25 button=0 pressed=0 released=0 mods=0", next_pointer());
  Application_UseSystemEvents(app, 0);  // no system input: nothing is recorded
  RecordKeyboardEvent(app, 'a', kKeyStateDown, 0);
  RecordMouseEvent(app, 1, kKeyStateDown, 0, 0);
  EXPECT_EQ(0, app->keyboard_queue.count + app->pointer_queue.count);
}

TEST_F(Input, ButtonsAndTheWheelWithTheirModifiersAndPositions) {
  Application_OnCursorPos(app, 10, 10);
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
  Application_OnCursorPos(app, 600, 300);  // each event keeps the position of its time
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, GLFW_MOD_ALT);
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, GLFW_MOD_SHIFT);
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_MIDDLE, GLFW_RELEASE,
                            GLFW_MOD_CONTROL | GLFW_MOD_SHIFT);
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_4, GLFW_PRESS, 0);  // no such button here
  // The wheel presses without a release: 4 away from the user, 5 towards.
  Application_OnScroll(app, 1.0, 0);
  Application_OnScroll(app, -2.0, GLFW_MOD_SHIFT);
  Application_OnScroll(app, 0.0, 0);  // sideways only
  const char* const expected[] = {
      "pointer id=0 x=10 y=758 button=1 pressed=1 released=0 mods=0",
      "pointer id=0 x=600 y=468 button=1 pressed=0 released=1 mods=0",
      "pointer id=0 x=600 y=468 button=2 pressed=1 released=0 mods=1",
      "pointer id=0 x=600 y=468 button=3 pressed=0 released=1 mods=3",
      "pointer id=0 x=600 y=468 button=4 pressed=1 released=0 mods=0",
      "pointer id=0 x=600 y=468 button=5 pressed=1 released=0 mods=1",
      "pointer id=0 x=600 y=468 button=0 pressed=0 released=0 mods=0",
  };
  for (const char* line : expected) EXPECT_EQ(line, next_pointer());
}

// The same scale both ways: the pointer's position read from the window and a
// widget's request to move the pointer.
TEST_F(Input, ClientPixelsAndDisplayUnitsWithYUpwards) {
  const struct {
    int32_t width, height;
    double cx, cy, x, y;
  } cases[] = {
      {1280, 768, 0, 0, 0, 768},  // top-left corner of a native-size window
      {1280, 768, 1280, 768, 1280, 0},
      {640, 384, 320, 192, 640, 384},  // half size: everything doubles
      {640, 384, 640, 0, 1280, 768},
      {1920, 1080, 960, 0, 640, 768},  // stretched full screen
      {0, 1080, 5, 5, 640, 768},       // an empty client area keeps the last position
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    app->client_rect[2] = c.width;
    app->client_rect[3] = c.height;
    Application_OnCursorPos(app, c.cx, c.cy);
    EXPECT_DOUBLE_EQ(c.x, Application_GetMousePosX(app));
    EXPECT_DOUBLE_EQ(c.y, Application_GetMousePosY(app));
    double cx = -1.0, cy = -1.0;
    EXPECT_EQ(c.width > 0, Application_DisplayToClient(app, c.x, c.y, &cx, &cy));
    if (c.width > 0) {
      EXPECT_EQ(std::to_string(c.cx) + "," + std::to_string(c.cy),
                std::to_string(cx) + "," + std::to_string(cy));
    }
  }
  EXPECT_EQ(0, app->pointer_queue.count);  // moves are not queued
}

TEST_F(Input, ATouchIsAPressAtItsPlaceThenAReleaseAndANeutralEvent) {
  // Screen pixel (50 + 128, 50 + 768 - 100) is display unit (128, 100).
  TouchPoint down = {77, kTouchPointDown, 17800, 71800};
  OnTouch(app, &down, 1, 0);
  EXPECT_EQ("pointer id=0 x=128 y=100 button=1 pressed=1 released=0 mods=0", next_pointer());
  EXPECT_EQ("pointer id=0 x=128 y=100 button=1 pressed=0 released=0 mods=0", next_pointer());
  TouchPoint move = {77, 0, 27800, 61800};
  OnTouch(app, &move, 1, 0);  // a move only places the contact, which idle frames follow
  EXPECT_EQ("pointer id=0 x=228 y=200 button=0 pressed=0 released=0 mods=0", next_pointer());
  TouchPoint up = {77, kTouchPointUp, 27800, 61800};
  OnTouch(app, &up, 1, 1);
  EXPECT_EQ(kApplicationNoContact, GetContactIndex(app, 77));
  EXPECT_EQ("pointer id=0 x=228 y=200 button=1 pressed=0 released=1 mods=1", next_pointer());
  EXPECT_EQ("pointer id=0 x=228 y=200 button=0 pressed=0 released=0 mods=1", next_pointer());
}

TEST_F(Input, CursorRequestsPlaceMatchingPointers) {
  CursorPosRequestCallback(app, 0, 300.0f, 200.0f);
  CursorPosRequestCallback(app, 5, 1.0f, 1.0f);  // no pointer with id 5
  EXPECT_EQ("pointer id=0 x=300 y=200 button=0 pressed=0 released=0 mods=0",
            host_test::Describe(app->pointer_contexts));
  CursorPosRequestCallback(app, kApplicationAnyId, 7.0f, 8.0f);
  EXPECT_EQ("pointer id=0 x=7 y=8 button=0 pressed=0 released=0 mods=0",
            host_test::Describe(app->pointer_contexts));
}

}  // namespace
