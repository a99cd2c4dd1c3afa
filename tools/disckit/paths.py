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
    built = Path(env.get("DISCSTART_WINDOWS_BUILD") or default_build) / "src/app/discstart.exe"
    return built if built.is_file() else None


def find(env=os.environ):
    """The paths for this run; the environment may name each program (see make-disc --help)."""
    if INSTALLED.is_file():
        installed = json.loads(INSTALLED.read_text())
        data = Path(installed["data"])
        launcher = Path(env.get("DISCSTART_LAUNCHER") or installed["launcher"])
        return Paths(launcher, Path(env.get("DISCINFO") or installed["discinfo"]),
                     Path(env.get("DISCSTART_START") or installed["start"]),
                     windows_exe(env, "/nonexistent"), data / "LICENSE", data / "LiberationSans-LICENSE", None,
                     installed["version"])
    root = HERE.parent.parent
    build = Path(env.get("DISCSTART_BUILD") or root / "build")
    launcher = Path(env.get("DISCSTART_LAUNCHER") or build / "src/app/discstart")
    return Paths(launcher, Path(env.get("DISCINFO") or build / "src/cli/discinfo"),
                 Path(env.get("DISCSTART_START") or launcher.parent.parent / "start/disc_start"),
                 windows_exe(env, root / "build-windows"), root / "LICENSE", root / "assets/fonts/LICENSE", root,
                 source_version(root))
