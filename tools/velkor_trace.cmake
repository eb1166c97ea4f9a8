# velkor-trace: the simulator core run headless (build/tools/velkor-trace).
add_executable(velkor-trace ${CMAKE_CURRENT_LIST_DIR}/velkor_trace.cpp)
target_link_libraries(velkor-trace PRIVATE velkor_core)

# Tests that run the tool link this: it names the built binary and makes
# the test wait for it.
add_library(velkor_trace_binary INTERFACE)
target_compile_definitions(velkor_trace_binary INTERFACE
  VELKOR_TRACE_BINARY="$<TARGET_FILE:velkor-trace>")
add_dependencies(velkor_trace_binary velkor-trace)
