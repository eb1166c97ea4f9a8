# velkor-manpage: build-time generator of the manual pages from the programs'
# own --help texts (cmake/velkor_install.cmake runs it). The text rules are a
# library of their own so that tests can feed it help texts.
add_library(velkor_manpage_text STATIC ${CMAKE_CURRENT_LIST_DIR}/manpage.cpp)
velkor_library_headers(velkor_manpage_text tools)
add_executable(velkor-manpage ${CMAKE_CURRENT_LIST_DIR}/velkor_manpage.cpp)
target_link_libraries(velkor-manpage PRIVATE velkor_manpage_text)
