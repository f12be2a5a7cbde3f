#!/usr/bin/env python3
"""Checks on real folders that a reformat measures as no change with -w.

Copies FOLDER (its .c, .h and .cpp files, or with -r the whole tree) twice, reformats each
copy with clang-format in a style of its own, and measures the original against each copy,
and one copy against the other, with `quintrel-cli -w`. Every row must show 0 added and 0
deleted, and the LOC of the original. Rows that do not are printed; a formatter that changes
the code itself (include sorting that drops a repeated #include) shows up there and must be
judged by hand.

Usage: bench/reformat_check.py --cli build/src/cli/quintrel-cli [-r] FOLDER [STYLE ...]
(default styles: LLVM, GNU, Mozilla, WebKit). Exits 1 when a row is not 0/0.

With --against NEW, FOLDER is an old version and NEW a new one: the pair measured with -w
must give the same rows when the old version is reformatted in the first style and the new
one in the second.
"""
import argparse
import json
import pathlib
import shutil
import subprocess
import sys
import tempfile

SOURCES = (".c", ".h", ".cpp")


def copy_sources(folder, target, recursive):
    files = folder.rglob("*") if recursive else folder.glob("*")
    copied = []
    for path in files:
        if path.is_file() and not path.is_symlink() and path.suffix in SOURCES:
            out = target / path.relative_to(folder)
            out.parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(path, out)
            copied.append(out)
    return copied


def reformat(files, style):
    for start in range(0, len(files), 200):
        subprocess.run(["clang-format", "-i", f"--style={style}"] +
                       [str(f) for f in files[start:start + 200]], check=False,
                       stderr=subprocess.DEVNULL)


def measure(cli, old, new, recursive):
    args = [cli, "-w", "--quiet", "--json", "-"] + (["-r"] if recursive else []) + [old, new]
    return json.loads(subprocess.run(args, check=True, capture_output=True).stdout)


def report(label, result):
    changed = [f for f in result["files"] if f["added"] or f["deleted"]]
    total = result["total"]
    print(f"{label}: {total['files']} files, LOC {total['loc']}, "
          f"added {total['added']}, deleted {total['deleted']}")
    for row in changed[:20]:
        print(f"    {row['name']}: +{row['added']} -{row['deleted']}")
    return not changed


def rows(result):
    return [(f["name"], f["added"], f["deleted"], f["loc"]) for f in result["files"]]


def check_pair(args, old, new):
    with tempfile.TemporaryDirectory() as temp:
        copies = []
        for side, folder, style in (("old", old, args.styles[0]), ("new", new, args.styles[-1])):
            copy = pathlib.Path(temp) / side
            files = copy_sources(folder, copy, args.r)
            copies.append(copy)
            reformat(files, style)
        plain = measure(args.cli, old, new, args.r)
        formatted = measure(args.cli, copies[0], copies[1], args.r)
    same = rows(plain) == rows(formatted)
    total = plain["total"]
    print(f"{old} -> {new}: {total['files']} files, added {total['added']}, "
          f"deleted {total['deleted']}; reformatted {args.styles[0]} -> {args.styles[-1]}: "
          f"added {formatted['total']['added']}, deleted {formatted['total']['deleted']}; "
          f"{'same rows' if same else 'ROWS DIFFER'}")
    if not same:
        for a, b in zip(rows(plain), rows(formatted)):
            if a != b:
                print(f"    {a} vs {b}")
    return same


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("-r", action="store_true")
    parser.add_argument("--against")
    parser.add_argument("folder")
    parser.add_argument("styles", nargs="*", default=["LLVM", "GNU", "Mozilla", "WebKit"])
    args = parser.parse_args()
    folder = pathlib.Path(args.folder)
    if args.against:
        sys.exit(0 if check_pair(args, folder, pathlib.Path(args.against)) else 1)
    ok = True
    with tempfile.TemporaryDirectory() as temp:
        original = pathlib.Path(temp) / "original"
        copy_sources(folder, original, args.r)
        copies = []
        for style in args.styles:
            copy = pathlib.Path(temp) / style
            reformat(copy_sources(folder, copy, args.r), style)
            copies.append((style, copy))
            ok &= report(f"original -> {style}", measure(args.cli, original, copy, args.r))
        for (a, first), (b, second) in zip(copies, copies[1:]):
            ok &= report(f"{a} -> {b}", measure(args.cli, first, second, args.r))
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
