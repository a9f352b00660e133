# Shared set-up of ./run and ./run-tests: installs the Debian packages the
# build needs (only those missing), then configures and builds.
# Sourced, not run: the caller has already cd'ed to the source folder.

# dpkg-dev: cpack's .deb takes its dependencies from dpkg-shlibdeps.
# libnlopt-cxx-dev: the optimiser's solver.
KV_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libgtest-dev
             libbenchmark-dev libnlopt-cxx-dev fonts-liberation2 pkg-config libfftw3-dev
             locales xvfb xauth xdotool imagemagick dpkg-dev)
KV_BUILD_DIR=${KV_BUILD_DIR:-build}
# Extra configure options of the build (./run-tests --sanitize sets its own).
KV_CMAKE_ARGS=()

kv_missing_packages() {
    local pkg
    for pkg in "${KV_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            printf '%s\n' "$pkg"
        fi
    done
}

kv_install_packages() {
    if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
        if command -v cmake >/dev/null 2>&1 && command -v ninja >/dev/null 2>&1; then
            echo "No apt on this system: assuming the build dependencies are installed." >&2
            return 0
        fi
        echo "This system has no apt. Install these (or your system's equivalents) and run again:" >&2
        echo "  CMake 3.20+, Ninja, a C++20 compiler, Qt 6 (Core, Gui, Widgets, SerialPort)," >&2
        echo "  GoogleTest, Google Benchmark, NLopt 2.7 (with its C++ header), and a" >&2
        echo "  metric-compatible Arial font (Liberation)." >&2
        echo "  Debian names: ${KV_PACKAGES[*]}" >&2
        return 1
    fi
    local missing
    mapfile -t missing < <(kv_missing_packages)
    [ "${#missing[@]}" -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            echo "Missing packages: ${missing[*]}" >&2
            echo "Install them as root: apt-get install --no-install-recommends ${missing[*]}" >&2
            return 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}" >&2
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

kv_build() {
    cmake -S . -B "$KV_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${KV_CMAKE_ARGS[@]}"
    cmake --build "$KV_BUILD_DIR" "$@"
}
