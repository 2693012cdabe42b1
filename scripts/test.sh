#!/usr/bin/env bash
# Installs what the build needs, builds Velcroft and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh

# Editor tests need an X server: run everything under a virtual one.
cd build
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --parallel "$(nproc)" --timeout 600
