#!/usr/bin/env python3
"""Times several builds of quintrel-cli on the same folder pairs, alternating them.

    compare_builds.py --cli A=path/to/cli --cli B=other/cli --pair OLD NEW [--pair ...]

Each round runs every build once on a pair, in the order given (A B C A B C ...), so a
slow minute of a shared machine hits all builds alike. Before timing, every build runs each
pair once with its table captured: the tables must be byte for byte the same, and that run
also fills the page cache. Prints per pair and build the median and shortest wall time, the
10th and 90th percentiles, and the median of the per-round ratios to the first build.
"""

import argparse
import statistics
import subprocess
import sys
import time


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--cli", action="append", required=True, metavar="NAME=PATH")
    parser.add_argument("--pair", action="append", nargs=2, required=True, metavar=("OLD", "NEW"))
    parser.add_argument("--rounds", type=int, default=30)
    parser.add_argument("--jobs", type=int, default=0, help="--jobs for the tool; 0 = its default")
    args = parser.parse_args()
    args.cli = [tuple(item.split("=", 1)) for item in args.cli]
    return args


def command(cli, pair, jobs):
    extra = ["--jobs", str(jobs)] if jobs else []
    return [cli, *extra, pair[0], pair[1]]


def same_tables(clis, pair, jobs):
    tables = {name: subprocess.run(command(path, pair, jobs), stdout=subprocess.PIPE,
                                   check=True).stdout for name, path in clis}
    first = next(iter(tables.values()))
    return all(table == first for table in tables.values())


def wall_ms(argv):
    start = time.perf_counter_ns()
    subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
    return (time.perf_counter_ns() - start) / 1e6


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def time_pair(clis, pair, rounds, jobs):
    times = {name: [] for name, _ in clis}
    for _ in range(rounds):
        for name, path in clis:
            times[name].append(wall_ms(command(path, pair, jobs)))
    return times


def report(pair, times):
    names = list(times)
    base = times[names[0]]
    print(f"{pair[0]} -> {pair[1]}")
    for name in names:
        runs = times[name]
        ratio = statistics.median(t / b for t, b in zip(runs, base))
        print(f"  {name:>12}  median {statistics.median(runs):7.1f} ms  min {min(runs):7.1f}  "
              f"p10 {percentile(runs, 0.1):7.1f}  p90 {percentile(runs, 0.9):7.1f}  "
              f"ratio to {names[0]} {ratio:5.2f}")


def main():
    args = parse_args()
    status = 0
    for pair in args.pair:
        if not same_tables(args.cli, pair, args.jobs):
            print(f"tables differ on {pair[0]} -> {pair[1]}", file=sys.stderr)
            status = 1
        report(pair, time_pair(args.cli, pair, args.rounds, args.jobs))
        sys.stdout.flush()
    return status


if __name__ == "__main__":
    sys.exit(main())
