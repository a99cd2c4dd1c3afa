"""make-disc's command line."""
from dataclasses import dataclass, field

from . import layout

USAGE = """\
usage: make-disc [OPTIONS] MOVIE OUT

Makes the disc folder OUT (new, or empty) from the film MOVIE: an AVI file, Ogg media (it goes
on the disc under an .avi name), an MP4/M4V or a Matroska/WebM film.

  --cover PICTURE  the cover picture: JPEG (.jpg, .jpeg), BMP or GIF
  --page HTML      the page behind the page button (.htm, .html); the pictures, style sheets
                   and pages it refers to come along from beside it
  --label NAME     the disc's name: the title strip (the movie is named after it), the
                   volume name and the Windows AutoPlay entry; default: the movie's name
  --iso FILE       also write an ISO 9660 image with Joliet and Rock Ridge names
  --medium KIND    cd (703.1 MiB), dvd (4482.5 MiB) or dvd-dl (8147.9 MiB): what the disc must
                   fit; default: the smallest the whole disc fits on
  --linux-only     a disc without the Windows launcher: Windows shows its files and starts
                   nothing (no autorun.inf)
  --bundle         the Linux launcher with Qt's shared libraries beside it in qt/ (needs the C
                   library of Debian 12) instead of one file with Qt linked in (Debian 11 and
                   newer); the default where scripts/release/linux-build has not made the one file
  --webengine      show the page with Qt WebEngine (needs a build with it and the bundle;
                   about 215 MB more)
  --sources        put the source of everything on the disc into sources/ (downloads)
  --preview        start the disc's launcher from OUT when it is made, as a viewer would
  --force          make the disc despite what the disc check finds: no cover, a file the
                   page refers to that is missing, the check's errors
  -h, --help       show this help
  --version        show make-disc's version

A MOVIE or OUT whose name starts with '-' goes after --, or as ./-name.

Environment: DISCSTART_BUILD (build folder, default build-demo/ as scripts/demo makes it),
DISCSTART_LAUNCHER, DISCSTART_START and DISCINFO (the programs, default from the build folder),
DISCSTART_WINDOWS_EXE (the Windows launcher, default src/app/discstart.exe in
DISCSTART_WINDOWS_BUILD, itself build-windows/ by default, when it exists), DISCSTART_QT_WINDOWS
(the Qt for Windows it links, whose licence goes on the disc; default from
scripts/toolchain/qt-windows --prefix), DISCSTART_XZ_WINDOWS (the liblzma its start program links,
likewise; default from scripts/toolchain/xz-windows --prefix), DISCSTART_LINUX_BUILD (the one-file
launcher and its start program, default build-linux-static/ as scripts/release/linux-build makes it),
DISCSTART_SOURCE_URL (where discstart's source can be had, for SOURCES.txt).

Exit status: 0 made, 1 the disc could not be made as asked, 2 usage error.
Preview a disc again with: sh OUT/autorun.sh
"""

VALUED = ("--cover", "--page", "--label", "--iso", "--medium")
FLAGS = ("--force", "--linux-only", "--bundle", "--webengine", "--sources", "--preview")


class UsageError(Exception):
    pass


@dataclass
class Options:
    movie: str = ""
    out: str = ""
    cover: str = ""
    page: str = ""
    label: str = ""
    iso: str = ""
    medium: str = ""
    force: bool = False
    linux_only: bool = False
    bundle: bool = False
    webengine: bool = False
    sources: bool = False
    preview: bool = False
    help: bool = False
    version: bool = False
    positional: list = field(default_factory=list)


def parse(args):
    """Options from make-disc's arguments; UsageError names what is wrong."""
    options = Options()
    i = 0
    while i < len(args):
        arg = args[i]
        if arg in VALUED:
            if i + 1 >= len(args) or not args[i + 1] or args[i + 1].startswith("--"):
                raise UsageError(f"option {arg} needs a value")
            setattr(options, arg[2:], args[i + 1])
            i += 1
        elif arg in FLAGS:
            setattr(options, arg[2:].replace("-", "_"), True)
        elif arg in ("-h", "--help"):
            options.help = True
            return options
        elif arg == "--version":
            options.version = True
            return options
        elif arg == "--":
            options.positional += args[i + 1:]
            break
        elif arg.startswith("-") and arg != "-":
            hint = "" if arg.startswith("--") else f" (a file named so goes after --, or as ./{arg})"
            raise UsageError(f"unknown option '{arg}'{hint}")
        else:
            options.positional.append(arg)
        i += 1
    if len(options.positional) > 2:
        raise UsageError("one MOVIE and one OUT folder, not: " + " ".join(options.positional))
    if len(options.positional) < 2:
        raise UsageError("give a MOVIE and the OUT folder to make")
    options.movie, options.out = options.positional
    if options.medium and not layout.medium_named(options.medium):
        raise UsageError(f"--medium is {', '.join(m.name for m in layout.MEDIA[:-1])} or {layout.MEDIA[-1].name},"
                         f" not '{options.medium}'")
    return options
