#!/usr/bin/env bash
# Folder comparison speed and memory: bench_foldercmp over the shared generator's tree pairs beside
# `find LEFT RIGHT -printf '%s %T@\n'` (the lower bound of the size and time methods: readdir and stat
# of every entry) and `diff -rq LEFT RIGHT` (the peer of the binary-contents method), in interleaved
# rounds (every command once per round; the ratio is the median of the per-round ratios). Wall time and
# CPU time (user + system of the child) are both given: this shared machine's load and its proactive
# reclaim of cold page-cache pages (which turns some reads into disk reads) move the wall times.
#   bench/foldercmp.sh [ROUNDS] [VARIANTS] [-- extra bench_foldercmp arguments]
#   default: 9 rounds; small|big
# Before timing, every result is checked: the differing files and the orphans that the program lists
# must be those of the generator's truth.tsv (size+time) and of diff -rq (binary contents).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-9}
variants=${2:-small|big}
shift $(( $# < 2 ? $# : 2 ))
[ "${1:-}" = "--" ] && shift
extra=("$@")
shared=${QUORVANE_SHARED_BENCH:-../shared/bench}
data=${QVBENCH:-/tmp/qvbench}
build=${QUORVANE_BENCH_BUILD:-build/rel}

[ -d "$data/trees/big/left" ] || python3 "$shared/gen_tree.py" --out "$data" --variants small,big >/dev/null
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF -DQUORVANE_BENCH=ON >/dev/null
cmake --build "$build" --target bench_foldercmp >/dev/null
prog=$PWD/$build/bench/bench_foldercmp

python3 - "$shared" "$rounds" "$prog" "$data" "$variants" "${extra[@]}" <<'PY'
import os, statistics, subprocess, sys
sys.dont_write_bytecode = True
sys.path.insert(0, sys.argv[1])


def run_once(path, argv):
    """Wall and CPU seconds of one run (posix_spawn + wait4, output to /dev/null), and its exit code."""
    import time
    fa = [(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0), (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0)]
    t0 = time.perf_counter()
    pid = os.posix_spawn(path, argv, os.environ, file_actions=fa)
    _, status, ru = os.wait4(pid, 0)
    return time.perf_counter() - t0, ru.ru_utime + ru.ru_stime, os.waitstatus_to_exitcode(status)

rounds, prog, data, variants, extra = int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[5].split("|"), sys.argv[6:]


def ours(tree, methods, listing=False):
    argv = [prog, "--methods", methods] + extra + (["--list"] if listing else []) + [f"{tree}/left", f"{tree}/right"]
    return argv


def listed(tree, methods):
    out = subprocess.run(ours(tree, methods, True), check=True, capture_output=True, text=True).stdout.splitlines()
    found = {"differ": set(), "orphan": set(), "error": set()}
    for line in out[:-1]:
        kind, path = line.split(" ", 1)
        found["orphan" if kind.endswith("-only") else kind].add(path.lstrip("/"))
    return found, out[-1]


def check(tree):
    truth = {}
    for line in open(f"{tree}/truth.tsv"):
        if not line.startswith("#"):
            cat, path = line.rstrip("\n").split("\t")
            truth.setdefault(cat, set()).add(path.rstrip("/"))
    orphans = truth["left"] | truth["right"] | truth.get("left-dir-root", set()) | truth.get("right-dir-root", set())
    got, summary_st = listed(tree, "size,time")
    want = truth["content"] | truth["size"] | truth["time"]
    if got["differ"] != want or got["orphan"] != orphans or got["error"]:
        sys.exit(f"foldercmp: {tree}: size+time results differ from truth.tsv "
                 f"(missing {sorted(want - got['differ'])[:5]}, extra {sorted(got['differ'] - want)[:5]}, "
                 f"orphans {len(got['orphan'])}/{len(orphans)}, errors {len(got['error'])})")
    diff = subprocess.run(["diff", "-rq", "left", "right"], cwd=tree, capture_output=True, text=True).stdout
    d_differ, d_only = set(), set()
    for line in diff.splitlines():
        if line.startswith("Files "):
            d_differ.add(line.split(" and ", 1)[0][len("Files left/"):])
        elif line.startswith("Only in "):
            folder, name = line[len("Only in "):].split(": ", 1)
            folder = folder.split("/", 1)[1] if "/" in folder else ""
            d_only.add(f"{folder}/{name}".lstrip("/"))
    got, summary_bin = listed(tree, "binary")
    if got["differ"] != d_differ or got["orphan"] != d_only or got["error"]:
        sys.exit(f"foldercmp: {tree}: binary results differ from diff -rq "
                 f"(missing {sorted(d_differ - got['differ'])[:5]}, extra {sorted(got['differ'] - d_differ)[:5]})")
    print(f"{os.path.basename(tree)}: checked: size+time {len(want)} differing and {len(orphans)} orphans as "
          f"truth.tsv; binary {len(d_differ)} differing and {len(d_only)} orphans as diff -rq")
    print(f"  size+time: {summary_st}")
    print(f"  binary:    {summary_bin}")


rows = []
for v in variants:
    tree = f"{data}/trees/{v}"
    check(tree)
    L, R = f"{tree}/left", f"{tree}/right"
    cmds = [("find L R -printf '%s %T@\\n'", ["/usr/bin/find", L, R, "-printf", "%s %T@\n"], 0),
            ("qv size+time", ours(tree, "size,time"), 0),
            ("diff -rq L R", ["/usr/bin/diff", "-rq", L, R], 2),
            ("qv binary", ours(tree, "binary"), 2)]
    times = [[] for _ in cmds]
    cpus = [[] for _ in cmds]
    for c in cmds:
        run_once(c[1][0], c[1])  # warm-up, and the page cache
    for r in range(rounds):
        for j in range(len(cmds)):
            k = (r + j) % len(cmds)
            t, cpu, code = run_once(cmds[k][1][0], cmds[k][1])
            if code not in (0, 1):
                sys.exit(f"{cmds[k][0]} failed with {code}")
            times[k].append(t)
            cpus[k].append(cpu)
    for k, (label, _, ref) in enumerate(cmds):
        ratio = statistics.median(a / b for a, b in zip(times[k], times[ref]))
        cpu_ratio = statistics.median(a / b for a, b in zip(cpus[k], cpus[ref]))
        rows.append(f"| {v} | {label} | {rounds} | {min(times[k]) * 1e3:.1f} ms | "
                    f"{statistics.median(times[k]) * 1e3:.1f} ms | {ratio:.2f} | "
                    f"{statistics.median(cpus[k]) * 1e3:.1f} ms | {cpu_ratio:.2f} | x {cmds[ref][0].split()[0]} |")
print("| tree | command | runs | min | median | x ref (wall) | CPU median | x ref (CPU) | ref |")
print("|---|---|--:|--:|--:|--:|--:|--:|---|")
print("\n".join(rows))
PY
