# Cross-compiles the 64-bit Windows program with mingw-w64; its tests run under Wine's 64-bit
# loader, named directly: /usr/bin/wine would pick the 32-bit loader wherever wine32 is there.
set(ORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVANE_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
