# velkor-soak: the whole program off-screen under random input, with the
# panel's invariants checked after every frame (build/tools/velkor-soak
# --frames N --seed S). `make soak` runs the long version.
if(NOT TARGET velkor_app)
  return()
endif()
add_executable(velkor-soak ${CMAKE_CURRENT_LIST_DIR}/velkor_soak.cpp)
target_link_libraries(velkor-soak PRIVATE velkor_app)

# Tests that run the soak link this: it names the built binary.
add_library(velkor_soak_binary INTERFACE)
target_compile_definitions(velkor_soak_binary INTERFACE
  VELKOR_SOAK_BINARY="$<TARGET_FILE:velkor-soak>")
add_dependencies(velkor_soak_binary velkor-soak)
