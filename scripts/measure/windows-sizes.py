#!/usr/bin/env python3
"""What each size option of the Windows launcher saves: the window program linked again from the
objects scripts/release/windows-build made, once per step, each step adding one option to the last, and
the collected one packed behind the start program as the build packs discstart.exe.

  scripts/measure/windows-sizes.py [--disc DISC-FOLDER] [--upx UPX] [--keep FOLDER]

With --disc, each program is also measured from a disc (scripts/measure/disc-cost.py --wine on
DISC-FOLDER, a disc made by scripts/make-disc). With --upx, the program of the second step (the
build's own) is also packed with that UPX. --keep leaves the programs in FOLDER. Prints a
Markdown table.
"""
import argparse
import re
import shlex
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build-windows"
TARGET = "src/app/window/discstart.exe"
START = BUILD / "src/start/packed_start.exe"
PAGES = ("-Wl,--file-alignment=4096", "-Wl,--section-alignment=4096")
STEPS = [
    ("every section kept", {"gc": False, "pages": False}),
    ("+ unused sections collected (--gc-sections)", {"gc": True, "pages": False}),
    ("+ sections page-aligned in the file", {"gc": True, "pages": True}),
]


def link_command():
    """The compiler's link line, as ninja runs it from the build folder (": && LINE && :")."""
    commands = subprocess.run(["ninja", "-C", str(BUILD), "-t", "commands", TARGET], check=True,
                              capture_output=True, text=True).stdout.strip().splitlines()
    line = re.sub(r"^:\s*&&\s*|\s*&&\s*:$", "", commands[-1])
    return BUILD, shlex.split(line)


def variant(command, output, gc, pages):
    words = [w for w in command if w not in PAGES and not w.startswith("-Wl,--out-implib")]
    at = words.index("-o")
    words[at + 1] = str(output)
    if pages:
        words[at:at] = list(PAGES)
    if not gc:
        words.append("-Wl,--no-gc-sections")
    return words


def disc_cost(exe, disc):
    run = subprocess.run([str(ROOT / "scripts/measure/disc-cost.py"), "--wine", str(exe), str(disc)],
                         capture_output=True, text=True)
    if run.returncode != 0:
        return "no window", "-"
    for line in run.stdout.splitlines():
        cells = [c.strip() for c in line.strip("|").split("|")]
        if len(cells) > 8 and cells[3] == "panel":
            return cells[4], cells[8]
    return "-", "-"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--disc", type=Path)
    parser.add_argument("--upx", type=Path)
    parser.add_argument("--keep", type=Path)
    args = parser.parse_args()
    if not (BUILD / TARGET).exists():
        raise SystemExit(f"windows-sizes: no build-windows/{TARGET} (scripts/release/windows-build)")
    folder, command = link_command()
    rows = []
    with tempfile.TemporaryDirectory(prefix="windows-sizes-") as scratch:
        work = args.keep or Path(scratch)
        work.mkdir(parents=True, exist_ok=True)
        programs = []
        for number, (name, options) in enumerate(STEPS):
            exe = Path(work) / f"step{number}" / "discstart.exe"
            exe.parent.mkdir(exist_ok=True)
            subprocess.run(variant(command, exe, **options), cwd=folder, check=True)
            programs.append((name, exe))
        packed = Path(work) / "packed" / "discstart.exe"
        packed.parent.mkdir(exist_ok=True)
        subprocess.run([str(ROOT / "scripts/release/pack-launcher.py"), str(START), str(programs[1][1]), str(packed)],
                       check=True)
        programs.append(("the collected one packed behind the start program (xz)", packed))
        if args.upx:
            packed = Path(work) / "upx" / "discstart.exe"
            packed.parent.mkdir(exist_ok=True)
            subprocess.run([str(args.upx), "-q", "--best", "-f", "-o", str(packed), str(programs[1][1])], check=True,
                           stdout=subprocess.DEVNULL)
            programs.append(("the collected one packed with UPX (--best)", packed))
        previous = None
        for number, (name, exe) in enumerate(programs):
            size = exe.stat().st_size
            if number >= len(STEPS):  # both packers pack the second step's program
                previous = programs[1][1].stat().st_size
            change = "-" if previous is None else f"{(size - previous) / 1e6:+.2f} MB"
            row = [name, f"{size / 1e6:.2f} MB", change]
            if args.disc:
                row += list(disc_cost(exe, args.disc))
            rows.append(row)
            previous = size
    header = ["discstart.exe", "size", "change"] + (["MB read to the panel", "24x CD, per jump"] if args.disc else [])
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for row in rows:
        print("| " + " | ".join(row) + " |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
