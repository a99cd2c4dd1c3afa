"""Displays for the measurements, where the machine has none: a bare X server, a headless Wayland
compositor, the wait for a window to show, and Wine, which shows discstart.exe's window there."""
import os
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

SCREEN = "1024x768x24"
WINDOW = "^Form1$"


class Xvfb:
    """A bare X server on a display number of its own choosing, for as long as the `with` lasts."""

    def __init__(self, screen=SCREEN):
        self.screen = screen

    def __enter__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", self.screen,
                                        "-nolisten", "tcp"], pass_fds=(write,),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as answer:
            number = answer.readline().strip()
        if not number.isdigit():
            self.server.kill()
            self.server.wait()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        return self

    def __exit__(self, *exc):
        self.server.terminate()
        self.server.wait()

    def environment(self):
        return {"DISPLAY": self.display}


class Weston:
    """A headless Wayland compositor, without X, with a runtime folder of its own."""

    def __init__(self, socket="discstart"):
        self.socket = socket

    def __enter__(self):
        self.runtime = tempfile.mkdtemp(prefix="weston-")
        self.server = subprocess.Popen(["weston", "--backend=headless-backend.so", f"--socket={self.socket}"],
                                       env=dict(os.environ, XDG_RUNTIME_DIR=self.runtime),
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if (Path(self.runtime) / self.socket).exists():
                return self
            time.sleep(0.05)
        self.__exit__()
        raise RuntimeError("weston did not start")

    def __exit__(self, *exc):
        self.server.terminate()
        self.server.wait()
        shutil.rmtree(self.runtime, ignore_errors=True)

    def environment(self):
        return {"WAYLAND_DISPLAY": self.socket, "XDG_RUNTIME_DIR": self.runtime}


def window_shown(env, name=WINDOW):
    """Whether a window of that name is mapped on env's X display."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], env=env,
                           capture_output=True, text=True)
    return found.returncode == 0 and found.stdout.strip() != ""


def wait_for_window(process, env, began=None, timeout=60, name=WINDOW):
    """Seconds from `began` (time.monotonic(), default now) until `process` shows its window;
    RuntimeError when it ends first or shows none in time."""
    began = time.monotonic() if began is None else began
    while time.monotonic() - began < timeout:
        if window_shown(env, name):
            return time.monotonic() - began
        if process.poll() is not None:
            raise RuntimeError(f"{process.args[0]} ended before its window showed")
    raise RuntimeError(f"{process.args[0]}: no window within {timeout} s")


# Without the wine package, wine64 lives in /usr/lib/wine/ alone.
WINE = Path("/usr/lib/wine/wine64")
if not WINE.exists():
    WINE = Path(shutil.which("wine64") or "wine64")
WINESERVER = WINE.parent / "wineserver"


def forget_unpacked(prefix):
    """Removes the window programs discstart.exe unpacked under Wine's PREFIX, so that the next
    start is a first one, as from a disc never started on this machine."""
    for unpacked in (Path(prefix) / "drive_c" / "users").glob("*/Temp/discstart-*"):
        shutil.rmtree(unpacked)
