"""Copying a disc's content."""
import errno
import os
import shutil

CHUNK = 1 << 20


def copy(source, target):
    """Copies a file's bytes, holes included: a sparse film stays sparse (as cp keeps it)."""
    with open(source, "rb") as src, open(target, "wb") as dst:
        size = os.fstat(src.fileno()).st_size
        offset = 0
        try:
            while offset < size:
                try:
                    data = os.lseek(src.fileno(), offset, os.SEEK_DATA)
                except OSError as error:
                    if error.errno != errno.ENXIO:  # the rest is one hole
                        raise
                    break
                hole = os.lseek(src.fileno(), data, os.SEEK_HOLE)
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
