# The simulator core: one whole instruction step on the demonstration program.
add_executable(core_bench ${CMAKE_CURRENT_LIST_DIR}/core_bench.cpp)
target_link_libraries(core_bench PRIVATE velkor_core benchmark::benchmark)
