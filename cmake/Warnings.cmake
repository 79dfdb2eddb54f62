# Warnings are errors on every compiler we ship with (GCC natively, mingw-w64 for the XLLs).
add_library(tavrin_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(tavrin_warnings INTERFACE -Wall -Wextra -Werror)
endif()
