#!/usr/bin/env python3
"""Times `quintrel-cli -r --git OLD_REV NEW_REV` on a scratch repository holding two source
trees as two commits against `quintrel-cli -r OLD NEW` on the same trees as folders, and
checks that both print the same table.

The scratch repository (--repo) is made once, when it has no tag `new` yet: the tree OLD is
committed and tagged `old`, then NEW on top of it and tagged `new`, through `git` with the
trees as working folders (nothing is copied). Objects stay loose unless --pack is given,
which repacks them as a clone would hold them (deltas included; takes minutes on a kernel).

After one warm-up run of each, the two commands alternate --rounds times; the table shows
the best and the median wall time and the peak resident memory (/usr/bin/time -v). Exits 1
when the tables differ or when the revisions take more than --max-ratio times the folders'
median time. Symbolic links to source files are measured in folders but are no files in a
revision: their rows are left out of the folders' table before comparing (the Total lines
are then not compared).
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


def git(repo, work_tree, *args):
    subprocess.run(["git", "--git-dir", os.path.join(repo, ".git"), "--work-tree", work_tree,
                    "-c", "user.name=bench", "-c", "user.email=bench@example.org",
                    "-c", "core.autocrlf=false", "-c", "gc.auto=0"] + list(args),
                   check=True, stdout=subprocess.DEVNULL, cwd=work_tree)


def make_repository(repo, old, new, pack):
    marker = subprocess.run(["git", "-C", repo, "rev-parse", "-q", "--verify", "new"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if marker.returncode == 0:
        return
    os.makedirs(repo, exist_ok=True)
    subprocess.run(["git", "init", "-q", repo], check=True)
    for tree, tag in ((old, "old"), (new, "new")):
        started = time.perf_counter()
        git(repo, tree, "add", "-A", "-f", ".")  # ignored files too: every file counts
        git(repo, tree, "commit", "-q", "--no-verify", "-m", tag)
        git(repo, tree, "tag", tag)
        print(f"committed {tree} as {tag} in {time.perf_counter() - started:.0f} s")
    if pack:
        git(repo, new, "repack", "-a", "-d", "-q")


EXTENSIONS = (".c", ".h", ".cpp")


def linked_sources(*trees):
    """Relative paths of the symbolic links named like sources in any of the trees."""
    links = set()
    for tree in trees:
        for folder, folders, files in os.walk(tree):
            for name in folders + files:
                path = os.path.join(folder, name)
                if name.endswith(EXTENSIONS) and os.path.islink(path):
                    links.add(os.path.relpath(path, tree))
    return links


def rows_without(table, links):
    """The table's rows (no heading, no Total line) less those naming a link, blanks
    collapsed (a left-out row may have set the width of the name column)."""
    rows = table.decode(errors="surrogateescape").splitlines()[1:-1]
    return [" ".join(row.split()) for row in rows if row[7:].split(" ")[0] not in links]


def run_once(command):
    """Wall seconds, peak resident kilobytes and standard output of one run."""
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-v"] + command, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE)
    seconds = time.perf_counter() - start
    stderr = done.stderr.decode(errors="replace")
    if done.returncode != 0:
        sys.exit(f"failed ({done.returncode}): {' '.join(command)}\n{stderr}")
    match = re.search(r"Maximum resident set size \(kbytes\): (\d+)", stderr)
    return seconds, int(match.group(1)) if match else 0, done.stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", default=DEFAULT_CLI)
    parser.add_argument("--old", default="/work/data/linux-OLD")
    parser.add_argument("--new", default="/work/data/linux-NEW")
    parser.add_argument("--repo", default="/tmp/quintrel-git-bench")
    parser.add_argument("--pack", action="store_true")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--max-ratio", type=float, default=1.5)
    args = parser.parse_args()

    make_repository(args.repo, args.old, args.new, args.pack)
    commands = {
        "revisions": [args.cli, "-q", "-r", "-C", args.repo, "--git", "old", "new"],
        "folders": [args.cli, "-q", "-r", args.old, args.new],
    }
    outputs = {name: run_once(command)[2] for name, command in commands.items()}
    links = linked_sources(args.old, args.new)
    same = outputs["revisions"] == outputs["folders"] or (
        links and rows_without(outputs["revisions"], set()) ==
        rows_without(outputs["folders"], links))
    times = {name: [] for name in commands}
    peaks = {name: 0 for name in commands}
    for _ in range(args.rounds):
        for name, command in commands.items():
            seconds, peak, _ = run_once(command)
            times[name].append(seconds)
            peaks[name] = max(peaks[name], peak)

    total = outputs["folders"].decode(errors="replace").splitlines()[-1]
    print(f"{total.split()[1]} files; {len(links)} links to sources; tables "
          f"{'identical' if same else 'DIFFER'} (but for the links' rows)")
    print("| Run | best s | median s | peak MB |")
    print("| --- | ---: | ---: | ---: |")
    for name in commands:
        print(f"| {name} | {min(times[name]):.2f} | {statistics.median(times[name]):.2f} "
              f"| {peaks[name] / 1024:.0f} |")
    ratio = statistics.median(times["revisions"]) / statistics.median(times["folders"])
    print(f"revisions/folders: {ratio:.2f} (goal at most {args.max_ratio})")
    if not same:
        old_lines = set(outputs["folders"].splitlines())
        for line in outputs["revisions"].splitlines():
            if line not in old_lines:
                print("only in revisions:", line.decode(errors="replace"))
    return 0 if same and ratio <= args.max_ratio else 1


if __name__ == "__main__":
    sys.exit(main())
