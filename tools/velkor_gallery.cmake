# velkor-gallery: every widget display class in its states, drawn off-screen
# into a PNG or BMP (build/tools/velkor-gallery --out gallery.png). The
# families are a library of their own so that tests can draw the gallery's
# frames too.
if(NOT TARGET velkor_display OR NOT TARGET velkor_app)
  return()
endif()
find_package(PNG REQUIRED)
file(GLOB velkor_gallery_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/gallery*.cpp)
add_library(velkor_gallery_families STATIC ${velkor_gallery_sources})
velkor_library_headers(velkor_gallery_families tools)
target_link_libraries(velkor_gallery_families PUBLIC velkor_display velkor_widgets velkor_graphics)

add_executable(velkor-gallery ${CMAKE_CURRENT_LIST_DIR}/velkor_gallery.cpp)
target_link_libraries(velkor-gallery PRIVATE velkor_gallery_families velkor_app velkor_host velkor_font_table
                      velkor_texture_table PNG::PNG OpenGL::GL)
