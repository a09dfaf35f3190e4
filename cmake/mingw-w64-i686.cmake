# Cross-compiles the 32-bit Windows program with mingw-w64. 32-bit programs cannot run on the
# build machines (and Wine's 32-bit half would break its 64-bit one), so its tests are built
# but not run.
set(ORVANE_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
