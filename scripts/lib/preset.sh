# Configuring a CMake preset (sourced, not run). The presets build with Ninja; a build tree that an
# older checkout made with another generator cannot be configured again in place, so its cache is
# dropped first (the objects are rebuilt).
configure_preset() {
    local cache="build/$1/CMakeCache.txt"
    if [ -f "$cache" ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$cache"; then
        echo "build/$1 was made by another generator: configured anew"
        rm -rf "$cache" "build/$1/CMakeFiles"
    fi
    cmake --preset "$@" >/dev/null
}
