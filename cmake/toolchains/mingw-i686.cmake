# Cross-compiles the 32-bit XLL (tavrin_schedules.xll) with Debian's mingw-w64.
#   cmake --preset mingw32   (or: cmake -S . -B build/mingw32 -G Ninja
#                              -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-i686.cmake)
set(TAVRIN_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
