# 64-bit Windows with Debian's MinGW-w64 and the Qt 6 cross-built for it (QT_MINGW_PREFIX, the
# unpacked qt6-mingw64 folder): the whole program. The C++ runtime is the DLLs shipped beside the
# programs, the ones Qt's own DLLs are linked with, so that one copy of it is in the process.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")
if(NOT QT_MINGW_PREFIX)
  set(QT_MINGW_PREFIX "$ENV{QT_MINGW_PREFIX}")
endif()
list(APPEND CMAKE_FIND_ROOT_PATH "${QT_MINGW_PREFIX}")
list(APPEND CMAKE_PREFIX_PATH "${QT_MINGW_PREFIX}")
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
