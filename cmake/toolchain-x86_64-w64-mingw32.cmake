# 64-bit Windows build.
set(VELQUIN_MINGW_ARCH x86_64)
set(VELQUIN_WINE_BITS 64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
