#!/usr/bin/env bash
# Regenerates the PE fixtures of this folder from their .rc sources with Debian's MinGW-w64
# binutils (apt-get install binutils-mingw-w64-x86-64 binutils-mingw-w64-i686). The tests use the
# committed binaries and do not need the toolchain. The output is reproducible (no time stamps).
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# windres needs a C preprocessor; the host's cpp does (the sources use no Windows headers).
build() # triplet source output
{
    local triplet=$1 source=$2 output=$3 kind=(-shared)
    [ "${output##*.}" = exe ] && kind=(--subsystem windows)
    "$triplet-windres" --preprocessor=cpp -O coff -i "$source" -o "$tmp/${source%.rc}.o"
    "$triplet-ld" "${kind[@]}" -e 0 -s --no-insert-timestamp -o "$output" "$tmp/${source%.rc}.o"
}

build x86_64-w64-mingw32 version64.rc version64.dll
build i686-w64-mingw32 version32.rc version32.exe
build x86_64-w64-mingw32 threelang.rc threelang.dll
build x86_64-w64-mingw32 noversion.rc noversion.dll
ls -l ./*.dll ./*.exe
