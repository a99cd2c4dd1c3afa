#!/usr/bin/env python3
"""Time from start to window on screen: the Linux launcher against discstart.exe under Wine.

  scripts/measure/wine-startup.py LINUX_DISCSTART DISCSTART_EXE [--runs N]

Both start from a copy of the demo disc on one bare 1024x768 X server, alternating, with one
Wine server kept running (as on a desktop where Wine already runs) and the first run of each
thrown away. The window counts as shown once `xdotool` finds it mapped; both programs are
timed by the same polling, so the ratio is fair while the milliseconds carry its ~5 ms grain.
Prints a Markdown table.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import display

ROOT = Path(__file__).resolve().parents[2]
WINE = display.WINE


def time_to_window(command, cwd, env):
    began = time.monotonic()
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        return display.wait_for_window(process, env, began) * 1000
    finally:
        process.kill()
        process.wait()
        while display.window_shown(env):
            time.sleep(0.02)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("linux")
    parser.add_argument("exe")
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()

    work = Path(tempfile.mkdtemp(prefix="wine-startup-"))
    server = display.Xvfb().__enter__()
    env = {k: v for k, v in os.environ.items() if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY")}
    env.update({**server.environment(), "WINEDEBUG": "-all", "LC_ALL": "C.UTF-8",
                "WINEPREFIX": env.get("WINEPREFIX", str(work / "prefix")),
                "XDG_RUNTIME_DIR": str(work / "runtime")})
    (work / "runtime").mkdir(mode=0o700)
    wineserver = display.WINESERVER
    try:
        disc = work / "disc"
        shutil.copytree(ROOT / "examples" / "disc", disc)
        shutil.copy(args.linux, disc / "discstart")
        shutil.copy(args.exe, disc / "discstart.exe")
        subprocess.run([str(WINE), "wineboot", "--init"], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        subprocess.run([str(wineserver), "-p"], env=env)
        exe = [str(WINE), str(disc / "discstart.exe")]
        variants = [("Linux launcher", [str(disc / "discstart")], False),
                    ("discstart.exe under Wine, first start (unpacks)", exe, True),
                    ("discstart.exe under Wine, started again", exe, False)]
        samples = {name: [] for name, _, _ in variants}

        def run(command, fresh):
            if fresh:
                display.forget_unpacked(env["WINEPREFIX"])
            return time_to_window(command, disc, env)

        for name, command, fresh in variants:
            run(command, fresh)  # warm the cache and Wine
        for _ in range(args.runs):
            for name, command, fresh in variants:
                samples[name].append(run(command, fresh))
        base = statistics.median(samples[variants[0][0]])
        print(f"Medians of {args.runs} runs, alternating; milliseconds from the start to the window mapped.\n")
        print("| program | window shown | min | max | ratio |")
        print("|---|---|---|---|---|")
        for name, _, _ in variants:
            values = samples[name]
            middle = statistics.median(values)
            print(f"| {name} | {middle:.0f} | {min(values):.0f} | {max(values):.0f} | {middle / base:.2f}x |")
    finally:
        subprocess.run([str(wineserver), "-k"], env=env, stderr=subprocess.DEVNULL)
        server.__exit__()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
