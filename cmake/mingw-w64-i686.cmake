# Cross-compilation to 32-bit Windows (i686) with mingw-w64: 32-bit servers need 32-bit programs.
set(QV_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
