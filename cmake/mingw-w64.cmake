# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers (the posix thread model,
# which std::thread and Qt need). Used both to build Qt for Windows (scripts/windows-toolchain)
# and to build this project against it (the "windows" preset).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSALY_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSALY_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSALY_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSALY_MINGW_TRIPLET}-windres)

# The Qt built for Windows; the environment wins over the cache default, as in the scripts.
if(DEFINED ENV{TESSALY_MINGW_QT})
  set(TESSALY_MINGW_QT "$ENV{TESSALY_MINGW_QT}" CACHE PATH "Qt for Windows")
else()
  set(TESSALY_MINGW_QT "/var/cache/tessaly/qt6-mingw" CACHE PATH "Qt for Windows")
endif()

# Libraries, headers and CMake packages come from the Windows side only: the MinGW sysroot and
# the Qt for Windows. Programs (compilers, the host Qt's moc/rcc/uic) come from this machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TESSALY_MINGW_TRIPLET} ${TESSALY_MINGW_QT})
list(APPEND CMAKE_PREFIX_PATH ${TESSALY_MINGW_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# With packages looked up in the Windows root only, Qt finds its host tools (this machine's
# Qt 6 of the same version) only when pointed at them.
set(QT_HOST_PATH /usr CACHE PATH "Host Qt")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Host Qt CMake folder")
set(Qt6HostInfo_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo CACHE PATH "Host Qt info")
