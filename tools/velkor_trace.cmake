# velkor-trace: the simulator core run headless (build/tools/velkor-trace).
# Its step and grading record are a library of their own, so that tests can
# check them without the command line.
find_package(nlohmann_json 3 REQUIRED)
add_library(velkor_trace_run STATIC ${CMAKE_CURRENT_LIST_DIR}/velkor_trace_run.cpp
            ${CMAKE_CURRENT_LIST_DIR}/velkor_trace_run.h)
velkor_library_headers(velkor_trace_run tools)
target_link_libraries(velkor_trace_run PUBLIC velkor_core nlohmann_json::nlohmann_json)

add_executable(velkor-trace ${CMAKE_CURRENT_LIST_DIR}/velkor_trace.cpp)
target_link_libraries(velkor-trace PRIVATE velkor_trace_run)

# Tests that run the tool link this: it names the built binary and makes
# the test wait for it.
add_library(velkor_trace_binary INTERFACE)
target_compile_definitions(velkor_trace_binary INTERFACE
  VELKOR_TRACE_BINARY="$<TARGET_FILE:velkor-trace>")
add_dependencies(velkor_trace_binary velkor-trace)
