#!/usr/bin/env python3
"""usage: make_archives.py FOLDER [small]: archives of 7-Zip, bsdtar and Python's zipfile made from one
tree (of a few KiB with "small": the fuzzer's seeds), the tree, and in infolists.txt each archive's name
with a line for each member path that zipfile lists."""
import io
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
scale = 1 if sys.argv[2:] == ["small"] else 1000
sources = {
    "readme.txt": b"GF3D Mendpack test archive\r\n" * 50,
    "empty.dat": b"",
    "random.bin": bytes(rng.getrandbits(8) for _ in range(70 * scale)),
    "docs/manual.txt": b"".join(b"line %d of the manual\n" % i for i in range(20 * scale)),
    "docs/deep/deeper/leaf.txt": b"leaf",
    "docs/Gr\u00fc\u00dfe \u65e5\u672c.txt": b"unicode name",
    "empty folder/": None,
}
for name, data in sources.items():
    os.makedirs(os.path.dirname(os.path.join(tree, name)), exist_ok=True)
    if data is not None:
        open(os.path.join(tree, name), "wb").write(data)
for root, dirs, names in os.walk(tree):  # the archives (the fuzzer's seeds) must not depend on the clock
    for n in dirs + names:
        os.utime(os.path.join(root, n), (1700000000, 1700000000))
files = sorted(n for n, data in sources.items() if data is not None)
top = sorted(os.listdir(tree))  # named one by one, so that bsdtar stores no "./" in front


def python_zip(target, zip64=False, comment=b""):
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as z:
        z.comment = comment
        for name in files:
            with z.open(zipfile.ZipInfo.from_file(os.path.join(tree, name), name), "w", force_zip64=zip64) as f:
                f.write(sources[name])


python_zip(os.path.join(out, "py_deflated.zip"), comment=b"an archive comment")
python_zip(os.path.join(out, "py_zip64.zip"), zip64=True)
# A self-extractor's stub in front, with offsets that leave it out and with offsets that count it.
stub, body = b"MZ" + bytes(rng.getrandbits(8) for _ in range(30 * scale)), io.BytesIO()
python_zip(body)
open(os.path.join(out, "py_sfx.zip"), "wb").write(stub + body.getvalue())
with open(os.path.join(out, "py_sfx_adjusted.zip"), "wb") as f:
    f.write(stub)
    python_zip(f)
for name, options in [("stored", ["-mx=0"]), ("fastest", ["-mx=1"]), ("default", []), ("best", ["-mx=9"]),
                      ("zipcrypto", ["-pkit password", "-mem=ZipCrypto"]),
                      ("aes", ["-pkit password", "-mem=AES256"]), ("deflate64", ["-mm=Deflate64"])]:
    subprocess.run(["7z", "a", "-tzip", "-bso0", "-bsp0", *options, os.path.join(out, "7z_%s.zip" % name), *top],
                   cwd=tree, check=True)
for name, options in [("default", []), ("stored", ["--options", "zip:compression=store"]),
                      ("zipcrypto", ["--options", "zip:encryption=zipcrypt", "--passphrase", "kit password"]),
                      ("streamed", [])]:  # to a pipe: sizes and CRCs follow the data in descriptors
    with open(os.path.join(out, "bsdtar_%s.zip" % name), "wb") as f:
        target = "-" if name == "streamed" else f.name
        subprocess.run(["bsdtar", "-c", "--format=zip", *options, "-f", target, *top], cwd=tree, check=True,
                       stdout=f)
open(os.path.join(out, "cp437.txt"), "wb").write(bytes(range(0x80, 0x100)).decode("cp437").encode("utf-8"))
open(os.path.join(out, "files.txt"), "w", encoding="utf-8").write("\n".join(files) + "\n")

with open(os.path.join(out, "infolists.txt"), "w", encoding="utf-8") as f:
    for archive in sorted(n for n in os.listdir(out) if n.endswith(".zip")):
        members = zipfile.ZipFile(os.path.join(out, archive)).namelist()
        f.write(archive + "\n" + "".join("\t%s\n" % m for m in members))
