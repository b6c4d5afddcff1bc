#!/usr/bin/env bash
# Installs the Debian packages Plotwright needs that are not there yet.
#   scripts/deps.sh build   what building and running the programs needs
#   scripts/deps.sh test    that, plus what the test suite needs
# Quiet and quick when everything is installed already.
set -euo pipefail

# hardinfo is the system information tool the About window starts.
build_packages=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev libqt6opengl6-dev fonts-liberation hardinfo)
test_packages=(libgtest-dev libbenchmark-dev xvfb xauth openbox xdotool x11-utils imagemagick xclip
               strace gnuplot-nox clang-format-14 clang-14 libfuzzer-14-dev libclang-rt-14-dev locales)

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
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The event log's tests also run under a German locale.
if [ "${1:-build}" = test ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
