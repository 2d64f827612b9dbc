# libFuzzer targets: built only with QV_FUZZ=ON and clang. The whole tree is then compiled with
# coverage instrumentation and AddressSanitizer; each target links libFuzzer's driver.
#
# qv_fuzz(<name> SOURCES <files...> LIBS <targets...>)
function(qv_fuzz name)
    if(NOT QV_FUZZ)
        return()
    endif()
    cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${F_SOURCES})
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    add_dependencies(qv_fuzz_all ${name})
endfunction()

if(QV_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "QV_FUZZ needs clang (CC=clang CXX=clang++)")
    endif()
    add_custom_target(qv_fuzz_all)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()
