#!/usr/bin/env python3
"""Times ziptool (cUnzip over our zip library) against bsdtar, 7-Zip and the yardstick (zlib
alone, yardstick.cpp) on the same archives.

Usage: bench.py ZIPTOOL YARDSTICK CACHE_FOLDER [REPEATS [OUT_ROOT]]

Cases: one member of 256 MiB; 20,000 small members; 2 named members out of those 20,000.
Each run extracts into a fresh folder; the best of REPEATS wall times counts (at least 101 runs
for a case that takes less than 0.2 s), and the peak resident memory is the largest of the runs;
the least processor time (user and system) of the runs is shown too. GNU time measures both: a
child forked from this Python process would report Python's own memory, which the kernel carries
across exec. The archives are made by Python's zipfile (deflate level 6).
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

MIB = 1024 * 1024
OUT = "{out}"  # stands for the run's output folder in a command


def make_big(path):
    # Text-like data: words and numbers, so that deflate works about as hard as on real files.
    rng = random.Random(1078)
    words = ["falcon", "glide", "voodoo", "turbo", "nightjar", "prefs", "sound", "mission", "wing", "radar",
             "throttle", "altitude", "heading", "0x3dfx", "banshee", "mendpack"]
    block = []
    size = 0
    while size < 4 * MIB:
        line = " ".join(rng.choice(words) if rng.random() < 0.7 else str(rng.randrange(1 << 20))
                        for _ in range(12)) + "\n"
        block.append(line)
        size += len(line)
    block = "".join(block).encode()[:4 * MIB]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z, z.open("big.bin", "w") as f:
        for i in range(64):
            # A different header per block keeps the blocks from being byte-identical.
            f.write(b"%08d" % i + block[8:])


def make_many(path):
    rng = random.Random(20000)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for i in range(1, 20001):
            z.writestr("f%05d.txt" % i, ("member %d " % i) * rng.randrange(10, 200) + "\n")


def run(command, out):
    os.makedirs(out)
    os.sync()  # the last run's files written back now, not in the middle of this run
    with tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", "-o", peak.name] + command,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        elapsed = time.perf_counter() - start
        if done.returncode != 0:
            sys.exit("failed (%d): %s\n%s" % (done.returncode, " ".join(command), done.stderr.decode(errors="replace")))
        kib, user, system = peak.read().split()[-3:]
        return elapsed, int(kib) / 1024.0, float(user) + float(system)


class Outputs:
    """A new, empty folder for every run, deleted after it (outside the timed part).

    By default the folders are made in memory (/dev/shm, tmpfs): what is timed is then the two
    programs' own work. On this machine's disk (ext4) the time to make 20,000 files depends on
    what the file system went through before: after 20,000 files were deleted, ext4 passes over
    the freed inodes for a minute or more each time it makes a file, and the kernel's inode
    cache grows while files are kept. Runs there vary by a factor of three whatever the program;
    give a folder on the disk as OUT_ROOT to see it."""

    def __init__(self, root):
        self.root = root
        self.count = 0

    def run(self, command):
        self.count += 1
        folder = os.path.join(self.root, str(self.count))
        try:
            return run([word.replace(OUT, folder) for word in command], folder)
        finally:
            shutil.rmtree(folder, ignore_errors=True)


def default_output_root(cache):
    shm = "/dev/shm"
    if os.path.isdir(shm) and os.access(shm, os.W_OK):
        return tempfile.mkdtemp(prefix="mendpack-bench-", dir=shm)
    return os.path.join(cache, "out")


def measure(commands, outputs, repeats):
    # Take the programs in turn, each round starting with the next one, so that a burst of load on
    # a shared machine hits all alike. A run of a few milliseconds is mostly noise (process start,
    # page faults, other work on the machine): short cases are repeated more often, so that their
    # best times mean something.
    def round(first):
        order = [(first + i) % len(commands) for i in range(len(commands))]
        results = {k: outputs.run(commands[k]) for k in order}
        return [results[k] for k in range(len(commands))]

    runs = [round(0)]
    if max(r[0] for r in runs[0]) < 0.2:
        repeats = max(repeats, 101)
    runs += [round(i) for i in range(1, repeats)]
    # Per program: best time, worst time, peak memory, least processor time (user and system).
    return [(min(r[k][0] for r in runs), max(r[k][0] for r in runs), max(r[k][1] for r in runs),
             min(r[k][2] for r in runs)) for k in range(len(commands))]


def main():
    ziptool, yardstick, cache = sys.argv[1], sys.argv[2], sys.argv[3]
    repeats = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    out_root = sys.argv[5] if len(sys.argv) > 5 else default_output_root(cache)
    os.makedirs(cache, exist_ok=True)
    big, many = os.path.join(cache, "big.zip"), os.path.join(cache, "many.zip")
    for path, make in ((big, make_big), (many, make_many)):
        if not os.path.exists(path):
            print("making %s (cached for later runs)" % path, flush=True)
            make(path + ".tmp")
            os.rename(path + ".tmp", path)
    named = ["f00100.txt", "f19999.txt"]
    programs = [
        ("ours", lambda archive, names: [ziptool, "extract", archive, OUT] + names),
        ("bsdtar", lambda archive, names: ["bsdtar", "-x", "-f", archive, "-C", OUT] + names),
        ("7z", lambda archive, names: ["7z", "x", "-y", "-bso0", "-bsp0", "-o" + OUT, archive] + names),
        ("yardstick", lambda archive, names: [yardstick, archive, OUT] + names),
    ]
    cases = [("1 member of 256 MiB", big, []), ("20,000 small members", many, []), ("2 named of 20,000", many, named)]
    os.makedirs(out_root, exist_ok=True)
    print("extracting into %s; best of %d runs (worst in brackets)" % (out_root, repeats), flush=True)
    outputs = Outputs(out_root)
    print("%-21s %17s %17s %17s %17s %6s %6s %6s %6s" % (
        "case", "ours s", "bsdtar s", "7z s", "yardstick s", "/bsd", "/7z", "/yard", "ours MiB"))
    failed = []
    for name, archive, names in cases:
        results = measure([make(archive, names) for _, make in programs], outputs, repeats)
        ours, memory = results[0][0], results[0][2]
        ratios = [ours / other[0] for other in results[1:]]
        print("%-21s %s %6.2f %6.2f %6.2f %6.1f" % (
            name, " ".join("%7.4f [%7.4f]" % r[:2] for r in results), *ratios, memory), flush=True)
        # On a loaded machine the processor time shows the work itself better than the wall time.
        print("%-21s %s %6.2f %6.2f %6.2f" % (
            "  processor time", " ".join("%7.4f %9s" % (r[3], "") for r in results),
            *[max(results[0][3], 0.001) / max(r[3], 0.001) for r in results[1:]]), flush=True)
        if name != "2 named of 20,000" and ratios[0] > 1.0:
            failed.append("%s: %.2f times bsdtar > 1.0" % (name, ratios[0]))
        if name.startswith("1 member") and ratios[2] > 1.1:
            failed.append("%s: %.2f times the yardstick > 1.1" % (name, ratios[2]))
        if memory >= 32:
            failed.append("%s: peak memory %.1f MiB >= 32 MiB" % (name, memory))
    shutil.rmtree(out_root, ignore_errors=True)
    print("targets: at most 1.0 times bsdtar on the first two cases, at most 1.1 times the yardstick on "
          "the 256 MiB member, under 32 MiB peak memory")
    for f in failed:
        print("MISSED " + f)
    if not failed:
        print("all targets met")


main()
