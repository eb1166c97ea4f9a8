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
      // Left edge: the same height rule without the extra pixel.
      {kSizingLeft, {92, 70, 748, 876}, "92,70,748,492"},
      // Top and bottom edges: the width follows the client height of 384.
      {kSizingTop, {92, 70, 2000, 492}, "92,70,749,492"},
      {kSizingBottom, {92, 70, 500, 492}, "92,70,749,492"},
      // Top-left corner: the top follows the width.
      {kSizingTopLeft, {92, 0, 748, 492}, "92,70,748,492"},
      // Never larger than the native size plus the frame, the dragged side giving way.
      {kSizingRight, {0, 0, 3000, 100}, "0,0,1296,806"},
      {kSizingLeft, {-1704, 0, 1296, 100}, "0,0,1296,806"},
      {kSizingTopLeft, {-1704, -2000, 1296, 806}, "0,0,1296,806"},
  };
  for (const auto& c : cases) {
    int32_t rect[4] = {c.rect[0], c.rect[1], c.rect[2], c.rect[3]};
    Application_KeepAspectWhileSizing(c.edge, rect, kInsets, kAspect, 1296, 806);
    EXPECT_EQ(std::string(c.expected), Rect(rect)) << "edge " << c.edge << " from " << Rect(c.rect);
  }
}

TEST(CorrectClientSize, AStoredOrResizedSizeGetsTheAspectAndTheBound) {
  const struct {
    int32_t size[2], old_size[2];
    const char* expected;  // width x height
  } cases[] = {
      {{800, 800}, {0, 0}, "800x481"},  // the width decides, by the rule of the right edge
      {{3000, 400}, {0, 0}, "1280x768"},
      {{640, 384}, {0, 0}, "640x384"},  // within the rounding: stays
      {{640, 385}, {0, 0}, "640x385"},
      {{640, 500}, {640, 384}, "834x500"},  // only the height changed: it decides
      {{640, 500}, {700, 384}, "640x385"},
      {{1280, 769}, {1280, 768}, "1280x768"},  // never beyond the native size
  };
  for (const auto& c : cases) {
    int32_t width = -1, height = -1;
    const bool changed = Application_CorrectClientSize(
        c.size[0], c.size[1], c.old_size[0], c.old_size[1], kAspect, 1280, 768, &width, &height);
    const std::string given = std::to_string(c.size[0]) + "x" + std::to_string(c.size[1]);
    EXPECT_EQ(c.expected, std::to_string(width) + "x" + std::to_string(height)) << given;
    EXPECT_EQ(given != c.expected, changed) << given;
  }
}

TEST(PlaceOnMonitors, AWindowOffEveryScreenComesOntoTheNearest) {
  const int32_t areas[][4] = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
  const struct {
    int32_t rect[4];
    int32_t area_count;
    const char* expected;
  } cases[] = {
      {{50, 50, 1280, 768}, 1, "50,50,1280,768"},
      {{5000, 5000, 1280, 768}, 1, "640,312,1280,768"},  // as far in as it fits
      {{40000, 50, 1280, 768}, 1, "640,50,1280,768"},    // beyond 16-bit X11 coordinates
      {{-2000, -3000, 800, 481}, 1, "0,0,800,481"},
      {{1857, 1017, 800, 481}, 1, "1120,599,800,481"},   // 63 x 63 pixels showing: too few
      {{1856, 1016, 800, 481}, 1, "1856,1016,800,481"},  // 64 x 64: stays
      {{1890, 100, 30, 30}, 1, "1890,100,30,30"},        // a small window needs all of it shown
      {{1900, 100, 30, 30}, 1, "1890,100,30,30"},
      {{5000, 100, 800, 481}, 2, "2400,100,800,481"},      // onto the second monitor
      {{2500, 1500, 800, 481}, 2, "2400,543,800,481"},     // the nearer by its corner
      {{5000, 5000, 1280, 768}, 0, "5000,5000,1280,768"},  // no monitors known: left alone
      {{5000, 5000, 4000, 3000}, 1, "0,0,4000,3000"},
  };
  for (const auto& c : cases) {
    int32_t out[4] = {};
    Application_PlaceOnMonitors(c.rect, areas, c.area_count, out);
    EXPECT_EQ(std::string(c.expected), Rect(out)) << Rect(c.rect) << " on " << c.area_count;
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
