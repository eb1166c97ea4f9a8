// The application record without a window: allocation from the description,
// reset, release, the accessors and Application_Draw when there is nothing to
// draw on.
#include "host/host_application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/stand_in_layer.h"

namespace {

using host_test::Log;

int refresh_calls = 0;
void CountRefresh() { ++refresh_calls; }

TEST(ApplicationRecord, NullIsToleratedEverywhere) {
  EXPECT_EQ(nullptr, Application_Allocate(nullptr, "/usr/bin/velkor"));
  Application_Free(nullptr);
  Application_Reset(nullptr);
  EXPECT_EQ(0u, Application_Cancelled(nullptr));
  EXPECT_EQ(1, Application_RefreshCallback(nullptr, CountRefresh));
  EXPECT_EQ(nullptr, Application_GetParams(nullptr));
  EXPECT_EQ(nullptr, Application_GetWindow(nullptr));
  EXPECT_EQ(nullptr, Application_GetLayerContext(nullptr, 0));
  EXPECT_EQ(nullptr, Application_GetKeyboardContext(nullptr, 0));
  EXPECT_EQ(nullptr, Application_GetPointerContext(nullptr, 0));
  EXPECT_EQ(nullptr, Application_FindKeyboardContext(nullptr, 0));
  EXPECT_EQ(nullptr, Application_FindPointerContext(nullptr, 0));
  EXPECT_EQ(0.0, Application_GetMousePosX(nullptr));
  EXPECT_EQ(0.0, Application_GetMousePosY(nullptr));
  EXPECT_EQ(0, Application_Draw(nullptr));
  EXPECT_EQ(nullptr, Application_CreateBuffer(nullptr));
  EXPECT_FALSE(Application_CreateWindow(nullptr, nullptr));
  Application_EnterIOMutex(nullptr);
  Application_EndIOMutex(nullptr);
}

TEST(ApplicationRecord, AllocationBuildsTheContextsFromTheDescription) {
  host_test::StandIn stand_in;
  stand_in.pointer.id = 7;
  stand_in.keyboard.id = 9;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  EXPECT_EQ(std::vector<std::string>({"alloc"}), Log());
  EXPECT_EQ(&stand_in.params, Application_GetParams(app));
  EXPECT_EQ(1.0, app->aspect_ratio);
  EXPECT_EQ(0u, Application_Cancelled(app));
  EXPECT_EQ(nullptr, Application_GetWindow(app));
  ASSERT_NE(nullptr, Application_GetLayerContext(app, 0));
  EXPECT_EQ(nullptr, Application_GetLayerContext(app, 1));  // index equal to the layer count
  EXPECT_EQ(7u, Application_GetPointerContext(app, 0)->id);
  EXPECT_EQ(9u, Application_GetKeyboardContext(app, 0)->id);
  EXPECT_EQ(nullptr, Application_GetPointerContext(app, 1));
  EXPECT_EQ(nullptr, Application_GetKeyboardContext(app, 1));
  EXPECT_EQ(Application_GetKeyboardContext(app, 0), Application_FindKeyboardContext(app, 9));
  EXPECT_EQ(Application_GetKeyboardContext(app, 0), Application_FindKeyboardContext(app, APPLICATION_ANY_ID));
  EXPECT_EQ(nullptr, Application_FindKeyboardContext(app, 0));
  EXPECT_EQ(Application_GetPointerContext(app, 0), Application_FindPointerContext(app, APPLICATION_ANY_ID));
  EXPECT_EQ(nullptr, Application_FindPointerContext(app, 8));
  // Without an executable there is no texture scratch buffer.
  EXPECT_EQ(nullptr, app->texture_buffer);
  ASSERT_NE(nullptr, app->texture_slots);
  EXPECT_EQ(0u, app->texture_slots[3].name);
  EXPECT_EQ(nullptr, app->gradient_slots);
  for (uint32_t slot = 0; slot < APPLICATION_TOUCH_SLOTS; ++slot) EXPECT_EQ(APPLICATION_NO_CONTACT, app->touch_ids[slot]);
  Application_Free(app);
  EXPECT_EQ(std::vector<std::string>({"alloc", "free"}), Log());
}

TEST(ApplicationRecord, AnExecutableBringsTheTextureScratchBuffer) {
  host_test::StandIn stand_in;
  Application* app = Application_Allocate(&stand_in.params, "/usr/bin/velkor");
  ASSERT_NE(nullptr, app);
  EXPECT_EQ(std::string("/usr/bin/velkor"), std::string(app->module_path));
  ASSERT_NE(nullptr, app->texture_buffer);
  EXPECT_EQ(0, app->texture_buffer[APPLICATION_TEXTURE_BUFFER_BYTES - 1]);
  Application_Free(app);
}

TEST(ApplicationRecord, ResetInitialisesTheLayerThenTheMapping) {
  host_test::StandIn stand_in;
  stand_in.keyboard.id = 3;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  app->keyboard_contexts[0].key = 65;
  app->keyboard_contexts[0].id = 77;
  app->pointer_contexts[0].pressed = 1;
  Log().clear();
  Application_Reset(app);
  EXPECT_EQ(std::vector<std::string>({"init", "reset"}), Log());
  EXPECT_EQ(1, static_cast<host_test::LayerContext*>(Application_GetLayerContext(app, 0))->init_calls);
  EXPECT_EQ(host_test::Describe(&app->keyboard_contexts[0]), "keyboard id=3 key=0 pressed=0 released=0 mods=0");
  EXPECT_EQ(0, app->pointer_contexts[0].pressed);
  Application_Free(app);
}

TEST(ApplicationRecord, EntryPointsMayBeMissing) {
  host_test::StandIn stand_in;
  stand_in.layer.alloc = nullptr;
  stand_in.layer.free = nullptr;
  stand_in.layer.init = nullptr;
  stand_in.params.reset = nullptr;
  stand_in.params.acknowledge = nullptr;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  Application_Reset(app);
  EXPECT_EQ(0, Application_Draw(app));
  EXPECT_EQ(nullptr, Application_GetLayerContext(app, 0));
  Application_Free(app);
  EXPECT_TRUE(Log().empty());
}

TEST(ApplicationDraw, WithoutWindowOrBufferOnlyAcknowledgesAndRefreshes) {
  host_test::StandIn stand_in;
  Application* app = Application_Allocate(&stand_in.params, nullptr);
  ASSERT_NE(nullptr, app);
  refresh_calls = 0;
  EXPECT_EQ(0, Application_RefreshCallback(app, CountRefresh));
  Application_UseSystemEvents(app, 1);
  RecordKeyboardEvent(app, 'a', KEY_STATE_DOWN, 0);
  Log().clear();
  EXPECT_EQ(0, Application_Draw(app));
  EXPECT_EQ(std::vector<std::string>({"ack"}), Log());
  EXPECT_EQ(1, refresh_calls);
  // Nothing was drawn, so nothing left the queue.
  EXPECT_EQ(1, app->keyboard_queue.count);
  Application_Free(app);
}

}  // namespace
