# Build-enforced boundaries.
#
# qv_check_no_simulator_headers(<targets...>)
# For each target, compiles cmake/simulator_header_probe.cpp with exactly the include path that the
# target's own sources get (its own directories and everything its links pass on). The probe stops
# the build with an #error when a simulator header (qv/sim/..., qv/sim/n5/...) is reachable, so a
# link or include directory that opens the simulator to programs or libraries fails every build.
function(qv_check_no_simulator_headers)
    foreach(target IN LISTS ARGN)
        set(probe ${target}_simulator_header_probe)
        add_library(${probe} OBJECT ${CMAKE_SOURCE_DIR}/cmake/simulator_header_probe.cpp)
        target_include_directories(${probe} PRIVATE $<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>)
    endforeach()
endfunction()
