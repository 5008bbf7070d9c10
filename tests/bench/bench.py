#!/usr/bin/env python3
"""usage: bench.py ZIPTOOL YARDSTICK CACHE [REPEATS [OUT_ROOT]] (README); each run extracts into a fresh folder
under OUT_ROOT. Memory from GNU time: a child forked from Python would report Python's, carried across exec."""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile


def make_big(path):  # text-like, so that deflate works as on real files; no two 4 MiB blocks alike
    rng = random.Random(1078)
    words = ("falcon glide voodoo turbo nightjar prefs sound mission wing radar throttle altitude heading 0x3dfx "
             "banshee mendpack").split()
    text = "".join(" ".join(rng.choice(words) if rng.random() < 0.7 else str(rng.randrange(1 << 20))
                            for _ in range(12)) + "\n" for _ in range(70000)).encode()[:4 << 20]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z, z.open("big.bin", "w") as f:
        for i in range(64):
            f.write(b"%08d" % i + text[8:])


def make_many(path):
    rng = random.Random(20000)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for i in range(1, 20001):
            z.writestr("f%05d.txt" % i, ("member %d " % i) * rng.randrange(10, 200) + "\n")


def run(command, folder):
    """Wall time, peak memory (MiB) and processor time of one run into the new folder."""
    os.makedirs(folder)
    os.sync()  # the last run's files written back now, not during this one
    with tempfile.NamedTemporaryFile("r") as usage:
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", "-o", usage.name] +
                              [word.replace("{out}", folder) for word in command], stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE)
        elapsed = time.perf_counter() - start
        shutil.rmtree(folder, ignore_errors=True)
        if done.returncode != 0:
            sys.exit("failed: %s\n%s" % (" ".join(command), done.stderr.decode(errors="replace")))
        kib, user, system = usage.read().split()[-3:]
    return elapsed, int(kib) / 1024.0, float(user) + float(system)


def main():
    ziptool, yardstick, cache = sys.argv[1:4]
    repeats = int(sys.argv[4]) if len(sys.argv) > 4 else 5
    parent = sys.argv[5] if len(sys.argv) > 5 else "/dev/shm" if os.access("/dev/shm", os.W_OK) else "/tmp"
    os.makedirs(parent, exist_ok=True)
    out_root = tempfile.mkdtemp(prefix="mendpack-bench-", dir=parent)  # its own: deleted whole at the end
    os.makedirs(cache, exist_ok=True)
    big, many = os.path.join(cache, "big.zip"), os.path.join(cache, "many.zip")
    for path, make in ((big, make_big), (many, make_many)):
        if not os.path.exists(path):
            make(path + ".tmp")
            os.rename(path + ".tmp", path)
    programs = [[ziptool, "extract", "{zip}", "{out}"], ["bsdtar", "-x", "-f", "{zip}", "-C", "{out}"],
                ["7z", "x", "-y", "-bso0", "-bsp0", "-o{out}", "{zip}"], [yardstick, "{zip}", "{out}"]]
    print("into %s; best of %d runs (worst in brackets), then the least processor time" % (out_root, repeats))
    print("%-21s %17s %17s %17s %17s  /bsd    /7z  /yard  ours MiB" % ("case", "ours", "bsdtar", "7z", "yardstick"))
    failed = []
    for name, archive, names in [("1 member of 256 MiB", big, []), ("20,000 small members", many, []),
                                 ("2 named of 20,000", many, ["f00100.txt", "f19999.txt"])]:
        commands = [[w.replace("{zip}", archive) for w in p] + names for p in programs]
        # Turns, each round started by the next program, so that a burst of load hits all alike.
        runs = []
        while len(runs) < repeats or (len(runs) < 101 and max(r[0] for r in runs[0]) < 0.2):
            order = [(len(runs) + i) % 4 for i in range(4)]
            results = {k: run(commands[k], os.path.join(out_root, "%d-%d" % (len(runs), k))) for k in order}
            runs.append([results[k] for k in range(4)])
        best, cpu = [min(r[k][0] for r in runs) for k in range(4)], [min(r[k][2] for r in runs) for k in range(4)]
        memory = max(r[0][1] for r in runs)
        ratios = [best[0] / b for b in best[1:]]
        print("%-21s %s %6.2f %6.2f %6.2f %6.1f" % (name, " ".join(
            "%7.4f [%7.4f]" % (best[k], max(r[k][0] for r in runs)) for k in range(4)), *ratios, memory))
        print("%-21s %s %6.2f %6.2f %6.2f" % ("  processor time", " ".join("%7.4f %9s" % (c, "") for c in cpu),
                                              *[max(cpu[0], 0.001) / max(c, 0.001) for c in cpu[1:]]), flush=True)
        failed += [name + ": " + text for missed, text in (
            (not names and ratios[0] > 1.0, "%.2f times bsdtar > 1.0" % ratios[0]),
            (archive == big and ratios[2] > 1.1, "%.2f times the yardstick > 1.1" % ratios[2]),
            (memory >= 32, "peak memory %.1f MiB >= 32 MiB" % memory)) if missed]
    shutil.rmtree(out_root, ignore_errors=True)
    print("targets: at most 1.0 times bsdtar on the first two cases, 1.1 times the yardstick on the "
          "256 MiB member, under 32 MiB peak memory")
    print("\n".join("MISSED " + f for f in failed) or "all targets met")


main()
