#!/usr/bin/env python3
"""Runs shp2s16 on one folder of very many small maps, durable and not.

For each run: the wall time, the peak resident memory and the most file
handles open at once (sampled from /proc every few milliseconds, so a
moment shorter than that may be missed). "nosync" is the same binary with
its syncs removed by LD_PRELOAD of libeatmydata.so. Memory must stay
bounded however many maps a batch holds.
"""
import argparse
import os
import shutil
import subprocess
import sys
import threading
import time

from settle import report_targets, run, without_syncs

MEMORY_TARGET_MIB = 64


def watch_handles(pid, done, most):
    """Keeps in most[0] the most handles `pid` had open at one sample."""
    folder = f"/proc/{pid}/fd"
    while not done.is_set():
        try:
            most[0] = max(most[0], len(os.listdir(folder)))
        except OSError:
            return
        time.sleep(0.003)


def measured(command, env):
    """(wall time in s, peak memory in MiB, most handles) of one run."""
    os.sync()
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env)
    done, most = threading.Event(), [0]
    watcher = threading.Thread(target=watch_handles, args=(process.pid, done, most))
    watcher.start()
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    done.set()
    watcher.join()
    if status != 0:
        sys.exit(f"failed: {' '.join(command)}")
    return elapsed, usage.ru_maxrss / 1024, most[0]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", help="build folder holding cli/ and bench/")
    parser.add_argument("--maps", type=int, default=200000)
    parser.add_argument("--side", type=int, default=16)
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    args = parser.parse_args()
    nosync_env = without_syncs()

    shp2s16 = os.path.join(args.build, "cli", "shp2s16")
    tools = os.path.join(args.build, "bench", "batch-tools")
    work = os.path.join(args.build, "bench", "many-work")
    shutil.rmtree(work, ignore_errors=True)
    maps = os.path.join(work, "maps") + "/"
    run([tools, "make-maps", maps, str(args.maps), str(args.side), str(args.side)])

    print(f"{args.maps} maps of {args.side} x {args.side}, --jobs {args.jobs}:")
    checks = []
    for name, env in (("durable", None), ("nosync", nosync_env)):
        out = os.path.join(work, name) + "/"
        os.makedirs(out)
        elapsed, peak_mib, handles = measured(
            [shp2s16, "-q", "-j", str(args.jobs), maps, out], env)
        written = len(os.listdir(out))
        if written != args.maps:
            sys.exit(f"{name}: {written} targets for {args.maps} maps")
        print(f"  {name:<8} {elapsed:7.2f} s   peak memory {peak_mib:5.1f} MiB   "
              f"most handles open {handles}")
        checks.append((f"peak memory, {name}, MiB", peak_mib, "<=", MEMORY_TARGET_MIB))
    missed = report_targets(checks, 28)
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
