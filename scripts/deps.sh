#!/usr/bin/env bash
# Installs, through apt-get, whatever the build and the tests need and this machine lacks.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev         # native build, sanitizers, libFuzzer
    googletest libgtest-dev libgmock-dev libbenchmark-dev  # tests and benchmarks
    g++-mingw-w64-x86-64 nsis                              # the Windows program, its installer
    wine wine64 xvfb xdotool x11-utils imagemagick         # running and driving it on Linux
    procps util-linux                                      # pgrep, flock
    fonts-dejavu-core                                      # what the prefixes show for Verdana
    python3 sox pandoc                                     # rebuilding the resources (checked)
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
