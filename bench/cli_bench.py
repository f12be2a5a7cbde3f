#!/usr/bin/env python3
"""Times quintrel-cli against `git diff --no-index --numstat` and against reading the same
bytes with `cat`, on the folder pairs of make_pairs.py, and prints ratios and peak memory.

Each command runs once to warm the page cache, then --runs times; the best wall time
counts. Peak memory is the maximum resident set size that /usr/bin/time -v reports.
Exits 1 when quintrel-cli misses a goal: faster than git on every pair, and at most twice
the time of cat.
"""

import argparse
import os
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_CLI = os.path.join(HERE, "..", "build", "src", "cli", "quintrel-cli")


def commands(cli, old, new, jobs):
    cli_command = [cli, old, new] + (["--jobs", str(jobs)] if jobs else [])
    return {
        "quintrel-cli": cli_command,
        "git diff": ["git", "diff", "--no-index", "--numstat", old, new],
        "cat": ["sh", "-c", 'cat "$0"/* "$1"/* > /dev/null', old, new],
    }


def run_once(command):
    """Wall seconds and peak resident kilobytes of one run."""
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-v"] + command, stdout=subprocess.DEVNULL,
                          stderr=subprocess.PIPE, text=True)
    seconds = time.perf_counter() - start
    # git diff exits 1 when the folders differ; anything above that is a failure.
    if done.returncode > 1:
        sys.exit(f"failed ({done.returncode}): {' '.join(command)}\n{done.stderr}")
    match = re.search(r"Maximum resident set size \(kbytes\): (\d+)", done.stderr)
    return seconds, int(match.group(1)) if match else 0


def measure(command, runs):
    run_once(command)
    results = [run_once(command) for _ in range(runs)]
    return min(s for s, _ in results), max(k for _, k in results)


def folder_bytes(folder):
    return sum(e.stat().st_size for e in os.scandir(folder) if e.is_file())


def bench_pair(root, name, cli, runs, jobs):
    old, new = os.path.join(root, name, "old"), os.path.join(root, name, "new")
    size = (folder_bytes(old) + folder_bytes(new)) / 1e6
    files = len(os.listdir(old)) + len(os.listdir(new))
    print(f"\n{name}: {files} files, {size:.1f} MB in both folders")
    timings = {tool: measure(cmd, runs) for tool, cmd in commands(cli, old, new, jobs).items()}
    for tool, (seconds, kilobytes) in timings.items():
        print(f"  {tool:<13} {seconds * 1000:8.1f} ms  peak {kilobytes / 1024:7.1f} MB")
    ours = timings["quintrel-cli"][0]
    vs_git = ours / timings["git diff"][0]
    vs_cat = ours / timings["cat"][0]
    print(f"  quintrel-cli / git diff = {vs_git:.2f}   quintrel-cli / cat = {vs_cat:.2f}")
    return vs_git < 1.0 and vs_cat <= 2.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", default=DEFAULT_CLI, help="quintrel-cli to time")
    parser.add_argument("--root", default="/tmp/quintrel-bench", help="where the pairs live")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--jobs", type=int, default=0, help="--jobs for quintrel-cli")
    args = parser.parse_args()
    if not os.path.isdir(os.path.join(args.root, "many-small")):
        subprocess.run([sys.executable, os.path.join(HERE, "make_pairs.py"), args.root],
                       check=True)
    print(f"{os.cpu_count()} cores; best of {args.runs} warm runs")
    met = [bench_pair(args.root, name, args.cli, args.runs, args.jobs)
           for name in ("many-small", "few-large")]
    print("\ngoals met" if all(met) else "\ngoals missed")
    return 0 if all(met) else 1


if __name__ == "__main__":
    sys.exit(main())
