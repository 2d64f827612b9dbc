# Test support: GoogleTest for both builds, and one helper to declare a suite.
#
# The host build uses the system GoogleTest. The windows build compiles GoogleTest from Debian's
# sources (without pthreads) and runs the suites under Wine through CMAKE_CROSSCOMPILING_EMULATOR.
# qv_gtest(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# One executable and one CTest test per suite; executables go to tests/ of the build tree. Every
# suite links the shared test support qv_testing (testing/). A no-op when QV_BUILD_TESTS is off.
function(qv_gtest name)
    if(NOT QV_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} qv_testing qv_gtest_main)
    target_compile_definitions(${name} PRIVATE
        QV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        QV_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name})
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()

if(NOT QV_BUILD_TESTS)
    return()
endif()
enable_testing()

if(CMAKE_CROSSCOMPILING)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    set(QV_GTEST_LIBS GTest::gtest)
    if(NOT TARGET GTest::gtest)
        add_library(GTest::gtest ALIAS gtest)
    endif()
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh CACHE FILEPATH "" FORCE)
else()
    find_package(GTest REQUIRED)
    set(QV_GTEST_LIBS GTest::gtest)
endif()

add_library(qv_gtest_main STATIC ${CMAKE_SOURCE_DIR}/cmake/gtest_main.cpp)
target_link_libraries(qv_gtest_main PUBLIC ${QV_GTEST_LIBS})
