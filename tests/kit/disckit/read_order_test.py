#!/usr/bin/env python3
"""The read order the kit appends to the start program, read back by the start program's own
rules (READ_ORDER_PROBE, built from src/start) and by the kit."""
import os
import subprocess
import tempfile
import unittest

import kit_support  # noqa: F401
from disckit import layout

PROBE = os.environ.get("READ_ORDER_PROBE", "")


def start_program(entries, tail=b""):
    text = layout.order_text(entries)
    return b"\x7fELF" + bytes(range(256)) * 8 + text.encode() + layout.footer(text) + tail


@unittest.skipUnless(os.access(PROBE, os.X_OK), "needs READ_ORDER_PROBE (tests/kit's read_order_probe)")
class RoundTripTest(unittest.TestCase):
    def read_back(self, data):
        with tempfile.NamedTemporaryFile() as f:
            f.write(data)
            f.flush()
            out = subprocess.run([PROBE, f.name], check=True, capture_output=True).stdout.decode()
        lines = [tuple(line.split("\t", 1)) for line in out.splitlines()]
        self.film = dict(lines[-1:]).get("film")
        return lines[:-1]

    def test_what_the_kit_writes_the_start_program_reads(self):
        entries = [("start", "discstart"), ("host", "discstart-host"), ("disc", "discstart-disc"),
                   ("disc", "qt/lib/x86_64-linux-gnu/libQt6Core.so.6"), ("xcb", "qt/lib/a name with spaces.so"),
                   ("late", "qt/lib/libicudata.so.72"), ("wayland", "qt/lib/Köln.so"), ("page", "qt/read-order"),
                   ("movie", "Night Train.avi")]
        data = start_program(entries)
        self.assertEqual(self.read_back(data), entries)
        self.assertEqual(self.film, "Night Train.avi")
        self.assertEqual(layout.carried_order(data), entries)

    def test_a_broken_footer_gives_no_order_to_either(self):
        good = start_program([("disc", "qt/a.so")])
        broken = [good[:-1], good + b"\n", good[:-2] + b"x\n", good.replace(b"#read-order", b"#read-ordex")]
        for data in broken:
            with self.subTest(data=data[-24:]):
                self.assertEqual(self.read_back(data), [])
                self.assertEqual(self.film, "")
                self.assertEqual(layout.carried_order(data), [])

    def test_the_length_names_the_text_exactly(self):
        one = layout.order_text([("disc", "x")])
        self.assertEqual(layout.footer(one), b"\n#read-order 0000000007\n")
        self.assertEqual(len(layout.footer(one)), 24)  # Start::OrderFooterSize


class OrderTextTest(unittest.TestCase):
    def test_entries_a_start_program_could_not_read_are_refused(self):
        for entry in [("bogus", "x"), ("disc", ""), ("disc", "a\nb"), ("disc", " lead"), ("disc", "trail\r")]:
            with self.subTest(entry=entry):
                with self.assertRaises(ValueError):
                    layout.order_text([entry])


if __name__ == "__main__":
    unittest.main()
