#!/usr/bin/env bash
# Renders the main window and the help window to docs/*.png on the offscreen platform, and the
# main window once more under a dark colour scheme.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build >/dev/null
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/tests/rinvo_screenshots docs
QT_QPA_PLATFORM=offscreen build/tests/rinvo_screenshots docs dark
echo "docs/main-window.png docs/help-window.png docs/main-window-dark.png"
