#!/usr/bin/env bash
# Installs what is missing, builds, runs the end-to-end test and keeps its
# screenshots of the main window, cropped, in docs/ for the README.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

ensure_build_packages
ensure_test_packages
configure_and_build
shots="$QUILLOMATIC_BUILD/e2e"
bash "$QUILLOMATIC_ROOT/tests/e2e/EndToEndTest.sh" "$QUILLOMATIC_BUILD/bin/quillomatic" \
    "$QUILLOMATIC_BUILD/bin/quillomatic-convert" "$shots"

docs="$QUILLOMATIC_ROOT/docs"
mkdir -p "$docs"
# The test's screen is 1024 by 768 and the window opens centred on it. Its
# screenshots are numbered in the order taken; they are found by name.
crop() { convert "$shots"/[0-9][0-9]-"$1" -crop 478x326+273+221 +repage "$docs/$2"; }
crop typed.png html-page.png
crop converted.png message-box.png
crop view-asp.png asp-view.png
crop view-javascript.png javascript-view.png
crop view-php.png php-view.png
crop view-jsp.png jsp-view.png
crop view-perl.png perl-view.png
crop about-box.png about-box.png
echo "Screenshots are in $docs"
