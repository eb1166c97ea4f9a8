// The pass rule of every display class: drawn in a pass other than its own,
// an instance draws nothing and leaves every byte of its record as it was,
// even with the pointer over it pressing and a key going down.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "display/Velkor_Animation.h"
#include "display/Velkor_CheckBox.h"
#include "display/Velkor_CheckButton.h"
#include "display/Velkor_ClickArea.h"
#include "display/Velkor_ClippedLabel.h"
#include "display/Velkor_ColorBase.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_GetCycleDuration.h"
#include "display/Velkor_Highlight.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_Init.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_Panel.h"
#include "display/Velkor_PopUpPanel.h"
#include "display/Velkor_PushButton.h"
#include "display/Velkor_RadioButton.h"
#include "display/Velkor_ToggleButton.h"
#include "tests/display/display_fixture.h"

namespace {

using velkor_test::CountCoveredPixels;
using velkor_test::DisplayTest;

int children_calls = 0;
void count_children(void*, uint32_t, int32_t, uint32_t) {
  ++children_calls;
}

// Allocates and initialises an instance whose pass is 1, with whatever it
// needs to draw something in its own pass; draws it in `pass`; frees it.
template <typename T>
struct Subject {
  T* (*alloc)();
  void (*free)(T*);
  void (*init)(T*);
  void (*draw)(T*, uint32_t);
  std::function<void(T*)> prepare;
};

template <typename T>
void check_other_pass(DisplayTest* test, const char* name, const Subject<T>& s,
                      const std::function<void(const std::function<void()>&)>& frame) {
  SCOPED_TRACE(name);
  T* instance = s.alloc();
  ASSERT_NE(nullptr, instance);
  s.init(instance);
  if (s.prepare) s.prepare(instance);
  instance->pass = 1;
  std::vector<unsigned char> before(sizeof(T));
  std::memcpy(before.data(), instance, sizeof(T));
  children_calls = 0;
  for (uint32_t pass : {0u, 2u}) {
    frame([&] {
      sglPushMatrixAndTranslate(100, 100);
      s.draw(instance, pass);
      sglPopMatrixAndTranslate();
    });
    EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768)) << "pass " << pass;
  }
  EXPECT_EQ(0, std::memcmp(before.data(), instance, sizeof(T)));
  EXPECT_EQ(0, children_calls);
  // In its own pass it does act: the record changes (outputs, first-frame
  // flags, computed colours or the drawn rectangle).
  frame([&] {
    sglPushMatrixAndTranslate(100, 100);
    s.draw(instance, 1);
    sglPopMatrixAndTranslate();
  });
  EXPECT_NE(0, std::memcmp(before.data(), instance, sizeof(T)));
  (void)test;
  s.free(instance);
}

