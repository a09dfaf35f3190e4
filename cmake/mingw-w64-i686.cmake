# Cross-compiles the 32-bit Windows program, the one players run, with mingw-w64; its tests run
# under Wine's 32-bit loader where the kernel runs 32-bit programs, and show as skipped elsewhere.
set(ORVANE_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(ORVANE_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
