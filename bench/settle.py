"""The benchmarks' shared way to run a command, to put the machine in the
same state before every timed run, and to judge the figures."""
import os
import statistics
import subprocess
import sys
import time


EATMYDATA = "/usr/lib/x86_64-linux-gnu/libeatmydata.so"


def run(command):
    subprocess.run(command, check=True)


def without_syncs():
    """The environment that runs a program with its syncs removed, as the
    reference for what durability costs."""
    if not os.path.exists(EATMYDATA):
        sys.exit(f"{EATMYDATA} is missing: install the eatmydata package")
    return dict(os.environ, LD_PRELOAD=EATMYDATA)


def paired_median(label, numerators, denominators):
    """Median over rounds of each round's ratio: the runs of one round ran
    seconds apart on the same machine state, and the median then drops the
    rounds that a slow spell of the host caught."""
    ratios = [n / d for n, d in zip(numerators, denominators)]
    print(f"  {label} by round: " + " ".join(f"{r:.2f}" for r in ratios))
    return statistics.median(ratios)


def report_targets(checks, width):
    """Prints each (label, value, relation, target) as met or missed; returns
    how many were missed."""
    print("Targets:")
    missed = 0
    for label, value, relation, target in checks:
        ok = value >= target if relation == ">=" else value <= target
        missed += 0 if ok else 1
        print(f"  {label:<{width}} {value:6.2f}  {relation} {target:<4}  {'PASS' if ok else 'MISS'}")
    return missed


class Settler:
    """Puts the machine in the same state before every timed run."""

    BALLAST_MIB = 512

    def __init__(self, work, drop_caches, warm_up, quiet_limit_s=30.0):
        self.drop_caches = drop_caches
        self.quiet_limit_s = quiet_limit_s
        self.warm_up = warm_up
        self.ballast = os.path.join(work, "ballast")
        if drop_caches:
            with open(self.ballast, "wb") as out:
                block = bytes(2**20)
                for _ in range(self.BALLAST_MIB):
                    out.write(block)

    def settle(self):
        # Earlier runs' dirty pages are written back now, not during this one:
        # past the kernel's dirty limit every writer is throttled.
        os.sync()
        if not self.drop_caches:
            return
        # On virtual machines that hand free memory back to the host, the
        # first touch of such a page costs a fault in the host, several times
        # what writing the page costs, and which run draws those pages is
        # luck. So the ballast is read in (touching pages outside the timing),
        # the page cache is emptied, and every run finds far more backed free
        # pages than it writes. The maps and programs are read back in last.
        subprocess.run(["cat", self.ballast], stdout=subprocess.DEVNULL, check=True)
        with open("/proc/sys/vm/drop_caches", "w") as drop:
            drop.write("1\n")
        for command in self.warm_up:
            subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @staticmethod
    def wait_for_quiet(limit_s=30.0, window_s=0.25, busy_share=0.05):
        """Waits until the CPUs are idle, such as after deleting a large
        folder on a file system that discards freed blocks in the background:
        that work would take a core from a run that needs both."""
        def busy_and_total():
            with open("/proc/stat") as stat:
                fields = [int(v) for v in stat.readline().split()[1:]]
            idle = fields[3] + fields[4]
            return sum(fields) - idle, sum(fields)

        deadline = time.monotonic() + limit_s
        while time.monotonic() < deadline:
            busy0, total0 = busy_and_total()
            time.sleep(window_s)
            busy1, total1 = busy_and_total()
            if total1 > total0 and (busy1 - busy0) / (total1 - total0) < busy_share:
                return
        print("warning: the machine did not become idle", file=sys.stderr)

    def timed(self, command, env=None):
        return self.timed_together([command], env)

    def timed_together(self, commands, env=None):
        """Wall time of the commands run at once, each to its end."""
        self.settle()
        self.wait_for_quiet(self.quiet_limit_s)
        start = time.perf_counter()
        processes = [subprocess.Popen(c, env=env) for c in commands]
        for command, process in zip(commands, processes):
            if process.wait() != 0:
                sys.exit(f"failed: {' '.join(command)}")
        return time.perf_counter() - start
