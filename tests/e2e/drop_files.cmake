# SPDX-License-Identifier: GPL-2.0-or-later
# drop_files: drops files on an X window for the end-to-end tests of both
# window programs; include() it from either.
if(NOT TARGET drop_files)
  find_package(X11 REQUIRED)
  add_executable(drop_files ${CMAKE_CURRENT_LIST_DIR}/drop_files.cpp)
  target_link_libraries(drop_files PRIVATE X11::X11)
endif()
