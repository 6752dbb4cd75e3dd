#!/usr/bin/env bash
# Copies the shared metafile corpus into SEEDDIR as seeds for fuzz_metafile.
set -euo pipefail
seeds=${1:?usage: seeds-fuzz_metafile.sh SEEDDIR}
shared=${NERIDAL_SHARED_DIR:-$(dirname "$0")/../../shared}
mkdir -p "$seeds"
for dir in "$shared/corpus/metafiles" "$shared/corpus/synthetic"; do
    [ -d "$dir" ] || continue
    find "$dir" -maxdepth 1 -type f \( -iname '*.emf' -o -iname '*.wmf' \) -exec cp -f {} "$seeds/" \;
done
