#!/usr/bin/env python3
"""Times ziptool (cUnzip over our unzip library) against Debian's unzip on the same archives.

Usage: bench.py ZIPTOOL CACHE_FOLDER [REPEATS [OUT_ROOT]]

Cases: one member of 256 MiB; 20,000 small members; 2 named members out of those 20,000.
Each run extracts into a fresh folder; the best of REPEATS wall times counts (at least 101 runs
for a case that takes less than 0.2 s), and the peak resident memory is the largest of the runs. GNU time measures it: a child forked from this
Python process would report Python's own memory, which the kernel carries across exec.
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

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
    folder = path + ".src"
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "big.bin"), "wb") as f:
        for i in range(64):
            # A different header per block keeps the blocks from being byte-identical.
            f.write(b"%08d" % i + block[8:])
    subprocess.run(["zip", "-q", "-j", path, os.path.join(folder, "big.bin")], check=True)
    shutil.rmtree(folder)


def make_many(path):
    rng = random.Random(20000)
    folder = path + ".src"
    os.makedirs(folder, exist_ok=True)
    for i in range(1, 20001):
        with open(os.path.join(folder, "f%05d.txt" % i), "w") as f:
            f.write(("member %d " % i) * rng.randrange(10, 200) + "\n")
    subprocess.run("cd '%s' && zip -q -r '%s' ." % (folder, os.path.abspath(path)), shell=True, check=True)
    shutil.rmtree(folder)


def run(command, out):
    os.makedirs(out)
    os.sync()  # the last run's files written back now, not in the middle of this run
    with tempfile.NamedTemporaryFile("r") as peak:
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak.name] + command,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        elapsed = time.perf_counter() - start
        if done.returncode != 0:
            sys.exit("failed (%d): %s\n%s" % (done.returncode, " ".join(command), done.stderr.decode(errors="replace")))
        return elapsed, int(peak.read().split()[-1]) / 1024.0  # GNU time reports KiB


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
            return run([folder if word == OUT else word for word in command], folder)
        finally:
            shutil.rmtree(folder, ignore_errors=True)


def default_output_root(cache):
    shm = "/dev/shm"
    if os.path.isdir(shm) and os.access(shm, os.W_OK):
        return tempfile.mkdtemp(prefix="mendpack-bench-", dir=shm)
    return os.path.join(cache, "out")


def measure(ours, theirs, outputs, repeats):
    # Alternate the two programs, so that a burst of load on a shared machine hits both alike.
    # A run of a few milliseconds is mostly noise (process start, page faults, other work on the
    # machine): short cases are repeated more often, so that their best times mean something.
    pair = lambda: (outputs.run(ours), outputs.run(theirs))
    runs = [pair()]
    if max(runs[0][0][0], runs[0][1][0]) < 0.2:
        repeats = max(repeats, 101)
    runs += [pair() for _ in range(repeats - 1)]
    best = lambda k: min(r[k][0] for r in runs)
    peak = lambda k: max(r[k][1] for r in runs)
    return best(0), peak(0), best(1), peak(1)


def main():
    ziptool, cache = sys.argv[1], sys.argv[2]
    repeats = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    out_root = sys.argv[4] if len(sys.argv) > 4 else default_output_root(cache)
    os.makedirs(cache, exist_ok=True)
    big, many = os.path.join(cache, "big.zip"), os.path.join(cache, "many.zip")
    for path, make in ((big, make_big), (many, make_many)):
        if not os.path.exists(path):
            print("making %s (cached for later runs)" % path, flush=True)
            make(path + ".tmp")
            os.rename(path + ".tmp", path)
    named = ["f00100.txt", "f19999.txt"]
    cases = [
        ("1 member of 256 MiB", [ziptool, "extract", big, OUT], ["unzip", "-q", "-o", big, "-d", OUT]),
        ("20,000 small members", [ziptool, "extract", many, OUT], ["unzip", "-q", "-o", many, "-d", OUT]),
        ("2 named of 20,000", [ziptool, "extract", many, OUT] + named, ["unzip", "-q", "-o", many] + named + ["-d", OUT]),
    ]
    os.makedirs(out_root, exist_ok=True)
    print("extracting into %s" % out_root, flush=True)
    outputs = Outputs(out_root)
    print("%-22s %9s %9s %7s %10s %10s" % ("case", "ours s", "unzip s", "ratio", "ours MiB", "unzip MiB"))
    failed = []
    for name, ours, theirs in cases:
        t_ours, m_ours, t_unzip, m_unzip = measure(ours, theirs, outputs, repeats)
        ratio = t_ours / t_unzip
        print("%-22s %9.4f %9.4f %7.2f %10.1f %10.1f" % (name, t_ours, t_unzip, ratio, m_ours, m_unzip), flush=True)
        if ratio > 1.0:
            failed.append("%s: time ratio %.2f > 1.0" % (name, ratio))
        if name.startswith("1 member") and m_ours >= 32:
            failed.append("%s: peak memory %.1f MiB >= 32 MiB" % (name, m_ours))
    shutil.rmtree(out_root, ignore_errors=True)
    print("targets: ratio <= 1.0 on each case, peak memory < 32 MiB for the 256 MiB member")
    for f in failed:
        print("MISSED " + f)
    if not failed:
        print("all targets met")


main()
