# The whole panel frame off-screen in three scenes, each against a plain
# OpenGL frame, and the start to the first frame (the velkor program's
# application description, through the host's off-screen mode).
if(TARGET velkor_app)
  add_executable(panel_bench ${CMAKE_CURRENT_LIST_DIR}/panel_bench.cpp)
  target_link_libraries(panel_bench PRIVATE velkor_app benchmark::benchmark)
endif()
