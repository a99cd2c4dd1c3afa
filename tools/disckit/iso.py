"""Writes a disc folder as an ISO 9660 image with Rock Ridge names for Linux and a Joliet tree
for Windows without the Linux launcher. The launcher's
files come first, in the order they are read (qt/read-order), then what the launcher shows in
the order it reads it (the cover, the movie's header, the page and its files: as discinfo
reports them), then the rest. The Qt the disc carries is stored zisofs-compressed, which Linux
reads transparently: a drive then delivers it in less than half the time."""
import os
import subprocess
import tempfile

from . import layout

# Rock Ridge, Joliet with long names, level 3 (files over 4 GiB), names in UTF-8 whatever the
# locale.
OPTIONS = ["-r", "-J", "-joliet-long", "-iso-level", "3", "-input-charset", "UTF-8"]
# The Primary Volume Descriptor and its volume name.
PVD = 16 * layout.SECTOR
VOLUME_ID_AT = PVD + 40


class IsoError(Exception):
    pass


def content_order(report, folder):
    """What the launcher reads of its content, in that order, as paths relative to `folder`:
    the cover, the movie, the page, the files the page refers to."""
    first = [report.picture, report.movie, report.page]
    order = [os.path.relpath(path, folder) for path in first if path]
    order += [f.path for f in report.page_files]
    return order


def sort_weights(order_entries, content):
    """xorriso's sort weights: heavier files lie nearer the start of the disc, each file at the
    first place it is named: the launcher's files, then the content."""
    names = [path for group, path in order_entries if group in layout.LAUNCHER_GROUPS] + list(content)
    unique = list(dict.fromkeys(name for name in names if name))
    return "".join(f"{1000000 - i} /{name}\n" for i, name in enumerate(unique))


def compressed(order_entries):
    """The launcher's files stored compressed: all but the start program, which runs before
    anything is known of the kernel, and says what is wrong where it cannot read them."""
    return ["/" + path for group, path in order_entries if group in layout.LAUNCHER_GROUPS and group != "start"]


def linux_only(folder):
    """The Linux launcher's files on the disc: left out of the Joliet tree, which Windows reads,
    so that a Windows user sees the film, the cover, the page, the Windows launcher and the
    licences. Linux reads the Rock Ridge tree, which has everything."""
    return ["/" + name.rstrip("/") for name in layout.LINUX_FILES if os.path.lexists(os.path.join(folder, name))]


def read_order(folder):
    path = os.path.join(folder, layout.READ_ORDER)
    if not os.path.isfile(path):
        return []
    with open(path, encoding="utf-8") as f:
        return [tuple(line.split(" ", 1)) for line in f.read().splitlines() if " " in line]


def image_size(folder, options=OPTIONS):
    """The sectors the folder takes as an image, counted uncompressed (on the side of caution)."""
    result = subprocess.run(["xorriso", "-as", "mkisofs", *options, "-print-size", str(folder)],
                            capture_output=True, text=True)
    if result.returncode != 0 or not result.stdout.strip().isdigit():
        raise IsoError(f"xorriso could not measure {folder}")
    return int(result.stdout.strip())


def write(folder, iso, content, label=None, volume_id=None, compress=True, options=OPTIONS):
    """Writes `folder` to `iso`. `content`: what the launcher shows, in the order it reads it
    (content_order). `label` names the volume as Joliet shows it, `volume_id` the plain ISO 9660
    name, which xorriso would otherwise take from the label."""
    entries = read_order(folder)
    with tempfile.NamedTemporaryFile("w", suffix=".weights", encoding="utf-8") as weights:
        weights.write(sort_weights(entries, content))
        weights.flush()
        command = ["xorriso", "-as", "mkisofs", *options] + (["-V", label] if label is not None else [])
        command += ["--sort-weight-list", weights.name, "-o", str(iso), str(folder), "--"]
        hidden = linux_only(folder)
        if hidden:
            command += ["-hide", "joliet", *hidden, "--"]
        filters = compressed(entries) if compress else []
        if filters:
            command += ["-zisofs", "block_size=128k", "-set_filter", "--zisofs", *filters, "--"]
        if os.path.lexists(iso):
            os.remove(iso)
        result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        raise IsoError(f"xorriso could not write {iso}:\n{result.stdout}{result.stderr}".rstrip())
    if volume_id is not None:
        name_volume(iso, volume_id)


def name_volume(iso, volume_id):
    """xorriso writes one text into both volume names; the plain one gets its own."""
    with open(iso, "r+b") as image:
        image.seek(PVD)
        if image.read(6) != b"\x01CD001":
            raise IsoError(f"{iso} has no primary volume descriptor")
        image.seek(VOLUME_ID_AT)
        image.write(volume_id.encode("ascii").ljust(32))
