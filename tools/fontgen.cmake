# velkor_fontgen: build-time generator of the panel's font table (see
# panel/CMakeLists.txt, which runs it). FreeType is needed only here, never
# by the program itself.
find_package(Freetype REQUIRED)
add_executable(velkor_fontgen ${CMAKE_CURRENT_LIST_DIR}/fontgen.cpp)
target_link_libraries(velkor_fontgen PRIVATE Freetype::Freetype)
