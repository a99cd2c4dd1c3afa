"""The disc's content laid out: which file goes on the disc under which name, and what keeps a
layout from being written. Pure: names in, names and problems out."""
import os
from dataclasses import dataclass, field

from . import layout, names

PICTURES = (".jpg", ".jpeg", ".bmp", ".gif")
LISTED_PICTURES = (".jpg", ".bmp", ".gif")
PAGES = (".htm", ".html")
# The movie keeps a name its kind is listed by: AVI and Ogg media as .avi; the films the
# launcher takes where there is no .avi keep their own suffix, or get their kind's first.
MOVIE_SUFFIXES = {"Mp4": (".mp4", ".m4v", ".mov"), "Matroska": (".mkv", ".webm")}


@dataclass
class Placed:
    name: str    # on the disc, relative to its folder
    source: str  # where it comes from
    role: str    # "movie", "cover", "page" or "page file"


@dataclass
class Layout:
    movie: Placed
    cover: Placed = None
    page: Placed = None
    page_files: list = field(default_factory=list)

    def all(self):
        return [p for p in [self.movie, self.cover, self.page] + self.page_files if p]


def stem(path):
    name = os.path.basename(path)
    return os.path.splitext(name)[0] if "." in name.lstrip(".") else name


def suffix(path):
    return os.path.splitext(path)[1].lower()


def movie_suffix(kind, path):
    own = suffix(path)
    choices = MOVIE_SUFFIXES.get(kind)
    if not choices:
        return ".avi"
    return own if own in choices else choices[0]


def movie_name(label, kind, path):
    """The movie is named after the label, so that the title strip shows it."""
    return names.made_name(label, movie_suffix(kind, path), "movie")


def sort_key(name):
    """The launcher's order of names, near enough to choose a name by (discinfo has the last
    word): letter case ignored, then by code point."""
    return ([c.lower() if len(c.lower()) == 1 else c for c in name], name)


def first_before(name, others):
    """`name` with a prefix that puts it before every one of `others` in the launcher's order
    (names that follow the name rule: none starts with a space or holds a control character),
    or `name` itself when it comes first already."""
    if not others or all(sort_key(name) < sort_key(o) for o in others):
        return name
    first = min(others, key=sort_key)
    keep = 0
    while keep < len(first) and first[keep].lower() <= "!":
        keep += 1
    return first[:keep] + "!" + name


def cover_name(path, others):
    """The cover keeps its own name where the rule allows (a .jpeg becomes .jpg, the one JPEG
    name the launcher lists), made to come before the page's pictures `others` at the top of the
    disc: it is the first picture the launcher finds, whatever the page's names."""
    ext = suffix(path)
    name = names.made_name(stem(path), ".jpg" if ext == ".jpeg" else ext, "cover")
    return first_before(name, [o for o in others if o != name])


def root_pictures(page_files):
    """The page's pictures at the top of the disc, where the launcher looks for its cover."""
    return [p.name for p in page_files
            if "/" not in p.name and suffix(p.name) in LISTED_PICTURES and not p.name.startswith(".")]


def plan(movie, kind, label, cover, page, page_files):
    """The layout: the movie named after the label, the cover first among the pictures, the
    page and its files (`page_files`: paths relative to the page's folder) as they lie beside
    it."""
    folder = os.path.dirname(page) if page else ""
    files = [Placed(path, os.path.join(folder, path), "page file") for path in page_files]
    placed = Layout(Placed(movie_name(label, kind, movie), movie, "movie"), page_files=files)
    if page:
        placed.page = Placed(os.path.basename(page), page, "page")
    if cover:
        same = [p for p in files if p.name == os.path.basename(cover) and same_file(p.source, cover)]
        placed.cover = Placed(cover_name(cover, root_pictures(f for f in files if f not in same)), cover, "cover")
        if same and placed.cover.name == same[0].name:
            placed.page_files.remove(same[0])  # the page shows the cover itself: on the disc once
    return placed


def same_file(a, b):
    try:
        return os.path.samefile(a, b)
    except OSError:
        return False


def problems(placed):
    """What keeps the layout from being written, as messages: names Windows cannot open (the
    page's own names, which its references fix), names the kit needs, names equal but for case."""
    found = []
    seen = {}
    for item in placed.all():
        problem = names.path_problem(item.name)
        if problem:
            what = f"the {item.role} {item.name!r}" if item.role != "page file" else f"the page's file {item.name!r}"
            fix = "rename it, and the page's reference to it" if item.role == "page file" else "rename it"
            found.append(f"{what} cannot be opened on Windows ({problem}): {fix}")
            continue
        taken = layout.kit_name(item.name)
        if taken:
            found.append(f"the {item.role} {item.name!r} takes the name of the disc's own {taken.rstrip('/')}:"
                         f" rename it")
        key = item.name.casefold()
        if key in seen and seen[key] != item.name:
            found.append(f"{seen[key]!r} and {item.name!r} differ only in case: Windows keeps one of them;"
                         " rename one")
        elif key in seen:
            found.append(f"two files would be {item.name!r} on the disc: rename the {item.role}")
        seen.setdefault(key, item.name)
    return found
