# velkor-icon: build-time cutter of the desktop icon from a snapshot of the
# panel (cmake/velkor_install.cmake draws the snapshot and runs it).
find_package(PNG REQUIRED)
add_library(velkor_icon_image STATIC ${CMAKE_CURRENT_LIST_DIR}/icon.cpp)
velkor_library_headers(velkor_icon_image tools)
target_link_libraries(velkor_icon_image PUBLIC PNG::PNG)
add_executable(velkor-icon ${CMAKE_CURRENT_LIST_DIR}/velkor_icon.cpp)
target_link_libraries(velkor-icon PRIVATE velkor_icon_image)
