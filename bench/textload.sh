#!/usr/bin/env bash
# Loading text into the editor's buffer: a 1,000,000-line UTF-8 file (about 60 MB) beside `wc -l`
# on the same file, and the same lines as UTF-16 (with its mark) beside `iconv -f UTF-16 -t UTF-8`,
# timed in interleaved rounds with the shared runner. Peak memory comes from the program itself.
#   bench/textload.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-15}
shared=${QUORVANE_SHARED_BENCH:-../shared/bench}
data=${QVBENCH:-/tmp/qvbench}/textload
build=${QUORVANE_BENCH_BUILD:-build/rel}
utf8=$data/load1m/left.txt
utf16=$data/load1m-utf16.txt

if [ ! -f "$utf8" ]; then
    # Code-like lines of 59 bytes on average plus LF: about 60 MB.
    python3 "$shared/gen_text.py" --out "$data" --custom load1m --lines 1000000 --avg-len 59 >/dev/null
fi
[ -f "$utf16" ] || iconv -f UTF-8 -t UTF-16 "$utf8" >"$utf16"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=ON >/dev/null
cmake --build "$build" --target bench_textload >/dev/null
prog=$PWD/$build/bench/bench_textload
cat "$utf8" "$utf16" >/dev/null # into the page cache

for f in "$utf8" "$utf16"; do
    echo "$(basename "$f"): $(stat -c %s "$f") bytes, $("$prog" "$f")"
done
echo "wc -l: $(wc -l <"$utf8")"

# Interleaved rounds with the shared runner's spawn-and-wait timing: in every round each command
# runs once, back to back; the ratio is the median of the per-round ratios to the round's peer.
python3 - "$shared" "$rounds" "$prog" "$utf8" "$utf16" <<'PY'
import os, statistics, sys
sys.dont_write_bytecode = True
sys.path.insert(0, sys.argv[1])
from irun import run_once  # noqa: E402
rounds, prog, utf8, utf16 = int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]
cases = [("load-utf8", utf8, [("wc -l FILE", ["/usr/bin/wc", "-l", utf8]), ("qv load", [prog, utf8])]),
         ("load-utf16", utf16, [("iconv -f UTF-16 -t UTF-8 FILE", ["/usr/bin/iconv", "-f", "UTF-16", "-t", "UTF-8", utf16]),
                                ("qv load", [prog, utf16])])]
print("| case | command | runs | min | median | x peer (interleaved) |")
print("|---|---|--:|--:|--:|--:|")
for name, path, cmds in cases:
    times = [[] for _ in cmds]
    for c in cmds:
        run_once(c[1][0], c[1])  # warm-up
    for r in range(rounds):
        for j in range(len(cmds)):
            k = (r + j) % len(cmds)
            t, _, code = run_once(cmds[k][1][0], cmds[k][1])
            if code != 0:
                sys.exit(f"{cmds[k][0]} failed with {code}")
            times[k].append(t)
    for k, (label, _) in enumerate(cmds):
        ratio = statistics.median(a / b for a, b in zip(times[k], times[0]))
        print(f"| {name} | {label} | {rounds} | {min(times[k]) * 1e3:.1f} ms | "
              f"{statistics.median(times[k]) * 1e3:.1f} ms | {ratio:.2f} |")
PY
