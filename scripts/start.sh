#!/usr/bin/env bash
# Installs what is missing, builds, and starts Rinvo with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
exec build/src/rinvo "$@"
