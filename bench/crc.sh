#!/usr/bin/env bash
# Checksum speed: quorvane-cli info (CRC-32 of the whole file) over a 1 GiB file in the page cache,
# timed in interleaved rounds beside `cat FILE` (the read limit) with the shared runner.
#   bench/crc.sh [ROUNDS]      results go to stdout as the runner's TSV row and a ratio line
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-15}
shared=${QUORVANE_SHARED_BENCH:-../shared/bench}
data=${QVBENCH:-/tmp/qvbench}/crc
file=$data/1g.bin

mkdir -p "$data"
if [ ! -f "$file" ]; then
    # Deterministic incompressible bytes, so every run checks the same data.
    python3 -c "import hashlib,sys; open(sys.argv[1],'wb').write(hashlib.shake_128(b'quorvane-crc-bench').digest(1<<30))" "$file"
fi
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF >/dev/null
cmake --build build/release --target quorvane-cli >/dev/null
cat "$file" >/dev/null # into the page cache

expected=$(python3 -c "import zlib,sys; print('%X' % zlib.crc32(open(sys.argv[1],'rb').read()))" "$file")
got=$(build/release/quorvane-cli info "$file" | cut -f6)
[ "$got" = "$expected" ] || { echo "crc mismatch: $got, zlib says $expected" >&2; exit 1; }

queue=$(mktemp)
trap 'rm -f "$queue"' EXIT
bytes=$(stat -c %s "$file")
cat >"$queue" <<JSON
{"group": "bin", "case": "crc-1G", "peer": "cat L R (page cache)", "bytes": $bytes, "items": 1, "result": "", "argv": ["cat", "$file"]}
{"group": "bin", "case": "crc-1G", "peer": "qv info (CRC-32)", "bytes": $bytes, "items": 1, "result": "crc=$got", "argv": ["$PWD/build/release/quorvane-cli", "info", "$file"]}
JSON
python3 "$shared/irun.py" "$queue" --runs "$rounds"
