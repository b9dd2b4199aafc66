#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a while.
#   tests/fuzz/run.sh [SECONDS] [TARGET...]     default: 60 s, every Fuzz*.cpp here
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for f in tests/fuzz/Fuzz*.cpp; do targets+=("$(basename "$f" .cpp)"); done
fi
out=build/fuzz
mkdir -p "$out"
# Every target links the whole core, so a target may reach any unit without editing this script.
mapfile -t sources < <(find platform app definitions filesystem foldercompare textcompare binarycompare \
    projectcompare fileops editing findinfiles watch -name '*.cpp' 2>/dev/null | sort)
for t in "${targets[@]}"; do
    clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
        "tests/fuzz/$t.cpp" "${sources[@]}" $(pkg-config --cflags --libs libisal) -ltinyxml2 -lpthread \
        -o "$out/$t"
    mkdir -p "$out/$t.corpus"
    seeds=()
    [ -d "tests/fuzz/seeds/$t" ] && seeds=("tests/fuzz/seeds/$t")
    "$out/$t" -max_total_time="$seconds" -print_final_stats=1 "$out/$t.corpus" "${seeds[@]}"
done
