"""Where the kit finds what it puts on a disc: in a source tree, the programs of a build folder
and the files beside them; installed, what the package or a release archive put in place
(installed.json beside the kit, written by the build), with the disc's own programs in a folder
of their own (DiscFolder). Each program the environment names comes first."""
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
    # Installed, the records of what the disc's programs link (DiscFolder); None in a source
    # tree, where the scripts that built it say (scripts/toolchain/qt-windows --prefix, ...).
    windows_qt: Path = None
    windows_xz: Path = None
    linux_qt: Path = None
    mingw: Path = None
    common: Path = None
    one_file_licences: Path = None
    # The launcher as installed is stripped and has no run path: it is copied as it is, with no
    # patchelf or strip needed for a disc with the one-file launcher.
    launcher_ready: bool = False

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


@dataclass(frozen=True)
class DiscFolder:
    """The disc's programs as a release carries them (scripts/release/make-release lays the folder out), with
    the records of what they link, whose licences go on every disc."""
    folder: Path

    WINDOWS_EXE = "windows/discstart.exe"
    ONE_FILE = "linux/discstart-disc"
    ONE_FILE_START = "linux/disc_start"
    # Each prefix holds a "version" file and share/doc/NAME.copyright, as the build's own.
    WINDOWS_QT = "windows/qt"
    WINDOWS_XZ = "windows/xz"
    LINUX_QT = "linux/qt"
    # The C++ runtime linked into the one file: gcc.copyright and gcc.version.
    ONE_FILE_LICENCES = "linux/licences"
    # PACKAGE.copyright for each MinGW-w64 package, and "versions": PACKAGE VERSION SOURCE
    # SOURCE-VERSION a line.
    MINGW = "windows/mingw"
    # The texts of /usr/share/common-licenses the copyright files refer to.
    COMMON = "common-licenses"

    def path(self, name):
        return self.folder / name

    def windows_exe(self):
        exe = self.path(self.WINDOWS_EXE)
        return exe if exe.is_file() else None

    def one_file(self):
        program, start = self.path(self.ONE_FILE), self.path(self.ONE_FILE_START)
        return (program, start) if program.is_file() and start.is_file() else (None, None)


def windows_exe(env, default_build):
    chosen = env.get("DISCSTART_WINDOWS_EXE")
    if chosen:
        return Path(chosen)
    build = env.get("DISCSTART_WINDOWS_BUILD") or default_build
    built = Path(build) / "src/app/discstart.exe" if build else None
    return built if built and built.is_file() else None


def one_file(env, default_build):
    """The one-file launcher and its start program, as scripts/release/linux-build makes them; (None,
    None) when they are not built."""
    build = env.get("DISCSTART_LINUX_BUILD") or default_build
    if not build:
        return None, None
    program, start = Path(build) / "src/app/discstart", Path(build) / "src/start/disc_start"
    return (program, start) if program.is_file() and start.is_file() else (None, None)


def find(env=os.environ):
    """The paths for this run; the environment may name each program (see make-disc --help)."""
    if INSTALLED.is_file():
        return installed(json.loads(INSTALLED.read_text()), HERE, env)
    root = HERE.parent.parent
    build = Path(env.get("DISCSTART_BUILD") or root / "build-demo")
    launcher = Path(env.get("DISCSTART_LAUNCHER") or build / "src/app/discstart")
    linux_build = env.get("DISCSTART_LINUX_BUILD") or root / "build-linux-static"
    return Paths(launcher, Path(env.get("DISCINFO") or build / "src/cli/discinfo"),
                 Path(env.get("DISCSTART_START") or launcher.parent.parent / "start/disc_start"),
                 windows_exe(env, root / "build-windows"), *one_file(env, root / "build-linux-static"),
                 root / "LICENSE", root / "assets/fonts/LICENSE", root,
                 source_version(root), one_file_licences=built_licences(linux_build))


def installed(record, here, env):
    """The paths of an installed kit from its record (installed.json; paths relative to the kit
    folder `here`): what the environment names, else what the record does."""
    at = {key: (here / value).resolve() for key, value in record.items() if key != "version"}
    disc = DiscFolder(at["disc"]) if "disc" in at else None
    single, single_start = one_file(env, None)
    records = {"one_file_licences": built_licences(env.get("DISCSTART_LINUX_BUILD"))} if single else {}
    if disc:
        # The records of the Qt and runtime linked into the one file hold for the folder's own.
        own_one_file = not single and disc.one_file()[0] is not None
        if own_one_file:
            single, single_start = disc.one_file()
        records |= {"windows_qt": disc.path(disc.WINDOWS_QT), "windows_xz": disc.path(disc.WINDOWS_XZ),
                    "mingw": disc.path(disc.MINGW), "common": disc.path(disc.COMMON)}
        if own_one_file:
            records.update(linux_qt=disc.path(disc.LINUX_QT), one_file_licences=disc.path(disc.ONE_FILE_LICENCES))
    launcher = env.get("DISCSTART_LAUNCHER")
    return Paths(Path(launcher or at["launcher"]), Path(env.get("DISCINFO") or at["discinfo"]),
                 Path(env.get("DISCSTART_START") or at["start"]),
                 windows_exe(env, None) or (disc.windows_exe() if disc else None), single, single_start,
                 at["data"] / "licences/discstart", at["data"] / "licences/liberation-sans", None, record["version"],
                 launcher_ready=not launcher, **records)


def built_licences(build):
    """Where scripts/release/linux-build leaves the record of the C++ runtime it links in."""
    return Path(build) / "licences" if build else None


# The Debian package of each tool the kit runs, for a hint where one is missing.
PACKAGES = {"xorriso": "xorriso", "patchelf": "patchelf", "readelf": "binutils", "strip": "binutils",
            "icupkg": "icu-devtools", "cc": "gcc", "ldd": "libc-bin", "libqwayland-generic.so": "qt6-wayland"}


def missing(tool):
    """What to say of a tool (or Qt plugin) that is not there: how to get it."""
    how = f"apt-get install {PACKAGES.get(tool, tool)}" if INSTALLED.is_file() else "scripts/deps kit"
    return f"{tool} is missing ({how})"
