#!/usr/bin/env python3
"""Prints the folder-level include graph of the engine, app/ and lib/, and
fails when a file includes a folder that is not below its own in the declared
layers, when a folder is missing from them, or when README's tour of the tree
does not follow them."""
import os
import re
import sys

# The layers, from the ground up: a folder includes only its own folder and
# folders of a lower rank; folders of one rank are peers and include none of
# each other. A new folder is one line here.
LAYERS = """
Code/Src/base         1
Code/Src/params       2
Code/Src/trace        3
Code/Src/display      4
Code/Src/timebuf      4
Code/Src/settings     5
Code/Src/ascii        6
Code/Src/sdf          7
Code/Src/mat          7
Code/Src/uff          7
Code/Src/csv          7
Code/Src/json         7
Code/Src/netcdf       7
Code/Src/waterfall    7
Code/Src/run          8
Code/Src/archive      9
lib                   10
app                   10
"""

ENGINE = os.path.join("Code", "Src")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/[^"]+"')
SOURCE_ENDINGS = (".h", ".cpp", ".c")


def declared_layers():
    """Returns the declared folders as a list of (relative path, rank)."""
    layers = []
    for line in LAYERS.split("\n"):
        if line.strip():
            path, rank = line.split()
            layers.append((path, int(rank)))
    return layers


def include_name(path):
    """The name by which other folders include a folder: its last component."""
    return path.rsplit("/", 1)[-1]


def sources(root, path):
    """Yields the relative path of every source file under a folder."""
    for folder, subfolders, files in os.walk(os.path.join(root, path)):
        subfolders.sort()
        for entry in sorted(files):
            if entry.endswith(SOURCE_ENDINGS):
                yield os.path.relpath(os.path.join(folder, entry), root)


def includes(root, source):
    """Yields (line number, included folder name, include line) of a source."""
    with open(os.path.join(root, source), encoding="utf-8") as text:
        for number, line in enumerate(text, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1), line.strip()


def folder_problems(root, layers):
    """Engine folders missing from the layers, and declared folders missing."""
    declared = {path for path, _ in layers}
    problems = [f"{path}: declared in the layers but missing" for path in sorted(declared)
                if not os.path.isdir(os.path.join(root, path))]
    for name in sorted(os.listdir(os.path.join(root, ENGINE))):
        path = f"{ENGINE}/{name}"
        if os.path.isdir(os.path.join(root, path)) and path not in declared:
            problems.append(f"{path}: not declared in the layers of tools/include_graph.py")
    return problems


def include_graph(root, layers):
    """Maps each folder name to the folders it includes, and lists the
    includes that go against the layers."""
    rank = {include_name(path): layer for path, layer in layers}
    graph, problems = {}, []
    for path, layer in layers:
        name = include_name(path)
        targets = graph.setdefault(name, set())
        if not os.path.isdir(os.path.join(root, path)):
            continue
        for source in sources(root, path):
            for number, target, line in includes(root, source):
                if target == name or target not in rank:
                    continue
                targets.add(target)
                if rank[target] >= layer:
                    problems.append(f"{source}:{number}: {line}: {target}/ is not below {name}/")
    return graph, problems


def readme_problems(root, layers):
    """README's tour must name every declared folder, in the declared order."""
    rank = dict(layers)
    tour = re.compile(r"^    (" + "|".join(re.escape(path) for path in rank) + r")/")
    seen = []
    with open(os.path.join(root, "README.md"), encoding="utf-8") as readme:
        for line in readme:
            match = tour.match(line)
            if match and match.group(1) not in seen:
                seen.append(match.group(1))
    problems = [f"README.md: the tour of the tree lacks {path}/" for path in rank if path not in seen]
    for lower, higher in zip(seen, seen[1:]):
        if rank[higher] < rank[lower]:
            problems.append(f"README.md: the tour names {higher}/ after {lower}/, against the layers")
    return problems


def check(root):
    """Returns the folder graph and every problem found under a root."""
    layers = declared_layers()
    graph, problems = include_graph(root, layers)
    return graph, folder_problems(root, layers) + problems + readme_problems(root, layers)


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    graph, problems = check(root)
    for name in sorted(graph):
        print(f"{name} -> {', '.join(sorted(graph[name])) or '(nothing)'}")
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        return 1
    print("every include goes down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
