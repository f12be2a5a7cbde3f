#!/usr/bin/env python3
"""Times `quintrel-cli -r OLD NEW` against `git diff --no-index --numstat OLD NEW` on two
whole source trees (two unpacked Linux releases, say), the two commands in turn, and checks
the number of rows against `find`.

After one warm-up run of each, the commands alternate --rounds times; the table shows the
best and the median wall time of each and the peak resident memory that /usr/bin/time -v
reports. Exits 1 when a goal is missed: at most a third of git's best time, and a peak
under 256 MB.
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_CLI = os.path.join(HERE, "..", "build-release", "src", "cli", "quintrel-cli")
EXTENSIONS = (".c", ".h", ".cpp")


def run_once(command, stdout=subprocess.DEVNULL):
    """Wall seconds, peak resident kilobytes and standard output of one run."""
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-v"] + command, stdout=stdout,
                          stderr=subprocess.PIPE)
    seconds = time.perf_counter() - start
    stderr = done.stderr.decode(errors="replace")
    if done.returncode > 1:  # git diff exits 1 when the trees differ
        sys.exit(f"failed ({done.returncode}): {' '.join(command)}\n{stderr}")
    match = re.search(r"Maximum resident set size \(kbytes\): (\d+)", stderr)
    return seconds, int(match.group(1)) if match else 0, done.stdout


def expected_rows(old, new):
    """Paths that tree mode measures: entries with an accepted extension that are not
    folders (nor links to folders), found without entering links; the union of both."""
    paths = set()
    for top in (old, new):
        for folder, subfolders, files in os.walk(top):
            subfolders[:] = [d for d in subfolders if d not in (".git", ".hg", ".svn")]
            for name in files:
                full = os.path.join(folder, name)
                if name.endswith(EXTENSIONS) and not os.path.isdir(full):
                    paths.add(os.path.relpath(full, top))
    return len(paths)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--cli", default=DEFAULT_CLI)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    commands = {
        "quintrel-cli -r": [args.cli, "-r", args.old, args.new],
        "git diff": ["git", "diff", "--no-index", "--numstat", args.old, args.new],
    }
    table = run_once(commands["quintrel-cli -r"], stdout=subprocess.PIPE)[2]
    rows = len(table.splitlines()) - 2  # heading and total line
    wanted = expected_rows(args.old, args.new)
    print(f"rows: {rows}, expected from the file system: {wanted}")
    for command in commands.values():
        run_once(command)  # warm the page cache
    results = {tool: [] for tool in commands}
    for _ in range(args.rounds):
        for tool, command in commands.items():
            results[tool].append(run_once(command)[:2])
    best = {}
    for tool, runs in results.items():
        times = [s for s, _ in runs]
        best[tool] = min(times)
        peak = max(k for _, k in runs) / 1024
        print(f"{tool:16} best {min(times):6.2f} s  median {statistics.median(times):6.2f} s"
              f"  peak {peak:6.1f} MB")
    ratio = best["quintrel-cli -r"] / best["git diff"]
    ours_peak = max(k for _, k in results["quintrel-cli -r"]) / 1024
    print(f"time ratio (best): {ratio:.2f}")
    missed = ratio > 1 / 3 or ours_peak >= 256 or rows != wanted
    sys.exit(1 if missed else 0)


if __name__ == "__main__":
    main()
