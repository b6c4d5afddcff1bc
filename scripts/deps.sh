#!/usr/bin/env bash
# Installs the Debian packages Plotwright needs that are not there yet.
#   scripts/deps.sh build   what building and running the programs needs
#   scripts/deps.sh test    that, plus what the test suite needs
# Quiet and quick when everything is installed already.
set -euo pipefail

# hardinfo is the system information tool the About window starts.
build_packages=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev libqt6opengl6-dev fonts-liberation hardinfo)
test_packages=(libgtest-dev libbenchmark-dev xvfb xauth openbox xdotool x11-utils imagemagick xclip
               strace gnuplot-nox clang-14 libfuzzer-14-dev libclang-rt-14-dev locales)

wanted=("${build_packages[@]}")
if [ "${1:-build}" = test ]; then
  wanted+=("${test_packages[@]}")
fi

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
