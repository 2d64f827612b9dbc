# What makes the builds fast without changing what they make: the same sources, warnings, sanitizers
# and program code. Each lever was kept because it measured a gain of its own (docs/benchmarks.md,
# "The test command"), and each has a switch, so that its gain can be measured again.
#
# - QV_CCACHE: compile through ccache when it is installed (never required). Paths under the source
#   tree are hashed relative to it, so a fresh clone in another folder finds what an earlier build
#   of the same sources left in the cache.
# - QV_FAST_LINKER: the Linux builds link with lld when installed; the mingw builds keep GNU ld (PE
#   images, resources, subsystem versions). Debian 12's mold (1.10) was tried and dropped: it made
#   a sanitizer suite whose read-only-after-relocation segment the loader cannot protect ("cannot
#   apply additional memory protection after relocation"), so that suite could not start.
# - The suites' own code is compiled without optimisation (QV_TEST_OPTIMIZATION): nothing in a suite is
#   timed, and the libraries and programs it tests keep the build's optimisation. The windows
#   builds still compile the shared suites optimised, where the warnings that need data-flow
#   analysis see them.
# - Unity build (QV_UNITY): each target's sources are compiled in batches of up to 16, one
#   translation unit each, so the headers they share are parsed once per batch. A target whose
#   sources give file-local things the same names (a unity build then fails to compile) says so
#   with qv_compile_sources_apart(); the others must keep their file-local names distinct.
# - GoogleTest's header is precompiled once per Linux build and used by every suite and
#   test-support library (QV_TEST_PCH); CMake's own CMAKE_DISABLE_PRECOMPILE_HEADERS turns it off
#   as well. The windows builds parse it in each suite: there the suites are optimised, parsing
#   is a small part of their time, and the header's different place in front of a suite's own
#   includes turned one of GCC 12's -O3 -Wstringop-overflow false positives on.
option(QV_CCACHE "Compile through ccache when it is installed" ON)
option(QV_FAST_LINKER "Link the Linux builds with lld when installed" ON)
option(QV_TEST_PCH "Precompile GoogleTest's header once for all suites" ON)
option(QV_UNITY "Compile each target's sources in batches (unity build)" ON)
set(QV_TEST_OPTIMIZATION "-O0" CACHE STRING "Optimisation flag of the suites' own code (empty: the build's)")

if(QV_CCACHE)
    find_program(QV_CCACHE_PROGRAM ccache)
    if(QV_CCACHE_PROGRAM)
        # Depend mode takes the headers from the compiler's own dependency output, so a miss costs
        # no extra preprocessor run; a precompiled header is cached too when the sloppiness allows
        # it (ccache's manual).
        set(launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_DEPEND=true
            CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
            ${QV_CCACHE_PROGRAM})
        set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
        set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
    endif()
endif()

if(QV_UNITY)
    set(CMAKE_UNITY_BUILD ON)
    set(CMAKE_UNITY_BUILD_BATCH_SIZE 16)
endif()

# QV_LINKER: the linker chosen (lld), empty for the compiler's default.
set(QV_LINKER "")
if(QV_FAST_LINKER AND NOT CMAKE_CROSSCOMPILING)
    include(CheckLinkerFlag)
    check_linker_flag(CXX -fuse-ld=lld QV_LINKER_LLD)
    if(QV_LINKER_LLD)
        add_link_options(-fuse-ld=lld)
        set(QV_LINKER lld)
    endif()
endif()

# qv_compile_sources_apart(<target>...): targets whose sources are compiled one by one, as their
# file-local names collide in a unity build.
function(qv_compile_sources_apart)
    foreach(target ${ARGN})
        if(TARGET ${target})
            set_target_properties(${target} PROPERTIES UNITY_BUILD OFF)
        endif()
    endforeach()
endfunction()

# qv_test_code(<target> [NO_PCH]): the optimisation and precompiled header of a suite or
# test-support library. NO_PCH: the target compiles with other code-generation flags than the
# precompiled header (Qt compiles its users with -fPIC) and parses GoogleTest itself.
function(qv_test_code target)
    cmake_parse_arguments(C "NO_PCH" "" "" ${ARGN})
    if(QV_TEST_OPTIMIZATION AND NOT CMAKE_CROSSCOMPILING)
        target_compile_options(${target} PRIVATE ${QV_TEST_OPTIMIZATION})
    endif()
    if(QV_TEST_PCH AND NOT CMAKE_CROSSCOMPILING AND NOT C_NO_PCH AND NOT target STREQUAL qv_gtest_main)
        target_precompile_headers(${target} REUSE_FROM qv_gtest_main)
    endif()
endfunction()
