#!/usr/bin/env python3
"""Times whole shp2s16 processes, side by side in one run.

First process start: `shp2s16 --version` against an empty C++ program built
with the same compiler and flags, run alternately, many times in each round.
Then one 4096 x 4096 map in each style (long runs, mixed, literal pixels),
converted by `shp2s16 SOURCE TARGET` and by the byte-at-a-time peer, each
timed run writing a new target and nothing deleted between timed runs.

Every process is started with posix_spawn and reaped at once, so the
launcher adds as little as it can to the short runs. Each ratio pairs the
runs of one round; the median over rounds is judged.

Each conversion is timed four ways: shp2s16 as it is (the target's data
and then its folder synced before it reports success), the same binary with
its syncs removed by LD_PRELOAD of libeatmydata.so (the cost of
durability), the peer as it is (it writes its target in place and leaves
the dirty pages to the kernel) and the peer given the same syncs (the
file's data, then its folder): only that last is like for like. Dirty pages
are written back before each timed run, outside the timing. The figures are
taken with a warm page cache and, with --drop-caches, also with the cache
emptied before each conversion (see settle.Settler). A single conversion
has nothing to defer, so its figures are stated, not judged; the process
start is judged.
"""
import argparse
import filecmp
import os
import shutil
import statistics
import sys
import time

from settle import Settler, paired_median, report_targets, run, without_syncs

STYLES = {"long": "long runs", "mixed": "mixed", "literals": "literal pixels"}
START_TARGET = 1.5


class Launcher:
    """Runs a program to its end and returns the wall time it took, in s."""

    def __init__(self):
        self.devnull = os.open(os.devnull, os.O_WRONLY)
        self.actions = [(os.POSIX_SPAWN_DUP2, self.devnull, 1)]

    def timed(self, command, env=None):
        start = time.perf_counter()
        pid = os.posix_spawn(command[0], command, env or os.environ, file_actions=self.actions)
        _, status = os.waitpid(pid, 0)
        elapsed = time.perf_counter() - start
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"failed: {' '.join(command)}")
        return elapsed


def spread(values, digits):
    return f"fastest {min(values):.{digits}f}, slowest {max(values):.{digits}f}"


def measure_start(launcher, settler, commands, rounds, runs):
    """Per-run times of each command, by round, runs alternating."""
    times = {name: [[] for _ in range(rounds)] for name in commands}
    for round_ in range(rounds):
        settler.settle()
        settler.wait_for_quiet(settler.quiet_limit_s)
        for command in commands.values():
            launcher.timed(command)
        for _ in range(runs):
            for name, command in commands.items():
                times[name][round_].append(launcher.timed(command))
    return times


def report_start(times, rounds, runs):
    print(f"Process start, {rounds} rounds of {runs} runs each, per-run time in ms:")
    for name, by_round in times.items():
        values = [t * 1000 for r in by_round for t in r]
        quartiles = statistics.quantiles(values, n=4)
        print(f"  {name:<8} median {statistics.median(values):6.3f}   "
              f"quartiles {quartiles[0]:.3f} .. {quartiles[2]:.3f}   ({spread(values, 3)})")
    medians = {name: [statistics.median(r) for r in by_round] for name, by_round in times.items()}
    return paired_median("shp2s16 / empty, medians", medians["shp2s16"], medians["empty"])


class Program:
    """How one contender converts: `prefix SOURCE TARGET suffix` in `env`."""

    def __init__(self, prefix, suffix=(), env=None):
        self.prefix, self.suffix, self.env = list(prefix), list(suffix), env

    def command(self, source, target):
        return self.prefix + [source, target] + self.suffix


def measure_conversions(launcher, settlers, programs, maps, outputs, rounds):
    """Times of each (cache, style, program) by round, the order flipped
    each round."""
    times = {}
    for round_ in range(rounds):
        order = list(programs.items())
        if round_ % 2:
            order.reverse()
        for cache, settler in settlers.items():
            for style in STYLES:
                for name, program in order:
                    target = os.path.join(outputs, f"{cache}-{style}-{name}-{round_}.s16")
                    settler.settle()
                    settler.wait_for_quiet(settler.quiet_limit_s)
                    elapsed = launcher.timed(program.command(maps[style], target), program.env)
                    times.setdefault((cache, style, name), []).append(elapsed)
        if round_ == 0:
            check_identical(outputs, programs, next(iter(settlers)))
    return times


