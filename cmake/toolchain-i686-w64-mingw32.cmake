# 32-bit Windows build: the shipped program.
set(VELQUIN_MINGW_ARCH i686)
set(VELQUIN_WINE_BITS 32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
