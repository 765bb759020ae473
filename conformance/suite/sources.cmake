# The suite's checks, which the device's build and the Win32 build both compile.
set(VELORIN_CONFORMANCE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/activation_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialog_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gdi_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/input_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kernel_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paint_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registry_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resource_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/timer_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_tree_checks.cpp
)
# The process checks' child: a program of its own on Windows, an installed image on the device.
set(VELORIN_CONFORMANCE_CHILD_SOURCES ${CMAKE_CURRENT_LIST_DIR}/process_child.cpp)
