#!/usr/bin/env bash
# Installs the build into a scratch root, as `cmake --install` does for a
# package, and checks what a desktop and a shell find there.
# Usage: InstallTest.sh BUILD_FOLDER
set -euo pipefail

build="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
share="$root/usr/share"

fail() { echo "FAIL: $*" >&2; exit 1; }

for file in usr/bin/quillomatic usr/bin/quillomatic-convert \
            usr/share/applications/quillomatic.desktop \
            usr/share/metainfo/example.pellweather.Quillomatic.metainfo.xml \
            usr/share/man/man1/quillomatic.1.gz usr/share/man/man1/quillomatic-convert.1.gz \
            usr/share/doc/quillomatic/copyright usr/share/doc/quillomatic/changelog.gz \
            usr/share/icons/hicolor/scalable/apps/quillomatic.svg; do
    [ -f "$root/$file" ] || fail "$file is not installed"
done
[ -x "$root/usr/bin/quillomatic" ] && [ -x "$root/usr/bin/quillomatic-convert" ] ||
    fail "the programs are not executable"

# Each theme size holds a PNG of exactly that size (width and height from its header).
for size in 16 32 48 64 128 256; do
    icon="$share/icons/hicolor/${size}x${size}/apps/quillomatic.png"
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    read -r -a header <<<"$(od -An -tu1 -j16 -N8 "$icon")"
    width=$(( (header[0] << 24) + (header[1] << 16) + (header[2] << 8) + header[3] ))
    height=$(( (header[4] << 24) + (header[5] << 16) + (header[6] << 8) + header[7] ))
    [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] ||
        fail "the ${size}x${size} icon is ${width}x${height}"
done

desktop-file-validate "$share/applications/quillomatic.desktop" || fail "the desktop entry is not valid"
grep -qx 'Categories=Development;WebDevelopment;' "$share/applications/quillomatic.desktop" ||
    fail "the desktop entry is not in Development"
# File managers offer the program for HTML pages and hand it the page.
grep -qx 'MimeType=text/html;application/xhtml+xml;application/x-php;application/x-perl;application/javascript;application/x-asp;text/x-jsp;' "$share/applications/quillomatic.desktop" ||
    fail "the desktop entry offers the program for no HTML page or script"
grep -q 'glob pattern="\*.jsp"' "$share/mime/packages/quillomatic.xml" ||
    fail "JSP pages have no MIME type"
grep -qx 'Exec=quillomatic %f' "$share/applications/quillomatic.desktop" ||
    fail "the desktop entry does not hand the program its page"
appstreamcli validate --no-net "$share/metainfo/example.pellweather.Quillomatic.metainfo.xml" >/dev/null ||
    fail "the AppStream metadata is not valid"

for page in quillomatic quillomatic-convert; do
    warnings="$(gzip -dc "$share/man/man1/$page.1.gz" | groff -man -ww -z 2>&1)"
    [ -z "$warnings" ] || fail "the manual page $page.1.gz has warnings: $warnings"
done

# Answered without a display, before the window system starts.
help="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/quillomatic" --help)" ||
    fail "quillomatic --help failed without a display"
[[ "$help" == "Usage: quillomatic [PAGE]"* ]] || fail "quillomatic --help printed: $help"
version="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/quillomatic" --version)" ||
    fail "quillomatic --version failed without a display"
[[ "$version" =~ ^quillomatic\ [0-9]+(\.[0-9]+)+$ ]] || fail "quillomatic --version printed: $version"
version="$("$root/usr/bin/quillomatic-convert" --version)"
[[ "$version" =~ ^quillomatic-convert\ [0-9]+(\.[0-9]+)+$ ]] || fail "--version printed: $version"
echo '<p>"installed"</p>' | "$root/usr/bin/quillomatic-convert" --to perl | grep -qF 'print "<p>\"installed\"</p>\n";' ||
    fail "the installed companion does not convert"
echo "PASS: installed programs, desktop entry, icons, metadata and manual pages"
