# 32-bit Windows, the program's home platform, with Debian's MinGW-w64.
set(MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
