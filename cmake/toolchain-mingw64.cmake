# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix thread model, which std::thread
# and std::mutex need): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVANTIS_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVANTIS_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVANTIS_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVANTIS_MINGW}-windres)
# Target libraries from the mingw sysroot and from the prefix of the build's own cross-built ones
# (GoogleTest); header-only packages (nlohmann-json, CLI11) are found through CMAKE_PREFIX_PATH.
set(CMAKE_FIND_ROOT_PATH /usr/${ORVANTIS_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# No runtime DLLs to ship beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# ctest runs the test programs under Debian's wine64.
find_program(ORVANTIS_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(ORVANTIS_WINE64 NAMES wine64 wine)
if(ORVANTIS_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVANTIS_WINE64})
endif()
