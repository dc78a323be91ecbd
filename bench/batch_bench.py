#!/usr/bin/env python3
"""Times shp2s16 on batches of generated maps, side by side in one run.

Two batches: large maps (300 of 800 x 600) and small ones (2,000 of
256 x 256). Each round runs, over the same maps:

  jobs1, jobs2           shp2s16 --jobs 1 and 2, every target durable
  jobs1-nosync, ...      the same binary with its syncs removed by
                         LD_PRELOAD of libeatmydata.so: the cost of durability
  peer, peer-synced      the byte-at-a-time converter as it is (no syncs), and
                         given the same syncs (each file's data, the folder)
  peer-halves            two peers at once, each on half of the maps: how a
                         peer bound by its processor scales
  jobs1-halves           two shp2s16 --jobs 1 at once, each on half of the
                         maps, durable: this machine's own two-process
                         scaling of the same work, disk included
  floor-none, -each, -deferred, -syncfs
                         just writing files of the same names and sizes, each
                         made unnamed and linked to its name: no syncs, each
                         file synced before it is named, groups of 64 written
                         and then each synced, groups of 64 and one syncfs

Every timed run writes into a new empty folder and nothing is deleted within
a round: freshly freed space makes file creation much slower on some
machines, so each round's files go only once it is over. Dirty pages are written back before each timed run, outside the
timing. The figures are taken with a warm page cache and, with --drop-caches,
also with the cache emptied before each run (see Settler). The targets are
judged on the figures with the cache emptied when there are any: on virtual
machines that hand free memory back to the host, warm runs that draw such
pages pay a host fault per page, and the rounds then alternate between
fractions and multiples of each other. Each ratio pairs the runs of one round; the
median over rounds is judged. Finally peak memory must stay flat when a
picture grows sixteen-fold.
"""
import argparse
import filecmp
import os
import shutil
import statistics
import subprocess
import sys

from settle import Settler, paired_median, report_targets, run, without_syncs

FLOORS = ("none", "each", "deferred", "syncfs")


def peak_rss_kib(command):
    """Peak resident memory of one child process, in KiB."""
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    if status != 0:
        sys.exit(f"failed: {' '.join(command)}")
    return usage.ru_maxrss


