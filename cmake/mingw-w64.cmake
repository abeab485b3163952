# Cross-builds Windows executables with Debian's g++-mingw-w64-x86-64-posix:
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64.cmake
# Everything is linked statically, so the .exe files need no DLL beside them. When Wine is
# installed, ctest and test discovery run the .exe files under it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# GoogleTest for this build comes from Debian's googletest sources.
set(TEXTDUMP_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build")

# Wine keeps its state in a prefix of this build's own, made at the first start. mscoree and
# mshtml are turned off so that the first start does not offer to install Mono and Gecko.
find_program(TEXTDUMP_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(TEXTDUMP_WINE NAMES wine64 wine)
if(TEXTDUMP_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
      sh ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${TEXTDUMP_WINE})
endif()
