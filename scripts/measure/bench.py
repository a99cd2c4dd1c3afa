#!/usr/bin/env python3
"""Measures discstart on this machine and writes BENCHMARKS.md.

  scripts/measure/bench.py [--runs N] [--out FILE] [--no-build] [--windows-only]

Installs what it needs (Debian), builds two release folders (text page engine:
build-bench/, WebEngine: build-bench-web/), then measures, alternating the commands
within each table so that the machine's noise falls on all of them alike:
  - the start-up harness against a bare Qt window, offscreen and under Xvfb;
  - discinfo against mediainfo and ffprobe: wall time, and read calls and bytes read on
    the movie as strace sees them;
  - the readers and the panel under Google Benchmark;
  - today's films (MP4, Matroska, WebM) layout by layout: what discinfo reads of each, and discinfo
    against mediainfo and ffprobe on them (bench/film_bench.py; `--films` measures this alone and
    replaces its section of the file);
  - the Windows launcher under Wine, when build-windows/ holds it: start to window against the
    Linux launcher, what it reads from a disc and what each size option saves (scripts/measure/wine-startup.py,
    scripts/measure/disc-cost.py --wine, scripts/measure/windows-sizes.py); --windows-only measures this alone and
    replaces only its section;
  - what a disc made from examples/disc costs to start from a CD or DVD (scripts/measure/disc-cost.py; needs
    root, loop devices and tracing, skipped otherwise).
"""
import argparse
import json
import os
import platform
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
MEASURE = ROOT / "scripts" / "measure"
sys.path.insert(0, str(ROOT / "bench"))
sys.path.insert(0, str(ROOT / "tools"))
import film_bench  # noqa: E402
import display  # noqa: E402

TEXT_BUILD = ROOT / "build-bench"
# The self-contained Linux launcher's build (scripts/release/linux-build --bench), measured beside the bundle.
SINGLE_BUILD = ROOT / "build-linux-static"
ONE_FILE = "discinfo, one file"
WEB_BUILD = ROOT / "build-bench-web"
DISC = ROOT / "examples" / "disc"
DATA = ROOT / "tests" / "data"
SCREEN = "1024x768x24"


def log(message):
    print(f"bench: {message}", file=sys.stderr, flush=True)


def run(command, **options):
    return subprocess.run(command, check=True, **options)


def build(windows_only=False):
    run([str(ROOT / "scripts" / "deps"), "build", "bench", "x11", "media", "kit"] +
        ([] if windows_only else ["webengine"]))
    folders = [
        ("bench", TEXT_BUILD, ["reader_bench", "launch", "startup_discstart", "startup_bare", "discinfo",
                               "discinfo_check", "discstart", "disc_start"]),
        ("bench-web", WEB_BUILD, ["startup_discstart"]),
    ]
    if windows_only:  # the Linux launcher to start beside discstart.exe
        folders = [("bench", TEXT_BUILD, ["discstart"])]
    for preset, folder, targets in folders:
        log(f"building {folder.name}")
        run(["cmake", "--preset", preset], cwd=ROOT, stdout=subprocess.DEVNULL)
        run(["cmake", "--build", str(folder), "--parallel", "2", "--target", *targets],
            stdout=subprocess.DEVNULL)


def median(values):
    return statistics.median(values) if values else float("nan")


