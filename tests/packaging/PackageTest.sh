#!/usr/bin/env bash
# Makes the Debian package from the build, as scripts/package.sh does, and
# holds it to lintian: any error or warning fails. The package's changelog
# must also name the version the package carries.
# Usage: PackageTest.sh BUILD_FOLDER
set -euo pipefail

build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog file lintian; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/test.sh installs it)"
done

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack could not make the package"; }
packages=("$work"/quillomatic_*.deb)
[ -f "${packages[0]}" ] || { cat "$work/cpack.log" >&2; fail "cpack made no quillomatic_*.deb"; }
package="${packages[0]}"

lintian --fail-on error,warning "$package" || fail "lintian finds errors or warnings in $(basename "$package")"

dpkg-deb -x "$package" "$work/root"
version="$(dpkg-deb -f "$package" Version)"
logged="$(gzip -dc "$work/root/usr/share/doc/quillomatic/changelog.gz" | dpkg-parsechangelog -l - -S Version)"
[ "$logged" = "$version" ] || fail "the package is version $version but its changelog's latest entry is $logged"
echo "PASS: $(basename "$package"), lintian finds no error or warning"
