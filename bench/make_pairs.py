#!/usr/bin/env python3
"""Writes the deterministic folder pairs that cli_bench.py times.

  many-small  2,000 files of 40 to 400 lines; in each, 10% of the lines edited or moved
  few-large   3 files of 200,000 lines with scattered edits, inserted and deleted blocks

The same seed always gives the same bytes. Old files get one fixed modification time and new
files another, so no pair is skipped as unchanged by its size and time.
"""

import argparse
import os
import random
import shutil

OLD_TIME = 1_600_000_000
NEW_TIME = 1_700_000_000

TYPES = ["int", "size_t", "const char *", "double", "struct node *", "uint32_t", "bool"]
WORDS = ["count", "index", "buffer", "node", "value", "result", "length", "offset", "flags",
         "entry", "table", "cursor", "limit", "state", "name", "key", "total", "error"]


def identifier(rng):
    return "_".join(rng.choice(WORDS) for _ in range(rng.randint(1, 3)))


def code_line(rng):
    """One line of plausible C: statements, blocks, comments, literals, blank lines."""
    kind = rng.random()
    a, b = identifier(rng), identifier(rng)
    n = rng.randint(0, 99999)
    if kind < 0.30:
        return f"    {rng.choice(TYPES)} {a} = {b} + {n};"
    if kind < 0.45:
        return f"    if ({a} > {n}) {{"
    if kind < 0.55:
        return "    }"
    if kind < 0.65:
        return f"    {a} = {b}({a}, \"{rng.choice(WORDS)}: %d;\", {n});"
    if kind < 0.72:
        return f"    /* {a}: keep {b} below {n}; see {rng.choice(WORDS)} */"
    if kind < 0.78:
        return f"#define {a.upper()}_{n} ({b} * {n})"
    if kind < 0.83:
        return f"    case {n}: return {a}::{b};"
    if kind < 0.90:
        return ""
    return f"    return {a}; // {b} {n}"


def make_file(rng, lines):
    return [code_line(rng) for _ in range(lines)]


def edit_lines(rng, lines, share):
    """Edits or moves `share` of the lines, half each."""
    lines = list(lines)
    changes = max(1, int(len(lines) * share))
    for i in range(changes):
        if i % 2 == 0:
            lines[rng.randrange(len(lines))] = code_line(rng)
        else:
            moved = lines.pop(rng.randrange(len(lines)))
            lines.insert(rng.randrange(len(lines) + 1), moved)
    return lines


def edit_large(rng, lines):
    """Scattered edits plus inserted and deleted blocks."""
    lines = list(lines)
    for _ in range(len(lines) // 200):
        lines[rng.randrange(len(lines))] = code_line(rng)
    for _ in range(25):
        start = rng.randrange(len(lines))
        del lines[start:start + rng.randint(20, 400)]
    for _ in range(25):
        at = rng.randrange(len(lines) + 1)
        lines[at:at] = make_file(rng, rng.randint(20, 400))
    return lines


def write(path, lines, mtime):
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write("\n".join(lines))
        out.write("\n")
    os.utime(path, (mtime, mtime))


def make_pair(root, name, files):
    """`files` yields (file name, old lines, new lines)."""
    pair = os.path.join(root, name)
    shutil.rmtree(pair, ignore_errors=True)
    for side in ("old", "new"):
        os.makedirs(os.path.join(pair, side))
    for file_name, old, new in files:
        write(os.path.join(pair, "old", file_name), old, OLD_TIME)
        write(os.path.join(pair, "new", file_name), new, NEW_TIME)


def many_small(rng):
    for i in range(2000):
        old = make_file(rng, rng.randint(40, 400))
        yield f"unit_{i:04d}.{rng.choice(['c', 'c', 'h', 'cpp'])}", old, edit_lines(rng, old, 0.10)


def few_large(rng):
    for i in range(3):
        old = make_file(rng, 200_000)
        yield f"generated_{i}.c", old, edit_large(rng, old)


PAIRS = {"many-small": many_small, "few-large": few_large}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("root", help="folder to write the pairs into")
    parser.add_argument("--seed", type=int, default=20240607)
    args = parser.parse_args()
    for name, files in PAIRS.items():
        make_pair(args.root, name, files(random.Random(f"{args.seed}-{name}")))
        print(f"wrote {os.path.join(args.root, name)}")


if __name__ == "__main__":
    main()
