"""Where the kit finds what it puts on a disc: in a source tree, the programs of a build folder
and the files beside them; installed, what the package put in place (installed.json beside the
kit, written by the build)."""
import json
import os
import re
import subprocess
from dataclasses import dataclass
from pathlib import Path

HERE = Path(__file__).resolve().parent
INSTALLED = HERE / "installed.json"


@dataclass
class Paths:
    launcher: Path
    discinfo: Path
    start: Path
    windows_exe: Path      # None when there is none
    one_file: Path         # the launcher with Qt linked in, None when there is none
    one_file_start: Path   # the start program built beside it
    license: Path          # discstart's licence
    font_license: Path     # the licence of the font the window carries
    root: Path             # the source tree, None when installed
    version: str

    def commit(self):
        """The source tree's commit, "" when it is not a git checkout."""
        if not self.root:
            return ""
        try:
            return subprocess.run(["git", "-C", str(self.root), "rev-parse", "--short", "HEAD"], check=True,
                                  capture_output=True, text=True).stdout.strip()
        except (subprocess.CalledProcessError, FileNotFoundError):
            return ""


def source_version(root):
    with open(root / "CMakeLists.txt", encoding="utf-8") as f:
        match = re.search(r"project\(discstart VERSION ([0-9.]+)", f.read())
    return match.group(1) if match else "unknown"


def windows_exe(env, default_build):
    chosen = env.get("DISCSTART_WINDOWS_EXE")
    if chosen:
        return Path(chosen)
    build = env.get("DISCSTART_WINDOWS_BUILD") or default_build
    built = Path(build) / "src/app/discstart.exe" if build else None
    return built if built and built.is_file() else None


def one_file(env, default_build):
    """The one-file launcher and its start program, as scripts/linux-build makes them; (None,
    None) when they are not built."""
    build = env.get("DISCSTART_LINUX_BUILD") or default_build
    if not build:
        return None, None
    program, start = Path(build) / "src/app/discstart", Path(build) / "src/start/disc_start"
    return (program, start) if program.is_file() and start.is_file() else (None, None)


def find(env=os.environ):
    """The paths for this run; the environment may name each program (see make-disc --help)."""
    if INSTALLED.is_file():
        # Paths relative to the kit, which lies where the package put it.
        installed = {key: value if key == "version" else (HERE / value).resolve()
                     for key, value in json.loads(INSTALLED.read_text()).items()}
        return Paths(Path(env.get("DISCSTART_LAUNCHER") or installed["launcher"]),
                     Path(env.get("DISCINFO") or installed["discinfo"]),
                     Path(env.get("DISCSTART_START") or installed["start"]),
                     windows_exe(env, None), *one_file(env, None), installed["data"] / "licences/discstart",
                     installed["data"] / "licences/liberation-sans", None, installed["version"])
    root = HERE.parent.parent
    build = Path(env.get("DISCSTART_BUILD") or root / "build-demo")
    launcher = Path(env.get("DISCSTART_LAUNCHER") or build / "src/app/discstart")
    return Paths(launcher, Path(env.get("DISCINFO") or build / "src/cli/discinfo"),
                 Path(env.get("DISCSTART_START") or launcher.parent.parent / "start/disc_start"),
                 windows_exe(env, root / "build-windows"), *one_file(env, root / "build-linux-static"),
                 root / "LICENSE", root / "assets/fonts/LICENSE", root,
                 source_version(root))


# The Debian package of each tool the kit runs, for a hint where one is missing.
PACKAGES = {"xorriso": "xorriso", "patchelf": "patchelf", "readelf": "binutils", "strip": "binutils",
            "icupkg": "icu-devtools", "cc": "gcc", "ldd": "libc-bin", "libqwayland-generic.so": "qt6-wayland"}


def missing(tool):
    """What to say of a tool (or Qt plugin) that is not there: how to get it."""
    how = f"apt-get install {PACKAGES.get(tool, tool)}" if INSTALLED.is_file() else "scripts/deps kit"
    return f"{tool} is missing ({how})"
