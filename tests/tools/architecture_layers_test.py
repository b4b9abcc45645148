#!/usr/bin/python3
"""docs/architecture.md's picture of the core's layers against the build's
graph (core_layers.txt: each library's folder, then the folders of the core
libraries it links). The picture is the fenced block after the line
"<!-- core layers -->": one line a library, the highest layer first, each
naming what it links. On a difference it prints the picture to paste.

  architecture_layers_test.py <core_layers.txt> <docs/architecture.md>
"""

import sys
from pathlib import Path

MARKER = "<!-- core layers -->"


def read_graph(path):
    graph = {}
    for line in Path(path).read_text().splitlines():
        if line.strip():
            folder, *links = line.split()
            graph[folder] = links
    return graph


def picture(graph):
    height = {}

    def layer(folder, seen=()):
        if folder in seen:
            raise SystemExit(f"the core's links go round: {' -> '.join(seen + (folder,))}")
        if folder not in height:
            height[folder] = 1 + max((layer(link, seen + (folder,)) for link in graph[folder]),
                                     default=-1)
        return height[folder]

    for folder in graph:
        layer(folder)
    width = max(len(folder) for folder in graph)
    lines = []
    for folder in sorted(graph, key=lambda f: (-height[f], f)):
        links = ", ".join(sorted(graph[folder]))
        lines.append(f"{folder:<{width}}  {'links ' + links if links else '(links nothing)'}"
                     .rstrip())
    return lines


def documented(path):
    lines = Path(path).read_text().splitlines()
    if MARKER not in lines:
        return []
    start = lines.index(MARKER) + 2  # the marker, then the opening fence
    end = lines.index("```", start)
    return lines[start:end]


def main():
    expected = picture(read_graph(sys.argv[1]))
    found = documented(sys.argv[2])
    if found != expected:
        print(f"{sys.argv[2]} does not match the build's links; its picture should read:")
        print("\n".join(expected))
        return 1
    print("the picture of the layers matches the build")
    return 0


if __name__ == "__main__":
    sys.exit(main())
