// The damage of a changed frame in plain numbers: boxes and their merging,
// the pixels a primitive can touch, the alignment of two frames' drawing
// calls, and what the calls of a hand-written stream reach.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "graphics/sgl.h"
#include "graphics/sgl_damage_internal.h"
#include "graphics/sgl_stream_internal.h"

static bool operator==(const sgl_box& a, const sgl_box& b) {
  return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

static std::ostream& operator<<(std::ostream& out, const sgl_box& b) {
  return out << "[" << b.x0 << ", " << b.y0 << ") - (" << b.x1 << ", " << b.y1 << ")";
}

namespace {

constexpr sgl_box kEmpty = {0, 0, 0, 0};

bool box_less(const sgl_box& a, const sgl_box& b) {
  return std::tie(a.x0, a.y0, a.x1, a.y1) < std::tie(b.x0, b.y0, b.x1, b.y1);
}

std::vector<sgl_box> sorted(const sgl_box* boxes, uint32_t count) {
  std::vector<sgl_box> out(boxes, boxes + count);
  std::sort(out.begin(), out.end(), box_less);
  return out;
}

// ---------------------------------------------------------------------------
// Boxes
// ---------------------------------------------------------------------------

TEST(DamageBoxes, ListStaysDisjointCoversWhatWasAddedAndMergesWhatIsCheaper) {
  struct Case {
    const char* name;
    std::vector<sgl_box> added;
    std::vector<sgl_box> expected;  // sorted
  };
  std::vector<sgl_box> spread;  // eight boxes far from each other
  for (int i = 0; i < 8; ++i) spread.push_back({i * 500, i * 500, i * 500 + 10, i * 500 + 10});
  std::vector<sgl_box> ninth = spread;
  ninth.push_back({0, 1400, 10, 1410});  // dearer than a pass to join to the first
  std::vector<sgl_box> merged_ninth = spread;
  merged_ninth[0] = {0, 0, 10, 1410};
  const Case cases[] = {
      {"far apart stay apart",
       {{0, 0, 10, 10}, {500, 500, 510, 510}},
       {{0, 0, 10, 10}, {500, 500, 510, 510}}},
      {"overlapping ones merge", {{0, 0, 100, 100}, {50, 50, 150, 150}}, {{0, 0, 150, 150}}},
      {"side by side they merge", {{0, 0, 100, 10}, {100, 0, 200, 10}}, {{0, 0, 200, 10}}},
      {"a gap dearer than a pass keeps them apart",
       {{0, 0, 100, 100}, {300, 0, 400, 100}},
       {{0, 0, 100, 100}, {300, 0, 400, 100}}},
      {"a gap cheaper than a pass is drawn with them",
       {{0, 0, 100, 100}, {120, 0, 220, 100}},
       {{0, 0, 220, 100}}},
      {"a merge that reaches a third takes it too",
       {{0, 0, 40, 40}, {300, 0, 340, 40}, {30, 0, 310, 40}},
       {{0, 0, 340, 40}}},
      {"an empty box adds nothing", {{5, 5, 5, 9}, {7, 7, 9, 7}}, {}},
      {"eight far apart fill the list", spread, spread},
      {"a ninth merges the cheapest pair", ninth, merged_ninth},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sgl_box boxes[SGL_DAMAGE_RECTS];
    uint32_t count = 0;
    for (const sgl_box& b : c.added) sgl_damage_add(boxes, &count, b);
    std::vector<sgl_box> expected = c.expected;
    std::sort(expected.begin(), expected.end(), box_less);
    EXPECT_EQ(expected, sorted(boxes, count));
    for (uint32_t a = 0; a < count; ++a) {
      for (uint32_t b = a + 1; b < count; ++b) {
        EXPECT_TRUE(sgl_box_is_empty(sgl_box_intersection(boxes[a], boxes[b])));
      }
    }
    for (const sgl_box& added : c.added) {
      int64_t covered = 0;
      for (uint32_t i = 0; i < count; ++i) {
        covered += sgl_box_area(sgl_box_intersection(boxes[i], added));
      }
      EXPECT_EQ(sgl_box_area(added), covered) << added;
    }
  }
}

// ---------------------------------------------------------------------------
// Footprints
// ---------------------------------------------------------------------------

// sglOrtho(0, 1280, 0, 768) as the library loads it: drawing units are
// pixels of a 1280 x 768 viewport.
void ortho(double m[16]) {
  for (int i = 0; i < 16; ++i) m[i] = 0.0;
  m[0] = 2.0 / 1280.0;
  m[5] = 2.0 / 768.0;
  m[10] = 1.0;
  m[12] = -1.0;
  m[13] = -1.0;
  m[15] = 1.0;
}

void identity(double m[16]) {
  for (int i = 0; i < 16; ++i) m[i] = i % 5 == 0 ? 1.0 : 0.0;
}

TEST(DamageFootprint, PrimitivesReachTheirPixelsAndTheirWidths) {
  struct Case {
    const char* name;
    double dx, dy;      // translation in pixels
    bool quarter_turn;  // then turned by 90 degrees about the origin
    int32_t viewport[4];
    uint32_t mode;
    float x0, y0, x1, y1;  // the points' range
    float line_width, point_size;
    sgl_box expected;
  };
  // One row a case: name, dx, dy, quarter turn, viewport, mode, x0, y0, x1, y1,
  // line width, point size, expected box.
  // clang-format off
  const Case cases[] = {
      {"a 10 x 10 fill, two pixels around", 0, 0, false, {0, 0, 1280, 768}, GL_TRIANGLE_FAN, 100, 200, 110, 210, 1, 1, {98, 198, 113, 213}},
      {"half a pixel to the right and up", 0.5, 0.5, false, {0, 0, 1280, 768}, GL_TRIANGLES, 100, 200, 110, 210, 1, 1, {98, 198, 113, 213}},
      {"translated", 300, -100, false, {0, 0, 1280, 768}, GL_TRIANGLE_STRIP, 100, 200, 110, 210, 1, 1, {398, 98, 413, 113}},
      {"a quarter turn about (640, 384)", 640, 384, true, {0, 0, 1280, 768}, GL_TRIANGLE_FAN, 0, 0, 100, 20, 1, 1, {618, 382, 643, 487}},
      {"a viewport of half the size", 0, 0, false, {0, 0, 640, 384}, GL_TRIANGLE_FAN, 100, 200, 110, 210, 1, 1, {48, 98, 58, 108}},
      {"a viewport moved", 0, 0, false, {20, 10, 1280, 768}, GL_TRIANGLE_FAN, 100, 200, 110, 210, 1, 1, {118, 208, 133, 223}},
      {"a line 5 wide: half of it and two more", 0, 0, false, {0, 0, 1280, 768}, GL_LINE_STRIP, 100, 100, 200, 100, 5, 1, {95, 95, 205, 105}},
      {"a point of size 8", 0, 0, false, {0, 0, 1280, 768}, GL_POINTS, 50, 50, 50, 50, 1, 8, {44, 44, 57, 57}},
      {"left of the window: nothing", 0, 0, false, {0, 0, 1280, 768}, GL_TRIANGLE_FAN, -50, 10, -10, 20, 1, 1, kEmpty},
      {"far beyond: cut at the limit", 0, 0, false, {0, 0, 1280, 768}, GL_TRIANGLE_FAN, 1e9f, 10, 2e9f, 20, 1, 1, kEmpty},
      {"not finite: everything", 0, 0, false, {0, 0, 1280, 768}, GL_TRIANGLE_FAN, 0, NAN, 10, 20, 1, 1, sgl_whole_box()},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    double projection[16];
    double modelview[16];
    ortho(projection);
    identity(modelview);
    modelview[12] = c.dx;
    modelview[13] = c.dy;
    if (c.quarter_turn) {
      modelview[0] = 0.0;
      modelview[1] = 1.0;
      modelview[4] = -1.0;
      modelview[5] = 0.0;
    }
    // The viewport of the "half the size" row maps 1280 x 768 units onto it.
    double window[6];
    ASSERT_TRUE(sgl_window_transform(projection, modelview, c.viewport, window));
    const float margin = sgl_primitive_margin(c.mode, c.line_width, c.point_size);
    EXPECT_EQ(c.expected, sgl_footprint(window, c.x0, c.y0, c.x1, c.y1, margin));
  }
  // A perspective division makes the map other than affine.
  double projection[16];
  double modelview[16];
  ortho(projection);
  identity(modelview);
  projection[3] = 0.001;
  double window[6];
  const int32_t viewport[4] = {0, 0, 1280, 768};
  EXPECT_FALSE(sgl_window_transform(projection, modelview, viewport, window));
}

// ---------------------------------------------------------------------------
// Alignment of two frames
// ---------------------------------------------------------------------------

// A frame written as letters: each letter one item of one word, equal
// letters equal items, each letter's box far from every other one's.
struct LetterFrame {
  std::vector<uint32_t> words;
  std::vector<sgl_damage_item> items;
};

sgl_box letter_box(char letter) {
  const int32_t i = letter - 'a';
  return {i * 400, i * 40, i * 400 + 5, i * 40 + 5};
}

LetterFrame letters(const std::string& text) {
  LetterFrame frame;
  for (const char letter : text) {
    sgl_damage_item item{};
    item.key = static_cast<uint64_t>(letter) * 0x9E3779B97F4A7C15ull;
    item.first = static_cast<uint32_t>(frame.words.size());
    item.words = 1;
    item.box = letter_box(letter);
    frame.words.push_back(static_cast<uint32_t>(letter));
    frame.items.push_back(item);
  }
  return frame;
}

TEST(DamageDiff, ItemsWithoutAnEqualPartnerDamageTheirBoxes) {
  struct Case {
    const char* name;
    std::string old_frame, new_frame;
    std::string damaged;  // letters whose boxes are damaged
  };
  const Case cases[] = {
      {"the same frame", "abcdefgh", "abcdefgh", ""},
      {"one item replaced", "abcdefgh", "abcxefgh", "dx"},
      {"two replaced apart", "abcdefgh", "ybcdefgz", "ahyz"},
      {"a run inserted at the end (a pop-up)", "abcd", "abcdxyz", "xyz"},
      {"a run inserted in the middle", "abcd", "abxyzcd", "xyz"},
      {"a run removed", "abxyzcd", "abcd", "xyz"},
      {"two neighbours swapped", "abcd", "acbd", "c"},
      {"the first and the last changed", "abcd", "xbcy", "adxy"},
      {"nothing left", "abc", "", "abc"},
      {"everything new", "", "abc", "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const LetterFrame a = letters(c.old_frame);
    const LetterFrame b = letters(c.new_frame);
    sgl_box boxes[SGL_DAMAGE_RECTS];
    uint32_t count = 0;
    ASSERT_TRUE(sgl_damage_diff(
        a.items.data(), static_cast<uint32_t>(a.items.size()), a.words.data(), b.items.data(),
        static_cast<uint32_t>(b.items.size()), b.words.data(), boxes, &count));
    std::vector<sgl_box> expected;
    for (const char letter : c.damaged) expected.push_back(letter_box(letter));
    std::sort(expected.begin(), expected.end(), box_less);
    EXPECT_EQ(expected, sorted(boxes, count));
  }
}

TEST(DamageDiff, EqualKeysWithOtherWordsAreNoPartners) {
  LetterFrame a = letters("abc");
  LetterFrame b = letters("abc");
  b.words[1] = 'q';  // the key says b, the words do not
  sgl_box boxes[SGL_DAMAGE_RECTS];
  uint32_t count = 0;
  ASSERT_TRUE(sgl_damage_diff(a.items.data(), 3, a.words.data(), b.items.data(), 3, b.words.data(),
                              boxes, &count));
  ASSERT_EQ(1u, count);
  EXPECT_EQ(letter_box('b'), boxes[0]);
}

TEST(DamageDiff, TooTangledADifferenceIsGivenUp) {
  // Two long frames with nothing in common: every item is searched for to
  // the end of the other frame.
  std::vector<uint32_t> old_words(4000), new_words(4000);
  std::vector<sgl_damage_item> old_items(4000), new_items(4000);
  for (uint32_t i = 0; i < 4000; ++i) {
    old_words[i] = i;
    new_words[i] = i + 100000;
    old_items[i] = {i + 1, i, 1, {0, 0, 1, 1}, 0};
    new_items[i] = {i + 100001, i, 1, {0, 0, 1, 1}, 0};
  }
  sgl_box boxes[SGL_DAMAGE_RECTS];
  uint32_t count = 0;
  EXPECT_FALSE(sgl_damage_diff(old_items.data(), 4000, old_words.data(), new_items.data(), 4000,
                               new_words.data(), boxes, &count));
}

// ---------------------------------------------------------------------------
// Items of a stream
// ---------------------------------------------------------------------------

uint32_t bits(float value) {
  uint32_t word;
  std::memcpy(&word, &value, sizeof word);
  return word;
}

// A stream written record by record, as the recorder writes it.
class Stream {
 public:
  Stream& Record(uint32_t op, std::initializer_list<uint32_t> payload) {
    words_.push_back(op | static_cast<uint32_t>(payload.size()) << kOpBits);
    words_.insert(words_.end(), payload.begin(), payload.end());
    return *this;
  }
  // The frame's beginning as the host's frame writes it: scissor off, the
  // viewport, the projection and the 1280 x 768 orthographic model-view.
  Stream& Start() {
    Record(kOpDisable, {GL_SCISSOR_TEST});
    Record(kOpViewport, {0, 0, 1280, 768});
    Record(kOpMatrixMode, {GL_PROJECTION});
    Record(kOpLoadIdentity, {});
    Record(kOpMatrixMode, {GL_MODELVIEW});
    Record(kOpLoadMatrixf, {bits(2.0f / 1280), 0, 0, 0, 0, bits(2.0f / 768), 0, 0, 0, 0, bits(1.0f),
                            0, bits(-1.0f), bits(-1.0f), 0, bits(1.0f)});
    Record(kOpDisable, {GL_TEXTURE_2D});
    Record(kOpDisable, {GL_STENCIL_TEST});
    Record(kOpDisable, {GL_DEPTH_TEST});
    return *this;
  }
  Stream& Colour(float grey) {
    return Record(kOpColor4fv, {bits(grey), bits(grey), bits(grey), bits(1)});
  }
  // A filled quad (x0, y0)-(x1, y1) as an array draw; with texture
  // coordinates when asked.
  Stream& Quad(float x0, float y0, float x1, float y1, bool texcoords = false) {
    std::vector<uint32_t> p = {GL_TRIANGLE_FAN, 4,        texcoords ? 1u : 0u,
                               bits(x0),        bits(y0), bits(x1),
                               bits(y0),        bits(x1), bits(y1),
                               bits(x0),        bits(y1)};
    if (texcoords) {
      for (const float st : {0.f, 0.f, 1.f, 0.f, 1.f, 1.f, 0.f, 1.f}) p.push_back(bits(st));
    }
    words_.push_back(kOpDrawArrays | static_cast<uint32_t>(p.size()) << kOpBits);
    words_.insert(words_.end(), p.begin(), p.end());
    return *this;
  }
  const std::vector<uint32_t>& Words() const { return words_; }

 private:
  std::vector<uint32_t> words_;
};

class DamageItems : public ::testing::Test {
 protected:
  void SetUp() override {
    std::memset(&context_, 0, sizeof context_);
    context_.native_width = 1280;
    context_.native_height = 768;
    sgli_damage_forget_state(&context_.damage.scan);
  }
  // The items of a stream, read with the state the streams before left.
  std::vector<sgl_damage_item> List(const Stream& stream) {
    context_.damage.unboundable = 0;
    std::vector<sgl_damage_item> items(64);
    const uint32_t n =
        sgli_damage_list_items(&context_, stream.Words().data(),
                               static_cast<uint32_t>(stream.Words().size()), items.data(), 64);
    items.resize(n);
    return items;
  }
  bool Unboundable() const { return context_.damage.unboundable != 0; }

  static sgl_type_statemachine context_;  // large: static storage
};

sgl_type_statemachine DamageItems::context_;

TEST_F(DamageItems, DrawsUnderOtherTransformationsDifferInKeyAndBox) {
  Stream s;
  s.Start().Colour(1);
  for (const float x : {100.0f, 300.0f}) {
    s.Record(kOpPushMatrix, {}).Record(kOpTranslatef, {bits(x), 0, 0});
    s.Quad(0, 0, 10, 10).Record(kOpPopMatrix, {});
  }
  s.Quad(0, 0, 10, 10);  // back at the origin after the pops
  const std::vector<sgl_damage_item> items = List(s);
  ASSERT_EQ(3u, items.size());
  EXPECT_FALSE(Unboundable());
  EXPECT_NE(items[0].key, items[1].key);
  EXPECT_EQ((sgl_box{98, 0, 113, 13}), items[0].box);
  EXPECT_EQ((sgl_box{298, 0, 313, 13}), items[1].box);
  EXPECT_EQ((sgl_box{0, 0, 13, 13}), items[2].box);
}

TEST_F(DamageItems, KeysFollowOnlyTheStateADrawReads) {
  // The same quad: after another colour it differs, after another bound
  // texture with texturing off it does not.
  Stream a, b, c;
  a.Start().Colour(1).Record(kOpBindTexture, {GL_TEXTURE_2D, 5}).Quad(0, 0, 10, 10);
  b.Start().Colour(0.5f).Record(kOpBindTexture, {GL_TEXTURE_2D, 5}).Quad(0, 0, 10, 10);
  c.Start().Colour(1).Record(kOpBindTexture, {GL_TEXTURE_2D, 6}).Quad(0, 0, 10, 10);
  const uint64_t key_a = List(a)[0].key;
  const uint64_t key_b = List(b)[0].key;
  const uint64_t key_c = List(c)[0].key;
  EXPECT_NE(key_a, key_b);
  EXPECT_EQ(key_a, key_c);
  // A clear does not read the colour of draws, only its own.
  Stream d, e;
  d.Start().Colour(1).Record(kOpClearColor, {0, 0, 0, 0}).Record(kOpClear, {GL_COLOR_BUFFER_BIT});
  e.Start().Colour(0).Record(kOpClearColor, {0, 0, 0, 0}).Record(kOpClear, {GL_COLOR_BUFFER_BIT});
  EXPECT_EQ(List(d)[0].key, List(e)[0].key);
  Stream f;
  f.Start().Record(kOpClearColor, {0, bits(1), 0, 0}).Record(kOpClear, {GL_COLOR_BUFFER_BIT});
  EXPECT_NE(List(d)[0].key, List(f)[0].key);
}

TEST_F(DamageItems, ScissorsMasksAndClearsBoundWhatTheyReach) {
  struct Case {
    const char* name;
    void (*write)(Stream*);
    uint32_t item;  // whose box is checked
    sgl_box expected;
  };
  const Case cases[] = {
      {"a draw inside a scissor is cut to it",
       [](Stream* s) {
         s->Record(kOpScissor, {10, 20, 30, 40}).Record(kOpEnable, {GL_SCISSOR_TEST});
         s->Quad(0, 0, 200, 200);
       },
       0,
       {10, 20, 40, 60}},
      {"a colour clear inside a scissor",
       [](Stream* s) {
         s->Record(kOpScissor, {10, 20, 30, 40}).Record(kOpEnable, {GL_SCISSOR_TEST});
         s->Record(kOpClear, {GL_COLOR_BUFFER_BIT});
       },
       0,
       {10, 20, 40, 60}},
      {"a stencil clear to zero reaches only where a draw set the bit",
       [](Stream* s) {
         s->Record(kOpClearStencil, {0}).Record(kOpStencilMask, {0xFF});
         s->Record(kOpClear, {GL_STENCIL_BUFFER_BIT});  // all bits: known zero after
         s->Record(kOpEnable, {GL_STENCIL_TEST}).Record(kOpStencilMask, {2});
         s->Record(kOpStencilOp, {GL_REPLACE, GL_REPLACE, GL_REPLACE});
         s->Quad(100, 100, 110, 110);
         s->Record(kOpClear, {GL_STENCIL_BUFFER_BIT});
       },
       2,
       {98, 98, 113, 113}},
      {"then again: nothing is left to clear",
       [](Stream* s) {
         s->Record(kOpClearStencil, {0}).Record(kOpStencilMask, {0xFF});
         s->Record(kOpClear, {GL_STENCIL_BUFFER_BIT});
         s->Record(kOpEnable, {GL_STENCIL_TEST}).Record(kOpStencilMask, {2});
         s->Record(kOpStencilOp, {GL_REPLACE, GL_REPLACE, GL_REPLACE});
         s->Quad(100, 100, 110, 110);
         s->Record(kOpClear, {GL_STENCIL_BUFFER_BIT}).Record(kOpClear, {GL_STENCIL_BUFFER_BIT});
       },
       3, kEmpty},
      {"a bit another draw set is not this one's",
       [](Stream* s) {
         s->Record(kOpClearStencil, {0}).Record(kOpStencilMask, {0xFF});
         s->Record(kOpClear, {GL_STENCIL_BUFFER_BIT});
         s->Record(kOpEnable, {GL_STENCIL_TEST}).Record(kOpStencilMask, {2});
         s->Record(kOpStencilOp, {GL_REPLACE, GL_REPLACE, GL_REPLACE});
         s->Quad(100, 100, 110, 110);
         s->Record(kOpStencilMask, {4}).Record(kOpClear, {GL_STENCIL_BUFFER_BIT});
       },
       2, kEmpty},
      {"a draw that only tests the stencil writes nothing to clear",
       [](Stream* s) {
         s->Record(kOpClearStencil, {0}).Record(kOpStencilMask, {0xFF});
         s->Record(kOpClear, {GL_STENCIL_BUFFER_BIT});
         s->Record(kOpEnable, {GL_STENCIL_TEST}).Record(kOpStencilOp, {GL_KEEP, GL_KEEP, GL_KEEP});
         s->Quad(100, 100, 110, 110);
         s->Record(kOpClear, {GL_STENCIL_BUFFER_BIT});
       },
       2, kEmpty},
      {"a stencil clear to one reaches its whole region",
       [](Stream* s) {
         s->Record(kOpClearStencil, {65535}).Record(kOpStencilMask, {1});
         s->Record(kOpClear, {GL_STENCIL_BUFFER_BIT});
       },
       0, sgl_whole_box()},
      {"the first stencil clear of a frame reaches everything",
       [](Stream* s) {
         s->Record(kOpClearStencil, {0}).Record(kOpStencilMask, {1});
         s->Record(kOpClear, {GL_STENCIL_BUFFER_BIT});
       },
       0, sgl_whole_box()},
      {"a colour clear with every colour bit masked reaches nothing",
       [](Stream* s) {
         s->Record(kOpColorMask, {0, 0, 0, 0}).Record(kOpClear, {GL_COLOR_BUFFER_BIT});
       },
       0, kEmpty},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    Stream s;
    s.Start();
    c.write(&s);
    const std::vector<sgl_damage_item> items = List(s);
    ASSERT_LT(c.item, items.size());
    EXPECT_EQ(c.expected, items[c.item].box);
    EXPECT_FALSE(Unboundable());
  }
}

TEST_F(DamageItems, WhatCannotBeFollowedCannotBeBounded) {
  struct Case {
    const char* name;
    void (*write)(Stream*);
  };
  const Case cases[] = {
      {"a display list called", [](Stream* s) { s->Record(kOpCallList, {7}); }},
      {"a scissor enabled whose box the streams never gave",
       [](Stream* s) { s->Record(kOpEnable, {GL_SCISSOR_TEST}).Quad(0, 0, 10, 10); }},
      {"a textured draw reading the coordinate an array draw left",
       [](Stream* s) {
         s->Record(kOpEnable, {GL_TEXTURE_2D}).Quad(0, 0, 10, 10, true).Quad(0, 0, 10, 10);
       }},
      {"a matrix call in an unknown matrix mode",
       [](Stream* s) { s->Record(kOpMatrixMode, {GL_COLOR}).Record(kOpLoadIdentity, {}); }},
      {"a record cut short", [](Stream* s) { s->Record(kOpColor4fv | 8u << kOpBits, {}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stream s;
    s.Start();
    c.write(&s);
    List(s);
    EXPECT_TRUE(Unboundable());
  }
  // The coordinate given since makes the textured draw boundable again.
  Stream s;
  s.Start().Record(kOpEnable, {GL_TEXTURE_2D}).Quad(0, 0, 10, 10, true);
  s.Record(kOpTexCoord2f, {0, 0}).Quad(0, 0, 10, 10);
  List(s);
  EXPECT_FALSE(Unboundable());
}

}  // namespace
