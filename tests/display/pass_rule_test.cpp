// The pass rule of every display class an owner draws itself (the parts a
// class draws inside itself come with their owner's pass): drawn in a pass
// other than its own, an instance draws nothing and leaves every byte of its
// record as it was, even with the pointer over it pressing and a key going
// down; drawn in its own pass it acts. Alloc gives a zero-filled record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

#include "display/Velkor_Animation.h"
#include "display/Velkor_CheckBox.h"
#include "display/Velkor_CheckButton.h"
#include "display/Velkor_ClickArea.h"
#include "display/Velkor_ClippedLabel.h"
#include "display/Velkor_ColorBase.h"
#include "display/Velkor_ComboBox.h"
#include "display/Velkor_ComboBoxItem.h"
#include "display/Velkor_Cursor.h"
#include "display/Velkor_FrameShape.h"
#include "display/Velkor_Gauge.h"
#include "display/Velkor_GaugeHorizontal.h"
#include "display/Velkor_GaugeVertical.h"
#include "display/Velkor_GetCycleDuration.h"
#include "display/Velkor_Graduation_element.h"
#include "display/Velkor_Highlight.h"
#include "display/Velkor_IndividualFocus.h"
#include "display/Velkor_Init.h"
#include "display/Velkor_KeyEvent.h"
#include "display/Velkor_LineOfCells.h"
#include "display/Velkor_MultiColumn.h"
#include "display/Velkor_MultiColumnCell.h"
#include "display/Velkor_Panel.h"
#include "display/Velkor_PopUpPanel.h"
#include "display/Velkor_PushButton.h"
#include "display/Velkor_RadioBox.h"
#include "display/Velkor_RadioButton.h"
#include "display/Velkor_Scale.h"
#include "display/Velkor_Scale_element.h"
#include "display/Velkor_ScrollBar.h"
#include "display/Velkor_ScrollList_generic.h"
#include "display/Velkor_ScrollPanel.h"
#include "display/Velkor_Slider.h"
#include "display/Velkor_SliderThumb.h"
#include "display/Velkor_TextEditBox.h"
#include "display/Velkor_ToggleButton.h"
#include "tests/display/display_fixture.h"

