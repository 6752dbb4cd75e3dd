#!/usr/bin/python3
"""Renders every corpus metafile with `neridal-tool picture` at its reference's
size and compares it with the reference render.

Usage: corpus_check.py --tool TOOL --shared SHARED_DIR --floors FLOORS.tsv
                       --out OUT_DIR [--raise-floors]

Fails when a file scores below its floor in FLOORS.tsv or has none. With
--raise-floors the floors file is rewritten with any higher scores (less a
small margin); floors are never lowered.
"""
import argparse
import os
import subprocess
import sys

MARGIN = 0.005  # run-to-run noise of text smoothing


def references(shared):
    """(name, metafile path, reference png, size) for every trusted reference."""
    for folder in ("corpus/metafiles", "corpus/synthetic"):
        base = os.path.join(shared, folder)
        oracle = os.path.join(base, "ref", "oracle.tsv")
        with open(oracle, encoding="utf-8") as f:
            next(f)
            for line in f:
                name, size = line.rstrip("\n").split("\t")[:2]
                ref = os.path.join(base, "ref", name + ".png")
                if os.path.exists(ref):
                    yield name, os.path.join(base, name), ref, size


def read_floors(path):
    floors = {}
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.startswith("#") or not line.strip():
                    continue
                name, value = line.rstrip("\n").split("\t")[:2]
                floors[name] = float(value)
    return floors


def score(tool, imgdiff, metafile, ref, size, out):
    run = subprocess.run([tool, "picture", metafile, "--out", out, "--size", size],
                         capture_output=True, text=True, timeout=120)
    if run.returncode != 0:
        return None, run.stderr.strip()
    diff = subprocess.run([sys.executable, imgdiff, ref, out], capture_output=True, text=True,
                          timeout=120)
    if diff.returncode != 0:
        return None, diff.stderr.strip()
    return float(diff.stdout.strip().splitlines()[-1]), ""


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tool", required=True)
    ap.add_argument("--shared", required=True)
    ap.add_argument("--floors", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--raise-floors", action="store_true")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    imgdiff = os.path.join(args.shared, "tools", "imgdiff.py")
    floors = read_floors(args.floors)
    failures, scores = [], {}
    for name, metafile, ref, size in references(args.shared):
        s, why = score(args.tool, imgdiff, metafile, ref, size, os.path.join(args.out, name + ".png"))
        if s is None:
            failures.append(f"{name}: render failed: {why}")
            continue
        scores[name] = s
        floor = floors.get(name)
        mark = ""
        if floor is None:
            failures.append(f"{name}: no floor recorded (score {s:.4f})")
            mark = "  (no floor)"
        elif s < floor:
            failures.append(f"{name}: {s:.4f} below its floor {floor:.4f}")
            mark = "  BELOW FLOOR"
        print(f"{s:.4f}  {name}{mark}")
    if scores:
        values = sorted(scores.values())
        print(f"files {len(values)}  mean {sum(values) / len(values):.4f}  "
              f"below 0.90: {sum(v < 0.90 for v in values)}  lowest {values[0]:.4f}")
    if args.raise_floors:
        for name, s in scores.items():
            candidate = round(max(0.0, s - MARGIN), 3)
            if candidate > floors.get(name, 0.0):
                floors[name] = candidate
        with open(args.floors, "w", encoding="utf-8") as f:
            f.write("# file\tlowest accepted score (raised as the player improves, never lowered)\n")
            for name in sorted(floors):
                f.write(f"{name}\t{floors[name]:.3f}\n")
        return 0
    for line in failures:
        print("FAIL " + line)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