def check_identical(outputs, programs, cache):
    for style in STYLES:
        first, *others = (os.path.join(outputs, f"{cache}-{style}-{name}-0.s16")
                          for name in programs)
        for other in others:
            if not filecmp.cmp(first, other, shallow=False):
                sys.exit(f"outputs differ: {first} {other}")


def report_conversions(times, maps, outputs, cache, rounds, programs):
    print(f"Conversions of one 4096 x 4096 map, page cache {cache}, {rounds} rounds, in ms:")
    for style, label in STYLES.items():
        shp_mib = os.path.getsize(maps[style]) / 2**20
        s16 = os.path.join(outputs, f"{cache}-{style}-shp2s16-0.s16")
        print(f"  {label} ({shp_mib:.1f} MiB of SHP, {os.path.getsize(s16) / 2**20:.1f} MiB "
              f"of S16):")
        for name in programs:
            values = [t * 1000 for t in times[(cache, style, name)]]
            print(f"    {name:<15} median {statistics.median(values):6.1f}   "
                  f"({spread(values, 1)})")
        for numerator, denominator in (("peer", "shp2s16"), ("peer-synced", "shp2s16"),
                                       ("shp2s16", "shp2s16-nosync")):
            paired_median(f"  {numerator} / {denominator}", times[(cache, style, numerator)],
                          times[(cache, style, denominator)])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", help="build folder holding cli/ and bench/")
    parser.add_argument("--start-rounds", type=int, default=10)
    parser.add_argument("--start-runs", type=int, default=20,
                        help="runs of each program in each start round")
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--quiet-wait", type=float, default=30.0,
                        help="longest wait for idle CPUs before each run, in s")
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    parser.add_argument("--drop-caches", action="store_true",
                        help="also time each conversion with the page cache emptied (needs root)")
    args = parser.parse_args()
    nosync_env = without_syncs()

    shp2s16 = os.path.join(args.build, "cli", "shp2s16")
    tools = os.path.join(args.build, "bench", "batch-tools")
    empty = os.path.join(args.build, "bench", "empty-program")
    work = os.path.join(args.build, "bench", "process-work")
    shutil.rmtree(work, ignore_errors=True)
    maps = {}
    for style in STYLES:
        folder = os.path.join(work, style)
        run([tools, "make-maps", folder, "1", "4096", "4096", style])
        maps[style] = os.path.join(folder, "MAP0000.SHP")
    outputs = os.path.join(work, "out")
    os.makedirs(outputs)

    warm_up = [["cat"] + list(maps.values()), [shp2s16, "--version"], [empty], [tools]]
    settlers = {"warm": Settler(work, False, warm_up, args.quiet_wait)}
    if args.drop_caches:
        settlers["dropped"] = Settler(work, True, warm_up, args.quiet_wait)
    launcher = Launcher()
    start_times = measure_start(launcher, settlers["warm"],
                                {"shp2s16": [shp2s16, "--version"], "empty": [empty]},
                                args.start_rounds, args.start_runs)
    start_ratio = report_start(start_times, args.start_rounds, args.start_runs)
    programs = {
        "shp2s16": Program([shp2s16]),
        "shp2s16-nosync": Program([shp2s16], env=nosync_env),
        "peer": Program([tools, "baseline-one"]),
        "peer-synced": Program([tools, "baseline-one"], ["--sync"]),
    }
    times = measure_conversions(launcher, settlers, programs, maps, outputs, args.rounds)
    for cache in settlers:
        report_conversions(times, maps, outputs, cache, args.rounds, programs)
    missed = report_targets([("start against the empty program", start_ratio, "<=",
                              START_TARGET)], 36)
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
