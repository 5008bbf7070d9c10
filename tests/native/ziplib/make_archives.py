#!/usr/bin/env python3
"""Makes archives with 7-Zip, bsdtar and Python's zipfile from one source tree, which the tests
compare the extracted files with.  usage: make_archives.py FOLDER [small]
With "small" the tree is a few KiB: the archives are then the seeds of the fuzzer."""
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
        with open(os.path.join(tree, name), "wb") as f:
            f.write(data)
for root, dirs, names in os.walk(tree):  # listings must not depend on the clock
    for n in dirs + names:
        os.utime(os.path.join(root, n), (1700000000, 1700000000))
files = sorted(n for n, data in sources.items() if data is not None)
top = sorted(os.listdir(tree))  # named one by one, so that bsdtar stores no "./" in front


def tool(archive, *command):
    subprocess.run([*command, os.path.join(out, archive), *top], cwd=tree, check=True, stdout=subprocess.DEVNULL)


def python_zip(target, zip64=False, comment=b""):
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as z:
        z.comment = comment
        for name in files:
            member = zipfile.ZipInfo.from_file(os.path.join(tree, name), name)
            member.compress_type = zipfile.ZIP_DEFLATED
            with z.open(member, "w", force_zip64=zip64) as f:
                f.write(sources[name])


# Python's zipfile: UTF-8 names, a comment, forced ZIP64 records.
python_zip(os.path.join(out, "py_deflated.zip"), comment=b"an archive comment")
python_zip(os.path.join(out, "py_zip64.zip"), zip64=True)
# A self-extractor: a stub in front, once with offsets that leave it out and once with offsets
# that count it (zipfile writing on after the stub).
stub = b"MZ" + bytes(rng.getrandbits(8) for _ in range(30 * scale))
body = io.BytesIO()
python_zip(body)
with open(os.path.join(out, "py_sfx.zip"), "wb") as f:
    f.write(stub + body.getvalue())
with open(os.path.join(out, "py_sfx_adjusted.zip"), "wb") as f:
    f.write(stub)
    python_zip(f)

sevenzip = ["7z", "a", "-tzip", "-bso0", "-bsp0"]
for name, options in [("stored", ["-mx=0"]), ("fastest", ["-mx=1"]), ("default", []), ("best", ["-mx=9"]),
                      ("zipcrypto", ["-pkit password", "-mem=ZipCrypto"]),
                      ("aes", ["-pkit password", "-mem=AES256"]), ("deflate64", ["-mm=Deflate64"])]:
    tool("7z_%s.zip" % name, *sevenzip, *options)
bsdtar = ["bsdtar", "-c", "--format=zip"]
for name, options in [("default", []), ("stored", ["--options", "zip:compression=store"]),
                      ("zipcrypto", ["--options", "zip:encryption=zipcrypt", "--passphrase", "kit password"])]:
    tool("bsdtar_%s.zip" % name, *bsdtar, *options, "-f")
# Written to a pipe, bsdtar cannot go back to the local headers: sizes and CRCs follow the data
# in descriptors.
with open(os.path.join(out, "bsdtar_streamed.zip"), "wb") as f:
    subprocess.run([*bsdtar, "-f", "-", *top], cwd=tree, check=True, stdout=f)

# The expected UTF-8 text of every code page 437 byte from 0x80 to 0xFF.
with open(os.path.join(out, "cp437.txt"), "wb") as f:
    f.write(bytes(range(0x80, 0x100)).decode("cp437").encode("utf-8"))
with open(os.path.join(out, "files.txt"), "w", encoding="utf-8") as f:
    f.write("\n".join(files) + "\n")

# zipfile's listing of these archives and of some that Debian installed, for the test to compare
# ours with: each archive's path, then a tab and name|size|compressed size|method|yyyymmdd hh:mm|crc|
# encrypted for each member (a line of zipfile's error instead where it cannot read the archive).
METHODS = {0: "Stored", 8: "Defl", 9: "Defl64", 12: "BZip2", 14: "LZMA", 99: "AES"}  # APPNOTE 4.4.5
archives = sorted(os.path.join(out, n) for n in os.listdir(out) if n.endswith(".zip"))
for root, dirs, names in os.walk("/usr/share"):
    archives += [p for p in (os.path.join(root, n) for n in sorted(names) if n.endswith((".zip", ".jar")))
                 if os.path.isfile(p)]
    if len(archives) >= 60:
        break
with open(os.path.join(out, "infolists.txt"), "w", encoding="utf-8", errors="surrogateescape") as f:
    for archive in archives:
        f.write(archive + "\n")
        try:
            members = zipfile.ZipFile(archive).infolist()
        except Exception as error:
            f.write("\t%s\n" % error)
            continue
        for m in members:
            f.write("\t%s|%d|%d|%s|%04d%02d%02d %02d:%02d|%08x|%d\n" % (
                m.filename, m.file_size, m.compress_size, METHODS[m.compress_type], *m.date_time[:5], m.CRC,
                m.flag_bits & 1))
