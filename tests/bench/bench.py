#!/usr/bin/env python3
"""Times ziptool (cUnzip over our zip library) against bsdtar, 7-Zip and the yardstick (zlib
alone, yardstick.cpp) on the same archives, made by Python's zipfile (deflate level 6).

Usage: bench.py ZIPTOOL YARDSTICK CACHE_FOLDER [REPEATS [OUT_ROOT]]

Each run extracts into a fresh folder under OUT_ROOT, deleted after it. By default that is in
memory (/dev/shm): on this machine's disk (ext4) the time to make 20,000 files depends on what the
file system went through before (after a mass deletion it passes over the freed inodes for a
minute or more), whatever the program. GNU time measures peak memory and processor time: a child
forked from this Python process would report Python's own memory, which the kernel carries across
exec.
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

OUT = "{out}"  # stands for the run's output folder in a command


def make_big(path):
    # Text-like data, words and numbers, so that deflate works about as hard as on real files; a
    # different header per 4 MiB block keeps the blocks from being byte-identical.
    rng = random.Random(1078)
    words = ["falcon", "glide", "voodoo", "turbo", "nightjar", "prefs", "sound", "mission", "wing", "radar",
             "throttle", "altitude", "heading", "0x3dfx", "banshee", "mendpack"]
    lines, size = [], 0
    while size < 4 << 20:
        lines.append(" ".join(rng.choice(words) if rng.random() < 0.7 else str(rng.randrange(1 << 20))
                              for _ in range(12)) + "\n")
        size += len(lines[-1])
    block = "".join(lines).encode()[:4 << 20]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z, z.open("big.bin", "w") as f:
        for i in range(64):
            f.write(b"%08d" % i + block[8:])


def make_many(path):
    rng = random.Random(20000)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for i in range(1, 20001):
            z.writestr("f%05d.txt" % i, ("member %d " % i) * rng.randrange(10, 200) + "\n")


def run(command, folder):
    """Wall time, peak memory (MiB) and processor time of one run into the new folder `folder`."""
    os.makedirs(folder)
    os.sync()  # the last run's files written back now, not in the middle of this run
    try:
        with tempfile.NamedTemporaryFile("r") as peak:
            start = time.perf_counter()
            done = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", "-o", peak.name] +
                                  [word.replace(OUT, folder) for word in command],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            elapsed = time.perf_counter() - start
            if done.returncode != 0:
                sys.exit("failed: %s\n%s" % (" ".join(command), done.stderr.decode(errors="replace")))
            kib, user, system = peak.read().split()[-3:]
            return elapsed, int(kib) / 1024.0, float(user) + float(system)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def measure(commands, out_root, repeats):
    # The programs take turns, each round starting with the next one, so that a burst of load on a
    # shared machine hits all alike. A run of a few milliseconds is mostly noise (process start,
    # page faults, other work), so short cases get at least 101 runs and their best means something.
    runs = []
    while len(runs) < repeats or (len(runs) < 101 and max(r[0] for r in runs[0]) < 0.2):
        order = [(len(runs) + i) % len(commands) for i in range(len(commands))]
        results = {k: run(commands[k], os.path.join(out_root, "%d-%d" % (len(runs), k))) for k in order}
        runs.append([results[k] for k in range(len(commands))])
    # Per program: best and worst wall time, peak memory, least processor time.
    return [(min(r[k][0] for r in runs), max(r[k][0] for r in runs), max(r[k][1] for r in runs),
             min(r[k][2] for r in runs)) for k in range(len(commands))]


def main():
    ziptool, yardstick, cache = sys.argv[1:4]
    repeats = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    shm = os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK)
    out_root = sys.argv[5] if len(sys.argv) > 5 else tempfile.mkdtemp(
        prefix="mendpack-bench-", dir="/dev/shm" if shm else cache)
    os.makedirs(cache, exist_ok=True)
    big, many = os.path.join(cache, "big.zip"), os.path.join(cache, "many.zip")
    for path, make in ((big, make_big), (many, make_many)):
        if not os.path.exists(path):
            print("making %s (cached for later runs)" % path, flush=True)
            make(path + ".tmp")
            os.rename(path + ".tmp", path)
    programs = [
        lambda archive, names: [ziptool, "extract", archive, OUT] + names,
        lambda archive, names: ["bsdtar", "-x", "-f", archive, "-C", OUT] + names,
        lambda archive, names: ["7z", "x", "-y", "-bso0", "-bsp0", "-o" + OUT, archive] + names,
        lambda archive, names: [yardstick, archive, OUT] + names,
    ]
    cases = [("1 member of 256 MiB", big, []), ("20,000 small members", many, []),
             ("2 named of 20,000", many, ["f00100.txt", "f19999.txt"])]
    os.makedirs(out_root, exist_ok=True)
    print("extracting into %s; best of %d runs (worst in brackets)" % (out_root, repeats), flush=True)
    print("%-21s %17s %17s %17s %17s %6s %6s %6s %6s" % (
        "case", "ours s", "bsdtar s", "7z s", "yardstick s", "/bsd", "/7z", "/yard", "ours MiB"))
    failed = []
    for name, archive, names in cases:
        results = measure([make(archive, names) for make in programs], out_root, repeats)
        ours, memory = results[0][0], results[0][2]
        ratios = [ours / other[0] for other in results[1:]]
        print("%-21s %s %6.2f %6.2f %6.2f %6.1f" % (
            name, " ".join("%7.4f [%7.4f]" % r[:2] for r in results), *ratios, memory), flush=True)
        # On a loaded machine the processor time shows the work itself better than the wall time.
        print("%-21s %s %6.2f %6.2f %6.2f" % (
            "  processor time", " ".join("%7.4f %9s" % (r[3], "") for r in results),
            *[max(results[0][3], 0.001) / max(r[3], 0.001) for r in results[1:]]), flush=True)
        if not names and ratios[0] > 1.0:
            failed.append("%s: %.2f times bsdtar > 1.0" % (name, ratios[0]))
        if name.startswith("1 member") and ratios[2] > 1.1:
            failed.append("%s: %.2f times the yardstick > 1.1" % (name, ratios[2]))
        if memory >= 32:
            failed.append("%s: peak memory %.1f MiB >= 32 MiB" % (name, memory))
    shutil.rmtree(out_root, ignore_errors=True)
    print("targets: at most 1.0 times bsdtar on the first two cases, at most 1.1 times the yardstick on "
          "the 256 MiB member, under 32 MiB peak memory")
    print("\n".join("MISSED " + f for f in failed) or "all targets met")


main()
