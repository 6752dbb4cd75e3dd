#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ scripts/build.sh build-fuzz -DNERIDAL_FUZZ=ON -DNERIDAL_TESTS=OFF -DNERIDAL_BENCH=OFF
for target in build-fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    seeds=build-fuzz/seeds/$name
    mkdir -p "$seeds" "build-fuzz/findings/$name"
    if [ -x fuzz/seeds-$name.sh ]; then fuzz/seeds-$name.sh "$seeds"; fi
    echo "== $name for ${seconds}s"
    ASAN_OPTIONS=detect_leaks=0 "$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -timeout=10 -artifact_prefix="build-fuzz/findings/$name/" "$seeds" 2>&1 | tail -5
    [ "${PIPESTATUS[0]}" = 0 ] || { echo "fuzz target $name found a fault"; exit 1; }
done
