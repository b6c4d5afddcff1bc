#!/usr/bin/env bash
# Builds Plotwright and runs its whole test suite: unit tests (offscreen),
# the fuzz targets' seed corpora, and the end-to-end checks under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"

scripts/deps.sh test
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build
ctest --test-dir build --output-on-failure --no-tests=error -j "$(nproc)"
