// Compiled with the include path of a program or library target (cmake/QvBoundaries.cmake): none of
// the simulator's own headers may be reachable from there, only the ports.
#if __has_include("qv/sim/machine.h") || __has_include("qv/sim/host_state.h") || \
                                                       __has_include("qv/sim/n5/adapter.h")
#error "a simulator header (qv/sim/...) is reachable from a program or library target"
#endif
