#!/usr/bin/env bash
# Set-up, build, and the viewer on the bundled sample album.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ -x build/neridal ]; then
    exec build/neridal build/sample/SAMPLE.PXA
else
    exec build/neridal-tool info build/sample/SAMPLE.PXA
fi
