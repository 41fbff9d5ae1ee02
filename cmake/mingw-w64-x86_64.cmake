# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, so that
# std::thread and friends work), against the Qt for MinGW that scripts/build-qt-mingw.sh builds
# (or unpacks) into ~/.cache/ptk-inspector/qt-6.4.2-mingw64; PTK_QT_MINGW in the environment
# names another prefix. Debian's own Qt of the same version supplies the host tools (moc, uic,
# rcc), which run on this machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PTK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PTK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PTK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PTK_MINGW_TRIPLET}-windres)

if(NOT "$ENV{PTK_QT_MINGW}" STREQUAL "")
  set(PTK_QT_MINGW "$ENV{PTK_QT_MINGW}")
else()
  set(PTK_QT_MINGW "$ENV{HOME}/.cache/ptk-inspector/qt-6.4.2-mingw64")
endif()
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

set(CMAKE_FIND_ROOT_PATH /usr/${PTK_MINGW_TRIPLET} ${PTK_QT_MINGW})
list(APPEND CMAKE_PREFIX_PATH ${PTK_QT_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The cross build is the heaviest of the project and is repeated on the same machine: ccache,
# where it is installed, keeps the objects that did not change.
find_program(PTK_CCACHE ccache)
if(PTK_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_C_COMPILER_LAUNCHER ${PTK_CCACHE})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${PTK_CCACHE})
endif()

# ctest runs the Windows test programs through Wine when it is installed. The caller chooses the
# Wine prefix (WINEPREFIX); scripts/wine-tests.sh keeps a private one under build/.
# Debian's wine package puts wine on the PATH; wine64 alone has its loader in /usr/lib/wine.
find_program(PTK_WINE_PROGRAM NAMES wine wine64 PATHS /usr/lib/wine)
if(PTK_WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PTK_WINE_PROGRAM})
endif()
