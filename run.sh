#!/usr/bin/env bash
# Installs what is missing, builds a release build and runs the program.
# With a display and the desktop program built, it opens the program with the given command line;
# otherwise it runs quorvane-cli. Without arguments it looks at the bundled samples.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF >/dev/null
cmake --build "$build"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/quorvane" ]; then
    if [ $# -eq 0 ]; then
        set -- samples/left samples/right
    fi
    exec "$build/quorvane" "$@"
fi

if [ $# -eq 0 ]; then
    set -- info samples/left samples/right samples/left/* samples/right/*
fi
exec "$build/quorvane-cli" "$@"
