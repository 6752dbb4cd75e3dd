#!/usr/bin/env bash
# Set-up, build, and every test: the unit tests, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
[ -n "${XDG_RUNTIME_DIR:-}" ] || export XDG_RUNTIME_DIR=$(mktemp -d)

scripts/build.sh build
(cd build && ctest --output-on-failure -j2 --timeout 600)

# The Debian package, installed and used as a desktop does, then removed.
(cd build && rm -f neridal_*.deb && cpack -G DEB >/dev/null)
scripts/check-package.sh build

# The same unit tests once under the sanitizers (the corpus-wide checks are
# covered by the plain run and the fuzzers).
scripts/build.sh build-asan -DNERIDAL_SANITIZE=ON -DNERIDAL_BENCH=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j2 --timeout 900 -LE slow)

# Fuzz targets, 60 seconds each, on seed corpora made by our own writer and the
# shared metafile corpus.
scripts/fuzz.sh 60
