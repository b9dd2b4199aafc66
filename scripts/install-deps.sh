#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Quorvane need.
# Idempotent: it asks apt-get only for packages that are not installed yet.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config ccache
    qt6-base-dev libtinyxml2-dev zlib1g-dev libisal-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core
    clang libclang-rt-14-dev
    # the peers the tests and benchmarks check us against, and the benchmark runner
    hyperfine rsync time diffutils patch python3-pygments
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo_cmd=(sudo)
    else
        echo "install-deps: missing packages (${missing[*]}) and not root; install them and retry" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
