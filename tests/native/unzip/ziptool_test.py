#!/usr/bin/env python3
"""ziptool as a program: its listing format, picking members by name, and its exit codes."""
import os
import subprocess
import sys
import tempfile
import zipfile

ziptool = sys.argv[1]
failures = []


def check(what, got, want):
    if got != want:
        failures.append("%s:\n  got  %r\n  want %r" % (what, got, want))


def run(*args):
    done = subprocess.run([ziptool] + list(args), capture_output=True)
    return done.returncode, done.stdout.decode("utf-8")


with tempfile.TemporaryDirectory() as tmp:
    archive, out_folder, not_zip = (os.path.join(tmp, name) for name in ("kit.zip", "out", "not.zip"))
    with zipfile.ZipFile(archive, "w") as z:
        z.writestr(zipfile.ZipInfo("Data/sub/caf\u00e9.txt", (2004, 6, 15, 13, 45, 58)), "word " * 400,
                   zipfile.ZIP_DEFLATED)
        z.writestr(zipfile.ZipInfo("Data/", (2004, 6, 15, 13, 45, 0)), "")
        z.writestr(zipfile.ZipInfo("top.txt", (1999, 12, 31, 23, 59, 0)), "x" * 10)
    deflated, stored = (zipfile.ZipFile(archive).getinfo(n) for n in ("Data/sub/caf\u00e9.txt", "top.txt"))
    ratio = round((2000 - deflated.compress_size) * 100 / 2000)
    listing = ("Data\\sub\tcaf\u00e9.txt\t%d\t%d\tDefl:N\t2004-06-15 13:45\t%08x\t0\n"
               % (deflated.compress_size, ratio, deflated.CRC) +
               "\ttop.txt\t10\t0\tStored\t1999-12-31 23:59\t%08x\t0\n" % stored.CRC)
    check("listing", run("list", archive), (0, listing))
    check("extract by name", run("extract", archive, out_folder, "top.txt")[0], 0)
    check("extracted", {n: open(os.path.join(out_folder, n)).read() for n in os.listdir(out_folder)},
          {"top.txt": "x" * 10})
    check("a name that is no member fails", run("extract", archive, out_folder, "missing.txt")[0], 1)
    open(not_zip, "wb").write(b"not an archive at all, just text")
    check("listing a file that is no archive", run("list", not_zip)[0], 1)
    check("a wrong command line", run("lists", archive)[0], 2)

if failures:
    sys.exit("\n".join(failures))
print("ziptool: all checks passed")