class Batch:
    """One set of maps, its contenders and their times by round."""

    def __init__(self, name, work, tools, shp2s16, count, width, height, full):
        self.name, self.work, self.tools, self.shp2s16 = name, work, tools, shp2s16
        self.count, self.width, self.height = count, width, height
        self.maps = os.path.join(work, name, "maps") + "/"
        run([tools, "make-maps", self.maps, str(count), str(width), str(height)])
        self.reference = None
        self.contenders = ["jobs1", "jobs1-nosync", "peer-synced"] + [f"floor-{f}" for f in FLOORS]
        if full:
            self.contenders += ["jobs2", "jobs2-nosync", "jobs1-halves", "peer", "peer-halves"]
            self.halves = self.split_halves()
        self.times = {}

    def split_halves(self):
        names = sorted(os.listdir(self.maps))
        halves = []
        for i, part in enumerate((names[0::2], names[1::2])):
            folder = os.path.join(self.work, self.name, f"half{i}") + "/"
            os.makedirs(folder)
            for n in part:
                os.link(os.path.join(self.maps, n), os.path.join(folder, n))
            halves.append(folder)
        return halves

    def fresh(self, label):
        folder = os.path.join(self.work, self.name, label) + "/"
        os.makedirs(folder)
        return folder

    def commands(self, contender, label):
        """The commands that run at once for `contender`, and their env."""
        if contender.endswith("-halves"):
            program = [self.shp2s16, "-q", "-j", "1"] if contender == "jobs1-halves" \
                else [self.tools, "baseline"]
            return [program + [half, self.fresh(f"{label}/half{i}")]
                    for i, half in enumerate(self.halves)], None
        if contender.startswith("jobs"):
            jobs = contender[4]
            env = without_syncs() if contender.endswith("nosync") else None
            return [[self.shp2s16, "-q", "-j", jobs, self.maps, self.fresh(label)]], env
        if contender.startswith("peer"):
            sync = ["--sync"] if contender == "peer-synced" else []
            return [[self.tools, "baseline", self.maps, self.fresh(label)] + sync], None
        way = contender.split("-", 1)[1]
        return [[self.tools, "floor", way, self.reference, self.fresh(label)]], None

    def run_round(self, settler, cache, round_):
        order = self.contenders if round_ % 2 == 0 else self.contenders[::-1]
        # The floors copy the sizes of jobs1's targets, so it runs first.
        order = ["jobs1"] + [c for c in order if c != "jobs1"]
        for contender in order:
            label = f"{cache}-{contender}-{round_}"
            commands, env = self.commands(contender, label)
            elapsed = settler.timed_together(commands, env)
            self.times.setdefault((cache, contender), []).append(elapsed)
            if contender == "jobs1" and self.reference is None:
                self.reference = os.path.join(self.work, self.name, label)
                self.check_outputs()
        # Every round writes over a gigabyte: what the round wrote goes, in the
        # same state for every contender of the next round.
        for entry in os.listdir(os.path.join(self.work, self.name)):
            path = os.path.join(self.work, self.name, entry)
            if entry.startswith(f"{cache}-") and entry.endswith(f"-{round_}") and \
                    path != self.reference:
                shutil.rmtree(path)

    def check_outputs(self):
        names = sorted(os.listdir(self.reference))
        if len(names) != self.count:
            sys.exit(f"{self.name}: {len(names)} targets for {self.count} maps")
        peer = os.path.join(self.work, self.name, "check")
        os.makedirs(peer)
        run([self.tools, "baseline", self.maps, peer + "/"])
        _, mismatch, errors = filecmp.cmpfiles(self.reference, peer, names, shallow=False)
        if mismatch or errors:
            sys.exit(f"outputs differ from the peer: {mismatch + errors}")

    def report(self, cache, rounds):
        mib = sum(os.path.getsize(os.path.join(self.reference, n))
                  for n in os.listdir(self.reference)) / 2**20
        print(f"{self.count} maps of {self.width} x {self.height}, {mib:.0f} MiB of S16, "
              f"page cache {cache}, median of {rounds} rounds:")
        for contender in self.contenders:
            t = self.times[(cache, contender)]
            print(f"  {contender:<16} {statistics.median(t):7.3f} s   (fastest {min(t):.3f} s, "
                  f"slowest {max(t):.3f} s)")

    def ratio(self, cache, numerator, denominator):
        return paired_median(f"{numerator} / {denominator}", self.times[(cache, numerator)],
                             self.times[(cache, denominator)])

    def ratios(self, cache, numerator, denominator):
        return [n / d for n, d in zip(self.times[(cache, numerator)],
                                      self.times[(cache, denominator)])]


def judge_large(batch, cache):
    r = batch.ratio
    r(cache, "peer", "jobs1")
    for floor in FLOORS[1:]:
        r(cache, f"floor-{floor}", "floor-none")
    checks = [
        ("durable / syncs removed, --jobs 1", r(cache, "jobs1", "jobs1-nosync"), "<=", 1.5),
        ("durable / syncs removed, --jobs 2", r(cache, "jobs2", "jobs2-nosync"), "<=", 1.5),
        ("--jobs 1 against the peer synced", r(cache, "peer-synced", "jobs1"), ">=", 4.0),
    ]
    # --jobs 2 against --jobs 1, as a share of how the same work scales on
    # two processes: durable runs are bounded by the disk as much as by the
    # cores, which the peer's scaling, all processor, does not show.
    jobs = batch.ratios(cache, "jobs1", "jobs2")
    machine = batch.ratios(cache, "jobs1", "jobs1-halves")
    peer = batch.ratios(cache, "peer", "peer-halves")
    print("  two-process scaling of the peer by round: " + " ".join(f"{m:.2f}" for m in peer))
    print("  two-process scaling of jobs1 by round:    " + " ".join(f"{m:.2f}" for m in machine))
    paired_median("(jobs1 / jobs2) / the peer's scaling", jobs, peer)
    share = paired_median("(jobs1 / jobs2) / machine scaling", jobs, machine)
    checks.append(("--jobs 2 / --jobs 1 against the machine", share, ">=", 0.9))
    return checks


