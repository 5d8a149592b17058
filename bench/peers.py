#!/usr/bin/env python3
"""Backs up generated trees with Tresorio's engine, `cp -a` and `rsync -a`, and archives them
with the engine, `zip -r -5` and `7z a -tzip -mx=5`, alternating run by run, and prints for each
the median time, the range, the ratio engine/peer, the peak memory and for archives their size.

    peers.py WORK_FOLDER ENGINE_BINARY

BENCH_RUNS (default 5) sets the runs per tool, BENCH_SETS (default small,large,wide,zip,restore,
sparse,reflink) the sets; the zip set archives a mixed set of about 300 MB, the small and the wide
set; the restore set restores a full backup of the small set beside cp -a of it and lists an archive
of the wide set beside unzip -l and 7z l; the sparse set copies a 10 GiB file with 4 bytes of data; the reflink set copies the large set within a
btrfs image (as root, where mkfs.btrfs is there). The data is generated once (deterministic,
seeded) and kept in WORK_FOLDER/data.
"""

import os
import random
import shutil
import statistics
import subprocess
import sys
import time

WORK, ENGINE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
RUNS = int(os.environ.get("BENCH_RUNS", "5"))
SETS = os.environ.get("BENCH_SETS", "small,large,wide,zip,restore,sparse,reflink").split(",")
# The restore tool is built beside the engine's.
RESTORE = os.path.join(os.path.dirname(ENGINE), "tresorio-bench-restore")
DATA = os.path.join(WORK, "data")
OUT = os.path.join(WORK, "out")
KIB, MIB = 1024, 1024 * 1024


def generate(name, make):
    root = os.path.join(DATA, name)
    done = root + ".done"
    if not os.path.exists(done):
        shutil.rmtree(root, ignore_errors=True)
        print(f"generating the {name} set ...", flush=True)
        make(root, random.Random(name))
        open(done, "w").close()
    return root


def small(root, rng):
    # 20,000 files of 1-16 KiB in a four-level tree: 10 x 10 x 10 folders of 20 files.
    for a in range(10):
        for b in range(10):
            for c in range(10):
                folder = os.path.join(root, f"a{a}", f"b{b}", f"c{c}")
                os.makedirs(folder)
                for f in range(20):
                    with open(os.path.join(folder, f"f{f}.dat"), "wb") as out:
                        out.write(rng.randbytes(rng.randint(1 * KIB, 16 * KIB)))


def large(root, rng):
    # About 1 GiB in 40 files of 7-40 MiB.
    os.makedirs(root)
    for f in range(40):
        with open(os.path.join(root, f"big{f}.bin"), "wb") as out:
            left = rng.randint(7 * MIB, 40 * MIB)
            while left > 0:
                n = min(left, 4 * MIB)
                out.write(rng.randbytes(n))
                left -= n


def wide(root, rng):
    # 200,000 tiny files in 500 folders.
    for d in range(500):
        folder = os.path.join(root, f"d{d:03}")
        os.makedirs(folder)
        for f in range(400):
            with open(os.path.join(folder, f"t{f}.txt"), "wb") as out:
                out.write(rng.randbytes(rng.randint(10, 200)))


def mixed(root, rng):
    # About 300 MB as a workstation has it: text, data that does not shrink, and pictures that
    # are compressed already.
    words = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyzäöü") for _ in range(rng.randint(2, 11)))
             for _ in range(5000)]
    for d in range(20):
        folder = os.path.join(root, f"projekt{d:02}")
        os.makedirs(folder)
        for f in range(60):
            with open(os.path.join(folder, f"notiz{f}.txt"), "w") as out:
                for _ in range(rng.randint(200, 2600)):
                    out.write(" ".join(rng.choices(words, k=12)) + "\n")
        for f in range(3):
            with open(os.path.join(folder, f"messung{f}.bin"), "wb") as out:
                out.write(rng.randbytes(rng.randint(1 * MIB, 3 * MIB)))
        for f in range(5):
            with open(os.path.join(folder, f"foto{f}.png"), "wb") as out:
                out.write(rng.randbytes(rng.randint(200 * KIB, 600 * KIB)))


def measure(command):
    """Wall time in seconds and peak resident memory in MiB of one command. GNU time reports
    the memory: a child of this Python process would count Python's memory as its own."""
    peak_file = os.path.join(WORK, "peak.txt")
    start = time.perf_counter()
    with open(os.path.join(WORK, "stderr.txt"), "wb") as err:
        status = subprocess.call(["/usr/bin/time", "-f", "%M", "-o", peak_file] + command,
                                 stdout=subprocess.DEVNULL, stderr=err)
    elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{command[0]} failed: " + open(os.path.join(WORK, "stderr.txt")).read())
    return elapsed, int(open(peak_file).read().split()[-1]) / 1024


