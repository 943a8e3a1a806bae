#!/usr/bin/env python3
"""Prints the folder-level include graph of the engine, app/ and lib/, and
fails when the graph has a cycle (a folder that, through its includes,
reaches back to itself)."""
import os
import re
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
ENGINE = os.path.join(ROOT, "Code", "Src")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/[^"]+"', re.M)


def folders():
    """Yields (folder name, folder path) for every engine folder, app and lib."""
    for name in sorted(os.listdir(ENGINE)):
        path = os.path.join(ENGINE, name)
        if os.path.isdir(path):
            yield name, path
    for name in ("lib", "app"):
        yield name, os.path.join(ROOT, name)


def edges():
    """Maps each folder to the set of other folders its files include."""
    graph = {}
    for name, path in folders():
        targets = graph.setdefault(name, set())
        for entry in sorted(os.listdir(path)):
            if not entry.endswith((".h", ".cpp", ".c")):
                continue
            with open(os.path.join(path, entry), encoding="utf-8") as source:
                for target in INCLUDE.findall(source.read()):
                    if target != name:
                        targets.add(target)
    return graph


def find_cycle(graph):
    """Returns one cycle as a list of folders, or None."""
    state = {}
    stack = []

    def visit(node):
        state[node] = "open"
        stack.append(node)
        for target in sorted(graph.get(node, ())):
            if state.get(target) == "open":
                return stack[stack.index(target):] + [target]
            if target not in state:
                cycle = visit(target)
                if cycle:
                    return cycle
        stack.pop()
        state[node] = "done"
        return None

    for node in sorted(graph):
        if node not in state:
            cycle = visit(node)
            if cycle:
                return cycle
    return None


def main():
    graph = edges()
    for name in sorted(graph):
        print(f"{name} -> {', '.join(sorted(graph[name])) or '(nothing)'}")
    cycle = find_cycle(graph)
    if cycle:
        print("include cycle: " + " -> ".join(cycle), file=sys.stderr)
        return 1
    print("no include cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
