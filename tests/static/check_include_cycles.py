"""Fails when the folders of the sources include each other in a circle.

Each C++ file's folder depends on the folder of every file it names in `#include "..."`
(paths are relative to src/). Prints the includes of one circle it finds, or nothing."""
import graphlib, pathlib, re, sys

src = pathlib.Path(sys.argv[1])
uses = {}
for file in list(src.rglob("*.h")) + list(src.rglob("*.cpp")):
    folder = file.parent.relative_to(src).as_posix()
    for name in re.findall(r'^\s*#\s*include\s+"([^"]+)"', file.read_text(), re.M):
        target = (src / name).parent.relative_to(src).as_posix() if "/" in name else folder
        if target != folder:
            uses.setdefault(folder, {}).setdefault(target, f"{file.relative_to(src)} -> {name}")
try:
    graphlib.TopologicalSorter(uses).prepare()
except graphlib.CycleError as e:
    circle = e.args[1][::-1]
    sys.exit("folders include each other: " + ", ".join(uses[a][b] for a, b in zip(circle, circle[1:])))
