#!/usr/bin/env python3
"""Measures what the launcher reads from its disc until its window shows and its panel is filled.

  scripts/measure/disc-cost.py [--build DIR] [--single DIR [--page-in]] [--runs N] [--read-ahead KB] [--plain] [--files]
                    [--json FILE] DISC-FOLDER
  scripts/measure/disc-cost.py --wine EXE [--runs N] [--read-ahead KB] [--files] DISC-FOLDER

DISC-FOLDER is a disc made by scripts/make-disc. The launcher cannot mark its own milestones,
so a copy of the disc gets the start-up harness (startup_discstart from DIR/bench, built with
-DDISCSTART_BENCH=ON) bundled in its place by the disc kit, and a folder of its own the bare Qt
window (startup_bare) bundled the same way. With --single, each also comes as one
self-contained file (DIR: the build of scripts/release/linux-build --bench, whose start program it
gets), laid out by scripts/release/single-launcher.py: read whole before it runs, or with --page-in paged
in by the kernel as it runs. Each folder becomes an ISO image as make-disc writes it (the
--build folder's discinfo says where the content lies), and an ext2 image (the kernel here may have no
ISO 9660 driver). Every run gets a fresh read-only loop device with direct I/O and an optical
drive's 128 KiB read-ahead (drop_caches is refused here, and a new device has nothing
cached), and starts the program from there under Xvfb, and under a headless weston where
there is one, once with the machine's Qt hidden (tests/kit/without-qt) and once as it is, while a
private tracing instance records each page the kernel adds to the page cache for that device and
the block reads that fetch directories. Pages are placed on the ISO image (a compressed file's through its zisofs block
pointers), directories on their records, and the reads until each milestone are counted:
bytes, distinct extents and jumps in reading order, with the time a 24x CD (3.6 MB/s) and a
16x DVD (21 MB/s) would need at 0.1 s a seek. Also reports the space the launcher takes.

With --wine, the Windows launcher EXE (discstart.exe) beside the disc's content is started under
Wine instead, on the same kind of device under Xvfb. It marks no milestones: the window counts as
shown when it is mapped, and everything read by 2 s later counts for the filled panel. Wine's
own files are not on the disc and cost nothing here; on Windows the system's files are not either.

Needs root, loop devices and tracefs; where any is missing it says so and exits 0.
Prints a Markdown table; --files adds what each file cost, --json writes the figures (with --wine too).
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tools"))
from disckit import bundle, discinfo, iso, layout  # noqa: E402
import display  # noqa: E402

SECTOR = 2048
PAGE = 4096
READ_AHEAD_KB = 128
# A 24x CD and a 16x DVD; every seek costs about the same on both.
DRIVES = (("24x CD", 3.6e6), ("16x DVD", 21e6))
SEEK_S = 0.1

EVENT = re.compile(r"\s(\d+\.\d+): mm_filemap_add_to_page_cache: dev (\d+):(\d+) ino ([0-9a-f]+) "
                   r"pfn=\S+ ofs=(\d+)(?: order=(\d+))?")
BIO = re.compile(r"\s(\d+\.\d+): block_bio_queue: (\d+),(\d+) R\S* (\d+) \+ (\d+)")
REPORT = re.compile(r"^File data lba:\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*'(.*)'\s*$")


def log(message):
    print(f"disc-cost: {message}", file=sys.stderr, flush=True)


# ---- what the trace and the image say, and what it costs (no system access below) ----

ZISOFS_MAGIC = bytes.fromhex("37e45396c9dbd607")


@dataclass
class Extent:
    lba: int      # first sector on the image
    sectors: int
    size: int     # bytes of the file in this extent (uncompressed for zisofs)


def parse_layout(report):
    """Files on the ISO image from `xorriso -find / -exec report_lba --`: path -> extents."""
    layout = {}
    for line in report.splitlines():
        found = REPORT.match(line)
        if found:
            _, lba, sectors, size, path = found.groups()
            layout.setdefault(path.lstrip("/").replace("'\"'\"'", "'"), []).append(
                Extent(int(lba), int(sectors), int(size)))
    return layout


def u32(data, at):
    return int.from_bytes(data[at:at + 4], "little")


class PlainFile:
    """A file stored as it is: a page is the sectors under it."""

    def __init__(self, extents):
        self.extents = extents

    def sectors(self, offset, length):
        runs, file_start = [], 0
        for extent in self.extents:
            lo, hi = max(offset, file_start), min(offset + length, file_start + extent.size)
            if lo < hi:
                runs.append((extent.lba + (lo - file_start) // SECTOR,
                             extent.lba + (hi - file_start + SECTOR - 1) // SECTOR))
            file_start += extent.size
        return runs


class ZisofsFile:
    """A zisofs-compressed file: a page costs the compressed block holding it and the block's
    pointers (the kernel fills every page of a block from one read)."""

    def __init__(self, lba, head):
        self.lba = lba
        self.header = head[12] * 4
        self.shift = head[13]
        size = u32(head, 8)
        blocks = (size + (1 << self.shift) - 1) >> self.shift
        self.pointers = [u32(head, self.header + 4 * k) for k in range(blocks + 1)]

    @staticmethod
    def table_bytes(head):
        size, shift = u32(head, 8), head[13]
        return head[12] * 4 + 4 * (((size + (1 << shift) - 1) >> shift) + 1)

    def sectors(self, offset, length):
        runs = []
        for block in range(offset >> self.shift, ((offset + max(length, 1) - 1) >> self.shift) + 1):
            if block + 1 >= len(self.pointers):
                continue
            at = self.header + 4 * block
            runs.append((self.lba + at // SECTOR, self.lba + (at + 8 + SECTOR - 1) // SECTOR))
            begin, end = self.pointers[block], self.pointers[block + 1]
            if end > begin:  # a block of zeros is stored as nothing
                runs.append((self.lba + begin // SECTOR, self.lba + (end + SECTOR - 1) // SECTOR))
        return runs


def iso_directories(read_sectors):
    """Directory extents of the image's Rock Ridge tree: path -> (lba, sectors). `read_sectors(lba,
    count)` gives the image's bytes."""
    def name_of(record):
        used = 33 + record[32] + (1 - record[32] % 2)
        at = used
        while at + 4 <= len(record):
            signature, length = record[at:at + 2], record[at + 2]
            if length < 4:
                break
            if signature == b"NM":
                return record[at + 5:at + length].decode(errors="replace")
            at += length
        return record[33:33 + record[32]].decode(errors="replace").split(";")[0]

    directories = {}

    def walk(lba, size, path):
        count = (size + SECTOR - 1) // SECTOR
        directories[path] = (lba, count)
        data, at = read_sectors(lba, count), 0
        while at < len(data):
            length = data[at]
            if length == 0:
                at = (at // SECTOR + 1) * SECTOR
                continue
            record = data[at:at + length]
            at += length
            if record[32] == 1 and record[33] in (0, 1):
                continue  # . and ..
            if record[25] & 2:
                walk(u32(record, 2), u32(record, 10), f"{path}/{name_of(record)}".lstrip("/"))

    volume = read_sectors(16, 1)
    root = volume[156:156 + 34]
    walk(u32(root, 2), u32(root, 10), "")
    return directories


@dataclass
class PageRead:
    seconds: float  # on CLOCK_MONOTONIC
    inode: int
    offset: int     # in the file
    length: int


def parse_trace(text, device, directory_blocks, block_size=4096):
    """What was read from `device` ("major:minor"), in the order it came: the pages added to
    the page cache, and the directories, which the file system reads past it (a read of one of
    `directory_blocks`, block -> inode, becomes a read of that directory's inode)."""
    reads = []
    for line in text.splitlines():
        found = EVENT.search(line)
        if found and f"{found.group(2)}:{found.group(3)}" == device:
            order = int(found.group(6) or 0)
            reads.append(PageRead(float(found.group(1)), int(found.group(4), 16), int(found.group(5)),
                                  PAGE << order))
            continue
        found = BIO.search(line)
        if found and f"{found.group(2)}:{found.group(3)}" == device:
            first = int(found.group(4)) * 512 // block_size
            last = (int(found.group(4)) + max(int(found.group(5)), 1)) * 512 // block_size
            for block in range(first, max(last, first + 1)):
                if block in directory_blocks:
                    reads.append(PageRead(float(found.group(1)), directory_blocks[block], 0, 0))
    reads.sort(key=lambda r: r.seconds)
    return reads


@dataclass
class Cost:
    bytes: int = 0
    extents: int = 0
    jumps: int = 0
    per_file: dict = field(default_factory=dict)  # path -> bytes

    def seconds(self, rate, seeks):
        return self.bytes / rate + seeks * SEEK_S


def cost_of(reads, paths, files, until=None):
    """What the reads up to `until` cost on the image. `paths` maps inodes to paths, `files`
    paths to a PlainFile, a ZisofsFile or a directory's (lba, sectors). A sector is read once:
    the page cache and the kernel's buffer cache keep it. A jump is every read that does not
    start where the one before ended, the first included; the extents are the distinct runs of
    sectors read."""
    cost, done, head = Cost(), set(), None
    for read in reads:
        if until is not None and read.seconds > until:
            break
        path = paths.get(read.inode)
        where = files.get(path)
        if where is None:
            continue
        if isinstance(where, tuple):
            runs, path = [(where[0], where[0] + where[1])], path + "/"
        else:
            runs = where.sectors(read.offset, read.length)
        for first, end in runs:
            fresh = [sector for sector in range(first, end) if sector not in done]
            if not fresh:
                continue
            if head != fresh[0]:
                cost.jumps += 1
            head = fresh[-1] + 1
            done.update(fresh)
            cost.per_file[path] = cost.per_file.get(path, 0) + len(fresh) * SECTOR
    cost.bytes = len(done) * SECTOR
    cost.extents = sum(1 for sector in done if sector - 1 not in done)
    return cost


def parse_report(text):
    """The harness's key=value line."""
    return dict(item.split("=", 1) for item in text.split() if "=" in item)


# ---- the machine: loop devices, tracing, X ----

TRACEFS = Path("/sys/kernel/tracing")


def why_not_here():
    """Why this machine cannot measure, or None."""
    if os.geteuid() != 0:
        return "needs root (loop devices, mounts, tracing)"
    for tool in ("losetup", "mkfs.ext2", "debugfs", "mount", "xorriso", "Xvfb", "patchelf"):
        if not shutil.which(tool):
            return f"{tool} is missing (scripts/deps kit x11, e2fsprogs)"
    if not Path("/dev/loop-control").exists():
        return "no loop devices here"
    if not (TRACEFS / "instances").is_dir():
        subprocess.run(["mount", "-t", "tracefs", "nodev", str(TRACEFS)], capture_output=True)
    if not (TRACEFS / "events/filemap/mm_filemap_add_to_page_cache").is_dir():
        return "no tracefs with the filemap events here"
    probe = subprocess.run(["losetup", "-f"], capture_output=True, text=True)
    if probe.returncode != 0:
        return "no free loop device: " + probe.stderr.strip()
    return None


class Tracing:
    """A private tracing instance recording page-cache additions and block reads on one device."""

    EVENTS = (("filemap/mm_filemap_add_to_page_cache", "s_dev"), ("block/block_bio_queue", "dev"))

    def __init__(self, device_number):
        self.folder = TRACEFS / "instances" / f"disc-cost-{os.getpid()}"
        self.device_number = device_number

    def __enter__(self):
        self.folder.mkdir()
        (self.folder / "trace_clock").write_text("mono")
        (self.folder / "buffer_size_kb").write_text("16384")
        for event, key in self.EVENTS:
            (self.folder / "events" / event / "filter").write_text(f"{key} == {self.device_number}")
            (self.folder / "events" / event / "enable").write_text("1")
        (self.folder / "tracing_on").write_text("1")
        return self

    def text(self):
        (self.folder / "tracing_on").write_text("0")
        return (self.folder / "trace").read_text(errors="replace")

    def __exit__(self, *exc):
        for event, _ in self.EVENTS:
            (self.folder / "events" / event / "enable").write_text("0")
        self.folder.rmdir()


class LoopMount:
    """An image on a fresh read-only loop device, mounted read-only: nothing of it is cached."""

    def __init__(self, image, mount_point, read_ahead_kb):
        self.image, self.mount_point, self.read_ahead_kb = image, mount_point, read_ahead_kb

    def __enter__(self):
        out = subprocess.run(["losetup", "-r", "--direct-io=on", "-f", "--show", str(self.image)],
                             check=True, capture_output=True, text=True)
        self.device = out.stdout.strip()
        name = Path(self.device).name
        Path(f"/sys/block/{name}/queue/read_ahead_kb").write_text(str(self.read_ahead_kb))
        rdev = os.stat(self.device).st_rdev
        self.major, self.minor = os.major(rdev), os.minor(rdev)
        subprocess.run(["mount", "-t", "ext2", "-o", "ro", self.device, str(self.mount_point)], check=True)
        return self

    def kernel_dev(self):
        return (self.major << 20) | self.minor

    def __exit__(self, *exc):
        subprocess.run(["umount", str(self.mount_point)], check=False)
        subprocess.run(["losetup", "-d", self.device], check=False)


# ---- the discs ----

@dataclass
class Disc:
    image: Path   # the folder as an ext2 image, to run from
    files: dict   # path -> PlainFile, ZisofsFile or a directory's (lba, sectors) on the ISO image


def iso_report(iso):
    return subprocess.run(["xorriso", "-indev", str(iso), "-find", "/", "-exec", "report_lba", "--"],
                          check=True, capture_output=True, text=True).stdout


def iso_files(iso):
    report = iso_report(iso)
    with open(iso, "rb") as image:
        def read_sectors(lba, count):
            image.seek(lba * SECTOR)
            return image.read(count * SECTOR)

        files = dict(iso_directories(read_sectors))
        for path, extents in parse_layout(report).items():
            head = read_sectors(extents[0].lba, 1)
            if len(extents) == 1 and head.startswith(ZISOFS_MAGIC):
                head = read_sectors(extents[0].lba, (ZisofsFile.table_bytes(head) + SECTOR - 1) // SECTOR)
                files[path] = ZisofsFile(extents[0].lba, head)
            else:
                files[path] = PlainFile(extents)
    return files


def make_disc(program, folder, work, plain, build):
    """Bundles `program` into `folder` as make-disc does, and writes the ISO and ext2 images."""
    bundle.bundle(program, folder, build / "src/start/disc_start")
    return make_image(folder, work, build, plain)


def make_single_disc(start, host, single, folder, work, plain, page_in, build):
    """Puts `single`, the self-contained launcher, into `folder` beside `host` for the machine's Qt."""
    subprocess.run([str(ROOT / "scripts/release/single-launcher.py")] + (["--page-in"] if page_in else []) +
                   [str(start), str(host), str(single), str(folder)], check=True)
    return make_image(folder, work, build, plain)


# What make-disc bundles beside the content; the older layout's names too.
BUNDLED = {name.rstrip("/") for name in layout.LINUX_FILES} - {layout.AUTORUN_SH} | {"linux", "qt.conf"}


def write_iso(folder, image, build, plain=False):
    """The ISO image make-disc writes of the folder, its content laid out as discinfo reports it."""
    report = discinfo.describe(build / "src/cli/discinfo", [folder])[0]
    iso.write(folder, image, iso.content_order(report, str(folder)), compress=not plain)


def content_copy(disc, target):
    """The disc's own content, without the launcher make-disc bundled into it."""
    target.mkdir()
    for item in disc.iterdir():
        if item.name in BUNDLED:
            continue
        if item.is_dir():
            shutil.copytree(item, target / item.name, symlinks=True)
        else:
            shutil.copy2(item, target / item.name)


def launcher_space(disc, work, build):
    """Bytes the launcher takes beside the content: on the ISO image make-disc writes, and as a
    folder."""
    image = work / "space.iso"
    write_iso(disc, image, build)
    on_image = sum(e.sectors * SECTOR for path, extents in parse_layout(iso_report(image)).items()
                   if path.split("/")[0] in BUNDLED for e in extents)
    image.unlink()
    in_folder = sum(f.stat().st_size for name in BUNDLED if (disc / name).exists()
                    for f in ([disc / name] if (disc / name).is_file() else (disc / name).rglob("*")) if f.is_file())
    return {"image": on_image, "folder": in_folder}


def run_once(disc, hide_qt, session, with_folder, work, read_ahead_kb=READ_AHEAD_KB):
    mount_point = work / "mnt"
    mount_point.mkdir(exist_ok=True)
    with LoopMount(disc.image, mount_point, read_ahead_kb) as loop:
        runtime = work / "runtime"
        runtime.mkdir(mode=0o700, exist_ok=True)
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(work), "XDG_RUNTIME_DIR": str(runtime),
               "LANG": "C.UTF-8", **session}
        command = [str(mount_point / "discstart")] + ([str(mount_point)] if with_folder else [])
        if hide_qt:
            command = [str(ROOT / "tests/kit/without-qt")] + command
        with Tracing(loop.kernel_dev()) as tracing:
            env["DISCSTART_LAUNCH_NS"] = str(time.clock_gettime_ns(time.CLOCK_MONOTONIC))
            out = subprocess.run(command, env=env, cwd=str(mount_point), capture_output=True, text=True,
                                 timeout=120)
            trace = tracing.text()
        # Only now: walking the folder reads its directories.
        paths = {mount_point.stat().st_ino: ""}
        for item in mount_point.rglob("*"):
            paths[item.stat().st_ino] = str(item.relative_to(mount_point))
        directories = [ino for ino, path in paths.items() if (mount_point / path).is_dir()]
        report = parse_report(out.stdout)
        if out.returncode != 0 or "shown_ms" not in report:
            raise RuntimeError(f"{' '.join(command)} failed ({out.returncode}): {out.stdout} {out.stderr}")
        started = int(env["DISCSTART_LAUNCH_NS"]) / 1e9
        reads = parse_trace(trace, f"{loop.major}:{loop.minor}", directory_blocks(disc.image, directories))
        costs = {"window": cost_of(reads, paths, disc.files, started + float(report["shown_ms"]) / 1e3)}
        if "panel_ms" in report:
            costs["panel"] = cost_of(reads, paths, disc.files, started + float(report["panel_ms"]) / 1e3)
        return costs


def directory_blocks(image, inodes):
    """Which blocks of the ext2 image hold which directory: block -> inode."""
    script = "".join(f"blocks <{inode}>\n" for inode in inodes)
    out = subprocess.run(["debugfs", "-f", "-", str(image)], input=script, capture_output=True, text=True).stdout
    blocks, current = {}, iter(inodes)
    for line in out.splitlines():
        if line.startswith("debugfs:"):
            inode = next(current, None)
            continue
        for block in line.split():
            if block.isdigit() and inode is not None:
                blocks[int(block)] = inode
    return blocks


def make_image(folder, work, build, plain=False):
    """The folder as make-disc writes it (ISO image) and as it is run from here (ext2 image)."""
    iso_image = work / (folder.name + ".iso")
    write_iso(folder, iso_image, build, plain)
    image = work / (folder.name + ".ext2")
    size = sum(f.stat().st_size for f in folder.rglob("*") if f.is_file() and not f.is_symlink())
    blocks = size // 4096 * 11 // 10 + 4096
    subprocess.run(["mkfs.ext2", "-q", "-F", "-b", "4096", "-d", str(folder), str(image), str(blocks)],
                   check=True, stdout=subprocess.DEVNULL)
    return Disc(image, iso_files(iso_image))


WINE = str(display.WINE)
SETTLED_S = 2.0


def run_wine_once(disc, env, work, read_ahead_kb):
    mount_point = work / "mnt"
    mount_point.mkdir(exist_ok=True)
    with LoopMount(disc.image, mount_point, read_ahead_kb) as loop:
        with Tracing(loop.kernel_dev()) as tracing:
            process = subprocess.Popen([WINE, str(mount_point / "discstart.exe")], cwd=str(mount_point), env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                display.wait_for_window(process, env)
                shown = time.monotonic()
                time.sleep(SETTLED_S)
            finally:
                process.kill()
                process.wait()
                subprocess.run([str(display.WINESERVER), "-k"], env=env, check=False)
            trace = tracing.text()
        paths = {mount_point.stat().st_ino: ""}
        for item in mount_point.rglob("*"):
            paths[item.stat().st_ino] = str(item.relative_to(mount_point))
        directories = [ino for ino, path in paths.items() if (mount_point / path).is_dir()]
        reads = parse_trace(trace, f"{loop.major}:{loop.minor}", directory_blocks(disc.image, directories))
        return {"window": cost_of(reads, paths, disc.files, shown),
                "panel": cost_of(reads, paths, disc.files, shown + SETTLED_S)}


def measure_wine(disc, exe, runs, work, read_ahead_kb, build):
    if not shutil.which("xdotool") or not Path(WINE).exists():
        raise SystemExit("disc-cost: --wine needs wine64 and xdotool (scripts/deps windows x11)")
    folder = work / "windows"
    content_copy(disc, folder)
    for name in ("discstart.exe", "discstart.ico", "autorun.inf"):
        (folder / name).unlink(missing_ok=True)
    shutil.copy2(exe, folder / "discstart.exe")
    made = make_image(folder, work, build)
    results = []
    with display.Xvfb() as server:
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(work), "LANG": "C.UTF-8",
               "WINEPREFIX": str(work / "wineprefix"), "WINEDEBUG": "-all", **server.environment()}
        subprocess.run([WINE, "wineboot", "--init"], env=env, capture_output=True)
        subprocess.run([str(display.WINESERVER), "-w"], env=env, check=False)
        samples = []
        for _ in range(runs):
            # The first start from a disc: discstart.exe unpacks its window program again.
            display.forget_unpacked(work / "wineprefix")
            samples.append(run_wine_once(made, env, work, read_ahead_kb))
        again = run_wine_once(made, env, work, read_ahead_kb)
    for milestone in samples[0]:
        ordered = sorted(samples, key=lambda s: s[milestone].jumps)
        results.append(("X (Wine)", "discstart.exe", "-", milestone, ordered[len(ordered) // 2][milestone]))
    for milestone in again:
        results.append(("X (Wine)", "discstart.exe, started again", "-", milestone, again[milestone]))
    return results


def without_qt_works():
    return subprocess.run([str(ROOT / "tests/kit/without-qt"), "true"], capture_output=True).returncode == 0


def measure(disc, build, runs, work, read_ahead_kb, plain, single=None, page_in=False):
    harness, bare = build / "bench/startup_discstart", build / "bench/startup_bare"
    programs = [harness, bare]
    if single:
        start = single / "src/start/disc_start"
        programs += [single / "bench/startup_discstart", single / "bench/startup_bare", start]
    for program in programs:
        if not os.access(program, os.X_OK):
            raise SystemExit(f"disc-cost: no {program} (configure {build} with -DDISCSTART_BENCH=ON and build it, "
                             "or scripts/release/linux-build --bench)")
    launcher_disc, bare_disc = work / "launcher", work / "bare"
    content_copy(disc, launcher_disc)
    bare_disc.mkdir()
    cases = [("launcher", make_disc(harness, launcher_disc, work, plain, build), True),
             ("bare Qt window", make_disc(bare, bare_disc, work, plain, build), False)]
    if single:
        one_launcher, one_bare = work / "one-launcher", work / "one-bare"
        content_copy(disc, one_launcher)
        one_bare.mkdir()
        cases += [("launcher, one file", make_single_disc(start, harness, programs[2], one_launcher, work, plain,
                                                          page_in, build), True),
                  ("bare Qt window, one file", make_single_disc(start, bare, programs[3], one_bare, work, plain,
                                                                page_in, build), False)]
    machines = [("hidden", True), ("present", False)] if without_qt_works() else [("present", False)]
    if len(machines) == 1:
        log("cannot hide this machine's Qt here: measuring with it only")
    servers = [("X", display.Xvfb())]
    if shutil.which("weston"):
        servers.append(("Wayland", display.Weston("disc-cost")))
    results = []
    for system, server in servers:
        with server:
            for name, made, with_folder in cases:
                for qt, hide in machines:
                    samples = [run_once(made, hide, server.environment(), with_folder, work, read_ahead_kb)
                               for _ in range(runs)]
                    for milestone in samples[0]:
                        ordered = sorted(samples, key=lambda s: s[milestone].jumps)
                        results.append((system, name, qt, milestone, ordered[len(ordered) // 2][milestone]))
                    log(f"{system}, {name}, machine's Qt {qt}: done")
    return results


def megabytes(count):
    return f"{count / 1e6:.2f}"


def table(results):
    lines = ["| window system | program | machine's Qt | until | MB read | extents | jumps | "
             + " | ".join(f"{drive}, per extent | {drive}, per jump" for drive, _ in DRIVES) + " |",
             "|---|---|---|---|---|---|---|" + "---|---|" * len(DRIVES)]
    for system, name, qt, milestone, cost in results:
        times = " | ".join(f"{cost.seconds(rate, cost.extents):.2f} s | {cost.seconds(rate, cost.jumps):.2f} s"
                           for _, rate in DRIVES)
        lines.append(f"| {system} | {name} | {qt} | {milestone} | {megabytes(cost.bytes)} | {cost.extents} | "
                     f"{cost.jumps} | {times} |")
    return lines


def file_table(results):
    lines = []
    for system, name, qt, milestone, cost in results:
        if milestone != "panel" and name != "bare Qt window":
            continue
        lines += ["", f"{system}, {name}, machine's Qt {qt}, until the {milestone}:", "", "| file | MB read |",
                  "|---|---|"]
        for path, count in sorted(cost.per_file.items(), key=lambda item: -item[1]):
            lines.append(f"| {path} | {megabytes(count)} |")
    return lines


def write_json(path, results, extra=None):
    figures = dict(extra or {})
    figures["results"] = [{"windows": system, "program": name, "qt": qt, "until": milestone, "bytes": cost.bytes,
                           "extents": cost.extents, "jumps": cost.jumps}
                          for system, name, qt, milestone, cost in results]
    path.write_text(json.dumps(figures, indent=1))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("disc", type=Path)
    parser.add_argument("--build", type=Path, default=ROOT / "build-bench")
    parser.add_argument("--single", type=Path, metavar="DIR", help="also the self-contained launcher of this build")
    parser.add_argument("--page-in", action="store_true", help="the self-contained launcher paged in as it runs")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--read-ahead", type=int, default=READ_AHEAD_KB, metavar="KB",
                        help="the drive's read-ahead (0: only the pages the program touches)")
    parser.add_argument("--plain", action="store_true", help="measure an image without compressed files")
    parser.add_argument("--files", action="store_true", help="also list the bytes read from each file")
    parser.add_argument("--json", type=Path, help="also write the figures to this file")
    parser.add_argument("--wine", type=Path, metavar="EXE", help="measure this Windows launcher under Wine")
    args = parser.parse_args()
    if args.wine:
        reason = why_not_here()
        if reason:
            log(f"skipped: {reason}")
            return 0
        with tempfile.TemporaryDirectory(prefix="disc-cost-") as folder:
            results = measure_wine(args.disc.resolve(), args.wine.resolve(), args.runs, Path(folder),
                                   args.read_ahead, args.build.resolve())
        print("\n".join(table(results) + (file_table(results) if args.files else [])))
        if args.json:
            write_json(args.json, results)
        return 0
    if not (args.disc / "discstart").is_file():
        raise SystemExit(f"disc-cost: {args.disc} holds no launcher (make it with scripts/make-disc)")
    reason = why_not_here()
    if reason:
        log(f"skipped: {reason}")
        return 0
    with tempfile.TemporaryDirectory(prefix="disc-cost-") as folder:
        results = measure(args.disc.resolve(), args.build.resolve(), args.runs, Path(folder), args.read_ahead,
                          args.plain, args.single.resolve() if args.single else None, args.page_in)
        space = launcher_space(args.disc.resolve(), Path(folder), args.build.resolve())
        one = launcher_space(Path(folder) / "one-launcher", Path(folder), args.build.resolve()) if args.single else None
    lines = table(results) + ["", f"The launcher takes {megabytes(space['image'])} MB of the ISO image beside the "
                                  f"content ({megabytes(space['folder'])} MB as a folder)."]
    if one:
        lines[-1] += (f" As one file, it takes {megabytes(one['image'])} MB of the image "
                      f"({megabytes(one['folder'])} MB as a folder).")
    if args.files:
        lines += file_table(results)
    print("\n".join(lines))
    if args.json:
        write_json(args.json, results, {"space": space, "spaceOneFile": one})
    return 0


if __name__ == "__main__":
    sys.exit(main())
