#!/usr/bin/env bash
# Builds Plotwright and starts it: ./run.sh (Plotwright700) or ./run.sh 640 (Plotwright640).
set -euo pipefail
cd "$(dirname "$0")"

release="${1:-700}"
case "$release" in
  700|640) ;;
  *) echo "usage: ./run.sh [700|640]" >&2; exit 2 ;;
esac

scripts/deps.sh build
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build "Plotwright$release" vizorbd vizorb >/dev/null

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Plotwright$release is built (build/bin/Plotwright$release) but there is no display to show it on: set DISPLAY, or start it under xvfb-run." >&2
  exit 1
fi
exec "build/bin/Plotwright$release"
