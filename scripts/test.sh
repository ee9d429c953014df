#!/usr/bin/env bash
# Sets up, builds and runs every test. This is what CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j 2
