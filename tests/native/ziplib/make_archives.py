#!/usr/bin/env python3
"""Makes the real-world archives that the tests read: with Debian's `zip` (when installed) and
with Python's zipfile, from one source tree that the tests compare the extracted files with.

usage: make_archives.py OUTPUT_FOLDER
"""
import io
import os
import random
import shutil
import subprocess
import sys
import zipfile

out = os.path.abspath(sys.argv[1])
shutil.rmtree(out, ignore_errors=True)
tree = os.path.join(out, "tree")
os.makedirs(os.path.join(tree, "docs", "deep", "deeper"))
os.makedirs(os.path.join(tree, "empty folder"))
rng = random.Random(1234)


def write(rel, data):
    path = os.path.join(tree, rel)
    with open(path, "wb") as f:
        f.write(data)
    os.utime(path, (1700000000, 1700000000))


write("readme.txt", b"GF3D Mendpack test archive\r\n" * 50)
write("empty.dat", b"")
write("random.bin", bytes(rng.getrandbits(8) for _ in range(70000)))
write("docs/manual.txt", b"".join(b"line %d of the manual\n" % i for i in range(20000)))
write("docs/deep/deeper/leaf.txt", b"leaf")
write("docs/Gr\u00fc\u00dfe \u65e5\u672c.txt", "unicode name".encode())

def settle_times(top):
    """Fixed times everywhere, so that listings do not depend on the clock."""
    for root, dirs, names in os.walk(top):
        for n in dirs + names:
            os.utime(os.path.join(root, n), (1700000000, 1700000000), follow_symlinks=False)


settle_times(tree)
files = []
for root, dirs, names in os.walk(tree):
    for n in names:
        files.append(os.path.relpath(os.path.join(root, n), tree))
files.sort()

# Python's zipfile: UTF-8 names, a comment, forced ZIP64 records, data descriptors.
with zipfile.ZipFile(os.path.join(out, "py_deflated.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.comment = b"an archive comment"
    for f in files:
        z.write(os.path.join(tree, f), f)
with zipfile.ZipFile(os.path.join(out, "py_stored.zip"), "w", zipfile.ZIP_STORED) as z:
    for f in files:
        z.write(os.path.join(tree, f), f)
with zipfile.ZipFile(os.path.join(out, "py_zip64.zip"), "w", zipfile.ZIP_DEFLATED, allowZip64=True) as z:
    for f in files:
        with open(os.path.join(tree, f), "rb") as src, z.open(f, "w", force_zip64=True) as dst:
            dst.write(src.read())


class Unseekable(io.RawIOBase):
    """Makes zipfile write data descriptors, as it does for pipes."""

    def __init__(self, target):
        self.target = target

    def writable(self):
        return True

    def write(self, b):
        return self.target.write(b)


with open(os.path.join(out, "py_descriptors.zip"), "wb") as raw:
    with zipfile.ZipFile(Unseekable(raw), "w", zipfile.ZIP_DEFLATED) as z:
        for f in files:
            with open(os.path.join(tree, f), "rb") as src:
                z.writestr(f, src.read())

# The expected UTF-8 text of every code page 437 byte from 0x80 to 0xFF.
with open(os.path.join(out, "cp437.txt"), "wb") as f:
    f.write(bytes(range(0x80, 0x100)).decode("cp437").encode("utf-8"))

# Debian's zip, the tool most kit archives come from.
if shutil.which("zip"):
    def zip_tool(name, *args, cwd=tree):
        subprocess.run(["zip", "-q", "-r", *args, os.path.join(out, name), "."], cwd=cwd, check=True)

    zip_tool("zip_default.zip")
    zip_tool("zip_stored.zip", "-0")
    zip_tool("zip_fast.zip", "-1")
    zip_tool("zip_best.zip", "-9")
    zip_tool("zip_zip64.zip", "-fz")
    zip_tool("zip_encrypted.zip", "-P", "kit password")
    links = os.path.join(out, "links")
    os.makedirs(links)
    with open(os.path.join(links, "target.txt"), "w") as f:
        f.write("target")
    os.symlink("target.txt", os.path.join(links, "link.txt"))
    os.symlink("/etc/passwd", os.path.join(links, "outside"))
    settle_times(links)
    zip_tool("zip_symlinks.zip", "-y", cwd=links)
    # A self-extractor: a stub in front, once with the offsets left alone and once adjusted.
    with open(os.path.join(out, "zip_default.zip"), "rb") as f:
        body = f.read()
    stub = b"MZ" + bytes(rng.getrandbits(8) for _ in range(30000))
    with open(os.path.join(out, "zip_sfx.zip"), "wb") as f:
        f.write(stub + body)
    shutil.copy(os.path.join(out, "zip_sfx.zip"), os.path.join(out, "zip_sfx_adjusted.zip"))
    subprocess.run(["zip", "-q", "-A", os.path.join(out, "zip_sfx_adjusted.zip")], check=True)

with open(os.path.join(out, "files.txt"), "w", encoding="utf-8") as f:
    f.write("\n".join(files) + "\n")
