#!/usr/bin/env python3
"""Times quintrel-cli against the read floor and `git diff --no-index --numstat`, on the
generated pairs and on folders and whole trees of two unpacked Linux releases and of two
unpacked GCC releases.

    real_bench.py --cli build-bench/src/cli/quintrel-cli \
                  --floor build-bench/bench/quintrel_read_floor [--rounds 10] [--only NAME]

The floor (read_floor.cpp) lists the same files the tool measures and only reads them, on
every core. Per pair, each program runs once to fill the page cache, then the three run in
turn (tool, floor, git, tool, floor, git ...) for --rounds rounds, so a slow moment of a
shared machine hits all three alike. Prints the median wall time of each, the medians of the
per-round ratios tool/floor and tool/git, and the tool's peak resident memory in a run of
its own (through /usr/bin/time, which the timed runs do without), also with 16 workers. First checks
that the floor reads as many files as the tool's total line says it measured. Exits 1 when
a pair misses a goal: at most 2.0 times the floor, at most 0.33 times git, and a peak of at
most twice the largest pair of versions of one file plus 64 MB with any number of workers.
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FLOOR_GOAL = 2.0
GIT_GOAL = 0.33
MANY_JOBS = 16

# (shown name, folder below each release's top, tree mode)
LINUX_PAIRS = [
    ("kernel/", "kernel", False),
    ("include/linux/", "include/linux", False),
    ("sound/soc/codecs/", "sound/soc/codecs", False),
    ("drivers/gpu/drm/amd/amdgpu/", "drivers/gpu/drm/amd/amdgpu", False),
    ("selftests/bpf/progs/", "tools/testing/selftests/bpf/progs", False),
    ("asic_reg/nbio/", "drivers/gpu/drm/amd/include/asic_reg/nbio", False),
    ("tools/testing/selftests -r", "tools/testing/selftests", True),
    ("whole tree -r", "", True),
]

# The same for GCC: its C test suite (thousands of small files), a target folder, the C++
# library's headers and the whole tree. GCC 12 renamed most .c files of gcc/ to .cc, so
# there many old files have no new partner.
GCC_PAIRS = [
    ("gcc: gcc/testsuite/gcc.dg/", "gcc/testsuite/gcc.dg", False),
    ("gcc: gcc/config/i386/", "gcc/config/i386", False),
    ("gcc: libstdc++-v3/include/bits/", "libstdc++-v3/include/bits", False),
    ("gcc: whole tree -r", "", True),
]


def run_once(argv):
    """Wall seconds of one run, its output discarded."""
    start = time.perf_counter()
    child = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, _ = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode > 1 or child.returncode < 0:  # git diff exits 1 when folders differ
        sys.exit(f"failed ({child.returncode}): {' '.join(argv)}")
    return seconds


def peak_megabytes(argv):
    """Peak resident memory of one run in MB, as /usr/bin/time reports it (the child's own
    account would include this script's memory, which a forked child shares until exec)."""
    result = subprocess.run(["/usr/bin/time", "-f", "%M", *argv], stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True, check=True)
    return int(result.stderr.split()[-1]) * 1024 / 1e6


def programs(args, old, new, recursive):
    tree = ["-r"] if recursive else []
    return {
        "tool": [args.cli, *tree, old, new],
        "floor": [args.floor, *tree, old, new],
        "git": ["git", "diff", "--no-index", "--numstat", old, new],
    }


def floor_count(floor_argv):
    """The floor's own summary: files and bytes it read."""
    text = subprocess.run(floor_argv, stdout=subprocess.PIPE, text=True, check=True).stdout
    files, _, size = text.split()[:3]
    return int(files), int(size)


def tool_file_count(tool_argv):
    """Files the tool opens, from its total line "N (+A/-D)": N counts the rows less the
    old-only ones, A the new-only rows, D the old-only rows; the rest are read twice."""
    table = subprocess.run(tool_argv, stdout=subprocess.PIPE, check=True).stdout
    match = re.search(rb"(\d+) \(\+(\d+)/-(\d+)\)", table.splitlines()[-1])
    rows, added, deleted = (int(group) for group in match.groups())
    return 2 * rows - added + deleted


EXTENSIONS = (".c", ".h", ".cpp")


def file_sizes(top, recursive):
    """Sizes of the measured files below `top` by relative path (names as stored)."""
    sizes = {}
    for folder, subfolders, names in os.walk(top):
        if not recursive:
            subfolders.clear()
        subfolders[:] = [d for d in subfolders if d not in (".git", ".hg", ".svn")]
        for name in names:
            path = os.path.join(folder, name)
            if name.lower().endswith(EXTENSIONS) and os.path.isfile(path):
                sizes[os.path.relpath(path, top)] = os.path.getsize(path)
    return sizes


def largest_pair(old, new, recursive):
    """Bytes of the largest pair of versions of one file (either alone if the other is
    missing): the memory goal is twice that plus 64 MB."""
    old_sizes, new_sizes = file_sizes(old, recursive), file_sizes(new, recursive)
    return max((old_sizes.get(p, 0) + new_sizes.get(p, 0) for p in {*old_sizes, *new_sizes}),
               default=0)


def bench_pair(name, old, new, recursive, args):
    commands = programs(args, old, new, recursive)
    files, size = floor_count(commands["floor"])
    if tool_file_count(commands["tool"]) != files:
        sys.exit(f"{name}: the floor read {files} files, the tool measures others")
    for argv in commands.values():
        run_once(argv)  # fill the page cache
    times = {tool: [] for tool in commands}
    for _ in range(args.rounds):
        for tool, argv in commands.items():
            times[tool].append(run_once(argv))
    ratio = {other: statistics.median(t / o for t, o in zip(times["tool"], times[other]))
             for other in ("floor", "git")}
    medians = {tool: statistics.median(runs) * 1000 for tool, runs in times.items()}
    # Memory: many workers must not multiply it.
    peak = peak_megabytes(commands["tool"])
    many_peak = peak_megabytes([commands["tool"][0], "--jobs", str(MANY_JOBS),
                                *commands["tool"][1:]])
    bound = 2 * largest_pair(old, new, recursive) / 1e6 + 64
    met = (ratio["floor"] <= FLOOR_GOAL and ratio["git"] <= GIT_GOAL
           and max(peak, many_peak) <= bound)
    print(f"| {name} | {files:,} | {size / 1e6:.1f} | {medians['tool']:.1f} | "
          f"{medians['floor']:.1f} | {medians['git']:.1f} | {ratio['floor']:.2f} | "
          f"{ratio['git']:.2f} | {peak:.1f} | {many_peak:.1f} | "
          f"{bound:.0f} | {'met' if met else 'missed'} |", flush=True)
    return met


def all_pairs(args):
    synthetic = args.synthetic
    if not os.path.isdir(os.path.join(synthetic, "many-small")):
        subprocess.run([sys.executable, os.path.join(HERE, "make_pairs.py"), synthetic],
                       check=True)
    pairs = [(f"generated {kind}", os.path.join(synthetic, kind, "old"),
              os.path.join(synthetic, kind, "new"), False)
             for kind in ("many-small", "few-large")]
    for tops, table in (((args.old, args.new), LINUX_PAIRS),
                        ((args.gcc_old, args.gcc_new), GCC_PAIRS)):
        if not all(os.path.isdir(top) for top in tops):
            print(f"skipped, not unpacked: {' '.join(tops)}", file=sys.stderr)
            continue
        for name, below, recursive in table:
            pairs.append((name, *(os.path.join(top, below).rstrip("/") for top in tops),
                          recursive))
    return [pair for pair in pairs if not args.only or any(o in pair[0] for o in args.only)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True, help="quintrel-cli to time")
    parser.add_argument("--floor", required=True, help="quintrel_read_floor of the same build")
    parser.add_argument("--old", default="/work/data/linux-OLD", help="older release's top")
    parser.add_argument("--new", default="/work/data/linux-NEW", help="newer release's top")
    parser.add_argument("--gcc-old", default="/work/data/gcc/gcc-11.3.0",
                        help="older GCC release's top")
    parser.add_argument("--gcc-new", default="/work/data/gcc/gcc-12.2.0",
                        help="newer GCC release's top")
    parser.add_argument("--synthetic", default="/tmp/quintrel-bench",
                        help="where make_pairs.py's pairs live (made when missing)")
    parser.add_argument("--rounds", type=int, default=10)
    parser.add_argument("--tree-rounds", type=int, default=3, help="rounds for -r pairs")
    parser.add_argument("--only", action="append", help="pairs whose name holds this text")
    args = parser.parse_args()
    print(f"{os.cpu_count()} cores, load average {os.getloadavg()[0]:.2f}; "
          f"medians of {args.rounds} rounds ({args.tree_rounds} for trees), times in ms;\n"
          f"files and MB are what the floor read, both sides together\n")
    print("| Pair | Files | MB | quintrel-cli | floor | git diff | tool/floor | tool/git "
          f"| peak MB | peak MB, {MANY_JOBS} jobs | MB allowed | goal |")
    print("| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | --- |")
    rounds = args.rounds
    met = []
    for name, old, new, recursive in all_pairs(args):
        args.rounds = args.tree_rounds if recursive else rounds
        met.append(bench_pair(name, old, new, recursive, args))
    print(f"\nload average at the end {os.getloadavg()[0]:.2f}; "
          f"goals ({FLOOR_GOAL}x floor, {GIT_GOAL}x git) {'met' if all(met) else 'missed'}")
    return 0 if all(met) else 1


if __name__ == "__main__":
    sys.exit(main())
