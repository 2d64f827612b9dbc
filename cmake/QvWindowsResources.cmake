# Windows resources of the programs: a VERSIONINFO carrying the version the program's banner prints,
# and an application manifest (run as the invoking user, the systems it was tested on, and for GUI
# programs the version 6 common controls). Both come from templates in cmake/windows/.

# qv_read_banner_version(<var> FILE <source> NAME <constant>): the four numbers of the version
# constant <constant> in <source>, the text the program prints in its banner ("2,0,1,5" or
# {1, 5, 13, 24}), as a dotted a.b.c.d. The source stays the one place where a version is written;
# the build fails when the constant is missing or does not hold four numbers.
function(qv_read_banner_version var)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "FILE;NAME" "")
    file(STRINGS "${arg_FILE}" lines REGEX "${arg_NAME}[^=]*=")
    list(LENGTH lines count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "${arg_FILE}: expected one definition of ${arg_NAME}, found ${count}")
    endif()
    string(REGEX REPLACE "^[^=]*=" "" value "${lines}")
    string(REGEX MATCHALL "[0-9]+" numbers "${value}")
    list(LENGTH numbers count)
    if(NOT count EQUAL 4)
        message(FATAL_ERROR "${arg_FILE}: ${arg_NAME} does not hold four version numbers: ${value}")
    endif()
    list(JOIN numbers "." dotted)
    set(${var} "${dotted}" PARENT_SCOPE)
endfunction()

# qv_windows_resources(<target> VERSION a.b.c.d DESCRIPTION <text> PRODUCT <text> [GUI]):
# generates <target>.rc and <target>.manifest in the build tree and compiles them into the target,
# and links the import slots that let the program start on Windows XP / Server 2003
# (qv_xp_imports). Windows build only; does nothing on the host.
function(qv_windows_resources target)
    if(NOT WIN32)
        return()
    endif()
    cmake_parse_arguments(PARSE_ARGV 1 arg "GUI" "VERSION;DESCRIPTION;PRODUCT" "")
    if(NOT arg_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
        message(FATAL_ERROR "qv_windows_resources(${target}): VERSION must be a.b.c.d, not '${arg_VERSION}'")
    endif()
    string(REPLACE "." "," QV_RC_VERSION_COMMAS "${arg_VERSION}")
    set(QV_RC_VERSION "${arg_VERSION}")
    set(QV_RC_DESCRIPTION "${arg_DESCRIPTION}")
    set(QV_RC_PRODUCT "${arg_PRODUCT}")
    set(QV_RC_NAME "${target}")
    get_target_property(output_name ${target} OUTPUT_NAME)
    if(output_name)
        set(QV_RC_NAME "${output_name}")
    endif()
    set(QV_RC_DEPENDENCIES "")
    if(arg_GUI)
        file(READ "${QV_SOURCE_DIR_FOR_RESOURCES}/windows/common-controls.manifest" QV_RC_DEPENDENCIES)
    endif()
    set(dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")
    set(QV_RC_MANIFEST "${dir}/${target}.manifest")
    configure_file("${QV_SOURCE_DIR_FOR_RESOURCES}/windows/program.manifest.in" "${QV_RC_MANIFEST}" @ONLY)
    configure_file("${QV_SOURCE_DIR_FOR_RESOURCES}/windows/program.rc.in" "${dir}/${target}.rc" @ONLY)
    target_sources(${target} PRIVATE "${dir}/${target}.rc")
    target_link_libraries(${target} PRIVATE qv_xp_imports)
    # The version the program's banner shows, for scripts/check-windows-binaries.sh.
    file(WRITE "${CMAKE_BINARY_DIR}/versions/${QV_RC_NAME}.exe.version" "${arg_VERSION}\n")
    # windres does not see the manifest as a dependency of the .rc: name it, so that an edit of the
    # template rebuilds the resources.
    set_source_files_properties("${dir}/${target}.rc" TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${QV_RC_MANIFEST}")
endfunction()

set(QV_SOURCE_DIR_FOR_RESOURCES "${CMAKE_CURRENT_LIST_DIR}")
