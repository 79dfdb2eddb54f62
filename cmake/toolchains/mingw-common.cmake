# Shared by mingw-i686.cmake and mingw-x86_64.cmake, which set TAVRIN_MINGW_TRIPLE first.
#
# The "-posix" compilers are used: Debian's gcc 12 "-win32" variant has no std::thread/std::mutex, and the
# posix one links libwinpthread statically as well under -static. The runtime (libstdc++, libgcc,
# libwinpthread) is linked statically so the XLL imports nothing but Windows system DLLs: a spreadsheet
# machine has no mingw runtime DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
if(TAVRIN_MINGW_TRIPLE MATCHES "^x86_64")
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
    set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

set(CMAKE_C_COMPILER ${TAVRIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVRIN_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${TAVRIN_MINGW_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${TAVRIN_MINGW_TRIPLE}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${TAVRIN_MINGW_TRIPLE}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${TAVRIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# 64-bit programs built here (tests, xlhost) run through Wine; Debian's wine64 has no 32-bit loader.
if(TAVRIN_MINGW_TRIPLE MATCHES "^x86_64")
    get_filename_component(tavrin_wine_run ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run.sh ABSOLUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${tavrin_wine_run})
endif()

# -O2, not CMake's -O3: gcc 12 at -O3 reports a false -Wrestrict overlap inside std::string assignment
# (e.g. `text = "Q";`), which -Werror turns into a failed build.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags used by the compiler during release builds.")

set(tavrin_mingw_link "-static -static-libgcc -static-libstdc++")
# 32-bit __stdcall exports (the add-in's entry points, Excel4v, MdCallBack12) would otherwise be exported
# decorated as "name@N"; the host and the bridge look them up by plain name. No effect in 64-bit builds.
if(TAVRIN_MINGW_TRIPLE MATCHES "^i686")
    string(APPEND tavrin_mingw_link " -Wl,--kill-at")
endif()
set(CMAKE_EXE_LINKER_FLAGS_INIT "${tavrin_mingw_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${tavrin_mingw_link}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${tavrin_mingw_link}")
