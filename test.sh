#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh              warnings-as-errors build in build/debug, then the whole suite
#   ./test.sh --sanitize   the same under AddressSanitizer and UndefinedBehaviorSanitizer (build/asan)
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

build=build/debug
config=(-DCMAKE_BUILD_TYPE=Debug -DQUORVANE_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
    build=build/asan
    config=(-DCMAKE_BUILD_TYPE=Debug -DQUORVANE_WERROR=ON -DQUORVANE_SANITIZE=ON)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

cmake -S . -B "$build" -G Ninja "${config[@]}" >/dev/null
cmake --build "$build"
# No display is needed; GUI tests render offscreen.
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
