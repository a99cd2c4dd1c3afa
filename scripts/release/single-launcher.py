#!/usr/bin/env python3
"""Puts the Linux launcher into a disc folder as one self-contained file (scripts/release/linux-build)
instead of a launcher with the Qt libraries beside it (the disc kit's bundle):

  scripts/release/single-launcher.py [--page-in] START HOST SINGLE OUT [MOVIE]

  OUT/discstart        START, the start program, with the read order appended
  OUT/discstart-host   HOST, the launcher for the machine's Qt (stripped, no run path)
  OUT/discstart-disc   SINGLE, the launcher with Qt linked in
  OUT/qt/read-order    the same read order, which the disc kit lays the ISO image out by

MOVIE (a name in OUT) is the film the start program hands to the system's player where neither
launcher can run. The start program reads the self-contained launcher whole before it runs it,
in one sweep; --page-in leaves it to the kernel to read the pages the launcher touches.
"""
import argparse
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
from disckit import bundle  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--page-in", action="store_true")
    for name in ("start", "host", "single", "out"):
        parser.add_argument(name, type=Path)
    parser.add_argument("movie", nargs="?")
    args = parser.parse_args()
    if args.movie and ("\n" in args.movie or not (args.out / args.movie).is_file()):
        sys.exit(f"single-launcher: no film {args.movie!r} in {args.out}")
    bundle.one_file(args.host, args.single, args.start, args.out, args.movie, args.page_in)


if __name__ == "__main__":
    main()
