// Input: the two queues, GLFW's callbacks turned into events, positions in
// display units, touch contact slots and the cursor callback. No window and
// no OpenGL: the callbacks' work is called as GLFW would call it.
#include "host/host_application.h"

#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <string>
#include <vector>

#include "tests/host/stand_in_layer.h"

namespace {

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    app = Application_Allocate(&stand_in.params, nullptr);
    ASSERT_NE(nullptr, app);
    Application_UseSystemEvents(app, 1);
    // A window of the native size at (50, 50).
    app->client_rect[0] = 50;
    app->client_rect[1] = 50;
    app->client_rect[2] = 1280;
    app->client_rect[3] = 768;
  }
  void TearDown() override { Application_Free(app); }

  KeyboardEvent NextKey() {
    PopKeyboardEvent(app);
    return app->keyboard_contexts[0];
  }
  PointerEvent NextPointer() {
    PopMouseEvent(app);
    return app->pointer_contexts[0];
  }

  host_test::StandIn stand_in;
  Application* app = nullptr;
};

std::string Key(const KeyboardEvent& e) { return host_test::Describe(&e); }
std::string Ptr(const PointerEvent& e) { return host_test::Describe(&e); }

std::string KeyText(uint32_t key, int pressed, int released, int mods) {
  KeyboardEvent e{0, key, static_cast<uint8_t>(pressed), static_cast<uint8_t>(released), static_cast<uint32_t>(mods)};
  return Key(e);
}

// ---- Queues ---------------------------------------------------------------------------

TEST_F(Input, FirstEventLandsInSlotZero) {
  EXPECT_EQ(APPLICATION_QUEUE_SIZE - 1, app->keyboard_queue.write_index);
  EXPECT_EQ(APPLICATION_QUEUE_SIZE - 1, app->pointer_queue.write_index);
  RecordKeyboardEvent(app, 'x', KEY_STATE_DOWN, 0);
  RecordMouseEvent(app, 1, KEY_STATE_DOWN, 0, 0);
  EXPECT_EQ(0, app->keyboard_queue.write_index);
  EXPECT_EQ(0, app->pointer_queue.write_index);
  EXPECT_EQ(uint32_t('x'), app->keyboard_queue.entries[0].key);
  EXPECT_EQ(1u, app->pointer_queue.entries[0].button);
}

TEST_F(Input, TwoClicksBetweenFramesArriveOneEventPerFrame) {
  RecordMousePos(app, 200.0, 300.0);
  for (int click = 0; click < 2; ++click) {
    RecordMouseEvent(app, 1, KEY_STATE_DOWN, 0, 0);
    RecordMouseEvent(app, 1, KEY_STATE_UP, 0, 0);
  }
  const std::vector<std::string> expected = {
      "pointer id=0 x=200 y=300 button=1 pressed=1 released=0 mods=0",
      "pointer id=0 x=200 y=300 button=1 pressed=0 released=1 mods=0",
      "pointer id=0 x=200 y=300 button=1 pressed=1 released=0 mods=0",
      "pointer id=0 x=200 y=300 button=1 pressed=0 released=1 mods=0",
      "pointer id=0 x=200 y=300 button=0 pressed=0 released=0 mods=0",
  };
  for (const std::string& line : expected) EXPECT_EQ(line, Ptr(NextPointer()));
}

TEST_F(Input, AFullQueueDropsNewEventsAndKeepsTheOldOnesInOrder) {
  for (uint32_t key = 1; key <= APPLICATION_QUEUE_SIZE + 1; ++key) RecordKeyboardEvent(app, key, KEY_STATE_DOWN, 0);
  EXPECT_EQ(APPLICATION_QUEUE_SIZE, app->keyboard_queue.count);
  for (uint32_t key = 1; key <= APPLICATION_QUEUE_SIZE; ++key) {
    KeyboardEvent e = NextKey();
    ASSERT_EQ(key, e.key);
    ASSERT_EQ(1, e.pressed);
  }
  EXPECT_EQ(KeyText(0, 0, 0, 0), Key(NextKey()));  // the 1025th was lost
}

TEST_F(Input, APointerQueueFullOfClicksLosesTheNextClick) {
  for (int i = 0; i < APPLICATION_QUEUE_SIZE; ++i) {
    RecordMousePos(app, i, 0.0);
    RecordMouseEvent(app, 1, i % 2 == 0 ? KEY_STATE_DOWN : KEY_STATE_UP, 0, 0);
  }
  RecordMousePos(app, 5000.0, 0.0);
  RecordMouseEvent(app, 2, KEY_STATE_DOWN, 0, 0);
  for (int i = 0; i < APPLICATION_QUEUE_SIZE; ++i) {
    PointerEvent e = NextPointer();
    ASSERT_EQ(static_cast<float>(i), e.x);
    ASSERT_EQ(1u, e.button);
  }
  PointerEvent idle = NextPointer();
  EXPECT_EQ(0u, idle.button);
  EXPECT_EQ(5000.0f, idle.x);
}

