"""ICU's data library, rebuilt with what a disc needs of it."""
import re
import shutil
import subprocess
import tempfile
from pathlib import Path

from . import paths

# ICU data the disc keeps: the character converters a page may name, normalization and the
# character properties; locales, collation, time zones and the rest stay behind.
KEEP = re.compile(r"^[^/]+\.(cnv|icu|nrm|spp|cfu)$")


class IcuError(Exception):
    pass


def output(command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def trim_data(library, version):
    """Rebuilds ICU's data library with the items KEEP names: the converters stay, the locale
    data (most of its 30 MB) goes. Needs icupkg and a C compiler."""
    for tool in ("icupkg", "cc", "readelf"):
        if not shutil.which(tool):
            raise IcuError(paths.missing(tool))
    symbol = f"icudt{version}_dat"
    table = output(["readelf", "-sW", "--dyn-syms", str(library)])
    found = re.search(rf"^\s*\d+:\s+([0-9a-f]+)\s+(0x[0-9a-f]+|\d+)\s+OBJECT\s+GLOBAL\s+\S+\s+(\d+)\s+{symbol}$",
                      table, re.M)
    sections = output(["readelf", "-SW", str(library)])
    if not found:
        raise IcuError(f"{library} holds no {symbol}")
    address, size, index = int(found.group(1), 16), int(found.group(2), 0), int(found.group(3))
    section = re.search(rf"^\s*\[\s*{index}\]\s+\S+\s+\S+\s+([0-9a-f]+)\s+([0-9a-f]+)", sections, re.M)
    offset = address - int(section.group(1), 16) + int(section.group(2), 16)
    with tempfile.TemporaryDirectory() as work:
        work = Path(work)
        name = f"icudt{version}l.dat"  # icupkg takes the items' prefix from the file name
        with open(library, "rb") as source:
            source.seek(offset)
            (work / name).write_bytes(source.read(size))
        items = output(["icupkg", "-l", str(work / name)]).split()
        (work / "remove.txt").write_text("\n".join(i for i in items if not KEEP.match(i)) + "\n")
        (work / "out").mkdir()
        subprocess.run(["icupkg", "--ignore-deps", "-r", str(work / "remove.txt"), str(work / name),
                        str(work / "out" / name)], check=True, capture_output=True)
        # The data in .data, after the dynamic section: the loader then reads the library's
        # first pages only.
        (work / "data.S").write_text(
            f'    .data\n    .globl {symbol}\n    .type {symbol}, @object\n    .balign 16\n{symbol}:\n'
            f'    .incbin "{work / "out" / name}"\n    .size {symbol}, .-{symbol}\n'
            '    .section .note.GNU-stack,"",@progbits\n')
        subprocess.run(["cc", "-shared", "-nostdlib", f"-Wl,-soname,{library.name}", "-o", str(library),
                        str(work / "data.S")], check=True)
    library.chmod(0o644)
