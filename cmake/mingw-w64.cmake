# Cross-builds Windows executables with Debian's g++-mingw-w64-x86-64-posix:
#   cmake --preset windows   (cmake -S . -B build-windows --toolchain cmake/mingw-w64.cmake)
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

# Under Wine, with a prefix of this build's own (cmake/wine.sh finds Wine and sets it up).
execute_process(COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/wine.sh find
                RESULT_VARIABLE wine_status OUTPUT_QUIET ERROR_QUIET)
if(wine_status EQUAL 0)
  set(CMAKE_CROSSCOMPILING_EMULATOR sh ${CMAKE_CURRENT_LIST_DIR}/wine.sh run ${CMAKE_BINARY_DIR}/wine)
endif()
