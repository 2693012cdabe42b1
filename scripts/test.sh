#!/usr/bin/env bash
# Installs what the build needs, builds Velcroft and runs the whole test suite: the
# ordinary build, then the same tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and with ThreadSanitizer; last, every fuzz target for a
# bounded time (VELCROFT_FUZZ_SECONDS, 30 by default) from its seed corpus.
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

echo "== Fuzzing"
# libFuzzer comes with clang; only the fuzz targets are built in this tree.
fuzz_dir=build-fuzz
fuzz_seconds=${VELCROFT_FUZZ_SECONDS:-30}
fuzz_targets=()
for source in tests/fuzz/*Fuzzer.cpp; do
    fuzz_targets+=("$(basename "$source" .cpp)")
done

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
mkdir -p "$fuzz_dir"
CC=clang CXX=clang++ cmake -S . -B "$fuzz_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELCROFT_SANITIZE=address,undefined -DVELCROFT_BUILD_FUZZERS=ON -DVELCROFT_BUILD_BENCHMARKS=OFF \
    > "$fuzz_dir.configure.log" 2>&1 || { cat "$fuzz_dir.configure.log"; exit 1; }
cmake --build "$fuzz_dir" --parallel "$(nproc)" --target "${fuzz_targets[@]}"

# Each target runs on a copy of its seeds, so the corpus in the repository stays as it is;
# all run at once, one core each.
run_dir=$fuzz_dir/fuzz-run
rm -rf "$run_dir"
mkdir -p "$run_dir"
for target in "${fuzz_targets[@]}"; do
    cp -r "tests/fuzz/corpus/$target" "$run_dir/$target-corpus"
    (
        status=0
        UBSAN_OPTIONS=print_stacktrace=1 "$fuzz_dir/tests/fuzz/$target" "$run_dir/$target-corpus" \
            -max_total_time="$fuzz_seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$run_dir/$target-" > "$run_dir/$target.log" 2>&1 || status=$?
        echo "$status" > "$run_dir/$target.status"
    ) &
done
wait

fuzz_failed=0
for target in "${fuzz_targets[@]}"; do
    status=$(cat "$run_dir/$target.status")
    runs=$(grep -h '^Done [0-9]* runs' "$run_dir/$target.log" || true)
    if [ "$status" = 0 ] && [ -n "$runs" ]; then
        echo "$target: $runs"
    else
        echo "$target: FAILED (exit status $status); the end of its log:"
        tail -n 60 "$run_dir/$target.log"
        ls "$run_dir" | grep -E "^$target-(crash|leak|timeout|oom|slow-unit)-" | sed "s|^|    input kept: $run_dir/|" || true
        fuzz_failed=1
    fi
done
[ "$fuzz_failed" = 0 ] || { echo "Fuzzing found a fault"; exit 1; }
