"""The disc kit: python3 -m disckit COMMAND [ARGS] (tools/ on the module path).

  make-disc [OPTIONS] MOVIE OUT   make a movie disc (make-disc --help)
"""
import sys

from . import makedisc


def main(argv):
    commands = {"make-disc": makedisc.main}
    if len(argv) < 1 or argv[0] not in commands:
        sys.stderr.write(__doc__)
        return 2
    return commands[argv[0]](argv[1:])


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
