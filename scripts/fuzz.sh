#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# over a copy of its seed corpus: scripts/fuzz.sh [seconds per target].
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

[ -f build-fuzz/build.ninja ] || CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLOTWRIGHT_FUZZ=ON -DPLOTWRIGHT_TESTS=OFF -DPLOTWRIGHT_BENCH=OFF >/dev/null
targets=()
for source in fuzz/*.cpp; do
  name=$(basename "$source" .cpp)
  [ "$name" = replay_main ] || targets+=("$name")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets"; exit 0; }
ninja -C build-fuzz "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=0:detect_odr_violation=0"
for name in "${targets[@]}"; do
  work=$(mktemp -d)
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$work/"
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=("-dict=fuzz/$name.dict")
  # fuzz/NAME.args: one line of further libFuzzer flags for that target; they
  # come last, so they override the defaults (a tighter -timeout, a -max_len).
  extra=()
  [ -f "fuzz/$name.args" ] && { read -r -a extra < "fuzz/$name.args" || true; }
  echo "-- fuzz_$name for ${seconds}s ${extra[*]}"
  "build-fuzz/bin/fuzz_$name" "$work" "${dict[@]}" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 "${extra[@]}" 2>&1 | tail -n 12
  rm -rf "$work"
done
