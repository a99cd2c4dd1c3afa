"""The page's files as discinfo lists them (disc.pageFiles): what is copied to the disc, and what
the page refers to but the disc will not get, with the reason."""
import os
from dataclasses import dataclass, field

from . import guard


@dataclass
class Found:
    copied: list = field(default_factory=list)    # paths relative to the page's folder
    problems: list = field(default_factory=list)  # messages


def held_back(folder, path):
    """Why a file discinfo lists is not copied all the same, or None: the page view loads no
    hidden file and nothing through a link out of the page's folder, so neither may reach a
    disc whatever lists it."""
    if any(part.startswith(".") for part in path.split("/")):
        return "it is hidden"
    target = guard.real(os.path.join(folder, path))
    if not guard.inside(target, guard.real(folder)):
        return "a link leads out of the page's folder"
    if not os.path.isfile(target):
        return "it is not a plain file"
    return None


def case_hint(folder, path):
    """"", or a note naming the file that `path` names but for letter case, in any of its parts."""
    current, found = folder, []
    for part in path.split("/"):
        try:
            entries = os.listdir(current)
        except OSError:
            return ""
        match = part if part in entries else next((e for e in entries if e.casefold() == part.casefold()), None)
        if match is None:
            return ""
        found.append(match)
        current = os.path.join(current, match)
    twin = "/".join(found)
    return f" ({twin} is there, which differs only in case: make the names agree)" if twin != path else ""


# Why discinfo refuses a reference, as the author reads it.
REASONS = {"hidden": "it is hidden", "link-outside": "a link leads out of the page's folder",
           "special": "it is not a plain file", "unreadable": "it cannot be read",
           "too-large": "it is larger than the page view reads (1 MiB for a page or style sheet, 32 MiB for a picture)"}


def page_files(report, folder):
    found = Found()
    for r in report.refused:
        if not r.source:  # the page itself
            found.problems.append(f"the page {r.path} is not shown, {REASONS.get(r.reason, r.reason)}: make it"
                                  " smaller, moving parts of it into pages it links")
        elif r.reason == "outside" or r.path is None:
            found.problems.append(f"{r.source} refers to {r.reference}, outside the page's folder: the page does not"
                                  " show it")
        elif r.reason == "missing":
            found.problems.append(f"{r.source} refers to {r.path}, which is not beside it{case_hint(folder, r.path)}")
        else:
            found.problems.append(f"{r.source} refers to {r.path}, which is not copied: "
                                  + REASONS.get(r.reason, r.reason))
    for f in report.page_files:
        # discinfo lists only what the page may load; checked again here, where a file is copied.
        why = held_back(folder, f.path)
        if why:
            found.problems.append(f"{f.source} refers to {f.path}, which is not copied: {why}")
        elif f.path not in found.copied:
            found.copied.append(f.path)
    return found
