#!/usr/bin/env python3
"""Checks the include graph of the program's folders: a folder may include
headers of its own folder and of the folders below it, never of one above.

Prints every include that breaks the order and exits 1; with --graph, prints
which folder includes which, bottom to top."""
import os
import re
import sys

# Bottom to top. The stand-in libraries come first: the program reaches
# them only through their public headers.
LAYERS = ["vbmp3", "vbsock", "settings", "win", "audio_library", "engine", "audio", "options", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    rank = {name: i for i, name in enumerate(LAYERS)}
    faults, edges = [], {}
    for top in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                if not name.endswith((".h", ".cpp", ".c", ".rc")):
                    continue
                path = os.path.join(folder, name)
                text = open(path, encoding="utf-8", errors="replace").read()
                for header in INCLUDE.findall(text):
                    target = header.split("/")[0]
                    if target not in rank or "/" not in header:
                        continue
                    edges.setdefault(top, set()).add(target)
                    if rank[target] > rank[top]:
                        faults.append(f"{os.path.relpath(path, root)}: includes {header} from above")
    if "--graph" in sys.argv:
        for top in LAYERS:
            below = sorted(edges.get(top, set()) - {top}, key=rank.get)
            print(f"{top:14} -> {', '.join(below) if below else '(nothing)'}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
