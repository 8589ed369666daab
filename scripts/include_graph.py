#!/usr/bin/env python3
"""Prints the include graph between the folders of src/ and checks the layers.

Every `#include "folder/file.h"` in a .h or .cpp file under src/ is an edge
from the including file's folder to the folder it names. Folders are ranked
by the layer order (bottom first; folders joined by a comma share a rank).
An include into a folder of a higher rank runs upward; a set of folders that
reach each other through includes is a loop.

Exit status 1 when a folder has no place in the order, when there is a loop,
or when more includes run upward than --max-upward allows; otherwise 0.
"""

import argparse
import os
import re
import sys

# Bottom first. Keep in step with the drawing in docs/ARCHITECTURE.md.
LAYERS = [
    "framework",
    "res",
    "kinds",
    "imaging",
    "logos",
    "config",
    "transport",
    "address",
    "print",
    "operations",
    "import",
    "compose",
    "download",
    "fleet",
    "app,cli,sim",
]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def read_edges(src):
    """(from folder, to folder, file, line number, included path) per include."""
    edges = []
    for root, _dirs, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            relative = os.path.relpath(path, src)
            folder = relative.split(os.sep)[0]
            if folder == relative:
                continue  # a file directly in src/ belongs to no folder
            with open(path, encoding="utf-8", errors="replace") as text:
                for number, line in enumerate(text, 1):
                    match = INCLUDE.match(line)
                    if not match or "/" not in match.group(1):
                        continue
                    target = match.group(1).split("/")[0]
                    if target not in (".", "..") and os.path.isdir(os.path.join(src, target)):
                        edges.append((folder, target, relative, number, match.group(1)))
    return edges


def loops(graph):
    """The strongly connected folder sets of more than one folder (Tarjan)."""
    index = {}
    low = {}
    stack = []
    on_stack = set()
    found = []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for successor in sorted(graph.get(node, ())):
            if successor not in index:
                visit(successor)
                low[node] = min(low[node], low[successor])
            elif successor in on_stack:
                low[node] = min(low[node], index[successor])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--src", default=os.path.join(here, os.pardir, "src"), help="the source folder")
    parser.add_argument("--layers", nargs="+", default=LAYERS,
                        help="folders bottom first; a,b shares one rank (default: the project's order)")
    parser.add_argument("--max-upward", type=int, default=None,
                        help="fail when more includes than this run upward")
    parser.add_argument("--quiet", action="store_true", help="print only the findings, not the graph")
    options = parser.parse_args()

    rank = {}
    for position, group in enumerate(options.layers):
        for folder in group.split(","):
            rank[folder] = position

    edges = read_edges(options.src)
    folders = sorted({e[0] for e in edges} | {e[1] for e in edges}
                     | {d for d in os.listdir(options.src) if os.path.isdir(os.path.join(options.src, d))})
    unplaced = [f for f in folders if f not in rank]

    counts = {}
    graph = {}
    for source, target, *_ in edges:
        if source != target:
            counts[(source, target)] = counts.get((source, target), 0) + 1
            graph.setdefault(source, set()).add(target)

    if not options.quiet:
        print("Folder include graph (includes per edge), layers bottom first:")
        for group in options.layers:
            for folder in group.split(","):
                targets = sorted((t for (s, t) in counts if s == folder), key=lambda t: (rank.get(t, -1), t))
                listed = ", ".join("%s (%d)" % (t, counts[(folder, t)]) for t in targets)
                print("  %-11s -> %s" % (folder, listed or "-"))

    upward = [e for e in edges if e[0] != e[1] and e[0] in rank and e[1] in rank and rank[e[1]] > rank[e[0]]]
    upward_pairs = sorted({(e[0], e[1]) for e in upward})
    print("Upward includes: %d (between %d folder pairs)" % (len(upward), len(upward_pairs)))
    for source, target, path, number, included in upward:
        print("  %s:%d includes %s (%s -> %s)" % (path, number, included, source, target))

    cycles = loops(graph)
    mutual = sorted((s, t) for (s, t) in counts if s < t and (t, s) in counts)
    print("Folder loops: %d (folder pairs that include each other: %d)" % (len(cycles), len(mutual)))
    for component in cycles:
        pairs = ["%s -> %s" % (s, t) for (s, t) in sorted(counts) if s in component and t in component]
        print("  {%s}: %s" % (", ".join(component), "; ".join(pairs)))

    failed = False
    if not counts:
        print("No include between folders found in %s." % options.src)
        failed = True
    if unplaced:
        print("Folders without a place in the layer order: %s" % ", ".join(unplaced))
        failed = True
    if cycles:
        failed = True
    if options.max_upward is not None and len(upward) > options.max_upward:
        print("More than %d upward includes." % options.max_upward)
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
