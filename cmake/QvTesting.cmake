# Test support: GoogleTest for both builds, and the one way to declare a suite or a test-support
# library. Suites are declared in the CMakeLists.txt of the module they test, with qv_gtest and
# nothing around it: qv_gtest alone decides whether a suite is built (QV_BUILD_TESTS) and on which
# build it runs (HOST_ONLY: suites that need the simulated host).
#
# The host build uses the system GoogleTest. The windows build compiles GoogleTest from Debian's
# sources (without pthreads) and runs the suites under Wine through CMAKE_CROSSCOMPILING_EMULATOR.

# qv_gtest(<name> SOURCES <files...> [LIBS <targets...>] [LABELS <labels...>] [HOST_ONLY]
#          [RUN_SERIAL] [NO_PCH] [DEPENDS <targets...>] [ENVIRONMENT <VAR=value...>]
#          [DEFINITIONS <defs...>])
# One executable and one CTest test per suite; executables go to tests/ of the build tree.
# DEPENDS: programs the suite runs, built before it. NO_PCH: see qv_test_code (QvBuildSpeed.cmake).
# Every suite links the shared test support qv_testing (testing/).
function(qv_gtest name)
    cmake_parse_arguments(T "HOST_ONLY;RUN_SERIAL;NO_PCH" "" "SOURCES;LIBS;LABELS;DEPENDS;ENVIRONMENT;DEFINITIONS"
                          ${ARGN})
    if(NOT QV_BUILD_TESTS OR (T_HOST_ONLY AND NOT QV_HOST))
        return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} qv_testing qv_gtest_main)
    if(T_NO_PCH)
        qv_test_code(${name} NO_PCH)
    else()
        qv_test_code(${name})
    endif()
    target_compile_definitions(${name} PRIVATE
        QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        QV_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
        ${T_DEFINITIONS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_dependencies(qv_suites ${name})
    add_test(NAME ${name} COMMAND ${name})
    if(T_DEPENDS)
        add_dependencies(${name} ${T_DEPENDS})
    endif()
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
    if(T_ENVIRONMENT)
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "${T_ENVIRONMENT}")
    endif()
    if(T_RUN_SERIAL)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
endfunction()

# qv_test_library(<name> SOURCES <files...> [LIBS <targets...>] [INCLUDE <dir>] [HOST_ONLY])
# A static library of test support shared by suites; built only when the suites are.
function(qv_test_library name)
    cmake_parse_arguments(T "HOST_ONLY" "INCLUDE" "SOURCES;LIBS" ${ARGN})
    if(NOT QV_BUILD_TESTS OR (T_HOST_ONLY AND NOT QV_HOST))
        return()
    endif()
    add_library(${name} STATIC ${T_SOURCES})
    target_link_libraries(${name} PUBLIC ${T_LIBS} ${QV_GTEST_LIBS})
    qv_test_code(${name})
    target_compile_definitions(${name} PRIVATE
        QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}" QV_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    if(T_INCLUDE)
        target_include_directories(${name} PUBLIC ${T_INCLUDE})
    endif()
endfunction()

if(NOT QV_BUILD_TESTS)
    return()
endif()
enable_testing()
# Every suite and what it runs, and nothing else (the asan build makes only this).
add_custom_target(qv_suites)

if(CMAKE_CROSSCOMPILING)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
    endif()
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh CACHE FILEPATH "" FORCE)
else()
    find_package(GTest REQUIRED)
endif()
set(QV_GTEST_LIBS GTest::gtest)

# The suites' main, which also holds GoogleTest's precompiled header for every suite and
# test-support library (qv_test_code): it is declared before them, as reusing needs.
add_library(qv_gtest_main STATIC ${CMAKE_SOURCE_DIR}/cmake/gtest_main.cpp)
target_link_libraries(qv_gtest_main PUBLIC ${QV_GTEST_LIBS})
if(QV_TEST_PCH AND NOT CMAKE_CROSSCOMPILING)
    target_precompile_headers(qv_gtest_main PRIVATE <gtest/gtest.h>)
endif()
qv_test_code(qv_gtest_main)
