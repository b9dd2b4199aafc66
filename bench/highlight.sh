#!/usr/bin/env bash
# Syntax-coloured HTML export: `quorvane-cli highlight` of a 200,000-line C++ file beside Debian's
# `pygmentize -f html` (python3-pygments) on the same file, in interleaved rounds with the shared
# runner's spawn-and-wait timing (both write the page to standard output, which the runner sends
# to /dev/null). Then the same export of 50k to 400k lines, to see that the time grows linearly.
#   bench/highlight.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-7}
shared=${QUORVANE_SHARED_BENCH:-../shared/bench}
data=${QVBENCH:-/tmp/qvbench}/highlight
build=${QUORVANE_BENCH_BUILD:-build/release}
pygmentize=${PYGMENTIZE:-/usr/bin/pygmentize}

[ -x "$pygmentize" ] || { echo "needs $pygmentize (apt-get install python3-pygments)" >&2; exit 1; }
mkdir -p "$data"
for lines in 50000 100000 200000 400000; do
    f=$data/code$lines.cpp
    [ -f "$f" ] && continue
    # Deterministic code-like C++: functions with keywords, numbers, strings, character literals,
    # line and block comments, preprocessor lines and blank lines.
    python3 - "$f" "$lines" <<'PY'
import sys
path, total = sys.argv[1], int(sys.argv[2])
tpl = [
    '#include "module{i}.h"',
    '// {i}: compute the checksum of the block',
    'static int func_{i}(const char* p, unsigned n)',
    '{{',
    '    int total = 0x{h:04X}; /* seed {i} */',
    '    for (unsigned k = 0; k < n; ++k)',
    '        total += p[k] * {m} + \'\\n\';',
    '    if (total > 1.5e3 && n != {i}) return -1;',
    '    printf("value %d of <%s> & more\\n", total, "item{i}");',
    '    /* a block comment',
    '       spanning two lines */',
    '    return total;',
    '}}',
    '',
    '#define MACRO_{i}(x) ((x) * {m})',
    'class Widget{i} : public Base {{ public: virtual bool Run(int argc, char** argv) const; }};',
]
with open(path, 'w') as out:
    i = 0
    while i < total:
        for t in tpl:
            if i >= total:
                break
            out.write(t.format(i=i, h=(i * 2654435761) & 0xFFFF, m=i % 97 + 3) + '\n')
            i += 1
PY
done
# -Werror stays off here: GCC 12 at -O3 gives a false -Wrestrict in code outside this benchmark.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF -DQUORVANE_WERROR=OFF >/dev/null
cmake --build "$build" --target quorvane-cli >/dev/null
qv=$PWD/$build/quorvane-cli
cat "$data"/*.cpp >/dev/null # into the page cache

f=$data/code200000.cpp
echo "$(basename "$f"): $(stat -c %s "$f") bytes, $(wc -l <"$f") lines"
echo "qv page: $("$qv" highlight "$f" | wc -c) bytes; pygmentize page: $("$pygmentize" -f html "$f" | wc -c) bytes"

python3 - "$shared" "$rounds" "$qv" "$pygmentize" "$data" <<'PY'
import statistics, sys
sys.dont_write_bytecode = True
sys.path.insert(0, sys.argv[1])
from irun import run_once  # noqa: E402
rounds, qv, pyg, data = int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5]

def interleaved(cmds, rounds):
    """In every round each command runs once, back to back; round r starts at command r mod n."""
    times = [[] for _ in cmds]
    for _, argv in cmds:
        run_once(argv[0], argv)  # warm-up
    for r in range(rounds):
        for j in range(len(cmds)):
            k = (r + j) % len(cmds)
            t, _, code = run_once(cmds[k][1][0], cmds[k][1])
            if code != 0:
                sys.exit(f"{cmds[k][0]} failed with {code}")
            times[k].append(t)
    return times

f200 = f"{data}/code200000.cpp"
cmds = [("pygmentize -f html FILE", [pyg, "-f", "html", f200]), ("quorvane-cli highlight FILE", [qv, "highlight", f200])]
times = interleaved(cmds, rounds)
print("| case | command | runs | min | median | x pygmentize (interleaved) |")
print("|---|---|--:|--:|--:|--:|")
for k, (label, _) in enumerate(cmds):
    ratio = statistics.median(a / b for a, b in zip(times[k], times[0]))
    print(f"| cpp-200k | {label} | {rounds} | {min(times[k]) * 1e3:.1f} ms | "
          f"{statistics.median(times[k]) * 1e3:.1f} ms | {ratio:.4f} |")
speedup = statistics.median(b / a for a, b in zip(times[1], times[0]))
print(f"\nspeed-up (median of per-round pygmentize / quorvane-cli): {speedup:.1f}x")

sizes = [50000, 100000, 200000, 400000]
cmds = [(f"{n} lines", [qv, "highlight", f"{data}/code{n}.cpp"]) for n in sizes]
times = interleaved(cmds, rounds)
base = statistics.median(times[0]) / sizes[0]
print("\n| lines | median | per line | x linear (50k time scaled) |")
print("|--:|--:|--:|--:|")
for k, n in enumerate(sizes):
    med = statistics.median(times[k])
    print(f"| {n} | {med * 1e3:.1f} ms | {med / n * 1e9:.0f} ns | {med / (base * n):.2f} |")
PY
