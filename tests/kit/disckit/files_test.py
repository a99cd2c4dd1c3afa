#!/usr/bin/env python3
"""Copies that are whole or refused, and a failed run removing what it wrote and nothing else."""
import os
import shutil
import subprocess
import tempfile
import unittest

import kit_support  # noqa: F401
from disckit import files


class CopyTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp()
        self.source = os.path.join(self.work, "film.avi")
        self.target = os.path.join(self.work, "copy.avi")
        self.fill()

    def fill(self):
        with open(self.source, "wb") as f:
            f.write(b"RIFF" + bytes(range(256)) * 64)

    def tearDown(self):
        shutil.rmtree(self.work)

    def test_a_source_changed_since_the_run_began_is_refused(self):
        def grown():
            with open(self.source, "ab") as f:
                f.write(b"more")

        def shrunk():
            os.truncate(self.source, 100)

        def rewritten():  # the same length, other bytes
            with open(self.source, "r+b") as f:
                f.write(b"XXXX")
            stamp = os.stat(self.source).st_mtime_ns + 1_000_000
            os.utime(self.source, ns=(stamp, stamp))

        for change, says in ((grown, "16,388 bytes when the run began, 16,392 now"),
                             (shrunk, "16,388 bytes when the run began, 100 now"),
                             (rewritten, "written to meanwhile")):
            with self.subTest(change.__name__):
                self.fill()
                expected = files.identity(self.source)
                change()
                with self.assertRaises(files.Changed) as raised:
                    files.copy(self.source, self.target, "the movie", expected)
                self.assertIn("the movie " + self.source, str(raised.exception))
                self.assertIn(says, str(raised.exception))

    def test_an_unchanged_source_is_copied_whole_holes_kept(self):
        with open(self.source, "r+b") as f:
            f.seek(64 << 20)
            f.write(b"end")
        files.copy(self.source, self.target, "the movie", files.identity(self.source))
        with open(self.source, "rb") as a, open(self.target, "rb") as b:
            self.assertEqual(a.read(), b.read())
        self.assertLess(os.stat(self.target).st_blocks * 512, 1 << 20)


class WrittenTest(unittest.TestCase):
    def test_removes_what_it_made_and_keeps_what_others_put_there(self):
        with tempfile.TemporaryDirectory() as work:
            out = os.path.join(work, "out")
            os.mkdir(os.path.join(work, "before"))
            with files.Written(out) as written:
                os.makedirs(os.path.join(out, "qt", "lib"))
                shutil.copyfile(__file__, os.path.join(out, "qt", "lib", "a.so"))
                with open(os.path.join(out, "film.avi"), "wb"):
                    pass
                os.replace(os.path.join(out, "film.avi"), os.path.join(out, "moved.avi"))
                os.symlink("moved.avi", os.path.join(out, "link.avi"))
                os.link(os.path.join(out, "moved.avi"), os.path.join(out, "hard.avi"))
                os.makedirs(os.path.join(work, "beside"))  # not in OUT: not its to remove
                files.note(os.path.join(out, "by-a-program"))
                # What the author puts there meanwhile, by another program.
                subprocess.run(["sh", "-c", "echo mine >precious.txt; echo mine >qt/notes.txt; echo mine >film.avi"],
                               cwd=out, check=True)
            with open(os.path.join(out, "by-a-program"), "w"):
                pass
            kept = written.remove()
            self.assertEqual(kept, [os.path.join(out, "qt"), out])
            left = sorted(os.path.relpath(os.path.join(d, n), work) for d, ds, fs in os.walk(work) for n in ds + fs)
            self.assertEqual(left, ["before", "beside", "out", "out/film.avi", "out/precious.txt", "out/qt",
                                    "out/qt/notes.txt"])


if __name__ == "__main__":
    unittest.main()
