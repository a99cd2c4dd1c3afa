"""The disc's content, laid out: which file goes on the disc under which name. Pure: the names
come in, the layout and what is wrong with it come out."""
import os
from dataclasses import dataclass, field


PICTURES = (".jpg", ".jpeg", ".bmp", ".gif")
PAGES = (".htm", ".html")


@dataclass
class Placed:
    name: str    # on the disc, relative to its folder
    source: str  # where it comes from


@dataclass
class Content:
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


def cover_name(path):
    """The cover keeps its name; a .jpeg becomes .jpg, the one JPEG name the launcher lists."""
    name = os.path.basename(path)
    return name[:-5] + ".jpg" if suffix(name) == ".jpeg" else name


def movie_name(label, movie_path, made_name):
    """The movie is named after the label, so that the title strip shows it."""
    base = stem(movie_path)
    return base + ".avi" if label == base else made_name(label) + ".avi"