TEST_F(Input, AQueueWrapsAroundItsEnd) {
  for (int round = 0; round < 3; ++round) {
    for (uint32_t key = 0; key < 700; ++key) RecordKeyboardEvent(app, key + 1, KEY_STATE_DOWN, 0);
    for (uint32_t key = 0; key < 700; ++key) ASSERT_EQ(key + 1, NextKey().key);
  }
  EXPECT_EQ(0, app->keyboard_queue.count);
  EXPECT_EQ((3 * 700) % APPLICATION_QUEUE_SIZE, app->keyboard_queue.read_index);
}

TEST_F(Input, AFrameWithoutEventsShowsTheMouseAndNoKey) {
  RecordKeyboardEvent(app, 'a', KEY_STATE_DOWN, 1);
  RecordMouseEvent(app, 3, KEY_STATE_DOWN, 2, 0);
  NextKey();
  NextPointer();
  RecordMousePos(app, 12.5, 700.25);
  EXPECT_EQ(KeyText(0, 0, 0, 0), Key(NextKey()));
  EXPECT_EQ("pointer id=0 x=12.5 y=700.25 button=0 pressed=0 released=0 mods=0", Ptr(NextPointer()));
}

TEST_F(Input, ResetEmptiesTheQueues) {
  RecordKeyboardEvent(app, 'a', KEY_STATE_DOWN, 0);
  RecordKeyboardEvent(app, 'b', KEY_STATE_DOWN, 0);
  RecordMouseEvent(app, 1, KEY_STATE_DOWN, 0, 0);
  Application_Reset(app);
  EXPECT_EQ(0, app->keyboard_queue.count);
  EXPECT_EQ(0, app->pointer_queue.count);
  RecordKeyboardEvent(app, 'c', KEY_STATE_DOWN, 0);
  EXPECT_EQ(0, app->keyboard_queue.write_index);
  EXPECT_EQ(uint32_t('c'), NextKey().key);
}

TEST_F(Input, NothingIsRecordedWithoutSystemEvents) {
  Application_UseSystemEvents(app, 0);
  RecordKeyboardEvent(app, 'a', KEY_STATE_DOWN, 0);
  RecordMouseEvent(app, 1, KEY_STATE_DOWN, 0, 0);
  RecordMousePos(app, 10.0, 10.0);
  EXPECT_EQ(0, app->keyboard_queue.count);
  EXPECT_EQ(0, app->pointer_queue.count);
  EXPECT_EQ(0.0, Application_GetMousePosX(app));
}

TEST_F(Input, EventsForAMissingPointerAreDropped) {
  RecordMouseEvent(app, 1, KEY_STATE_DOWN, 0, 1);  // one pointer: slot 1 has no description
  EXPECT_EQ(0, app->pointer_queue.count);
}

// ---- Keys ------------------------------------------------------------------------------

TEST_F(Input, ShiftAGivesACapitalPressAndReleaseWithTheSameCode) {
  Application_OnKey(app, GLFW_KEY_LEFT_SHIFT, GLFW_PRESS, 0);
  Application_OnKey(app, GLFW_KEY_A, GLFW_PRESS, GLFW_MOD_SHIFT);
  Application_OnCharacter(app, 'A');
  Application_OnKey(app, GLFW_KEY_A, GLFW_RELEASE, GLFW_MOD_SHIFT);
  Application_OnKey(app, GLFW_KEY_LEFT_SHIFT, GLFW_RELEASE, GLFW_MOD_SHIFT);
  EXPECT_EQ(2, app->keyboard_queue.count);
  EXPECT_EQ(KeyText(65, 1, 0, 1), Key(NextKey()));
  EXPECT_EQ(KeyText(65, 0, 1, 1), Key(NextKey()));
}

