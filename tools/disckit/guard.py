"""What make-disc writes against what it reads: no output may be, or lie inside, one of its
inputs, and no input may lie inside an output. Paths are compared by where they lead (links
followed, as far as they exist) and part by part, so "out2/film.avi" does not lie in "out"."""
import os


def real(path):
    return os.path.realpath(os.path.abspath(path))


def inside(path, folder):
    """Whether `path` is `folder` or lies in it (both real paths)."""
    return path == folder or os.path.commonpath([path, folder]) == folder


def same(a, b):
    """The same file, also under another name (a hard link)."""
    if real(a) == real(b):
        return True
    try:
        return os.path.samefile(a, b)
    except OSError:
        return False


def overlaps(inputs, out, iso=None):
    """Messages for each clash between the inputs (role -> path; a role may name several paths)
    and the disc folder `out` and the ISO image `iso`."""
    found = []
    folder = real(out)
    for role, paths in inputs.items():
        for path in ([paths] if isinstance(paths, str) else paths):
            where = real(path)
            if where == folder:
                found.append(f"the disc folder {out} is the {role} {path}: name a new folder")
            elif inside(where, folder):
                found.append(f"the {role} {path} lies inside the disc folder {out}: make the disc in a new folder")
            elif inside(folder, where):
                found.append(f"the disc folder {out} lies inside the {role} {path}: name a new folder")
            if iso and same(iso, path):
                found.append(f"--iso {iso} is the {role}: writing the image would destroy it; name another file")
    if iso:
        image = real(iso)
        if image == folder:
            found.append(f"--iso {iso} names the disc folder itself: name a file beside it")
        elif inside(image, folder):
            found.append(f"--iso {iso} lies inside the disc folder {out}: the image would hold itself; write it"
                         " beside the folder")
    return found
