# The release archive of the windows build: one ZIP per architecture with the programs, the user
# guides and the Windows README (with CR LF line ends, as Notepad on older Windows needs them).
# Built by scripts/package.sh; the expected contents are listed in scripts/package-contents.txt.
file(READ ${CMAKE_SOURCE_DIR}/docs/windows/README.txt qv_readme)
string(REPLACE "\r\n" "\n" qv_readme "${qv_readme}")
string(REPLACE "\n" "\r\n" qv_readme "${qv_readme}")
file(WRITE ${CMAKE_BINARY_DIR}/release/README.txt "${qv_readme}")

# The GUI joins when this build makes it.
foreach(program QvTeamCmd QvTeamCfg qvteam qvtool)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION .)
    endif()
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/release/README.txt DESTINATION .)
install(FILES docs/QvTeamCmd.md docs/QvTeamCfg.md docs/qvteam.md docs/qvtool.md DESTINATION docs)

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
    set(qv_architecture x86)
else()
    set(qv_architecture x64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME n5tools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME n5tools-${PROJECT_VERSION}-windows-${qv_architecture})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)

# What scripts/package.sh builds before packing: the programs of this build, nothing else.
add_custom_target(qv_release_programs)
foreach(program QvTeamCmd QvTeamCfg qvteam qvtool)
    if(TARGET ${program})
        add_dependencies(qv_release_programs ${program})
    endif()
endforeach()
