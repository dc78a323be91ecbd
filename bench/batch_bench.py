#!/usr/bin/env python3
"""Times shp2s16 on a batch of generated maps, side by side in one run.

Compares --jobs 1 with the byte-at-a-time baseline over the same files,
--jobs 2 with --jobs 1, and --jobs 1 with the floor of just writing files of
the same sizes; then checks that peak memory stays flat when a picture grows
sixteen-fold. Every timed run writes into a new empty folder and nothing is
deleted between timed runs: freshly freed space makes file creation much
slower on some machines and would hide the converter's own cost. Dirty pages
are written back before each timed run, outside the timing; with
--drop-caches the page cache is also emptied then (see Settler).
"""
import argparse
import filecmp
import os
import shutil
import statistics
import subprocess
import sys

from settle import Settler, paired_median, report_targets, run


def peak_rss_kib(command):
    """Peak resident memory of one child process, in KiB."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        sys.exit(f"failed: {' '.join(command)}")
    return usage.ru_maxrss


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", help="build folder holding cli/ and bench/")
    parser.add_argument("--maps", type=int, default=500)
    parser.add_argument("--width", type=int, default=800)
    parser.add_argument("--height", type=int, default=600)
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    parser.add_argument("--drop-caches", action="store_true",
                        help="empty the page cache before each timed run (needs root)")
    args = parser.parse_args()

    shp2s16 = os.path.join(args.build, "cli", "shp2s16")
    tools = os.path.join(args.build, "bench", "batch-tools")
    work = os.path.join(args.build, "bench", "batch-work")
    shutil.rmtree(work, ignore_errors=True)
    maps = os.path.join(work, "maps") + "/"
    run([tools, "make-maps", maps, str(args.maps), str(args.width), str(args.height)])

    def fresh(name):
        folder = os.path.join(work, name) + "/"
        os.makedirs(folder)
        return folder

    warm_up = [["cat"] + [os.path.join(maps, n) for n in sorted(os.listdir(maps))],
               [shp2s16, "--version"], [tools]]
    settler = Settler(work, args.drop_caches, warm_up)
    timed = settler.timed
    times = {"jobs1": [], "jobs2": [], "baseline": [], "floor": []}
    for round_ in range(args.rounds):
        jobs1 = fresh(f"jobs1-{round_}")
        times["jobs1"].append(timed([shp2s16, "-q", "-j", "1", maps, jobs1]))
        baseline = fresh(f"baseline-{round_}")
        times["baseline"].append(timed([tools, "baseline", maps, baseline]))
        jobs2 = fresh(f"jobs2-{round_}")
        times["jobs2"].append(timed([shp2s16, "-q", "-j", "2", maps, jobs2]))
        floor = fresh(f"floor-{round_}")
        times["floor"].append(timed([tools, "floor", jobs1, floor]))
        if round_ == 0:
            names = sorted(os.listdir(jobs1))
            _, mismatch, errors = filecmp.cmpfiles(jobs1, baseline, names, shallow=False)
            if mismatch or errors or len(names) != args.maps:
                sys.exit(f"outputs differ from the baseline: {mismatch + errors}")

    median = {key: statistics.median(value) for key, value in times.items()}
    output_mib = sum(os.path.getsize(os.path.join(work, "jobs1-0", n))
                     for n in os.listdir(os.path.join(work, "jobs1-0"))) / 2**20
    print(f"{args.maps} maps of {args.width} x {args.height}, {output_mib:.0f} MiB of S16, "
          f"median of {args.rounds} rounds:")
    for key in ("baseline", "jobs1", "jobs2", "floor"):
        print(f"  {key:<9} {median[key]:8.3f} s   (fastest {min(times[key]):.3f} s, "
              f"slowest {max(times[key]):.3f} s)")

    def paired(numerator, denominator):
        return paired_median(f"{numerator} / {denominator}", times[numerator],
                             times[denominator])

    checks = [
        ("--jobs 1 against the baseline", paired("baseline", "jobs1"), ">=", 4.0),
        ("--jobs 2 against --jobs 1", paired("jobs1", "jobs2"), ">=", 1.7),
        ("--jobs 1 against the write floor", paired("jobs1", "floor"), "<=", 4.0),
    ]

    small = os.path.join(work, "memory-small") + "/"
    large = os.path.join(work, "memory-large") + "/"
    run([tools, "make-maps", small, "1", str(args.width), str(args.height)])
    run([tools, "make-maps", large, "1", str(args.width * 4), str(args.height * 4)])
    rss_small = peak_rss_kib([shp2s16, "-q", small + "MAP0000.SHP", small + "out.s16"])
    rss_large = peak_rss_kib([shp2s16, "-q", large + "MAP0000.SHP", large + "out.s16"])
    growth_mib = (rss_large - rss_small) / 1024
    print(f"  peak memory: {rss_small / 1024:.1f} MiB for one map, {rss_large / 1024:.1f} MiB "
          f"for one 16 times larger ({os.path.getsize(large + 'MAP0000.SHP') / 2**20:.1f} MiB)")
    checks.append(("peak memory growth, MiB", growth_mib, "<=", 2.0))

    missed = report_targets(checks, 34)
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
