#!/usr/bin/env python3
"""Makes archives with Debian's zip and Python's zipfile from one source tree, which the tests
compare the extracted files with.  usage: make_archives.py FOLDER"""
import os
import random
import shutil
import subprocess
import sys
import zipfile

out = os.path.abspath(sys.argv[1])
tree = os.path.join(out, "tree")
shutil.rmtree(out, ignore_errors=True)
rng = random.Random(1234)
sources = {
    "readme.txt": b"GF3D Mendpack test archive\r\n" * 50,
    "empty.dat": b"",
    "random.bin": bytes(rng.getrandbits(8) for _ in range(70000)),
    "docs/manual.txt": b"".join(b"line %d of the manual\n" % i for i in range(20000)),
    "docs/deep/deeper/leaf.txt": b"leaf",
    "docs/Gr\u00fc\u00dfe \u65e5\u672c.txt": b"unicode name",
    "empty folder/": None,
}
for name, data in sources.items():
    os.makedirs(os.path.dirname(os.path.join(tree, name)), exist_ok=True)
    if data is not None:
        with open(os.path.join(tree, name), "wb") as f:
            f.write(data)
for root, dirs, names in os.walk(tree):  # listings must not depend on the clock
    for n in dirs + names:
        os.utime(os.path.join(root, n), (1700000000, 1700000000))
files = sorted(n for n, data in sources.items() if data is not None)

# Python's zipfile: UTF-8 names, a comment, forced ZIP64 records.
with zipfile.ZipFile(os.path.join(out, "py_deflated.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.comment = b"an archive comment"
    for name in files:
        z.write(os.path.join(tree, name), name)
with zipfile.ZipFile(os.path.join(out, "py_zip64.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    for name in files:
        with z.open(name, "w", force_zip64=True) as f:
            f.write(sources[name])
for name, options in [("default", []), ("stored", ["-0"]), ("fast", ["-1"]), ("best", ["-9"]), ("zip64", ["-fz"]),
                      ("encrypted", ["-P", "kit password"])]:
    subprocess.run(["zip", "-q", "-r", *options, os.path.join(out, "zip_%s.zip" % name), "."],
                   cwd=tree, check=True)
# Written to a pipe, zip puts sizes and CRCs in data descriptors.
subprocess.run("zip -q -r - . | cat > ../zip_streamed.zip", shell=True, cwd=tree, check=True)
# A self-extractor: a stub in front, once with the offsets left alone and once adjusted.
with open(os.path.join(out, "zip_sfx.zip"), "wb") as f, open(os.path.join(out, "zip_default.zip"), "rb") as body:
    f.write(b"MZ" + bytes(rng.getrandbits(8) for _ in range(30000)) + body.read())
shutil.copy(os.path.join(out, "zip_sfx.zip"), os.path.join(out, "zip_sfx_adjusted.zip"))
subprocess.run(["zip", "-q", "-A", os.path.join(out, "zip_sfx_adjusted.zip")], check=True)

# The expected UTF-8 text of every code page 437 byte from 0x80 to 0xFF.
with open(os.path.join(out, "cp437.txt"), "wb") as f:
    f.write(bytes(range(0x80, 0x100)).decode("cp437").encode("utf-8"))
with open(os.path.join(out, "files.txt"), "w", encoding="utf-8") as f:
    f.write("\n".join(files) + "\n")
