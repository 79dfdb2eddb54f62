# Cross-compiles the 64-bit XLL (tavrin_schedules64.xll) and the 64-bit stand-in host with Debian's mingw-w64.
#   cmake --preset mingw64   (or: cmake -S . -B build/mingw64 -G Ninja
#                              -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-x86_64.cmake)
set(TAVRIN_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
