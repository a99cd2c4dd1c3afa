#!/bin/sh
# make-disc from the unpacked archive: the disc kit in lib/ beside it, run by Python 3.
here=$(dirname "$(readlink -f "$0")")
if ! command -v python3 >/dev/null 2>&1; then
    echo "make-disc: python3 is missing: install it (Debian, Ubuntu: sudo apt-get install python3;" \
        "Fedora: sudo dnf install python3; openSUSE: sudo zypper install python3)" >&2
    exit 1
fi
exec python3 -B "$here/lib/make-disc.py" "$@"