TEST_F(DisplayTest, EveryClassIgnoresOtherPasses) {
  auto frame = [&](const std::function<void()>& draw) {
    MoveTo(110, 110);
    Press();
    KeyDown(KEY_SPACE);
    Frame(draw);
  };
  check_other_pass<Velkor_PushButton>(this, "PushButton",
                                      {Velkor_PushButton_alloc,
                                       Velkor_PushButton_free,
                                       Velkor_PushButton_init,
                                       Velkor_PushButton_draw,
                                       {}},
                                      frame);
  check_other_pass<Velkor_ToggleButton>(this, "ToggleButton",
                                        {Velkor_ToggleButton_alloc,
                                         Velkor_ToggleButton_free,
                                         Velkor_ToggleButton_init,
                                         Velkor_ToggleButton_draw,
                                         {}},
                                        frame);
  check_other_pass<Velkor_CheckButton>(this, "CheckButton",
                                       {Velkor_CheckButton_alloc,
                                        Velkor_CheckButton_free,
                                        Velkor_CheckButton_init,
                                        Velkor_CheckButton_draw,
                                        {}},
                                       frame);
  check_other_pass<Velkor_CheckBox>(
      this, "CheckBox",
      {Velkor_CheckBox_alloc, Velkor_CheckBox_free, Velkor_CheckBox_init, Velkor_CheckBox_draw,
       [](Velkor_CheckBox* b) { b->checked = 1; }},
      frame);
  check_other_pass<Velkor_Panel>(
      this, "Panel",
      {Velkor_Panel_alloc, Velkor_Panel_free, Velkor_Panel_init, Velkor_Panel_draw,
       [](Velkor_Panel* p) { p->children = count_children; }},
      frame);
  check_other_pass<Velkor_PopUpPanel>(this, "PopUpPanel",
                                      {Velkor_PopUpPanel_alloc, Velkor_PopUpPanel_free,
                                       Velkor_PopUpPanel_init, Velkor_PopUpPanel_draw,
                                       [](Velkor_PopUpPanel* p) {
                                         p->children = count_children;
                                         p->open = 1;
                                         p->apply = 1;
                                       }},
                                      frame);
  check_other_pass<Velkor_FrameShape>(
      this, "FrameShape",
      {Velkor_FrameShape_alloc, Velkor_FrameShape_free, Velkor_FrameShape_init,
       Velkor_FrameShape_draw, [](Velkor_FrameShape* f) { f->fillColor = 2; }},
      frame);
  check_other_pass<Velkor_ClippedLabel>(this, "ClippedLabel",
                                        {Velkor_ClippedLabel_alloc, Velkor_ClippedLabel_free,
                                         Velkor_ClippedLabel_init, Velkor_ClippedLabel_draw,
                                         [](Velkor_ClippedLabel* l) {
                                           l->text = "Text";
                                           l->color = 2;
                                         }},
                                        frame);
  check_other_pass<Velkor_Highlight>(this, "Highlight",
                                     {Velkor_Highlight_alloc,
                                      Velkor_Highlight_free,
                                      Velkor_Highlight_init,
                                      Velkor_Highlight_draw,
                                      {}},
                                     frame);
  check_other_pass<Velkor_ClickArea>(
      this, "ClickArea",
      {Velkor_ClickArea_alloc, Velkor_ClickArea_free, Velkor_ClickArea_init, Velkor_ClickArea_draw,
       [](Velkor_ClickArea* a) { a->showHighlight = 1; }},
      frame);
  check_other_pass<Velkor_RadioButton>(
      this, "RadioButton",
      {Velkor_RadioButton_alloc, Velkor_RadioButton_free, Velkor_RadioButton_init,
       Velkor_RadioButton_draw, [](Velkor_RadioButton* r) { r->checked = 1; }},
      frame);
  check_other_pass<Velkor_IndividualFocus>(
      this, "IndividualFocus",
      {Velkor_IndividualFocus_alloc, Velkor_IndividualFocus_free, Velkor_IndividualFocus_init,
       Velkor_IndividualFocus_draw, [](Velkor_IndividualFocus* f) { f->request = 1; }},
      frame);
  check_other_pass<Velkor_KeyEvent>(
      this, "KeyEvent",
      {Velkor_KeyEvent_alloc, Velkor_KeyEvent_free, Velkor_KeyEvent_init, Velkor_KeyEvent_draw,
       [](Velkor_KeyEvent* k) { k->enable = 1; }},
      frame);
  check_other_pass<Velkor_Init>(
      this, "Init", {Velkor_Init_alloc, Velkor_Init_free, Velkor_Init_init, Velkor_Init_draw, {}},
      frame);
  check_other_pass<Velkor_ColorBase>(
      this, "ColorBase",
      {Velkor_ColorBase_alloc, Velkor_ColorBase_free, Velkor_ColorBase_init, Velkor_ColorBase_draw,
       [](Velkor_ColorBase* c) { c->colorScheme = 1; }},
      frame);
  check_other_pass<Velkor_GetCycleDuration>(
      this, "GetCycleDuration",
      {Velkor_GetCycleDuration_alloc, Velkor_GetCycleDuration_free, Velkor_GetCycleDuration_init,
       Velkor_GetCycleDuration_draw, [](Velkor_GetCycleDuration* d) { d->duration = 0; }},
      frame);
  check_other_pass<Velkor_Animation>(
      this, "Animation",
      {Velkor_Animation_alloc, Velkor_Animation_free, Velkor_Animation_init, Velkor_Animation_draw,
       [](Velkor_Animation* a) {
         a->play = 1;
         a->duration = 330;
       }},
      frame);
}

}  // namespace
