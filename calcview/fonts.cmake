# SPDX-License-Identifier: GPL-2.0-or-later
# The preview's fonts and their test; include() this file from calcview/CMakeLists.txt.
add_library(calcview_fonts OBJECT ${CMAKE_CURRENT_LIST_DIR}/fonts.cpp)
target_include_directories(calcview_fonts PUBLIC ${CMAKE_CURRENT_LIST_DIR})

add_executable(calcview_fonts_test ${CMAKE_CURRENT_LIST_DIR}/fonts_test.cpp)
target_link_libraries(calcview_fonts_test PRIVATE calcview_fonts GTest::gtest_main)
gtest_discover_tests(calcview_fonts_test)