TEST_F(Input, SpecialKeysHaveTheirOwnCodes) {
  struct Case {
    int glfw_key;
    uint32_t code;
  } cases[] = {
      {GLFW_KEY_F1, KEY_F1},           {GLFW_KEY_F9, KEY_F9},       {GLFW_KEY_F10, KEY_F10},
      {GLFW_KEY_F11, KEY_F11},         {GLFW_KEY_F12, KEY_F12},     {GLFW_KEY_PAGE_UP, KEY_PAGE_UP},
      {GLFW_KEY_PAGE_DOWN, KEY_PAGE_DOWN}, {GLFW_KEY_END, KEY_END}, {GLFW_KEY_HOME, KEY_HOME},
      {GLFW_KEY_LEFT, KEY_LEFT},       {GLFW_KEY_UP, KEY_UP},       {GLFW_KEY_RIGHT, KEY_RIGHT},
      {GLFW_KEY_DOWN, KEY_DOWN},       {GLFW_KEY_INSERT, KEY_INSERT}, {GLFW_KEY_DELETE, KEY_DELETE},
      // Characters GLFW's character callback leaves out.
      {GLFW_KEY_ENTER, 13},            {GLFW_KEY_KP_ENTER, 13},     {GLFW_KEY_BACKSPACE, 8},
      {GLFW_KEY_TAB, 9},               {GLFW_KEY_ESCAPE, 27},
  };
  for (const Case& c : cases) {
    Application_OnKey(app, c.glfw_key, GLFW_PRESS, GLFW_MOD_CONTROL);
    Application_OnKey(app, c.glfw_key, GLFW_RELEASE, GLFW_MOD_CONTROL);
    EXPECT_EQ(KeyText(c.code, 1, 0, 2), Key(NextKey())) << "GLFW key " << c.glfw_key;
    EXPECT_EQ(KeyText(c.code, 0, 1, 2), Key(NextKey())) << "GLFW key " << c.glfw_key;
  }
  EXPECT_EQ(0, app->keyboard_queue.count);
}

TEST_F(Input, KeysThatTypeNothingGiveNoEvent) {
  const int keys[] = {GLFW_KEY_LEFT_SHIFT, GLFW_KEY_RIGHT_CONTROL, GLFW_KEY_CAPS_LOCK, GLFW_KEY_PRINT_SCREEN,
                      GLFW_KEY_A};
  for (int key : keys) {
    Application_OnKey(app, key, GLFW_PRESS, 0);
    Application_OnKey(app, key, GLFW_RELEASE, 0);
  }
  EXPECT_EQ(0, app->keyboard_queue.count);
}

TEST_F(Input, ControlWithALetterTypesItsControlCharacter) {
  Application_OnKey(app, GLFW_KEY_C, GLFW_PRESS, GLFW_MOD_CONTROL);
  Application_OnKey(app, GLFW_KEY_C, GLFW_RELEASE, GLFW_MOD_CONTROL);
  EXPECT_EQ(KeyText(3, 1, 0, 2), Key(NextKey()));
  EXPECT_EQ(KeyText(3, 0, 1, 2), Key(NextKey()));
}

TEST_F(Input, AHeldKeyRepeatsItsPress) {
  Application_OnKey(app, GLFW_KEY_B, GLFW_PRESS, 0);
  Application_OnCharacter(app, 'b');
  Application_OnKey(app, GLFW_KEY_B, GLFW_REPEAT, 0);
  Application_OnCharacter(app, 'b');
  Application_OnKey(app, GLFW_KEY_LEFT, GLFW_REPEAT, 0);
  Application_OnKey(app, GLFW_KEY_LEFT, GLFW_RELEASE, 0);
  EXPECT_EQ(KeyText('b', 1, 0, 0), Key(NextKey()));
  EXPECT_EQ(KeyText('b', 1, 0, 0), Key(NextKey()));
  EXPECT_EQ(KeyText(KEY_LEFT, 1, 0, 0), Key(NextKey()));
  EXPECT_EQ(KeyText(KEY_LEFT, 0, 1, 0), Key(NextKey()));
}

TEST_F(Input, CharactersBeyondTheBasicPlaneArriveAsSurrogates) {
  Application_OnKey(app, GLFW_KEY_UNKNOWN, GLFW_PRESS, 0);
  Application_OnCharacter(app, 0x1F600);
  Application_OnKey(app, GLFW_KEY_UNKNOWN, GLFW_RELEASE, 0);
  EXPECT_EQ(KeyText(0xD83D, 1, 0, 0), Key(NextKey()));
  EXPECT_EQ(KeyText(0xDE00, 1, 0, 0), Key(NextKey()));
  EXPECT_EQ(KeyText(0xDE00, 0, 1, 0), Key(NextKey()));
  Application_OnCharacter(app, 0x110000);  // no character at all
  Application_OnCharacter(app, 0xD800);    // a lone surrogate is no character either
  EXPECT_EQ(0, app->keyboard_queue.count);
}

// ---- Mouse -----------------------------------------------------------------------------