namespace velkor_test {
namespace {

int children_calls = 0;
void count_children(void*, uint32_t, int32_t, uint32_t) {
  ++children_calls;
}

class PassRuleTest : public DisplayTest {
 protected:
  // `prepare` gives the instance something to draw in its own pass, 1.
  template <typename T, typename P = std::nullptr_t>
  void Check(const char* name, T* (*alloc)(), void (*release)(T*), void (*init)(T*),
             void (*draw)(T*, uint32_t), P prepare = nullptr) {
    SCOPED_TRACE(name);
    T* instance = alloc();
    ASSERT_NE(nullptr, instance);
    const auto* bytes = reinterpret_cast<const unsigned char*>(instance);
    EXPECT_TRUE(std::all_of(bytes, bytes + sizeof(T), [](unsigned char b) { return b == 0; }));
    init(instance);
    if constexpr (!std::is_same_v<P, std::nullptr_t>) prepare(instance);
    instance->pass = 1;
    const std::vector<unsigned char> before(bytes, bytes + sizeof(T));
    children_calls = 0;
    for (uint32_t pass : {0u, 2u, 1u}) {
      MoveTo(110, 110);
      Press();
      KeyDown(KEY_SPACE);
      Frame([&] { DrawAt(100, 100, 1, 0, [&] { draw(instance, pass); }); });
      if (pass == 1) break;
      EXPECT_EQ(0, CountCoveredPixels(0, 0, 1280, 768)) << "pass " << pass;
      EXPECT_EQ(0, std::memcmp(before.data(), instance, sizeof(T))) << "pass " << pass;
      EXPECT_EQ(0, children_calls);
    }
    // In its own pass it acts (outputs, flags, colours or drawn rectangle).
    EXPECT_NE(0, std::memcmp(before.data(), instance, sizeof(T)));
    release(instance);
  }
};

#define VELKOR_CLASS(T) \
#T, Velkor_##T##_alloc, Velkor_##T##_free, Velkor_##T##_init, Velkor_##T##_draw

TEST_F(PassRuleTest, EveryClassIgnoresOtherPasses) {
  Check(VELKOR_CLASS(PushButton));
  Check(VELKOR_CLASS(ToggleButton));
  Check(VELKOR_CLASS(CheckButton));
  Check(VELKOR_CLASS(CheckBox), [](Velkor_CheckBox* b) { b->checked = 1; });
  Check(VELKOR_CLASS(Panel), [](Velkor_Panel* p) { p->children = count_children; });
  Check(VELKOR_CLASS(PopUpPanel), [](Velkor_PopUpPanel* p) {
    p->children = count_children;
    p->open = p->apply = 1;
  });
  Check(VELKOR_CLASS(FrameShape), [](Velkor_FrameShape* f) { f->fillColor = 2; });
  Check(VELKOR_CLASS(ClippedLabel), [](Velkor_ClippedLabel* l) {
    l->text = "Text";
    l->color = 2;
  });
  Check(VELKOR_CLASS(ClickArea), [](Velkor_ClickArea* a) { a->showHighlight = 1; });
  Check(VELKOR_CLASS(RadioButton), [](Velkor_RadioButton* r) { r->checked = 1; });
  Check(VELKOR_CLASS(IndividualFocus), [](Velkor_IndividualFocus* f) { f->request = 1; });
  Check(VELKOR_CLASS(KeyEvent), [](Velkor_KeyEvent* k) { k->enable = 1; });
  Check(VELKOR_CLASS(Init));
  Check(VELKOR_CLASS(ColorBase), [](Velkor_ColorBase* c) { c->colorScheme = 1; });
  Check(VELKOR_CLASS(GetCycleDuration), [](Velkor_GetCycleDuration* d) { d->duration = 0; });
  Check(VELKOR_CLASS(Animation), [](Velkor_Animation* a) {
    a->play = 1;
    a->duration = 330;
  });
  Check(VELKOR_CLASS(ComboBox), [](Velkor_ComboBox* c) { c->open = 1; });
  Check(VELKOR_CLASS(ComboBoxItem), [](Velkor_ComboBoxItem* i) { i->label = "x"; });
  Check(VELKOR_CLASS(ScrollList_generic));
  Check(VELKOR_CLASS(ScrollBar));
  Check(VELKOR_CLASS(RadioBox));
  Check(VELKOR_CLASS(MultiColumn));
  Check(VELKOR_CLASS(MultiColumnCell), [](Velkor_MultiColumnCell* c) { c->label = "x"; });
  Check(VELKOR_CLASS(ScrollPanel), [](Velkor_ScrollPanel* p) { p->children = count_children; });
  Check(VELKOR_CLASS(Slider), [](Velkor_Slider* s) {
    s->forcedValue = 50;
    s->force = 1;
  });
  Check(VELKOR_CLASS(TextEditBox), [](Velkor_TextEditBox* b) { b->initialText = "abc"; });
  Check(VELKOR_CLASS(Scale));
  Check(VELKOR_CLASS(Gauge), [](Velkor_Gauge* g) { g->value = 0.5f; });
  Check(VELKOR_CLASS(GaugeHorizontal), [](Velkor_GaugeHorizontal* g) { g->value = 5.0f; });
  Check(VELKOR_CLASS(GaugeVertical), [](Velkor_GaugeVertical* g) { g->value = 5.0f; });
  Check(VELKOR_CLASS(Graduation_element), [](Velkor_Graduation_element* t) { t->color = 2; });
  Check(VELKOR_CLASS(Scale_element), [](Velkor_Scale_element* e) {
    e->labelled = 1;
    e->value = 42.0f;
  });
  Check(VELKOR_CLASS(Highlight), [](Velkor_Highlight* h) { h->color = 2; });
  Check(VELKOR_CLASS(LineOfCells), [](Velkor_LineOfCells* l) {
    l->columns = 2;
    l->faceColor = 2;
  });
  Check(VELKOR_CLASS(SliderThumb));
  Check(VELKOR_CLASS(Cursor), [](Velkor_Cursor* c) {
    c->text = "abc";
    c->active = c->visible = 1;
    c->labelColor = 2;
  });
}

}  // namespace
}  // namespace velkor_test
