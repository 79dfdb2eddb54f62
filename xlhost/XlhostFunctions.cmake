# CMake functions of the stand-in host, for other folders' tests.

# xlhost_add_host_executable(<target> <sources...>)
# An executable that hosts an add-in: it exports MdCallBack12 from its main module (as the real host's
# executable does) and links the stand-in "XLCALL32.DLL", which the add-in then finds already loaded.
function(xlhost_add_host_executable target)
    add_executable(${target} ${ARGN} ${PROJECT_SOURCE_DIR}/xlhost/core/MainModuleCallback.cpp)
    target_link_libraries(${target} PRIVATE xlcall32)
    set_target_properties(${target} PROPERTIES ENABLE_EXPORTS ON)
    if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_link_options(${target} PRIVATE -Wl,--kill-at)
    endif()
endfunction()

# xlhost_add_e2e_suite(<name> <suite file> VERSION <v> [ADDIN <path>] [TOLERANCE <t>]
#                      [HOST_ARGS <xlhost options...>] [XLHOST <program>])
# A CTest test that runs the suite's formulas through `xlhost --json --version <v>` against the add-in
# (default: the one xlhost finds beside itself or was configured with) and compares each result with the one
# written beside its formula (tests/e2e/suite.awk): exactly, or numbers within the relative tolerance when one
# is given. HOST_ARGS are further xlhost options (e.g. --wizard). XLHOST runs another host program instead of
# the xlhost target (the Windows build runs xlhost.exe through a Wine launcher). Relative file names are taken
# from the calling folder.
function(xlhost_add_e2e_suite name suite)
    cmake_parse_arguments(ARG "" "VERSION;ADDIN;TOLERANCE;XLHOST" "HOST_ARGS" ${ARGN})
    if(NOT ARG_VERSION)
        message(FATAL_ERROR "xlhost_add_e2e_suite(${name}): VERSION is required")
    endif()
    if(ARG_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "xlhost_add_e2e_suite(${name}): unexpected ${ARG_UNPARSED_ARGUMENTS} (expected results "
                            "are written beside the formulas: tests/e2e/convert_suite.sh converts a suite)")
    endif()
    get_filename_component(suite ${suite} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(NOT ARG_XLHOST)
        set(ARG_XLHOST $<TARGET_FILE:xlhost>)
    endif()
    set(command bash ${PROJECT_SOURCE_DIR}/tests/e2e/run_e2e.sh --xlhost ${ARG_XLHOST}
        --version ${ARG_VERSION} --suite ${suite})
    if(ARG_ADDIN)
        list(APPEND command --addin ${ARG_ADDIN})
    endif()
    if(ARG_TOLERANCE)
        list(APPEND command --tolerance ${ARG_TOLERANCE})
    endif()
    foreach(hostArg IN LISTS ARG_HOST_ARGS)
        list(APPEND command --host-arg ${hostArg})
    endforeach()
    add_test(NAME ${name} COMMAND ${command})
endfunction()
