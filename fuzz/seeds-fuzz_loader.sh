#!/usr/bin/env bash
# Seed corpus for fuzz_loader: albums of every scheme written by our own tool.
# Each seed is one selector byte (0 = .PXA, 1 = .PXB, 3 = .PXD) followed by the file.
set -euo pipefail
out=$(realpath -m "${1:?usage: seeds-fuzz_loader.sh SEEDDIR}")
cd "$(dirname "$0")/.."
tool=${NERIDAL_TOOL:-}
for t in $tool build/neridal-tool build-fuzz/neridal-tool; do
    [ -x "$t" ] && { tool=$t; break; }
done
[ -n "$tool" ] || { echo "seeds-fuzz_loader.sh: no neridal-tool built yet, no seeds"; exit 0; }
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0

seed() {  # seed NAME SELECTOR FILE
    { printf "\\x$(printf %02x "$2")"; cat "$3"; } >"$out/$1"
}

# A minimal EMF page (header and end record) keeps the seeds small.
python3 - "$work/page.emf" <<'PY'
import struct, sys
header = struct.pack('<II4i4iIIIIHHIIIiiiiIIIii', 1, 108, 0, 0, 99, 99, 0, 0, 2646, 2646,
                     0x464D4520, 0x10000, 128, 2, 1, 0, 0, 0, 0, 100, 100, 26, 26, 0, 0, 0,
                     26458, 26458)
eof = struct.pack('<IIIII', 14, 20, 0, 16, 20)
open(sys.argv[1], 'wb').write(header + eof)
PY

i=0
for row in "PXA 3.0 A.PXA 0" "PXA 2.5 A.PXA 0" "PXA 1.5 A.PXA 0" "RTWA 2.0 W.PXA 0" \
            "RTB 8.0 B.PXB 1" "RTC 7.0 D.PXD 3"; do
    set -- $row
    "$tool" pack "$work/$3" --producer "$1" --version "$2" --title "題名" \
        --toc "1:0:着工前" --toc "2:1:床掘完了" --font "ＭＳ 明朝" --turned 2 \
        "$work/page.emf" "$work/page.emf" >/dev/null
    seed "album-$i" "$4" "$work/$3"
    i=$((i + 1))
done
exit 0
