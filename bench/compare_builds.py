#!/usr/bin/env python3
"""Compares the converter of two builds side by side in one run.

Runs each build's convert_bench decoding benchmarks (the converter alone, in
memory, on a 4096 x 4096 map of each style) in alternating rounds, so that
both builds see the same machine state, and reports per style each build's
median time and the median and range of the paired ratios. To measure a
change, build the commit before it in a second folder:

    git worktree add /tmp/before HEAD~1
    cmake -S /tmp/before -B /tmp/before/build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DDROVANA_BUILD_BENCH=ON
    cmake --build /tmp/before/build --target convert_bench
    python3 bench/compare_builds.py /tmp/before/build build
"""
import argparse
import json
import os
import statistics
import subprocess
import tempfile

from settle import Settler, paired_median


def decode_times(build, repetitions):
    """Best time in ms per style over `repetitions` runs of one process."""
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run([os.path.join(build, "bench", "convert_bench"),
                        "--benchmark_filter=decode_only",
                        f"--benchmark_repetitions={repetitions}",
                        f"--benchmark_out={out.name}", "--benchmark_out_format=json"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        results = json.load(out)["benchmarks"]
    best = {}
    for result in results:
        if result.get("run_type") == "iteration":
            style = result["name"].split("/")[0]
            best[style] = min(best.get(style, float("inf")), result["real_time"])
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("before", help="build folder of the reference")
    parser.add_argument("after", help="build folder of the change")
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--repetitions", type=int, default=5)
    args = parser.parse_args()

    times = {args.before: [], args.after: []}
    for round_ in range(args.rounds):
        # Each build goes first in every other round, so neither always
        # inherits the other's cache and frequency state.
        order = [args.before, args.after] if round_ % 2 == 0 else [args.after, args.before]
        for build in order:
            Settler.wait_for_quiet()
            times[build].append(decode_times(build, args.repetitions))

    print(f"Decoding alone, ms per 4096 x 4096 map, best of {args.repetitions} "
          f"per round, {args.rounds} rounds:")
    for style in times[args.before][0]:
        before = [t[style] for t in times[args.before]]
        after = [t[style] for t in times[args.after]]
        print(f"{style}: before median {statistics.median(before):.2f}, "
              f"after median {statistics.median(after):.2f}")
        ratio = paired_median("after / before", after, before)
        ratios = [a / b for a, b in zip(after, before)]
        print(f"  median {ratio:.3f}, range {min(ratios):.3f} to {max(ratios):.3f}")


if __name__ == "__main__":
    main()
