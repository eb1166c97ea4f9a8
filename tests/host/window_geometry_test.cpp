// Window geometry on plain numbers: the aspect ratio kept while an edge is
// dragged, the size bound, and the rectangles of the four window states.
#include "host/host_internal.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr double kAspect = 1280.0 / 768.0;
// A decorated window: 8 pixels of frame left, right and below, a 30 pixel
// title bar; the largest outer size is 1296 x 806.
const int32_t kInsets[4] = {-8, -30, 8, 8};

std::string Rect(const int32_t r[4]) {
  return std::to_string(r[0]) + "," + std::to_string(r[1]) + "," + std::to_string(r[2]) + "," +
         std::to_string(r[3]);
}

TEST(KeepAspectWhileSizing, EachEdgeMovesTheDependentSideWithinTheNativeSize) {
  const struct {
    int32_t edge;
    int32_t rect[4];  // left, top, right, bottom after the user's drag
    const char* expected;
  } cases[] = {
      // Right edge dragged to a client width of 640: the bottom follows,
      // one pixel more than the exact 384 by the rule's rounding.
      {kSizingRight, {92, 70, 748, 876}, "92,70,748,493"},
      {kSizingBottomRight, {92, 70, 748, 900}, "92,70,748,493"},
      // Left edge: the same height rule without the extra pixel.
      {kSizingLeft, {92, 70, 748, 876}, "92,70,748,492"},
      {kSizingBottomLeft, {92, 70, 748, 700}, "92,70,748,492"},
      // Top and bottom edges: the width follows the client height of 384.
      {kSizingTop, {92, 70, 2000, 492}, "92,70,749,492"},
      {kSizingTopRight, {92, 70, 2000, 492}, "92,70,749,492"},
      {kSizingBottom, {92, 70, 500, 492}, "92,70,749,492"},
      // Top-left corner: the top follows the width.
      {kSizingTopLeft, {92, 0, 748, 492}, "92,70,748,492"},
      // Never larger than the native size plus the frame, the dragged side giving way.
      {kSizingRight, {0, 0, 3000, 100}, "0,0,1296,806"},
      {kSizingLeft, {-1704, 0, 1296, 100}, "0,0,1296,806"},
      {kSizingTop, {0, -2000, 100, 806}, "0,0,1296,806"},
      {kSizingTopLeft, {-1704, -2000, 1296, 806}, "0,0,1296,806"},
  };
  for (const auto& c : cases) {
    int32_t rect[4] = {c.rect[0], c.rect[1], c.rect[2], c.rect[3]};
    Application_KeepAspectWhileSizing(c.edge, rect, kInsets, kAspect, 1296, 806);
    EXPECT_EQ(std::string(c.expected), Rect(rect)) << "edge " << c.edge << " from " << Rect(c.rect);
  }
}

TEST(KeepAspectWhileSizing, TheClientAspectStaysWithinARoundingStep) {
  for (int32_t width = 200; width <= 1280; width += 37) {
    int32_t rect[4] = {92, 70, 92 + width + 16, 70 + 38};
    Application_KeepAspectWhileSizing(kSizingRight, rect, kInsets, kAspect, 1296, 806);
    const int32_t client_height = rect[3] - rect[1] - 38;
    EXPECT_EQ(width, rect[2] - rect[0] - 16);
    EXPECT_LE(width / kAspect, client_height) << width;
    EXPECT_GE(width / kAspect + 1.0, client_height) << width;
  }
}

TEST(WindowStateRect, TheFourStates) {
  const int32_t client[4] = {50, 60, 800, 480};
  const struct {
    uint32_t state;
    int32_t screen_width, screen_height;
    uint32_t applied;
    const char* rect;  // x, y, width, height
  } cases[] = {
      {kWindowStateWindowed, 1920, 1080, 0, "50,60,800,480"},
      {kWindowStateBorderless, 1920, 1080, 1, "50,60,800,480"},
      {kWindowStateFullScreenAspect, 1920, 1080, 2, "60,0,1800,1080"},  // bars left and right
      {kWindowStateFullScreenAspect, 1280, 1024, 2, "0,128,1280,768"},  // bars above and below
      {kWindowStateFullScreenAspect, 1280, 768, 3, "0,0,1280,768"},     // an exact fit is state 3
      {kWindowStateFullScreenAspect, 2560, 1536, 3, "0,0,2560,1536"},
      {kWindowStateFullScreenStretched, 1920, 1080, 3, "0,0,1920,1080"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("state " + std::to_string(c.state) + " on " + std::to_string(c.screen_width) +
                 "x" + std::to_string(c.screen_height));
    int32_t rect[4] = {-1, -1, -1, -1};
    EXPECT_EQ(c.applied, Application_WindowStateRect(c.state, client, c.screen_width,
                                                     c.screen_height, kAspect, rect));
    EXPECT_EQ(std::string(c.rect), Rect(rect));
  }
}

}  // namespace
