# velkor-compare: the rule by which two renderings of a frame agree (close
# colours, nothing moved), as a library for the tests and as a command
# (build/tools/velkor-compare a.png b.png).
find_package(PNG REQUIRED)
add_library(velkor_image_agreement STATIC ${CMAKE_CURRENT_LIST_DIR}/image_agreement.cpp)
velkor_library_headers(velkor_image_agreement tools)
target_link_libraries(velkor_image_agreement PUBLIC PNG::PNG)

add_executable(velkor-compare ${CMAKE_CURRENT_LIST_DIR}/velkor_compare.cpp)
target_link_libraries(velkor-compare PRIVATE velkor_image_agreement)
