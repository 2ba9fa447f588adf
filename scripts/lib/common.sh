# Shared by the set-up scripts: the Debian packages the project needs, installed
# only where missing, and the one configure-and-build step both scripts use.

QUILLOMATIC_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
QUILLOMATIC_BUILD="${QUILLOMATIC_BUILD:-$QUILLOMATIC_ROOT/build}"

# Packages every build needs.
BUILD_PACKAGES=(g++ cmake ninja-build pkgconf libgtest-dev libgmock-dev libbenchmark-dev
                qt6-base-dev qt6-svg-dev libgl-dev libacl1-dev fonts-dejavu-core fonts-liberation)
# Packages that making the Debian package and checking it need: dpkg-deb and
# dpkg-shlibdeps, file (which CPack asks what each file is) and lintian.
DEB_PACKAGES=(dpkg-dev file lintian)
# Packages only the tests need: the real interpreters the generated scripts run
# in, an X server with its input and clipboard tools, the desktop file checkers,
# man and make for the manual page's Makefile, and what the package test makes
# and checks the package with. Tomcat serves the JSP scripts, fetched with curl;
# its test runs a Tomcat of its own, never the package's service. util-linux
# brings setpriv (an unprivileged user) and unshare (a user namespace whose
# inotify limit the watch test lowers).
TEST_PACKAGES=(perl php-cli xvfb xauth xdotool xclip imagemagick desktop-file-utils appstream groff-base time valgrind
               tomcat10 curl man-db make util-linux "${DEB_PACKAGES[@]}")
# Packages scripts/run.sh needs where there is no display: a virtual X server
# (xvfb-run with xauth), xdotool to see the window appear, ImageMagick's import.
VIRTUAL_SCREEN_PACKAGES=(xvfb xauth xdotool imagemagick)
# Packages bench/compare.sh needs: GNU time for peak memory, the tools it races
# against (GNU sed, mawk, coreutils' cp) and lscpu for naming the machine.
BENCH_PACKAGES=(time sed mawk coreutils diffutils util-linux)

_apt_updated=0

# Installs the packages of the list that dpkg does not know as installed.
ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}; run this script as root to install them." >&2
        return 1
    fi
    if [ "$_apt_updated" -eq 0 ]; then
        apt-get update -qq
        _apt_updated=1
    fi
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Installs PACKAGE unless COMMAND is already on the PATH (some machines bring
# their own build of a tool, such as Node.js or a JDK).
ensure_command() {
    local command_name="$1" package="$2"
    command -v "$command_name" >/dev/null 2>&1 || ensure_packages "$package"
}

ensure_build_packages() {
    ensure_packages "${BUILD_PACKAGES[@]}"
}

ensure_test_packages() {
    ensure_packages "${TEST_PACKAGES[@]}"
    ensure_command node nodejs
    ensure_command javac default-jdk-headless
}

ensure_bench_packages() {
    ensure_packages "${BENCH_PACKAGES[@]}"
}

# Configures (once) and builds everything into $QUILLOMATIC_BUILD; extra
# arguments go to cmake.
configure_and_build() {
    _configure "$@"
    cmake --build "$QUILLOMATIC_BUILD" --parallel "$(nproc)"
}

# The same, but builds only the two programs: the tests and benchmarks are
# most of the build, and starting the program needs none of them. What the
# build prints stays on one line on a terminal (Ninja redraws it there); on a
# pipe or in a log it goes to build/build.log, shown only if the build fails,
# so that the script's own lines are what the reader sees.
configure_and_build_programs() {
    _configure "$@"
    local build=(cmake --build "$QUILLOMATIC_BUILD" --parallel "$(nproc)" --target quillomatic quillomatic-convert)
    if [ -t 1 ]; then
        "${build[@]}"
        return
    fi
    "${build[@]}" >"$QUILLOMATIC_BUILD/build.log" 2>&1 || {
        cat "$QUILLOMATIC_BUILD/build.log" >&2
        return 1
    }
}

_configure() {
    cmake -S "$QUILLOMATIC_ROOT" -B "$QUILLOMATIC_BUILD" -G Ninja \
        -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
}