class Counter:
    n = 0

    @classmethod
    def fresh(cls, label):
        # Every run writes into a folder that never existed: a tree deleted just before is slow
        # to create again on this file system.
        cls.n += 1
        return os.path.join(OUT, f"{label}-{os.getpid()}-{cls.n}")


def compare(title, tools):
    """tools: list of (name, make_command). Alternates the tools run by run."""
    results = {name: [] for name, _ in tools}
    for _ in range(RUNS):
        for name, make in tools:
            results[name].append(measure(make()))
    engine = statistics.median(t for t, _ in results["tresorio"])
    print(f"\n{title}")
    print(f"  {'tool':<26}{'median s':>10}{'min-max s':>18}{'engine/tool':>13}{'peak MiB':>10}")
    for name, _ in tools:
        times = [t for t, _ in results[name]]
        median = statistics.median(times)
        ratio = engine / median if median > 0 else float("nan")
        peak = max(m for _, m in results[name])
        print(f"  {name:<26}{median:>10.3f}{min(times):>9.3f}-{max(times):<8.3f}{ratio:>13.2f}{peak:>10.1f}")
    sys.stdout.flush()
    return results


def full_backup(title, source):
    def engine():
        return [ENGINE, "full", source, Counter.fresh("engine"), Counter.fresh("catalogue") + ".db"]

    def cp():
        return ["cp", "-a", source, Counter.fresh("cp")]

    def rsync():
        return ["rsync", "-a", source + "/", Counter.fresh("rsync") + "/"]

    # Tresorio syncs the destination's file system before it reports the files copied; these
    # peers do the same amount of work.
    def cp_sync():
        dst = Counter.fresh("cp-sync")
        return ["sh", "-c", 'cp -a "$0" "$1" && sync -f "$1"', source, dst]

    def rsync_sync():
        dst = Counter.fresh("rsync-sync")
        return ["sh", "-c", 'rsync -a "$0/" "$1/" && sync -f "$1"', source, dst]

    compare(
        title,
        [("tresorio", engine), ("cp -a", cp), ("rsync -a", rsync), ("cp -a; sync -f", cp_sync),
         ("rsync -a; sync -f", rsync_sync)],
    )


def unchanged_incremental(source):
    catalogue = Counter.fresh("catalogue") + ".db"
    measure([ENGINE, "full", source, Counter.fresh("engine-base"), catalogue])
    rsync_target = Counter.fresh("rsync-base")
    measure(["rsync", "-a", source + "/", rsync_target + "/"])

    def engine():
        return [ENGINE, "incremental", source, Counter.fresh("engine-incremental"), catalogue]

    def rsync():
        return ["rsync", "-a", source + "/", rsync_target + "/"]

    def find():
        return ["find", source, "-printf", "%T@ %s\n"]

    compare(
        "wide set, incremental run over the unchanged tree",
        [("tresorio", engine), ("rsync -a (unchanged)", rsync), ("find -printf (one stat/file)", find)],
    )


def archives(title, source):
    """The engine's archive against zip and 7z at level 5; prints the archive sizes too."""
    sizes = {}

    def sized(name, make_command, archive_of):
        def make():
            out = Counter.fresh(name.split()[0])
            sizes.setdefault(name, []).append(archive_of(out))
            return make_command(out)
        return make

    engine = sized("tresorio", lambda out: [ENGINE, "zip", source, out, out + ".db"],
                   lambda out: os.path.join(out, "bench.zip"))
    zip_r = sized("zip -r -5", lambda out: ["sh", "-c", 'cd "$0" && zip -q -r -5 "$1" .', source, out + ".zip"],
                  lambda out: out + ".zip")
    seven = sized("7z a -tzip -mx=5", lambda out: ["7z", "a", "-bd", "-tzip", "-mx=5", out + ".zip", source + "/."],
                  lambda out: out + ".zip")
    compare(title, [("tresorio", engine), ("zip -r -5", zip_r), ("7z a -tzip -mx=5", seven)])
    engine_size = os.path.getsize(sizes["tresorio"][-1])
    for name, paths in sizes.items():
        size = os.path.getsize(paths[-1])
        print(f"  archive of {name:<20}{size / MIB:>10.1f} MiB  engine/tool {engine_size / size:.4f}")
    sys.stdout.flush()


def sparse(root, rng):
    # 10 GiB with 4 bytes of data in its middle.
    os.makedirs(root)
    with open(os.path.join(root, "loecher.img"), "wb") as out:
        out.truncate(10 * 1024 * MIB)
        out.seek(5 * 1024 * MIB)
        out.write(b"abcd")


def allocated(path):
    """Bytes the copies of a tree take on the disk."""
    return int(subprocess.check_output(["du", "-s", "-B1", path]).split()[0])


