"""The one place the kit asks discinfo: `discinfo --json` for what the launcher picks and shows,
`discinfo --check` for the disc check. Paths come back as bytes-exact strings (os.fsencode)."""
import json
import os
import subprocess
import sys
from dataclasses import dataclass, field


class DiscinfoError(Exception):
    pass


@dataclass
class PageFile:
    """A file the page may load (disc.pageFiles)."""
    source: str      # the referring file, relative to the folder
    reference: str   # as written there
    path: str        # the file it names, relative to the folder


@dataclass
class Refusal:
    """A reference the page may not load (disc.pageRefused), with discinfo's reason."""
    source: str
    reference: str
    path: str        # None where the name leads out of the folder
    reason: str


@dataclass
class Report:
    """One line of `discinfo --json`."""
    raw: dict
    kind: str = "Other"
    movie: str = None
    lines: dict = field(default_factory=dict)
    picture: str = None
    page: str = None
    title_strip: str = ""
    page_files: list = field(default_factory=list)
    refused: list = field(default_factory=list)

    @classmethod
    def parse(cls, raw):
        disc = raw.get("disc") or {}
        files = [PageFile(f["from"], f["reference"], f["path"]) for f in disc.get("pageFiles", [])]
        refused = [Refusal(r["from"], r["reference"], r["path"], r["reason"]) for r in disc.get("pageRefused", [])]
        return cls(raw, raw["kind"], raw.get("moviePath"), raw.get("lines", {}), disc.get("picturePath"),
                   disc.get("pagePath"), disc.get("titleStrip", ""), files, refused)

    def blank_tag_lines(self):
        return not any(self.lines.get(key) for key in ("title", "author", "copyright", "genre"))


def describe(discinfo, paths, page=None):
    """One Report per path, from one run of `discinfo --json`. `page` names the page of each
    folder whose files `page_files` lists (--page)."""
    command = [discinfo, "--json"] + (["--page", page] if page else []) + ["--"] + [str(p) for p in paths]
    result = subprocess.run(command, capture_output=True)
    lines = result.stdout.decode("utf-8", "surrogateescape").splitlines()
    if result.returncode != 0 or len(lines) != len(paths):
        said = result.stderr.decode("utf-8", "replace").strip()
        raise DiscinfoError(said or f"discinfo ended with status {result.returncode}")
    try:
        return [Report.parse(json.loads(line)) for line in lines]
    except (ValueError, KeyError) as error:
        raise DiscinfoError(f"discinfo's report cannot be read: {error}") from error


# --check's exit statuses: clean (notes at most), warnings, errors, the check could not run.
CLEAN, WARNINGS, ERRORS, COULD_NOT_RUN = 0, 1, 2, 3


def check(discinfo, folder):
    """Runs the disc check; its status and findings, which go to standard output as well."""
    result = subprocess.run([discinfo, "--check", "--", str(folder)], stdout=subprocess.PIPE)
    said = result.stdout.decode("utf-8", "replace")
    sys.stdout.write(said)
    sys.stdout.flush()
    return result.returncode, said


def native(path):
    """A path from discinfo as the bytes the file system knows it by."""
    return os.fsencode(path) if path is not None else None
