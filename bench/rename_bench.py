#!/usr/bin/env python3
"""Times `quintrel-cli --renames` against the run that measures the same pairs anyway.

For each case the tool first runs once with `--renames --json -`. From the rows that carry
`old_name` and `new_name` the script builds the new tree with every renamed file given back
its old name (hard links, so sizes and modification times stay as they are; a file that
cannot be linked is copied with its times), in /tmp/quintrel-rename-bench unless --work says
otherwise. It checks that the run on that copy without `--renames` gives the same rows and
totals, names aside (a rename's row against the row of its old name), then times both runs
in turn (a warm-up each, then --rounds rounds, the renames run first in each) and prints
the medians and the median of the per-round ratios. The search (reading the files of one
version only, indexing, choosing) may add at most 25 % to the run: exits 1 when a case's
median ratio exceeds 1.25, or when the rows differ.

Cases: GCC 11.3.0 against 12.2.0 (--gcc-old, --gcc-new): the folder gcc/ with
`--ext c,cc,h`, and the whole trees with `-r --ext c,cc,h,cpp`; two Linux releases
(--linux-old, --linux-new) with `-r`, when both are there; the bundled examples with `-r`
(no rename there: only its rows are checked).
"""

import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..")
DEFAULT_CLI = os.path.join(ROOT, "build-release", "src", "cli", "quintrel-cli")
GOAL = 1.25


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--cli", default=DEFAULT_CLI)
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--gcc-old", default="/work/data/gcc/gcc-11.3.0")
    parser.add_argument("--gcc-new", default="/work/data/gcc/gcc-12.2.0")
    parser.add_argument("--linux-old", default="/work/data/linux-OLD")
    parser.add_argument("--linux-new", default="/work/data/linux-NEW")
    parser.add_argument("--work", default="/tmp/quintrel-rename-bench")
    parser.add_argument("--only", help="run only the cases whose name holds this text")
    return parser.parse_args()


def cases(args):
    found = [("examples -r", os.path.join(ROOT, "examples", "old"),
              os.path.join(ROOT, "examples", "new"), ["-r"])]
    if os.path.isdir(args.gcc_old) and os.path.isdir(args.gcc_new):
        found.append(("GCC gcc/", os.path.join(args.gcc_old, "gcc"),
                      os.path.join(args.gcc_new, "gcc"), ["--ext", "c,cc,h"]))
        found.append(("GCC whole tree -r", args.gcc_old, args.gcc_new,
                      ["-r", "--ext", "c,cc,h,cpp"]))
    if os.path.isdir(args.linux_old) and os.path.isdir(args.linux_new):
        found.append(("Linux whole tree -r", args.linux_old, args.linux_new, ["-r"]))
    if args.only:
        found = [case for case in found if args.only in case[0]]
    return found


def report(cli, options, old, new):
    done = subprocess.run([cli, "-q", *options, "--json", "-", old, new],
                          stdout=subprocess.PIPE, check=True)
    return json.loads(done.stdout)


def mirror(source, target, moves):
    """Hard-links the tree `source` into `target`, each path of `moves` (relative to the
    top) linked at its mapped path instead. Links to files stay links."""
    if os.path.exists(target):
        shutil.rmtree(target)
    for folder, subfolders, files in os.walk(source):
        relative = os.path.relpath(folder, source)
        os.makedirs(os.path.join(target, relative), exist_ok=True)
        for name in subfolders + files:
            path = os.path.join(folder, name)
            if name in subfolders and not os.path.islink(path):
                continue
            mapped = moves.get(os.path.normpath(os.path.join(relative, name)),
                               os.path.join(relative, name))
            place = os.path.join(target, mapped)
            os.makedirs(os.path.dirname(place), exist_ok=True)
            if os.path.islink(path):
                os.symlink(os.readlink(path), place)
            else:
                try:
                    os.link(path, place)
                except OSError:
                    shutil.copy2(path, place)


def keyed_rows(rows, by_old_name):
    keyed = {}
    for row in rows:
        name = row["old_name"] if by_old_name and "old_name" in row else row["name"]
        keyed[name] = (row["marker"], row["added"], row["deleted"], row["loc"])
    return keyed


def same_measurements(renamed, copied):
    if renamed["total"] != copied["total"]:
        return False
    return keyed_rows(renamed["files"], True) == keyed_rows(copied["files"], False)


def wall_seconds(argv):
    start = time.perf_counter()
    subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def run_case(args, name, old, new, options):
    renamed = report(args.cli, options + ["--renames"], old, new)
    moves = {os.path.normpath(row["new_name"]): os.path.normpath(row["old_name"])
             for row in renamed["files"] if "old_name" in row}
    copy = os.path.join(args.work, re.sub(r"[^A-Za-z0-9]+", "-", name).strip("-"), "new")
    mirror(new, copy, moves)
    copied = report(args.cli, options, old, copy)
    if not same_measurements(renamed, copied):
        print(f"{name}: the copy's rows or totals differ from the renames run", file=sys.stderr)
        return None
    with_search = [args.cli, "-q", *options, "--renames", old, new]
    without = [args.cli, "-q", *options, old, copy]
    wall_seconds(with_search)
    wall_seconds(without)
    times = ([], [])
    for _ in range(args.rounds):
        times[0].append(wall_seconds(with_search))
        times[1].append(wall_seconds(without))
    ratio = statistics.median(a / b for a, b in zip(*times))
    if not moves:
        print(f"{name:20} no renames: rows checked, not timed against the goal", flush=True)
        return 1.0
    print(f"{name:20} renames {len(moves):5}  --renames {statistics.median(times[0]):7.3f} s"
          f"  old names {statistics.median(times[1]):7.3f} s  ratio {ratio:5.2f}"
          f"  {'met' if ratio <= GOAL else 'MISSED'}", flush=True)
    return ratio


def main():
    args = parse_args()
    status = 0
    for name, old, new, options in cases(args):
        ratio = run_case(args, name, old, new, options)
        if ratio is None or ratio > GOAL:
            status = 1
    sys.exit(status)


if __name__ == "__main__":
    main()
