"""The disc's own file names, the groups its Linux launcher's files are read in, the read-order
list with the footer the start program finds it by, and the media a disc is made for. The kit
takes every such name from here; src/start/start_rules.h reads the same footer."""
import re
from dataclasses import dataclass

# The Linux launcher as a bundle: the start program picks NAME-host (the machine's Qt) or
# NAME-disc (the Qt in qt/) and reads ahead what that one loads.
START = "discstart"
HOST = START + "-host"
DISC = START + "-disc"
QT_FOLDER = "qt"
READ_ORDER = QT_FOLDER + "/read-order"
WEBENGINE_MODULE = "libdiscstart_webengine.so"
AUTORUN_SH = "autorun.sh"
WINDOWS_EXE = "discstart.exe"
AUTORUN_INF = "autorun.inf"
# The Windows launcher carries its icon as its first resource.
AUTORUN_ICON = WINDOWS_EXE + ",0"
LICENSES = "licenses"
SOURCES_TXT = "SOURCES.txt"
SOURCES = "sources"

# Groups of the read order, in the start program's terms: "start" is the start program itself,
# "host" is read before the launcher runs on the machine's Qt, "disc" before it runs on the
# disc's, "xcb" and "wayland" before it runs on the disc's Qt under that window system; "late"
# and "page" are read by the launcher itself later (ICU's data, the WebEngine page view).
# "movie" names the film, which the start program hands to the system's player where no
# launcher can run; it is not read ahead, nor part of the launcher.
GROUPS = ("start", "host", "disc", "xcb", "wayland", "late", "page", "movie")
LAUNCHER_GROUPS = GROUPS[:-1]


@dataclass(frozen=True)
class Launcher:
    """A kind of Linux launcher on the disc: the files it is made of (folders end in "/")."""
    kind: str
    files: tuple
    read_order: bool  # whether its start program carries a read order


BUNDLE = Launcher("bundle", (START, HOST, DISC, QT_FOLDER + "/", WEBENGINE_MODULE), True)
# The launcher as one file with Qt linked in (scripts/release/linux-build): NAME-disc needs no qt/ beside
# it, which keeps only the read order the image is laid out by.
ONE_FILE = Launcher("one-file", (START, HOST, DISC, QT_FOLDER + "/"), True)
LAUNCHERS = {BUNDLE.kind: BUNDLE, ONE_FILE.kind: ONE_FILE}

# What only Linux reads: left out of the Joliet tree, which Windows shows.
LINUX_FILES = tuple(sorted({f for launcher in LAUNCHERS.values() for f in launcher.files} | {AUTORUN_SH}))
# Every name the kit itself writes at the disc's top: a page's file may not take one.
KIT_NAMES = LINUX_FILES + (WINDOWS_EXE, AUTORUN_INF, LICENSES + "/", SOURCES_TXT, SOURCES + "/")


def kit_name(path):
    """The kit's own name that `path` (relative to the disc) would take or lie in, or None.
    Windows and Joliet ignore case, so a page's "Licenses/x" is refused as well."""
    top = path.split("/", 1)[0].casefold()
    return next((name for name in KIT_NAMES if name.rstrip("/").casefold() == top), None)


# ---- the read order and its footer ----

FOOTER_TAG = b"\n#read-order "
FOOTER = re.compile(rb"\n#read-order (\d{10})\n\Z")


def order_text(entries):
    """The read order: one "GROUP PATH" line per file, PATH relative to the disc."""
    for group, path in entries:
        if group not in GROUPS or not path or "\n" in path or path != path.strip(" \r"):
            raise ValueError(f"not a read-order entry: {group!r} {path!r}")
    return "".join(f"{group} {path}\n" for group, path in entries)


def footer(text):
    """What follows the read order at the end of the start program: its length in ten digits."""
    size = len(text.encode())
    if size >= 10 ** 10:
        raise ValueError("read order too long")
    return FOOTER_TAG + f"{size:010d}\n".encode()


def carried_order(data):
    """The read order a start program's bytes carry at their end, as (group, path) pairs; []
    when they carry none."""
    found = FOOTER.search(data[-len(footer("")):])
    if not found:
        return []
    size = int(found.group(1))
    end = len(data) - len(found.group(0))
    if size == 0 or size > end:
        return []
    return [tuple(line.split(" ", 1)) for line in data[end - size:end].decode().splitlines() if " " in line]


# ---- media ----

SECTOR = 2048
MIB = 1 << 20


@dataclass(frozen=True)
class Medium:
    name: str
    text: str
    sectors: int

    @property
    def bytes(self):
        return self.sectors * SECTOR


# Smallest first: the default is the first the whole disc fits on.
MEDIA = (Medium("cd", "a CD", 360000), Medium("dvd", "a DVD", 2295104), Medium("dvd-dl", "a double-layer DVD", 4171712))


def mib(count):
    """Bytes as MiB, the one unit every size the kit prints is in."""
    return f"{count / MIB:.1f} MiB"


# A list of names past this length is told as a count and its first few.
NAMES_LISTED = 8
NAMES_SHOWN = 5


def some_names(names):
    """Names for a line of their own: all of a short list; of a long one the first few and how
    many more, so that 40,000 copied files make no 400 KB line."""
    if len(names) <= NAMES_LISTED:
        return ", ".join(names)
    return ", ".join(names[:NAMES_SHOWN]) + f" and {len(names) - NAMES_SHOWN:,} more"


def medium_named(name):
    return next((m for m in MEDIA if m.name == name), None)


def medium_for(sectors):
    """The smallest medium that holds `sectors`, or None."""
    return next((m for m in MEDIA if sectors <= m.sectors), None)