def quiet_env(extra=None):
    env = dict(os.environ)
    for name in ("QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    runtime = Path(tempfile.gettempdir()) / f"discstart-bench-runtime-{os.getuid()}"
    runtime.mkdir(mode=0o700, exist_ok=True)
    env.update({
        "XDG_RUNTIME_DIR": str(runtime),
        "QT_LOGGING_RULES": "qt.webenginecontext.info=false",
        "QTWEBENGINE_CHROMIUM_FLAGS": "--no-sandbox --log-level=3",
        "LC_ALL": "C.UTF-8",
    })
    env.update(extra or {})
    return env


def start_once(program, env):
    launcher = TEXT_BUILD / "bench" / "launch"
    out = subprocess.run([str(launcher), str(program), str(DISC)], env=env, capture_output=True, text=True,
                         timeout=60)
    fields = dict(item.split("=", 1) for item in out.stdout.split() if "=" in item)
    if out.returncode != 0 or "shown_ms" not in fields or fields.get("clock") != "launcher":
        raise RuntimeError(f"{program} failed: {out.stdout} {out.stderr}")
    return fields


def measure_startup(runs):
    variants = [
        ("bare Qt window", TEXT_BUILD / "bench" / "startup_bare"),
        ("discstart, text engine", TEXT_BUILD / "bench" / "startup_discstart"),
        ("discstart, WebEngine", WEB_BUILD / "bench" / "startup_discstart"),
    ]
    results = {}
    for system in ("offscreen", "Xvfb"):
        log(f"start-up under {system}")
        samples = {name: [] for name, _ in variants}
        if system == "offscreen":
            env, server = quiet_env({"QT_QPA_PLATFORM": "offscreen"}), None
        else:
            server = display.Xvfb(SCREEN).__enter__()
            env = quiet_env({"QT_QPA_PLATFORM": "xcb", **server.environment()})
        try:
            for name, program in variants:
                start_once(program, env)  # warm the cache
            for _ in range(runs):
                for name, program in variants:
                    samples[name].append(start_once(program, env))
        finally:
            if server:
                server.__exit__()
        results[system] = samples
    return results


def strace_reads(command, movie):
    """Read calls and bytes read on the movie file, whole process tree."""
    with tempfile.NamedTemporaryFile(suffix=".strace") as trace:
        run(["strace", "-f", "-qq", "-y", "-e", "trace=read,pread64,readv,preadv,preadv2,mmap",
             "-o", trace.name, *command], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        text = Path(trace.name).read_text(errors="replace")
    target = str(Path(movie).resolve())
    calls = total = 0
    pattern = re.compile(r"^(?:\d+\s+)?(\w+)\((\d+)<([^>]*)>.*\)\s+=\s+(-?\d+)", re.M)
    for call, _fd, path, result in pattern.findall(text):
        if path != target:
            continue
        if call == "mmap":
            calls += 1  # a mapping reads on demand: count it, its bytes are unknown
            continue
        calls += 1
        total += max(int(result), 0)
    return calls, total


def make_big_movie(folder):
    # A 1 GiB+ movie without writing a gigabyte: an AVI with a sparse tail.
    big = Path(folder) / "big-sparse.avi"
    shutil.copyfile(DATA / "avi-xvid-mp3.avi", big)
    os.truncate(big, 1100 * 1024 * 1024)
    return big


def measure_tools(runs, movies):
    tools = [
        ("discinfo", [str(TEXT_BUILD / "src" / "cli" / "discinfo")]),
        ("mediainfo", ["mediainfo"]),
        ("ffprobe", ["ffprobe", "-v", "quiet", "-show_format", "-show_streams"]),
    ]
    # discinfo as one file, Qt linked in (scripts/release/linux-build): no libraries to bind at start.
    single = SINGLE_BUILD / "src" / "cli" / "discinfo"
    if single.exists():
        tools.insert(1, (ONE_FILE, [str(single)]))
    env = quiet_env()
    results = []
    for label, movie in movies:
        log(f"discinfo, mediainfo and ffprobe on {movie.name}")
        times = {name: [] for name, _ in tools}
        for name, command in tools:
            run([*command, str(movie)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        for _ in range(runs):
            for name, command in tools:
                began = time.perf_counter_ns()
                subprocess.run([*command, str(movie)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               env=env, check=True)
                times[name].append((time.perf_counter_ns() - began) / 1e6)
        reads = {name: strace_reads([*command, str(movie)], movie) for name, command in tools}
        results.append((label, movie, {name: median(times[name]) for name, _ in tools}, reads))
    return results


def measure_readers(runs, folder):
    log("readers and panel under Google Benchmark")
    out = Path(folder) / "readers.json"
    run([str(TEXT_BUILD / "bench" / "reader_bench"), f"--benchmark_repetitions={runs}",
         "--benchmark_min_time=0.02", "--benchmark_report_aggregates_only=true",
         f"--benchmark_out={out}", "--benchmark_out_format=json"], stdout=subprocess.DEVNULL)
    rows = {}
    for entry in json.loads(out.read_text())["benchmarks"]:
        if entry.get("aggregate_name") != "median":
            continue
        reader, movie = entry["run_name"].split("/", 1)
        scale = {"ns": 1e-3, "us": 1, "ms": 1e3}[entry["time_unit"]]
        rows.setdefault(movie, {})[reader] = {
            "us": entry["real_time"] * scale, "opens": entry["opens"], "reads": entry["reads"],
            "bytes": entry["bytes"]}
    return rows


def measure_disc(folder):
    """The disc-cost table and figures, or None with the reason it could not be measured."""
    log("what a disc costs (make-disc, disc-cost)")
    disc, figures = Path(folder) / "disc", Path(folder) / "disc-cost.json"
    env = dict(os.environ, DISCSTART_BUILD=str(TEXT_BUILD))
    made = subprocess.run([str(ROOT / "scripts/make-disc"), str(DISC / "film.avi"), "--cover", str(DISC / "cover.jpg"),
                           "--page", str(DISC / "intro.htm"), "--linux-only", str(disc)], env=env, capture_output=True,
                          text=True)
    if made.returncode != 0:
        return None, "make-disc failed: " + made.stderr.strip()
    single = ["--single", str(SINGLE_BUILD)] if (SINGLE_BUILD / "bench/startup_discstart").exists() else []
    out = subprocess.run([str(MEASURE / "disc-cost.py"), "--build", str(TEXT_BUILD), "--json", str(figures)] +
                         single + [str(disc)], capture_output=True, text=True)
    if out.returncode != 0 or not figures.exists():
        return None, (out.stderr.strip().splitlines() or ["disc-cost failed"])[-1]
    return (out.stdout.strip().splitlines(), json.loads(figures.read_text())), None


WINDOWS_EXE = ROOT / "build-windows" / "src" / "app" / "discstart.exe"


def measure_windows():
    """The Windows launcher under Wine: its start against the Linux launcher's, what it reads from a
    disc, and what each size option saves. Lines of Markdown and figures, or None with the reason."""
    if not WINDOWS_EXE.exists():
        return None, f"no {WINDOWS_EXE.relative_to(ROOT)} (scripts/release/windows-build)"
    log("the Windows launcher under Wine (wine-startup, disc-cost --wine, windows-sizes)")
    startup = subprocess.run([str(MEASURE / "wine-startup.py"), str(TEXT_BUILD / "src/app/discstart"),
                              str(WINDOWS_EXE)], capture_output=True, text=True)
    if startup.returncode != 0:
        return None, (startup.stderr.strip().splitlines() or ["wine-startup failed"])[-1]
    with tempfile.TemporaryDirectory(prefix="discstart-wine-") as folder:
        figures_file = Path(folder) / "disc.json"
        disc = subprocess.run([str(MEASURE / "disc-cost.py"), "--wine", str(WINDOWS_EXE), "--files",
                               "--json", str(figures_file), str(DISC)], capture_output=True, text=True)
        figures = json.loads(figures_file.read_text()) if figures_file.exists() else None
    disc_table = disc.stdout.strip().splitlines() or [
        "Not measured here: " + ((disc.stderr.strip().splitlines() or ["disc-cost failed"])[-1])]
    upx = shutil.which("upx") or shutil.which("upx-ucl")
    sizes = subprocess.run([str(MEASURE / "windows-sizes.py"), "--disc", str(DISC)] + (["--upx", upx] if upx else []),
                           capture_output=True, text=True)
    sizes_table = sizes.stdout.strip().splitlines() or [
        "Not measured here: " + ((sizes.stderr.strip().splitlines() or ["windows-sizes failed"])[-1])]
    return (startup.stdout.strip().splitlines(), disc_table, figures, sizes_table), None


WINDOWS_HEADING = "## The Windows launcher under Wine"


def windows_lines(windows):
    measured, reason = windows
    lines = [WINDOWS_HEADING, ""]
    if reason:
        return lines + [f"Not measured on this machine: {reason}.", ""]
    startup, disc, figures, sizes = measured
    size = WINDOWS_EXE.stat().st_size / 1e6
    window = WINDOWS_EXE.parent / "window" / "discstart.exe"
    window_size = window.stat().st_size / 1e6 if window.exists() else 0
    panel = next((r for r in (figures or {}).get("results", []) if r["until"] == "panel"), None)
    if panel:
        cd = panel["bytes"] / 3.6e6 + panel["jumps"] * 0.1
        met = panel["bytes"] <= 6.5e6 and cd <= 2
        lines += ["| target | measured | met |", "|---|---|---|",
                  f"| Windows launcher under Wine: at most 6.5 MB and 2 s on a 24x CD until the panel, every jump "
                  f"counted | {panel['bytes'] / 1e6:.2f} MB, {cd:.2f} s | {'yes' if met else '**no**'} |", ""]
    return lines + [
        f"`discstart.exe` ({size:.2f} MB: the window program, {window_size:.2f} MB with Qt linked statically, "
        "packed behind the start program that unpacks it) from `scripts/release/windows-build`. Start to window "
        "(`scripts/measure/wine-startup.py`): the release Linux launcher and discstart.exe started from a copy of "
        "examples/disc under one Xvfb, one Wine server kept running; a first start finds nothing unpacked "
        "(its folder in the temporary folder is removed before each), a start again finds the window program "
        "unpacked by the one before."] + startup + [
        "", "What it reads from a disc (`scripts/measure/disc-cost.py --wine`, the same device and model as "
        "above). Wine maps a program whose sections lie on pages in the file and reads the pages it touches, as "
        "Windows does; one that is not aligned so (this build: page alignment is off, see below) it reads whole. "
        "(From a real ISO 9660 or UDF mount Wine reads every program whole, as from any removable medium.)",
        ""] + disc + [
        "", "What each size option saves (`scripts/measure/windows-sizes.py`: the window program linked again from "
        "the same objects, each step adding one option, then packed; read by `scripts/measure/disc-cost.py --wine` "
        "as above, one run each, as a first start):",
        ""] + sizes + ["", "A step that shows \"no window\" did not map its window within disc-cost's time "
                       "under Wine on this machine.", "", ""]


def disc_lines(disc):
    measured, reason = disc
    lines = ["## Start-up from a disc", ""]
    if reason:
        return lines + [f"Not measured on this machine: {reason}.", ""]
    table, _ = measured
    return lines + [
        "`scripts/measure/disc-cost.py` on a disc made by `scripts/make-disc` from examples/disc: the start-up "
        "harness in the launcher's place, and a bare Qt window bundled the same way, each started under Xvfb from a "
        "read-only loop device with a fresh page cache and 128 KiB read-ahead, the machine's Qt hidden or present. "
        "Every page read is placed on the ISO image (compressed files by their zisofs blocks, directories by their "
        "records); a jump is a read that does not start where the one before ended. Model: 24x CD 3.6 MB/s, "
        "16x DVD 21 MB/s, 0.1 s a seek, counted once per extent or once per jump.", ""] + table + [""]


def disc_targets(disc):
    measured, reason = disc
    if reason:
        return []
    _, figures = measured

    def panel(qt, program="launcher"):
        return next((r for r in figures["results"] if r["windows"] == "X" and r["program"] == program
                     and r["qt"] == qt and r["until"] == "panel"), None)
    checks = []
    for qt, limit in (("hidden", 2.0), ("present", 0.6)):
        one = panel(qt, "launcher, one file")
        if one:
            cd = one["bytes"] / 3.6e6 + one["jumps"] * 0.1
            checks.append((f"disc, one-file launcher, machine's Qt {qt}: panel filled within {limit} s on a 24x CD, "
                           "every jump counted", f"{one['bytes'] / 1e6:.2f} MB, {cd:.2f} s", cd <= limit))
    hidden, present = panel("hidden"), panel("present")
    if hidden:
        cd = hidden["bytes"] / 3.6e6 + hidden["jumps"] * 0.1
        dvd = hidden["bytes"] / 21e6 + hidden["jumps"] * 0.1
        checks.append(("disc, no Qt on the machine: panel filled within 5 s on a 24x CD, every jump counted",
                       f"{cd:.2f} s", cd <= 5))
        checks.append(("disc, no Qt on the machine: panel filled within 1.5 s on a 16x DVD, every jump counted",
                       f"{dvd:.2f} s", dvd <= 1.5))
    if present:
        cd = present["bytes"] / 3.6e6 + present["jumps"] * 0.1
        checks.append(("disc, the machine's Qt: at most 1 MB read and 0.6 s on a 24x CD to the panel",
                       f"{present['bytes'] / 1e6:.2f} MB, {cd:.2f} s", present["bytes"] <= 1e6 and cd <= 0.6))
    space = figures["space"]["image"]
    checks.append(("disc space the launcher adds beside the movie, light build: at most 40 MB",
                   f"{space / 1e6:.1f} MB on the ISO image ({figures['space']['folder'] / 1e6:.1f} MB as a folder)",
                   space <= 40e6))
    return checks


def machine():
    def first(command, pattern):
        try:
            text = subprocess.run(command, capture_output=True, text=True).stdout
        except OSError:
            return "?"
        found = re.search(pattern, text, re.M)
        return found.group(1).strip() if found else "?"

    cpu = first(["lscpu"], r"^Model name:\s*(.*)$")
    memory = first(["free", "-g"], r"^Mem:\s+(\d+)")
    os_name = first(["cat", "/etc/os-release"], r'^PRETTY_NAME="?([^"\n]*)')
    qt = first(["dpkg-query", "-W", "-f=${Version}", "qt6-base-dev"], r"^(.*)$")
    compiler = first(["c++", "--version"], r"^(.*)$")
    load = os.getloadavg()[0]
    return [f"{cpu}, {os.cpu_count()} cores, {memory} GiB memory", f"{os_name}, Linux {platform.release()}",
            f"Qt {qt}, {compiler}", f"load average {load:.1f} when the measurement started (shared machine)"]


def ms(value):
    return f"{value:.1f}"


def startup_tables(results, runs):
    lines = ["## Start-up: discstart against a bare Qt window", "",
             f"Medians of {runs} runs, the three programs alternating. Milliseconds from just before the exec "
             "(the `launch` helper records CLOCK_MONOTONIC and execs the program, which reads it from its "
             "environment: the kernel's own process start time only comes in 10 ms ticks) to the window's "
             "first paint flushed, and to the panel filled (`label` returned); the CPU time the process spent until "
             "its first paint (all threads), which the machine's other load disturbs far less. Memory: the peak "
             "resident set of the process, and of the whole tree (the sum of each process's own peak), at the moment "
             "all was done; the WebEngine run waits for its page to load first.", "",
             "| window system | program | window shown | ratio | CPU until shown | ratio | panel filled "
             "| after shown | page loaded | peak memory | ratio | process tree |",
             "|---|---|---|---|---|---|---|---|---|---|---|---|"]
    for system, samples in results.items():
        bare = samples["bare Qt window"]
        bare_shown = median([float(s["shown_ms"]) for s in bare])
        bare_kib = median([int(s["peak_kib"]) for s in bare])
        bare_cpu = median([float(s["shown_cpu_ms"]) for s in bare])
        for name, runs_of in samples.items():
            shown = median([float(s["shown_ms"]) for s in runs_of])
            cpu = median([float(s["shown_cpu_ms"]) for s in runs_of])
            panel = [float(s["panel_ms"]) for s in runs_of if "panel_ms" in s]
            after = [float(s["panel_ms"]) - float(s["shown_ms"]) for s in runs_of if "panel_ms" in s]
            page = [float(s["page_ms"]) for s in runs_of if "page_ms" in s]
            peak = median([int(s["peak_kib"]) for s in runs_of])
            tree = median([int(s["tree_kib"]) for s in runs_of])
            processes = median([int(s["processes"]) for s in runs_of])
            lines.append(
                f"| {system} | {name} | {ms(shown)} | {shown / bare_shown:.2f}x | {ms(cpu)} | "
                f"{cpu / bare_cpu:.2f}x | {ms(median(panel)) if panel else '-'} | "
                f"{ms(median(after)) if after else '-'} | "
                f"{ms(median(page)) if page else '-'} | {peak / 1024:.1f} MiB | {peak / bare_kib:.2f}x | "
                f"{tree / 1024:.1f} MiB ({processes:.0f}) |")
    return lines + [""]


def tool_tables(results, runs):
    rows = [([f"{label} ({movie.name})"], times, reads) for label, movie, times, reads in results]
    return ["## discinfo against mediainfo and ffprobe", ""] + film_bench.tool_table(
        runs, "read, pread64, readv, preadv; an mmap of the movie counts as one call", ["movie"], rows)


def reader_tables(rows, runs):
    lines = ["## The readers and the panel (Google Benchmark)", "",
             f"Median of {runs} repetitions, warm cache, from the disk through the byte-file seam, which counts "
             "what one run asked of the movie: opens, read calls, bytes.", "",
             "| movie | panel run | opens | reads | bytes | ReadAviHeader | ReadInfoTags | ReadOggInfo "
             "| ReadContainer |",
             "|---|---|---|---|---|---|---|---|---|"]
    for movie, readers in sorted(rows.items()):
        panel = readers.get("RunPanel", {})
        cells = [f"{readers[r]['us']:.1f} µs, {readers[r]['reads']:.0f} reads" if r in readers else "-"
                 for r in ("ReadAviHeader", "ReadInfoTags", "ReadOggInfo", "ReadContainer")]
        lines.append(f"| {movie} | {panel.get('us', float('nan')):.1f} µs | {panel.get('opens', 0):.0f} | "
                     f"{panel.get('reads', 0):.0f} | {panel.get('bytes', 0):.0f} | " + " | ".join(cells) + " |")
    return lines + [""]


def target_lines(startup, tools, readers, disc):
    def shown(system, name):
        return median([float(s["shown_ms"]) for s in startup[system][name]])

    def after(system, name):
        return median([float(s["panel_ms"]) - float(s["shown_ms"]) for s in startup[system][name]])

    def peak(system, name):
        return median([int(s["peak_kib"]) for s in startup[system][name]])

    checks = []
    for system in startup:
        bare = shown(system, "bare Qt window")
        text = shown(system, "discstart, text engine") / bare
        web = shown(system, "discstart, WebEngine") / bare
        checks.append((f"{system}: window shown within 1.3x the bare window, text engine", f"{text:.2f}x",
                       text <= 1.3))
        checks.append((f"{system}: window shown within 1.5x the bare window, WebEngine", f"{web:.2f}x", web <= 1.5))
        for name in ("discstart, text engine", "discstart, WebEngine"):
            gap = after(system, name)
            checks.append((f"{system}: panel filled less than 2 ms after the window shown, {name}",
                           f"{gap:.2f} ms", gap < 2))
        memory = peak(system, "discstart, text engine") / peak(system, "bare Qt window")
        checks.append((f"{system}: peak memory within 1.3x the bare window, text engine", f"{memory:.2f}x",
                       memory <= 1.3))
    for movie, rows in sorted(readers.items()):
        panel = rows.get("RunPanel")
        if not panel or film_bench.is_film(movie):  # the films have targets of their own
            continue
        ogg = movie.startswith("og")
        limit = 4 if ogg else 3
        checks.append((f"panel on {movie}: at most 16 KiB in at most {limit} reads",
                       f"{panel['bytes']:.0f} bytes, {panel['reads']:.0f} reads",
                       panel["bytes"] <= 16384 and panel["reads"] <= limit))
    for label, movie, times, _ in tools:
        checks += film_bench.speed_checks(movie.name, times, 2, 4)
    checks += disc_targets(disc)
    lines = ["## Targets", "", "| target | measured | met |", "|---|---|---|"]
    lines += [f"| {what} | {value} | {'yes' if ok else '**no**'} |" for what, value, ok in checks]
    return lines + [""]


RELEASE_HEADING = "## The release\n"


def kept_release_section(out):
    """The release's section, measured by hand (scripts/check/release-check), as the file has it."""
    text = out.read_text() if out.exists() else ""
    begin = text.find(RELEASE_HEADING)
    if begin < 0:
        return ""
    end = text.find("\n## ", begin + 1)
    return "\n\n" + text[begin:end if end >= 0 else None].rstrip("\n") + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--out", default=str(ROOT / "BENCHMARKS.md"))
    parser.add_argument("--no-build", action="store_true", help="use the build folders as they are")
    parser.add_argument("--films", action="store_true", help="measure today's films alone, keep the rest of the file")
    parser.add_argument("--windows-only", action="store_true",
                        help="measure the Windows launcher alone and replace only its section of the file")
    args = parser.parse_args()
    if args.windows_only:
        if not args.no_build:
            build(windows_only=True)
        out = Path(args.out)
        text = out.read_text()
        begin = text.index(WINDOWS_HEADING)
        end = text.find("\n## ", begin + 1)
        section = "\n".join(windows_lines(measure_windows()))
        out.write_text(text[:begin] + section + (text[end + 1:] if end >= 0 else ""))
        log(f"wrote the Windows section of {args.out}")
        return
    began = time.monotonic()
    if not args.no_build:
        build()
    about = machine()
    with tempfile.TemporaryDirectory(prefix="discstart-bench-") as folder:
        layouts = film_bench.make_films(folder, log)
        film_tools = measure_tools(args.runs, [(label, path) for label, path, _, _ in layouts])
        panel = film_bench.panel_reads(TEXT_BUILD / "bench" / "reader_bench", layouts)
        films = film_bench.lines(layouts, film_tools, panel, args.runs)
        if args.films:
            out = Path(args.out)
            out.write_text(film_bench.replace_section(out.read_text(), films))
            log(f"wrote the films section of {args.out} ({time.monotonic() - began:.0f} s; {about[-1]})")
            return
        startup = measure_startup(args.runs)
        movies = [("AVI", DATA / "avi-tags.avi"), ("Ogg media", DATA / "ogm-xvid-vorbis.avi"),
                  ("AVI, 1.07 GiB sparse", make_big_movie(folder))]
        tools = measure_tools(args.runs, movies)
        readers = measure_readers(args.runs, folder)
        disc = measure_disc(folder)
        windows = measure_windows()
    lines = ["# Benchmarks", "",
             "Written by `scripts/measure/bench.py` (it installs what it needs, builds `build-bench/` and "
             "`build-bench-web/` in release mode and measures); rerun it to reproduce: "
             "`scripts/measure/bench.py [--runs N] [--no-build]`.", "", "## Machine", ""]
    lines += [f"- {item}" for item in about]
    lines += [f"- the whole script took {time.monotonic() - began:.0f} s", ""]
    lines += target_lines(startup, tools, readers, disc)
    lines += startup_tables(startup, args.runs) + disc_lines(disc) + windows_lines(windows)
    lines += tool_tables(tools, args.runs)
    lines += films
    lines += reader_tables(readers, args.runs)
    Path(args.out).write_text("\n".join(lines) + kept_release_section(Path(args.out)))
    log(f"wrote {args.out}")


if __name__ == "__main__":
    main()
