#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds.
# Seed corpora come from fuzz/seeds-<target>.sh, which may use build/neridal-tool.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=()
for src in fuzz/fuzz_*.cpp; do
    [ -e "$src" ] && targets+=("$(basename "$src" .cpp)")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets"; exit 0; }
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DNERIDAL_FUZZ=ON -DNERIDAL_TESTS=OFF -DNERIDAL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
for name in "${targets[@]}"; do
    target=build-fuzz/fuzz/$name
    seeds=build-fuzz/seeds/$name
    mkdir -p "$seeds" "build-fuzz/findings/$name"
    if [ -x "fuzz/seeds-$name.sh" ]; then "fuzz/seeds-$name.sh" "$seeds"; fi
    echo "== $name for ${seconds}s"
    set +e
    ASAN_OPTIONS=detect_leaks=0 "$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -timeout=10 -artifact_prefix="build-fuzz/findings/$name/" "$seeds" >"build-fuzz/$name.log" 2>&1
    status=$?
    set -e
    tail -3 "build-fuzz/$name.log"
    if [ $status != 0 ]; then
        echo "fuzz target $name found a fault:"; tail -60 "build-fuzz/$name.log"; exit 1
    fi
done
