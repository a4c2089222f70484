# Cross-building for 64-bit Windows on Debian with MinGW-w64 and its posix threads, which
# std::thread and std::mutex need. The libraries come from the prefix that scripts/windows-deps
# builds, named by ORVANE_WINDOWS_PREFIX in the environment (an environment variable, so that
# CMake's own trial compilations see it too).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

set(prefix "$ENV{ORVANE_WINDOWS_PREFIX}")
if(prefix STREQUAL "")
  message(FATAL_ERROR "ORVANE_WINDOWS_PREFIX names no prefix: run scripts/windows-deps first")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${prefix} ${prefix}/qt6)
list(APPEND CMAKE_PREFIX_PATH ${prefix} ${prefix}/qt6)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The libraries are static: pkg-config answers with what they need in turn (Libs.private).
set(PKG_CONFIG_EXECUTABLE ${prefix}/bin/pkg-config CACHE FILEPATH "pkg-config of the prefix")

# The host's Qt tools (moc, rcc, uic) for the target's Qt, which is the same version.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