TEST_F(Input, ButtonsWithShiftAndControl) {
  struct Case {
    int glfw_button;
    int mods;
    uint32_t button;
    uint32_t modifiers;
  } cases[] = {
      {GLFW_MOUSE_BUTTON_LEFT, 0, 1, 0},
      {GLFW_MOUSE_BUTTON_RIGHT, GLFW_MOD_SHIFT, 2, 1},
      {GLFW_MOUSE_BUTTON_MIDDLE, GLFW_MOD_CONTROL, 3, 2},
      {GLFW_MOUSE_BUTTON_LEFT, GLFW_MOD_SHIFT | GLFW_MOD_CONTROL | GLFW_MOD_ALT, 1, 3},
  };
  for (const Case& c : cases) {
    Application_OnMouseButton(app, c.glfw_button, GLFW_PRESS, c.mods);
    Application_OnMouseButton(app, c.glfw_button, GLFW_RELEASE, c.mods);
    PointerEvent press = NextPointer();
    PointerEvent release = NextPointer();
    EXPECT_EQ(c.button, press.button);
    EXPECT_EQ(1, press.pressed);
    EXPECT_EQ(0, press.released);
    EXPECT_EQ(c.modifiers, press.modifiers);
    EXPECT_EQ(c.button, release.button);
    EXPECT_EQ(0, release.pressed);
    EXPECT_EQ(1, release.released);
  }
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_4, GLFW_PRESS, 0);  // no such button here
  EXPECT_EQ(0, app->pointer_queue.count);
}

TEST_F(Input, TheWheelPressesWithoutRelease) {
  Application_OnScroll(app, 1.0, 0);
  Application_OnScroll(app, -2.0, GLFW_MOD_SHIFT);
  Application_OnScroll(app, 0.0, 0);  // sideways only
  ASSERT_EQ(2, app->pointer_queue.count);
  EXPECT_EQ("pointer id=0 x=0 y=0 button=4 pressed=1 released=0 mods=0", Ptr(NextPointer()));
  EXPECT_EQ("pointer id=0 x=0 y=0 button=5 pressed=1 released=0 mods=1", Ptr(NextPointer()));
}

TEST_F(Input, ClientPixelsBecomeDisplayUnitsWithYUpwards) {
  struct Case {
    int32_t width, height;
    double cx, cy;
    double x, y;
  } cases[] = {
      {1280, 768, 0, 0, 0, 768},        // top-left corner of a native-size window
      {1280, 768, 1280, 768, 1280, 0},
      {1280, 768, 640, 384, 640, 384},
      {640, 384, 320, 192, 640, 384},   // half size: everything doubles
      {1920, 1080, 0, 1080, 0, 0},      // full screen stretched
      {1920, 1080, 960, 0, 640, 768},
  };
  for (const Case& c : cases) {
    app->client_rect[2] = c.width;
    app->client_rect[3] = c.height;
    Application_OnCursorPos(app, c.cx, c.cy);
    EXPECT_DOUBLE_EQ(c.x, Application_GetMousePosX(app)) << c.width << "x" << c.height << " at " << c.cx;
    EXPECT_DOUBLE_EQ(c.y, Application_GetMousePosY(app)) << c.width << "x" << c.height << " at " << c.cy;
  }
  EXPECT_EQ(0, app->pointer_queue.count);  // moves are not queued
}

TEST_F(Input, AnEmptyClientAreaKeepsTheLastPosition) {
  Application_OnCursorPos(app, 100, 100);
  app->client_rect[2] = 0;
  Application_OnCursorPos(app, 5, 5);
  EXPECT_DOUBLE_EQ(100.0, Application_GetMousePosX(app));
  EXPECT_DOUBLE_EQ(668.0, Application_GetMousePosY(app));
}

