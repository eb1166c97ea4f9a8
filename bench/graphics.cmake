# Drawing library frame benchmark: a panel-like frame drawn off-screen on the
# same EGL pbuffer context as the tests (without GoogleTest).
add_executable(graphics_bench ${CMAKE_CURRENT_LIST_DIR}/graphics_bench.cpp)
target_link_libraries(graphics_bench PRIVATE velkor_graphics velkor_offscreen_gl benchmark::benchmark)
