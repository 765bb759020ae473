# Desktop Win32, i686: the target's word size.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VELORIN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
