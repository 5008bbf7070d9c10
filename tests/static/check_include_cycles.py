"""Fails when the folders of the sources include each other in a circle.

Each C++ file's folder depends on the folder of every file it names in `#include "..."`
(paths are relative to src/). Prints one circle it finds, or nothing."""
import pathlib, re, sys

src = pathlib.Path(sys.argv[1])
uses = {}
for file in list(src.rglob("*.h")) + list(src.rglob("*.cpp")):
    folder = file.parent.relative_to(src).as_posix()
    for name in re.findall(r'^\s*#\s*include\s+"([^"]+)"', file.read_text(), re.M):
        target = (src / name).parent.relative_to(src).as_posix() if "/" in name else folder
        if target != folder:
            uses.setdefault(folder, {}).setdefault(target, f"{file.relative_to(src)} -> {name}")

state = {}  # folder -> 1 while on the path, 2 when done


def visit(folder, path):
    state[folder] = 1
    for target, why in uses.get(folder, {}).items():
        if state.get(target) == 1:
            circle = path[path.index(target):] + [folder] if target in path else [folder]
            sys.exit("folders include each other: " + " -> ".join(circle + [target]) + f" ({why})")
        if target not in state:
            visit(target, path + [folder])
    state[folder] = 2


for folder in sorted(uses):
    if folder not in state:
        visit(folder, [])
