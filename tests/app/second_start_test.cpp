// A panel started while an earlier one still exists in the process (or after
// it) starts with a focus order of its own widgets only: the order is
// process-wide, and stale ids would fill it until new widgets are refused.
#include <gtest/gtest.h>

#include "app/Velkor_application.h"
#include "host/host_application.h"
#include "panel/Velkor_symbology_layer.h"
#include "widgets/Focus.h"

namespace {

Application* start() {
  Application* app = Application_Allocate(&g_application_data, "velkor");
  if (app == nullptr) return nullptr;
  Application_UseSystemEvents(app, 1);
  if (Application_CreateBuffer(app) == nullptr) {
    Application_Free(app);
    return nullptr;
  }
  Application_Reset(app);
  for (int frame = 0; frame < 3; ++frame) Application_Draw(app);
  return app;
}

// Whether every entry of the focus order is a field of the app's layer
// context (an id is the low 32 bits of the field's address).
bool order_belongs_to(Application* app) {
  const auto low =
      static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Application_GetLayerContext(app, 0)));
  for (int i = 0; i < GetFocusOrderCount(); ++i) {
    if (GetFocusOrderEntry(i).id - low >= Velkor_symbology_layer_size()) return false;
  }
  return true;
}

TEST(SecondStart, FocusOrderHoldsOnlyTheLivePanelsWidgets) {
  Application* first = start();
  ASSERT_NE(nullptr, first) << "no off-screen OpenGL buffer";
  const int widgets = GetFocusOrderCount();
  EXPECT_GT(widgets, 0);
  EXPECT_TRUE(order_belongs_to(first));

  Application* second = start();  // the first still holds its memory: other ids
  ASSERT_NE(nullptr, second);
  EXPECT_EQ(widgets, GetFocusOrderCount());
  EXPECT_TRUE(order_belongs_to(second));
  Application_Free(second);
  Application_Free(first);
}

}  // namespace
