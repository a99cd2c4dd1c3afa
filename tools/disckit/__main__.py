"""The disc kit: python3 -m disckit COMMAND [ARGS] (with tools/ on the module path).

  make-disc [OPTIONS] MOVIE OUT      make a movie disc (make-disc --help)
  bundle [--start START] PROGRAM OUT put a launcher with the Qt it loads into a disc folder
  licenses [--windows-qt PREFIX] [--sources] [--source-url URL] DISC
                                     put the licences and SOURCES.txt of what a disc carries on it
  iso [--plain] [--label LABEL] FOLDER ISO
                                     write a disc folder as the ISO image make-disc writes
  folder [--label LABEL] OUT         a disc folder with everything but the film, cover and page
"""
import argparse
import sys
from pathlib import Path

from . import bundle, discinfo, iso, licenses, makedisc, names, paths


def run_bundle(args):
    found = paths.find()
    print(bundle.bundle(Path(args.program), Path(args.out), args.start or found.start))


def run_licenses(args):
    print(licenses.put_licenses(args.disc, paths.find(), args.windows_qt, args.sources, args.source_url))


def run_iso(args):
    report = discinfo.describe(paths.find().discinfo, [args.folder])[0]
    label = {"label": names.shown_label(args.label), "volume_id": names.volume_id(args.label)} if args.label else {}
    iso.write(args.folder, args.iso, iso.content_order(report, str(args.folder)), compress=not args.plain, **label)


def run_folder(args):
    makedisc.ready_folder(Path(args.out), args.label)


def main(argv):
    if argv[:1] == ["make-disc"]:
        return makedisc.main(argv[1:], "python3 -m disckit make-disc")
    parser = argparse.ArgumentParser(prog="python3 -m disckit", description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    command = commands.add_parser("bundle")
    command.add_argument("--start", help="the disc's start program (default: the build's or the installed)")
    command.add_argument("program")
    command.add_argument("out")
    command.set_defaults(run=run_bundle)
    command = commands.add_parser("licenses")
    command.add_argument("--windows-qt", default="")
    command.add_argument("--sources", action="store_true")
    command.add_argument("--source-url", default="")
    command.add_argument("disc")
    command.set_defaults(run=run_licenses)
    command = commands.add_parser("iso")
    command.add_argument("--plain", action="store_true", help="store every file uncompressed")
    command.add_argument("--label", help="the volume name")
    command.add_argument("folder")
    command.add_argument("iso")
    command.set_defaults(run=run_iso)
    command = commands.add_parser("folder")
    command.add_argument("--label", default="Movie")
    command.add_argument("out")
    command.set_defaults(run=run_folder)
    args = parser.parse_args(argv)
    try:
        args.run(args)
    except makedisc.ERRORS as error:
        print(f"disckit {args.command}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
