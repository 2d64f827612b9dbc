# qv_host_program(target): link options of a program that scripts and tests start many times a
# second. On the host (without sanitizers or fuzzing, and with the static SQLite library at hand)
# it is linked statically: no dynamic loader, no shared objects to map and relocate on every
# start, which is a quarter of a short run such as "QvTeamCmd -l". The C library's dlopen, which
# SQLite references for extensions it never loads, makes GNU ld warn; that warning is silenced
# (lld does not give it, nor know the option).
function(qv_host_program target)
    if(QV_HOST AND NOT QV_SANITIZE AND NOT QV_FUZZ AND QV_SQLITE_STATIC)
        target_link_options(${target} PRIVATE -static)
        if(NOT QV_LINKER)
            target_link_options(${target} PRIVATE -Wl,--no-warnings)
        endif()
    endif()
endfunction()
