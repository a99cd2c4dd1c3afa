#!/usr/bin/env python3
"""The read order the kit appends to the start program, read back by the start program's own
rules (READ_ORDER_PROBE, built from src/start) and by the kit."""
import os
import subprocess
import tempfile
import unittest

import kit_support  # noqa: F401
from disckit import bundle, layout, paths

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


class OneFileTest(unittest.TestCase):
    def test_the_one_file_is_laid_out_with_its_read_order(self):
        with tempfile.TemporaryDirectory() as out:
            single = os.path.join(out, "single")
            with open(single, "wb") as f:
                f.write(b"one file with Qt")
            start = os.path.join(out, "start")
            with open(start, "wb") as f:
                f.write(b"start program")
            disc = os.path.join(out, "disc")
            os.mkdir(disc)
            for page_in, group in ((False, "disc"), (True, "late")):
                with self.subTest(page_in=page_in):
                    bundle.one_file("/bin/true", single, start, disc, "Night Train.mkv", page_in)
                    entries = [("start", layout.START), ("host", layout.HOST), (group, layout.DISC),
                               ("movie", "Night Train.mkv")]
                    with open(os.path.join(disc, layout.START), "rb") as f:
                        carried = f.read()
                    self.assertTrue(carried.startswith(b"start program"))
                    self.assertEqual(layout.carried_order(carried), entries)
                    with open(os.path.join(disc, layout.READ_ORDER)) as f:
                        self.assertEqual(f.read(), layout.order_text(entries))
                    with open(os.path.join(disc, layout.DISC), "rb") as f:
                        self.assertEqual(f.read(), b"one file with Qt")
                    self.assertTrue(os.access(os.path.join(disc, layout.HOST), os.X_OK))
            self.assertEqual(sorted(os.listdir(disc)), sorted(n.rstrip("/") for n in layout.ONE_FILE.files))

    def test_the_one_file_counts_only_with_its_start_program(self):
        with tempfile.TemporaryDirectory() as build:
            for made, expected in (((), (None, None)), (("src/app/discstart",), (None, None)),
                                   (("src/app/discstart", "src/start/disc_start"),
                                    ("src/app/discstart", "src/start/disc_start"))):
                with self.subTest(made=made):
                    for name in made:
                        os.makedirs(os.path.dirname(os.path.join(build, name)), exist_ok=True)
                        open(os.path.join(build, name), "w").close()
                    found = paths.one_file({"DISCSTART_LINUX_BUILD": build}, None)
                    self.assertEqual(found, tuple(p and paths.Path(build) / p for p in expected))
            self.assertEqual(paths.one_file({}, None), (None, None))


if __name__ == "__main__":
    unittest.main()
