#!/usr/bin/env bash
# Line comparison speed and memory: `quorvane-cli diff` beside GNU diff on the shared generator's text
# pairs, in interleaved rounds (the shared runner), with peak RSS from the same runs.
#   bench/textdiff.sh [ROUNDS] [CASES]     default: 9 rounds; medium|large|heavy|dup-heavy|huge-single-change
# Cases: medium 100k lines 1 % edited, large 1M lines 0.5 %, heavy 100k lines 30 % (with block moves),
# dup-heavy 200k lines with 40 % repeated lines, huge-single-change 2M lines with one change.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-9}
cases=${2:-medium|large|heavy|dup-heavy|huge-single-change}
shared=${QUORVANE_SHARED_BENCH:-../shared/bench}
data=${QVBENCH:-/tmp/qvbench}

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF >/dev/null
cmake --build build/release --target quorvane-cli >/dev/null
[ -f "$data/text/huge-single-change/left.txt" ] || python3 "$shared/gen_text.py" --out "$data/text" >/dev/null

# The runner splits commands on blanks, so the program is run from a path without any.
bin=$(mktemp -d)
trap 'rm -rf "$bin"' EXIT
cp build/release/quorvane-cli "$bin/quorvane-cli"

# Every case must print exactly what GNU diff prints before it is timed.
for c in ${cases//|/ }; do
    if ! cmp -s <(diff "$data/text/$c/left.txt" "$data/text/$c/right.txt") \
                <("$bin/quorvane-cli" diff "$data/text/$c/left.txt" "$data/text/$c/right.txt"); then
        echo "textdiff: $c: output differs from GNU diff" >&2
        exit 1
    fi
done

QVBENCH=$data QV_TEXT_CMD="$bin/quorvane-cli diff {L} {R}" \
    bash "$shared/baselines.sh" -I -n -r "$rounds" -M "$rounds" -f "^text/($cases) (diff|qv)\$" |
    grep -E '^\| (case|---|text/)'
