# The fuzz targets, built two ways from the same sources:
#   tavrin_fuzz_targets(LIBFUZZER)  <name>_fuzzer, driven by clang's libFuzzer (fuzz/CMakeLists.txt)
#   tavrin_fuzz_targets(REPLAY)     <name>_replay, running the checked-in corpus once as a CTest test
#                                   "fuzz_replay_<name>" with the build's own compiler (tests/CMakeLists.txt)
# Each target's corpus is fuzz/corpus/<name>/.

set(TAVRIN_FUZZ_DIR ${CMAKE_CURRENT_LIST_DIR})

function(tavrin_fuzz_target mode name)
    cmake_parse_arguments(ARG "HOST" "" "SOURCES;LIBS" ${ARGN})
    if(mode STREQUAL "LIBFUZZER")
        set(target ${name}_fuzzer)
        set(main_source "")
    else()
        set(target ${name}_replay)
        set(main_source ${TAVRIN_FUZZ_DIR}/ReplayMain.cpp)
    endif()
    if(ARG_HOST)
        # Plays the host: MdCallBack12 exported from the executable, the stand-in "XLCALL32.DLL" linked.
        xlhost_add_host_executable(${target} ${ARG_SOURCES} ${main_source})
    else()
        add_executable(${target} ${ARG_SOURCES} ${main_source})
    endif()
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} tavrin_warnings)
    if(mode STREQUAL "LIBFUZZER")
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
        target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    else()
        add_test(NAME fuzz_replay_${name} COMMAND ${target} ${TAVRIN_FUZZ_DIR}/corpus/${name})
        set_tests_properties(fuzz_replay_${name} PROPERTIES TIMEOUT 120)
    endif()
endfunction()

function(tavrin_fuzz_targets mode)
    tavrin_fuzz_target(${mode} formula_parser
        SOURCES ${TAVRIN_FUZZ_DIR}/FormulaParserFuzzer.cpp
        LIBS xlhost_program)
    tavrin_fuzz_target(${mode} entry_points HOST
        SOURCES ${TAVRIN_FUZZ_DIR}/EntryPointsFuzzer.cpp
                ${PROJECT_SOURCE_DIR}/worksheet/EntryPoints.cpp
                ${PROJECT_SOURCE_DIR}/worksheet/WorksheetFrame.cpp
        LIBS tavrin_worksheet_inputs tavrin_curves tavrin_daycount tavrin_calendars tavrin_dates xll_bridge xll_platform xlhost_common)
    tavrin_fuzz_target(${mode} library_texts
        SOURCES ${TAVRIN_FUZZ_DIR}/LibraryTextsFuzzer.cpp
        LIBS tavrin_curves tavrin_daycount tavrin_calendars tavrin_dates)
    tavrin_fuzz_target(${mode} curve
        SOURCES ${TAVRIN_FUZZ_DIR}/CurveFuzzer.cpp
        LIBS tavrin_worksheet_inputs tavrin_curves tavrin_daycount tavrin_calendars tavrin_dates xll_matrix)
endfunction()
