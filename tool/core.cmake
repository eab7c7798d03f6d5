# The Qt-free model files; no file listed here may include a Qt header.
add_library(kelvane_core STATIC
  shell/GbkText.cpp
)
target_include_directories(kelvane_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
