#!/usr/bin/env bash
# Configures and builds Velcroft (plug-in, tools and tests) into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${VELCROFT_BUILD_DIR:-build}
# Paths relative to the checkout, so ccache hits from any clone.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$build_dir.configure.log" 2>&1 \
    || { cat "$build_dir.configure.log"; exit 1; }
cmake --build "$build_dir" --parallel "${VELCROFT_JOBS:-$(nproc)}"
