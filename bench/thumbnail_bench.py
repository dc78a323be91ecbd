#!/usr/bin/env python3
"""Times whole drovana-thumbnailer processes on one 4096 x 4096 map.

The map is written here, row after row of runs and literal pixels, so that
no outside file is needed. Each run makes a 256-pixel thumbnail; the median
of the runs' wall time is judged against the target, and the spread is
shown. Processor time is shown too: on a busy machine it says what the
program costs when the wall time also holds waiting for a core.

    bench/thumbnail_bench.py BUILD_DIR [--runs 10] [--target-ms 150]
"""
import argparse
import os
import random
import statistics
import struct
import subprocess
import sys
import tempfile
import time


def make_map(width, height, seed=1):
    """A map whose rows mix runs of one colour with short literal stretches."""
    rng = random.Random(seed)
    codes = bytearray()
    for _ in range(height):
        x = 0
        while x < width:
            n = min(width - x, rng.randint(1, 12) if rng.random() < 0.45 else rng.randint(2, 21))
            if n > 1 and rng.random() < 0.55:
                codes += bytes((2 * n, rng.randrange(256)))
            else:
                codes.append(2 * n + 1)
                codes += bytes(rng.randrange(256) for _ in range(n))
            x += n
        codes.append(0)
    lead_in = struct.pack("<4sIi", b"MAP1", 0x04030201, 12)
    header = struct.pack("<hhIiiIi", height - 1, width - 1, 0, 0, 0, 0, height - 1)
    return lead_in + header + bytes(codes)


def time_runs(program, source, target, runs, env):
    """Wall and processor (user + system) milliseconds of each run."""
    wall, cpu = [], []
    for _ in range(runs):
        start = time.perf_counter()
        child = subprocess.Popen([program, "-s", "256", source, target], env=env)
        _, status, usage = os.wait4(child.pid, 0)
        wall.append((time.perf_counter() - start) * 1000)
        child.returncode = os.waitstatus_to_exitcode(status)
        if child.returncode != 0:
            sys.exit(f"thumbnailer failed with {child.returncode}")
        cpu.append((usage.ru_utime + usage.ru_stime) * 1000)
    return wall, cpu


def summary(name, times):
    return (f"{name} median {statistics.median(times):.1f} ms "
            f"(min {min(times):.1f}, max {max(times):.1f})")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", help="the build folder")
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--target-ms", type=float, default=150)
    args = parser.parse_args()

    program = os.path.join(args.build, "thumbnailer", "drovana-thumbnailer")
    env = dict(os.environ, QT_PLUGIN_PATH=os.path.join(args.build, "plugins"))
    with tempfile.TemporaryDirectory() as scratch:
        source = os.path.join(scratch, "big.shp")
        with open(source, "wb") as out:
            out.write(make_map(4096, 4096))
        target = os.path.join(scratch, "thumbnail.png")
        time_runs(program, source, target, 1, env)  # warms the page cache
        wall, cpu = time_runs(program, source, target, args.runs, env)

    print(f"256-pixel thumbnail of a 4096 x 4096 map, {args.runs} runs: "
          f"{summary('wall', wall)}; {summary('processor', cpu)}; "
          f"load average {os.getloadavg()[0]:.1f}")
    return 0 if statistics.median(wall) < args.target_ms else 1


if __name__ == "__main__":
    sys.exit(main())
