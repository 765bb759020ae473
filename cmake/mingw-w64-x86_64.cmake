# Desktop Win32, x86_64: the build that runs under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELORIN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