def judge_small(batch, cache):
    durability = batch.ratios(cache, "jobs1", "jobs1-nosync")
    best = [min(d, s) / n for d, s, n in zip(batch.times[(cache, "floor-deferred")],
                                            batch.times[(cache, "floor-syncfs")],
                                            batch.times[(cache, "floor-none")])]
    print("  durable / syncs removed by round: " + " ".join(f"{d:.2f}" for d in durability))
    print("  best floor / floor-none by round: " + " ".join(f"{b:.2f}" for b in best))
    for floor in FLOORS[1:]:
        batch.ratio(cache, f"floor-{floor}", "floor-none")
    batch.ratio(cache, "peer-synced", "jobs1")
    excess = paired_median("durability cost / best floor's cost", durability, best)
    return [("small: durability over the best floor", excess, "<=", 1.15)]


def check_memory(tools, shp2s16, work, width, height):
    small = os.path.join(work, "memory-small") + "/"
    large = os.path.join(work, "memory-large") + "/"
    run([tools, "make-maps", small, "1", str(width), str(height)])
    run([tools, "make-maps", large, "1", str(width * 4), str(height * 4)])
    rss_small = peak_rss_kib([shp2s16, "-q", small + "MAP0000.SHP", small + "out.s16"])
    rss_large = peak_rss_kib([shp2s16, "-q", large + "MAP0000.SHP", large + "out.s16"])
    growth_mib = (rss_large - rss_small) / 1024
    print(f"  peak memory: {rss_small / 1024:.1f} MiB for one map, {rss_large / 1024:.1f} MiB "
          f"for one 16 times larger ({os.path.getsize(large + 'MAP0000.SHP') / 2**20:.1f} MiB)")
    return [("peak memory growth, MiB", growth_mib, "<=", 2.0)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", help="build folder holding cli/ and bench/")
    parser.add_argument("--maps", type=int, default=300)
    parser.add_argument("--width", type=int, default=800)
    parser.add_argument("--height", type=int, default=600)
    parser.add_argument("--small-maps", type=int, default=2000)
    parser.add_argument("--small-side", type=int, default=256)
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--quiet-wait", type=float, default=30.0,
                        help="longest wait for idle CPUs before each run, in s")
    parser.add_argument("--keep", action="store_true", help="keep the work folder")
    parser.add_argument("--drop-caches", action="store_true",
                        help="also time each run with the page cache emptied (needs root)")
    args = parser.parse_args()
    without_syncs()  # stops here, before any work, when eatmydata is missing

    shp2s16 = os.path.join(args.build, "cli", "shp2s16")
    tools = os.path.join(args.build, "bench", "batch-tools")
    work = os.path.join(args.build, "bench", "batch-work")
    shutil.rmtree(work, ignore_errors=True)
    large = Batch("large", work, tools, shp2s16, args.maps, args.width, args.height, True)
    small = Batch("small", work, tools, shp2s16, args.small_maps, args.small_side,
                  args.small_side, False)

    warm_up = [["cat"] + [os.path.join(b.maps, n) for b in (large, small)
                          for n in sorted(os.listdir(b.maps))],
               [shp2s16, "--version"], [tools]]
    settlers = {"warm": Settler(work, False, warm_up, args.quiet_wait)}
    if args.drop_caches:
        settlers["dropped"] = Settler(work, True, warm_up, args.quiet_wait)
    for round_ in range(args.rounds):
        for cache, settler in settlers.items():
            for batch in (large, small):
                batch.run_round(settler, cache, round_)

    checks = []
    for cache in settlers:
        large.report(cache, args.rounds)
        found = judge_large(large, cache)
        small.report(cache, args.rounds)
        found += judge_small(small, cache)
        if cache == ("dropped" if args.drop_caches else "warm"):
            checks = found
    checks += check_memory(tools, shp2s16, work, args.width, args.height)
    missed = report_targets(checks, 40)
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
