"""Copying a disc's content, and what a run has written."""
import errno
import os
import shutil
import sys

CHUNK = 1 << 20


class Changed(Exception):
    """A source changed while the run read it; the message names it."""


def identity(path):
    """What tells a file's content apart cheaply: its length and when it was last written."""
    status = os.stat(path)
    return status.st_size, status.st_mtime_ns


def copy(source, target, what=None, expected=None):
    """Copies a file's bytes, holes included: a sparse film stays sparse (as cp keeps it). The
    copy is whole or refused: a source whose length or time of writing differs after the copy
    from `expected` (what it was when the run began) or from what it was at the start of the
    copy (an encoder or a download starting over) raises Changed, naming it as `what`."""
    with open(source, "rb") as src, open(target, "wb") as dst:
        status = os.fstat(src.fileno())
        size = status.st_size
        before = expected or (size, status.st_mtime_ns)
        offset = 0
        try:
            while offset < size:
                try:
                    data = os.lseek(src.fileno(), offset, os.SEEK_DATA)
                except OSError as error:
                    if error.errno != errno.ENXIO:  # the rest is one hole
                        raise
                    break
                hole = min(os.lseek(src.fileno(), data, os.SEEK_HOLE), size)
                src.seek(data)
                dst.seek(data)
                left = hole - data
                while left > 0:
                    chunk = src.read(min(left, CHUNK))
                    if not chunk:
                        break
                    dst.write(chunk)
                    left -= len(chunk)
                offset = hole
        except OSError as error:
            if error.errno != errno.EINVAL:  # a file system that cannot tell holes: copy it all
                raise
            src.seek(0)
            dst.seek(0)
            shutil.copyfileobj(src, dst, CHUNK)
        dst.truncate(size)
        after = os.fstat(src.fileno())
    if (after.st_size, after.st_mtime_ns) != before or size != before[0]:
        was, now = before[0], after.st_size
        lengths = f"{was:,} bytes when the run began, {now:,} now" if was != now else "written to meanwhile"
        raise Changed(f"{what or 'the file'} {source} changed while the disc was made ({lengths}): make it again once"
                      " the file is complete")


class Written:
    """What this run creates in a folder, recorded as it is made: every file the kit opens for
    writing there that was not there before, every folder it makes and every file it moves in.
    A failed run removes exactly that, and never what someone else put there meanwhile. Programs
    the kit runs are not heard: what they make is noted with note()."""

    active = None

    def __init__(self, root):
        self.root = os.path.abspath(root)
        self.files, self.folders = [], []
        self.known = set()

    def __enter__(self):
        if not getattr(Written, "listening", False):
            sys.addaudithook(Written._heard)
            Written.listening = True
        Written.active = self
        return self

    def __exit__(self, *failure):
        Written.active = None

    def note(self, path, folder=False):
        path = os.path.abspath(os.fspath(path))
        inside = path == self.root or path.startswith(self.root.rstrip(os.sep) + os.sep)
        if inside and path not in self.known and not os.path.lexists(path):
            self.known.add(path)
            (self.folders if folder else self.files).append(path)

    def moved(self, source, target):
        source = os.path.abspath(os.fspath(source))
        if source in self.files:
            self.files.remove(source)
            self.known.discard(source)
        self.note(target)

    @staticmethod
    def _heard(event, args):
        ledger = Written.active
        if ledger is None:
            return
        if event == "open":
            path, _, flags = args
            if isinstance(path, (str, bytes, os.PathLike)) and flags & (os.O_WRONLY | os.O_RDWR | os.O_CREAT):
                ledger.note(os.fsdecode(path))
        elif event == "os.mkdir":
            ledger.note(os.fsdecode(args[0]), folder=True)
        elif event == "os.rename":
            ledger.moved(os.fsdecode(args[0]), os.fsdecode(args[1]))
        elif event in ("os.symlink", "os.link"):
            ledger.note(os.fsdecode(args[1]))

    def remove(self):
        """Removes what was recorded; the paths kept because something not ours is in them."""
        for path in reversed(self.files):
            if os.path.lexists(path) and not (os.path.isdir(path) and not os.path.islink(path)):
                os.unlink(path)
        kept = []
        # Deepest first: a folder is heard before its parents when they are made for it.
        for path in sorted(self.folders, key=lambda p: p.count(os.sep), reverse=True):
            try:
                os.rmdir(path)
            except FileNotFoundError:
                pass
            except OSError:
                kept.append(path)
        return kept


def note(path):
    """Records a file a program the kit runs is about to write."""
    if Written.active:
        Written.active.note(path)
