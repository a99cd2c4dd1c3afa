#!/usr/bin/env python3
"""Packs the Windows window program behind its start program: START (the start program) with
PROGRAM compressed (xz: the x86 branch filter, then LZMA2) appended, and the stamp the start
program reads written into START's image. The build runs it; it writes OUTPUT.

  scripts/release/pack-launcher.py START PROGRAM OUTPUT
"""
import hashlib
import lzma
import struct
import sys
from pathlib import Path

TAG = b"discstart-packed"
# The tag, the two lengths, the window program's SHA-256 in hex (its first 16 digits name the
# folder it is unpacked into; the start program runs a copy it finds there only when the whole
# hash matches).
STAMP_SIZE = len(TAG) + 8 + 8 + 64
# The unpacking start program allows itself this much memory; the dictionary never needs to be
# larger than the program.
MAX_DICTIONARY = 64 << 20


def image_end(pe):
    """Where the sections of a PE image end in its file: anything after is appended data."""
    nt = struct.unpack_from("<I", pe, 0x3C)[0]
    if pe[nt:nt + 4] != b"PE\0\0":
        raise SystemExit("pack-launcher: the start program is no PE image")
    sections, optional_size = struct.unpack_from("<H", pe, nt + 6)[0], struct.unpack_from("<H", pe, nt + 20)[0]
    end = struct.unpack_from("<I", pe, nt + 24 + 60)[0]  # SizeOfHeaders
    table = nt + 24 + optional_size
    for i in range(sections):
        size, pointer = struct.unpack_from("<II", pe, table + 40 * i + 16)
        if size:
            end = max(end, pointer + size)
    return end


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    start, program, output = (Path(a) for a in sys.argv[1:])
    stub = bytearray(start.read_bytes())
    window = program.read_bytes()
    if image_end(stub) != len(stub):
        raise SystemExit("pack-launcher: the start program already carries data after its image (link it stripped)")
    placeholder = TAG + b"." * (STAMP_SIZE - len(TAG))
    at = stub.find(placeholder)
    if at < 0 or stub.find(placeholder, at + 1) >= 0:
        raise SystemExit("pack-launcher: the start program holds no single stamp to write")
    dictionary = min(MAX_DICTIONARY, max(1 << 16, 1 << (len(window) - 1).bit_length()))
    packed = lzma.compress(window, format=lzma.FORMAT_XZ, check=lzma.CHECK_CRC32, filters=[
        {"id": lzma.FILTER_X86},
        {"id": lzma.FILTER_LZMA2, "preset": 9 | lzma.PRESET_EXTREME, "dict_size": dictionary},
    ])
    digest = hashlib.sha256(window).hexdigest().encode()
    stamp = TAG + struct.pack("<QQ", len(packed), len(window)) + digest
    assert len(stamp) == STAMP_SIZE
    stub[at:at + STAMP_SIZE] = stamp
    partial = output.with_name(output.name + ".part")
    partial.write_bytes(bytes(stub) + packed)
    partial.chmod(0o755)
    partial.replace(output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