def sparse_copies(source):
    made = {}

    def kept(name, command):
        def make():
            out = Counter.fresh(name.split()[0])
            made[name] = out
            return command(out)
        return make

    compare("sparse set: one 10 GiB file with 4 bytes of data, full backup",
            [("tresorio", kept("tresorio", lambda out: [ENGINE, "full", source, out, out + ".db"])),
             ("cp -a", kept("cp -a", lambda out: ["cp", "-a", source, out])),
             ("rsync -aS", kept("rsync -aS", lambda out: ["rsync", "-aS", source + "/", out + "/"]))])
    for name, out in made.items():
        print(f"  copy of {name:<22}{allocated(out) / KIB:>10.0f} KiB on the disk")
    sys.stdout.flush()


def reflink_copies(source):
    """Copies within one btrfs file system share their blocks: no time, no space."""
    if os.geteuid() != 0 or shutil.which("mkfs.btrfs") is None:
        print("\nreflink set: skipped (needs root and mkfs.btrfs)")
        return
    image, mount = os.path.join(WORK, "btrfs.img"), os.path.join(WORK, "btrfs")
    os.makedirs(mount, exist_ok=True)
    with open(image, "wb") as out:
        out.truncate(16 * 1024 * MIB)
    subprocess.check_call(["mkfs.btrfs", "-q", "-f", image])
    subprocess.check_call(["mount", "-o", "loop", image, mount])
    try:
        inside = os.path.join(mount, "large")
        subprocess.check_call(["cp", "-a", "--reflink=never", source, inside])
        global OUT
        saved, OUT = OUT, os.path.join(mount, "out")
        os.makedirs(OUT)
        before = shutil.disk_usage(mount).used
        full_backup("reflink set: the large set copied within one btrfs file system", inside)
        print(f"  space the {RUNS * 5} copies took: {(shutil.disk_usage(mount).used - before) / MIB:.0f} MiB")
        OUT = saved
    finally:
        subprocess.call(["umount", mount])
        os.remove(image)


def restores(small_source, wide_source):
    """A restore of a whole folder backup beside cp -a of the same backup, and the listing of an
    archive of 200,000 entries beside unzip -l and 7z l."""
    backup = Counter.fresh("restore-base")
    measure([ENGINE, "full", small_source, backup, Counter.fresh("catalogue") + ".db"])
    compare(
        "small set: 20,000 files restored from a full backup in a folder",
        [("tresorio", lambda: [RESTORE, "folder", small_source, backup, Counter.fresh("restored")]),
         ("cp -a", lambda: ["cp", "-a", backup, Counter.fresh("cp-restored")])],
    )
    archived = Counter.fresh("restore-zip")
    measure([ENGINE, "zip", wide_source, archived, Counter.fresh("catalogue") + ".db"])
    archive = os.path.join(archived, "bench.zip")
    compare(
        "wide set: listing an archive of 200,000 entries",
        [("tresorio", lambda: [RESTORE, "list-zip", wide_source, archived]),
         ("unzip -l", lambda: ["unzip", "-l", archive]),
         ("7z l", lambda: ["7z", "l", archive])],
    )


def main():
    os.makedirs(DATA, exist_ok=True)
    # Destinations are removed only when every set has run: deleting a large tree slows the
    # creation of files for minutes afterwards, and would weigh on the runs that follow.
    shutil.rmtree(OUT, ignore_errors=True)
    os.makedirs(OUT)
    print(f"{RUNS} runs per tool, alternating; times are wall-clock seconds")
    if "small" in SETS:
        full_backup("small set: 20,000 files of 1-16 KiB (about 165 MiB), full backup", generate("small", small))
    if "large" in SETS:
        full_backup("large set: 40 files of 7-40 MiB (about 1 GiB), full backup", generate("large", large))
    if "wide" in SETS:
        source = generate("wide", wide)
        full_backup("wide set: 200,000 tiny files in 500 folders, full backup", source)
        unchanged_incremental(source)
    if "zip" in SETS:
        archives("mixed set: about 300 MB of text, data and pictures, archived at level 5",
                 generate("mixed", mixed))
        archives("small set: 20,000 files of 1-16 KiB that do not shrink, archived at level 5",
                 generate("small", small))
        archives("wide set: 200,000 tiny files in 500 folders, archived at level 5", generate("wide", wide))
    if "restore" in SETS:
        restores(generate("small", small), generate("wide", wide))
    if "sparse" in SETS:
        sparse_copies(generate("sparse", sparse))
    if "reflink" in SETS:
        reflink_copies(generate("large", large))
    shutil.rmtree(OUT, ignore_errors=True)


if __name__ == "__main__":
    main()