TEST_F(Input, AButtonEventCarriesThePositionOfItsTime) {
  Application_OnCursorPos(app, 10, 10);
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
  Application_OnCursorPos(app, 600, 300);
  Application_OnMouseButton(app, GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
  EXPECT_EQ("pointer id=0 x=10 y=758 button=1 pressed=1 released=0 mods=0", Ptr(NextPointer()));
  EXPECT_EQ("pointer id=0 x=600 y=468 button=1 pressed=0 released=1 mods=0", Ptr(NextPointer()));
}

// ---- Touch contact slots ---------------------------------------------------------------------

TEST_F(Input, ContactSlotsAreTakenInOrderAndFreedOnRelease) {
  for (uint32_t id = 1; id <= APPLICATION_TOUCH_SLOTS; ++id) EXPECT_EQ(id - 1, RegisterContactIndex(app, 100 + id));
  EXPECT_EQ(APPLICATION_NO_CONTACT, RegisterContactIndex(app, 999));  // all 20 taken
  EXPECT_EQ(4u, RegisterContactIndex(app, 105));                      // already there
  EXPECT_EQ(4u, GetContactIndex(app, 105));
  EXPECT_EQ(APPLICATION_NO_CONTACT, GetContactIndex(app, 999));
  ReleaseContactSlots(app);
  EXPECT_EQ(APPLICATION_NO_CONTACT, GetContactIndex(app, 105));
  EXPECT_EQ(0u, RegisterContactIndex(app, 7));
}

TEST_F(Input, ATouchIsAPressAtItsPlaceThenAReleaseAndANeutralEvent) {
  // Screen pixel (50 + 128, 50 + 768 - 100) is display unit (128, 100).
  TouchPoint down = {77, TOUCH_POINT_DOWN, 17800, 71800};
  OnTouch(app, &down, 1, 0);
  EXPECT_EQ(0u, GetContactIndex(app, 77));
  EXPECT_EQ(128, app->touch_positions[0][0]);
  EXPECT_EQ(100, app->touch_positions[0][1]);
  TouchPoint up = {77, TOUCH_POINT_UP, 17800, 71800};
  OnTouch(app, &up, 1, 1);
  EXPECT_EQ(APPLICATION_NO_CONTACT, GetContactIndex(app, 77));
  const std::vector<std::string> expected = {
      "pointer id=0 x=128 y=100 button=1 pressed=1 released=0 mods=0",
      "pointer id=0 x=128 y=100 button=1 pressed=0 released=0 mods=0",
      "pointer id=0 x=128 y=100 button=1 pressed=0 released=1 mods=1",
      "pointer id=0 x=128 y=100 button=0 pressed=0 released=0 mods=1",
  };
  for (const std::string& line : expected) EXPECT_EQ(line, Ptr(NextPointer()));
}

TEST_F(Input, WhileAContactIsDownAnIdleFrameFollowsIt) {
  TouchPoint down = {5, TOUCH_POINT_DOWN, 17800, 71800};
  OnTouch(app, &down, 1, 0);
  NextPointer();
  NextPointer();
  TouchPoint move = {5, 0, 27800, 61800};
  OnTouch(app, &move, 1, 0);
  EXPECT_EQ(0, app->pointer_queue.count);  // a move only places the contact
  app->mouse_x = 999.0;                     // the mouse is not where the finger is
  EXPECT_EQ("pointer id=0 x=228 y=200 button=0 pressed=0 released=0 mods=0", Ptr(NextPointer()));
}

TEST_F(Input, TouchPointsWithoutIdOrBeyondTheSlotsTakeNoSlot) {
  TouchPoint points[APPLICATION_TOUCH_SLOTS + 1];
  for (uint32_t i = 0; i < APPLICATION_TOUCH_SLOTS + 1; ++i) points[i] = {i + 1, TOUCH_POINT_DOWN, 17800, 71800};
  points[0].id = 0;
  OnTouch(app, points, APPLICATION_TOUCH_SLOTS + 1, 0);
  EXPECT_EQ(APPLICATION_NO_CONTACT, GetContactIndex(app, 0));   // id 0 is no contact
  EXPECT_EQ(0u, GetContactIndex(app, 2));
  EXPECT_EQ(18u, GetContactIndex(app, 20));
  EXPECT_EQ(APPLICATION_NO_CONTACT, GetContactIndex(app, 21));  // the 21st point of a report
  // Only slot 0 has a pointer description; the other contacts' events are dropped.
  EXPECT_EQ(2, app->pointer_queue.count);
}

// ---- Cursor requests --------------------------------------------------------------------------

TEST_F(Input, CursorRequestsPlaceMatchingPointers) {
  CursorPosRequestCallback(app, 0, 300.0f, 200.0f);
  EXPECT_EQ(300.0f, app->pointer_contexts[0].x);
  EXPECT_EQ(200.0f, app->pointer_contexts[0].y);
  CursorPosRequestCallback(app, 5, 1.0f, 1.0f);  // no pointer with id 5
  EXPECT_EQ(300.0f, app->pointer_contexts[0].x);
  CursorPosRequestCallback(app, APPLICATION_ANY_ID, 7.0f, 8.0f);
  EXPECT_EQ(7.0f, app->pointer_contexts[0].x);
  EXPECT_EQ(8.0f, app->pointer_contexts[0].y);
  CursorPosRequestCallback(nullptr, 0, 1.0f, 1.0f);  // no record: nothing to do
}

}  // namespace
