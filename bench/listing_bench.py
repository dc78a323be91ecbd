#!/usr/bin/env python3
"""Times how long shp2s16 takes to list a folder of many maps, side by side.

Each given shp2s16 plans a batch of the same folder with --dry-run, with and
without --update-only (half of the maps already have an S16), in alternation
over several rounds, so that two builds can be compared in one run:

    python3 bench/listing_bench.py build/bench/batch-tools OLD/shp2s16 build/cli/shp2s16
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tools", help="the batch-tools program, which makes the maps")
    parser.add_argument("programs", nargs="+", help="shp2s16 programs to compare")
    parser.add_argument("--maps", type=int, default=200000)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--work", default="/tmp/drovana-listing-bench")
    args = parser.parse_args()

    shutil.rmtree(args.work, ignore_errors=True)
    maps = os.path.join(args.work, "maps") + "/"
    peg = os.path.join(args.work, "peg") + "/"
    subprocess.run([args.tools, "make-maps", maps, str(args.maps), "8", "6"], check=True)
    os.makedirs(peg)
    for name in sorted(os.listdir(maps))[::2]:
        open(os.path.join(peg, name[:-4] + ".s16"), "wb").close()

    modes = {"list": [], "update-only": ["-u"]}
    times = {(p, m): [] for p in args.programs for m in modes}
    for _ in range(args.rounds):
        for mode, options in modes.items():
            for program in args.programs:
                times[(program, mode)].append(timed([program, "-n"] + options + [maps, peg]))

    print(f"{args.maps} maps, median of {args.rounds} rounds (fastest, slowest):")
    for (program, mode), values in times.items():
        print(f"  {mode:<12} {program:<40} {statistics.median(values):6.3f} s "
              f"({min(values):.3f}, {max(values):.3f})")
    shutil.rmtree(args.work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
