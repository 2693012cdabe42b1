#!/usr/bin/env bash
# Installs what the build needs, builds Velcroft and runs the whole test suite: the
# ordinary build, then the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and with ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# Editor tests need an X server: every run goes under a virtual one.
run_tests() {
    local dir=$1; shift
    (cd "$dir" && xvfb-run -a -s "-screen 0 1280x1024x24" \
        ctest --output-on-failure --parallel "$(nproc)" --timeout 900 "$@")
}

echo "== Build and test"
bash scripts/build.sh
run_tests build

# Third-party plug-ins are tested in the ordinary build only: their own leaks and races are not ours.
echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
VELCROFT_BUILD_DIR=build-asan bash scripts/build.sh -DVELCROFT_SANITIZE=address,undefined -DVELCROFT_BUILD_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
    run_tests build-asan -E ThirdPartyPlugin

echo "== ThreadSanitizer"
VELCROFT_BUILD_DIR=build-tsan bash scripts/build.sh -DVELCROFT_SANITIZE=thread -DVELCROFT_BUILD_BENCHMARKS=OFF
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    run_tests build-tsan -E ThirdPartyPlugin
