#!/usr/bin/env python3
"""Finds include cycles in the source tree, between files and between the folders that own them.

A folder owns its .cpp files and the headers it implements: a header belongs to the folder of the
one .cpp file of the same stem in the header's own CMake target, else to the folder holding the
header (for a header under include/, the folder holding that include/). Folder A depends on folder B when a file of A includes a header
owned by B. Prints every cycle (strongly connected group) and exits 1 when there is one.

It also lists every parent-relative include ("../...") outside test folders: a folder's private
headers are included by their bare name from that folder alone, and other folders reach a target
only through its include folder, so the include path decides who sees what.

usage: scripts/include-cycles.py [--under DIR]... [--files-only]
  --under DIR   look only at files under DIR (repeatable; default: the whole tree)
"""
import argparse
import os
import re
import sys
from collections import defaultdict

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SKIP = {"build", ".git", "docs", "scripts", ".ci"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def source_files():
    for top, dirs, files in os.walk(ROOT):
        dirs[:] = [d for d in dirs if d not in SKIP]
        for name in files:
            if name.endswith((".cpp", ".h")):
                yield os.path.relpath(os.path.join(top, name), ROOT)


def module_of(path):
    """The folder of a file, or for a header under include/, the folder holding that include/."""
    parts = path.split(os.sep)
    if "include" in parts:
        return os.sep.join(parts[: parts.index("include")])
    return os.path.dirname(path)


def resolve(including, name, roots, known):
    local = os.path.normpath(os.path.join(os.path.dirname(including), name))
    if local in known:
        return local
    for root in roots:
        candidate = os.path.normpath(os.path.join(root, name))
        if candidate in known:
            return candidate
    return None


def strongly_connected(graph):
    index, low, stack, on_stack, groups = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1 or v in graph.get(v, ()):
                groups.append(sorted(group))

    sys.setrecursionlimit(100000)
    for v in sorted(graph):
        if v not in index:
            visit(v)
    return groups


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--under", action="append", default=[])
    parser.add_argument("--files-only", action="store_true")
    args = parser.parse_args()

    known = set(source_files())
    roots = sorted({os.path.join(*p.split(os.sep)[: p.split(os.sep).index("include") + 1])
                    for p in known if "include" in p.split(os.sep)})
    stems = defaultdict(list)
    for p in known:
        if p.endswith(".cpp"):
            stems[os.path.splitext(os.path.basename(p))[0]].append(p)

    def target_dir(path):
        folder = os.path.dirname(path)
        while folder and not os.path.exists(os.path.join(ROOT, folder, "CMakeLists.txt")):
            folder = os.path.dirname(folder)
        return folder

    def owner(header):
        """The folder of the one .cpp of the same stem in the header's own target, else the module."""
        same = [c for c in stems.get(os.path.splitext(os.path.basename(header))[0], [])
                if target_dir(c) == target_dir(header)]
        if len(same) == 1:
            return os.path.dirname(same[0])
        return module_of(header)

    chosen = [p for p in known if not args.under or any(p.startswith(u.rstrip("/") + "/") for u in args.under)]
    files, folders = defaultdict(set), defaultdict(set)
    found = 0
    for path in chosen:
        with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for name in INCLUDE.findall(text):
            if name.startswith("../") and "tests" not in path.split(os.sep):
                found += 1
                print(f"relative include: {path} includes \"{name}\"")
            target = resolve(path, name, roots, known)
            if target is None or target == path:
                continue
            if target.endswith(".h") and target in chosen:
                files[path].add(target)
                mine = owner(path) if path.endswith(".h") else os.path.dirname(path)
                theirs = owner(target)
                if mine != theirs:
                    folders[mine].add(theirs)

    for group in strongly_connected(files):
        found += 1
        print("file cycle: " + " -> ".join(group))
    if not args.files_only:
        for group in strongly_connected(folders):
            found += 1
            print("folder cycle: " + " <-> ".join(group))
            for a in group:
                for b in sorted(folders[a] & set(group)):
                    print(f"    {a} -> {b}")
    print(f"{found} cycle(s) or relative include(s)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
